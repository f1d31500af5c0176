#include "settings/section_values.h"

#include <algorithm>
#include <cmath>

#include "qfstore/conversions.h"
#include "settings/settings_file.h"

namespace gearsheet::settings {

std::optional<double> ReadNumber(qfstore::QfINIFileHandler& store, const char* section,
                                 const std::string& key) {
    store.Section(section);
    const qfstore::Variant v =
        store.GetValue(key, kArrayDelimiter, false, true, qfstore::Variant());
    using qfstore::VarType;
    const VarType type = v.Type();
    const bool number = !v.IsArray() && (type == VarType::Integer || type == VarType::Long ||
                                         type == VarType::Single || type == VarType::Double);
    if (!number)
        return std::nullopt;
    const double value = qfstore::ToDouble(v, "Gearsheet");
    return std::isfinite(value) ? std::optional<double>(value) : std::nullopt;
}

std::optional<int> ReadWhole(qfstore::QfINIFileHandler& store, const char* section,
                             const std::string& key, int low, int high) {
    const auto value = ReadNumber(store, section, key);
    if (!value)
        return std::nullopt;
    return static_cast<int>(std::clamp(std::nearbyint(*value), double(low), double(high)));
}

std::optional<std::string> ReadText(qfstore::QfINIFileHandler& store, const char* section,
                                    const std::string& key) {
    store.Section(section);
    const qfstore::Variant v =
        store.GetValue(key, kArrayDelimiter, false, false, qfstore::Variant());
    if (v.Type() != qfstore::VarType::String || v.IsArray())
        return std::nullopt;
    return v.AsString();
}

void WriteValue(qfstore::QfINIFileHandler& store, const char* section, const std::string& key,
                const qfstore::Variant& value) {
    store.Section(section);
    store.SetValue(key, value, kArrayDelimiter);
}

}  // namespace gearsheet::settings
