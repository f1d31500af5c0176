// The Gear Planner's arithmetic: km/h, setup figures, chain and tyre sizes, and the circuits'
// sprocket finder, against figures worked out by hand.
#include <gtest/gtest.h>

#include <limits>
#include <optional>
#include <string>
#include <vector>

#include "gearing/chain.h"
#include "gearing/chart_geometry.h"
#include "gearing/circuit_gearing.h"
#include "gearing/planner.h"
#include "gearing/speed_table.h"
#include "gearing/sprocket_finder.h"
#include "gearing/tyre_size.h"

using namespace gearsheet;

namespace {

// The shipped gearbox.
const GearData kShipped{{2.583, 2.000, 1.667, 1.444, 1.286, 1.150}, 2.073};

TEST(SpeedUnitTest, KmhIsTheUnroundedMphTimes1609344RoundedHalfToEven) {
    // 1000 rpm ÷ 2 ÷ 3 × 72 in × 60 ÷ 12 ÷ 5280 = 125/11 mph = 11.3636 (shown 11.36); × 1.609344 =
    // 18.288 km/h, shown 18.29, not 11.36 × 1.609344 = 18.2821. Row 16: 176.1364 mph = 283.464.
    std::vector<double> kmh;
    SpeedTable(
        {{1, 1, 1, 1, 1, 1}, 2}, 16, 48, 72, [&](int, int, double s) { kmh.push_back(s); },
        SpeedUnit::Kmh);
    ASSERT_EQ(kmh.size(), 96u);
    EXPECT_EQ(kmh[0], 18.29);
    EXPECT_EQ(kmh[95], 283.46);
    EXPECT_EQ(UnitFromName(UnitName(SpeedUnit::Kmh)), SpeedUnit::Kmh);
    EXPECT_EQ(UnitFromName("kmh"), SpeedUnit::Mph);
}

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
}

TEST(ChainTest, SixteenFortyEightOnA520ChainOf112Links) {
    // 520 pitch 5/8 in = 15.875 mm. L = 2C/p + (N1 + N2)/2 + ((N2 − N1)/2π)² p/C as a quadratic
    // in C/p: 16/45, 112 links: 2x² − 81.5x + 21.303 = 0, x = 40.4871, C = 642.73 mm. 16/48 at that
    // distance: 80.974 + 32 + 25.938/40.487 = 113.61 links, so 114; on 112 links 2x² − 80x +
    // 25.938 = 0, x = 39.673, C = 629.81 mm: the axle moves 12.92 mm forwards.
    EXPECT_DOUBLE_EQ(chain::PitchMm(520), 15.875);
    const auto change = chain::ChangeSprockets(520, 112, 16, 45, 16, 48);
    ASSERT_TRUE(change);
    EXPECT_NEAR(change->currentCentreMm, 642.73, 0.01);
    EXPECT_NEAR(change->linksNeeded, 113.61, 0.01);
    EXPECT_EQ(change->evenLinks, 114);
    ASSERT_TRUE(change->axleMoveMm);
    EXPECT_NEAR(*change->axleMoveMm, -12.92, 0.01);
    // The same sprockets need the same chain, to the last bit of the solver.
    const auto same = chain::ChangeSprockets(520, 112, 16, 45, 16, 45);
    EXPECT_EQ(same->evenLinks, 112);
    EXPECT_NEAR(*same->axleMoveMm, 0, 1e-6);
    // 40 links cannot go round 16 and 45 teeth (pitch circles of 81 and 228 mm): no distance.
    EXPECT_FALSE(chain::ChangeSprockets(520, 40, 16, 45, 16, 48));
    const auto shortForProposed = chain::ChangeSprockets(520, 46, 16, 16, 16, 60);
    ASSERT_TRUE(shortForProposed);
    EXPECT_FALSE(shortForProposed->axleMoveMm);
    EXPECT_EQ(chain::EvenLinks(112.0000001), 112);
    EXPECT_EQ(chain::EvenLinks(112.01), 114);
}

TEST(TyreSizeTest, MetricSizesInTyreNames) {
    // π × (17 × 25.4 + 2 × 190 × 0.55) = π × 640.8 mm = 79.257 in; 120/70-17: π × 599.8 = 74.19.
    struct Row {
        const char* name;
        std::optional<double> inches;
    };
    const Row rows[] = {
        {"190/55ZR17", 79.3},
        {"190/50 R17", 76.9},
        {"120/70-17", 74.2},
        {"180/55 ZR 17 (73W)", 77.9},
        {"Rear 180/60zr17", 80.1},
        {"Slick", std::nullopt},
        {"Slick 180/640R17", std::nullopt},
        {"1180/55ZR17", std::nullopt},
        {"180/55ZR175", std::nullopt},
        // Real tyres only: widths 60 … 400 mm, aspect ratios 20 … 100 %, rims 8 … 24 in.
        // 60/20-8: π × (8 × 25.4 + 2 × 60 × 0.2) = π × 227.2 mm = 28.10 in; 400/100R24: π × 1409.6.
        {"60/20-8", 28.1},
        {"400/100R24", 174.3},
        {"00/00-00", std::nullopt},
        {"999/99R99", std::nullopt},
        {"59/55ZR17", std::nullopt},
        {"401/55ZR17", std::nullopt},
        {"180/19ZR17", std::nullopt},
        {"180/101ZR17", std::nullopt},
        {"180/55-7", std::nullopt},
        {"180/55ZR25", std::nullopt},
    };
    for (const Row& row : rows) {
        const auto size = FindTyreSize(row.name);
        ASSERT_EQ(size.has_value(), row.inches.has_value()) << row.name;
        if (size) {
            EXPECT_EQ(CircumferenceInches(*size), *row.inches) << row.name;
        }
    }
}

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

TEST(CircuitGearingTest, RecordTextsReadBackOrAreNoRecord) {
    CircuitGearing g;
    g.seen = {false, 257.5, SpeedUnit::Kmh, 5, 0};
    g.seenFront = 16;
    g.seenRear = 45;
    g.targetRpm = 14750;
    const std::vector<std::string> texts{"speed", "257.5", "km/h", "5", "0", "16", "45", "14750"};
    EXPECT_EQ(CircuitGearingFields(g), texts);
    const auto back = CircuitGearingFromFields(texts);
    ASSERT_TRUE(back);
    EXPECT_EQ(CircuitGearingFields(*back), texts);
    EXPECT_FALSE(NothingSeen(*back));
    EXPECT_TRUE(NothingSeen(CircuitGearing{}));
    // Written by hand or by someone else: no record rather than a wrong one.
    for (const std::vector<std::string>& bad :
         {std::vector<std::string>(texts.begin(), texts.end() - 1),
          {"fast", "257.5", "km/h", "5", "0", "16", "45", "14750"},
          {"speed", "257,5", "km/h", "5", "0", "16", "45", "14750"},
          {"speed", "257.5", "km/h", "5th", "0", "16", "45", "14750"},
          {"rpm", "0", "mph", "6", "inf", "16", "45", "15000"}})
        EXPECT_FALSE(CircuitGearingFromFields(bad)) << bad[0] << " " << bad[1] << " " << bad[3];
}

}  // namespace
