// QfRegistryKey against a registry database in a temporary folder: the keys and values it
// leaves, byte for byte, the statuses it records and the events it raises.
#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include "child_process.h"
#include "creators.h"
#include "outcome.h"
#include "platform/registry.h"
#include "qfstore/conversions.h"
#include "qfstore/ini_file_handler.h"
#include "qfstore/registry_key.h"
#include "qfstore/std_interface.h"
#include "read_only_registry.h"
#include "temp_dir.h"

using namespace qfstore;
using namespace std::string_literals;
using testing_support::DescribedOutcome;
using testing_support::Outcome;
namespace reg = platform::registry;

namespace {

using Events = std::vector<int32_t>;

bool KeyExists(RegRootKey root, const std::string& key) {
    reg::Handle h = 0;
    const long status = reg::OpenKey(static_cast<uint32_t>(root), key, reg::KEY_READ, &h);
    reg::CloseKey(h);
    return status == reg::kSuccess;
}

// "<kind>:<bytes>" of a value under HKEY_CURRENT_USER, or "status <n>" when it cannot be read.
std::string Stored(const std::string& key, const std::string& name) {
    reg::Handle h = 0;
    long status = reg::OpenKey(reg::HKEY_CURRENT_USER, key, reg::KEY_QUERY_VALUE, &h);
    uint32_t kind = 0, size = 0;
    std::string bytes(64, '\0');
    if (status == reg::kSuccess) {
        size = static_cast<uint32_t>(bytes.size());
        status = reg::QueryValue(h, name, &kind, reinterpret_cast<uint8_t*>(bytes.data()), &size);
    }
    reg::CloseKey(h);
    if (status != reg::kSuccess)
        return "status " + std::to_string(status);
    return std::to_string(kind) + ":" + bytes.substr(0, size);
}

void WriteRaw(const std::string& name, uint32_t kind, const std::string& bytes) {
    reg::Handle h = 0;
    ASSERT_EQ(reg::CreateKey(reg::HKEY_CURRENT_USER, "Odd", reg::KEY_ALL_ACCESS, &h, nullptr), 0);
    ASSERT_EQ(reg::SetValue(h, name, kind, reinterpret_cast<const uint8_t*>(bytes.data()),
                            static_cast<uint32_t>(bytes.size())),
              0);
    reg::CloseKey(h);
}

// Each test gets its own registry database and a store whose events land in events_.
class RegistryKeyTest : public ::testing::Test {
  protected:
    void SetUp() override {
        ASSERT_EQ(setenv("XDG_CONFIG_HOME", dir_.Path().c_str(), 1), 0);
        key_ = Ptr<Unknown>::Attach(core::NewQfRegistryKey()).As<QfRegistryKey>();
        iface_ = key_.As<QfstoreStdInterface>();
        key_->Advise([this](RegError code) { events_.push_back(code); });
    }

    testing_support::TempDir dir_;
    Ptr<QfRegistryKey> key_;
    Ptr<QfstoreStdInterface> iface_;
    Events events_;
};

// The root comes from the path's start when that is one of the four names exactly, the key from
// the rest less a file-like ending; the section is a key below it; a second path is ignored.
TEST_F(RegistryKeyTest, PathSplitsRootAndKeyAndTheSectionIsAKeyBelow) {
    EXPECT_EQ(iface_->Path(), "HKEY_CURRENT_USER\\");
    iface_->Path("HKEY_LOCAL_MACHINE\\Software\\Demo.ini");
    iface_->Section("Main");
    EXPECT_EQ(key_->KeyName(), "Software\\Demo\\Main");
    iface_->Section("Other");
    iface_->Path("HKEY_USERS\\X");
    EXPECT_EQ(iface_->Path(), "HKEY_LOCAL_MACHINE\\Software\\Demo\\Other");
    EXPECT_TRUE(KeyExists(HKEY_LOCAL_MACHINE, "Software\\Demo\\Main"));
    EXPECT_FALSE(KeyExists(HKEY_USERS, "X"));
    EXPECT_TRUE(events_.empty());
    for (const std::string path : {"hkey_users\\X", "Soft\\Ver.12345"}) {
        auto other = Ptr<Unknown>::Attach(core::NewQfRegistryKey()).As<QfstoreStdInterface>();
        other->Path(path);
        EXPECT_EQ(other->Path(), "HKEY_CURRENT_USER\\" + path);
        EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, path));
    }
}

