#include "sessions/session_values.h"

#include <algorithm>
#include <charconv>
#include <cmath>
#include <cstdio>

namespace gearsheet {
namespace {

constexpr int64_t kMsPerSecond = 1000;
constexpr int64_t kMsPerMinute = 60 * kMsPerSecond;
constexpr int64_t kLongestLap = 100 * kMsPerMinute;  // exclusive

std::string_view TrimBlanks(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && blank(text.back())) text.remove_suffix(1);
    return text;
}

bool AllDigits(std::string_view text) {
    for (char c : text)
        if (c < '0' || c > '9')
            return false;
    return true;
}

// Whole digits (1 … 6 of them) as a number; nothing for anything else.
std::optional<int64_t> Digits(std::string_view text) {
    if (text.empty() || text.size() > 6 || !AllDigits(text))
        return std::nullopt;
    int64_t value = 0;
    for (char c : text) value = value * 10 + (c - '0');
    return value;
}

// "42.385" or "102" as thousandths; at most three decimals.
std::optional<int64_t> SecondsMs(std::string_view text) {
    const size_t point = text.find_first_of(".,");
    const std::string_view whole = text.substr(0, point);
    const std::string_view fraction =
        point == std::string_view::npos ? std::string_view{} : text.substr(point + 1);
    const std::optional<int64_t> seconds = Digits(whole);
    if (!seconds || fraction.size() > 3 || !AllDigits(fraction) ||
        (point != std::string_view::npos && fraction.empty()))
        return std::nullopt;
    int64_t thousandths = 0;
    for (size_t i = 0; i < 3; ++i)
        thousandths = thousandths * 10 + (i < fraction.size() ? fraction[i] - '0' : 0);
    return *seconds * kMsPerSecond + thousandths;
}

}  // namespace

const char* PressureUnitName(PressureUnit unit) {
    return unit == PressureUnit::kPsi ? "psi" : "bar";
}

PressureUnit PressureUnitFromName(std::string_view name) {
    return name == "psi" ? PressureUnit::kPsi : PressureUnit::kBar;
}

double ConvertPressure(double value, PressureUnit from, PressureUnit to) {
    if (from == to)
        return value;
    return to == PressureUnit::kPsi ? value * kPsiPerBar : value / kPsiPerBar;
}

ValueRange PressureRange(PressureUnit unit) {
    return unit == PressureUnit::kPsi ? ValueRange{7, 58, "30"} : ValueRange{0.5, 4.0, "2.1"};
}

ValueRange TemperatureRange() {
    return {-20, 70, "21.5"};
}

ValueRange LapsRange() {
    return {0, 999, "12"};
}

ValueRange TopSpeedRange() {
    return {0, 500, "160"};
}

ValueRange EngineSpeedRange() {
    return {0, 30000, "14500"};
}

std::optional<int64_t> ParseLapTime(std::string_view text) {
    text = TrimBlanks(text);
    const size_t colon = text.find(':');
    std::optional<int64_t> ms;
    if (colon == std::string_view::npos) {
        ms = SecondsMs(text);
    } else {
        const std::optional<int64_t> minutes = Digits(text.substr(0, colon));
        const std::string_view rest = text.substr(colon + 1);
        // Seconds after the minutes take one or two digits and stay under a minute.
        const size_t wholeDigits = rest.find_first_of(".,");
        const std::optional<int64_t> seconds = SecondsMs(rest);
        if (minutes && seconds && std::min(wholeDigits, rest.size()) <= 2 &&
            *seconds < kMsPerMinute)
            ms = *minutes * kMsPerMinute + *seconds;
    }
    if (!ms || *ms <= 0 || *ms >= kLongestLap)
        return std::nullopt;
    return ms;
}

std::string LapTimeText(int64_t ms, std::string_view decimalPoint) {
    char whole[32];
    char thousandths[8];
    const auto minutes = static_cast<long long>(ms / kMsPerMinute);
    const auto seconds = static_cast<long long>(ms % kMsPerMinute / kMsPerSecond);
    if (minutes > 0)
        std::snprintf(whole, sizeof whole, "%lld:%02lld", minutes, seconds);
    else
        std::snprintf(whole, sizeof whole, "%lld", seconds);
    std::snprintf(thousandths, sizeof thousandths, "%03lld",
                  static_cast<long long>(ms % kMsPerSecond));
    return std::string(whole) + std::string(decimalPoint) + thousandths;
}

std::string LapSecondsText(int64_t ms) {
    char text[32];
    std::snprintf(text, sizeof text, "%lld.%03lld", static_cast<long long>(ms / kMsPerSecond),
                  static_cast<long long>(ms % kMsPerSecond));
    return text;
}

std::string NumberText(double value) {
    char text[32];
    const auto result = std::to_chars(text, text + sizeof text, value);
    return std::string(text, result.ptr);
}

std::optional<double> ParseNumber(std::string_view text) {
    double value = 0;
    const char* end = text.data() + text.size();
    const auto result = std::from_chars(text.data(), end, value);
    if (text.empty() || result.ec != std::errc() || result.ptr != end || !std::isfinite(value))
        return std::nullopt;
    return value;
}

}  // namespace gearsheet
