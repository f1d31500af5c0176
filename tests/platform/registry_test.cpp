// The registry: status codes, names, keys and values in one process, and processes sharing the
// database: writers killed mid-write, writers side by side, a held write lock and a database that
// cannot be written.
#include "platform/registry.h"

#include <grp.h>
#include <gtest/gtest.h>
#include <sqlite3.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/socket.h>
#include <sys/stat.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <optional>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "child_process.h"
#include "temp_dir.h"

using namespace testing_support;
using namespace std::string_literals;
namespace reg = platform::registry;

namespace {

constexpr reg::Handle kUser = reg::HKEY_CURRENT_USER;

// Points XDG_CONFIG_HOME at a fresh folder, so each test starts with an empty registry.
class RegistryTest : public ::testing::Test {
  protected:
    void SetUp() override { ASSERT_EQ(setenv("XDG_CONFIG_HOME", dir_.Path().c_str(), 1), 0); }

    std::string DatabaseFile() const { return dir_.File("qfstore/registry.sqlite3"); }

    TempDir dir_;
};

struct Stored {
    uint32_t kind;
    std::vector<uint8_t> bytes;
};

long SetBytes(reg::Handle key, const std::string& name, uint32_t kind, const std::string& bytes) {
    return reg::SetValue(key, name, kind, reinterpret_cast<const uint8_t*>(bytes.data()),
                         static_cast<uint32_t>(bytes.size()));
}

// The value's kind and bytes, read with a buffer of the size a first query reports.
std::optional<Stored> Read(reg::Handle key, const std::string& name) {
    Stored out{};
    uint32_t size = 0;
    if (reg::QueryValue(key, name, &out.kind, nullptr, &size) != reg::kSuccess)
        return {};
    out.bytes.resize(size);
    uint8_t spare = 0;  // a valid pointer also for an empty value
    if (reg::QueryValue(key, name, &out.kind, size ? out.bytes.data() : &spare, &size) !=
        reg::kSuccess) {
        return {};
    }
    out.bytes.resize(size);
    return out;
}

std::string Text(const std::vector<uint8_t>& bytes) {
    return std::string(bytes.begin(), bytes.end());
}

// The first column of the first row `sql` gives with `param` bound to its first parameter, read
// from the database itself; "none" when it cannot be read.
std::string FirstText(const std::string& file, const std::string& sql,
                      const std::string& param = {}) {
    sqlite3* db = nullptr;
    sqlite3_stmt* stmt = nullptr;
    std::string result = "none";
    if (sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READWRITE, nullptr) == SQLITE_OK &&
        sqlite3_prepare_v2(db, sql.c_str(), -1, &stmt, nullptr) == SQLITE_OK &&
        (param.empty() ||
         sqlite3_bind_text(stmt, 1, param.c_str(), -1, SQLITE_TRANSIENT) == SQLITE_OK) &&
        sqlite3_step(stmt) == SQLITE_ROW) {
        result = reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0));
    }
    sqlite3_finalize(stmt);
    sqlite3_close(db);
    return result;
}

// The spelling under which a key or value name is stored; the operations offer no listing.
std::string StoredName(const std::string& file, const char* table, const std::string& name) {
    return FirstText(file, "SELECT name FROM "s + table + " WHERE name = ?", name);
}

long Open(reg::Handle parent, const std::string& path, uint32_t access = reg::KEY_READ) {
    reg::Handle h = 0;
    return reg::OpenKey(parent, path, access, &h);
}

long Create(reg::Handle parent, const std::string& path) {
    reg::Handle h = 0;
    return reg::CreateKey(parent, path, reg::KEY_ALL_ACCESS, &h, nullptr);
}

long Query(reg::Handle key, const std::string& name) {
    uint32_t kind = 0, size = 0;
    return reg::QueryValue(key, name, &kind, nullptr, &size);
}

