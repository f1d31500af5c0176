// The pit card's texts from a circuit's record and the rider's setup, without widgets.
#include "pages/pit_card.h"

#include <gtest/gtest.h>

#include "gearing/gear_data.h"
#include "pages/circuit_record.h"

namespace {

using gearsheet::CircuitRecord;
using gearsheet::GatherPitCard;
using gearsheet::SpeedUnit;

// Gear ratios 2.5 … 1 and an initial reduction of 2.
const gearsheet::GearData kGears{{2.5, 2, 1.6, 1.4, 1.25, 1}, 2};

CircuitRecord Monza() {
    CircuitRecord record;
    record.front[0] = "32";
    record.frontSprocket = "15";
    record.rearSprocket = "42";
    return record;
}

TEST(PitCardTest, SpeedTableInTheUnitOfItsTitle) {
    // 1000 rpm ÷ 2 ÷ (42 ÷ 15) × 72 × 60 ÷ 12 ÷ 5280 ÷ 2.5 = 4.87 mph in 1st, × 1.609344 = 7.84
    // km/h; 15500 rpm in 6th: 188.72 mph, 303.71 km/h.
    const auto card = GatherPitCard("Monza", Monza(), kGears, SpeedUnit::Kmh, "T", "72", 15000);
    EXPECT_EQ(card.speedTitle, "Road speed (km/h) on 15/42");
    ASSERT_EQ(card.speeds.size(), 17);
    EXPECT_EQ(card.speeds[0][0], "km/h");
    EXPECT_EQ(card.speeds[1][0] + " " + card.speeds[1][1], "1000 RPM 7.84");
    EXPECT_EQ(card.speeds[16][6], "303.71");
    EXPECT_EQ(card.details.join("; "),
              "Sprockets: 15 front, 42 rear; Final drive: 2.8; Tyre: T; Circumference: 72 in; "
              "Shift light: 15000 rpm");
    EXPECT_EQ(card.suspension[1].join("|"), "Static Sag:|32|");
    EXPECT_EQ(card.targets.unit, SpeedUnit::Kmh);
}

TEST(PitCardTest, NoSpeedTableWithoutNumbers) {
    CircuitRecord record = Monza();
    record.rearSprocket = "x";
    const auto card = GatherPitCard("Monza", record, kGears, SpeedUnit::Mph, "", "72", 15000);
    EXPECT_TRUE(card.speeds.isEmpty());
    EXPECT_FALSE(card.chart);
    EXPECT_EQ(card.details[1], "Tyre: —");
    EXPECT_EQ(card.speedProblem,
              "No speed table: it needs the gear data, the circuit's sprockets and the Details "
              "page's circumference, each above zero.");
}

}  // namespace
