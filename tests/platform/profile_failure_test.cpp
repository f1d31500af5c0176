// Writes that cannot be carried out: the status reported and the files left as they were.
#include <grp.h>
#include <gtest/gtest.h>
#include <sys/resource.h>

#include <filesystem>
#include <string>

#include "child_process.h"
#include "platform/profile.h"
#include "status_text.h"
#include "temp_dir.h"

using namespace platform::profile;
using namespace testing_support;
namespace fs = std::filesystem;

namespace {

constexpr const char* kOriginal = "; keep\n[S]\nk=old\n";
// A failed write as the engine reports it: the file and what failed.
std::string AccessError(const std::string& file, const std::string& what) {
    return "failed|" + file + ": " + what;
}

size_t EntryCount(const fs::path& folder) {
    return static_cast<size_t>(std::distance(fs::directory_iterator(folder), {}));
}

TEST(ProfileFailure, LineBreakInANameIsRefusedAndLeavesTheFile) {
    TempDir dir;
    const std::string file = dir.File("names.ini");
    WriteFile(file, kOriginal);
    const std::string invalid = "refused";
    for (auto [section, key] :
         {std::pair{"S\n[X]", "k"}, {"S\r", "k"}, {"S", "k\nx=1"}, {"S", "\rk"}}) {
        EXPECT_EQ(Described(WriteValue(file, section, key, "v")), invalid);
        EXPECT_EQ(Described(DeleteKey(file, section, key)), invalid);
        if (std::string(section) != "S") {
            EXPECT_EQ(Described(DeleteSection(file, section)), invalid);
        }
    }
    EXPECT_EQ(ReadFile(file), kOriginal);
}

TEST(ProfileFailure, NoFolderToWriteInFailsAndChangesNothing) {
    TempDir dir;
    const std::string blocker = dir.File("folder");
    WriteFile(blocker, kOriginal);
    fs::create_directory(dir.File("settings.ini"));
    for (const auto& [file, what] :
         {std::pair{dir.File("missing/settings.ini"),
                    "cannot open its folder: No such file or directory"},
          {blocker + "/settings.ini", "cannot open its folder: Not a directory"},
          {dir.File("settings.ini"), "cannot open it for writing: Is a directory"}}) {
        EXPECT_EQ(Described(WriteValue(file, "S", "k", "v")), AccessError(file, what));
    }
    EXPECT_EQ(ReadFile(blocker), kOriginal);
    EXPECT_TRUE(fs::is_directory(dir.File("settings.ini")));
    EXPECT_EQ(EntryCount(dir.Path()), 2u);
    // Removing from a file that cannot exist finds nothing to remove.
    EXPECT_EQ(Described(DeleteKey(dir.File("missing/s.ini"), "S", "k")), "done");
    EXPECT_EQ(Described(DeleteSection(dir.File("missing/s.ini"), "S")), "done");
}

TEST(ProfileFailure, FullDiskFailsAndKeepsTheOldFile) {
    TempDir dir;
    const std::string file = dir.File("full.ini");
    WriteFile(file, kOriginal);
    // A file-size limit makes the write fail as a full disk does, for root as well.
    const rlimit limit{4096, 4096};
    EXPECT_EQ(InChild(
                  [&] {
                      return signal(SIGXFSZ, SIG_IGN) != SIG_ERR &&
                             setrlimit(RLIMIT_FSIZE, &limit) == 0;
                  },
                  [&] { return Described(WriteValue(file, "S", "k", std::string(10000, 'x'))); }),
              AccessError(file, "cannot write it: File too large"));
    EXPECT_EQ(ReadFile(file), kOriginal);
    EXPECT_EQ(EntryCount(dir.Path()), 1u);
}

// A read-only file, a read-only folder and an unreadable file, used without the superuser's
// right to ignore permissions: as user and group 65534 when this process is root.
TEST(ProfileFailure, ReadOnlyFileAndFolderFailAndStayUnchanged) {
    TempDir dir;
    fs::create_directory(dir.File("ro"));
    const std::string readOnly = dir.File("readonly.ini"), inFolder = dir.File("ro/settings.ini"),
                      secret = dir.File("secret.ini");
    for (const std::string& file : {readOnly, inFolder, secret}) WriteFile(file, kOriginal);
    fs::permissions(dir.Path(), fs::perms(0777));
    fs::permissions(readOnly, fs::perms(0444));
    fs::permissions(inFolder, fs::perms(0666));
    fs::permissions(dir.File("ro"), fs::perms(0555));
    fs::permissions(secret, fs::perms(0200));
    auto body = [&] {
        return Described(WriteValue(readOnly, "S", "k", "new")) + "," +
               Described(DeleteKey(readOnly, "S", "k")) + "," +
               Described(DeleteSection(readOnly, "S")) + "," +
               ReadValue(readOnly, "S", "k").value_or("unread") + "," +
               Described(WriteValue(inFolder, "S", "k", "new")) + "," +
               Described(WriteValue(dir.File("ro/new.ini"), "S", "k", "v")) + "," +
               ReadValue(secret, "S", "k").value_or("missing") + "," +
               std::to_string(SectionNames(secret).size());
    };
    const std::string outcome = geteuid() != 0
                                    ? body()
                                    : InChild(
                                          [] {
                                              return setgroups(0, nullptr) == 0 &&
                                                     setresgid(65534, 65534, 65534) == 0 &&
                                                     setresuid(65534, 65534, 65534) == 0;
                                          },
                                          body);
    fs::permissions(dir.File("ro"), fs::perms(0700));
    const std::string e = AccessError(readOnly, "cannot open it for writing: Permission denied");
    const std::string noTemp = "cannot create a temporary file beside it: Permission denied";
    EXPECT_EQ(outcome, e + "," + e + "," + e + ",old," + AccessError(inFolder, noTemp) + "," +
                           AccessError(dir.File("ro/new.ini"), noTemp) + ",missing,0");
    EXPECT_EQ(ReadFile(readOnly), kOriginal);
    EXPECT_EQ(ReadFile(inFolder), kOriginal);
    EXPECT_EQ(EntryCount(dir.Path()), 3u);
    EXPECT_EQ(EntryCount(dir.File("ro")), 1u);
}

}  // namespace
