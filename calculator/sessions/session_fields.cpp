#include "sessions/session_fields.h"

#include <cctype>
#include <cstdio>

#include "gearing/speed_unit.h"

namespace gearsheet {
namespace {

constexpr const char* kTemperatureUnit = "\u00b0C";

std::string Blank(std::string_view text) {
    const auto blank = [](char c) { return c == ' ' || c == '\t'; };
    while (!text.empty() && blank(text.front())) text.remove_prefix(1);
    while (!text.empty() && blank(text.back())) text.remove_suffix(1);
    return std::string(text);
}

class Views {
  public:
    explicit Views(const ShownUnits& units) : units_(units) {}

    void Text(std::string label, std::string text, bool freeText = false) {
        FieldView v{std::move(label), std::move(text)};
        v.freeText = freeText;
        views_.push_back(std::move(v));
    }

    void Number(std::string label, const std::optional<double>& value, int decimals,
                std::string unit) {
        FieldView v{std::move(label)};
        if (value)
            v.text = ShownNumber(*value, decimals, units_.decimalPoint);
        v.number = value;
        v.unit = std::move(unit);
        v.decimals = decimals;
        views_.push_back(std::move(v));
    }

    void Cell(std::string label, const std::string& cell) {
        FieldView v{std::move(label), cell};
        v.freeText = true;
        if (const std::optional<CellNumber> n = ParseCellNumber(cell)) {
            v.number = n->value;
            v.unit = n->unit;
            v.decimals = n->decimals;
        }
        views_.push_back(std::move(v));
    }

    // The last field's difference is given in % of the first session's.
    void Relative() { views_.back().relative = true; }

    // The last field reads as `text` (its number stays as it was).
    void ShowAs(std::string text) { views_.back().text = std::move(text); }

    std::vector<FieldView> Take() { return std::move(views_); }

  private:
    const ShownUnits& units_;
    std::vector<FieldView> views_;
};

std::optional<double> Converted(const std::optional<double>& value, PressureUnit from,
                                PressureUnit to) {
    return value ? std::optional(ConvertPressure(*value, from, to)) : std::nullopt;
}

std::optional<double> Whole(const std::optional<int>& value) {
    return value ? std::optional<double>(*value) : std::nullopt;
}

void Pressures(Views& views, const Session& s, PressureUnit shown) {
    const std::string unit = PressureUnitName(shown);
    const int decimals = shown == PressureUnit::kBar ? 2 : 1;
    const auto add = [&](const char* which, const std::optional<double>& value) {
        views.Number(std::string(which) + " (" + unit + ")",
                     Converted(value, s.pressureUnit, shown), decimals, unit);
    };
    add("Cold pressure front", s.coldFront);
    add("Cold pressure rear", s.coldRear);
    add("Hot pressure front", s.hotFront);
    add("Hot pressure rear", s.hotRear);
}

void Results(Views& views, const Session& s, const ShownUnits& units) {
    views.Number("Laps", Whole(s.laps), 0, "laps");
    std::optional<double> lapSeconds;
    if (s.bestLapMs)
        lapSeconds = static_cast<double>(*s.bestLapMs) / 1000;
    views.Number("Best lap (s)", lapSeconds, 3, "s");
    if (s.bestLapMs)
        views.ShowAs(LapTimeText(*s.bestLapMs, units.decimalPoint));
    const std::string speedUnit(UnitName(units.speed));
    std::optional<double> top;
    if (s.topSpeed)
        top = FromMph(ToMph(*s.topSpeed, s.speedUnit), units.speed);
    views.Number("Top speed (" + speedUnit + ")", top, 1, speedUnit);
    views.Number("Gear at the end of the straight", Whole(s.gear), 0, "");
    views.Number("Engine speed there (rpm)", s.engineSpeed, 0, "rpm");
}

void Sprockets(Views& views, const Session& s) {
    const std::optional<CellNumber> front = ParseCellNumber(s.frontSprocket);
    const std::optional<CellNumber> rear = ParseCellNumber(s.rearSprocket);
    views.Cell("Front sprocket", s.frontSprocket);
    views.Cell("Rear sprocket", s.rearSprocket);
    std::optional<double> finalDrive;
    if (front && rear && front->value > 0 && rear->value > 0)
        finalDrive = rear->value / front->value;
    views.Number("Final drive", finalDrive, 3, "%");
    views.Relative();
}

}  // namespace

std::vector<FieldView> SessionFieldViews(const Session& s, const ShownUnits& units) {
    Views views(units);
    views.Text("Circuit", s.circuit, true);
    views.Text("Date", units.dateText && !s.date.empty() ? units.dateText(s.date) : s.date);
    views.Text("Session", s.name, true);
    views.Text("Weather", WeatherWord(s.weather));
    const std::string celsius = std::string(" (") + kTemperatureUnit + ")";
    views.Number("Air temperature" + celsius, s.airTemperature, 1, kTemperatureUnit);
    views.Number("Track temperature" + celsius, s.trackTemperature, 1, kTemperatureUnit);
    views.Text("Front tyre", s.frontTyre, true);
    views.Text("Rear tyre", s.rearTyre, true);
    Pressures(views, s, units.pressure);
    Results(views, s, units);
    Sprockets(views, s);
    for (const char* column : {"FRONT", "REAR"}) {
        const SuspensionColumn& cells = std::string(column) == "FRONT" ? s.front : s.rear;
        for (int r = 0; r < kSessionSuspensionRows; ++r) {
            const auto at = static_cast<size_t>(r);
            views.Cell(s.rowNames[at] + " " + column, cells[at]);
        }
    }
    views.Text("Notes", s.notes, true);
    return views.Take();
}

std::optional<CellNumber> ParseCellNumber(const std::string& cell) {
    const std::string text = Blank(cell);
    size_t i = 0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        ++i;
    const size_t digitsFrom = i;
    while (i < text.size() && std::isdigit(static_cast<unsigned char>(text[i]))) ++i;
    if (i == digitsFrom)
        return std::nullopt;
    int decimals = 0;
    if (i + 1 < text.size() && (text[i] == '.' || text[i] == ',') &&
        std::isdigit(static_cast<unsigned char>(text[i + 1]))) {
        for (++i; i < text.size() && std::isdigit(static_cast<unsigned char>(text[i])); ++i)
            ++decimals;
    }
    std::string number = text.substr(0, i);
    for (char& c : number)
        if (c == ',')
            c = '.';
    if (number.front() == '+')
        number.erase(0, 1);
    const std::string unit = Blank(std::string_view(text).substr(i));
    if (unit.find_first_of(" \t0123456789") != std::string::npos)
        return std::nullopt;
    const std::optional<double> value = ParseNumber(number);
    if (!value)
        return std::nullopt;
    return CellNumber{*value, unit, decimals};
}

std::string ShownNumber(double value, int decimals, const std::string& decimalPoint) {
    char text[64];
    std::snprintf(text, sizeof text, "%.*f", decimals, value);
    std::string shown = text;
    if (shown.find('.') != std::string::npos) {
        while (shown.back() == '0') shown.pop_back();
        if (shown.back() == '.')
            shown.pop_back();
    }
    if (shown == "-0")
        shown = "0";
    const size_t point = shown.find('.');
    if (point != std::string::npos)
        shown.replace(point, 1, decimalPoint);
    return shown;
}

}  // namespace gearsheet
