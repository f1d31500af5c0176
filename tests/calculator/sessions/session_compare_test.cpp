// Two sessions side by side: which fields differ and the signed differences.
#include <gtest/gtest.h>

#include <map>
#include <string>

#include "sessions/session_compare.h"

using namespace gearsheet;

namespace {

Session Base() {
    Session s;
    s.circuit = "Brno";
    s.date = "2026-05-17";
    s.name = "Practice 1";
    s.weather = Weather::kDry;
    s.airTemperature = 18.5;
    s.pressureUnit = PressureUnit::kBar;
    s.coldFront = 2.1;
    s.bestLapMs = 102'385;
    s.topSpeed = 160;
    s.frontSprocket = "16";
    s.rearSprocket = "44";
    s.rowNames = {"Static Sag:", "Loaded Sag:", "Ride Height:", "Prelead:", "Compression:",
                  "Rebound:",    "Other1:",     "Other2:",      "Other3:",  "Other4:"};
    s.front[4] = "12 clicks";
    s.front[3] = "1.5 turns";
    s.rear[0] = "31 mm";
    s.rear[6] = "soft";
    s.rear[5] = "8 clicks";
    return s;
}

std::map<std::string, ComparedField> ByLabel(const std::vector<ComparedField>& rows) {
    std::map<std::string, ComparedField> map;
    for (const ComparedField& row : rows) map.emplace(row.label, row);
    return map;
}

TEST(SessionCompareTest, DifferencesAreSecondMinusFirstInTheShownUnits) {
    Session later = Base();
    later.date = "2026-05-18";
    later.airTemperature = 21;
    later.pressureUnit = PressureUnit::kPsi;
    later.coldFront = 30;  // 2.068 bar
    later.bestLapMs = 101'973;
    later.topSpeed = 260;  // km/h: 161.6 mph
    later.speedUnit = SpeedUnit::Kmh;
    later.rearSprocket = "46";
    later.front[4] = "14 Clicks";
    later.front[3] = "1 turns";
    later.rear[0] = "12 clicks";
    later.rear[6] = "hard";
    ShownUnits units;
    units.dateText = [](const std::string& iso) { return iso.substr(8) + "/" + iso.substr(5, 2); };
    const auto rows = ByLabel(CompareSessions(Base(), later, units));
    const struct {
        const char* label;
        const char* first;
        const char* second;
        bool differs;
        const char* difference;
    } expected[] = {
        {"Date", "17/05", "18/05", true, ""},
        {"Session", "Practice 1", "Practice 1", false, ""},
        {"Air temperature (\u00b0C)", "18.5", "21", true, "+2.5 \u00b0C"},
        {"Cold pressure front (bar)", "2.1", "2.07", true, "-0.03 bar"},
        {"Best lap (s)", "1:42.385", "1:41.973", true, "-0.412 s"},
        {"Top speed (mph)", "160", "161.6", true, "+1.6 mph"},
        {"Front sprocket", "16", "16", false, ""},
        {"Rear sprocket", "44", "46", true, "+2"},
        {"Final drive", "2.75", "2.875", true, "+4.5 %"},
        {"Compression: FRONT", "12 clicks", "14 Clicks", true, "+2 clicks"},
        {"Prelead: FRONT", "1.5 turns", "1 turns", true, "-0.5 turns"},
        {"Static Sag: REAR", "31 mm", "12 clicks", true, ""},
        {"Other1: REAR", "soft", "hard", true, ""},
        {"Rebound: REAR", "8 clicks", "8 clicks", false, ""},
        {"Laps", "", "", false, ""},
    };
    for (const auto& e : expected) {
        ASSERT_EQ(rows.count(e.label), 1u) << e.label;
        const ComparedField& row = rows.at(e.label);
        EXPECT_EQ(row.first, e.first) << e.label;
        EXPECT_EQ(row.second, e.second) << e.label;
        EXPECT_EQ(row.differs, e.differs) << e.label;
        EXPECT_EQ(row.difference, e.difference) << e.label;
    }
    EXPECT_EQ(CompareSessions(Base(), later, units).size(), 41u);
}

TEST(SessionCompareTest, ASessionComparedWithItselfDiffersNowhere) {
    for (const ComparedField& row : CompareSessions(Base(), Base(), ShownUnits{}))
        EXPECT_FALSE(row.differs) << row.label;
}

TEST(SessionCompareTest, AFieldLeftEmptyOnOneSideDiffersWithoutADifference) {
    Session other = Base();
    other.airTemperature.reset();
    const auto rows = ByLabel(CompareSessions(Base(), other, ShownUnits{}));
    EXPECT_TRUE(rows.at("Air temperature (\u00b0C)").differs);
    EXPECT_EQ(rows.at("Air temperature (\u00b0C)").difference, "");
}

TEST(SessionCompareTest, CellNumbers) {
    const struct {
        const char* cell;
        std::optional<double> value;
        const char* unit;
    } rows[] = {
        {"12 clicks", 12, "clicks"},
        {"-1.5", -1.5, ""},
        {" 1,5 turns ", 1.5, "turns"},
        {"+2", 2, ""},
        {"31.5mm", 31.5, "mm"},
        {"soft", {}, ""},
        {"12 clicks out", {}, ""},
        {"", {}, ""},
        {"2 x 3", {}, ""},
    };
    for (const auto& row : rows) {
        const std::optional<CellNumber> n = ParseCellNumber(row.cell);
        ASSERT_EQ(n.has_value(), row.value.has_value()) << row.cell;
        if (n) {
            EXPECT_EQ(n->value, *row.value) << row.cell;
            EXPECT_EQ(n->unit, row.unit) << row.cell;
        }
    }
}

}  // namespace
