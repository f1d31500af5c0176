// QfStorageString: the tagged records in its text, byte for byte, and its failures.
#include <gtest/gtest.h>

#include <functional>
#include <string>

#include "creators.h"
#include "outcome.h"
#include "qfstore/storage_string.h"

using namespace qfstore;
using testing_support::DescribedOutcome;

namespace {

Ptr<QfStorageString> NewStore() {
    return Ptr<Unknown>::Attach(core::NewQfStorageString()).As<QfStorageString>();
}

TEST(QfStorageString, WorkedExampleByteForByte) {
    auto s = NewStore();
    EXPECT_FALSE(s->SetValue("Colour", "Red"));
    EXPECT_EQ(s->Value(), "<\\..Colour={Red};/>");
    EXPECT_FALSE(s->SetValue("Size", Variant(int16_t{42})));
    EXPECT_FALSE(s->SetValue("Colour", "Blue"));
    EXPECT_FALSE(s->SetValue("List", Variant::StringArray({"a", "b", "c"})));
    const std::string all = "<\\..Colour={Blue};/><\\..Size={42};/><\\..List={a\tb\tc};/>";
    EXPECT_EQ(s->Value(), all);
    s->DeleteField("Size");
    EXPECT_EQ(s->Value(), "<\\..Colour={Blue};/><\\..List={a\tb\tc};/>");
    s->Clear();
    EXPECT_EQ(s->Value(), "");
}

struct EditCase {
    const char* before;
    const char* field;
    const char* value;  // nullptr: DeleteField
    const char* after;
};

TEST(QfStorageString, EditsAndDeletionsTouchTheFirstRecordOnly) {
    const EditCase rows[] = {
        {"<\\..a={1};/><\\..a={2};/>", "a", "3", "<\\..a={3};/><\\..a={2};/>"},
        {"<\\..a={1};/><\\..a={2};/>", "a", nullptr, "<\\..a={2};/>"},
        {"junk", "z", "1", "junk<\\..z={1};/>"},
        // A record ends at the first "};/>" behind its key, for reading, editing and deleting,
        // also where its name or value holds part of that.
        {"<\\..a={x/>y};/>tail", "a", "z", "<\\..a={z};/>tail"},
        {"<\\..a={x/>y};/>tail", "a", nullptr, "tail"},
        {"<\\..a};/>={1};/><\\..b={2};/>", "a};/>", nullptr, "<\\..b={2};/>"},
    };
    for (const EditCase& row : rows) {
        SCOPED_TRACE(row.before);
        auto store = NewStore();
        store->Value(row.before);
        if (row.value) {
            EXPECT_FALSE(store->SetValue(row.field, row.value));
        } else {
            store->DeleteField(row.field);
        }
        EXPECT_EQ(store->Value(), row.after);
    }
    const std::pair<const char*, const char*> reads[] = {{"<\\..a={x/>y};/>tail", "x/>y"},
                                                         {"<\\..a={x};y};/>", "x};y"}};
    for (const auto& [text, value] : reads) {
        auto store = NewStore();
        store->Value(text);
        EXPECT_EQ(store->GetValue("a"), Variant(value));
    }
}

TEST(QfStorageString, ProtectGuardsOnlyTheValueAssignment) {
    auto store = NewStore();
    EXPECT_FALSE(store->Protect());
    store->SetValue("a", "1");
    store->Protect(true);
    store->Value("<\\..b={2};/>");
    EXPECT_EQ(store->Value(), "<\\..a={1};/>");
    store->SetValue("b", "2");
    EXPECT_EQ(store->Value(), "<\\..a={1};/><\\..b={2};/>");
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
    EXPECT_EQ(store->GetValue("colour"), Variant("red"));
    EXPECT_EQ(store->GetValue("COLOUR", "\t", true, true, Variant("none")), Variant("none"));
}

TEST(QfStorageString, TagChangeHidesOldRecordsAndAppendsASecond) {
    auto store = NewStore();
    store->SetValue("a", "1");
    store->InnerTagStart("=[");
    EXPECT_TRUE(store->GetValue("a").IsMissing());
    store->SetValue("a", "2");
    EXPECT_EQ(store->Value(), "<\\..a={1};/><\\..a=[2};/>");
}

struct RefusedCase {
    const char* before;
    std::function<void(Ptr<QfStorageString>&)> call;
    const char* outcome;  // "number|description|source"
};

TEST(QfStorageString, RefusedCallsFailWithTheCallStackAndLeaveTheText) {
    const RefusedCase rows[] = {
        {"<\\..a={1};", [](auto& s) { s->DeleteField("a"); },
         "5|Invalid procedure call or argument: field \"..a\" has no closing tags \"};/>\"|"
         "Qfstore\r\nQfStorageString.SSDeleteValue\r\nQfStorageString.DeleteField"},
        {"<\\..a={1};", [](auto& s) { s->GetValue("a"); },
         "5|Invalid procedure call or argument: field \"..a\" has no closing tags \"};/>\"|"
         "Qfstore\r\nQfStorageString.SSParseValue\r\nQfStorageString.GetValue"},
        {"", [](auto& s) { s->SetValue("a<\\b", "1"); },
         "5|Invalid procedure call or argument: field \"..a<\\\\b\" holds the tag \"<\\\\\"|"
         "Qfstore\r\nQfStorageString.SetValue"},
        {"", [](auto& s) { s->SetValue("a", "1};2"); },
         "5|Invalid procedure call or argument: value \"1};2\" holds the tag \"};\"|"
         "Qfstore\r\nQfStorageString.SetValue"},
        // Caller's tags whose closing sequence repeats itself: "x}" would read back as "x".
        {"",
         [](auto& s) {
             s->InnerTagEnd("}}");
             s->OuterTagEnd("}}");
             s->SetValue("a", "x}");
         },
         "5|Invalid procedure call or argument: value \"x}\" runs into the closing tags "
         "\"}}}}\"|Qfstore\r\nQfStorageString.SetValue"},
        {"", [](auto& s) { s->SetValue("a", Variant::Null()); },
         "94|Invalid use of Null|Qfstore\r\nQfStorageString.SetValue"},
    };
    for (const RefusedCase& row : rows) {
        SCOPED_TRACE(row.outcome);
        auto store = NewStore();
        store->Value(row.before);
        EXPECT_EQ(DescribedOutcome([&] { row.call(store); }), row.outcome);
        EXPECT_EQ(store->Value(), row.before);
    }
}

}  // namespace
