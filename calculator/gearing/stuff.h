// Module Stuff: the program's gear data and its loaders from the settings file.
#pragma once

#include "gearing/gear_data.h"
#include "qfstore/ini_file_handler.h"

namespace gearsheet::Stuff {

// The program's gear data: zero until the loaders fill it at start-up.
GearData& Gears();

// Sets the store's section to "GEARS" and reads "Gear1" … "Gear6" as numbers into gears.ratios.
// An absent or non-numeric key fails with error 13 (store errors as they come), the call stack
// extended by "InitializeGears"; ratios read before the failing key keep their new values.
void InitializeGears(qfstore::QfINIFileHandler& store, GearData& gears = Gears());

// Sets the store's section to "REDUCTIONS" and reads "InitialReduction" into
// gears.initialReduction; failures as for InitializeGears, with the line "InitalizeReductions".
void InitalizeReductions(qfstore::QfINIFileHandler& store, GearData& gears = Gears());

}  // namespace gearsheet::Stuff
