// The registry's operations within one process: status codes, names, keys and values.
#include <sqlite3.h>
#include <sys/stat.h>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <thread>

#include "registry_test_support.h"

using namespace registry_test;

namespace {

using namespace std::string_literals;

constexpr reg::Handle kUser = reg::HKEY_CURRENT_USER;

// The spelling under which a key or value name is stored, read from the database itself
// because the operations offer no listing.
std::string StoredName(const std::string& file, const char* table, const std::string& name) {
    sqlite3* db = nullptr;
    std::string result;
    if (sqlite3_open_v2(file.c_str(), &db, SQLITE_OPEN_READONLY, nullptr) == SQLITE_OK) {
        const std::string sql = "SELECT name FROM "s + table + " WHERE name = ?";
        sqlite3_stmt* stmt = nullptr;
        if (sqlite3_prepare_v2(db, sql.c_str(), -1, &stmt, nullptr) == SQLITE_OK) {
            sqlite3_bind_text(stmt, 1, name.c_str(), -1, SQLITE_TRANSIENT);
            if (sqlite3_step(stmt) == SQLITE_ROW)
                result = reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0));
        }
        sqlite3_finalize(stmt);
    }
    sqlite3_close(db);
    return result;
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

TEST_F(RegistryTest, QueryWithTooSmallBufferReportsTheNeededSize) {
    const reg::Handle h = NewKey("K");
    ASSERT_EQ(SetBytes(h, "V", reg::REG_SZ, "hello\0"s), 0);
    uint8_t buf[5] = {};
    uint32_t kind = 0, size = sizeof buf;
    EXPECT_EQ(reg::QueryValue(h, "V", &kind, buf, &size), 234);
    EXPECT_EQ(size, 6u);
    EXPECT_EQ(kind, reg::REG_SZ);
}

TEST_F(RegistryTest, ValuesReadBackWithTheirKindAndExactBytes) {
    const std::pair<uint32_t, std::string> rows[] = {
        {reg::REG_SZ, "abc\0"s},        {reg::REG_SZ, ""s},
        {reg::REG_EXPAND_SZ, "%H%\0"s}, {reg::REG_DWORD, "\xff\xff\xff\xff"s},
        {reg::REG_BINARY, "\0\x01\0"s}, {reg::REG_NONE, "z"s}};
    const reg::Handle h = NewKey("K");
    for (const auto& [kind, bytes] : rows) {
        // Each row replaces the one before it, kind and bytes.
        ASSERT_EQ(SetBytes(h, "V", kind, bytes), 0);
        const auto stored = Read(h, "V");
        ASSERT_TRUE(stored);
        EXPECT_EQ(std::to_string(stored->kind) + ":" + Text(stored->bytes),
                  std::to_string(kind) + ":" + bytes);
    }
}

TEST_F(RegistryTest, UnnamedValueIsItsOwnValueOnceSet) {
    const reg::Handle h = NewKey("K");
    ASSERT_EQ(SetBytes(h, "Named", reg::REG_SZ, "n\0"s), 0);
    EXPECT_EQ(Query(h, ""), 2);
    ASSERT_EQ(SetBytes(h, "", reg::REG_SZ, "default\0"s), 0);
    EXPECT_EQ(Text(Read(h, "")->bytes), "default\0"s);
    EXPECT_EQ(Text(Read(h, "Named")->bytes), "n\0"s);
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

}  // namespace
