#include "gearing/speed_table.h"

#include <cmath>
#include <cstdint>

#include "qfstore/conversions.h"
#include "qfstore/error.h"

namespace gearsheet {

namespace {

using qfstore::Error;

// Floating-point arithmetic with the checks of the classic run-time: a zero divisor is error 11
// (error 6 when the dividend is zero too), a result beyond the double range is error 6.
double Checked(double result) {
    if (!std::isfinite(result))
        throw Error::Runtime(qfstore::kErrOverflow, kComponentName);
    return result;
}

double Divide(double dividend, double divisor) {
    if (divisor == 0) {
        throw Error::Runtime(dividend == 0 ? qfstore::kErrOverflow : qfstore::kErrDivisionByZero,
                             kComponentName);
    }
    return Checked(dividend / divisor);
}

double Multiply(double a, double b) {
    return Checked(a * b);
}

}  // namespace

double EngineSpeed(int row) {
    return row == kSpeedRows ? 15.5 * 1000 : row * 1000.0;
}

double UnroundedSpeed(const GearData& gears, int gear, double rpm, double frontSprocket,
                      double rearSprocket, double circumference) {
    // Strictly left to right, the sprocket quotient formed first: the order fixes the last bits
    // of each speed and hence which side of a rounding half it falls.
    double speed = Divide(rpm, gears.initialReduction);
    speed = Divide(speed, Divide(rearSprocket, frontSprocket));
    speed = Multiply(speed, circumference);
    speed = Multiply(speed, 60);  // inches per hour
    speed = Divide(speed, 12);    // feet per hour
    speed = Divide(speed, 5280);  // miles per hour
    return Divide(speed, gears.ratios[static_cast<std::size_t>(gear - 1)]);
}

void SpeedTable(const GearData& gears, double frontSprocket, double rearSprocket,
                double circumference, const SpeedConsumer& deliver, SpeedUnit unit) {
    for (int row = 1; row <= kSpeedRows; ++row) {
        for (int gear = 1; gear <= kGearCount; ++gear) {
            const double speed = UnroundedSpeed(gears, gear, EngineSpeed(row), frontSprocket,
                                                rearSprocket, circumference);
            const int64_t hundredths =
                qfstore::RoundToRange(Multiply(speed, 100), INT16_MIN, INT16_MAX, kComponentName);
            deliver(row, gear,
                    unit == SpeedUnit::Mph ? static_cast<double>(hundredths) / 100
                                           : ShownSpeed(speed, unit));
        }
    }
}

}  // namespace gearsheet
