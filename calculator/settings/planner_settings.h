// The Gear Planner's inputs in the settings file's "PLANNER", each written when it changes.
#pragma once

#include <optional>
#include <string>

#include "qfstore/ini_file_handler.h"

namespace gearsheet::settings {

// Every field is nothing where the file holds no value of its kind: the page then shows its
// fallback. Numbers are whole, rounded half to even.
struct PlannerSettings {
    std::optional<int> front = std::nullopt;  // the proposed sprockets
    std::optional<int> rear = std::nullopt;
    std::optional<std::string> tyre =
        std::nullopt;  // the proposed tyre; "" for a typed circumference
    std::optional<std::string> circumference = std::nullopt;  // as typed or taken from the tyre
    std::optional<int> shiftSpeed = std::nullopt;             // rpm
    std::optional<int> speedOfInterestMph = std::nullopt;
    std::optional<int> speedOfInterestKmh = std::nullopt;
    std::optional<int> chainSize = std::nullopt;
    std::optional<int> chainLinks = std::nullopt;
};

PlannerSettings LoadPlanner(qfstore::QfINIFileHandler& store);

// Writes each field of `changed` that holds a value, in the order above; the other keys stay.
void SavePlanner(qfstore::QfINIFileHandler& store, const PlannerSettings& changed);

}  // namespace gearsheet::settings
