// Two sessions side by side: every field, whether it differs, and for numbers the signed
// difference of the second from the first.
#pragma once

#include <string>
#include <vector>

#include "sessions/session_fields.h"

namespace gearsheet {

struct ComparedField {
    std::string label;
    std::string first;
    std::string second;
    bool differs = false;
    std::string difference;  // "+2 clicks", "-0.412 s", "+2.2 %"; empty when none applies
};

// The fields of SessionFieldViews of both sessions, in that order. A field differs when its
// shown texts differ. A numeric field that differs gets second − first in its unit, rounded to
// its decimals; a suspension cell only where both begin with a number followed by the same unit
// word (or none); the final drive in % of the first.
std::vector<ComparedField> CompareSessions(const Session& first, const Session& second,
                                           const ShownUnits& units);

}  // namespace gearsheet
