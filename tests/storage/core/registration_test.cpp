// Registration of the component's classes, through the entry points of the built library.
#include <gtest/gtest.h>
#include <stdlib.h>

#include <filesystem>
#include <string>
#include <vector>

#include "class_table.h"
#include "platform/registry.h"
#include "qfstore/client.h"
#include "qfstore/guid.h"
#include "temp_dir.h"

using namespace qfstore;
namespace reg = platform::registry;

namespace {

const Component& Library() {
    static const Component component = Component::Load(QFSTORE_LIBRARY_PATH, "test");
    return component;
}

bool KeyExists(const std::string& path) {
    reg::Handle key = 0;
    const long status = reg::OpenKey(reg::HKEY_CLASSES_ROOT, path, reg::KEY_READ, &key);
    reg::CloseKey(key);
    return status == 0;
}

// The unnamed value of HKEY_CLASSES_ROOT\path as text with its NUL; "" when it cannot be read.
std::string DefaultText(const std::string& path) {
    reg::Handle key = 0;
    std::string text(512, '\0');
    uint32_t kind = 0, size = static_cast<uint32_t>(text.size());
    if (reg::OpenKey(reg::HKEY_CLASSES_ROOT, path, reg::KEY_READ, &key) != 0 ||
        reg::QueryValue(key, "", &kind, reinterpret_cast<uint8_t*>(text.data()), &size) != 0 ||
        kind != reg::REG_SZ) {
        size = 0;
    }
    reg::CloseKey(key);
    return text.substr(0, size);
}

// Every key registration writes for one class, with the text of its unnamed value.
std::vector<std::pair<std::string, std::string>> WrittenKeys(const core::ClassInfo& info) {
    const std::string clsid = "CLSID\\" + GuidText(*info.clsid);
    const std::string progId = std::string("Qfstore.") + info.name;
    const std::string library = std::filesystem::canonical(QFSTORE_LIBRARY_PATH).string();
    return {{clsid, info.name},
            {clsid + "\\InprocServer32", library},
            {clsid + "\\ProgID", progId},
            {progId, info.name},
            {progId + "\\CLSID", GuidText(*info.clsid)}};
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
    void CreateOther(const std::string& path) {
        reg::Handle h = 0;
        ASSERT_EQ(reg::CreateKey(reg::HKEY_CLASSES_ROOT, path, reg::KEY_ALL_ACCESS, &h, nullptr),
                  0);
        reg::CloseKey(h);
    }

    testing_support::TempDir dir_;
};

TEST_F(RegistrationTest, RegisterWritesAndUnregisterRemovesExactlyItsKeys) {
    // Keys of others next to ours: a sibling class, and a value under the shared CLSID key.
    CreateOther("CLSID\\{OTHER}\\InprocServer32");
    CreateOther("Other.Class");
    ASSERT_EQ(Register(), kOk);
    ASSERT_EQ(Register(), kOk);  // registering again changes nothing
    ASSERT_EQ(core::Classes().size(), 5u);
    for (const core::ClassInfo& info : core::Classes()) {
        for (const auto& [path, text] : WrittenKeys(info))
            EXPECT_EQ(DefaultText(path), text + '\0') << path;
    }
    ASSERT_EQ(Unregister(), kOk);
    for (const core::ClassInfo& info : core::Classes()) {
        for (const auto& [path, text] : WrittenKeys(info)) EXPECT_FALSE(KeyExists(path)) << path;
    }
    for (const char* path : {"CLSID", "CLSID\\{OTHER}\\InprocServer32", "Other.Class"})
        EXPECT_TRUE(KeyExists(path)) << path;
    EXPECT_EQ(Unregister(), kOk);  // nothing left to remove is no failure
}

TEST_F(RegistrationTest, UnregisterLeavesAKeyOthersAddedBelowOursAndReportsFailure) {
    ASSERT_EQ(Register(), kOk);
    const auto keys = WrittenKeys(core::Classes().front());
    CreateOther(keys[0].first + "\\Extra");
    EXPECT_EQ(Unregister(), kSelfRegClass);
    EXPECT_TRUE(KeyExists(keys[0].first + "\\Extra"));
    EXPECT_FALSE(KeyExists(keys[1].first));
    EXPECT_FALSE(KeyExists(keys[3].first));
}

TEST_F(RegistrationTest, RegisterReportsFailureWhenTheRegistryCannotBeWritten) {
    // A file where the registry's folder should be makes the database impossible to open.
    testing_support::WriteFile(dir_.File("qfstore"), "not a folder");
    EXPECT_EQ(Register(), kSelfRegClass);
    EXPECT_EQ(Unregister(), kSelfRegClass);
}

}  // namespace
