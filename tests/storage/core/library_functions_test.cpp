#include "library_functions.h"

#include <gtest/gtest.h>

#include <climits>
#include <string>
#include <tuple>

#include "outcome.h"
#include "qfstore/conversions.h"

using namespace qfstore;
using namespace qfstore::core;
using testing_support::DescribedOutcome;
using testing_support::Outcome;

namespace {

Variant Longs(std::vector<int32_t> values) {
    std::vector<Variant> items(values.begin(), values.end());
    return Variant::Array(VarType::Long, 0, std::move(items));
}

Variant Doubles(std::vector<double> values) {
    std::vector<Variant> items(values.begin(), values.end());
    return Variant::Array(VarType::Double, 0, std::move(items));
}

struct GetCase {
    Variant stored;
    bool detectArray, detectNumber;
    Variant expected;
};

TEST(PrepForGet, TurnsStoredTextIntoValue) {
    const GetCase rows[] = {
        {Variant("1\t2\t3"), true, true, Longs({1, 2, 3})},
        {Variant("1\t\t3"), true, true, Variant::StringArray({"1", "", "3"})},
        {Variant("1\t2"), false, true, Variant("1\t2")},
        {Variant("42"), true, false, Variant("42")},
        {Variant(" -2.5e1 "), true, true, Variant(-25.0)},
        {Variant("1.2.3"), true, true, Variant("1.2.3")},
        {Variant("1\t2"), true, false, Variant::StringArray({"1", "2"})},
        {Variant("25e-1\t35e-1\t-1E1"), true, true, Longs({2, 4, -10})},
        {Variant(int32_t{7}), false, false, Variant(int32_t{7})},
        {Variant(2.5), true, true, Variant()},
    };
    for (const GetCase& row : rows) {
        const Variant got = PrepForGet(row.stored, "\t", row.detectArray, row.detectNumber);
        EXPECT_EQ(got, row.expected) << ToText(row.stored, "t") << " gave " << TypeName(got);
    }
    EXPECT_EQ(PrepForGet(Variant("12"), "", true, true), Longs({12}));
    EXPECT_EQ(PrepForGet(Variant("1.5"), "", true, false), Variant::StringArray({"1.5"}));
    std::string counterPastEnd = "1";
    for (int i = 0; i < INT16_MAX; ++i) counterPastEnd += "\t1";
    const std::pair<std::string, const char*> refused[] = {
        {"1\t99999999999", "6|Qfstore\r\nStrArrayToLngArray\r\nPrepForGet"},
        {"1.5\t-1e400", "6|Qfstore\r\nStrArrayToDblArray\r\nPrepForGet"},
        {counterPastEnd, "6|Qfstore\r\nStrArrayToLngArray\r\nPrepForGet"},
        {std::string(INT16_MAX, ' ') + "1.5", "6|Qfstore\r\nIsDouble\r\nPrepForGet"},
    };
    for (const auto& [stored, outcome] : refused)
        EXPECT_EQ(Outcome([&] { PrepForGet(Variant(stored), "\t", true, true); }), outcome)
            << stored.substr(0, 20);
}

TEST(PrepForSet, JoinsArraysAndLeavesScalars) {
    EXPECT_EQ(PrepForSet(Variant::Array(VarType::String, 0, {}), "|"), Variant(""));
    EXPECT_EQ(PrepForSet(Variant(12.5), "|"), Variant(12.5));
    const Variant mixed = Variant::Array(
        VarType::Variant, 1, {Variant(int16_t{-3}), Variant(true), Variant("x"), Variant()});
    EXPECT_EQ(PrepForSet(mixed, ","), Variant("-3,True,x,"));
    // Typed arrays keep their elements, each as its text (the texts of other kinds: Conversions).
    EXPECT_EQ(PrepForSet(Doubles({1.5, 2, 0.1}), "\t"), Variant("1.5\t2\t0.1"));
    EXPECT_EQ(PrepForSet(Variant::Array(VarType::Single, 0, {Variant(0.1f), Variant(3.0f)}), ";"),
              Variant("0.1;3"));
    // An element holding the delimiter, or meeting the next one in it, would come back split
    // otherwise; the error names it by its index.
    const std::tuple<Variant, std::string, std::string> refused[] = {
        {Variant::Array(VarType::String, 1, {Variant("a"), Variant("b|c")}), "|",
         R"(array element 2 "b|c" holds the delimiter "|")"},
        {Variant::StringArray({"b", "xa", "y"}), "aa",
         R"(array element 1 "xa" runs into the delimiter "aa")"}};
    for (const auto& [array, delimiter, why] : refused) {
        EXPECT_EQ(DescribedOutcome([&] { PrepForSet(array, delimiter); }),
                  "5|Invalid procedure call or argument: " + why + "|Qfstore\r\nPrepForSet");
    }
    const Variant numbers = Doubles({0.1, 1e-300, 123456.789});
    EXPECT_EQ(PrepForGet(PrepForSet(numbers, "\t"), "\t", true, true), numbers);
    // The element counter is 16 bits wide.
    const std::vector<Variant> two(2, Variant("x"));
    EXPECT_EQ(PrepForSet(Variant::Array(VarType::String, 32765, two), ","), Variant("x,x"));
    for (int32_t lbound : {32766, -32769}) {
        EXPECT_EQ(Outcome([&] { PrepForSet(Variant::Array(VarType::String, lbound, two), ","); }),
                  "6|Qfstore\r\nVarToStrArray\r\nPrepForSet");
    }
}

TEST(ReverseInStr, FindsLastOccurrence) {
    EXPECT_EQ(ReverseInStr("c:\\dir\\file.ini", "\\", 1, 0), 7);
    EXPECT_EQ(ReverseInStr("abcabc", "BC", 1, 0), 0);
    EXPECT_EQ(ReverseInStr("abcabc", "BC", 1, 1), 5);  // text comparison ignores case
    EXPECT_EQ(ReverseString("abc"), "cba");
    EXPECT_EQ(ReverseInStr("abcabc", "bc", 3, 0), 2);  // skips the last two characters
    EXPECT_EQ(ReverseInStr("no separator", "\\", 1, 0), 0);
    EXPECT_EQ(ReverseString(std::string(32767, 'x')).size(), 32767u);
    EXPECT_EQ(Outcome([] { ReverseInStr(std::string(32768, 'x'), "x", 1, 0); }),
              "6|Qfstore\r\nReverseString\r\nReverseInStr");
}

TEST(NumberTests, IsDoubleAllNumericAndArrayConversions) {
    EXPECT_FALSE(IsDouble(Variant("1,5")));
    EXPECT_TRUE(AllNumeric(Variant::Array(VarType::String, 0, {})));
    EXPECT_FALSE(AllNumeric(Variant::StringArray({"1", "x"})));
    EXPECT_EQ(Outcome([] { AllNumeric(Variant("1")); }), "13|Qfstore\r\nAllNumeric");
    Variant out;
    EXPECT_EQ(Outcome([&] {
                  StrArrayToDblArray(Variant::StringArray({"1", "x"}), out);
              }),
              "13|Qfstore\r\nStrArrayToDblArray");
}

TEST(PostInc, ReturnsOldValueAndStopsAtMaximum) {
    int32_t n = 5;
    EXPECT_EQ(PostInc(n), 5);
    EXPECT_EQ(n, 6);
    n = INT32_MAX;
    EXPECT_EQ(Outcome([&] { PostInc(n); }), "6|Qfstore\r\nPostInc");
    EXPECT_EQ(n, INT32_MAX);
}

}  // namespace
