// A session's fields as the rider reads them, in one order for the comparison, the printed sheet
// and the CSV export: a label, the shown text and, for numeric fields, the number in the shown
// unit.
#pragma once

#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "sessions/session.h"

namespace gearsheet {

// How numbers and dates are shown: the units chosen for the program, the locale's decimal
// separator and date form (an ISO 8601 date in, the shown text out; as stored when empty).
struct ShownUnits {
    PressureUnit pressure = PressureUnit::kBar;
    SpeedUnit speed = SpeedUnit::Mph;
    std::string decimalPoint = ".";
    std::function<std::string(const std::string& isoDate)> dateText = {};
};

struct FieldView {
    std::string label = {};             // "Air temperature (°C)", "Rebound: REAR"
    std::string text = {};              // as shown
    std::optional<double> number = {};  // in the shown unit, unrounded; nothing for text
    std::string unit = {};              // of a difference: "°C", "s", "clicks", "" …
    int decimals = 0;                   // a difference is rounded to these
    bool relative = false;              // a difference is given in % (the final drive)
    bool freeText = false;              // typed text, exported as it is
};

// Every field of `session`: circuit, date, name, weather, temperatures, tyres, the four
// pressures, laps, best lap, top speed, gear, engine speed, sprockets, final drive, the 20
// suspension cells (front rows, then rear rows) and the notes.
std::vector<FieldView> SessionFieldViews(const Session& session, const ShownUnits& units);

// The number a suspension cell begins with and the word after it: "12 clicks" gives 12 and
// "clicks", "-1.5" gives -1.5 and "", "1,5 turns" gives 1.5 and "turns"; nothing when the cell
// does not begin with a number or more than one word follows.
struct CellNumber {
    double value;
    std::string unit;
    int decimals;
};
std::optional<CellNumber> ParseCellNumber(const std::string& cell);

// `value` with "." and at most `decimals` decimals, no trailing zeros, shown with
// `decimalPoint`.
std::string ShownNumber(double value, int decimals, const std::string& decimalPoint);

}  // namespace gearsheet