// A key created (with its parents) under HKEY_CURRENT_USER with every access.
reg::Handle NewKey(const std::string& path, uint32_t* disposition = nullptr) {
    reg::Handle h = 0;
    EXPECT_EQ(reg::CreateKey(kUser, path, reg::KEY_ALL_ACCESS, &h, disposition), 0);
    return h;
}

// Every status starting from HKCU\Software\Test with the value "Text" = "abc" and the subkey
// Child; handles to Test with every, query-only and set-only access, and a closed handle.
TEST_F(RegistryTest, StatusCodes) {
    const reg::Handle closed = NewKey("Software\\Test\\Child");
    ASSERT_EQ(reg::CloseKey(closed), 0);
    const reg::Handle test = NewKey("Software\\Test");
    ASSERT_EQ(SetBytes(test, "Text", reg::REG_SZ, "abc\0"s), 0);
    reg::Handle readOnly = 0, writeOnly = 0;
    ASSERT_EQ(reg::OpenKey(kUser, "Software\\Test", reg::KEY_QUERY_VALUE, &readOnly), 0);
    ASSERT_EQ(reg::OpenKey(kUser, "Software\\Test", reg::KEY_SET_VALUE, &writeOnly), 0);
    uint8_t spare[8] = {};
    const std::pair<std::function<long()>, long> rows[] = {
        {[] { return Open(kUser, "Software\\Nothing"); }, 2},
        {[] { return Open(kUser, "\\Software\\Test"); }, 161},
        {[] { return reg::DeleteKey(kUser, "Software\\Nothing"); }, 2},
        {[] { return reg::DeleteKey(kUser, "Software\\Test"); }, 5},  // has a subkey
        {[] { return reg::DeleteKey(kUser, ""); }, 5},                // a root
        {[&] { return Query(test, "Nothing"); }, 2},
        {[] { return Query(0, "Text"); }, 6},
        {[&] { return Query(closed, "Text"); }, 6},
        {[] { return Query(0x80000004, "Text"); }, 6},
        {[&] { return Query(writeOnly, "Text"); }, 5},
        {[&] { return Query(readOnly, "Text"); }, 0},
        {[&] { return SetBytes(readOnly, "Text", 1, "x"); }, 5},
        {[&] { return SetBytes(writeOnly, "Text", 1, "x"); }, 0},
        {[&] { return Create(readOnly, "New"); }, 5},
        {[&] { return Create(readOnly, "Child"); }, 0},
        {[&] { return reg::QueryValue(test, "Text", nullptr, spare, nullptr); }, 87},
    };
    for (size_t i = 0; i < std::size(rows); ++i) EXPECT_EQ(rows[i].first(), rows[i].second) << i;
}

// Each row replaces the value before it, kind and bytes; the unnamed value is one of its own once
// set; a buffer too small gets 234 and the size needed.
TEST_F(RegistryTest, ValuesReadBackWithTheirKindAndExactBytes) {
    const std::pair<uint32_t, std::string> rows[] = {
        {reg::REG_SZ, "abc\0"s},        {reg::REG_SZ, ""s},
        {reg::REG_EXPAND_SZ, "%H%\0"s}, {reg::REG_DWORD, "\xff\xff\xff\xff"s},
        {reg::REG_BINARY, "\0\x01\0"s}, {reg::REG_NONE, "z"s}};
    const reg::Handle h = NewKey("K");
    for (const auto& [kind, bytes] : rows) {
        ASSERT_EQ(SetBytes(h, "V", kind, bytes), 0);
        const auto stored = Read(h, "V");
        ASSERT_TRUE(stored);
        EXPECT_EQ(std::to_string(stored->kind) + ":" + Text(stored->bytes),
                  std::to_string(kind) + ":" + bytes);
    }
    ASSERT_EQ(SetBytes(h, "Named", reg::REG_SZ, "n\0"s), 0);
    EXPECT_EQ(Query(h, ""), 2);
    ASSERT_EQ(SetBytes(h, "", reg::REG_SZ, "default\0"s), 0);
    EXPECT_EQ(Text(Read(h, "")->bytes), "default\0"s);
    EXPECT_EQ(Text(Read(h, "Named")->bytes), "n\0"s);
    ASSERT_EQ(SetBytes(h, "V", reg::REG_SZ, "hello\0"s), 0);
    uint8_t buf[5] = {};
    uint32_t kind = 0, size = sizeof buf;
    EXPECT_EQ(reg::QueryValue(h, "V", &kind, buf, &size), 234);
    EXPECT_EQ(size, 6u);
    EXPECT_EQ(kind, reg::REG_SZ);
}

