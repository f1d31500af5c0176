// The sprocket finder's ranges in the settings file's "SPROCKET_FINDER", each written when it
// changes.
#pragma once

#include <optional>

#include "qfstore/ini_file_handler.h"

namespace gearsheet::settings {

// The sprockets the rider can fit, in teeth, inclusive; nothing where the file holds no number.
struct FinderSettings {
    std::optional<int> frontLow = std::nullopt;
    std::optional<int> frontHigh = std::nullopt;
    std::optional<int> rearLow = std::nullopt;
    std::optional<int> rearHigh = std::nullopt;
};

FinderSettings LoadFinder(qfstore::QfINIFileHandler& store);

// Writes each field of `changed` that holds a value; the other keys stay.
void SaveFinder(qfstore::QfINIFileHandler& store, const FinderSettings& changed);

}  // namespace gearsheet::settings
