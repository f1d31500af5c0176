#include "library_functions.h"

#include <gtest/gtest.h>

#include <climits>
#include <filesystem>

#include "temp_dir.h"

using namespace qfstore;
using namespace qfstore::core;

namespace {

Variant Longs(std::vector<int32_t> values) {
    std::vector<Variant> items(values.begin(), values.end());
    return Variant::Array(VarType::Long, 0, std::move(items));
}

Variant Doubles(std::vector<double> values, int32_t lbound = 0) {
    std::vector<Variant> items(values.begin(), values.end());
    return Variant::Array(VarType::Double, lbound, std::move(items));
}

struct GetCase {
    const char* name;
    Variant stored;
    bool detectArray;
    bool detectNumber;
    Variant expected;
};

void PrintTo(const GetCase& c, std::ostream* os) { *os << c.name; }

class PrepForGetTest : public ::testing::TestWithParam<GetCase> {};

TEST_P(PrepForGetTest, TurnsStoredTextIntoValue) {
    const GetCase& c = GetParam();
    const Variant got = PrepForGet(c.stored, "\t", c.detectArray, c.detectNumber);
    EXPECT_EQ(got, c.expected) << TypeName(got);
}

INSTANTIATE_TEST_SUITE_P(
    Table, PrepForGetTest,
    ::testing::Values(
        GetCase{"integers", Variant("1\t2\t3"), true, true, Longs({1, 2, 3})},
        GetCase{"doubles_when_a_point", Variant("1.5\t2\t3"), true, true, Doubles({1.5, 2, 3})},
        GetCase{"empty_piece_keeps_texts", Variant("1\t\t3"), true, true,
                Variant::StringArray({"1", "", "3"})},
        GetCase{"texts", Variant("a\tb"), true, true, Variant::StringArray({"a", "b"})},
        GetCase{"no_array_detection", Variant("1\t2"), false, true, Variant("1\t2")},
        GetCase{"no_number_detection", Variant("42"), true, false, Variant("42")},
        GetCase{"number_as_double", Variant("500"), true, true, Variant(500.0)},
        GetCase{"blanks_around_number", Variant(" -2.5e1 "), true, true, Variant(-25.0)},
        GetCase{"two_points_stay_text", Variant("1.2.3"), true, true, Variant("1.2.3")},
        GetCase{"empty_text", Variant(""), true, true, Variant("")},
        GetCase{"trailing_delimiter", Variant("1\t"), true, true,
                Variant::StringArray({"1", ""})},
        GetCase{"numbers_off_keeps_texts", Variant("1\t2"), true, false,
                Variant::StringArray({"1", "2"})},
        GetCase{"long_unchanged", Variant(int32_t{7}), false, false, Variant(int32_t{7})},
        GetCase{"double_gives_empty", Variant(2.5), true, true, Variant()},
        GetCase{"boolean_gives_empty", Variant(true), true, true, Variant()}),
    [](const auto& info) { return std::string(info.param.name); });

TEST(PrepForGet, ThirtyTwoBitOverflowNamesBothFunctions) {
    try {
        PrepForGet(Variant("1\t99999999999"), "\t", true, true);
        FAIL() << "no error";
    } catch (const Error& e) {
        EXPECT_EQ(e.Number(), 6);
        EXPECT_EQ(e.Description(), "Overflow");
        EXPECT_EQ(e.Source(), "Qfstore\r\nStrArrayToLngArray\r\nPrepForGet");
    }
}

TEST(PrepForGet, OtherDelimiter) {
    EXPECT_EQ(PrepForGet(Variant("3|4|5"), "|", true, true), Longs({3, 4, 5}));
    EXPECT_EQ(PrepForGet(Variant("3|4|5"), "\t", true, true), Variant("3|4|5"));
}

TEST(PrepForSet, JoinsArraysAndLeavesScalars) {
    EXPECT_EQ(PrepForSet(Variant::StringArray({"a", "b", "c"}), "|"), Variant("a|b|c"));
    EXPECT_EQ(PrepForSet(Variant::StringArray({"only"}), "|"), Variant("only"));
    EXPECT_EQ(PrepForSet(Variant::Array(VarType::String, 0, {}), "|"), Variant(""));
    EXPECT_EQ(PrepForSet(Variant(12.5), "|"), Variant(12.5));
    const Variant mixed = Variant::Array(
        VarType::Variant, 1, {Variant(int16_t{-3}), Variant(true), Variant("x"), Variant()});
    EXPECT_EQ(PrepForSet(mixed, ","), Variant("-3,True,x,"));
}

TEST(PrepForSet, NumberArraysKeepTheirElements) {
    EXPECT_EQ(PrepForSet(Doubles({1.5, 2, 0.1}), "\t"), Variant("1.5\t2\t0.1"));
    EXPECT_EQ(PrepForSet(Variant::Array(VarType::Single, 0, {Variant(0.1f), Variant(3.0f)}), ";"),
              Variant("0.1;3"));
    EXPECT_EQ(PrepForSet(Variant::Array(VarType::Byte, 0, {Variant(uint8_t{255})}), ";"),
              Variant("255"));
    EXPECT_EQ(PrepForSet(Variant::Array(VarType::Currency, 0, {Variant::Currency(12345)}), ";"),
              Variant("1.2345"));
    EXPECT_EQ(PrepForSet(Variant::Array(VarType::Date, 0, {Variant::Date(45000.5)}), ";"),
              Variant("2023-03-15 12:00:00"));
    // Written numbers read back as the same numbers.
    const Variant back = PrepForGet(PrepForSet(Doubles({0.1, 1e-300, 123456.789}), "\t"), "\t",
                                    true, true);
    EXPECT_EQ(back, Doubles({0.1, 1e-300, 123456.789}));
}

TEST(PrepForSet, SixteenBitCounterLimits) {
    std::vector<Variant> items(2, Variant("x"));
    for (int32_t lbound : {32766, -32769}) {
        try {
            PrepForSet(Variant::Array(VarType::String, lbound, items), ",");
            FAIL() << lbound;
        } catch (const Error& e) {
            EXPECT_EQ(e.Number(), 6);
            EXPECT_EQ(e.Source(), "Qfstore\r\nVarToStrArray\r\nPrepForSet");
        }
    }
    EXPECT_EQ(PrepForSet(Variant::Array(VarType::String, 32765, items), ","), Variant("x,x"));
}

TEST(ReverseInStr, FindsLastOccurrence) {
    EXPECT_EQ(ReverseInStr("a\\b\\c", "\\", 1, 0), 4);
    EXPECT_EQ(ReverseInStr("c:\\dir\\file.ini", "\\", 1, 0), 7);
    EXPECT_EQ(ReverseInStr("/home/rider/Gearsheet", "/", 1, 0), 12);
    EXPECT_EQ(ReverseInStr("abcabc", "bc", 1, 0), 5);
    EXPECT_EQ(ReverseInStr("abcabc", "BC", 1, 0), 0);
    EXPECT_EQ(ReverseInStr("abcabc", "BC", 1, 1), 5);
    EXPECT_EQ(ReverseInStr("abcabc", "bc", 3, 0), 2);  // skips the last two characters
    EXPECT_EQ(ReverseInStr("no separator", "\\", 1, 0), 0);
}

TEST(ReverseString, ReversesAndLimitsLength) {
    EXPECT_EQ(ReverseString("abc"), "cba");
    EXPECT_EQ(ReverseString(std::string(32767, 'x')).size(), 32767u);
    try {
        ReverseInStr(std::string(32768, 'x'), "x", 1, 0);
        FAIL();
    } catch (const Error& e) {
        EXPECT_EQ(e.Number(), 6);
        EXPECT_EQ(e.Source(), "Qfstore\r\nReverseString\r\nReverseInStr");
    }
}

TEST(NumberTests, IsDoubleAndAllNumeric) {
    EXPECT_TRUE(IsDouble(Variant("3")));
    EXPECT_TRUE(IsDouble(Variant("3.25")));
    EXPECT_TRUE(IsDouble(Variant(" +4. ")));
    EXPECT_FALSE(IsDouble(Variant("abc")));
    EXPECT_FALSE(IsDouble(Variant("")));
    EXPECT_FALSE(IsDouble(Variant("1,5")));
    EXPECT_TRUE(AllNumeric(Variant::Array(VarType::String, 0, {})));
    EXPECT_FALSE(AllNumeric(Variant::StringArray({"1", "x"})));
    try {
        AllNumeric(Variant("1"));
        FAIL();
    } catch (const Error& e) {
        EXPECT_EQ(e.Number(), 13);
        EXPECT_EQ(e.Source(), "Qfstore\r\nAllNumeric");
    }
}

TEST(StrArrayConversions, FailAtFirstBadElement) {
    Variant out;
    StrArrayToLngArray(Variant::StringArray({"2.5", "3.5", "-7"}), out);
    EXPECT_EQ(out, Longs({2, 4, -7}));  // halves go to the even neighbour
    try {
        StrArrayToDblArray(Variant::StringArray({"1", "x"}), out);
        FAIL();
    } catch (const Error& e) {
        EXPECT_EQ(e.Number(), 13);
        EXPECT_EQ(e.Description(), "Type mismatch");
        EXPECT_EQ(e.Source(), "Qfstore\r\nStrArrayToDblArray");
    }
}

TEST(PostInc, ReturnsOldValueAndStopsAtMaximum) {
    int32_t n = 5;
    EXPECT_EQ(PostInc(n), 5);
    EXPECT_EQ(n, 6);
    n = INT32_MAX;
    try {
        PostInc(n);
        FAIL();
    } catch (const Error& e) {
        EXPECT_EQ(e.Number(), 6);
        EXPECT_EQ(e.Source(), "Qfstore\r\nPostInc");
    }
    EXPECT_EQ(n, INT32_MAX);
}

TEST(PathExists, FoldersAndFiles) {
    testing_support::TempDir dir;
    testing_support::WriteFile(dir.File("a.ini"), "x");
    EXPECT_TRUE(PathExists(dir.Path().string() + "/"));
    EXPECT_TRUE(PathExists(dir.File("a.ini")));
    EXPECT_FALSE(PathExists(dir.File("a.ini") + "/"));
    EXPECT_FALSE(PathExists(dir.File("missing") + "/"));
    EXPECT_FALSE(PathExists(""));
}

}  // namespace
