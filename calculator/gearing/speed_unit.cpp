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
    return RoundHundredths(FromMph(unroundedMph, unit));
}

double FromMph(double mph, SpeedUnit unit) {
    return unit == SpeedUnit::Kmh ? mph * kKilometresPerMile : mph;
}

double ToMph(double speed, SpeedUnit unit) {
    return unit == SpeedUnit::Kmh ? speed / kKilometresPerMile : speed;
}

}  // namespace gearsheet
