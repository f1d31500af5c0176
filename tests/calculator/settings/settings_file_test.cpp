// The settings file's name, derived from the executable's path.
#include "settings/settings_file.h"

#include <gtest/gtest.h>

using gearsheet::settings::SettingsFilePath;

namespace {

TEST(SettingsFileTest, NameFollowsTheExecutable) {
    const struct {
        const char* executable;
        const char* settings;
    } cases[] = {
        {"/opt/gearsheet/bin/Gearsheet", "/opt/gearsheet/bin/Gearsheet.INI"},
        {"/home/rider/gear.sheet.bin", "/home/rider/gear.sheet.INI"},  // only the last extension
        {"/home/my.tools/Gearsheet", "/home/my.tools/Gearsheet.INI"},  // dots in folders stay
        {"/home/rider/.gearsheet", "/home/rider/.gearsheet.INI"},      // hidden, no extension
        {"Gearsheet", "Gearsheet.INI"},
        {"", ""},
    };
    for (const auto& c : cases)
        EXPECT_EQ(SettingsFilePath(c.executable), c.settings) << c.executable;
}

TEST(SettingsFileTest, RunningProgramUsesItsOwnName) {
    EXPECT_TRUE(SettingsFilePath().ends_with("/settings_test.INI")) << SettingsFilePath();
}

}  // namespace
