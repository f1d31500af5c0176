// The chart module's whole interface (libgearsheet_chart.so beside the program): the Gear
// Planner's chart, the Session Log's best-lap chart and the circuits' pit cards (also the Session
// Log's session sheets), drawn with Qt Charts and printed with Qt
// PrintSupport in a module of its own, so that starting the program loads neither. The program
// loads it on first use (chart_module/chart_loader.h) and checks its version first.
#pragma once

#include <QDate>
#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

#include "gearing/planner.h"

class QWidget;

namespace gearsheet {

class Dialogs;

// Changes whenever anything in this header changes: a module of another version is not used.
inline constexpr int kChartModuleVersion = 4;

class SpeedChart {
  public:
    // The chart widget, owned by the parent it was made in.
    virtual QWidget* Widget() = 0;
    // Draws both setups up to the shift speed.
    virtual void Show(const SetupFigures& current, const SetupFigures& proposed,
                      const PlannerTargets& targets) = 0;
    // Draws nothing but `why` (no plannable setup): no lines, no axes.
    virtual void Clear(const QString& why) = 0;

  protected:
    ~SpeedChart() = default;  // deleted through its widget
};

// The Session Log's chart of a circuit's best lap per session over time.
struct BestLapPoint {
    QDate date;
    double seconds = 0;
    QString tip;  // what the point's tooltip says: the session and its sprockets
};

class BestLapChart {
  public:
    // The chart widget, owned by the parent it was made in.
    virtual QWidget* Widget() = 0;
    // Draws `points` (oldest first) under the title `circuit`; none empties the chart.
    virtual void Show(const QString& circuit, const QList<BestLapPoint>& points) = 0;

  protected:
    ~BestLapChart() = default;  // deleted through its widget
};

// The pit card of a circuit: one printed page with its name, the date, sprockets, tyre, the
// suspension table, the speed table and the speed chart, as texts the program gathered.
struct PitCard {
    QString circuit;
    QString date;
    QStringList details;                // "Sprockets: 16/45", "Tyre: …" lines, in order
    QList<QStringList> suspension;      // heading row, then one row per setting: name, front, rear
    QString speedTitle;                 // "Road speed (mph) on 16/45"
    QList<QStringList> speeds;          // heading row, then one row per engine speed
    QString speedProblem;               // why there is no speed table or chart, or empty
    std::optional<SetupFigures> chart;  // the sprockets' figures up to the shift speed
    PlannerTargets targets;
};

// The module's entry points, each exported under the name beside it.
// The module's kChartModuleVersion.
using ChartModuleVersionFn = int (*)();
inline constexpr char kChartModuleVersionSymbol[] = "GearsheetChartModuleVersion";
// Makes a planner chart in `parent`.
using CreateSpeedChartFn = SpeedChart* (*)(QWidget* parent);
inline constexpr char kCreateSpeedChartSymbol[] = "GearsheetCreateSpeedChart";
// Makes a best-lap chart in `parent`.
using CreateBestLapChartFn = BestLapChart* (*)(QWidget* parent);
inline constexpr char kCreateBestLapChartSymbol[] = "GearsheetCreateBestLapChart";
// Writes the card as a one-page PDF on the default printer's paper (A4 or Letter by the locale
// when there is none).
using ExportPitCardFn = bool (*)(const PitCard& card, const QString& pdfPath, QString& problem);
inline constexpr char kExportPitCardSymbol[] = "GearsheetExportPitCard";
// Asks for the printer through `dialogs` and prints the card on its paper.
using PrintPitCardFn = bool (*)(const PitCard& card, QWidget* parent, Dialogs& dialogs,
                                QString& problem);
inline constexpr char kPrintPitCardSymbol[] = "GearsheetPrintPitCard";
// Both card entry points return false with the reason in `problem` when the card could not be
// made; printing is true also when the rider chose not to print.

inline constexpr char kChartModuleFile[] = "libgearsheet_chart.so";

}  // namespace gearsheet
