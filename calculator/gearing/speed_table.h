// Road speed in every gear at sixteen engine speeds.
#pragma once

#include <functional>

#include "gearing/gear_data.h"
#include "gearing/speed_unit.h"

namespace gearsheet {

inline constexpr int kSpeedRows = 16;

// Engine speed of table row 1 … 16 in revolutions per minute: row × 1000, except 15500 for row 16.
double EngineSpeed(int row);

// Receives one rounded speed: row 1 … 16, gear 1 … 6, in the table's unit.
using SpeedConsumer = std::function<void(int row, int gear, double speed)>;

// The road speed in miles per hour, unrounded, in `gear` (1 … 6) at `rpm`:
// rpm ÷ initial reduction ÷ (rear ÷ front) × circumference × 60 ÷ 12 ÷ 5280 ÷ gear ratio, strictly
// left to right. Fails as a cell of the table does (error 11 or 6), except for the 16-bit limit.
double UnroundedSpeed(const GearData& gears, int gear, double rpm, double frontSprocket,
                      double rearSprocket, double circumference);

// Computes the speed in miles per hour for every row and gear, rounded to hundredths (halves to
// even), and hands each cell to `deliver` in row order (row 1 gears 1 … 6, then row 2, …).
// Sprockets are in teeth, the tyre's rolling circumference in inches. The first cell that fails
// stops the table with qfstore::Error from "Gearsheet", cells already delivered standing: 11
// "Division by zero" for a zero divisor, 6 "Overflow" for 0 ÷ 0 or a speed outside
// -327.68 … 327.67 after rounding. A zero circumference gives zeros; negative inputs give
// negative speeds. In km/h each cell is the unrounded speed × 1.609344, rounded to hundredths,
// after the same checks as in mph: the km/h table fails exactly where the mph one does.
void SpeedTable(const GearData& gears, double frontSprocket, double rearSprocket,
                double circumference, const SpeedConsumer& deliver,
                SpeedUnit unit = SpeedUnit::Mph);

}  // namespace gearsheet
