// One session of the session log: what was run at a circuit, in which conditions, and how it
// went. Numbers are kept as numbers (nothing when the field was left empty); texts as typed.
#pragma once

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

#include "gearing/speed_unit.h"
#include "sessions/session_values.h"

namespace gearsheet {

enum class Weather { kNone, kDry, kDamp, kWet };

inline constexpr int kSessionSuspensionRows = 10;
using SuspensionColumn = std::array<std::string, kSessionSuspensionRows>;

struct Session {
    std::string circuit;  // the circuit's name when the session was saved
    std::string date;     // ISO 8601, 2026-05-17
    std::string name;     // "Practice 2"
    Weather weather = Weather::kNone;
    std::optional<double> airTemperature;  // °C
    std::optional<double> trackTemperature;
    std::string frontTyre;
    std::string rearTyre;
    PressureUnit pressureUnit = PressureUnit::kBar;  // of the four pressures, as entered
    std::optional<double> coldFront;
    std::optional<double> coldRear;
    std::optional<double> hotFront;
    std::optional<double> hotRear;
    std::optional<int> laps;
    std::optional<int64_t> bestLapMs;  // thousandths of a second
    std::optional<double> topSpeed;    // in speedUnit, as entered
    SpeedUnit speedUnit = SpeedUnit::Mph;
    std::optional<int> gear;            // at the end of the longest straight
    std::optional<double> engineSpeed;  // rpm at the end of the longest straight
    std::string frontSprocket;          // as the circuit record holds them
    std::string rearSprocket;
    SuspensionColumn rowNames;  // "Static Sag:" …
    SuspensionColumn front;
    SuspensionColumn rear;
    std::string notes;  // several lines
    // Fields after the last one this version knows, kept as read so that saving loses nothing
    // that a newer version wrote.
    std::vector<std::string> later;
};

// The weather's stored and shown word: "", "dry", "damp", "wet".
const char* WeatherWord(Weather weather);
// The weather a stored word stands for; kNone for any other text.
Weather WeatherFromWord(const std::string& word);

}  // namespace gearsheet
