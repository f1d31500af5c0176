// The standard interface's contract, run over each of the three stores: one identity with the
// store, values that read back with number and array detection, absent names as the
// missing-argument marker, and errors that name the member they left through.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <string>

#include "creators.h"
#include "ini/ini_store.h"
#include "outcome.h"
#include "qfstore/std_interface.h"
#include "temp_dir.h"

using namespace qfstore;
using testing_support::Outcome;
using testing_support::TempDir;

namespace {

struct IniStore {
    static constexpr const char* kClass = "QfINIFileHandler";
    TempDir dir;
    Ptr<Unknown> Make() const {
        auto store = Ptr<Unknown>::Attach(
            static_cast<QfINIFileHandler*>(new core::INIFileHandler(dir.Path().string() + "/")));
        store.As<QfstoreStdInterface>()->Path(dir.File("contract.ini"));
        return store;
    }
};

struct StringStore {
    static constexpr const char* kClass = "QfStorageString";
    Ptr<Unknown> Make() const { return Ptr<Unknown>::Attach(core::NewQfStorageString()); }
};

struct RegistryStore {
    static constexpr const char* kClass = "QfRegistryKey";
    TempDir dir;
    RegistryStore() { setenv("XDG_CONFIG_HOME", dir.Path().c_str(), 1); }
    Ptr<Unknown> Make() const {
        auto store = Ptr<Unknown>::Attach(core::NewQfRegistryKey());
        store.As<QfstoreStdInterface>()->Path("HKEY_CURRENT_USER\\Software\\Contract");
        return store;
    }
};

template <class Store>
class StdInterfaceContract : public ::testing::Test {
  protected:
    Store store_;
    Ptr<Unknown> object_ = store_.Make();
    Ptr<QfstoreStdInterface> std_ = object_.As<QfstoreStdInterface>();
};

using Stores = ::testing::Types<IniStore, StringStore, RegistryStore>;
TYPED_TEST_SUITE(StdInterfaceContract, Stores);

// The interface is a view of the store: the same identity and one reference count.
TYPED_TEST(StdInterfaceContract, SharesTheStoresIdentity) {
    ASSERT_TRUE(this->std_);
    EXPECT_EQ(this->std_.template As<Unknown>().Get(), this->object_.Get());
    EXPECT_EQ(this->std_.template As<QfstoreStdInterface>().Get(), this->std_.Get());
    const uint32_t before = this->object_->AddRef();
    EXPECT_EQ(this->std_->AddRef(), before + 1);
    this->std_->Release();
    this->object_->Release();
}

TYPED_TEST(StdInterfaceContract, ValuesReadBackWithNumbersAndArraysDetected) {
    auto& s = *this->std_;
    s.Section("Contract");
    EXPECT_EQ(s.Section(), "Contract");
    EXPECT_FALSE(s.SetValue("Text", Variant("Red"), "\t"));
    EXPECT_FALSE(s.SetValue("Number", Variant("42.5"), "\t"));
    EXPECT_FALSE(s.SetValue("List", Variant::StringArray({"1.5", "2"}), "|"));
    EXPECT_FALSE(s.SetValue("Words", Variant::StringArray({"a", "b"}), "|"));
    EXPECT_EQ(s.GetValue("Text"), Variant("Red"));
    EXPECT_EQ(s.GetValue("Number"), Variant(42.5));
    EXPECT_EQ(s.GetValue("List", "|"),
              Variant::Array(VarType::Double, 0, {Variant(1.5), Variant(2.0)}));
    EXPECT_EQ(s.GetValue("Words", "|"), Variant::StringArray({"a", "b"}));
    EXPECT_EQ(s.GetValue("Words", "\t"), Variant("a|b"));
    EXPECT_TRUE(s.GetValue("Absent").IsMissing());
    EXPECT_EQ(s.Version(false).Type(), VarType::String);
}

TYPED_TEST(StdInterfaceContract, ErrorsNameTheMemberTheyLeftThrough) {
    const std::string cls = TypeParam::kClass;
    // An element holding the delimiter would read back as two.
    const std::string outcome =
        Outcome([&] { this->std_->SetValue("k", Variant::StringArray({"a|b"}), "|"); });
    EXPECT_EQ(outcome.substr(0, outcome.find('|')), "5");
    EXPECT_EQ(outcome.substr(outcome.rfind('\n') + 1), cls + ".QfstoreStdInterface_SetValue");
}

}  // namespace
