// The unit road speeds are shown in: miles per hour (the calculation's own) or kilometres per hour.
#pragma once

#include <string_view>

namespace gearsheet {

enum class SpeedUnit { Mph, Kmh };

inline constexpr double kKilometresPerMile = 1.609344;

// The unit's name as shown and stored: "mph" or "km/h".
std::string_view UnitName(SpeedUnit unit);

// The unit a stored name stands for; mph for anything but "km/h".
SpeedUnit UnitFromName(std::string_view name);

// Rounds to hundredths, halves to the even neighbour.
double RoundHundredths(double value);

// A speed worked out in miles per hour, unrounded, shown in `unit` rounded to hundredths (halves to
// even). Never fails: km/h figures have no 16-bit limit.
double ShownSpeed(double unroundedMph, SpeedUnit unit);

// Miles per hour in `unit`, unrounded.
double FromMph(double mph, SpeedUnit unit);

// A speed given in `unit` as miles per hour.
double ToMph(double speed, SpeedUnit unit);

}  // namespace gearsheet
