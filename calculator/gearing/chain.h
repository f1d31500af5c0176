// Drive chain length and sprocket centre distance.
#pragma once

#include <optional>

namespace gearsheet::chain {

// The chain sizes offered, by their usual number (the first digit is the pitch in eighths of an
// inch).
inline constexpr int kSizes[] = {415, 420, 428, 520, 525, 530, 630};
// The chain assumed until the rider gives another.
inline constexpr int kDefaultSize = 520;
inline constexpr int kDefaultLinks = 112;

// The pitch of a chain size in millimetres: 520 gives 15.875.
double PitchMm(int size);

// Links (pitches) of chain that sprockets of `front` and `rear` teeth need at a centre distance of
// `centreMm`, unrounded.
double Links(double pitchMm, int front, int rear, double centreMm);

// The centre distance in mm at which a chain of `links` fits the sprockets; nothing when the chain
// is too short to go round them.
std::optional<double> CentreDistance(double pitchMm, int front, int rear, double links);

// The smallest even number of links not below `links` (a chain joins an outer to an inner link).
int EvenLinks(double links);

// A change of sprockets, the chain and the rear axle staying where they are, or not.
struct ChainChange {
    double currentCentreMm = 0;        // the current sprockets on the current chain
    double linksNeeded = 0;            // the proposed sprockets at that centre distance, unrounded
    int evenLinks = 0;                 // the same, rounded up to an even number
    std::optional<double> axleMoveMm;  // proposed on the current chain; + is rearwards
};

// Nothing when the current chain does not go round the current sprockets.
std::optional<ChainChange> ChangeSprockets(int size, double links, int currentFront,
                                           int currentRear, int proposedFront, int proposedRear);

}  // namespace gearsheet::chain
