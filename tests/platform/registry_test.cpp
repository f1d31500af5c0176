// The registry's operations within one process: status codes, names, keys and values.
#include <sqlite3.h>

#include <filesystem>
#include <functional>
#include <thread>

#include "registry_test_support.h"

using namespace registry_test;

namespace {

using namespace std::string_literals;

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
            if (sqlite3_step(stmt) == SQLITE_ROW) {
                result = reinterpret_cast<const char*>(sqlite3_column_text(stmt, 0));
            }
        }
        sqlite3_finalize(stmt);
    }
    sqlite3_close(db);
    return result;
}

// State every status row starts from: HKCU\Software\Test with the value "Text" = "abc" and
// the subkey Child; handles to Test with query-only, set-only and closed access.
struct Scene {
    reg::Handle test = 0;
    reg::Handle readOnly = 0;
    reg::Handle writeOnly = 0;
    reg::Handle closed = 0;
};

struct StatusRow {
    const char* name;
    std::function<long(const Scene&)> call;
    long expected;
};

void PrintTo(const StatusRow& row, std::ostream* os) {
    *os << row.name;
}

long Query(reg::Handle key, const std::string& name) {
    uint32_t kind = 0, size = 0;
    return reg::QueryValue(key, name, &kind, nullptr, &size);
}

