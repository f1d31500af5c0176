#include "sessions/session_record.h"

#include <cmath>
#include <iterator>
#include <utility>

namespace gearsheet {
namespace {

std::string Optional(const std::optional<double>& value) {
    return value ? NumberText(*value) : std::string();
}

std::string Optional(const std::optional<int>& value) {
    return value ? std::to_string(*value) : std::string();
}

std::optional<int> WholeNumber(const std::string& text) {
    const std::optional<double> value = ParseNumber(text);
    if (!value || std::trunc(*value) != *value || std::abs(*value) > 1e9)
        return std::nullopt;
    return static_cast<int>(*value);
}

std::optional<int64_t> StoredLap(const std::string& text) {
    const std::optional<double> seconds = ParseNumber(text);
    if (!seconds || *seconds <= 0 || *seconds > 1e7)
        return std::nullopt;
    return std::llround(*seconds * 1000);
}

std::vector<std::string> Fields(const Session& s) {
    std::vector<std::string> f(kSessionFieldCount);
    f[kRecCircuit] = s.circuit;
    f[kRecDate] = s.date;
    f[kRecName] = s.name;
    f[kRecWeather] = WeatherWord(s.weather);
    f[kRecAirTemperature] = Optional(s.airTemperature);
    f[kRecTrackTemperature] = Optional(s.trackTemperature);
    f[kRecFrontTyre] = s.frontTyre;
    f[kRecRearTyre] = s.rearTyre;
    f[kRecPressureUnit] = PressureUnitName(s.pressureUnit);
    f[kRecColdFront] = Optional(s.coldFront);
    f[kRecColdRear] = Optional(s.coldRear);
    f[kRecHotFront] = Optional(s.hotFront);
    f[kRecHotRear] = Optional(s.hotRear);
    f[kRecLaps] = Optional(s.laps);
    f[kRecBestLap] = s.bestLapMs ? LapSecondsText(*s.bestLapMs) : std::string();
    f[kRecTopSpeed] = Optional(s.topSpeed);
    f[kRecSpeedUnit] = std::string(UnitName(s.speedUnit));
    f[kRecGear] = Optional(s.gear);
    f[kRecEngineSpeed] = Optional(s.engineSpeed);
    f[kRecFrontSprocket] = s.frontSprocket;
    f[kRecRearSprocket] = s.rearSprocket;
    for (int r = 0; r < kSessionSuspensionRows; ++r) {
        const auto at = static_cast<size_t>(r);
        f[static_cast<size_t>(kRecRowNames + r)] = s.rowNames[at];
        f[static_cast<size_t>(kRecFront + r)] = s.front[at];
        f[static_cast<size_t>(kRecRear + r)] = s.rear[at];
    }
    f[kRecNotes] = s.notes;
    f.insert(f.end(), s.later.begin(), s.later.end());
    return f;
}

std::vector<std::string> SplitFields(std::string_view line) {
    std::vector<std::string> fields;
    for (size_t start = 0;;) {
        const size_t bar = line.find('|', start);
        fields.push_back(UnescapeField(line.substr(start, bar - start)));
        if (bar == std::string_view::npos)
            return fields;
        start = bar + 1;
    }
}

}  // namespace

std::string EscapeField(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (char c : text) {
        switch (c) {
            case '\\':
                out += "\\\\";
                break;
            case '|':
                out += "\\p";
                break;
            case '\n':
                out += "\\n";
                break;
            case '\r':
                out += "\\r";
                break;
            default:
                out += c;
        }
    }
    return out;
}

std::string UnescapeField(std::string_view text) {
    std::string out;
    out.reserve(text.size());
    for (size_t i = 0; i < text.size(); ++i) {
        const char next = i + 1 < text.size() ? text[i + 1] : '\0';
        const char* meant = nullptr;
        if (text[i] == '\\') {
            meant = next == '\\'  ? "\\"
                    : next == 'p' ? "|"
                    : next == 'n' ? "\n"
                    : next == 'r' ? "\r"
                                  : nullptr;
        }
        if (meant) {
            out += meant;
            ++i;
        } else {
            out += text[i];
        }
    }
    return out;
}

std::string SessionLine(const Session& session) {
    std::string line;
    bool first = true;
    for (const std::string& field : Fields(session)) {
        if (!std::exchange(first, false))
            line += '|';
        line += EscapeField(field);
    }
    return line;
}

Session SessionFromLine(std::string_view line) {
    std::vector<std::string> f = SplitFields(line);
    if (f.size() < kSessionFieldCount)
        f.resize(kSessionFieldCount);
    Session s;
    s.circuit = std::move(f[kRecCircuit]);
    s.date = std::move(f[kRecDate]);
    s.name = std::move(f[kRecName]);
    s.weather = WeatherFromWord(f[kRecWeather]);
    s.airTemperature = ParseNumber(f[kRecAirTemperature]);
    s.trackTemperature = ParseNumber(f[kRecTrackTemperature]);
    s.frontTyre = std::move(f[kRecFrontTyre]);
    s.rearTyre = std::move(f[kRecRearTyre]);
    s.pressureUnit = PressureUnitFromName(f[kRecPressureUnit]);
    s.coldFront = ParseNumber(f[kRecColdFront]);
    s.coldRear = ParseNumber(f[kRecColdRear]);
    s.hotFront = ParseNumber(f[kRecHotFront]);
    s.hotRear = ParseNumber(f[kRecHotRear]);
    s.laps = WholeNumber(f[kRecLaps]);
    s.bestLapMs = StoredLap(f[kRecBestLap]);
    s.topSpeed = ParseNumber(f[kRecTopSpeed]);
    s.speedUnit = UnitFromName(f[kRecSpeedUnit]);
    s.gear = WholeNumber(f[kRecGear]);
    s.engineSpeed = ParseNumber(f[kRecEngineSpeed]);
    s.frontSprocket = std::move(f[kRecFrontSprocket]);
    s.rearSprocket = std::move(f[kRecRearSprocket]);
    for (int r = 0; r < kSessionSuspensionRows; ++r) {
        const auto at = static_cast<size_t>(r);
        s.rowNames[at] = std::move(f[static_cast<size_t>(kRecRowNames + r)]);
        s.front[at] = std::move(f[static_cast<size_t>(kRecFront + r)]);
        s.rear[at] = std::move(f[static_cast<size_t>(kRecRear + r)]);
    }
    s.notes = std::move(f[kRecNotes]);
    s.later.assign(std::make_move_iterator(f.begin() + kSessionFieldCount),
                   std::make_move_iterator(f.end()));
    return s;
}

}  // namespace gearsheet
