// The session log's values as the rider types them: lap times, tyre pressures, temperatures and
// the other numbers, each with the range it takes. Plain C++: the page turns the locale's number
// text into a number first (decimal separator), these check and convert it.
#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

namespace gearsheet {

enum class PressureUnit { kBar, kPsi };

inline constexpr double kPsiPerBar = 14.503773773;

// "bar" or "psi", as shown and stored.
const char* PressureUnitName(PressureUnit unit);
// The unit a stored name stands for; bar for anything but "psi".
PressureUnit PressureUnitFromName(std::string_view name);

// `value` in `from` converted to `to`.
double ConvertPressure(double value, PressureUnit from, PressureUnit to);

// An inclusive range of a numeric field and an example of what it takes.
struct ValueRange {
    double low;
    double high;
    const char* example;
};

// 0.5 … 4.0 bar, 7 … 58 psi.
ValueRange PressureRange(PressureUnit unit);
// −20 … 70 °C.
ValueRange TemperatureRange();
// Laps 0 … 999, whole.
ValueRange LapsRange();
// Road speed 0 … 500 (mph or km/h).
ValueRange TopSpeedRange();
// Engine speed 0 … 30000 rpm.
ValueRange EngineSpeedRange();

inline bool InRange(double value, const ValueRange& range) {
    return value >= range.low && value <= range.high;
}

// A lap time typed as minutes and seconds ("1:42.385") or seconds ("102.385"), with "." or ","
// before the fraction and at most three decimals; blanks around it are ignored. In thousandths of
// a second; nothing for any other text, a zero time or one of 100 minutes or more.
std::optional<int64_t> ParseLapTime(std::string_view text);

// "1:42.385" (minutes, seconds, three decimals), "42.005" under a minute; `decimalPoint` before
// the thousandths.
std::string LapTimeText(int64_t ms, std::string_view decimalPoint = ".");

// Seconds with "." and three decimals, as stored and exported: "102.385".
std::string LapSecondsText(int64_t ms);

// A number with "." and the shortest text that reads back the same: "2.1", "15", "-3.5".
std::string NumberText(double value);

// A number written by NumberText (or any "." decimal); nothing for other text, an empty one,
// infinities and NaN.
std::optional<double> ParseNumber(std::string_view text);

}  // namespace gearsheet
