// The settings file shipped with the program, read the way the program reads it, and its
// placement beside the program by the build.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "gearing/speed_table.h"
#include "gearing/stuff.h"
#include "platform/module.h"
#include "store_support.h"
#include "temp_dir.h"

namespace {

TEST(ShippedSettingsTest, SpeedsAtSixteenFortyEightOnTheFirstTyreArePlausible) {
    // The gearbox and the first tyre, 180/55ZR17 with 77.9 in, of the shipped file.
    auto store = gearing_test::OpenStore(GEARSHEET_SHIPPED_SETTINGS);
    gearsheet::GearData gears;
    gearsheet::Stuff::InitializeGears(*store, gears);
    gearsheet::Stuff::InitalizeReductions(*store, gears);
    store->Section("TYRES");
    ASSERT_EQ(store->GetFieldNames().Elements().at(0), qfstore::Variant("180/55ZR17"));
    ASSERT_EQ(store->GetValue("180/55ZR17", "\t", true, true, qfstore::Variant::Missing()),
              qfstore::Variant(77.9));

    // By hand, 10000 rpm ÷ 2.073 ÷ (48 ÷ 16) × 77.9 in × 60 ÷ 12 ÷ 5280 = 118.6187 mph before the
    // gearbox, divided by each ratio (2.583, 2, 1.667, 1.444, 1.286, 1.15).
    const std::vector<double> row10{45.92, 59.31, 71.16, 82.15, 92.24, 103.15};
    std::vector<double> speeds;
    gearsheet::SpeedTable(gears, 16, 48, 77.9, [&](int row, int, double mph) {
        if (row == 10)
            speeds.push_back(mph);
    });
    EXPECT_EQ(speeds, row10);
}

// Runs the build's placement step from the shipped file to `destination`.
int PlaceSettings(const std::string& destination) {
    const std::string command = std::string("\"") + CMAKE_COMMAND + "\" -DSOURCE=\"" +
                                GEARSHEET_SHIPPED_SETTINGS + "\" -DDESTINATION=\"" + destination +
                                "\" -P \"" + COPY_IF_ABSENT_SCRIPT + "\"";
    return std::system(command.c_str());
}

TEST(ShippedSettingsTest, BuildPlacesTheFileOnlyWhereNoneExists) {
    EXPECT_TRUE(std::filesystem::is_regular_file(platform::ExecutableFolder() + "Gearsheet.INI"));
    testing_support::TempDir dir;
    const std::string placed = dir.File("bin/Gearsheet.INI");
    ASSERT_EQ(PlaceSettings(placed), 0);
    EXPECT_EQ(testing_support::ReadFile(placed),
              testing_support::ReadFile(GEARSHEET_SHIPPED_SETTINGS));
    const std::string edited = "[GEARS]\nGear1=3\n";
    testing_support::WriteFile(placed, edited);
    ASSERT_EQ(PlaceSettings(placed), 0);
    EXPECT_EQ(testing_support::ReadFile(placed), edited);
}

}  // namespace
