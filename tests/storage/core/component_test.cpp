// The component as a host sees it: loaded at run time, objects created by class identifier.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "outcome.h"
#include "qfstore/client.h"
#include "qfstore/conversions.h"
#include "qfstore/ids.h"
#include "qfstore/library.h"
#include "qfstore/std_interface.h"

using namespace qfstore;

namespace {

const Component& Library() {
    static const Component component = Component::Load(QFSTORE_LIBRARY_PATH, "test");
    return component;
}

std::vector<std::pair<std::string, std::string>> g_shown;
void RecordBox(const char* text, const char* title) {
    g_shown.emplace_back(text, title);
}

class ComponentTest : public ::testing::Test {
  protected:
    void SetUp() override {
        g_shown.clear();
        Library().Symbol<QfstoreSetMessageBoxHookFn>("QfstoreSetMessageBoxHook")(&RecordBox);
    }
    Status CanUnloadNow() const { return Library().Symbol<DllCanUnloadNowFn>("DllCanUnloadNow")(); }
};

struct ClassRow {
    const Guid* clsid;
    const char* name;
    const char* report;  // through the standard interface; nullptr when the class has none
};

const ClassRow kClasses[] = {
    {&CLSID_QfstoreLibrary, "QfstoreLibrary", nullptr},
    {&CLSID_QfstoreStdInterface, "QfstoreStdInterface",
     "Qfstore - 1.2.3\rModule: QfstoreStdInterface - 1.1"},
    {&CLSID_QfINIFileHandler, "QfINIFileHandler",
     "Qfstore - 1.2.3\rModule: QfINIFileHandler - 1.2"},
    {&CLSID_QfStorageString, "QfStorageString", "Qfstore - 1.2.3\rModule: QfStorageString - 1.1"},
    {&CLSID_QfRegistryKey, "QfRegistryKey", "Qfstore - 1.2.3\rModule: QfRegistryKey - 1.2"},
};

TEST_F(ComponentTest, EveryClassIsCreatedAndTheLibraryCanUnloadAfterTheLastRelease) {
    ASSERT_EQ(CanUnloadNow(), kOk);
    for (const ClassRow& row : kClasses) {
        SCOPED_TRACE(row.name);
        auto object = Library().Create<Unknown>(*row.clsid, "test");
        ASSERT_TRUE(object);
        EXPECT_EQ(CanUnloadNow(), kFalse);
        if (row.report) {
            auto store = object.As<QfstoreStdInterface>();
            ASSERT_TRUE(store);
            EXPECT_EQ(ToText(store->Version(), "test"), row.report);
            auto again = store.As<Unknown>();
            object.Reset();
            store.Reset();
            EXPECT_EQ(CanUnloadNow(), kFalse);  // `again` still holds it
        }
    }
    EXPECT_EQ(CanUnloadNow(), kOk);
}

TEST_F(ComponentTest, UnknownInterfaceFailsWithCantCreateObject) {
    EXPECT_EQ(testing_support::DescribedOutcome(
                  [] { Library().Create<QfstoreLibrary>(CLSID_QfstoreStdInterface, "Gearsheet"); }),
              "429|Can't create object|Gearsheet");
    EXPECT_EQ(CanUnloadNow(), kOk);  // the object made for the failed request is gone
}

// The library's version is its first line only; asked to, each version text is also shown.
TEST_F(ComponentTest, VersionTextsShowWhenAsked) {
    auto library = Library().Create<QfstoreLibrary>(CLSID_QfstoreLibrary, "test");
    auto same = Library().Create<QfstoreLibrary>(CLSID_QfstoreLibrary, "test");
    EXPECT_EQ(library.Get(), same.Get());  // the one global object
    EXPECT_EQ(library->Version(), "Qfstore - 1.2.3");
    EXPECT_TRUE(g_shown.empty());
    EXPECT_EQ(library->Version(true), "Qfstore - 1.2.3");
    Library().Create<QfstoreStdInterface>(CLSID_QfstoreStdInterface, "test")->Version(true);
    const std::string module = "Qfstore - 1.2.3\rModule: QfstoreStdInterface - 1.1";
    EXPECT_EQ(g_shown, (std::vector<std::pair<std::string, std::string>>{
                           {"Qfstore - 1.2.3", "Qfstore - Version Information"},
                           {module, "Qfstore - Version Information"}}));
}

}  // namespace
