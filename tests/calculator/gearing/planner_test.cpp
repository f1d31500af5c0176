// The Gear Planner's figures for one setup, against figures worked out by hand.
#include <gtest/gtest.h>

#include "gearing/planner.h"

using namespace gearsheet;

namespace {

// The shipped gearbox.
const GearData kShipped{{2.583, 2.000, 1.667, 1.444, 1.286, 1.150}, 2.073};

TEST(PlannerTest, FifteenFortyFiveAgainstSixteenFortyFive) {
    // Final drive 45/16 = 2.8125 and 45/15 = 3: 6.67 % higher. Overall 1st gear 2.073 × 2.583 ×
    // 2.8125 = 15.0597. At 15500 rpm on 79.2 in: 77.1928 mph in 1st, 173.3817 mph in 6th at 16/45;
    // 15/45 gives 15/16 of that (72.3682, 162.5454). 100 mph = 1333.33 wheel rpm × 15.0597 =
    // 20079.6 rpm in 1st. The upshift 1st → 2nd drops 15500 × (1 − 2/2.583) = 3498.45 rpm.
    const PlannerTargets mph{15500, 100, SpeedUnit::Mph};
    const SetupFigures current = Figures(kShipped, {16, 45, 79.2}, mph);
    const SetupFigures proposed = Figures(kShipped, {15, 45, 79.2}, mph);
    EXPECT_EQ(current.finalDrive, 2.8125);
    EXPECT_EQ(proposed.finalDrive, 3);
    EXPECT_NEAR(PercentChange(current.finalDrive, proposed.finalDrive), 6.6667, 1e-4);
    EXPECT_NEAR(current.overallRatio[0], 15.0597, 1e-4);
    EXPECT_NEAR(current.speedAtShift[0], 77.1928, 1e-4);
    EXPECT_NEAR(current.speedAtShift[5], 173.3817, 1e-4);
    EXPECT_NEAR(current.rpmAtSpeed[0], 20079.6, 0.01);
    EXPECT_NEAR(current.rpmDrop[0], 3498.45, 0.01);
    EXPECT_EQ(proposed.rpmDrop[0], current.rpmDrop[0]);  // sprockets change no drop
    // In km/h: 77.1928 × 1.609344 = 124.2297 in 1st; 160 km/h = 99.42 mph, 19963.01 rpm in 1st.
    const SetupFigures kmh = Figures(kShipped, {16, 45, 79.2}, {15500, 160, SpeedUnit::Kmh});
    EXPECT_NEAR(kmh.speedAtShift[0], 124.2297, 1e-4);
    EXPECT_NEAR(kmh.rpmAtSpeed[0], 19963.01, 0.01);
    EXPECT_TRUE(Plannable(kShipped, {16, 45, 79.2}));
    EXPECT_FALSE(Plannable(kShipped, {16, 45, 0}));
    EXPECT_FALSE(Plannable(GearData{}, {16, 45, 79.2}));
    // One gear of ratio zero: its speed would divide by zero.
    EXPECT_FALSE(Plannable({{2.583, 2, 0, 1.444, 1.286, 1.15}, 2.073}, {16, 45, 79.2}));
}

}  // namespace
