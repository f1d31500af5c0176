// What a circuit's longest straight showed and the engine speed its gearing aims for: the record
// kept per circuit in the settings file's "CIRCUIT_GEARING" (key = the circuit's name in
// "CIRCUITS"). Each call points the store at the section right before it reads or writes; store
// errors pass on.
#pragma once

#include <optional>
#include <string>
#include <vector>

#include "qfstore/ini_file_handler.h"

namespace gearsheet::settings {

struct CircuitGearing {
    bool byEngineSpeed = false;  // the engine speed was read, not the road speed
    double roadSpeed = 0;        // as entered, in `unit`
    std::string unit = "mph";    // the unit the road speed was entered in: "mph" or "km/h"
    int gear = 6;                // 1 … 6
    double engineSpeed = 0;      // rpm
    int seenFront = 0;           // the sprockets it was seen on
    int seenRear = 0;
    double targetRpm = 0;  // the shift light; 0 for the planner's shift speed
    // The rear tyre it was seen on: its rolling circumference in inches and its name ("" when the
    // circumference was typed). No circumference in records from before it was kept.
    std::optional<double> circumference;
    std::string tyre;
};

// Nothing was seen (neither a road speed nor an engine speed): there is nothing to store.
bool NothingSeen(const CircuitGearing& gearing);

// The record's texts: how it was seen ("speed" or "rpm"), the road speed, its unit, the gear, the
// engine speed, the front and rear sprockets, the target engine speed, then (when known) the
// circumference and the tyre's name, which comes last: a name holding "|" takes several fields.
// Numbers use "." and the shortest text that reads back the same:
// speed|160|mph|6|0|16|45|15500|77.9|180/55ZR17.
std::vector<std::string> CircuitGearingFields(const CircuitGearing& gearing);

// A record read back from its texts; nothing when it is not one (too few fields, a number that is
// none). Eight fields are a record without its tyre.
std::optional<CircuitGearing> CircuitGearingFromFields(const std::vector<std::string>& fields);

// The record of `circuit`; nothing when there is none or it is not one this program writes.
std::optional<CircuitGearing> LoadCircuitGearing(qfstore::QfINIFileHandler& store,
                                                 const std::string& circuit);

// Writes `gearing` under `circuit`, or removes the circuit's record when nothing was seen.
void SaveCircuitGearing(qfstore::QfINIFileHandler& store, const std::string& circuit,
                        const CircuitGearing& gearing);

void DeleteCircuitGearing(qfstore::QfINIFileHandler& store, const std::string& circuit);

}  // namespace gearsheet::settings
