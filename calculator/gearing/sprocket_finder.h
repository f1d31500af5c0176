// The sprockets that bring a circuit's longest straight to its end just under a target engine
// speed (the shift light), found from what the rider saw there on the circuit's own sprockets.
#pragma once

#include <cstddef>
#include <optional>
#include <vector>

#include "gearing/chain.h"
#include "gearing/gear_data.h"
#include "gearing/speed_unit.h"

namespace gearsheet {

// What the rider saw at the end of the longest straight: the road speed and the gear it was
// reached in, or the engine speed read there.
struct StraightObservation {
    bool byEngineSpeed = false;
    double roadSpeed = 0;  // in `unit`
    SpeedUnit unit = SpeedUnit::Mph;
    int gear = kGearCount;   // 1 … 6
    double engineSpeed = 0;  // rpm
};

// The engine speed at the end of the straight on the sprockets it was seen on. From a road speed:
// mph × 1056 ÷ circumference × primary × gear ratio × rear ÷ front (1056 inches a minute is one
// mile an hour). Nothing when a figure it needs is not above zero or the gear is not 1 … 6.
std::optional<double> ObservedEngineSpeed(const GearData& gears, const StraightObservation& seen,
                                          int front, int rear, double circumference);

// The engine speed at the same road speed on `front`/`rear` instead: the wheel turns as before,
// the engine faster by the ratio of the final drives.
double EngineSpeedOn(double observedRpm, int observedFront, int observedRear, int front, int rear);

// The sprockets the rider can fit, inclusive.
struct SprocketRanges {
    int frontLow = 13;
    int frontHigh = 18;
    int rearLow = 38;
    int rearHigh = 52;
};

struct SprocketChoice {
    int front = 0;
    int rear = 0;
    double finalDrive = 0;     // rear ÷ front
    double percentChange = 0;  // of the final drive against the circuit's
    double engineSpeed = 0;    // at the end of the straight
    double gap = 0;            // below the target, never negative
    std::optional<chain::ChainChange>
        chain;  // on the planner's chain; nothing when it does not fit
};

// How far the axle adjuster lets the rear axle go from where it is now, in mm.
struct AxleTravel {
    double forwardMm = 20;
    double backMm = 20;
};

// The pairs of `ranges` that bring the end of the straight closest to `targetRpm` without passing
// it, closest first; equal gaps (equal final drives) put the pair with fewer teeth changed from
// the circuit's first, then the smaller front. At most `count` pairs. With a `travel`, pairs that
// need a longer chain or an axle move beyond it are left out and counted in `leftOut`.
std::vector<SprocketChoice> FindSprockets(double observedRpm, int front, int rear, double targetRpm,
                                          const SprocketRanges& ranges, int chainSize,
                                          double chainLinks, std::size_t count = 10,
                                          const std::optional<AxleTravel>& travel = std::nullopt,
                                          std::size_t* leftOut = nullptr);

}  // namespace gearsheet
