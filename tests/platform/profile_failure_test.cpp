// Writes that cannot be carried out: the error raised and the files left as they were.
#include "profile.h"

#include <grp.h>
#include <gtest/gtest.h>
#include <signal.h>
#include <sys/resource.h>
#include <sys/stat.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <functional>
#include <string>

#include "qfstore/error.h"
#include "temp_dir.h"

using namespace platform::profile;
using testing_support::ReadFile;
using testing_support::TempDir;
using testing_support::WriteFile;

namespace {

constexpr const char* kOriginal = "; keep\n[S]\nk=old\n";

// "number|description|source" of the error `action` raises, or "none".
std::string Outcome(const std::function<void()>& action) {
    try {
        action();
    } catch (const qfstore::Error& e) {
        return std::to_string(e.Number()) + "|" + e.Description() + "|" + e.Source();
    }
    return "none";
}

const std::string kAccessError = "75|Path/File access error|Qfstore";
const std::string kInvalidCall = "5|Invalid procedure call or argument|Gearsheet";

// Runs `body` in a child process (set up by `prepare` there) and hands back what it returned.
std::string InChild(const std::function<bool()>& prepare,
                    const std::function<std::string()>& body) {
    int pipeFds[2];
    if (pipe(pipeFds) != 0)
        return "pipe failed";
    const pid_t pid = fork();
    if (pid == 0) {
        close(pipeFds[0]);
        const std::string result = prepare() ? body() : "prepare failed";
        const ssize_t written = write(pipeFds[1], result.data(), result.size());
        _exit(written == static_cast<ssize_t>(result.size()) ? 0 : 1);
    }
    close(pipeFds[1]);
    std::string result;
    char buffer[256];
    ssize_t n;
    while ((n = read(pipeFds[0], buffer, sizeof buffer)) > 0) result.append(buffer, n);
    close(pipeFds[0]);
    int status = 0;
    waitpid(pid, &status, 0);
    return result;
}

// Runs `body` without the superuser's right to ignore permissions: as user and group 65534 when
// this process is root, in this process otherwise.
std::string Unprivileged(const std::function<std::string()>& body) {
    if (geteuid() != 0)
        return body();
    return InChild(
        [] {
            return setgroups(0, nullptr) == 0 && setresgid(65534, 65534, 65534) == 0 &&
                   setresuid(65534, 65534, 65534) == 0;
        },
        body);
}

size_t EntryCount(const std::filesystem::path& folder) {
    return static_cast<size_t>(std::distance(std::filesystem::directory_iterator(folder),
                                             std::filesystem::directory_iterator()));
}

TEST(ProfileFailure, LineBreakInANameRaises5AndLeavesTheFile) {
    TempDir dir;
    const std::string file = dir.File("names.ini");
    WriteFile(file, kOriginal);
    for (auto [section, key] :
         {std::pair{"S\n[X]", "k"}, {"S\r", "k"}, {"S", "k\nx=1"}, {"S", "\rk"}}) {
        EXPECT_EQ(Outcome([&] { WriteValue(file, section, key, "v", "Gearsheet"); }), kInvalidCall);
        EXPECT_EQ(Outcome([&] { DeleteKey(file, section, key, "Gearsheet"); }), kInvalidCall);
        if (std::string(section) != "S") {
            EXPECT_EQ(Outcome([&] { DeleteSection(file, section, "Gearsheet"); }), kInvalidCall);
        }
    }
    EXPECT_EQ(ReadFile(file), kOriginal);
}

TEST(ProfileFailure, NoFolderToWriteInRaises75AndChangesNothing) {
    TempDir dir;
    const std::string blocker = dir.File("folder");
    WriteFile(blocker, kOriginal);
    std::filesystem::create_directory(dir.File("settings.ini"));
    for (const std::string& file :
         {dir.File("missing/settings.ini"), blocker + "/settings.ini", dir.File("settings.ini")}) {
        EXPECT_EQ(Outcome([&] { WriteValue(file, "S", "k", "v", "Qfstore"); }), kAccessError)
            << file;
    }
    EXPECT_EQ(ReadFile(blocker), kOriginal);
    EXPECT_TRUE(std::filesystem::is_directory(dir.File("settings.ini")));
    EXPECT_EQ(EntryCount(dir.Path()), 2u);
    // Removing from a file that cannot exist finds nothing to remove.
    EXPECT_EQ(Outcome([&] { DeleteKey(dir.File("missing/s.ini"), "S", "k", "Qfstore"); }), "none");
    EXPECT_EQ(Outcome([&] { DeleteSection(dir.File("missing/s.ini"), "S", "Qfstore"); }), "none");
}

TEST(ProfileFailure, FullDiskRaises75AndKeepsTheOldFile) {
    TempDir dir;
    const std::string file = dir.File("full.ini");
    WriteFile(file, kOriginal);
    // A file-size limit makes the write fail as a full disk does, for root as well.
    const std::string outcome = InChild(
        [] {
            signal(SIGXFSZ, SIG_IGN);
            const rlimit limit{4096, 4096};
            return setrlimit(RLIMIT_FSIZE, &limit) == 0;
        },
        [&] {
            return Outcome([&] { WriteValue(file, "S", "k", std::string(10000, 'x'), "Qfstore"); });
        });
    EXPECT_EQ(outcome, kAccessError);
    EXPECT_EQ(ReadFile(file), kOriginal);
    EXPECT_EQ(EntryCount(dir.Path()), 1u);
}

TEST(ProfileFailure, ReadOnlyFileRaises75AndStaysUnchanged) {
    TempDir dir;
    const std::string file = dir.File("readonly.ini");
    WriteFile(file, kOriginal);
    std::filesystem::permissions(dir.Path(), std::filesystem::perms(0777));
    std::filesystem::permissions(file, std::filesystem::perms(0444));
    const std::string outcome = Unprivileged([&] {
        return Outcome([&] { WriteValue(file, "S", "k", "new", "Qfstore"); }) + "," +
               Outcome([&] { DeleteKey(file, "S", "k", "Qfstore"); }) + "," +
               Outcome([&] { DeleteSection(file, "S", "Qfstore"); }) + "," +
               ReadValue(file, "S", "k").value_or("unread");
    });
    EXPECT_EQ(outcome, kAccessError + "," + kAccessError + "," + kAccessError + ",old");
    EXPECT_EQ(ReadFile(file), kOriginal);
    EXPECT_EQ(EntryCount(dir.Path()), 1u);
}

TEST(ProfileFailure, ReadOnlyFolderRaises75AndLeavesItUnchanged) {
    TempDir dir;
    const std::string file = dir.File("settings.ini");
    WriteFile(file, kOriginal);
    std::filesystem::permissions(file, std::filesystem::perms(0666));
    std::filesystem::permissions(dir.Path(), std::filesystem::perms(0555));
    const std::string outcome = Unprivileged([&] {
        return Outcome([&] { WriteValue(file, "S", "k", "new", "Qfstore"); }) + "," +
               Outcome([&] { WriteValue(dir.File("new.ini"), "S", "k", "v", "Qfstore"); });
    });
    std::filesystem::permissions(dir.Path(), std::filesystem::perms(0700));
    EXPECT_EQ(outcome, kAccessError + "," + kAccessError);
    EXPECT_EQ(ReadFile(file), kOriginal);
    EXPECT_EQ(EntryCount(dir.Path()), 1u);
}

TEST(ProfileFailure, UnreadableFileReadsAsMissing) {
    TempDir dir;
    const std::string file = dir.File("secret.ini");
    WriteFile(file, kOriginal);
    std::filesystem::permissions(dir.Path(), std::filesystem::perms(0755));
    std::filesystem::permissions(file, std::filesystem::perms(0200));
    const std::string outcome = Unprivileged([&] {
        return ReadValue(file, "S", "k").value_or("missing") + "," +
               std::to_string(SectionNames(file).size());
    });
    EXPECT_EQ(outcome, "missing,0");
}

}  // namespace
