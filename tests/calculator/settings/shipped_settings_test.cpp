// The shipped settings file's placement beside the program by the build. Its contents, read as
// the program reads them, are checked by the main window's tests (main_form_test).
#include <gtest/gtest.h>

#include <cstdlib>
#include <filesystem>
#include <string>

#include "platform/module.h"
#include "temp_dir.h"

namespace {

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
