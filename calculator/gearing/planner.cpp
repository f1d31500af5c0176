#include "gearing/planner.h"

#include "gearing/speed_table.h"

namespace gearsheet {

bool Plannable(const GearData& gears, const Setup& setup) {
    bool positive = gears.initialReduction > 0 && setup.frontSprocket > 0 &&
                    setup.rearSprocket > 0 && setup.circumference > 0;
    for (double ratio : gears.ratios) positive = positive && ratio > 0;
    return positive;
}

SetupFigures Figures(const GearData& gears, const Setup& setup, const PlannerTargets& targets) {
    SetupFigures f;
    f.finalDrive = setup.rearSprocket / setup.frontSprocket;
    // Inches of road per wheel turn to miles per hour: × 60 minutes ÷ 63360 inches a mile.
    const double rpmPerMph = 63360.0 / 60 / setup.circumference;
    const double mphOfInterest = ToMph(targets.speedOfInterest, targets.unit);
    for (std::size_t g = 0; g < gears.ratios.size(); ++g) {
        f.overallRatio[g] = gears.initialReduction * gears.ratios[g] * f.finalDrive;
        // The speed table's own arithmetic, so that 15500 rpm agrees with its top row.
        const int gear = static_cast<int>(g) + 1;
        const double mph = UnroundedSpeed(gears, gear, targets.shiftRpm, setup.frontSprocket,
                                          setup.rearSprocket, setup.circumference);
        f.speedAtShift[g] = FromMph(mph, targets.unit);
        f.rpmAtSpeed[g] = mphOfInterest * rpmPerMph * f.overallRatio[g];
    }
    // The road speed stays while the ratio falls: the engine drops to shift × next ÷ this ratio.
    for (std::size_t g = 0; g < f.rpmDrop.size(); ++g)
        f.rpmDrop[g] = targets.shiftRpm * (1 - gears.ratios[g + 1] / gears.ratios[g]);
    return f;
}

double PercentChange(double current, double proposed) {
    return (proposed - current) / current * 100;
}

}  // namespace gearsheet
