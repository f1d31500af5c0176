#include "gearing/sag.h"

namespace gearsheet {

std::variant<Sag, std::string> ComputeSag(const SagLengths& l) {
    if (l.toppedOut < 0 || l.ownWeight < 0 || l.riderOn < 0)
        return std::string("A length cannot be below zero.");
    if (l.ownWeight > l.toppedOut)
        return std::string(
            "The length on the bike's own weight is longer than topped out: the suspension "
            "cannot stretch under load. Measure both again.");
    if (l.riderOn > l.ownWeight)
        return std::string(
            "The length with the rider on is longer than on the bike's own weight: the "
            "suspension cannot stretch under load. Measure both again.");
    return Sag{l.toppedOut - l.ownWeight, l.toppedOut - l.riderOn};
}

}  // namespace gearsheet
