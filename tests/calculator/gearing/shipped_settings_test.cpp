// The settings file shipped with the program, read the way the program reads it, and its
// placement beside the program by the build.
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>
#include <vector>

#include "gearing/settings_file.h"
#include "gearing/speed_table.h"
#include "gearing/stuff.h"
#include "module.h"
#include "qfstore/conversions.h"
#include "store_support.h"
#include "temp_dir.h"

using gearsheet::GearData;
namespace settings = gearsheet::settings;

namespace {

GearData LoadShippedGears() {
    auto store = gearing_test::OpenStore(GEARSHEET_SHIPPED_SETTINGS);
    GearData gears;
    gearsheet::Stuff::InitializeGears(*store, gears);
    gearsheet::Stuff::InitalizeReductions(*store, gears);
    return gears;
}

TEST(ShippedSettingsTest, HoldsTheGearbox) {
    const GearData gears = LoadShippedGears();
    EXPECT_EQ(gears.ratios, (std::array<double, 6>{2.583, 2, 1.667, 1.444, 1.286, 1.15}));
    EXPECT_EQ(gears.initialReduction, 2.073);
}

TEST(ShippedSettingsTest, TyresReadBackAsTheTyreListReadsThem) {
    auto store = gearing_test::OpenStore(GEARSHEET_SHIPPED_SETTINGS);
    store->Section(settings::kTyresSection);
    const qfstore::Variant names = store->GetFieldNames();
    ASSERT_TRUE(names.IsArray());
    const std::vector<std::pair<std::string, double>> expected = {
        {"180/55ZR17", 77.9}, {"190/50ZR17", 76.9},       {"190/55ZR17", 79.3},
        {"180/60ZR17", 80.1}, {"Slick 180/640R17", 79.2},
    };
    std::vector<std::pair<std::string, double>> tyres;
    for (const qfstore::Variant& name : names.Elements()) {
        const std::string text = qfstore::ToText(name, "test");
        const qfstore::Variant value =
            store->GetValue(text, settings::kArrayDelimiter, true, true,
                            qfstore::Variant(settings::kDefaultCircumference));
        EXPECT_EQ(value.Type(), qfstore::VarType::Double) << text;
        tyres.emplace_back(text, qfstore::ToDouble(value, "test"));
    }
    EXPECT_EQ(tyres, expected);
}

TEST(ShippedSettingsTest, FirstStartUsesTheDefaultWindowPosition) {
    auto store = gearing_test::OpenStore(GEARSHEET_SHIPPED_SETTINGS);
    store->Section(settings::kWindowPosSection);
    for (const char* key : {settings::kTopKey, settings::kLeftKey}) {
        const qfstore::Variant v = store->GetValue(key, settings::kArrayDelimiter, true, true,
                                                   qfstore::Variant(settings::kDefaultWindowPos));
        EXPECT_EQ(qfstore::ToDouble(v, "test"), 500) << key;
    }
    store->Section(settings::kCircuitsSection);
    EXPECT_FALSE(store->GetFieldNames().IsArray());
}

TEST(ShippedSettingsTest, SpeedsAtSixteenFortyEightOnTheFirstTyreArePlausible) {
    // By hand, 10000 rpm ÷ 2.073 ÷ (48 ÷ 16) × 77.9 in × 60 ÷ 12 ÷ 5280 = 118.6187 mph before the
    // gearbox; divided by each ratio.
    const double row10[] = {45.92, 59.31, 71.16, 82.15, 92.24, 103.15};
    std::vector<double> speeds;
    gearsheet::SpeedTable(LoadShippedGears(), 16, 48, 77.9, [&](int row, int, double mph) {
        if (row == 10)
            speeds.push_back(mph);
    });
    ASSERT_EQ(speeds.size(), 6u);
    for (int gear = 0; gear < 6; ++gear) EXPECT_EQ(speeds[gear], row10[gear]) << gear + 1;
}

// Runs the build's placement step from `source` to `destination`.
int PlaceSettings(const std::string& source, const std::string& destination) {
    const std::string command = std::string("\"") + CMAKE_COMMAND + "\" -DSOURCE=\"" + source +
                                "\" -DDESTINATION=\"" + destination + "\" -P \"" +
                                COPY_IF_ABSENT_SCRIPT + "\"";
    return std::system(command.c_str());
}

TEST(ShippedSettingsTest, BuildPlacesTheFileOnlyWhereNoneExists) {
    testing_support::TempDir dir;
    const std::string shipped = testing_support::ReadFile(GEARSHEET_SHIPPED_SETTINGS);
    const std::string fresh = dir.File("bin/Gearsheet.INI");
    ASSERT_EQ(PlaceSettings(GEARSHEET_SHIPPED_SETTINGS, fresh), 0);
    EXPECT_EQ(testing_support::ReadFile(fresh), shipped);

    const std::string edited = "[GEARS]\nGear1=3\n[TYRES]\nMine=81\n";
    testing_support::WriteFile(fresh, edited);
    ASSERT_EQ(PlaceSettings(GEARSHEET_SHIPPED_SETTINGS, fresh), 0);
    EXPECT_EQ(testing_support::ReadFile(fresh), edited);
}

TEST(ShippedSettingsTest, BuildPutsASettingsFileBesideTheProgram) {
    const std::string besideProgram = platform::ExecutableFolder() + "Gearsheet.INI";
    EXPECT_TRUE(std::filesystem::is_regular_file(besideProgram)) << besideProgram;
}

}  // namespace