const StatusRow kStatusRows[] = {
    {"OpenMissingKey",
     [](const Scene&) {
         reg::Handle h = 0;
         return reg::OpenKey(reg::HKEY_CURRENT_USER, "Software\\Nothing", reg::KEY_READ, &h);
     },
     2},
    {"OpenBelowMissingParent",
     [](const Scene&) {
         reg::Handle h = 0;
         return reg::OpenKey(reg::HKEY_CURRENT_USER, "Nothing\\Test", reg::KEY_READ, &h);
     },
     2},
    {"OpenLeadingBackslash",
     [](const Scene&) {
         reg::Handle h = 0;
         return reg::OpenKey(reg::HKEY_CURRENT_USER, "\\Software\\Test", reg::KEY_READ, &h);
     },
     161},
    {"CreateLeadingBackslash",
     [](const Scene&) {
         reg::Handle h = 0;
         return reg::CreateKey(reg::HKEY_CURRENT_USER, "\\New", reg::KEY_ALL_ACCESS, &h, nullptr);
     },
     161},
    {"CreateEmptyPartInside",
     [](const Scene&) {
         reg::Handle h = 0;
         return reg::CreateKey(reg::HKEY_CURRENT_USER, "Software\\\\New", reg::KEY_ALL_ACCESS, &h,
                               nullptr);
     },
     161},
    {"DeleteKeyLeadingBackslash",
     [](const Scene&) { return reg::DeleteKey(reg::HKEY_CURRENT_USER, "\\Software\\Test\\Child"); },
     161},
    {"DeleteMissingKey",
     [](const Scene&) { return reg::DeleteKey(reg::HKEY_CURRENT_USER, "Software\\Nothing"); }, 2},
    {"DeleteKeyWithSubkeys",
     [](const Scene&) { return reg::DeleteKey(reg::HKEY_CURRENT_USER, "Software\\Test"); }, 5},
    {"DeleteRoot", [](const Scene&) { return reg::DeleteKey(reg::HKEY_CURRENT_USER, ""); }, 5},
    {"DeleteLeafKey",
     [](const Scene&) { return reg::DeleteKey(reg::HKEY_CURRENT_USER, "Software\\Test\\Child"); },
     0},
    {"QueryMissingValue", [](const Scene& s) { return Query(s.test, "Nothing"); }, 2},
    {"QueryUnnamedValueNeverSet", [](const Scene& s) { return Query(s.test, ""); }, 2},
    {"DeleteMissingValue", [](const Scene& s) { return reg::DeleteValue(s.test, "Nothing"); }, 2},
    {"DeleteValue", [](const Scene& s) { return reg::DeleteValue(s.test, "Text"); }, 0},
    {"QueryThroughNullHandle", [](const Scene&) { return Query(0, "Text"); }, 6},
    {"QueryThroughClosedHandle", [](const Scene& s) { return Query(s.closed, "Text"); }, 6},
    {"SetThroughClosedHandle",
     [](const Scene& s) { return SetBytes(s.closed, "Text", reg::REG_SZ, "x"s); }, 6},
    {"OpenThroughClosedHandle",
     [](const Scene& s) {
         reg::Handle h = 0;
         return reg::OpenKey(s.closed, "Child", reg::KEY_READ, &h);
     },
     6},
    {"CloseClosedHandle", [](const Scene& s) { return reg::CloseKey(s.closed); }, 6},
    {"CloseNullHandle", [](const Scene&) { return reg::CloseKey(0); }, 6},
    {"CloseRoot", [](const Scene&) { return reg::CloseKey(reg::HKEY_LOCAL_MACHINE); }, 0},
    {"UnknownRoot", [](const Scene&) { return Query(0x80000004, "Text"); }, 6},
    {"QueryWithoutQueryAccess", [](const Scene& s) { return Query(s.writeOnly, "Text"); }, 5},
    {"QueryWithQueryAccess", [](const Scene& s) { return Query(s.readOnly, "Text"); }, 0},
    {"SetWithoutSetAccess",
     [](const Scene& s) { return SetBytes(s.readOnly, "Text", reg::REG_SZ, "x"s); }, 5},
    {"SetWithSetAccess",
     [](const Scene& s) { return SetBytes(s.writeOnly, "Text", reg::REG_SZ, "x"s); }, 0},
    {"DeleteValueWithoutSetAccess",
     [](const Scene& s) { return reg::DeleteValue(s.readOnly, "Text"); }, 5},
    {"CreateNewSubkeyWithoutCreateAccess",
     [](const Scene& s) {
         reg::Handle h = 0;
         return reg::CreateKey(s.readOnly, "New", reg::KEY_ALL_ACCESS, &h, nullptr);
     },
     5},
    {"CreateExistingSubkeyWithoutCreateAccess",
     [](const Scene& s) {
         reg::Handle h = 0;
         return reg::CreateKey(s.readOnly, "Child", reg::KEY_ALL_ACCESS, &h, nullptr);
     },
     0},
    {"QueryBufferTooSmall",
     [](const Scene& s) {
         uint8_t buf[3];
         uint32_t size = sizeof buf;
         return reg::QueryValue(s.test, "Text", nullptr, buf, &size);
     },
     234},
    {"QueryBufferWithoutSize",
     [](const Scene& s) {
         uint8_t buf[8];
         return reg::QueryValue(s.test, "Text", nullptr, buf, nullptr);
     },
     87},
    {"SetSizeWithoutData",
     [](const Scene& s) { return reg::SetValue(s.test, "Text", reg::REG_BINARY, nullptr, 4); }, 87},
    {"OpenWithoutResult",
     [](const Scene&) { return reg::OpenKey(reg::HKEY_CURRENT_USER, "Software", 1, nullptr); }, 87},
};

class RegistryStatus : public RegistryTest, public ::testing::WithParamInterface<StatusRow> {};

TEST_P(RegistryStatus, ReturnsThePlatformCode) {
    Scene s;
    ASSERT_EQ(reg::CreateKey(reg::HKEY_CURRENT_USER, "Software\\Test\\Child", reg::KEY_ALL_ACCESS,
                             &s.closed, nullptr),
              0);
    ASSERT_EQ(reg::CloseKey(s.closed), 0);
    ASSERT_EQ(reg::OpenKey(reg::HKEY_CURRENT_USER, "Software\\Test", reg::KEY_ALL_ACCESS, &s.test),
              0);
    ASSERT_EQ(SetBytes(s.test, "Text", reg::REG_SZ, "abc\0"s), 0);
    ASSERT_EQ(
        reg::OpenKey(reg::HKEY_CURRENT_USER, "Software\\Test", reg::KEY_QUERY_VALUE, &s.readOnly),
        0);
    ASSERT_EQ(
        reg::OpenKey(reg::HKEY_CURRENT_USER, "Software\\Test", reg::KEY_SET_VALUE, &s.writeOnly),
        0);
    EXPECT_EQ(GetParam().call(s), GetParam().expected);
}

