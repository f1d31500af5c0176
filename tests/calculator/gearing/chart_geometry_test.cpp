// The planner chart's axes and upshift lines, without drawing them.
#include <gtest/gtest.h>

#include <limits>
#include <optional>

#include "gearing/chart_geometry.h"

using namespace gearsheet;

namespace {

// The shipped gearbox.
const GearData kShipped{{2.583, 2.000, 1.667, 1.444, 1.286, 1.150}, 2.073};

TEST(ChartGeometryTest, RoundTicksThatFollowTheData) {
    struct Row {
        double highest;
        std::optional<AxisScale> scale;
    };
    // 182.05 (173.38 mph + 5 %): steps of 10 and 20 give 19 and 10 ticks, 25 gives 8.
    const Row rows[] = {
        {182.05, AxisScale{200, 25}},
        {300, AxisScale{300, 50}},
        {19375, AxisScale{20000, 2500}},
        {1, AxisScale{1, 0.2}},
        {0.01, AxisScale{0.01, 0.002}},
        {1e6, AxisScale{1e6, 2e5}},
        {0.005, std::nullopt},
        {4e18, std::nullopt},
        {-1, std::nullopt},
        {std::numeric_limits<double>::infinity(), std::nullopt},
        {std::numeric_limits<double>::quiet_NaN(), std::nullopt},
    };
    for (const Row& row : rows) {
        const auto scale = NiceScale(row.highest);
        ASSERT_EQ(scale.has_value(), row.scale.has_value()) << row.highest;
        if (scale) {
            EXPECT_DOUBLE_EQ(scale->top, row.scale->top) << row.highest;
            EXPECT_DOUBLE_EQ(scale->interval, row.scale->interval) << row.highest;
        }
    }
}

TEST(ChartGeometryTest, EachShiftDropRunsLevelOntoTheNextGearsLine) {
    const PlannerTargets targets;  // 15500 rpm
    const SetupFigures f = Figures(kShipped, {16, 45, 79.2}, targets);
    const auto drops = ShiftDrops(f, 15500);
    ASSERT_EQ(drops.size(), 5u);
    for (std::size_t g = 0; g < drops.size(); ++g) {
        EXPECT_EQ(drops[g].fromRpm, 15500) << g;
        EXPECT_EQ(drops[g].speed, f.speedAtShift[g]) << g;
        // Gear g + 1's line: speed proportional to engine speed, through its speed at 15500 rpm.
        EXPECT_NEAR(f.speedAtShift[g + 1] * drops[g].toRpm / 15500, drops[g].speed, 1e-9) << g;
    }
    // 1st to 2nd: 15500 × 2.000 ÷ 2.583 = 12001.5 rpm after the shift.
    EXPECT_NEAR(drops[0].toRpm, 12001.55, 0.005);
}

}  // namespace
