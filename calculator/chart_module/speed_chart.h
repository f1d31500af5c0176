// The Gear Planner's chart of road speed against engine speed. It is drawn with Qt Charts in a
// module of its own (libgearsheet_chart.so beside the program), loaded when the planner is first
// shown, so that starting the program loads neither the module nor Qt Charts.
#pragma once

#include <QString>

#include "gearing/planner.h"

class QWidget;

namespace gearsheet {

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

// The module's one entry point, named kCreateSpeedChartSymbol.
using CreateSpeedChartFn = SpeedChart* (*)(QWidget* parent);
inline constexpr char kCreateSpeedChartSymbol[] = "GearsheetCreateSpeedChart";
inline constexpr char kSpeedChartModule[] = "libgearsheet_chart.so";

// The entry point `symbol` of the module in `folder`, the module loaded on first use and kept;
// nothing, with the reason in `problem`, when the module or the entry point cannot be loaded.
QFunctionPointer ChartModuleSymbol(const QString& folder, const char* symbol, QString& problem);

// Loads the module from `folder` and makes a chart in `parent`; nothing, with the reason in
// `problem`, when the module or its entry point cannot be loaded.
SpeedChart* CreateSpeedChart(const QString& folder, QWidget* parent, QString& problem);

}  // namespace gearsheet
