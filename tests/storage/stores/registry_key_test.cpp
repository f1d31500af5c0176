// QfRegistryKey against a real registry database in a temporary folder: the keys and values it
// leaves, byte for byte, the statuses it records and the events it raises.
#include <gtest/gtest.h>

#include <cstdlib>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "creators.h"
#include "qfstore/conversions.h"
#include "qfstore/registry_key.h"
#include "qfstore/std_interface.h"
#include "registry.h"
#include "temp_dir.h"

using namespace qfstore;
namespace reg = platform::registry;

namespace {

reg::Handle Root(RegRootKey root) {
    return static_cast<uint32_t>(root);
}

bool KeyExists(RegRootKey root, const std::string& key) {
    reg::Handle h = 0;
    const long status = reg::OpenKey(Root(root), key, reg::KEY_QUERY_VALUE, &h);
    if (status == reg::kSuccess)
        reg::CloseKey(h);
    return status == reg::kSuccess;
}

struct Raw {
    long status;
    uint32_t kind;
    std::string bytes;
};

// A value as the registry holds it.
Raw RawValue(RegRootKey root, const std::string& key, const std::string& name) {
    reg::Handle h = 0;
    Raw raw{reg::OpenKey(Root(root), key, reg::KEY_QUERY_VALUE, &h), 0, {}};
    if (raw.status != reg::kSuccess)
        return raw;
    uint32_t size = 0;
    raw.status = reg::QueryValue(h, name, &raw.kind, nullptr, &size);
    if (raw.status == reg::kSuccess && size > 0) {
        raw.bytes.resize(size);
        raw.status = reg::QueryValue(h, name, &raw.kind,
                                     reinterpret_cast<uint8_t*>(raw.bytes.data()), &size);
    }
    reg::CloseKey(h);
    return raw;
}

void WriteRaw(RegRootKey root, const std::string& key, const std::string& name, uint32_t kind,
              const std::string& bytes) {
    reg::Handle h = 0;
    ASSERT_EQ(reg::CreateKey(Root(root), key, reg::KEY_ALL_ACCESS, &h, nullptr), reg::kSuccess);
    ASSERT_EQ(reg::SetValue(h, name, kind, reinterpret_cast<const uint8_t*>(bytes.data()),
                            static_cast<uint32_t>(bytes.size())),
              reg::kSuccess);
    reg::CloseKey(h);
}

// Each test gets its own registry database.
class RegistryTest : public ::testing::Test {
  protected:
    void SetUp() override {
        if (const char* old = std::getenv("XDG_CONFIG_HOME"))
            saved_ = old;
        setenv("XDG_CONFIG_HOME", dir_.Path().c_str(), 1);
        key_ = Ptr<Unknown>::Attach(core::NewQfRegistryKey()).As<QfRegistryKey>();
        iface_ = key_.As<QfstoreStdInterface>();
        key_->Advise([this](RegError code) { events_.push_back(code); });
    }
    void TearDown() override {
        key_.Reset();
        iface_.Reset();
        if (saved_) {
            setenv("XDG_CONFIG_HOME", saved_->c_str(), 1);
        } else {
            unsetenv("XDG_CONFIG_HOME");
        }
    }

