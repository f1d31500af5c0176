// Several processes on one file: writers killed part-way and writers running side by side.
#include <gtest/gtest.h>
#include <unistd.h>

#include <filesystem>
#include <random>
#include <set>
#include <string>

#include "child_process.h"
#include "platform/profile.h"
#include "temp_dir.h"

using namespace platform::profile;
using namespace testing_support;

namespace {

std::string FileWith(const std::string& value) {
    return "; settings\n[Before]\nb=1\n\n[S]\nk=" + value + "\nz=2\n[After]\na=3\n";
}

TEST(ProfileCrash, KilledWriterLeavesTheOldOrTheNewFile) {
    TempDir dir;
    const std::string file = dir.File("crash.ini");
    const std::string first(20000, 'a'), second(30000, 'b');
    WriteFile(file, FileWith("initial"));
    const std::set<std::string> whole = {FileWith("initial"), FileWith(first), FileWith(second)};
    std::mt19937 random(12345);
    // Up to about the time one flushed write takes, so kills land before, inside and after it.
    std::uniform_int_distribution<int> delay(0, 8000);
    for (int round = 0; round < 200; ++round) {
        // The child starts with the value the file does not hold, so that every write changes it.
        const bool firstHeld = ReadFile(file) == FileWith(first);
        const pid_t pid = Spawn([&] {
            for (int i = firstHeld ? 1 : 0;; ++i) {
                if (!WriteValue(file, "S", "k", i % 2 ? second : first))
                    return false;
            }
        });
        ASSERT_GT(pid, 0);
        usleep(static_cast<useconds_t>(delay(random)));
        ASSERT_TRUE(KillAndReap(pid));
        ASSERT_EQ(whole.count(ReadFile(file)), 1u) << "round " << round;
    }
    // A copy left half-written by the last victim is replaced and renamed by the next writer.
    EXPECT_TRUE(WriteValue(file, "S", "k", "final"));
    EXPECT_EQ(ReadFile(file), FileWith("final"));
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.Path()), {}), 1);
}

TEST(ProfileConcurrency, TwoProcessesWritingDistinctKeysLoseNothing) {
    TempDir dir;
    const std::string file = dir.File("shared.ini");
    auto name = [](int w, int i) { return "w" + std::to_string(w) + "_" + std::to_string(i); };
    EXPECT_TRUE(SideBySide(2, [&](int w) {
        for (int i = 0; i < 500; ++i) {
            if (!WriteValue(file, "Shared", name(w, i), name(w, i)))
                return false;
        }
        return true;
    }));
    EXPECT_EQ(KeyNames(file, "Shared").size(), 1000u);
    int present = 0;
    for (int w = 0; w < 2; ++w) {
        for (int i = 0; i < 500; ++i)
            present += ReadValue(file, "Shared", name(w, i)) == name(w, i);
    }
    EXPECT_EQ(present, 1000);
}

}  // namespace
