// The circuits in the settings file's "CIRCUITS": listing, reading, adding and deleting their
// records. Each call points the store at the section right before it reads or writes; store
// errors pass on.
#pragma once

#include <string>
#include <vector>

#include "qfstore/ini_file_handler.h"
#include "qfstore/variant.h"

namespace gearsheet {

// Every circuit name in file order.
std::vector<std::string> ReadCircuitNames(qfstore::QfINIFileHandler& store);

// The record stored under `name` as the store returns it: a list of its fields when the line
// holds "|", else its one value; the missing-argument marker when there is no such circuit.
qfstore::Variant ReadCircuit(qfstore::QfINIFileHandler& store, const std::string& name);

// Writes `fields` joined by "|" under `name`, replacing a circuit of that name.
void AddCircuit(qfstore::QfINIFileHandler& store, const std::string& name,
                std::vector<std::string> fields);

void DeleteCircuit(qfstore::QfINIFileHandler& store, const std::string& name);

}  // namespace gearsheet
