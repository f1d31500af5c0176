// The tyre types in the settings file's "TYRES": listing, adding and deleting them. Each call
// points the store at the section right before it reads or writes; store errors pass on.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "qfstore/error.h"
#include "qfstore/ini_file_handler.h"
#include "qfstore/variant.h"

namespace gearsheet {

// The names of the store's current section in file order; none when the section has no keys.
std::vector<std::string> FieldNames(qfstore::QfINIFileHandler& store);

struct StoredTyre {
    std::string name;
    // As the store returned it: a number, or the text when it is none; 1 for a key without value.
    qfstore::Variant circumference;
};

// Every tyre type in file order with its rolling circumference. A tyre whose value cannot be read
// is left out and the first such failure kept in `unread`, so that one bad line does not hide the
// others.
std::vector<StoredTyre> ReadTyres(qfstore::QfINIFileHandler& store,
                                  std::optional<qfstore::Error>& unread);

// Writes `circumference` (as typed) under `name`, replacing a tyre of that name.
void AddTyre(qfstore::QfINIFileHandler& store, const std::string& name,
             const std::string& circumference);

void DeleteTyre(qfstore::QfINIFileHandler& store, const std::string& name);

}  // namespace gearsheet
