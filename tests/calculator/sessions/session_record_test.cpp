// A session as its stored line: every field, the characters a rider can type, and lines of an
// older or newer version.
#include <gtest/gtest.h>

#include <string>

#include "sessions/session_record.h"

using namespace gearsheet;

namespace {

Session FullSession() {
    Session s;
    s.circuit = "Brno";
    s.date = "2026-05-17";
    s.name = "Practice 2";
    s.weather = Weather::kDamp;
    s.airTemperature = 18.5;
    s.trackTemperature = -3;
    s.frontTyre = "120/70ZR17 SC1";
    s.rearTyre = "180/60ZR17 SC0";
    s.pressureUnit = PressureUnit::kPsi;
    s.coldFront = 30;
    s.coldRear = 27.5;
    s.hotFront = 33.1;
    s.hotRear = 31;
    s.laps = 14;
    s.bestLapMs = 122'385;
    s.topSpeed = 252.4;
    s.speedUnit = SpeedUnit::Kmh;
    s.gear = 6;
    s.engineSpeed = 14750;
    s.frontSprocket = "16";
    s.rearSprocket = "45";
    for (int r = 0; r < kSessionSuspensionRows; ++r) {
        const auto at = static_cast<size_t>(r);
        s.rowNames[at] = "Row " + std::to_string(r) + ":";
        s.front[at] = std::to_string(r) + " clicks";
        s.rear[at] = std::to_string(r + 10) + " mm";
    }
    s.notes = "Front pushes in T3.\nRear fine.";
    return s;
}

void ExpectSame(const Session& a, const Session& b) {
    EXPECT_EQ(a.circuit, b.circuit);
    EXPECT_EQ(a.date, b.date);
    EXPECT_EQ(a.name, b.name);
    EXPECT_EQ(a.weather, b.weather);
    EXPECT_EQ(a.airTemperature, b.airTemperature);
    EXPECT_EQ(a.trackTemperature, b.trackTemperature);
    EXPECT_EQ(a.frontTyre, b.frontTyre);
    EXPECT_EQ(a.rearTyre, b.rearTyre);
    EXPECT_EQ(a.pressureUnit, b.pressureUnit);
    EXPECT_EQ(a.coldFront, b.coldFront);
    EXPECT_EQ(a.coldRear, b.coldRear);
    EXPECT_EQ(a.hotFront, b.hotFront);
    EXPECT_EQ(a.hotRear, b.hotRear);
    EXPECT_EQ(a.laps, b.laps);
    EXPECT_EQ(a.bestLapMs, b.bestLapMs);
    EXPECT_EQ(a.topSpeed, b.topSpeed);
    EXPECT_EQ(a.speedUnit, b.speedUnit);
    EXPECT_EQ(a.gear, b.gear);
    EXPECT_EQ(a.engineSpeed, b.engineSpeed);
    EXPECT_EQ(a.frontSprocket, b.frontSprocket);
    EXPECT_EQ(a.rearSprocket, b.rearSprocket);
    EXPECT_EQ(a.rowNames, b.rowNames);
    EXPECT_EQ(a.front, b.front);
    EXPECT_EQ(a.rear, b.rear);
    EXPECT_EQ(a.notes, b.notes);
    EXPECT_EQ(a.later, b.later);
}

TEST(SessionRecordTest, EveryFieldHasItsPlaceInTheLine) {
    EXPECT_EQ(SessionLine(FullSession()),
              "Brno|2026-05-17|Practice 2|damp|18.5|-3|120/70ZR17 SC1|180/60ZR17 SC0|psi|30|27.5|"
              "33.1|31|14|122.385|252.4|km/h|6|14750|16|45|"
              "Row 0:|Row 1:|Row 2:|Row 3:|Row 4:|Row 5:|Row 6:|Row 7:|Row 8:|Row 9:|"
              "0 clicks|1 clicks|2 clicks|3 clicks|4 clicks|5 clicks|6 clicks|7 clicks|8 clicks|"
              "9 clicks|10 mm|11 mm|12 mm|13 mm|14 mm|15 mm|16 mm|17 mm|18 mm|19 mm|"
              "Front pushes in T3.\\nRear fine.");
    ExpectSame(SessionFromLine(SessionLine(FullSession())), FullSession());
}

TEST(SessionRecordTest, AnEmptySessionReadsBackEmpty) {
    const Session empty;
    EXPECT_EQ(SessionLine(empty),
              std::string(8, '|') + "bar" + std::string(8, '|') + "mph" + std::string(35, '|'));
    ExpectSame(SessionFromLine(SessionLine(empty)), empty);
}

TEST(SessionRecordTest, WhatARiderTypesReadsBackExactly) {
    const std::string texts[] = {
        "a|b",
        "x=y",
        "[Session]",
        ";comment",
        "\"quoted\"",
        "'single'",
        "  blanks ",
        "\\n typed",
        "one\ntwo\r\nthree",
        "Masaryk\u016fv okruh \u9234\u9e7f",
        "\\",
        "\\p",
        "|",
        "",
    };
    for (const std::string& text : texts) {
        Session s = FullSession();
        s.name = text;
        s.notes = text;
        s.front[3] = text;
        s.circuit = text;
        const std::string line = SessionLine(s);
        EXPECT_EQ(line.find('\n'), std::string::npos) << text;
        EXPECT_EQ(line.find('\r'), std::string::npos) << text;
        ExpectSame(SessionFromLine(line), s);
    }
}

TEST(SessionRecordTest, EscapesAreTheFourDocumented) {
    EXPECT_EQ(EscapeField("a\\b|c\nd\re"), "a\\\\b\\pc\\nd\\re");
    EXPECT_EQ(UnescapeField("a\\\\b\\pc\\nd\\re"), "a\\b|c\nd\re");
    EXPECT_EQ(UnescapeField("\\x\\"), "\\x\\");  // unknown escapes stay as they are
}

TEST(SessionRecordTest, AnOlderLineReadsItsMissingFieldsAsEmpty) {
    const Session s = SessionFromLine("Brno|2026-05-17|Practice 2|wet|21");
    EXPECT_EQ(s.circuit, "Brno");
    EXPECT_EQ(s.weather, Weather::kWet);
    EXPECT_EQ(s.airTemperature, 21);
    EXPECT_FALSE(s.trackTemperature);
    EXPECT_EQ(s.pressureUnit, PressureUnit::kBar);
    EXPECT_EQ(s.speedUnit, SpeedUnit::Mph);
    EXPECT_EQ(s.notes, "");
    EXPECT_TRUE(s.later.empty());
}

TEST(SessionRecordTest, ANewerLineKeepsItsLaterFieldsForTheNextSave) {
    const std::string line = SessionLine(FullSession()) + "|soft\\pmedium|42";
    const Session s = SessionFromLine(line);
    EXPECT_EQ(s.notes, "Front pushes in T3.\nRear fine.");
    EXPECT_EQ(s.later, (std::vector<std::string>{"soft|medium", "42"}));
    EXPECT_EQ(SessionLine(s), line);
}

TEST(SessionRecordTest, FieldsThatHoldNoNumberReadAsEmpty) {
    const Session s =
        SessionFromLine("Brno|2026-05-17|P|snow|warm|1e999|a|b|kPa|x||||1.5|-2|fast|mi/h|six");
    EXPECT_EQ(s.weather, Weather::kNone);
    EXPECT_FALSE(s.airTemperature);
    EXPECT_FALSE(s.trackTemperature);
    EXPECT_EQ(s.pressureUnit, PressureUnit::kBar);
    EXPECT_FALSE(s.coldFront);
    EXPECT_FALSE(s.laps);       // 1.5 laps is no count
    EXPECT_FALSE(s.bestLapMs);  // nor is a negative time
    EXPECT_FALSE(s.topSpeed);
    EXPECT_EQ(s.speedUnit, SpeedUnit::Mph);
    EXPECT_FALSE(s.gear);
}

}  // namespace
