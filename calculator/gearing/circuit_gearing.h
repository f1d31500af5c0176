// What a circuit's longest straight showed and the engine speed its gearing aims for: the record
// kept per circuit in the settings file's "CIRCUIT_GEARING".
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "gearing/sprocket_finder.h"

namespace gearsheet {

struct CircuitGearing {
    StraightObservation seen;
    int seenFront = 0;  // the sprockets it was seen on
    int seenRear = 0;
    double targetRpm = 0;  // the shift light
};

// Nothing was seen (neither a road speed nor an engine speed): there is nothing to store.
bool NothingSeen(const CircuitGearing& gearing);

// The record's texts: how it was seen ("speed" or "rpm"), the road speed, its unit ("mph",
// "km/h"), the gear, the engine speed, the front and rear sprockets, the target engine speed.
// Numbers use "." and the shortest text that reads back the same: speed|160|mph|6|0|16|45|15500.
std::vector<std::string> CircuitGearingFields(const CircuitGearing& gearing);

// A record read back from its texts; nothing when it is not one (too few fields, a number that is
// none). Fields after the eighth are ignored.
std::optional<CircuitGearing> CircuitGearingFromFields(const std::vector<std::string>& fields);

}  // namespace gearsheet
