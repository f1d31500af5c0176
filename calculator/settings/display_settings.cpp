#include "settings/display_settings.h"

#include "settings/section_values.h"

namespace gearsheet::settings {
namespace {

constexpr char kSection[] = "DISPLAY";
constexpr char kSpeedUnitKey[] = "SpeedUnit";
constexpr char kPressureUnitKey[] = "PressureUnit";

}  // namespace

DisplaySettings LoadDisplay(qfstore::QfINIFileHandler& store) {
    DisplaySettings display;
    if (auto unit = ReadText(store, kSection, kSpeedUnitKey))
        display.speedUnit = std::move(*unit);
    return display;
}

void SaveDisplay(qfstore::QfINIFileHandler& store, const DisplaySettings& display) {
    WriteValue(store, kSection, kSpeedUnitKey, qfstore::Variant(display.speedUnit));
}

std::string LoadPressureUnit(qfstore::QfINIFileHandler& store) {
    return ReadText(store, kSection, kPressureUnitKey).value_or("bar");
}

void SavePressureUnit(qfstore::QfINIFileHandler& store, const std::string& unit) {
    WriteValue(store, kSection, kPressureUnitKey, qfstore::Variant(unit));
}

}  // namespace gearsheet::settings
