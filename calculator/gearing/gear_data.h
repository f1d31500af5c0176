// The motorcycle's gearbox data, shared by the loaders and the speed table.
#pragma once

#include <array>

namespace gearsheet {

// Name of the program as the first line of the call stack of errors it raises.
inline constexpr char kComponentName[] = "Gearsheet";

inline constexpr int kGearCount = 6;
// The gears as the pages name them.
inline constexpr const char* kGearNames[kGearCount] = {"1st", "2nd", "3rd", "4th", "5th", "6th"};

// Six gearbox ratios (ratios[0] is gear 1) and the initial (primary) reduction by which the engine
// speed is divided before the sprockets; all zero until loaded from the settings file.
struct GearData {
    std::array<double, kGearCount> ratios{};
    double initialReduction = 0;
};

}  // namespace gearsheet
