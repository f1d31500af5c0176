#include "gearing/chain.h"

#include <cmath>
#include <numbers>

namespace gearsheet::chain {

double PitchMm(int size) {
    const int eighths = size / 100;  // a 520 chain has a pitch of 5/8 inch
    return eighths * 25.4 / 8;
}

// The standard chain-length approximation, in pitches:
//   L = 2C/p + (N1 + N2)/2 + ((N2 − N1) / 2π)² × p/C
// for centre distance C, pitch p and sprockets of N1 and N2 teeth.
double Links(double pitchMm, int front, int rear, double centreMm) {
    const double spread = (rear - front) / (2 * std::numbers::pi);
    return 2 * centreMm / pitchMm + (front + rear) / 2.0 + spread * spread * pitchMm / centreMm;
}

std::optional<double> CentreDistance(double pitchMm, int front, int rear, double links) {
    // L(C) falls to its minimum at C = p × |N2 − N1| / (2π√2) and rises beyond it; the chain
    // length is solved there by bisection. The sprockets' pitch circles (diameter p ÷ sin(π/N))
    // must not overlap.
    const double spread = std::abs(rear - front) / (2 * std::numbers::pi);
    const double pitchRadii = pitchMm / (2 * std::sin(std::numbers::pi / front)) +
                              pitchMm / (2 * std::sin(std::numbers::pi / rear));
    double low = std::max(pitchMm * spread / std::sqrt(2.0), pitchRadii);
    if (Links(pitchMm, front, rear, low) > links)
        return std::nullopt;
    double high = links * pitchMm / 2;  // L(C) ≥ 2C/p, so C is below this
    for (int i = 0; i < 200 && high - low > 1e-9; ++i) {
        const double middle = (low + high) / 2;
        (Links(pitchMm, front, rear, middle) < links ? low : high) = middle;
    }
    return (low + high) / 2;
}

int EvenLinks(double links) {
    // A length that is whole but for the solver's last bits counts as whole.
    const int whole = static_cast<int>(std::ceil(links - 1e-6));
    return whole % 2 == 0 ? whole : whole + 1;
}

std::optional<ChainChange> ChangeSprockets(int size, double links, int currentFront,
                                           int currentRear, int proposedFront, int proposedRear) {
    const double pitch = PitchMm(size);
    const auto centre = CentreDistance(pitch, currentFront, currentRear, links);
    if (!centre)
        return std::nullopt;
    ChainChange change;
    change.currentCentreMm = *centre;
    change.linksNeeded = Links(pitch, proposedFront, proposedRear, *centre);
    change.evenLinks = EvenLinks(change.linksNeeded);
    if (const auto moved = CentreDistance(pitch, proposedFront, proposedRear, links))
        change.axleMoveMm = *moved - *centre;
    return change;
}

}  // namespace gearsheet::chain
