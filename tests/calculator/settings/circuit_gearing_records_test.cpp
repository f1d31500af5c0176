// The circuit gearing record: its texts, then its place in the settings file.
#include <gtest/gtest.h>

#include <optional>
#include <string>
#include <vector>

#include "settings/circuit_gearing_records.h"
#include "store_support.h"
#include "temp_dir.h"

using namespace gearsheet::settings;

namespace {

TEST(CircuitGearingTest, RecordTextsReadBackOrAreNoRecord) {
    CircuitGearing g{false, 257.5, "km/h", 5, 0, 16, 45, 14750, {}, {}};
    const std::vector<std::string> older{"speed", "257.5", "km/h", "5", "0", "16", "45", "14750"};
    EXPECT_EQ(CircuitGearingFields(g), older);  // no tyre known: the record as it was
    // The tyre it was seen on follows; a name holding "|" takes several fields.
    g.circumference = 77.9;
    g.tyre = "Front|Rear 180/55ZR17";
    const std::vector<std::string> texts{
        "speed", "257.5", "km/h",           "5", "0", "16", "45", "14750",
        "77.9",  "Front", "Rear 180/55ZR17"};
    EXPECT_EQ(CircuitGearingFields(g), texts);
    for (const auto& fields : {older, texts}) {
        const auto back = CircuitGearingFromFields(fields);
        ASSERT_TRUE(back);
        EXPECT_EQ(CircuitGearingFields(*back), fields);
        EXPECT_FALSE(NothingSeen(*back));
    }
    EXPECT_EQ(CircuitGearingFromFields(older)->circumference, std::nullopt);
    EXPECT_EQ(CircuitGearingFromFields(texts)->tyre, "Front|Rear 180/55ZR17");
    // A typed circumference has no tyre name.
    const auto typed = CircuitGearingFromFields(
        {"rpm", "0", "mph", "6", "14000", "16", "45", "15000", "79.2", ""});
    ASSERT_TRUE(typed);
    EXPECT_EQ(typed->circumference, 79.2);
    EXPECT_EQ(typed->tyre, "");
    EXPECT_TRUE(NothingSeen(CircuitGearing{}));
    // Written by hand or by someone else: no record rather than a wrong one.
    for (const std::vector<std::string>& bad :
         {std::vector<std::string>(older.begin(), older.end() - 1),
          {"fast", "257.5", "km/h", "5", "0", "16", "45", "14750"},
          {"speed", "257,5", "km/h", "5", "0", "16", "45", "14750"},
          {"speed", "257.5", "km/h", "5th", "0", "16", "45", "14750"},
          {"rpm", "0", "mph", "6", "inf", "16", "45", "15000"},
          {"speed", "257.5", "km/h", "5", "0", "16", "45", "14750", "0", "Slick"}})
        EXPECT_FALSE(CircuitGearingFromFields(bad)) << bad[0] << " " << bad[1] << " " << bad[3];
}

// Older records load without their tyre; a record with nothing seen is removed.
TEST(CircuitGearingTest, StoredPerCircuit) {
    testing_support::TempDir dir;
    const std::string path = dir.File("Gearsheet.INI");
    auto store = testing_support::StoreOnFile(
        path, "[CIRCUIT_GEARING]\nHome=speed|158|mph|6|0|16|45|0\nOdd=30\n");
    const auto home = LoadCircuitGearing(*store, "Home");
    ASSERT_TRUE(home);
    EXPECT_EQ(home->roadSpeed, 158);
    EXPECT_EQ(home->circumference, std::nullopt);
    EXPECT_FALSE(LoadCircuitGearing(*store, "Odd"));
    EXPECT_FALSE(LoadCircuitGearing(*store, "Away"));
    SaveCircuitGearing(*store, "Away", {true, 0, "mph", 6, 14000, 16, 45, 15000, 79.2, "Slick"});
    SaveCircuitGearing(*store, "Home", CircuitGearing{});
    EXPECT_EQ(testing_support::ReadFile(path),
              "[CIRCUIT_GEARING]\nOdd=30\nAway=rpm|0|mph|6|14000|16|45|15000|79.2|Slick\n");
}

}  // namespace
