// Several processes on one file: writers killed part-way and writers running side by side.
#include "profile.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <filesystem>
#include <random>
#include <set>
#include <string>

#include "temp_dir.h"

using namespace platform::profile;
using testing_support::ReadFile;
using testing_support::TempDir;
using testing_support::WriteFile;

namespace {

std::string FileWith(const std::string& value) {
    return "; settings\n[Before]\nb=1\n\n[S]\nk=" + value + "\nz=2\n[After]\na=3\n";
}

TEST(ProfileCrash, KilledWriterLeavesTheOldOrTheNewFile) {
    TempDir dir;
    const std::string file = dir.File("crash.ini");
    const std::string first(20000, 'a');
    const std::string second(30000, 'b');
    WriteFile(file, FileWith("initial"));
    const std::set<std::string> whole = {FileWith("initial"), FileWith(first), FileWith(second)};

    std::mt19937 random(12345);
    // Up to about the time one flushed write takes, so kills land before, inside and after it.
    std::uniform_int_distribution<int> delay(0, 8000);
    for (int round = 0; round < 200; ++round) {
        const std::string before = ReadFile(file);
        // The child starts with the value the file does not hold, so that every write changes it.
        const bool firstHeld = before == FileWith(first);
        const pid_t pid = fork();
        ASSERT_GE(pid, 0);
        if (pid == 0) {
            for (int i = firstHeld ? 1 : 0;; ++i) {
                WriteValue(file, "S", "k", i % 2 ? second : first, "Qfstore");
            }
        }
        usleep(static_cast<useconds_t>(delay(random)));
        kill(pid, SIGKILL);
        int status = 0;
        waitpid(pid, &status, 0);
        ASSERT_TRUE(WIFSIGNALED(status));
        ASSERT_EQ(whole.count(ReadFile(file)), 1u) << "round " << round;
    }
    // A copy left half-written by the last victim is replaced and renamed by the next writer.
    WriteValue(file, "S", "k", "final", "Qfstore");
    EXPECT_EQ(ReadFile(file), FileWith("final"));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()),
                            std::filesystem::directory_iterator()),
              1);
}

TEST(ProfileConcurrency, TwoProcessesWritingDistinctKeysLoseNothing) {
    TempDir dir;
    const std::string file = dir.File("shared.ini");
    constexpr int kKeys = 500;
    pid_t writers[2];
    for (int w = 0; w < 2; ++w) {
        writers[w] = fork();
        ASSERT_GE(writers[w], 0);
        if (writers[w] == 0) {
            try {
                for (int i = 0; i < kKeys; ++i) {
                    const std::string n = std::to_string(i);
                    WriteValue(file, "Shared", "w" + std::to_string(w) + "_" + n, n, "Qfstore");
                }
            } catch (...) {
                _exit(1);
            }
            _exit(0);
        }
    }
    for (pid_t pid : writers) {
        int status = 0;
        waitpid(pid, &status, 0);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    EXPECT_EQ(KeyNames(file, "Shared").size(), 2u * kKeys);
    int missing = 0;
    for (int w = 0; w < 2; ++w) {
        for (int i = 0; i < kKeys; ++i) {
            const std::string n = std::to_string(i);
            if (ReadValue(file, "Shared", "w" + std::to_string(w) + "_" + n) != n)
                ++missing;
        }
    }
    EXPECT_EQ(missing, 0);
}

}  // namespace
