#include "gearing/circuit_gearing.h"

#include <charconv>
#include <cmath>
#include <system_error>

namespace gearsheet {
namespace {

constexpr char kBySpeed[] = "speed";
constexpr char kByRpm[] = "rpm";
constexpr std::size_t kFieldCount = 8;

std::string Number(double value) {
    char text[32];
    const auto end = std::to_chars(text, text + sizeof text, value).ptr;
    return std::string(text, end);
}

std::optional<double> ReadNumber(const std::string& text) {
    double value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (ec != std::errc() || ptr != end || !std::isfinite(value))
        return std::nullopt;
    return value;
}

std::optional<int> ReadWhole(const std::string& text) {
    int value = 0;
    const char* end = text.data() + text.size();
    const auto [ptr, ec] = std::from_chars(text.data(), end, value);
    if (ec != std::errc() || ptr != end)
        return std::nullopt;
    return value;
}

}  // namespace

bool NothingSeen(const CircuitGearing& gearing) {
    return gearing.seen.roadSpeed <= 0 && gearing.seen.engineSpeed <= 0;
}

std::vector<std::string> CircuitGearingFields(const CircuitGearing& g) {
    return {g.seen.byEngineSpeed ? kByRpm : kBySpeed,
            Number(g.seen.roadSpeed),
            std::string(UnitName(g.seen.unit)),
            std::to_string(g.seen.gear),
            Number(g.seen.engineSpeed),
            std::to_string(g.seenFront),
            std::to_string(g.seenRear),
            Number(g.targetRpm)};
}

std::optional<CircuitGearing> CircuitGearingFromFields(const std::vector<std::string>& fields) {
    if (fields.size() < kFieldCount || (fields[0] != kBySpeed && fields[0] != kByRpm))
        return std::nullopt;
    const auto speed = ReadNumber(fields[1]);
    const auto gear = ReadWhole(fields[3]);
    const auto rpm = ReadNumber(fields[4]);
    const auto front = ReadWhole(fields[5]);
    const auto rear = ReadWhole(fields[6]);
    const auto target = ReadNumber(fields[7]);
    if (!speed || !gear || !rpm || !front || !rear || !target)
        return std::nullopt;
    CircuitGearing g;
    g.seen = {fields[0] == kByRpm, *speed, UnitFromName(fields[2]), *gear, *rpm};
    g.seenFront = *front;
    g.seenRear = *rear;
    g.targetRpm = *target;
    return g;
}

}  // namespace gearsheet
