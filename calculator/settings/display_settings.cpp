#include "settings/display_settings.h"

#include "settings/section_values.h"

namespace gearsheet::settings {
namespace {

constexpr char kSection[] = "DISPLAY";
constexpr char kSpeedUnitKey[] = "SpeedUnit";

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

}  // namespace gearsheet::settings