TEST_F(RegistryTest, NamesIgnoreAsciiCaseAndKeepTheFirstSpelling) {
    uint32_t disposition = 0;
    const reg::Handle h = NewKey("Software\\MixedCase", &disposition);
    EXPECT_EQ(disposition, reg::REG_CREATED_NEW_KEY);
    ASSERT_EQ(SetBytes(h, "Colour", reg::REG_SZ, "red\0"s), 0);
    const reg::Handle again = NewKey("SOFTWARE\\mixedcase", &disposition);
    EXPECT_EQ(disposition, reg::REG_OPENED_EXISTING_KEY);
    EXPECT_EQ(Text(Read(again, "COLOUR")->bytes), "red\0"s);
    ASSERT_EQ(SetBytes(again, "colour", reg::REG_SZ, "blue\0"s), 0);
    EXPECT_EQ(Text(Read(h, "Colour")->bytes), "blue\0"s);
    EXPECT_EQ(StoredName(DatabaseFile(), "reg_keys", "mixedcase"), "MixedCase");
    EXPECT_EQ(StoredName(DatabaseFile(), "reg_keys", "software"), "Software");
    EXPECT_EQ(StoredName(DatabaseFile(), "reg_values", "COLOUR"), "Colour");
    // Only ASCII letters fold: other bytes must match exactly.
    ASSERT_EQ(SetBytes(h, "\xc3\xa4", reg::REG_SZ, "lower\0"s), 0);
    EXPECT_FALSE(Read(h, "\xc3\x84"));
}

// Reads create nothing; the first write creates the folders 0700 and the database 0600, whatever
// the umask.
TEST_F(RegistryTest, CreatingAKeyCreatesItsMissingParentsInAPrivateConfigFolder) {
    ASSERT_EQ(setenv("XDG_CONFIG_HOME", dir_.File("config").c_str(), 1), 0);
    const std::string file = dir_.File("config/qfstore/registry.sqlite3");
    EXPECT_EQ(Open(reg::HKEY_LOCAL_MACHINE, "A"), 2);
    EXPECT_EQ(Create(reg::HKEY_LOCAL_MACHINE, ""), 0);
    EXPECT_FALSE(std::filesystem::exists(dir_.File("config")));
    const mode_t umaskBefore = umask(0);
    reg::Handle h = 0;
    ASSERT_EQ(Create(reg::HKEY_LOCAL_MACHINE, "A\\B\\C"), 0);
    umask(umaskBefore);
    std::string modes;
    for (const std::string& path :
         {dir_.File("config"), dir_.File("config/qfstore"), file, file + "-wal", file + "-shm"}) {
        struct stat st {};
        char mode[8] = "none";
        if (stat(path.c_str(), &st) == 0)
            std::snprintf(mode, sizeof mode, "%o", st.st_mode & 07777);
        modes += mode + " "s;
    }
    EXPECT_EQ(modes, "700 700 600 600 600 ");
    for (const char* path : {"A", "A\\B", "A\\B\\C", "A\\B\\C\\"})
        EXPECT_EQ(Open(reg::HKEY_LOCAL_MACHINE, path), 0) << path;
    // The same path under another root is another key.
    EXPECT_EQ(reg::OpenKey(reg::HKEY_USERS, "A", reg::KEY_READ, &h), 2);
    EXPECT_EQ(h, 0u);
}

