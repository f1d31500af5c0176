// The registry shared by processes: writers killed mid-write and writers running side by side.
#include <grp.h>
#include <sqlite3.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <chrono>
#include <filesystem>
#include <random>
#include <thread>

#include "child_process.h"
#include "registry_test_support.h"

using namespace registry_test;
using testing_support::ExitedCleanly;
using testing_support::InChild;
using testing_support::KillAndReap;
using testing_support::SideBySide;
using testing_support::Spawn;

namespace {

// "<name>:<fill>:" followed by `fill` bytes cycling through the name, so that a torn or
// misplaced write shows.
std::string Payload(const std::string& name, int fill) {
    std::string out = name + ":" + std::to_string(fill) + ":";
    for (size_t i = 0; i < static_cast<size_t>(fill); ++i) out += name[i % name.size()];
    return out;
}

bool IsPayloadOf(const std::string& name, const std::optional<Stored>& stored) {
    if (!stored)
        return false;
    const std::string bytes = Text(stored->bytes);
    const size_t colon = bytes.find(':', name.size() + 1);
    if (bytes.compare(0, name.size() + 1, name + ":") != 0 || colon == std::string::npos)
        return false;
    return bytes == Payload(name, std::stoi(bytes.substr(name.size() + 1)));
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

double SecondsSince(std::chrono::steady_clock::time_point start) {
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

// While another process holds a write transaction, a fresh process reads the last commit at
// once, and its write gives up after the 5-second wait with 170, naming the database.
TEST_F(RegistryTest, WhileAnotherProcessWritesReadsGoOnAndWritesWaitFiveSeconds) {
    reg::Handle h = 0;
    ASSERT_EQ(reg::CreateKey(reg::HKEY_CURRENT_USER, "Held", reg::KEY_ALL_ACCESS, &h, nullptr), 0);
    ASSERT_EQ(SetBytes(h, "V", reg::REG_SZ, "x"), 0);
    int ready[2], release[2];
    ASSERT_EQ(pipe(ready), 0);
    ASSERT_EQ(pipe(release), 0);
    const pid_t holder = Spawn([&] {
        close(release[1]);
        sqlite3* db = nullptr;
        const bool held = sqlite3_open_v2(DatabaseFile().c_str(), &db, SQLITE_OPEN_READWRITE,
                                          nullptr) == SQLITE_OK &&
                          sqlite3_exec(db, "BEGIN IMMEDIATE; DELETE FROM reg_values", nullptr,
                                       nullptr, nullptr) == SQLITE_OK;
        char byte = held ? 'y' : 'n';
        const bool told = write(ready[1], &byte, 1) == 1;
        while (read(release[0], &byte, 1) > 0) {
        }
        sqlite3_close(db);
        return held && told;
    });
    close(ready[1]);
    close(release[0]);
    char byte = 0;
    ASSERT_EQ(read(ready[0], &byte, 1), 1);
    close(ready[0]);
    const std::string outcome = InChild(
        [] { return true; },
        [] {
            const auto start = std::chrono::steady_clock::now();
            reg::Handle key = 0;
            const long open =
                reg::OpenKey(reg::HKEY_CURRENT_USER, "Held", reg::KEY_ALL_ACCESS, &key);
            const auto stored = Read(key, "V");
            const double reading = SecondsSince(start);
            const long written = SetBytes(key, "V", reg::REG_SZ, "y");
            const double writing = SecondsSince(start) - reading;
            return std::to_string(open) + "," + (stored ? Text(stored->bytes) : "unread") + "," +
                   (reading < 6 ? "read within 6 s" : "read late") + "," + std::to_string(written) +
                   "," +
                   (writing > 4.5 && writing < 8 ? "after about 5 s" : std::to_string(writing)) +
                   "," + reg::StatusText(written);
        });
    close(release[1]);
    EXPECT_TRUE(ExitedCleanly(holder));
    EXPECT_EQ(byte, 'y');
    EXPECT_EQ(outcome, "0,x,read within 6 s,170,after about 5 s,The registry database " +
                           DatabaseFile() +
                           " is locked by another process: database is locked (SQLite error 5)");
}

// A database that cannot be written still reads, and keys that exist still open through
// CreateKey; only writes fail. A read-only file is used without the superuser's right to ignore
// permissions (as user 65534 when this process is root); a file-size limit of 0 makes every
// write fail as a full disk does.
TEST_F(RegistryTest, ADatabaseThatCannotBeWrittenStillReads) {
    reg::Handle h = 0;
    ASSERT_EQ(reg::CreateKey(reg::HKEY_CURRENT_USER, "K", reg::KEY_ALL_ACCESS, &h, nullptr), 0);
    ASSERT_EQ(SetBytes(h, "V", reg::REG_SZ, "x"), 0);
    const rlimit noGrowth{0, 0};
    const auto fullDisk = [&] {
        return signal(SIGXFSZ, SIG_IGN) != SIG_ERR && setrlimit(RLIMIT_FSIZE, &noGrowth) == 0;
    };
    const auto readOnly = [&] {
        if (chmod(DatabaseFile().c_str(), 0400) != 0)
            return false;
        if (geteuid() != 0)
            return true;
        bool owned = chown(dir_.Path().c_str(), 65534, 65534) == 0;
        for (const auto& entry : std::filesystem::recursive_directory_iterator(dir_.Path()))
            owned = owned && chown(entry.path().c_str(), 65534, 65534) == 0;
        return owned && setgroups(0, nullptr) == 0 && setresgid(65534, 65534, 65534) == 0 &&
               setresuid(65534, 65534, 65534) == 0;
    };
    const auto body = [] {
        reg::Handle key = 0;
        const long open =
            reg::CreateKey(reg::HKEY_CURRENT_USER, "K", reg::KEY_ALL_ACCESS, &key, nullptr);
        const auto stored = Read(key, "V");
        const long written = SetBytes(key, "V", reg::REG_SZ, "y");
        reg::Handle sub = 0;
        const long created = reg::CreateKey(key, "New", reg::KEY_ALL_ACCESS, &sub, nullptr);
        return std::to_string(open) + "," + (stored ? Text(stored->bytes) : "unread") + "," +
               std::to_string(written) + "," + std::to_string(created) + "," +
               reg::StatusText(written);
    };
    const std::string prefix = "0,x,1013,1013,The registry database " + DatabaseFile();
    EXPECT_EQ(InChild(fullDisk, body),
              prefix + " could not be written: disk I/O error (SQLite error 4618)");
    EXPECT_EQ(InChild(readOnly, body),
              prefix +
                  " could not be written: attempt to write a readonly database "
                  "(SQLite error 8)");
}

}  // namespace
