// The "DISPLAY" section: the speed unit as stored, "mph" where none is.
#include "settings/display_settings.h"

#include <gtest/gtest.h>

#include <string>

#include "store_support.h"
#include "temp_dir.h"

namespace {

TEST(DisplaySettingsTest, UnitAsStoredOrMph) {
    testing_support::TempDir dir;
    const std::string path = dir.File("Gearsheet.INI");
    auto store = testing_support::StoreOnFile(path, "[GEARS]\nGear1=2\n");
    EXPECT_EQ(gearsheet::settings::LoadDisplay(*store).speedUnit, "mph");
    gearsheet::settings::SaveDisplay(*store, {"km/h"});
    EXPECT_EQ(testing_support::ReadFile(path), "[GEARS]\nGear1=2\n[DISPLAY]\nSpeedUnit=km/h\n");
    EXPECT_EQ(gearsheet::settings::LoadDisplay(*store).speedUnit, "km/h");
}

}  // namespace
