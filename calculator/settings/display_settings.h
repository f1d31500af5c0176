// How road speeds are shown, in the settings file's "DISPLAY".
#pragma once

#include <string>

#include "qfstore/ini_file_handler.h"

namespace gearsheet::settings {

struct DisplaySettings {
    std::string speedUnit = "mph";  // "mph" or "km/h" as stored; "mph" when none is
};

DisplaySettings LoadDisplay(qfstore::QfINIFileHandler& store);
void SaveDisplay(qfstore::QfINIFileHandler& store, const DisplaySettings& display);

// The unit the Session Log shows tyre pressures in, kept on its own key so that choosing it
// writes nothing else: "bar" (also when none is stored) or "psi".
std::string LoadPressureUnit(qfstore::QfINIFileHandler& store);
void SavePressureUnit(qfstore::QfINIFileHandler& store, const std::string& unit);

}  // namespace gearsheet::settings
