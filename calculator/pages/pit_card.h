// The pit card's texts gathered from a circuit's record and the rider's setup; the chart module
// lays the card out and prints it (chart_module/chart_loader.h).
#pragma once

#include <QString>

#include "chart_module/chart_module.h"
#include "gearing/speed_unit.h"

namespace gearsheet {

struct CircuitRecord;
struct GearData;

// The card of the circuit stored as `circuit` with `record`: the rider's tyre and circumference
// text, the speed table for the record's sprockets in `unit` and the chart up to `shiftRpm`.
PitCard GatherPitCard(const QString& circuit, const CircuitRecord& record, const GearData& gears,
                      SpeedUnit unit, const QString& tyre, const QString& circumference,
                      double shiftRpm);

}  // namespace gearsheet
