// What the number boxes of the planner and the gearing group take for engine and road speeds,
// the same on both pages.
#pragma once

namespace gearsheet {

inline constexpr int kLowestShiftRpm = 1000;
inline constexpr int kHighestRpm = 30000;
inline constexpr int kShiftRpmStep = 250;
// Road speed in the unit shown, mph or km/h.
inline constexpr int kHighestRoadSpeed = 999;

}  // namespace gearsheet
