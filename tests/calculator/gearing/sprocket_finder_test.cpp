// The circuits' sprocket finder, against figures worked out by hand.
#include <gtest/gtest.h>

#include "gearing/sprocket_finder.h"

using namespace gearsheet;

namespace {

// The shipped gearbox.
const GearData kShipped{{2.583, 2.000, 1.667, 1.444, 1.286, 1.150}, 2.073};

TEST(SprocketFinderTest, SixteenFortyFiveAt14000WithTheShiftLightAt15000) {
    // The same road speed on r/f instead of 45/16: 14000 × (r × 16) ÷ (f × 45). Below 15000 the
    // final drive may reach 15000 ÷ 14000 × 2.8125 = 3.0134: 3 (15/45 first, one tooth changed;
    // then 16/48, 14/42, 17/51, 13/39) gives 14000 × 720 ÷ 675 = 14933.33. Next 50/17: 11200000 ÷
    // 765 = 14640.52; 47/16: 14622.22; 44/15: 9856000 ÷ 675 = 14601.48; 41/14: 14577.78; 38/13:
    // 8512000 ÷ 585 = 14550.43. 49/16 (15244.44) and 52/17 (15225.49) would pass the light.
    const auto found = FindSprockets(14000, 16, 45, 15000, SprocketRanges{}, 520, 112);
    struct Row {
        int front, rear;
        double rpm;
    };
    const Row expected[] = {{15, 45, 14933.33}, {16, 48, 14933.33}, {14, 42, 14933.33},
                            {17, 51, 14933.33}, {13, 39, 14933.33}, {17, 50, 14640.52},
                            {16, 47, 14622.22}, {15, 44, 14601.48}, {14, 41, 14577.78},
                            {13, 38, 14550.43}};
    ASSERT_EQ(found.size(), 10u);
    for (std::size_t i = 0; i < found.size(); ++i) {
        EXPECT_EQ(found[i].front, expected[i].front) << i;
        EXPECT_EQ(found[i].rear, expected[i].rear) << i;
        EXPECT_NEAR(found[i].engineSpeed, expected[i].rpm, 0.005) << i;
        EXPECT_NEAR(found[i].gap, 15000 - expected[i].rpm, 0.005) << i;
    }
    // 15/45: final drive 3, +6.67 % on 2.8125; on 112 links of 520 the axle goes 3.70 mm back.
    EXPECT_EQ(found[0].finalDrive, 3);
    EXPECT_NEAR(found[0].percentChange, 6.6667, 1e-4);
    ASSERT_TRUE(found[0].chain && found[0].chain->axleMoveMm);
    EXPECT_NEAR(*found[0].chain->axleMoveMm, 3.70, 0.005);
    EXPECT_EQ(found[0].chain->evenLinks, 112);
    // A target the circuit's pair already passes leaves only lower pairs; none passes it.
    for (const SprocketChoice& c : FindSprockets(14000, 16, 45, 13000, {15, 17, 40, 48}, 520, 112))
        EXPECT_LE(c.engineSpeed, 13000) << c.front << "/" << c.rear;
    EXPECT_TRUE(FindSprockets(14000, 16, 45, 5000, SprocketRanges{}, 520, 112).empty());
    // A pair landing exactly on the shift light stays: the circuit's own pair at 14000 first, then
    // the others of its final drive (16/45 is the only one in range).
    const auto onTheLight = FindSprockets(14000, 16, 45, 14000, SprocketRanges{}, 520, 112);
    ASSERT_FALSE(onTheLight.empty());
    EXPECT_EQ(onTheLight[0].front * 100 + onTheLight[0].rear, 1645);
    EXPECT_EQ(onTheLight[0].engineSpeed, 14000);
    EXPECT_EQ(onTheLight[0].gap, 0);

    // From a road speed: 160 mph in 6th on 79.2 in, shipped gearbox, 16/45: 160 × 1056 ÷ 79.2 ×
    // 2.073 × 1.15 × 2.8125 = 14303.70 rpm (15500 × 160 ÷ 173.3817); 257.5 km/h is 160.0031 mph.
    StraightObservation seen{false, 160, SpeedUnit::Mph, 6, 0};
    EXPECT_NEAR(*ObservedEngineSpeed(kShipped, seen, 16, 45, 79.2), 14303.70, 0.005);
    seen.roadSpeed = 257.5;
    seen.unit = SpeedUnit::Kmh;
    EXPECT_NEAR(*ObservedEngineSpeed(kShipped, seen, 16, 45, 79.2), 14303.98, 0.005);
    EXPECT_FALSE(ObservedEngineSpeed(kShipped, seen, 16, 45, 0));
    EXPECT_FALSE(ObservedEngineSpeed(GearData{}, seen, 16, 45, 79.2));
    seen.gear = 7;
    EXPECT_FALSE(ObservedEngineSpeed(kShipped, seen, 16, 45, 79.2));
    // A read engine speed needs neither tyre nor gearbox.
    EXPECT_EQ(ObservedEngineSpeed(GearData{}, {true, 0, SpeedUnit::Mph, 6, 14000}, 16, 45, 0),
              14000);
}

}  // namespace
