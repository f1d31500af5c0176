// Suspension sag from three lengths measured at one end of the bike (axle to a fixed mark above
// it): topped out (wheel off the ground), on the bike's own weight, and with the rider on.
#pragma once

#include <string>
#include <variant>

namespace gearsheet {

struct SagLengths {
    double toppedOut = 0;  // mm
    double ownWeight = 0;
    double riderOn = 0;
};

struct Sag {
    double staticSag = 0;  // topped out − own weight, mm
    double loadedSag = 0;  // topped out − rider on, mm
};

// The static and loaded sag, or why the lengths cannot be right: a length below zero, or one that
// grows under more load (own weight longer than topped out, rider on longer than own weight).
std::variant<Sag, std::string> ComputeSag(const SagLengths& lengths);

}  // namespace gearsheet
