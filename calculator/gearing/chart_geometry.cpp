#include "gearing/chart_geometry.h"

#include <cmath>

namespace gearsheet {

std::optional<AxisScale> NiceScale(double highest, int mostTicks) {
    if (!std::isfinite(highest) || highest < 0.01 || highest > 1e6 || mostTicks < 1)
        return std::nullopt;
    double power = std::pow(10.0, std::floor(std::log10(highest / mostTicks)));
    for (;; power *= 10) {
        for (double step : {1.0, 2.0, 2.5, 5.0}) {
            const double interval = step * power;
            const double ticks = std::ceil(highest / interval - 1e-9);
            if (ticks <= mostTicks)
                return AxisScale{std::max(ticks, 1.0) * interval, interval};
        }
    }
}

std::vector<ShiftDrop> ShiftDrops(const SetupFigures& figures, double shiftRpm) {
    std::vector<ShiftDrop> drops;
    for (std::size_t g = 0; g < figures.rpmDrop.size(); ++g)
        drops.push_back({shiftRpm, shiftRpm - figures.rpmDrop[g], figures.speedAtShift[g]});
    return drops;
}

}  // namespace gearsheet
