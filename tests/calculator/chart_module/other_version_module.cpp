// A chart module of another version than the program's: it has every entry point, none of them
// may be used.
#include "chart_module/chart_module.h"

extern "C" __attribute__((visibility("default"))) int GearsheetChartModuleVersion() {
    return gearsheet::kChartModuleVersion + 1;
}

extern "C" __attribute__((visibility("default"))) gearsheet::SpeedChart* GearsheetCreateSpeedChart(
    QWidget*) {
    return nullptr;
}
