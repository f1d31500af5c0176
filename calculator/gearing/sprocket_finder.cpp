#include "gearing/sprocket_finder.h"

#include <algorithm>
#include <cstdlib>

#include "gearing/planner.h"

namespace gearsheet {

std::optional<double> ObservedEngineSpeed(const GearData& gears, const StraightObservation& seen,
                                          int front, int rear, double circumference) {
    if (front <= 0 || rear <= 0)
        return std::nullopt;
    if (seen.byEngineSpeed)
        return seen.engineSpeed > 0 ? std::optional<double>(seen.engineSpeed) : std::nullopt;
    if (seen.gear < 1 || seen.gear > kGearCount || seen.roadSpeed <= 0 || circumference <= 0 ||
        gears.initialReduction <= 0)
        return std::nullopt;
    const double ratio = gears.ratios[static_cast<std::size_t>(seen.gear - 1)];
    if (ratio <= 0)
        return std::nullopt;
    return ToMph(seen.roadSpeed, seen.unit) * 1056 / circumference * gears.initialReduction *
           ratio * rear / front;
}

double EngineSpeedOn(double observedRpm, int observedFront, int observedRear, int front, int rear) {
    // Whole-number products first: the circuit's own pair gives back exactly what was seen.
    return observedRpm * static_cast<double>(rear * observedFront) /
           static_cast<double>(front * observedRear);
}

std::vector<SprocketChoice> FindSprockets(double observedRpm, int front, int rear, double targetRpm,
                                          const SprocketRanges& ranges, int chainSize,
                                          double chainLinks, std::size_t count,
                                          const std::optional<AxleTravel>& travel,
                                          std::size_t* leftOut) {
    std::vector<SprocketChoice> choices;
    std::size_t beyond = 0;
    if (observedRpm <= 0 || front <= 0 || rear <= 0)
        return choices;
    const double current = static_cast<double>(rear) / front;
    for (int f = std::max(1, ranges.frontLow); f <= ranges.frontHigh; ++f) {
        for (int r = std::max(1, ranges.rearLow); r <= ranges.rearHigh; ++r) {
            const double rpm = EngineSpeedOn(observedRpm, front, rear, f, r);
            // The last bits of a division do not make a pair that lands on the target pass it.
            if (rpm > targetRpm * (1 + 1e-12))
                continue;
            SprocketChoice c;
            c.front = f;
            c.rear = r;
            c.finalDrive = static_cast<double>(r) / f;
            c.percentChange = PercentChange(current, c.finalDrive);
            c.engineSpeed = rpm;
            c.gap = std::max(0.0, targetRpm - rpm);
            if (travel) {
                // Forwards is a negative move: the chain of the new pair is shorter.
                c.chain = chain::ChangeSprockets(chainSize, chainLinks, front, rear, f, r);
                const auto move = c.chain ? c.chain->axleMoveMm : std::nullopt;
                if (!move || *move < -travel->forwardMm || *move > travel->backMm) {
                    ++beyond;
                    continue;
                }
            }
            choices.push_back(c);
        }
    }
    const auto teethChanged = [&](const SprocketChoice& c) {
        return std::abs(c.front - front) + std::abs(c.rear - rear);
    };
    std::sort(choices.begin(), choices.end(),
              [&](const SprocketChoice& a, const SprocketChoice& b) {
                  // Equal final drives give equal engine speeds to the last bit: the products are
                  // exact.
                  if (a.front * b.rear != b.front * a.rear)
                      return a.gap < b.gap;
                  if (teethChanged(a) != teethChanged(b))
                      return teethChanged(a) < teethChanged(b);
                  return a.front < b.front;
              });
    if (choices.size() > count)
        choices.resize(count);
    if (!travel)
        for (SprocketChoice& c : choices)
            c.chain = chain::ChangeSprockets(chainSize, chainLinks, front, rear, c.front, c.rear);
    if (leftOut)
        *leftOut = beyond;
    return choices;
}

}  // namespace gearsheet