    testing_support::TempDir dir_;
    std::optional<std::string> saved_;
    Ptr<QfRegistryKey> key_;
    Ptr<QfstoreStdInterface> iface_;
    std::vector<int32_t> events_;
};

TEST_F(RegistryTest, NewObject) {
    EXPECT_EQ(key_->RootKey(), HKEY_CURRENT_USER);
    EXPECT_EQ(key_->KeyName(), "");
    EXPECT_TRUE(key_->Value().IsEmpty());
    EXPECT_EQ(key_->ErrorState(), 0);
    EXPECT_EQ(iface_->Path(), "HKEY_CURRENT_USER\\");
    EXPECT_EQ(iface_->Section(), "");
    EXPECT_EQ(key_->Version(), "Qfstore - 1.2.3\rModule: QfRegistryKey - 1.2");
    EXPECT_EQ(iface_->Version(), Variant("Qfstore - 1.2.3\rModule: QfRegistryKey - 1.2"));
}

struct AddressStep {
    const char* call;
    std::function<void(QfstoreStdInterface&)> run;
    RegRootKey root;
    const char* keyName;
    std::vector<const char*> keysNow;  // under the root, after the step
};

TEST_F(RegistryTest, WorkedExampleOfPathAndSection) {
    const std::vector<AddressStep> steps = {
        {"Path",
         [](auto& s) { s.Path("HKEY_LOCAL_MACHINE\\Software\\Demo.ini"); },
         HKEY_LOCAL_MACHINE,
         "Software\\Demo",
         {"Software\\Demo"}},
        {"Section Main",
         [](auto& s) { s.Section("Main"); },
         HKEY_LOCAL_MACHINE,
         "Software\\Demo\\Main",
         {"Software\\Demo", "Software\\Demo\\Main"}},
        {"Section Other",
         [](auto& s) { s.Section("Other"); },
         HKEY_LOCAL_MACHINE,
         "Software\\Demo\\Other",
         {"Software\\Demo\\Main", "Software\\Demo\\Other"}},
        {"second Path",
         [](auto& s) { s.Path("HKEY_USERS\\X"); },
         HKEY_LOCAL_MACHINE,
         "Software\\Demo\\Other",
         {"Software\\Demo\\Other"}},
    };
    for (const AddressStep& step : steps) {
        SCOPED_TRACE(step.call);
        step.run(*iface_);
        EXPECT_EQ(key_->RootKey(), step.root);
        EXPECT_EQ(key_->KeyName(), step.keyName);
        for (const char* key : step.keysNow) EXPECT_TRUE(KeyExists(step.root, key)) << key;
    }
    EXPECT_EQ(iface_->Path(), "HKEY_LOCAL_MACHINE\\Software\\Demo\\Other");
    EXPECT_EQ(iface_->Section(), "Other");
    EXPECT_FALSE(KeyExists(HKEY_USERS, "X"));
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, "Software"));
    EXPECT_TRUE(events_.empty());
}

struct PathCase {
    const char* name;
    const char* path;
    RegRootKey root;
    const char* keyName;
};
void PrintTo(const PathCase& c, std::ostream* os) {
    *os << c.name;
}

class RegistryPath : public RegistryTest, public ::testing::WithParamInterface<PathCase> {};

TEST_P(RegistryPath, SplitsRootAndKeyAndCreatesTheKey) {
    const PathCase& c = GetParam();
    iface_->Path(c.path);
    EXPECT_EQ(key_->RootKey(), c.root);
    EXPECT_EQ(key_->KeyName(), c.keyName);
    EXPECT_TRUE(KeyExists(c.root, c.keyName));
    EXPECT_EQ(key_->ErrorState(), 0);
}