INSTANTIATE_TEST_SUITE_P(Rows, RegistryStatus, ::testing::ValuesIn(kStatusRows),
                         [](const auto& info) { return std::string(info.param.name); });

TEST_F(RegistryTest, QueryWithTooSmallBufferReportsTheNeededSize) {
    reg::Handle h = 0;
    ASSERT_EQ(reg::CreateKey(reg::HKEY_CURRENT_USER, "K", reg::KEY_ALL_ACCESS, &h, nullptr), 0);
    ASSERT_EQ(SetBytes(h, "V", reg::REG_SZ, "hello\0"s), 0);
    uint8_t buf[16] = {};
    uint32_t kind = 0, size = 5;
    EXPECT_EQ(reg::QueryValue(h, "V", &kind, buf, &size), 234);
    EXPECT_EQ(size, 6u);
    EXPECT_EQ(kind, reg::REG_SZ);
    size = sizeof buf;
    EXPECT_EQ(reg::QueryValue(h, "V", &kind, buf, &size), 0);
    EXPECT_EQ(size, 6u);
    EXPECT_EQ(std::string(reinterpret_cast<char*>(buf), 6), "hello\0"s);
}

struct KindRow {
    const char* name;
    uint32_t kind;
    std::string bytes;
};

TEST_F(RegistryTest, ValuesReadBackWithTheirKindAndExactBytes) {
    const KindRow rows[] = {
        {"text with NUL", reg::REG_SZ, "abc\0"s},
        {"text without NUL", reg::REG_SZ, "abc"s},
        {"empty text", reg::REG_SZ, ""s},
        {"expandable text", reg::REG_EXPAND_SZ, "%HOME%/x\0"s},
        {"number -1", reg::REG_DWORD, "\xff\xff\xff\xff"s},
        {"number 258", reg::REG_DWORD, "\x02\x01\0\0"s},
        {"bytes with zeros", reg::REG_BINARY, "\0\x01\0\x02"s},
        {"empty bytes", reg::REG_BINARY, ""s},
        {"no kind", reg::REG_NONE, "z"s},
    };
    reg::Handle h = 0;
    ASSERT_EQ(reg::CreateKey(reg::HKEY_CURRENT_USER, "K", reg::KEY_ALL_ACCESS, &h, nullptr), 0);
    for (const KindRow& row : rows) {
        SCOPED_TRACE(row.name);
        ASSERT_EQ(SetBytes(h, row.name, row.kind, row.bytes), 0);
        uint32_t kind = 99, size = 99;
        ASSERT_EQ(reg::QueryValue(h, row.name, &kind, nullptr, &size), 0);
        EXPECT_EQ(kind, row.kind);
        EXPECT_EQ(size, row.bytes.size());
        const auto stored = Read(h, row.name);
        ASSERT_TRUE(stored);
        EXPECT_EQ(Text(stored->bytes), row.bytes);
    }
}

TEST_F(RegistryTest, SettingAgainReplacesKindAndBytes) {
    reg::Handle h = 0;
    ASSERT_EQ(reg::CreateKey(reg::HKEY_CURRENT_USER, "K", reg::KEY_ALL_ACCESS, &h, nullptr), 0);
    ASSERT_EQ(SetBytes(h, "V", reg::REG_SZ, "a long text\0"s), 0);
    ASSERT_EQ(SetBytes(h, "V", reg::REG_DWORD, "\x07\0\0\0"s), 0);
    const auto stored = Read(h, "V");
    ASSERT_TRUE(stored);
    EXPECT_EQ(stored->kind, reg::REG_DWORD);
    EXPECT_EQ(Text(stored->bytes), "\x07\0\0\0"s);
}

