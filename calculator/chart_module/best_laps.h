// The Session Log's chart of a circuit's best lap per session over time. It is drawn with
// Qt Charts in the chart module (libgearsheet_chart.so), loaded when the chart is first shown, so
// that neither start-up nor opening the Session Log loads Qt Charts.
#pragma once

#include <QDate>
#include <QList>
#include <QString>

class QWidget;

namespace gearsheet {

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

// The module's entry point, named kCreateBestLapChartSymbol.
using CreateBestLapChartFn = BestLapChart* (*)(QWidget* parent);
inline constexpr char kCreateBestLapChartSymbol[] = "GearsheetCreateBestLapChart";

// Loads the module from `folder` and makes a chart in `parent`; nothing, with the reason in
// `problem`, when the module or its entry point cannot be loaded.
BestLapChart* CreateBestLapChart(const QString& folder, QWidget* parent, QString& problem);

}  // namespace gearsheet