// Root and key name are taken once (an empty name is none); DeleteKey frees them.
TEST_F(RegistryKeyTest, SecondAddressIgnoredUntilDeleteKey) {
    key_->KeyName("");
    key_->RootKey(HKEY_USERS);
    key_->RootKey(HKEY_CLASSES_ROOT);
    key_->KeyName("First");
    key_->KeyName("Second");
    iface_->Path("HKEY_LOCAL_MACHINE\\Third");
    EXPECT_EQ(iface_->Path(), "HKEY_USERS\\First");
    key_->DeleteKey();
    EXPECT_FALSE(KeyExists(HKEY_USERS, "First"));
    key_->RootKey(HKEY_CLASSES_ROOT);
    key_->KeyName("Second");
    EXPECT_EQ(iface_->Path(), "HKEY_CLASSES_ROOT\\Second");
    EXPECT_TRUE(KeyExists(HKEY_CLASSES_ROOT, "Second"));
    EXPECT_TRUE(events_.empty());
}

struct KindCase {
    const char* name;
    Variant value;
    std::string stored;  // "<kind>:<bytes>"
    Variant readBack;    // GetValue with numbers and arrays detected
};

// The value's text, element by element for an array.
std::string TextOf(const Variant& v) {
    if (!v.IsArray())
        return ToText(v, "test");
    std::string text;
    for (const Variant& e : v.Elements()) text += ToText(e, "test") + ";";
    return text;
}

// Whole numbers and Booleans are stored as four bytes, every other value as the text the INI
// store writes, with its NUL, so that each reads back as the same value as from there (the INI
// store's whole numbers are doubles, its Boolean "True"); the empty value stores nothing.
TEST_F(RegistryKeyTest, WritesByVariantTypeAndReadsBackAsTheIniStoreDoes) {
    const KindCase rows[] = {
        {"integer", Variant(int16_t{7}), "4:\x07\0\0\0"s, Variant(7)},
        {"boolean", Variant(true), "4:\xff\xff\xff\xff"s, Variant(-1)},
        {"byte", Variant(uint8_t{200}), "4:\xc8\0\0\0"s, Variant(200)},
        {"text", Variant("Red"), "1:Red\0"s, Variant("Red")},
        {"single", Variant(1.5f), "1:1.5\0"s, Variant(1.5)},
        {"currency", Variant::Currency(123456), "1:12.3456\0"s, Variant(12.3456)},
        {"date", Variant::Date(45429.572916666664), "1:2024-05-17 13:45:00\0"s,
         Variant("2024-05-17 13:45:00")},
        {"singles", Variant::Array(VarType::Single, 0, {Variant(0.5f), Variant(2.0f)}),
         "1:0.5\t2\0"s, Variant::Array(VarType::Double, 0, {Variant(0.5), Variant(2.0)})},
        {"empty", Variant(), "status 2", Variant::Missing()},
    };
    key_->KeyName("Kinds");
    auto ini = Ptr<Unknown>::Attach(core::NewQfINIFileHandler()).As<QfINIFileHandler>();
    ini->Path(dir_.File("kinds.ini"));
    for (const KindCase& row : rows) {
        SCOPED_TRACE(row.name);
        EXPECT_FALSE(key_->SetValue(row.name, row.value));
        EXPECT_EQ(Stored("Kinds", row.name), row.stored);
        EXPECT_EQ(key_->GetValue(row.name), row.readBack);
        if (row.value.IsEmpty())
            continue;
        ini->SetValue(row.name, row.value);
        EXPECT_EQ(TextOf(ini->GetValue(row.name)),
                  row.name == "boolean"s ? "True" : TextOf(row.readBack));
    }
    EXPECT_EQ(events_, Events({2, 2}));  // the empty value's read
    // Numbers that no text reads back as are refused, and nothing is stored.
    EXPECT_EQ(Outcome([&] { key_->SetValue("nan", Variant(std::nanf(""))); }),
              "6|Qfstore\r\nQfRegistryKey.SetValueEx\r\nQfRegistryKey.SetKeyValue\r\n"
              "QfRegistryKey.SetValue");
    EXPECT_EQ(Stored("Kinds", "nan"), "status 2");
}

// Addressing a key that the database cannot take is no failure: the key holds no values, and the
// first write reports why it could not be made.
TEST_F(RegistryKeyTest, AKeyThatCannotBeCreatedReadsAsEmpty) {
    key_->KeyName("Old");
    const std::string database = dir_.File("qfstore/registry.sqlite3");
    const std::string outcome = testing_support::InChild(
        [&] { return testing_support::CannotWriteRegistry(dir_.Path(), database); },
        [&] {
            auto key = Ptr<Unknown>::Attach(core::NewQfRegistryKey()).As<QfRegistryKey>();
            Events events;
            key->Advise([&](RegError code) { events.push_back(code); });
            key->KeyName("New");
            std::string text = std::to_string(events.size()) + ",";
            text += key->GetValue("v", "\t", true, true, Variant("none")).AsString() + ",";
            key->DeleteValue("v");
            text += std::to_string(key->ErrorState()) + ",";
            text += std::to_string(key->SetValue("v", Variant("x"))) + ",";
            for (const int32_t code : events) text += std::to_string(code) + " ";
            return text + key->ErrorDescription();
        });
    EXPECT_EQ(outcome, "0,none,2,1,2 2 2 1013 The registry database " + database +
                           " could not be written: attempt to write a readonly database (SQLite "
                           "error 8)");
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, "New"));
}