TEST_F(RegistryTest, UnnamedValueIsItsOwnValueOnceSet) {
    reg::Handle h = 0;
    ASSERT_EQ(reg::CreateKey(reg::HKEY_CLASSES_ROOT, "K", reg::KEY_ALL_ACCESS, &h, nullptr), 0);
    ASSERT_EQ(SetBytes(h, "Named", reg::REG_SZ, "n\0"s), 0);
    EXPECT_FALSE(Read(h, ""));
    ASSERT_EQ(SetBytes(h, "", reg::REG_SZ, "default\0"s), 0);
    EXPECT_EQ(Text(Read(h, "")->bytes), "default\0"s);
    EXPECT_EQ(Text(Read(h, "Named")->bytes), "n\0"s);
    EXPECT_EQ(reg::DeleteValue(h, ""), 0);
    EXPECT_FALSE(Read(h, ""));
}

TEST_F(RegistryTest, NamesIgnoreAsciiCaseAndKeepTheFirstSpelling) {
    reg::Handle h = 0;
    uint32_t disposition = 0;
    ASSERT_EQ(reg::CreateKey(reg::HKEY_CURRENT_USER, "Software\\MixedCase", reg::KEY_ALL_ACCESS, &h,
                             &disposition),
              0);
    EXPECT_EQ(disposition, reg::REG_CREATED_NEW_KEY);
    ASSERT_EQ(SetBytes(h, "Colour", reg::REG_SZ, "red\0"s), 0);

    reg::Handle again = 0;
    ASSERT_EQ(reg::CreateKey(reg::HKEY_CURRENT_USER, "SOFTWARE\\mixedcase", reg::KEY_ALL_ACCESS,
                             &again, &disposition),
              0);
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

TEST_F(RegistryTest, CreatingAKeyCreatesItsMissingParents) {
    reg::Handle h = 0;
    uint32_t disposition = 0;
    ASSERT_EQ(
        reg::CreateKey(reg::HKEY_LOCAL_MACHINE, "A\\B\\C", reg::KEY_ALL_ACCESS, &h, &disposition),
        0);
    EXPECT_EQ(disposition, reg::REG_CREATED_NEW_KEY);
    for (const char* path : {"A", "A\\B", "A\\B\\C", "A\\B\\C\\"}) {
        SCOPED_TRACE(path);
        reg::Handle opened = 0;
        EXPECT_EQ(reg::OpenKey(reg::HKEY_LOCAL_MACHINE, path, reg::KEY_READ, &opened), 0);
        EXPECT_EQ(reg::CloseKey(opened), 0);
    }
    // The same path under another root is another key.
    EXPECT_EQ(reg::OpenKey(reg::HKEY_USERS, "A", reg::KEY_READ, &h), 2);
    EXPECT_EQ(h, 0u);
    ASSERT_EQ(
        reg::CreateKey(reg::HKEY_LOCAL_MACHINE, "A\\B\\", reg::KEY_ALL_ACCESS, &h, &disposition),
        0);
    EXPECT_EQ(disposition, reg::REG_OPENED_EXISTING_KEY);
}

TEST_F(RegistryTest, EmptySubKeyOpensTheSameKeyAgainWithNewAccess) {
    reg::Handle h = 0;
    ASSERT_EQ(reg::CreateKey(reg::HKEY_CURRENT_USER, "K", reg::KEY_QUERY_VALUE, &h, nullptr), 0);
    reg::Handle writer = 0;
    uint32_t disposition = 0;
    ASSERT_EQ(reg::CreateKey(h, "", reg::KEY_WRITE, &writer, &disposition), 0);
    EXPECT_EQ(disposition, reg::REG_OPENED_EXISTING_KEY);
    EXPECT_NE(writer, h);
    ASSERT_EQ(SetBytes(writer, "V", reg::REG_SZ, "x\0"s), 0);
    EXPECT_EQ(Text(Read(h, "V")->bytes), "x\0"s);
    reg::Handle reader = 0;
    ASSERT_EQ(reg::OpenKey(writer, "", reg::KEY_READ, &reader), 0);
    EXPECT_EQ(Text(Read(reader, "V")->bytes), "x\0"s);
    EXPECT_EQ(reg::CloseKey(h), 0);
    EXPECT_EQ(Text(Read(reader, "V")->bytes), "x\0"s);  // closing one handle leaves the others
}

TEST_F(RegistryTest, EveryCallThroughAHandleOfADeletedKeyFailsWithKeyDeleted) {
    reg::Handle old = 0;
    ASSERT_EQ(reg::CreateKey(reg::HKEY_CURRENT_USER, "Gone", reg::KEY_ALL_ACCESS, &old, nullptr),
              0);
    ASSERT_EQ(SetBytes(old, "V", reg::REG_SZ, "x\0"s), 0);
    ASSERT_EQ(reg::DeleteKey(reg::HKEY_CURRENT_USER, "Gone"), 0);
    // A new key of the same name is not the one the old handle refers to.
    reg::Handle fresh = 0;
    ASSERT_EQ(reg::CreateKey(reg::HKEY_CURRENT_USER, "Gone", reg::KEY_ALL_ACCESS, &fresh, nullptr),
              0);
    EXPECT_FALSE(Read(fresh, "V"));  // values went with the deleted key

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

TEST_F(RegistryTest, DeleteKeyWithEmptySubKeyDeletesTheHandlesOwnKey) {
    reg::Handle h = 0;
    ASSERT_EQ(reg::CreateKey(reg::HKEY_CURRENT_USER, "A\\B", reg::KEY_ALL_ACCESS, &h, nullptr), 0);
    EXPECT_EQ(reg::DeleteKey(h, ""), 0);
    reg::Handle opened = 0;
    EXPECT_EQ(reg::OpenKey(reg::HKEY_CURRENT_USER, "A\\B", reg::KEY_READ, &opened), 2);
    EXPECT_EQ(reg::DeleteKey(reg::HKEY_CURRENT_USER, "a"), 0);  // no subkeys left
}

TEST_F(RegistryTest, DatabaseLivesInTheConfigFolderWhichIsCreated) {
    EXPECT_FALSE(std::filesystem::exists(dir_.File("qfstore")));
    reg::Handle h = 0;
    ASSERT_EQ(reg::CreateKey(reg::HKEY_CURRENT_USER, "K", reg::KEY_ALL_ACCESS, &h, nullptr), 0);
    EXPECT_TRUE(std::filesystem::is_regular_file(DatabaseFile()));
}

TEST_F(RegistryTest, ThreadsWritingThroughTheirOwnHandlesLoseNothing) {
    constexpr int kThreads = 4, kValues = 100;
    std::vector<std::thread> threads;
    for (int t = 0; t < kThreads; ++t) {
        threads.emplace_back([t] {
            reg::Handle h = 0;
            if (reg::CreateKey(reg::HKEY_CURRENT_USER, "Shared", reg::KEY_ALL_ACCESS, &h,
                               nullptr) != 0) {
                return;
            }
            for (int i = 0; i < kValues; ++i) {
                const std::string name = "t" + std::to_string(t) + "_" + std::to_string(i);
                SetBytes(h, name, reg::REG_SZ, name);
            }
            reg::CloseKey(h);
        });
    }
    for (auto& thread : threads) thread.join();
    reg::Handle h = 0;
    ASSERT_EQ(reg::OpenKey(reg::HKEY_CURRENT_USER, "Shared", reg::KEY_READ, &h), 0);
    int found = 0;
    for (int t = 0; t < kThreads; ++t) {
        for (int i = 0; i < kValues; ++i) {
            const std::string name = "t" + std::to_string(t) + "_" + std::to_string(i);
            const auto stored = Read(h, name);
            if (stored && Text(stored->bytes) == name)
                ++found;
        }
    }
    EXPECT_EQ(found, 400);
}

}  // namespace
