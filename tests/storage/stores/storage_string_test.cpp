// QfStorageString: the tagged records in its text, byte for byte, and its failures.
#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <vector>

#include "creators.h"
#include "qfstore/conversions.h"
#include "qfstore/std_interface.h"
#include "qfstore/storage_string.h"

using namespace qfstore;

namespace {

Ptr<QfStorageString> NewStore() {
    return Ptr<Unknown>::Attach(core::NewQfStorageString()).As<QfStorageString>();
}

// Runs `call` and returns the error it raises; fails the test when it raises none.
template <class Call>
Error ErrorOf(Call&& call) {
    try {
        call();
    } catch (const Error& e) {
        return e;
    }
    ADD_FAILURE() << "no error";
    return Error(0, "", "");
}

struct Step {
    const char* call;
    std::function<Variant(QfStorageString&)> run;
    const char* textAfter;
    Variant result;  // what the call returns; empty for calls that return nothing
};

TEST(QfStorageString, WorkedExampleByteForByte) {
    const Variant abc = Variant::StringArray({"a", "b", "c"});
    const std::vector<Step> steps = {
        {"new object", [](QfStorageString&) { return Variant(); }, "", Variant()},
        {"SetValue Colour, Red", [](auto& s) { return Variant(s.SetValue("Colour", "Red")); },
         "<\\..Colour={Red};/>", Variant(false)},
        {"SetValue Size, 42",
         [](auto& s) { return Variant(s.SetValue("Size", Variant(int16_t{42}))); },
         "<\\..Colour={Red};/><\\..Size={42};/>", Variant(false)},
        {"SetValue Colour, Blue", [](auto& s) { return Variant(s.SetValue("Colour", "Blue")); },
         "<\\..Colour={Blue};/><\\..Size={42};/>", Variant(false)},
        {"SetValue List, a b c", [&](auto& s) { return Variant(s.SetValue("List", abc)); },
         "<\\..Colour={Blue};/><\\..Size={42};/><\\..List={a\tb\tc};/>", Variant(false)},
        {"GetValue Size", [](auto& s) { return s.GetValue("Size"); },
         "<\\..Colour={Blue};/><\\..Size={42};/><\\..List={a\tb\tc};/>", Variant(42.0)},
        {"GetValue List", [](auto& s) { return s.GetValue("List"); },
         "<\\..Colour={Blue};/><\\..Size={42};/><\\..List={a\tb\tc};/>", abc},
        {"GetValue Width, 7",
         [](auto& s) { return s.GetValue("Width", "\t", true, true, Variant(int16_t{7})); },
         "<\\..Colour={Blue};/><\\..Size={42};/><\\..List={a\tb\tc};/>", Variant(int16_t{7})},
        {"DeleteField Size",
         [](auto& s) {
             s.DeleteField("Size");
             return Variant();
         },
         "<\\..Colour={Blue};/><\\..List={a\tb\tc};/>", Variant()},
        {"DeleteField Colour",
         [](auto& s) {
             s.DeleteField("Colour");
             return Variant();
         },
         "<\\..List={a\tb\tc};/>", Variant()},
        {"Clear",
         [](auto& s) {
             s.Clear();
             return Variant();
         },
         "", Variant()},
    };
    auto store = NewStore();
    for (const Step& step : steps) {
        SCOPED_TRACE(step.call);
        EXPECT_EQ(step.run(*store), step.result);
        EXPECT_EQ(store->Value(), step.textAfter);
    }
}

TEST(QfStorageString, PathAndSectionQualifyEveryName) {
    auto store = NewStore();
    auto iface = store.As<QfstoreStdInterface>();
    ASSERT_TRUE(iface);
    EXPECT_EQ(iface->Path(), "");
    iface->Path("app");
    iface->Section("main");
    EXPECT_EQ(iface->Path(), "app");
    EXPECT_EQ(iface->Section(), "main");
    EXPECT_FALSE(iface->SetValue("Colour", "Red"));
    EXPECT_EQ(store->Value(), "<\\app.main.Colour={Red};/>");
    EXPECT_EQ(iface->GetValue("Colour"), Variant("Red"));
    // The own interface works with the qualifiers set through the standard one.
    EXPECT_EQ(store->GetValue("Colour"), Variant("Red"));

    iface->Path("other");
    EXPECT_TRUE(iface->GetValue("Colour").IsMissing());
    iface->Path("");
    iface->Section("");
    EXPECT_TRUE(iface->GetValue("Colour").IsMissing());
    EXPECT_FALSE(iface->SetValue("Colour", Variant(1.5)));
    EXPECT_EQ(store->Value(), "<\\app.main.Colour={Red};/><\\..Colour={1.5};/>");
    EXPECT_EQ(iface->GetValue("Colour"), Variant(1.5));
    EXPECT_EQ(ToText(iface->Version(), "test"), "Qfstore - 1.2.3\rModule: QfStorageString - 1.1");
    EXPECT_EQ(store->Version(), "Qfstore - 1.2.3\rModule: QfStorageString - 1.1");
}

struct EditCase {
    const char* name;
    const char* before;
    const char* field;
    const char* value;
    const char* after;
};
void PrintTo(const EditCase& c, std::ostream* os) {
    *os << c.name;
}

class StorageStringEdit : public ::testing::TestWithParam<EditCase> {};

TEST_P(StorageStringEdit, KeepsEveryOtherByte) {
    const EditCase& c = GetParam();
    auto store = NewStore();
    store->Value(c.before);
    EXPECT_FALSE(store->SetValue(c.field, c.value));
    EXPECT_EQ(store->Value(), c.after);
}

INSTANTIATE_TEST_SUITE_P(
    Table, StorageStringEdit,
    ::testing::Values(
        EditCase{"first", "<\\..a={1};/><\\..b={2};/>", "a", "x", "<\\..a={x};/><\\..b={2};/>"},
        EditCase{"last", "<\\..a={1};/><\\..b={2};/>", "b", "", "<\\..a={1};/><\\..b={};/>"},
        EditCase{"middle", "<\\..a={1};/><\\..b={2};/><\\..c={3};/>", "b", "long value",
                 "<\\..a={1};/><\\..b={long value};/><\\..c={3};/>"},
        EditCase{"behind_foreign_text", "junk\n<\\..a={1};/>tail", "a", "2",
                 "junk\n<\\..a={2};/>tail"},
        EditCase{"only_first_duplicate", "<\\..a={1};/><\\..a={2};/>", "a", "3",
                 "<\\..a={3};/><\\..a={2};/>"},
        EditCase{"closing_tag_in_name", "<\\..a/>b={1};/><\\..c={2};/>", "a/>b", "9",
                 "<\\..a/>b={9};/><\\..c={2};/>"},
        EditCase{"new_field_appended", "junk", "z", "1", "junk<\\..z={1};/>"}),
    [](const auto& info) { return std::string(info.param.name); });

struct DeleteCase {
    const char* name;
    const char* before;
    const char* field;
    const char* after;
};
void PrintTo(const DeleteCase& c, std::ostream* os) {
    *os << c.name;
}

class StorageStringDelete : public ::testing::TestWithParam<DeleteCase> {};

TEST_P(StorageStringDelete, CutsTheFirstRecordOnly) {
    const DeleteCase& c = GetParam();
    auto store = NewStore();
    store->Value(c.before);
    store->DeleteField(c.field);
    EXPECT_EQ(store->Value(), c.after);
}

INSTANTIATE_TEST_SUITE_P(
    Table, StorageStringDelete,
    ::testing::Values(DeleteCase{"first", "<\\..a={1};/><\\..b={2};/>", "a", "<\\..b={2};/>"},
                      DeleteCase{"last", "x<\\..a={1};/><\\..b={2};/>", "b", "x<\\..a={1};/>"},
                      DeleteCase{"absent", "<\\..a={1};/>", "A", "<\\..a={1};/>"},
                      DeleteCase{"empty_name", "<\\..={e};/><\\..a={1};/>", "", "<\\..a={1};/>"},
                      DeleteCase{"closing_tag_in_name", "<\\..a/>b={1};/><\\..c={2};/>", "a/>b",
                                 "<\\..c={2};/>"}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(QfStorageString, ProtectGuardsOnlyTheValueAssignment) {
    auto store = NewStore();
    EXPECT_FALSE(store->Protect());
    store->SetValue("a", "1");
    store->Protect(true);
    store->Value("<\\..b={2};/>");
    EXPECT_EQ(store->Value(), "<\\..a={1};/>");
    store->SetValue("b", "2");
    EXPECT_EQ(store->Value(), "<\\..a={1};/><\\..b={2};/>");
    store->DeleteField("a");
    EXPECT_EQ(store->Value(), "<\\..b={2};/>");
    store->Clear();
    EXPECT_EQ(store->Value(), "");
    store->Protect(false);
    store->Value("<\\..c={3};/>");
    EXPECT_EQ(store->GetValue("c"), Variant(3.0));
}

TEST(QfStorageString, NamesAreCaseSensitiveAndMayBeEmpty) {
    auto store = NewStore();
    store->SetValue("Colour", "Red");
    store->SetValue("colour", "red");
    store->SetValue("", "");
    EXPECT_EQ(store->Value(), "<\\..Colour={Red};/><\\..colour={red};/><\\..={};/>");
    EXPECT_EQ(store->GetValue("Colour"), Variant("Red"));
    EXPECT_EQ(store->GetValue("colour"), Variant("red"));
    EXPECT_EQ(store->GetValue("COLOUR", "\t", true, true, Variant("none")), Variant("none"));
    EXPECT_EQ(store->GetValue(""), Variant(""));
    EXPECT_TRUE(store->GetValue("x").IsMissing());
}

TEST(QfStorageString, TagChangeHidesOldRecordsAndAppendsASecond) {
    auto store = NewStore();
    store->SetValue("a", "1");
    store->InnerTagStart("=[");
    EXPECT_EQ(store->InnerTagStart(), "=[");
    EXPECT_TRUE(store->GetValue("a").IsMissing());
    store->SetValue("a", "2");
    EXPECT_EQ(store->Value(), "<\\..a={1};/><\\..a=[2};/>");

    auto custom = NewStore();
    custom->OuterTagStart("[");
    custom->OuterTagEnd("]\n");
    custom->InnerTagStart("=");
    custom->InnerTagEnd("");
    custom->SetValue("k", "v");
    custom->SetValue("k", "w");
    EXPECT_EQ(custom->Value(), "[..k=w]\n");
    EXPECT_EQ(custom->GetValue("k"), Variant("w"));
}

TEST(QfStorageString, MissingClosingTagsFailWithTheWholeCallStack) {
    auto store = NewStore();
    auto iface = store.As<QfstoreStdInterface>();
    store->Value("<\\..a={1};");
    const Error e = ErrorOf([&] { iface->GetValue("a"); });
    EXPECT_EQ(e.Number(), 5);
    EXPECT_EQ(e.Description(), "Invalid procedure call or argument");
    EXPECT_EQ(e.Source(),
              "Qfstore\r\nQfStorageString.SSParseValue\r\nQfStorageString.GetValue\r\n"
              "QfStorageString.QfstoreStdInterface_GetValue");
}

struct RefusedCase {
    const char* name;
    const char* before;
    std::function<void(QfStorageString&)> call;
    int32_t number;
    const char* source;
};
void PrintTo(const RefusedCase& c, std::ostream* os) {
    *os << c.name;
}

class StorageStringRefused : public ::testing::TestWithParam<RefusedCase> {};

TEST_P(StorageStringRefused, FailsAndLeavesTheText) {
    const RefusedCase& c = GetParam();
    auto store = NewStore();
    store->Value(c.before);
    const Error e = ErrorOf([&] { c.call(*store); });
    EXPECT_EQ(e.Number(), c.number);
    EXPECT_EQ(e.Source(), c.source);
    EXPECT_EQ(store->Value(), c.before);
}

INSTANTIATE_TEST_SUITE_P(
    Table, StorageStringRefused,
    ::testing::Values(
        RefusedCase{"edit_without_outer_end", "<\\..a={1};<\\..b={2};",
                    [](auto& s) { s.SetValue("a", "x"); }, 5,
                    "Qfstore\r\nQfStorageString.SSEditValue\r\nQfStorageString.SetValue"},
        RefusedCase{"delete_without_outer_end", "<\\..a={1};", [](auto& s) { s.DeleteField("a"); },
                    5, "Qfstore\r\nQfStorageString.SSDeleteValue\r\nQfStorageString.DeleteField"},
        RefusedCase{"value_holding_outer_end", "<\\..a={1};/>",
                    [](auto& s) { s.SetValue("a", "x/><\\..b={y"); }, 5,
                    "Qfstore\r\nQfStorageString.SetValue"},
        RefusedCase{"name_holding_inner_start", "", [](auto& s) { s.SetValue("a={b", "1"); }, 5,
                    "Qfstore\r\nQfStorageString.SetValue"},
        RefusedCase{"null_value", "", [](auto& s) { s.SetValue("a", Variant::Null()); }, 94,
                    "Qfstore\r\nQfStorageString.SetValue"}),
    [](const auto& info) { return std::string(info.param.name); });

}  // namespace
