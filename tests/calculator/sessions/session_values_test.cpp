// Lap times, pressures and the ranges of the session log's numbers.
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "sessions/session_values.h"

using namespace gearsheet;

namespace {

TEST(SessionValuesTest, LapTimesInEitherForm) {
    const struct {
        const char* typed;
        std::optional<int64_t> ms;
    } rows[] = {
        {"1:42.385", 102'385},
        {"102.385", 102'385},
        {" 1:42.385 ", 102'385},
        {"1:42,385", 102'385},
        {"1:42", 102'000},
        {"1:02.5", 62'500},
        {"42.05", 42'050},
        {"59:59.999", 3'599'999},
        {"0:07", 7'000},
        {"102", 102'000},
        {"1:60.000", {}},
        {"1:42.3851", {}},
        {"1:142.3", {}},
        {"1:42.", {}},
        {"-1:42.385", {}},
        {"1.42.385", {}},
        {"", {}},
        {"0", {}},
        {"0:00.000", {}},
        {"100:00", {}},
        {"1:42.3x", {}},
        {"1:", {}},
        {":42", {}},
        {"1 : 42", {}},
    };
    for (const auto& row : rows) EXPECT_EQ(ParseLapTime(row.typed), row.ms) << row.typed;
}

TEST(SessionValuesTest, LapTimeTexts) {
    EXPECT_EQ(LapTimeText(102'385), "1:42.385");
    EXPECT_EQ(LapTimeText(62'005, ","), "1:02,005");
    EXPECT_EQ(LapTimeText(42'050), "42.050");
    EXPECT_EQ(LapSecondsText(102'385), "102.385");
    EXPECT_EQ(LapSecondsText(7'000), "7.000");
}

TEST(SessionValuesTest, PressureRangesAndUnits) {
    const struct {
        PressureUnit unit;
        double value;
        bool taken;
    } rows[] = {
        {PressureUnit::kBar, 0.5, true},   {PressureUnit::kBar, 4.0, true},
        {PressureUnit::kBar, 0.49, false}, {PressureUnit::kBar, 4.01, false},
        {PressureUnit::kPsi, 7, true},     {PressureUnit::kPsi, 58, true},
        {PressureUnit::kPsi, 6.9, false},  {PressureUnit::kPsi, 58.1, false},
    };
    for (const auto& row : rows)
        EXPECT_EQ(InRange(row.value, PressureRange(row.unit)), row.taken) << row.value;
    EXPECT_DOUBLE_EQ(ConvertPressure(2.0, PressureUnit::kBar, PressureUnit::kPsi), 29.007547546);
    EXPECT_DOUBLE_EQ(ConvertPressure(29.007547546, PressureUnit::kPsi, PressureUnit::kBar), 2.0);
    EXPECT_EQ(ConvertPressure(2.1, PressureUnit::kBar, PressureUnit::kBar), 2.1);
    EXPECT_EQ(PressureUnitFromName("psi"), PressureUnit::kPsi);
    EXPECT_EQ(PressureUnitFromName("PSI"), PressureUnit::kBar);
    EXPECT_STREQ(PressureUnitName(PressureUnit::kPsi), "psi");
}

TEST(SessionValuesTest, TemperatureRange) {
    EXPECT_TRUE(InRange(-20, TemperatureRange()));
    EXPECT_TRUE(InRange(70, TemperatureRange()));
    EXPECT_FALSE(InRange(-20.5, TemperatureRange()));
    EXPECT_FALSE(InRange(70.1, TemperatureRange()));
}

TEST(SessionValuesTest, StoredNumbers) {
    EXPECT_EQ(NumberText(2.1), "2.1");
    EXPECT_EQ(NumberText(-3), "-3");
    EXPECT_EQ(NumberText(14750), "14750");
    EXPECT_EQ(ParseNumber("2.1"), 2.1);
    EXPECT_EQ(ParseNumber("-3"), -3);
    for (const char* none : {"", "2,1", "1e999", "nan", "inf", " 2", "2 ", "x"})
        EXPECT_FALSE(ParseNumber(none)) << none;
}

}  // namespace