TEST_F(RegistryKeyTest, FailedWriteReturnsTrueAndRaisesErrorOnce) {
    key_->KeyName("Gone");
    ASSERT_EQ(reg::DeleteKey(reg::HKEY_CURRENT_USER, "Gone"), 0);
    EXPECT_TRUE(key_->SetValue("v", Variant("x")));
    EXPECT_EQ(key_->ErrorState(), reg::kInvalidHandle);
    EXPECT_EQ(key_->ErrorDescription(), "Invalid handle");
    EXPECT_EQ(events_, Events{6});
    EXPECT_FALSE(key_->SetValue("v", Variant()));  // the next call starts afresh
    EXPECT_EQ(key_->ErrorState(), 0);
    EXPECT_EQ(key_->ErrorDescription(), "");
    EXPECT_EQ(events_, Events{6});
}

struct OddCase {
    const char* name;
    uint32_t kind;
    std::string bytes;
    Variant expected;
    Events events;
    const char* description;
};

TEST_F(RegistryKeyTest, ValuesOfOddKindsAndSizes) {
    const Variant dflt(int16_t{9});
    const char* unreadable = "The value is of a kind the store cannot read";
    const OddCase rows[] = {
        {"raw_bytes", reg::REG_BINARY, "\x01\x02", dflt, {-1}, unreadable},
        // longer than the four bytes a number is read into
        {"long_number", reg::REG_DWORD, "12345678", dflt, {234, 234}, "More data is available"},
        {"text_without_nul", reg::REG_SZ, "abc", Variant("ab"), {}, ""},
    };
    key_->KeyName("Odd");
    for (const OddCase& row : rows) {
        SCOPED_TRACE(row.name);
        events_.clear();
        WriteRaw(row.name, row.kind, row.bytes);
        EXPECT_EQ(key_->GetValue(row.name, "\t", true, true, dflt), row.expected);
        EXPECT_EQ(events_, row.events);
        EXPECT_EQ(key_->ErrorDescription(), row.description);
    }
    // Text of size zero, not even a NUL, is refused with error 5.
    WriteRaw("v", reg::REG_SZ, "");
    EXPECT_EQ(DescribedOutcome([&] { iface_->GetValue("v"); }),
              "5|Invalid procedure call or argument: value \"v\" is text without its ending "
              "NUL|Qfstore\r\nQfRegistryKey.QueryValueEx\r\nQfRegistryKey.QueryValue\r\n"
              "QfRegistryKey.GetValue\r\nQfRegistryKey.QfstoreStdInterface_GetValue");
}

class CountingSink final : public QfRegistryKeyEvents {
  public:
    Status QueryInterface(const Guid&, void**) override { return kNoInterface; }
    uint32_t AddRef() override { return ++refs; }
    uint32_t Release() override { return --refs; }
    void Error(RegError code) override { codes.push_back(code); }

    uint32_t refs = 1;
    Events codes;
};

// A sink is held until unadvised; an error its handler raises reaches the caller.
TEST_F(RegistryKeyTest, SinksHeldUntilUnadvisedAndHandlerErrorsReachTheCaller) {
    CountingSink sink;
    const uint32_t cookie = key_->Advise(&sink);
    EXPECT_EQ(sink.refs, 2u);
    key_->KeyName("K");
    key_->DeleteValue("none");
    key_->Unadvise(cookie);
    EXPECT_EQ(sink.refs, 1u);
    EXPECT_EQ(sink.codes, Events{2});
    EXPECT_EQ(events_, Events{2});
    EXPECT_EQ(key_->Advise(nullptr), 0u);
    key_->Advise([](RegError code) { throw Error(1000 + code, "handler", "Client"); });
    EXPECT_EQ(Outcome([&] { key_->GetValue("none"); }),
              "1002|Client\r\nQfRegistryKey.ErrorState (Let)\r\nQfRegistryKey.QueryValueEx\r\n"
              "QfRegistryKey.QueryValue\r\nQfRegistryKey.GetValue");
    EXPECT_EQ(key_->ErrorState(), 2);
}

}  // namespace