INSTANTIATE_TEST_SUITE_P(
    Table, RegistryPath,
    ::testing::Values(
        PathCase{"no_root_before_slash", "Software/Demo", HKEY_CURRENT_USER, "Software/Demo"},
        PathCase{"slash_after_root", "HKEY_USERS/A\\B", HKEY_USERS, "A\\B"},
        PathCase{"bar_after_root", "HKEY_CLASSES_ROOT|Soft\\Ware", HKEY_CLASSES_ROOT, "Soft\\Ware"},
        PathCase{"point_after_root", "HKEY_LOCAL_MACHINE.Soft", HKEY_LOCAL_MACHINE, "Soft"},
        PathCase{"root_in_other_case", "hkey_users\\X", HKEY_CURRENT_USER, "hkey_users\\X"},
        PathCase{"file_ending_cut", "Software\\a.b", HKEY_CURRENT_USER, "Software\\a"},
        PathCase{"short_key_cut", "ab.c", HKEY_CURRENT_USER, "ab"},
        PathCase{"only_last_point_cut", "x.ini.bak", HKEY_CURRENT_USER, "x.ini"},
        PathCase{"point_further_back_kept", "Soft\\Ver.12345", HKEY_CURRENT_USER,
                 "Soft\\Ver.12345"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(RegistryTest, SecondAddressIgnoredUntilDeleteKey) {
    key_->KeyName("");
    EXPECT_EQ(key_->KeyName(), "");
    key_->RootKey(HKEY_USERS);
    key_->RootKey(HKEY_CLASSES_ROOT);
    key_->KeyName("First");
    key_->KeyName("Second");
    iface_->Path("HKEY_LOCAL_MACHINE\\Third");
    EXPECT_EQ(key_->RootKey(), HKEY_USERS);
    EXPECT_EQ(key_->KeyName(), "First");
    EXPECT_TRUE(KeyExists(HKEY_USERS, "First"));
    EXPECT_FALSE(KeyExists(HKEY_USERS, "Second"));
    EXPECT_FALSE(KeyExists(HKEY_LOCAL_MACHINE, "Third"));

    EXPECT_TRUE(key_->DeleteKey().IsEmpty());
    EXPECT_EQ(key_->ErrorState(), 0);
    EXPECT_FALSE(KeyExists(HKEY_USERS, "First"));
    EXPECT_EQ(key_->RootKey(), HKEY_USERS);
    EXPECT_EQ(key_->KeyName(), "");
    key_->RootKey(HKEY_CLASSES_ROOT);
    key_->KeyName("Second");
    EXPECT_EQ(iface_->Path(), "HKEY_CLASSES_ROOT\\Second");
    EXPECT_TRUE(KeyExists(HKEY_CLASSES_ROOT, "Second"));
    EXPECT_TRUE(events_.empty());
}

struct KindCase {
    const char* name;
    Variant value;
    std::optional<Raw> stored;  // nothing written when empty
    Variant readBack;
};
void PrintTo(const KindCase& c, std::ostream* os) {
    *os << c.name;
}

class RegistryKind : public RegistryTest, public ::testing::WithParamInterface<KindCase> {};

TEST_P(RegistryKind, WritesByVariantType) {
    const KindCase& c = GetParam();
    key_->KeyName("Software\\Kinds");
    EXPECT_FALSE(key_->SetValue("v", c.value));
    EXPECT_EQ(key_->ErrorState(), 0);
    EXPECT_EQ(key_->Value(), c.value);
    const Raw raw = RawValue(HKEY_CURRENT_USER, "Software\\Kinds", "v");
    if (c.stored) {
        EXPECT_EQ(raw.status, 0);
        EXPECT_EQ(raw.kind, c.stored->kind);
        EXPECT_EQ(raw.bytes, c.stored->bytes);
    } else {
        EXPECT_EQ(raw.status, reg::kFileNotFound);
    }
    EXPECT_TRUE(events_.empty());
    if (!c.stored)
        return;
    EXPECT_EQ(key_->GetValue("v"), c.readBack);
    EXPECT_EQ(key_->Value(), c.readBack);
}

Variant Array(VarType type, std::vector<Variant> items) {
    return Variant::Array(type, 0, std::move(items));
}

INSTANTIATE_TEST_SUITE_P(
    Table, RegistryKind,
    ::testing::Values(
        KindCase{"integer", Variant(int16_t{7}), Raw{0, 4, std::string("\x07\0\0\0", 4)},
                 Variant(int32_t{7})},
        KindCase{"long", Variant(int32_t{-2}), Raw{0, 4, "\xFE\xFF\xFF\xFF"}, Variant(-2)},
        KindCase{"true", Variant(true), Raw{0, 4, "\xFF\xFF\xFF\xFF"}, Variant(int32_t{-1})},
        KindCase{"false", Variant(false), Raw{0, 4, std::string(4, '\0')}, Variant(int32_t{0})},
        KindCase{"double", Variant(2.5), Raw{0, 1, std::string("2.5\0", 4)}, Variant(2.5)},
        KindCase{"text", Variant("Red"), Raw{0, 1, std::string("Red\0", 4)}, Variant("Red")},
        KindCase{"empty_text", Variant(""), Raw{0, 1, std::string(1, '\0')}, Variant("")},
        KindCase{"texts", Variant::StringArray({"a", "b"}), Raw{0, 1, std::string("a\tb\0", 4)},
                 Variant::StringArray({"a", "b"})},
        KindCase{"longs", Array(VarType::Long, {Variant(1), Variant(2)}),
                 Raw{0, 1, std::string("1\t2\0", 4)},
                 Array(VarType::Long, {Variant(1), Variant(2)})},
        KindCase{"byte", Variant(uint8_t{5}), std::nullopt, Variant()},
        KindCase{"single", Variant(1.5f), std::nullopt, Variant()},
        KindCase{"date", Variant::Date(45000.5), std::nullopt, Variant()},
        KindCase{"currency", Variant::Currency(12345), std::nullopt, Variant()},
        KindCase{"empty", Variant(), std::nullopt, Variant()},
        KindCase{"null", Variant::Null(), std::nullopt, Variant()},
        KindCase{"untyped_array", Array(VarType::Empty, {}), std::nullopt, Variant()},
        KindCase{"singles", Array(VarType::Single, {Variant(1.5f)}), std::nullopt, Variant()}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(RegistryTest, SetValueWithoutKeyNameWritesNothing) {
    EXPECT_FALSE(key_->SetValue("v", Variant("x")));
    EXPECT_EQ(key_->ErrorState(), 0);
    EXPECT_EQ(RawValue(HKEY_CURRENT_USER, "", "v").status, reg::kFileNotFound);
    EXPECT_TRUE(events_.empty());
}

TEST_F(RegistryTest, FailedWriteReturnsTrueAndRaisesErrorOnce) {
    key_->KeyName("Gone");
    ASSERT_EQ(reg::DeleteKey(Root(HKEY_CURRENT_USER), "Gone"), reg::kSuccess);
    EXPECT_TRUE(key_->SetValue("v", Variant("x")));
    EXPECT_EQ(key_->ErrorState(), reg::kInvalidHandle);
    EXPECT_EQ(events_, std::vector<int32_t>{6});
    // The next call starts afresh.
    events_.clear();
    EXPECT_FALSE(key_->SetValue("v", Variant(uint8_t{1})));
    EXPECT_EQ(key_->ErrorState(), 0);
    EXPECT_TRUE(events_.empty());
}

TEST_F(RegistryTest, MissingValueRaisesErrorTwiceAndReturnsTheDefault) {
    key_->KeyName("Software\\Read");
    EXPECT_EQ(key_->GetValue("absent", "\t", true, true, Variant("dflt")), Variant("dflt"));
    EXPECT_EQ(key_->ErrorState(), reg::kFileNotFound);
    EXPECT_EQ(events_, (std::vector<int32_t>{2, 2}));
    EXPECT_EQ(key_->Value(), Variant("dflt"));
    events_.clear();
    EXPECT_TRUE(iface_->GetValue("absent").IsMissing());
    EXPECT_EQ(events_, (std::vector<int32_t>{2, 2}));
}

struct UnreadableCase {
    const char* name;
    uint32_t kind;
    std::string bytes;
    std::vector<int32_t> events;
};
void PrintTo(const UnreadableCase& c, std::ostream* os) {
    *os << c.name;
}

class RegistryUnreadable : public RegistryTest,
                           public ::testing::WithParamInterface<UnreadableCase> {};

TEST_P(RegistryUnreadable, ReturnsTheDefault) {
    const UnreadableCase& c = GetParam();
    key_->KeyName("Software\\Odd");
    WriteRaw(HKEY_CURRENT_USER, "Software\\Odd", "v", c.kind, c.bytes);
    EXPECT_EQ(key_->GetValue("v", "\t", true, true, Variant(int16_t{9})), Variant(int16_t{9}));
    EXPECT_EQ(events_, c.events);
    EXPECT_EQ(key_->ErrorState(), c.events.back());
}

INSTANTIATE_TEST_SUITE_P(
    Table, RegistryUnreadable,
    ::testing::Values(UnreadableCase{"raw_bytes", reg::REG_BINARY, "\x01\x02", {-1}},
                      UnreadableCase{"expandable_text", reg::REG_EXPAND_SZ, "%A%", {-1}},
                      // Never more than four bytes are read into the number.
                      UnreadableCase{"long_number", reg::REG_DWORD, "12345678", {234, 234}}),
    [](const auto& info) { return std::string(info.param.name); });

TEST_F(RegistryTest, ShortNumberAndTextWithoutNul) {
    key_->KeyName("Software\\Odd");
    WriteRaw(HKEY_CURRENT_USER, "Software\\Odd", "n", reg::REG_DWORD, "\x01\x01");
    WriteRaw(HKEY_CURRENT_USER, "Software\\Odd", "t", reg::REG_SZ, "abc");
    EXPECT_EQ(key_->GetValue("n"), Variant(int32_t{257}));
    EXPECT_EQ(key_->GetValue("t"), Variant("ab"));
    EXPECT_TRUE(events_.empty());
}

TEST_F(RegistryTest, TextOfSizeZeroFailsWithError5) {
    key_->KeyName("Software\\Odd");
    WriteRaw(HKEY_CURRENT_USER, "Software\\Odd", "v", reg::REG_SZ, "");
    try {
        iface_->GetValue("v");
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_EQ(e.Number(), 5);
        EXPECT_EQ(e.Description(), "Invalid procedure call or argument");
        EXPECT_EQ(e.Source(),
                  "Qfstore\r\nQfRegistryKey.QueryValueEx\r\nQfRegistryKey.QueryValue\r\n"
                  "QfRegistryKey.GetValue\r\nQfRegistryKey.QfstoreStdInterface_GetValue");
    }
}

TEST_F(RegistryTest, DeleteValueAndDeleteKeyRecordTheirStatus) {
    key_->KeyName("Software\\Del");
    key_->SetValue("v", Variant("x"));
    EXPECT_TRUE(key_->DeleteValue("v").IsEmpty());
    EXPECT_EQ(key_->ErrorState(), 0);
    EXPECT_EQ(RawValue(HKEY_CURRENT_USER, "Software\\Del", "v").status, reg::kFileNotFound);
    EXPECT_TRUE(key_->DeleteValue("v").IsEmpty());
    EXPECT_EQ(key_->ErrorState(), reg::kFileNotFound);
    EXPECT_EQ(events_, std::vector<int32_t>{2});

    // A key with subkeys stays, but the store may be addressed anew all the same.
    events_.clear();
    iface_->Section("Sub");
    ASSERT_EQ(key_->KeyName(), "Software\\Del\\Sub");
    EXPECT_TRUE(key_->DeleteKey().IsEmpty());
    EXPECT_EQ(key_->ErrorState(), 0);
    EXPECT_FALSE(KeyExists(HKEY_CURRENT_USER, "Software\\Del\\Sub"));
    key_->KeyName("Software");
    EXPECT_TRUE(key_->DeleteKey().IsEmpty());
    EXPECT_EQ(key_->ErrorState(), reg::kAccessDenied);
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, "Software\\Del"));
    EXPECT_EQ(key_->KeyName(), "");
    key_->KeyName("Software\\Del");
    key_->DeleteKey();
    EXPECT_EQ(key_->ErrorState(), 0);
    // With no key name the root itself would go: the registry refuses.
    key_->DeleteKey();
    EXPECT_EQ(key_->ErrorState(), reg::kAccessDenied);
    EXPECT_EQ(events_, (std::vector<int32_t>{5, 5}));
}

TEST_F(RegistryTest, EmptySectionLeavesTheSeparator) {
    iface_->Path("Software\\App");
    iface_->Section("  ");
    EXPECT_EQ(key_->KeyName(), "Software\\App");
    iface_->Section("Main");
    iface_->Section("");
    EXPECT_EQ(key_->KeyName(), "Software\\App\\");
    EXPECT_EQ(iface_->Section(), "");
    iface_->Section("Next");
    EXPECT_EQ(iface_->Path(), "HKEY_CURRENT_USER\\Software\\App\\Next");
    EXPECT_TRUE(KeyExists(HKEY_CURRENT_USER, "Software\\App\\Next"));
    EXPECT_TRUE(events_.empty());
}

TEST_F(RegistryTest, ValuesThroughTheStandardInterface) {
    iface_->Path("HKEY_CURRENT_USER\\Software\\Std");
    iface_->Section("Main");
    EXPECT_FALSE(iface_->SetValue("list", Variant::StringArray({"1.5", "2"}), "|"));
    EXPECT_EQ(RawValue(HKEY_CURRENT_USER, "Software\\Std\\Main", "LIST").bytes,
              std::string("1.5|2\0", 6));
    EXPECT_EQ(iface_->GetValue("list", "|"), Array(VarType::Double, {Variant(1.5), Variant(2.0)}));
    EXPECT_EQ(iface_->GetValue("list"), Variant("1.5|2"));
}

class CountingSink final : public QfRegistryKeyEvents {
  public:
    Status QueryInterface(const Guid& iid, void** out) override {
        if (!(iid == IID_Unknown || iid == DIID_QfRegistryKeyEvents))
            return kNoInterface;
        *out = this;
        AddRef();
        return kOk;
    }
    uint32_t AddRef() override { return ++refs; }
    uint32_t Release() override { return --refs; }
    void Error(RegError code) override { codes.push_back(code); }

    uint32_t refs = 1;
    std::vector<int32_t> codes;
};

TEST_F(RegistryTest, SinksAreHeldUntilUnadvised) {
    CountingSink sink;
    const uint32_t cookie = key_->Advise(&sink);
    EXPECT_NE(cookie, 0u);
    EXPECT_EQ(sink.refs, 2u);
    key_->KeyName("K");
    key_->DeleteValue("none");
    EXPECT_EQ(sink.codes, std::vector<int32_t>{2});
    key_->Unadvise(cookie);
    EXPECT_EQ(sink.refs, 1u);
    key_->DeleteValue("none");
    EXPECT_EQ(sink.codes, std::vector<int32_t>{2});
    EXPECT_EQ(events_, (std::vector<int32_t>{2, 2}));
    EXPECT_EQ(key_->Advise(nullptr), 0u);
    EXPECT_EQ(key_->Advise(QfRegistryKey::ErrorCallback()), 0u);
}

TEST_F(RegistryTest, AnErrorRaisedByTheHandlerReachesTheCaller) {
    key_->KeyName("K");
    key_->Advise([](RegError code) { throw Error(1000 + code, "handler", "Client"); });
    try {
        key_->GetValue("none");
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_EQ(e.Number(), 1002);
        EXPECT_EQ(e.Source(),
                  "Client\r\nQfRegistryKey.ErrorState (Let)\r\nQfRegistryKey.QueryValueEx\r\n"
                  "QfRegistryKey.QueryValue\r\nQfRegistryKey.GetValue");
    }
    EXPECT_EQ(key_->ErrorState(), 2);
}

}  // namespace
