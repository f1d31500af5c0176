// One value of a section of the settings file, read or written in one call that names the section.
// Each call points the store at `section` right before it reads or writes; store errors pass on.
#pragma once

#include <optional>
#include <string>

#include "qfstore/ini_file_handler.h"
#include "qfstore/variant.h"

namespace gearsheet::settings {

// The number under `key`; nothing when the key is absent or holds no single number.
std::optional<double> ReadNumber(qfstore::QfINIFileHandler& store, const char* section,
                                 const std::string& key);

// The whole number under `key`, rounded half to even and kept within `low` … `high`; nothing when
// the key is absent or holds no single number.
std::optional<int> ReadWhole(qfstore::QfINIFileHandler& store, const char* section,
                             const std::string& key, int low, int high);

// The text under `key`, whole; nothing when the key is absent or holds no single text.
std::optional<std::string> ReadText(qfstore::QfINIFileHandler& store, const char* section,
                                    const std::string& key);

void WriteValue(qfstore::QfINIFileHandler& store, const char* section, const std::string& key,
                const qfstore::Variant& value);

// Writes `value` under `key` when it holds one; leaves the key as it is otherwise.
template <class T>
void WriteIfSet(qfstore::QfINIFileHandler& store, const char* section, const char* key,
                const std::optional<T>& value) {
    if (value)
        WriteValue(store, section, key, qfstore::Variant(*value));
}

}  // namespace gearsheet::settings
