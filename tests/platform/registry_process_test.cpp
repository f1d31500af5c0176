// The registry shared by processes: writers killed mid-write and writers running side by side.
#include <sqlite3.h>

#include <chrono>
#include <filesystem>
#include <random>
#include <thread>

#include "child_process.h"
#include "registry_test_support.h"

using namespace registry_test;
using testing_support::KillAndReap;
using testing_support::SideBySide;
using testing_support::Spawn;

namespace {

// "<name>:<fill>:" followed by `fill` bytes cycling through the name, so that a torn or
// misplaced write shows.
std::string Payload(const std::string& name, size_t fill) {
    std::string out = name + ":" + std::to_string(fill) + ":";
    for (size_t i = 0; i < fill; ++i) out += name[i % name.size()];
    return out;
}

bool IsPayloadOf(const std::string& name, const std::optional<Stored>& stored) {
    if (!stored)
        return false;
    const std::string bytes = Text(stored->bytes);
    const size_t colon = bytes.find(':', name.size() + 1);
    if (bytes.compare(0, name.size() + 1, name + ":") != 0 || colon == std::string::npos)
        return false;
    return bytes == Payload(name, std::stoul(bytes.substr(name.size() + 1)));
}

std::string IntegrityCheck(const std::string& file) {
    sqlite3* db = nullptr;
    sqlite3_stmt* stmt = nullptr;
    std::string result = "cannot check";
    if (sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr) == SQLITE_OK &&
        sqlite3_prepare_v2(db, "PRAGMA integrity_check", -1, &stmt, nullptr) == SQLITE_OK &&
        sqlite3_step(stmt) == SQLITE_ROW) {
        result = reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0));
    }
    sqlite3_finalize(stmt);
    sqlite3_close(db);
    return result;
}

std::string RoundValue(int round, int i) {
    return "r" + std::to_string(round) + "_" + std::to_string(i);
}

// Writes values in order (each with its own size) and now and then rewrites one large value,
// after telling the parent through `ready` that it has started.
bool WriteUntilKilled(int round, int ready) {
    reg::Handle h = 0;
    if (reg::CreateKey(reg::HKEY_CURRENT_USER, "Crash", reg::KEY_ALL_ACCESS, &h, nullptr) != 0)
        return false;
    signal(SIGPIPE, SIG_IGN);  // the parent may not be listening any more
    [[maybe_unused]] const ssize_t sent = write(ready, "x", 1);
    for (int i = 0;; ++i) {
        const std::string name = RoundValue(round, i);
        if (SetBytes(h, name, reg::REG_BINARY, Payload(name, (i * 131) % 3000)) != 0 ||
            (i % 4 == 0 &&
             SetBytes(h, "Big", reg::REG_BINARY, Payload("Big", 20'000 + (i % 8) * 1'000)) != 0)) {
            return false;
        }
    }
}

TEST_F(RegistryTest, WriterKilledAtRandomMomentsLeavesEveryValueWholeOrAbsent) {
    constexpr int kRounds = 120;
    const unsigned seed = std::random_device{}();
    SCOPED_TRACE("seed " + std::to_string(seed));
    std::mt19937 random(seed);
    int roundsWithValues = 0;
    for (int round = 0; round < kRounds; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        int fds[2];
        ASSERT_EQ(pipe(fds), 0);
        const pid_t child =
            Spawn([&] { return close(fds[0]) == 0 && WriteUntilKilled(round, fds[1]); });
        ASSERT_GT(child, 0);
        close(fds[1]);
        // Every fourth round the kill may land while the child is still opening the database.
        char byte = 0;
        if (round % 4 != 0) {
            ASSERT_EQ(read(fds[0], &byte, 1), 1);
        }
        close(fds[0]);
        std::this_thread::sleep_for(
            std::chrono::microseconds(std::uniform_int_distribution<int>(0, 25'000)(random)));
        ASSERT_TRUE(KillAndReap(child)) << "the child ended by itself";

        // A child killed before it created the database leaves nothing to check.
        if (!std::filesystem::exists(DatabaseFile()))
            continue;
        ASSERT_EQ(IntegrityCheck(DatabaseFile()), "ok");
        reg::Handle h = 0;
        if (reg::OpenKey(reg::HKEY_CURRENT_USER, "Crash", reg::KEY_READ, &h) != 0)
            continue;
        int written = 0;
        for (std::optional<Stored> v; (v = Read(h, RoundValue(round, written))); ++written) {
            ASSERT_TRUE(IsPayloadOf(RoundValue(round, written), v));
        }
        // Values are written in order, so none after the first missing one exists.
        for (int later = written + 1; later < written + 4; ++later) {
            EXPECT_FALSE(Read(h, RoundValue(round, later)));
        }
        if (const auto big = Read(h, "Big")) {
            EXPECT_TRUE(IsPayloadOf("Big", big));
        }
        roundsWithValues += written > 0;
        reg::CloseKey(h);
    }
    // Enough rounds must get some writing done before the kill, or the test proves little.
    EXPECT_GE(roundsWithValues, kRounds / 8);
}

TEST_F(RegistryTest, TwoProcessesWritingIntoOneKeyKeepAllValues) {
    auto name = [](int p, int i) { return "p" + std::to_string(p) + "_" + std::to_string(i); };
    EXPECT_TRUE(SideBySide(2, [&](int p) {
        reg::Handle h = 0;
        reg::CreateKey(reg::HKEY_CURRENT_USER, "Shared", reg::KEY_ALL_ACCESS, &h, nullptr);
        for (int i = 0; i < 500; ++i) {
            if (SetBytes(h, name(p, i), reg::REG_SZ, Payload(name(p, i), i % 50)) != 0)
                return false;
        }
        return true;
    }));
    reg::Handle h = 0;
    ASSERT_EQ(reg::OpenKey(reg::HKEY_CURRENT_USER, "Shared", reg::KEY_READ, &h), 0);
    int present = 0;
    for (int p = 0; p < 2; ++p) {
        for (int i = 0; i < 500; ++i) present += IsPayloadOf(name(p, i), Read(h, name(p, i)));
    }
    EXPECT_EQ(present, 1000);
}

}  // namespace
