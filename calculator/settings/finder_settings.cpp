#include "settings/finder_settings.h"

#include <climits>

#include "settings/section_values.h"

namespace gearsheet::settings {
namespace {

constexpr char kSection[] = "SPROCKET_FINDER";
constexpr char kFrontLowKey[] = "FrontLow";
constexpr char kFrontHighKey[] = "FrontHigh";
constexpr char kRearLowKey[] = "RearLow";
constexpr char kRearHighKey[] = "RearHigh";

}  // namespace

FinderSettings LoadFinder(qfstore::QfINIFileHandler& store) {
    return {ReadWhole(store, kSection, kFrontLowKey, INT_MIN, INT_MAX),
            ReadWhole(store, kSection, kFrontHighKey, INT_MIN, INT_MAX),
            ReadWhole(store, kSection, kRearLowKey, INT_MIN, INT_MAX),
            ReadWhole(store, kSection, kRearHighKey, INT_MIN, INT_MAX)};
}

void SaveFinder(qfstore::QfINIFileHandler& store, const FinderSettings& changed) {
    WriteIfSet(store, kSection, kFrontLowKey, changed.frontLow);
    WriteIfSet(store, kSection, kFrontHighKey, changed.frontHigh);
    WriteIfSet(store, kSection, kRearLowKey, changed.rearLow);
    WriteIfSet(store, kSection, kRearHighKey, changed.rearHigh);
}

}  // namespace gearsheet::settings
