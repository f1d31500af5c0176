// The pit card of a circuit: one printed page with its name, the date, sprockets, tyre, the
// suspension table, the speed table and the speed chart. The program gathers the texts; the page
// is laid out and printed in the chart module (libgearsheet_chart.so), loaded when a card is
// first printed or exported, so that starting the program loads neither Qt PrintSupport nor
// Qt Charts.
#pragma once

#include <QList>
#include <QString>
#include <QStringList>
#include <optional>

#include "gearing/planner.h"

class QWidget;

namespace qfstore {
class QfINIFileHandler;
}

namespace gearsheet {

class Dialogs;
struct GearData;

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

// The card of the circuit stored as `circuit`: its record read from `store`, the tyre and
// circumference text of the Details page, the speed table for the record's sprockets in `unit`
// and the chart up to `shiftRpm`. Nothing, with the reason in `problem`, when no record is stored
// under the name. Store errors pass on.
std::optional<PitCard> GatherPitCard(qfstore::QfINIFileHandler& store, const QString& circuit,
                                     const GearData& gears, SpeedUnit unit, const QString& tyre,
                                     const QString& circumference, double shiftRpm,
                                     QString& problem);

// The module's entry points, named kExportPitCardSymbol and kPrintPitCardSymbol. Export writes
// the card as a one-page PDF on the default printer's paper (A4 or Letter by the locale when
// there is none); print asks for the printer through `dialogs` and prints on its paper. Both
// return false with the reason in `problem` when the card could not be made.
using ExportPitCardFn = bool (*)(const PitCard& card, const QString& pdfPath, QString& problem);
using PrintPitCardFn = bool (*)(const PitCard& card, QWidget* parent, Dialogs& dialogs,
                                QString& problem);
inline constexpr char kExportPitCardSymbol[] = "GearsheetExportPitCard";
inline constexpr char kPrintPitCardSymbol[] = "GearsheetPrintPitCard";

// Loads the module from `folder` and calls its entry point; false with the reason in `problem`
// when the module, its entry point or the card fails.
bool ExportPitCard(const QString& folder, const PitCard& card, const QString& pdfPath,
                   QString& problem);
bool PrintPitCard(const QString& folder, const PitCard& card, QWidget* parent, Dialogs& dialogs,
                  QString& problem);

}  // namespace gearsheet
