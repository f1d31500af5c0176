// The registry shared by processes: writers killed mid-write and writers running side by side.
#include <signal.h>
#include <sqlite3.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <filesystem>
#include <random>
#include <thread>

#include "registry_test_support.h"

using namespace registry_test;

namespace {

// A value's content names the value and its own length, so a torn or misplaced write shows:
// "<name>:<fill>:" followed by `fill` bytes cycling through the name.
std::string Payload(const std::string& name, size_t fill) {
    std::string out = name + ":" + std::to_string(fill) + ":";
    for (size_t i = 0; i < fill; ++i) out += name[i % name.size()];
    return out;
}

// True when `bytes` is exactly the payload of a value called `name`.
bool IsPayloadOf(const std::string& name, const std::string& bytes) {
    const size_t colon = bytes.find(':', name.size() + 1);
    if (bytes.compare(0, name.size() + 1, name + ":") != 0 || colon == std::string::npos) {
        return false;
    }
    const size_t fill = std::stoul(bytes.substr(name.size() + 1, colon - name.size() - 1));
    return bytes == Payload(name, fill);
}

std::string IntegrityCheck(const std::string& file) {
    sqlite3* db = nullptr;
    std::string result = "cannot open";
    if (sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr) == SQLITE_OK) {
        sqlite3_stmt* stmt = nullptr;
        if (sqlite3_prepare_v2(db, "PRAGMA integrity_check", -1, &stmt, nullptr) == SQLITE_OK &&
            sqlite3_step(stmt) == SQLITE_ROW) {
            result = reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0));
        } else {
            result = sqlite3_errmsg(db);
        }
        sqlite3_finalize(stmt);
    }
    sqlite3_close(db);
    return result;
}

std::string RoundValue(int round, int i) {
    return "r" + std::to_string(round) + "_" + std::to_string(i);
}

// Child side of a crash round: tells the parent it has started, then writes values in order
// (each with its own size) and now and then rewrites one large value, until killed.
[[noreturn]] void WriteUntilKilled(int round, int ready) {
    reg::Handle h = 0;
    if (reg::CreateKey(reg::HKEY_CURRENT_USER, "Crash", reg::KEY_ALL_ACCESS, &h, nullptr) != 0) {
        _exit(2);
    }
    // The parent may not be listening any more; that must not end the child early.
    signal(SIGPIPE, SIG_IGN);
    const char byte = 1;
    [[maybe_unused]] const ssize_t sent = write(ready, &byte, 1);
    for (int i = 0; i < 1'000'000; ++i) {
        const std::string name = RoundValue(round, i);
        if (SetBytes(h, name, reg::REG_BINARY, Payload(name, (i * 131) % 3000)) != 0)
            _exit(4);
        if (i % 4 == 0 &&
            SetBytes(h, "Big", reg::REG_BINARY, Payload("Big", 20'000 + (i % 8) * 1'000)) != 0) {
            _exit(5);
        }
    }
    _exit(0);
}

TEST_F(RegistryTest, WriterKilledAtRandomMomentsLeavesEveryValueWholeOrAbsent) {
    constexpr int kRounds = 120;
    const unsigned seed = std::random_device{}();
    SCOPED_TRACE("seed " + std::to_string(seed));
    std::mt19937 random(seed);
    int intactDatabases = 0, roundsWithValues = 0;
    for (int round = 0; round < kRounds; ++round) {
        SCOPED_TRACE("round " + std::to_string(round));
        int pipeFds[2];
        ASSERT_EQ(pipe(pipeFds), 0);
        const pid_t child = fork();
        ASSERT_GE(child, 0);
        if (child == 0) {
            close(pipeFds[0]);
            WriteUntilKilled(round, pipeFds[1]);
        }
        close(pipeFds[1]);
        // Every fourth round the kill may land while the child is still opening the database.
        if (round % 4 != 0) {
            char byte = 0;
            ASSERT_EQ(read(pipeFds[0], &byte, 1), 1);
        }
        close(pipeFds[0]);
        std::this_thread::sleep_for(
            std::chrono::microseconds(std::uniform_int_distribution<int>(0, 25'000)(random)));
        kill(child, SIGKILL);
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        ASSERT_TRUE(WIFSIGNALED(status)) << "child ended by itself with " << WEXITSTATUS(status);

        // A child killed before it created the database leaves nothing to check.
        if (!std::filesystem::exists(DatabaseFile())) {
            ++intactDatabases;
            continue;
        }
        const std::string integrity = IntegrityCheck(DatabaseFile());
        EXPECT_EQ(integrity, "ok");
        if (integrity == "ok")
            ++intactDatabases;
        reg::Handle h = 0;
        if (reg::OpenKey(reg::HKEY_CURRENT_USER, "Crash", reg::KEY_READ, &h) != 0)
            continue;
        int written = 0;
        while (const auto stored = Read(h, RoundValue(round, written))) {
            ASSERT_TRUE(IsPayloadOf(RoundValue(round, written), Text(stored->bytes)));
            ++written;
        }
        // Values are written in order, so none after the first missing one exists.
        for (int later = written + 1; later < written + 4; ++later) {
            EXPECT_FALSE(Read(h, RoundValue(round, later)));
        }
        if (const auto big = Read(h, "Big")) {
            EXPECT_TRUE(IsPayloadOf("Big", Text(big->bytes)));
        }
        roundsWithValues += written > 0;
        reg::CloseKey(h);
    }
    EXPECT_EQ(intactDatabases, kRounds);
    // Enough rounds must get some writing done before the kill, or the test proves little.
    EXPECT_GE(roundsWithValues, kRounds / 8);
}

TEST_F(RegistryTest, TwoProcessesWritingIntoOneKeyKeepAllValues) {
    constexpr int kProcesses = 2, kValues = 500;
    pid_t children[kProcesses];
    for (int p = 0; p < kProcesses; ++p) {
        children[p] = fork();
        ASSERT_GE(children[p], 0);
        if (children[p] == 0) {
            reg::Handle h = 0;
            reg::CreateKey(reg::HKEY_CURRENT_USER, "Shared", reg::KEY_ALL_ACCESS, &h, nullptr);
            for (int i = 0; i < kValues; ++i) {
                const std::string name = "p" + std::to_string(p) + "_" + std::to_string(i);
                if (SetBytes(h, name, reg::REG_SZ, Payload(name, i % 50)) != 0)
                    _exit(3);
            }
            _exit(0);
        }
    }
    for (pid_t child : children) {
        int status = 0;
        ASSERT_EQ(waitpid(child, &status, 0), child);
        EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0);
    }
    reg::Handle h = 0;
    ASSERT_EQ(reg::OpenKey(reg::HKEY_CURRENT_USER, "Shared", reg::KEY_READ, &h), 0);
    int present = 0;
    for (int p = 0; p < kProcesses; ++p) {
        for (int i = 0; i < kValues; ++i) {
            const std::string name = "p" + std::to_string(p) + "_" + std::to_string(i);
            const auto stored = Read(h, name);
            present += stored && IsPayloadOf(name, Text(stored->bytes));
        }
    }
    EXPECT_EQ(present, 1000);
}

}  // namespace
