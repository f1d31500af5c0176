// Where the program keeps its settings: beside the program where the user may write there,
// otherwise in a per-user copy of the shipped file, made once and kept. A run on either is
// window_manager_test.sh's (beside the program) and tools/package-smoke.sh's (per user).
#include <sys/fsuid.h>
#include <unistd.h>

#include <gtest/gtest.h>

#include <filesystem>

#include "settings/settings_location.h"
#include "temp_dir.h"

namespace fs = std::filesystem;
using gearsheet::settings::SettingsLocation;
using testing_support::ReadFile;
using testing_support::WriteFile;

namespace {

constexpr uid_t kTestUser = 65534;

// The location as an ordinary user meets the rule: when this process is root, whose rights ignore
// permissions, the decision is taken with the file-system rights of user and group 65534.
SettingsLocation LocateAsUser(const std::string& executable, const std::string& configHome) {
    const bool root = geteuid() == 0;
    if (root) {
        setfsgid(kTestUser);
        setfsuid(kTestUser);
    }
    SettingsLocation location = gearsheet::settings::LocateSettings(executable, configHome);
    if (root) {
        setfsuid(0);
        setfsgid(0);
    }
    return location;
}

TEST(SettingsLocationTest, BesideTheProgramWhereWritableElseAPerUserCopyMadeOnce) {
    testing_support::TempDir dir;
    const std::string program = dir.File("program"), config = dir.File("config");
    const std::string executable = program + "/Gearsheet", beside = program + "/Gearsheet.INI";
    fs::create_directory(program);
    fs::create_directory(config);
    const std::string shipped = ReadFile(GEARSHEET_SHIPPED_SETTINGS);
    WriteFile(beside, shipped);
    fs::permissions(dir.Path(), fs::perms(0755));
    const bool root = geteuid() == 0;
    if (root) {  // the test user's own program folder and configuration folder
        for (const std::string& path : {program, beside, config}) {
            EXPECT_EQ(chown(path.c_str(), kTestUser, kTestUser), 0);
        }
    }

    // A program folder the user may write: the file beside the program, nothing per user.
    SettingsLocation location = LocateAsUser(executable, config);
    EXPECT_EQ(location.file, beside);
    EXPECT_EQ(location.folder, program + "/");
    EXPECT_TRUE(fs::is_empty(config));

    // Installed for everyone: a folder the user may not write.
    if (root) {
        EXPECT_EQ(chown(program.c_str(), 0, 0), 0);
    }
    fs::permissions(program, fs::perms(0555));
    const std::string own = config + "/gearsheet/Gearsheet.INI";
    location = LocateAsUser(executable, config);
    EXPECT_EQ(location.file, own);
    EXPECT_EQ(location.folder, config + "/gearsheet/");
    EXPECT_EQ(location.problem, std::string());
    EXPECT_EQ(ReadFile(own), shipped);
    EXPECT_EQ(ReadFile(beside), shipped);

    // A newer shipped file never replaces the user's.
    fs::permissions(program, fs::perms(0755));
    WriteFile(beside, "[GEARS]\nGear1=9\n");
    fs::permissions(program, fs::perms(0555));
    EXPECT_EQ(LocateAsUser(executable, config).file, own);
    EXPECT_EQ(ReadFile(own), shipped);
    fs::permissions(program, fs::perms(0755));
}

// A settings file the user may not write, in a program folder the user may write: every save
// would fail there, so the user gets a per-user copy of it.
TEST(SettingsLocationTest, ReadOnlyFileInAWritableFolderGivesAPerUserCopy) {
    testing_support::TempDir dir;
    const std::string program = dir.File("program"), config = dir.File("config");
    const std::string executable = program + "/Gearsheet", beside = program + "/Gearsheet.INI";
    fs::create_directory(program);
    fs::create_directory(config);
    WriteFile(beside, "[GEARS]\nGear1=2.583\n");
    fs::permissions(dir.Path(), fs::perms(0755));
    if (geteuid() == 0) {
        for (const std::string& path : {program, beside, config}) {
            EXPECT_EQ(chown(path.c_str(), kTestUser, kTestUser), 0);
        }
    }
    fs::permissions(beside, fs::perms(0444));

    const std::string own = config + "/gearsheet/Gearsheet.INI";
    const SettingsLocation location = LocateAsUser(executable, config);
    EXPECT_EQ(location.file, own);
    EXPECT_EQ(location.problem, std::string());
    EXPECT_EQ(ReadFile(own), "[GEARS]\nGear1=2.583\n");
}

// With this process's own rights (root's in CI): the folder is writable, yet the installed copy
// writes nothing there, and a copy of that folder elsewhere is a copy like any other.
TEST(SettingsLocationTest, InstalledCopyKeepsSettingsPerUserWhoeverMayWriteItsFolder) {
    testing_support::TempDir dir;
    const std::string installed = dir.File("installed"), copied = dir.File("copied");
    const std::string config = dir.File("config");
    const std::string shipped = ReadFile(GEARSHEET_SHIPPED_SETTINGS);
    fs::create_directory(installed);
    WriteFile(installed + "/Gearsheet.INI", shipped);
    WriteFile(installed + "/installed-folder", installed + "/\n");
    fs::copy(installed, copied);

    const std::string own = config + "/gearsheet/Gearsheet.INI";
    const SettingsLocation location =
        gearsheet::settings::LocateSettings(dir.File("installed/../installed/Gearsheet"), config);
    EXPECT_EQ(location.file, own);
    EXPECT_EQ(location.folder, config + "/gearsheet/");
    EXPECT_EQ(location.problem, std::string());
    EXPECT_EQ(ReadFile(own), shipped);

    EXPECT_EQ(gearsheet::settings::LocateSettings(copied + "/Gearsheet", config).file,
              copied + "/Gearsheet.INI");
}

}  // namespace
