#include "gearing/tyre_size.h"

#include <cmath>
#include <numbers>
#include <regex>
#include <string>

namespace gearsheet {

std::optional<TyreSize> FindTyreSize(std::string_view text) {
    // Width of 2 or 3 digits, "/", an aspect ratio of 2 or 3 digits, then the construction (ZR, R,
    // B, D or "-", blanks allowed around it) and a rim of 1 or 2 digits; no digit may run on at
    // either end.
    static const std::regex kSize(
        R"((?:^|[^0-9])([0-9]{2,3}) ?/ ?([0-9]{2,3})(?![0-9]) *(?:ZR|R|B|D|-)? *([0-9]{1,2})(?![0-9.]))",
        std::regex::ECMAScript | std::regex::icase);
    std::match_results<std::string_view::const_iterator> m;
    if (!std::regex_search(text.begin(), text.end(), m, kSize))
        return std::nullopt;
    const TyreSize size{std::stoi(m[1].str()), std::stoi(m[2].str()), std::stoi(m[3].str())};
    const auto within = [](int value, const TyreSize::Range& range) {
        return value >= range.low && value <= range.high;
    };
    if (!within(size.widthMm, TyreSize::kWidthsMm) || !within(size.aspect, TyreSize::kAspects) ||
        !within(size.rimInches, TyreSize::kRimsInches))
        return std::nullopt;
    return size;
}

double CircumferenceInches(const TyreSize& size) {
    const double diameterMm = size.rimInches * 25.4 + 2.0 * size.widthMm * size.aspect / 100;
    return std::nearbyint(std::numbers::pi * diameterMm / 25.4 * 10) / 10;
}

}  // namespace gearsheet
