#include "qfstore/conversions.h"

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <string>

#include "outcome.h"

using namespace qfstore;

namespace {

TEST(NumericText, AcceptsDecimalFormsOnly) {
    struct Row {
        const char* text;
        bool numeric;
        double value;
    };
    const std::string kNines(400, '9');
    // Plain decimals, blanks and empty text are proven through PrepForGet.
    for (const Row& r :
         {Row{"+3.", true, 3}, Row{".25", true, 0.25}, Row{"2E-2", true, 0.02}, Row{".", false, 0},
          Row{"1e", false, 0}, Row{"0x10", false, 0}, Row{"--1", false, 0}, Row{"nan", false, 0},
          Row{"inf", false, 0}, Row{"1e400", true, HUGE_VAL}, Row{"-0.2e309", true, -HUGE_VAL},
          Row{"1e-400", true, 0}, Row{"0.0001e-320", true, 0},
          Row{kNines.c_str(), true, HUGE_VAL}}) {
        auto got = ParseNumericText(r.text);
        ASSERT_EQ(got.has_value(), r.numeric) << r.text;
        if (r.numeric) {
            EXPECT_DOUBLE_EQ(*got, r.value) << r.text;
        }
    }
}

TEST(Conversions, RoundHalfToEvenWithOverflow) {
    EXPECT_EQ(ToInteger(Variant("1136.5"), "t"), 1136);
    EXPECT_EQ(ToInteger(Variant(1137.5), "t"), 1138);
    EXPECT_EQ(ToInteger(Variant(-0.5), "t"), 0);
    EXPECT_EQ(ToInteger(Variant(32767.4), "t"), 32767);
    EXPECT_EQ(ToLong(Variant(true), "t"), -1);
    EXPECT_EQ(testing_support::DescribedOutcome([] { ToInteger(Variant(32767.5), "Gearsheet"); }),
              "6|Overflow|Gearsheet");
    EXPECT_EQ(testing_support::DescribedOutcome([] { ToDouble(Variant::Missing(), "Gearsheet"); }),
              "13|Type mismatch|Gearsheet");
    EXPECT_EQ(testing_support::Outcome([] { ToDouble(Variant(" -1e400"), "t"); }), "6|t");
}

TEST(Conversions, TextForms) {
    EXPECT_EQ(ToText(Variant(5.0), "t"), "5");
    EXPECT_EQ(ToText(Variant(0.1), "t"), "0.1");
    EXPECT_EQ(ToText(Variant(-1e21), "t"), "-1e+21");
    EXPECT_EQ(ToText(Variant(int16_t{-12}), "t"), "-12");
    EXPECT_EQ(ToText(Variant(false), "t"), "False");
    EXPECT_EQ(ToText(Variant(), "t"), "");
    EXPECT_EQ(ToText(Variant::Date(0), "t"), "1899-12-30");
    EXPECT_EQ(ToText(Variant::Date(-1.25), "t"), "1899-12-29 06:00:00");
    EXPECT_EQ(ToText(Variant::Currency(-50), "t"), "-0.005");
    EXPECT_EQ(ToText(Variant::Date(-657434), "t"), "0100-01-01");
    EXPECT_EQ(ToText(Variant::Date(2958465.99998), "t"), "9999-12-31 23:59:58");
    // No text reads back as these: infinities, NaN, dates outside the years 100 to 9999.
    const double inf = std::numeric_limits<double>::infinity();
    for (const Variant& v : {Variant(-inf), Variant(std::nan("")), Variant(HUGE_VALF)})
        EXPECT_EQ(testing_support::Outcome([&] { ToText(v, "t"); }), "6|t");
    for (double serial : {inf, std::nan(""), 1e300, -657434.9999999, -657435.0, 2958465.9999999})
        EXPECT_EQ(testing_support::Outcome([&] { ToText(Variant::Date(serial), "t"); }), "6|t")
            << serial;
    EXPECT_EQ(Variant::Array(VarType::Long, 0, {}).VarTypeCode(), 8195);
}

// Callers written for version 1.0 pass the serial alone, or keep DateText as a one-argument
// function; both still compile.
TEST(Conversions, DateTextKeepsItsVersion1Form) {
    std::string (*const oneArgument)(double) = &DateText;
    EXPECT_EQ(oneArgument(43831.75), "2020-01-01 18:00:00");
    EXPECT_EQ(DateText(-1.25), "1899-12-29 06:00:00");
    EXPECT_EQ(testing_support::DescribedOutcome([] { DateText(1e7); }), "6|Overflow|DateText");
}

}  // namespace
