#include "gearing/speed_unit.h"

#include <cmath>

namespace gearsheet {

std::string_view UnitName(SpeedUnit unit) {
    return unit == SpeedUnit::Kmh ? "km/h" : "mph";
}

SpeedUnit UnitFromName(std::string_view name) {
    return name == "km/h" ? SpeedUnit::Kmh : SpeedUnit::Mph;
}

double RoundHundredths(double value) {
    return std::nearbyint(value * 100) / 100;  // default rounding mode: half to even
}

double ShownSpeed(double unroundedMph, SpeedUnit unit) {
    return RoundHundredths(unit == SpeedUnit::Kmh ? unroundedMph * kKilometresPerMile
                                                  : unroundedMph);
}

double ToMph(double speed, SpeedUnit unit) {
    return unit == SpeedUnit::Kmh ? speed / kKilometresPerMile : speed;
}

}  // namespace gearsheet
