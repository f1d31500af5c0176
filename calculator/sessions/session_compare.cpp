#include "sessions/session_compare.h"

#include <cctype>
#include <cmath>

namespace gearsheet {
namespace {

bool SameUnit(const std::string& a, const std::string& b) {
    if (a.size() != b.size())
        return false;
    for (size_t i = 0; i < a.size(); ++i)
        if (std::tolower(static_cast<unsigned char>(a[i])) !=
            std::tolower(static_cast<unsigned char>(b[i])))
            return false;
    return true;
}

std::string Difference(const FieldView& a, const FieldView& b, const std::string& decimalPoint) {
    if (!a.number || !b.number || !SameUnit(a.unit, b.unit))
        return {};
    double value = *b.number - *a.number;
    int decimals = std::max(a.decimals, b.decimals);
    if (a.relative) {
        if (*a.number == 0)
            return {};
        value = value / *a.number * 100;
        decimals = 1;
    }
    const std::string shown = ShownNumber(value, decimals, decimalPoint);
    std::string text = shown == "0" || shown.front() == '-' ? shown : "+" + shown;
    if (!a.unit.empty())
        text += " " + a.unit;
    return text;
}

}  // namespace

std::vector<ComparedField> CompareSessions(const Session& first, const Session& second,
                                           const ShownUnits& units) {
    const std::vector<FieldView> a = SessionFieldViews(first, units);
    const std::vector<FieldView> b = SessionFieldViews(second, units);
    std::vector<ComparedField> rows;
    rows.reserve(a.size());
    for (size_t i = 0; i < a.size() && i < b.size(); ++i) {
        ComparedField row;
        row.label = a[i].label;
        row.first = a[i].text;
        row.second = b[i].text;
        row.differs = a[i].text != b[i].text;
        if (row.differs)
            row.difference = Difference(a[i], b[i], units.decimalPoint);
        rows.push_back(std::move(row));
    }
    return rows;
}

}  // namespace gearsheet
