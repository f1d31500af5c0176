#include "settings/circuit_gearing_records.h"

#include <charconv>
#include <cmath>
#include <system_error>

#include "qfstore/conversions.h"
#include "settings/settings_file.h"

namespace gearsheet::settings {
namespace {

constexpr char kSection[] = "CIRCUIT_GEARING";
constexpr char kBySpeed[] = "speed";
constexpr char kByRpm[] = "rpm";
constexpr std::size_t kObservationFields = 8;
constexpr std::size_t kCircumferenceField = 8;
constexpr std::size_t kTyreField = 9;

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

// The tyre's name: every field from kTyreField on, joined again by the "|" it was split at.
std::string TyreName(const std::vector<std::string>& fields) {
    std::string name;
    for (std::size_t i = kTyreField; i < fields.size(); ++i)
        name += (i > kTyreField ? kCircuitDelimiter : "") + fields[i];
    return name;
}

}  // namespace

bool NothingSeen(const CircuitGearing& gearing) {
    return gearing.roadSpeed <= 0 && gearing.engineSpeed <= 0;
}

std::vector<std::string> CircuitGearingFields(const CircuitGearing& g) {
    std::vector<std::string> fields{g.byEngineSpeed ? kByRpm : kBySpeed,
                                    Number(g.roadSpeed),
                                    g.unit,
                                    std::to_string(g.gear),
                                    Number(g.engineSpeed),
                                    std::to_string(g.seenFront),
                                    std::to_string(g.seenRear),
                                    Number(g.targetRpm)};
    if (g.circumference) {
        fields.push_back(Number(*g.circumference));
        // An element may not hold the delimiter: a name holding "|" goes in pieces.
        std::size_t start = 0;
        for (std::size_t bar; (bar = g.tyre.find(kCircuitDelimiter, start)) != std::string::npos;
             start = bar + 1)
            fields.push_back(g.tyre.substr(start, bar - start));
        fields.push_back(g.tyre.substr(start));
    }
    return fields;
}

std::optional<CircuitGearing> CircuitGearingFromFields(const std::vector<std::string>& fields) {
    if (fields.size() < kObservationFields || (fields[0] != kBySpeed && fields[0] != kByRpm))
        return std::nullopt;
    const auto speed = ReadNumber(fields[1]);
    const auto gear = ReadWhole(fields[3]);
    const auto rpm = ReadNumber(fields[4]);
    const auto front = ReadWhole(fields[5]);
    const auto rear = ReadWhole(fields[6]);
    const auto target = ReadNumber(fields[7]);
    if (!speed || !gear || !rpm || !front || !rear || !target)
        return std::nullopt;
    CircuitGearing g{
        fields[0] == kByRpm, *speed, fields[2], *gear, *rpm, *front, *rear, *target, {}, {}};
    if (fields.size() > kCircumferenceField) {
        g.circumference = ReadNumber(fields[kCircumferenceField]);
        if (!g.circumference || *g.circumference <= 0)
            return std::nullopt;
        g.tyre = TyreName(fields);
    }
    return g;
}

std::optional<CircuitGearing> LoadCircuitGearing(qfstore::QfINIFileHandler& store,
                                                 const std::string& circuit) {
    store.Section(kSection);
    const qfstore::Variant record = store.GetValue(circuit, kCircuitDelimiter, true, false);
    if (!record.IsArray())
        return std::nullopt;
    std::vector<std::string> fields;
    for (const qfstore::Variant& field : record.Elements())
        fields.push_back(qfstore::ToText(field, "Gearsheet"));
    return CircuitGearingFromFields(fields);
}

void SaveCircuitGearing(qfstore::QfINIFileHandler& store, const std::string& circuit,
                        const CircuitGearing& gearing) {
    if (NothingSeen(gearing)) {
        DeleteCircuitGearing(store, circuit);
        return;
    }
    store.Section(kSection);
    store.SetValue(circuit, qfstore::Variant::StringArray(CircuitGearingFields(gearing)),
                   kCircuitDelimiter);
}

void DeleteCircuitGearing(qfstore::QfINIFileHandler& store, const std::string& circuit) {
    store.Section(kSection);
    store.DeleteField(circuit);
}

}  // namespace gearsheet::settings
