// What the planner's chart is drawn from, without drawing it: axes with round ticks that follow the
// data, and the upshift drops as lines that run across from one gear's line to the next.
#pragma once

#include <optional>
#include <vector>

#include "gearing/planner.h"

namespace gearsheet {

// An axis from 0 to `top` with a tick every `interval` (1, 2, 2.5 or 5 times a power of ten).
struct AxisScale {
    double top = 0;
    double interval = 0;
};

// The axis that holds values up to `highest` in at most `mostTicks` round intervals; the same
// data always gives the same axis. Nothing for a `highest` that is no finite number from 0.01
// to 1 000 000, which no chart of road or engine speeds shows.
std::optional<AxisScale> NiceScale(double highest, int mostTicks = 8);

// One upshift: at `speed`, from the shift speed in gear g down to the engine speed on gear g + 1.
struct ShiftDrop {
    double fromRpm = 0;
    double toRpm = 0;
    double speed = 0;
};

// The five upshifts of `figures` at `shiftRpm`, gear 1 to 2 first. Each runs level at the road
// speed of the shift, so that it crosses no gear's line and covers none.
std::vector<ShiftDrop> ShiftDrops(const SetupFigures& figures, double shiftRpm);

}  // namespace gearsheet
