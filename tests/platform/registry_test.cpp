// The registry: status codes, names, keys and values in one process, and processes sharing the
// database: a held write lock and a database that cannot be written.
#include "platform/registry.h"

#include <gtest/gtest.h>
#include <stdlib.h>
#include <sys/resource.h>
#include <sys/stat.h>

#include <chrono>
#include <cstdint>
#include <cstdio>
#include <filesystem>
#include <functional>
#include <optional>
#include <string>
#include <thread>
#include <vector>

#include "child_process.h"
#include "read_only_registry.h"
#include "registry_lock.h"
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

// The value's kind and bytes (all values here are shorter than 64 bytes).
std::optional<Stored> Read(reg::Handle key, const std::string& name) {
    Stored out{0, std::vector<uint8_t>(64)};
    uint32_t size = 64;
    if (reg::QueryValue(key, name, &out.kind, out.bytes.data(), &size) != reg::kSuccess)
        return {};
    out.bytes.resize(size);
    return out;
}

std::string Text(const std::vector<uint8_t>& bytes) {
    return std::string(bytes.begin(), bytes.end());
}

long Open(reg::Handle parent, const std::string& path) {
    reg::Handle h = 0;
    return reg::OpenKey(parent, path, reg::KEY_READ, &h);
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
// Child; handles to Test with query-only and set-only access.
TEST_F(RegistryTest, StatusCodes) {
    NewKey("Software\\Test\\Child");
    const reg::Handle test = NewKey("Software\\Test");
    ASSERT_EQ(SetBytes(test, "Text", reg::REG_SZ, "abc\0"s), 0);
    reg::Handle readOnly = 0, writeOnly = 0;
    ASSERT_EQ(reg::OpenKey(kUser, "Software\\Test", reg::KEY_QUERY_VALUE, &readOnly), 0);
    ASSERT_EQ(reg::OpenKey(kUser, "Software\\Test", reg::KEY_SET_VALUE, &writeOnly), 0);
    uint8_t spare[8] = {};
    const std::pair<std::function<long()>, long> rows[] = {
        {[] { return Open(kUser, "Software\\Nothing"); }, 2},
        {[] { return Open(kUser, "\\Software\\Test"); }, 161},
        {[] { return reg::DeleteKey(kUser, "Software\\Test"); }, 5},  // has a subkey
        {[] { return reg::DeleteKey(kUser, ""); }, 5},                // a root
        {[] { return reg::DeleteKey(reg::HKEY_USERS, ""); }, 5},      // a root without subkeys
        {[] { return Create(reg::HKEY_USERS, "After"); }, 0},         // still there
        {[&] { return Query(test, "Nothing"); }, 2},
        {[] { return Query(0, "Text"); }, 6},
        {[&] { return Query(writeOnly, "Text"); }, 5},
        {[&] { return SetBytes(readOnly, "Text", 1, "x"); }, 5},
        {[&] { return Create(readOnly, "New"); }, 5},
        {[&] { return reg::QueryValue(test, "Text", nullptr, spare, nullptr); }, 87},
    };
    for (size_t i = 0; i < std::size(rows); ++i) EXPECT_EQ(rows[i].first(), rows[i].second) << i;
}

// Each row replaces the value before it, kind and bytes; a buffer too small gets 234 and the
// size needed.
TEST_F(RegistryTest, ValuesReadBackWithTheirKindAndExactBytes) {
    const std::pair<uint32_t, std::string> rows[] = {
        {reg::REG_SZ, "abc\0"s}, {reg::REG_SZ, ""s}, {reg::REG_BINARY, "\0\x01\0"s}};
    const reg::Handle h = NewKey("K");
    for (const auto& [kind, bytes] : rows) {
        ASSERT_EQ(SetBytes(h, "V", kind, bytes), 0);
        const auto stored = Read(h, "V");
        ASSERT_TRUE(stored);
        EXPECT_EQ(std::to_string(stored->kind) + ":" + Text(stored->bytes),
                  std::to_string(kind) + ":" + bytes);
    }
    ASSERT_EQ(SetBytes(h, "V", reg::REG_SZ, "hello\0"s), 0);
    uint8_t buf[5] = {};
    uint32_t kind = 0, size = sizeof buf;
    EXPECT_EQ(reg::QueryValue(h, "V", &kind, buf, &size), 234);
    EXPECT_EQ(size, 6u);
    EXPECT_EQ(kind, reg::REG_SZ);
}

TEST_F(RegistryTest, NamesIgnoreAsciiCase) {
    uint32_t disposition = 0;
    const reg::Handle h = NewKey("Software\\MixedCase", &disposition);
    EXPECT_EQ(disposition, reg::REG_CREATED_NEW_KEY);
    ASSERT_EQ(SetBytes(h, "Colour", reg::REG_SZ, "red\0"s), 0);
    const reg::Handle again = NewKey("SOFTWARE\\mixedcase", &disposition);
    EXPECT_EQ(disposition, reg::REG_OPENED_EXISTING_KEY);
    EXPECT_EQ(Text(Read(again, "COLOUR")->bytes), "red\0"s);
    // Only ASCII letters fold: other bytes must match exactly.
    ASSERT_EQ(SetBytes(h, "\xc3\xa4", reg::REG_SZ, "lower\0"s), 0);
    EXPECT_FALSE(Read(h, "\xc3\x84"));
}

// Reads create nothing; the first write creates the folders 0700 and the database 0600, whatever
// the umask, with the key's missing parents.
TEST_F(RegistryTest, CreatingAKeyCreatesItsMissingParentsInAPrivateConfigFolder) {
    ASSERT_EQ(setenv("XDG_CONFIG_HOME", dir_.File("config").c_str(), 1), 0);
    const std::string file = dir_.File("config/qfstore/registry.sqlite3");
    EXPECT_EQ(Open(reg::HKEY_LOCAL_MACHINE, "A"), 2);
    EXPECT_EQ(Create(reg::HKEY_LOCAL_MACHINE, ""), 0);
    EXPECT_FALSE(std::filesystem::exists(dir_.File("config")));
    const mode_t umaskBefore = umask(0);
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
    EXPECT_EQ(Open(reg::HKEY_LOCAL_MACHINE, "A\\B\\C\\"), 0);
    // The same path under another root is another key.
    EXPECT_EQ(Open(reg::HKEY_USERS, "A"), 2);
}

// Calls through the old handle fail with 1018 also once a new key of the same name exists.
TEST_F(RegistryTest, EveryCallThroughAHandleOfADeletedKeyFailsWithKeyDeleted) {
    const reg::Handle old = NewKey("Gone");
    ASSERT_EQ(SetBytes(old, "V", reg::REG_SZ, "x\0"s), 0);
    ASSERT_EQ(reg::DeleteKey(kUser, "Gone"), 0);
    EXPECT_FALSE(Read(NewKey("Gone"), "V"));
    reg::Handle h = 0;
    EXPECT_EQ(SetBytes(old, "V", reg::REG_SZ, "y\0"s), 1018);
    EXPECT_EQ(reg::OpenKey(old, "", reg::KEY_READ, &h), 1018);
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

// Two processes creating the database and writing into one key at the same time lose nothing.
TEST_F(RegistryTest, TwoProcessesWritingIntoOneKeyKeepAllValues) {
    auto name = [](int p, int i) { return std::to_string(p) + "_" + std::to_string(i); };
    EXPECT_TRUE(SideBySide(2, [&](int p) {
        const reg::Handle h = NewKey("Shared");
        for (int i = 0; i < 300; ++i) {
            if (SetBytes(h, name(p, i), 1, name(p, i)) != 0)
                return false;
        }
        return true;
    }));
    const reg::Handle h = NewKey("Shared");
    int found = 0;
    for (int p = 0; p < 2; ++p) {
        for (int i = 0; i < 300; ++i) {
            const std::optional<Stored> value = Read(h, name(p, i));
            found += value && Text(value->bytes) == name(p, i);
        }
    }
    EXPECT_EQ(found, 600);
}

// Sixteen processes, each writing 300 values one transaction at a time, all succeed: a writer
// waits as long as the others keep committing, however long that takes.
TEST_F(RegistryTest, SixteenProcessesWritingSideBySideAllSucceed) {
    constexpr int kWriters = 16, kValues = 300;
    NewKey("Busy");
    EXPECT_TRUE(SideBySide(kWriters, [&](int p) {
        reg::Handle h = 0;
        if (reg::OpenKey(kUser, "Busy", reg::KEY_SET_VALUE, &h) != 0)
            return false;
        for (int i = 0; i < kValues; ++i) {
            if (SetBytes(h, std::to_string(p * kValues + i), reg::REG_SZ, "v") != 0)
                return false;
        }
        return true;
    }));
    const reg::Handle h = NewKey("Busy");
    int found = 0;
    for (int i = 0; i < kWriters * kValues; ++i) found += Query(h, std::to_string(i)) == 0;
    EXPECT_EQ(found, kWriters * kValues);
}

// While another process holds a write transaction and makes no progress, a fresh process reads
// the last commit at once; creating a key for reading gives up after a reader's 5 s, a write
// after 30 s, both with 170 naming the database.
TEST_F(RegistryTest, AStuckHolderTurnsReadersAwayAfterFiveSecondsAndWritersAfterThirty) {
    ASSERT_EQ(SetBytes(NewKey("Held"), "V", reg::REG_SZ, "x"), 0);
    RegistryLockHolder holder(DatabaseFile());
    ASSERT_TRUE(holder.Held());
    const std::string outcome = InChild(
        [] { return true; },
        [] {
            using Seconds = std::chrono::duration<double>;
            auto start = std::chrono::steady_clock::now();
            const auto took = [&](double low, double high) {
                const auto now = std::chrono::steady_clock::now();
                const double seconds = Seconds(now - start).count();
                start = now;
                return seconds >= low && seconds < high ? "in time" : std::to_string(seconds);
            };
            reg::Handle key = 0, sub = 0;
            const long open =
                reg::OpenKey(reg::HKEY_CURRENT_USER, "Held", reg::KEY_ALL_ACCESS, &key);
            const auto stored = Read(key, "V");
            std::string text = std::to_string(open) + "," +
                               (stored ? Text(stored->bytes) : "unread") + "," + took(0, 1);
            const long created =
                reg::CreateKeyForReading(key, "New", reg::KEY_ALL_ACCESS, &sub, nullptr);
            text += "," + std::to_string(created) + "," + took(4.9, 7);
            const long written = SetBytes(key, "V", reg::REG_SZ, "y");
            return text + "," + std::to_string(written) + "," + took(29.9, 34) + "," +
                   reg::StatusText(written);
        });
    EXPECT_TRUE(holder.Release());
    EXPECT_EQ(outcome, "0,x,in time,170,in time,170,in time,The registry database " +
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
    const auto readOnly = [&] { return CannotWriteRegistry(dir_.Path(), DatabaseFile()); };
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