TEST_F(RegistryTest, EveryCallThroughAHandleOfADeletedKeyFailsWithKeyDeleted) {
    const reg::Handle old = NewKey("Gone");
    ASSERT_EQ(SetBytes(old, "V", reg::REG_SZ, "x\0"s), 0);
    ASSERT_EQ(reg::DeleteKey(kUser, "Gone"), 0);
    // A new key of the same name is not the one the old handle refers to.
    EXPECT_FALSE(Read(NewKey("Gone"), "V"));
    reg::Handle h = 0;
    uint32_t size = 0;
    EXPECT_EQ(SetBytes(old, "V", reg::REG_SZ, "y\0"s), 1018);
    EXPECT_EQ(reg::QueryValue(old, "V", nullptr, nullptr, &size), 1018);
    EXPECT_EQ(reg::DeleteValue(old, "V"), 1018);
    EXPECT_EQ(reg::CreateKey(old, "Sub", reg::KEY_ALL_ACCESS, &h, nullptr), 1018);
    EXPECT_EQ(reg::OpenKey(old, "", reg::KEY_READ, &h), 1018);
    EXPECT_EQ(reg::DeleteKey(old, ""), 1018);
    EXPECT_EQ(reg::CloseKey(old), 0);
    EXPECT_EQ(reg::CloseKey(old), 6);
}

TEST_F(RegistryTest, ThreadsWritingThroughTheirOwnHandlesLoseNothing) {
    std::vector<std::thread> threads;
    for (int t = 0; t < 4; ++t) {
        threads.emplace_back([t] {
            const reg::Handle h = NewKey("Shared");
            for (int i = 0; i < 100; ++i) SetBytes(h, std::to_string(t * 100 + i), 1, "v");
            reg::CloseKey(h);
        });
    }
    for (auto& thread : threads) thread.join();
    const reg::Handle h = NewKey("Shared");
    int found = 0;
    for (int i = 0; i < 400; ++i) found += Query(h, std::to_string(i)) == 0;
    EXPECT_EQ(found, 400);
}

// "<name>:<fill>:" followed by `fill` bytes cycling through the name, so that a torn or
// misplaced write shows.
std::string Payload(const std::string& name, int fill) {
    std::string out = name + ":" + std::to_string(fill) + ":";
    for (int i = 0; i < fill; ++i) out += name[static_cast<size_t>(i) % name.size()];
    return out;
}

// True when `stored` is exactly the payload of `name` of the size its own text gives.
bool IsPayloadOf(const std::string& name, const std::optional<Stored>& stored) {
    const std::string bytes = stored ? Text(stored->bytes) : "";
    return bytes.starts_with(name + ":") &&
           bytes == Payload(name, std::atoi(bytes.c_str() + name.size() + 1));
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
        ASSERT_EQ(FirstText(DatabaseFile(), "PRAGMA integrity_check"), "ok");
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
    ASSERT_EQ(SetBytes(NewKey("Held"), "V", reg::REG_SZ, "x"), 0);
    // The holder says when it holds the lock, and holds it until the test closes its end.
    int link[2];
    ASSERT_EQ(socketpair(AF_UNIX, SOCK_STREAM, 0, link), 0);
    const pid_t holder = Spawn([&] {
        close(link[0]);
        sqlite3* db = nullptr;
        const bool held = sqlite3_open_v2(DatabaseFile().c_str(), &db, SQLITE_OPEN_READWRITE,
                                          nullptr) == SQLITE_OK &&
                          sqlite3_exec(db, "BEGIN IMMEDIATE; DELETE FROM reg_values", nullptr,
                                       nullptr, nullptr) == SQLITE_OK;
        char byte = held ? 'y' : 'n';
        const bool told = write(link[1], &byte, 1) == 1;
        while (read(link[1], &byte, 1) > 0) {
        }
        sqlite3_close(db);
        return held && told;
    });
    close(link[1]);
    char byte = 0;
    ASSERT_EQ(read(link[0], &byte, 1), 1);
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
    close(link[0]);
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
    ASSERT_EQ(SetBytes(NewKey("K"), "V", reg::REG_SZ, "x"), 0);
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
