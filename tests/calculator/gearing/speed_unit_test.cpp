// Road speeds in km/h: the unit's names and the speed table in km/h, against figures worked out
// by hand.
#include <gtest/gtest.h>

#include <vector>

#include "gearing/speed_table.h"
#include "gearing/speed_unit.h"

using namespace gearsheet;

namespace {

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

}  // namespace
