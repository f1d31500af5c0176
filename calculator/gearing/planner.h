// The Gear Planner's figures for one setup: final drive, overall ratios, road speed at the shift
// speed, engine speed at a road speed of interest and the engine speed lost at each upshift.
#pragma once

#include <array>

#include "gearing/gear_data.h"
#include "gearing/speed_unit.h"

namespace gearsheet {

// Sprockets in teeth, the rear tyre's rolling circumference in inches.
struct Setup {
    double frontSprocket = 0;
    double rearSprocket = 0;
    double circumference = 0;
};

// The engine speed of each upshift unless the rider sets another, in rpm.
inline constexpr int kDefaultShiftSpeed = 15500;

// What both setups are compared at: the engine speed of each upshift (rpm) and a road speed of
// interest in `unit`.
struct PlannerTargets {
    double shiftRpm = kDefaultShiftSpeed;
    double speedOfInterest = 100;
    SpeedUnit unit = SpeedUnit::Mph;
};

struct SetupFigures {
    double finalDrive = 0;                          // rear ÷ front
    std::array<double, kGearCount> overallRatio{};  // primary × gear × final drive
    std::array<double, kGearCount> speedAtShift{};  // in the targets' unit, unrounded
    std::array<double, kGearCount> rpmAtSpeed{};    // engine speed at the speed of interest
    std::array<double, kGearCount - 1> rpmDrop{};   // upshift from gear g + 1 to g + 2
};

// True when the gear data and the setup have every figure above zero, so that every quotient
// of the planner is defined.
bool Plannable(const GearData& gears, const Setup& setup);

// The figures of a plannable setup.
SetupFigures Figures(const GearData& gears, const Setup& setup, const PlannerTargets& targets);

// The change from `current` to `proposed` in per cent of `current`.
double PercentChange(double current, double proposed);

}  // namespace gearsheet
