#include "chart_module/best_laps.h"
#include "chart_module/speed_chart.h"

namespace gearsheet {

BestLapChart* CreateBestLapChart(const QString& folder, QWidget* parent, QString& problem) {
    const auto create = reinterpret_cast<CreateBestLapChartFn>(
        ChartModuleSymbol(folder, kCreateBestLapChartSymbol, problem));
    return create ? create(parent) : nullptr;
}

}  // namespace gearsheet
