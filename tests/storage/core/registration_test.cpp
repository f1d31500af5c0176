// Registration of the component's classes, through the entry points of the built library.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <string>

#include "class_table.h"
#include "qfstore/client.h"
#include "qfstore/guid.h"
#include "registry.h"
#include "temp_dir.h"

using namespace qfstore;
namespace reg = platform::registry;

namespace {

const Component& Library() {
    static const Component component = Component::Load(QFSTORE_LIBRARY_PATH, "test");
    return component;
}

// The unnamed value of HKEY_CLASSES_ROOT\path as text without its NUL; nullopt when the key
// or the value is missing or the value is not a NUL-terminated text.
std::optional<std::string> DefaultText(const std::string& path) {
    reg::Handle key = 0;
    if (reg::OpenKey(reg::HKEY_CLASSES_ROOT, path, reg::KEY_READ, &key) != 0)
        return {};
    uint32_t kind = 0, size = 0;
    std::string text;
    if (reg::QueryValue(key, "", &kind, nullptr, &size) == 0 && kind == reg::REG_SZ && size > 0) {
        text.resize(size);
        reg::QueryValue(key, "", &kind, reinterpret_cast<uint8_t*>(text.data()), &size);
    }
    reg::CloseKey(key);
    if (text.empty() || text.back() != '\0')
        return {};
    text.pop_back();
    return text;
}

bool KeyExists(const std::string& path) {
    reg::Handle key = 0;
    if (reg::OpenKey(reg::HKEY_CLASSES_ROOT, path, reg::KEY_READ, &key) != 0)
        return false;
    reg::CloseKey(key);
    return true;
}

class RegistrationTest : public ::testing::Test {
  protected:
    // The registry is chosen on each use, so pointing it elsewhere before the first call
    // keeps the user's own registry untouched.
    void SetUp() override { ASSERT_EQ(setenv("XDG_CONFIG_HOME", dir_.Path().c_str(), 1), 0); }

    Status Register() const { return Library().Symbol<DllRegisterServerFn>("DllRegisterServer")(); }
    Status Unregister() const {
        return Library().Symbol<DllUnregisterServerFn>("DllUnregisterServer")();
    }

    testing_support::TempDir dir_;
};

TEST_F(RegistrationTest, RegisterEntersEveryClassWithItsNamePathAndProgId) {
    ASSERT_EQ(Register(), kOk);
    const std::string library = std::filesystem::canonical(QFSTORE_LIBRARY_PATH).string();
    ASSERT_FALSE(core::Classes().empty());
    for (const core::ClassInfo& info : core::Classes()) {
        SCOPED_TRACE(info.name);
        const std::string clsid = "CLSID\\" + GuidText(*info.clsid);
        const std::string progId = std::string("Qfstore.") + info.name;
        EXPECT_EQ(DefaultText(clsid), info.name);
        EXPECT_EQ(DefaultText(clsid + "\\InprocServer32"), library);
        EXPECT_EQ(DefaultText(clsid + "\\ProgID"), progId);
        EXPECT_EQ(DefaultText(progId), info.name);
        EXPECT_EQ(DefaultText(progId + "\\CLSID"), GuidText(*info.clsid));
    }
    // Registering again changes nothing and succeeds.
    EXPECT_EQ(Register(), kOk);
    EXPECT_EQ(DefaultText("Qfstore.QfstoreLibrary"), "QfstoreLibrary");
}

TEST_F(RegistrationTest, UnregisterRemovesExactlyWhatRegisterEntered) {
    // Keys of others next to ours: a sibling class, and a value under the shared CLSID key.
    reg::Handle other = 0;
    ASSERT_EQ(reg::CreateKey(reg::HKEY_CLASSES_ROOT, "CLSID\\{OTHER}\\InprocServer32",
                             reg::KEY_ALL_ACCESS, &other, nullptr),
              0);
    reg::CloseKey(other);
    ASSERT_EQ(
        reg::CreateKey(reg::HKEY_CLASSES_ROOT, "Other.Class", reg::KEY_ALL_ACCESS, &other, nullptr),
        0);
    reg::CloseKey(other);

    ASSERT_EQ(Register(), kOk);
    ASSERT_EQ(Unregister(), kOk);
    for (const core::ClassInfo& info : core::Classes()) {
        SCOPED_TRACE(info.name);
        EXPECT_FALSE(KeyExists("CLSID\\" + GuidText(*info.clsid)));
        EXPECT_FALSE(KeyExists(std::string("Qfstore.") + info.name));
    }
    EXPECT_TRUE(KeyExists("CLSID"));
    EXPECT_TRUE(KeyExists("CLSID\\{OTHER}\\InprocServer32"));
    EXPECT_TRUE(KeyExists("Other.Class"));
    // Nothing left to remove is no failure.
    EXPECT_EQ(Unregister(), kOk);
}

TEST_F(RegistrationTest, UnregisterLeavesAKeyOthersAddedBelowOursAndReportsFailure) {
    ASSERT_EQ(Register(), kOk);
    const core::ClassInfo& first = core::Classes().front();
    const std::string clsid = "CLSID\\" + GuidText(*first.clsid);
    reg::Handle extra = 0;
    ASSERT_EQ(reg::CreateKey(reg::HKEY_CLASSES_ROOT, clsid + "\\Extra", reg::KEY_ALL_ACCESS, &extra,
                             nullptr),
              0);
    reg::CloseKey(extra);
    EXPECT_EQ(Unregister(), kSelfRegClass);
    EXPECT_TRUE(KeyExists(clsid + "\\Extra"));
    EXPECT_FALSE(KeyExists(clsid + "\\InprocServer32"));
    EXPECT_FALSE(KeyExists(std::string("Qfstore.") + first.name));
}

TEST_F(RegistrationTest, RegisterReportsFailureWhenTheRegistryCannotBeWritten) {
    // A file where the registry's folder should be makes the database impossible to open.
    testing_support::WriteFile(dir_.File("qfstore"), "not a folder");
    EXPECT_EQ(Register(), kSelfRegClass);
    EXPECT_EQ(Unregister(), kSelfRegClass);
}

}  // namespace
