#include "settings/planner_settings.h"

#include <climits>

#include "settings/section_values.h"

namespace gearsheet::settings {
namespace {

constexpr char kSection[] = "PLANNER";
constexpr char kFrontKey[] = "Front";
constexpr char kRearKey[] = "Rear";
constexpr char kTyreKey[] = "Tyre";
constexpr char kCircumferenceKey[] = "Circumference";
constexpr char kShiftKey[] = "ShiftSpeed";
constexpr char kSpeedMphKey[] = "SpeedOfInterestMph";
constexpr char kSpeedKmhKey[] = "SpeedOfInterestKmh";
constexpr char kChainKey[] = "ChainSize";
constexpr char kLinksKey[] = "ChainLinks";

std::optional<int> Whole(qfstore::QfINIFileHandler& store, const char* key) {
    return ReadWhole(store, kSection, key, INT_MIN, INT_MAX);
}

}  // namespace

PlannerSettings LoadPlanner(qfstore::QfINIFileHandler& store) {
    PlannerSettings s;
    s.front = Whole(store, kFrontKey);
    s.rear = Whole(store, kRearKey);
    s.tyre = ReadText(store, kSection, kTyreKey);
    s.circumference = ReadText(store, kSection, kCircumferenceKey);
    s.shiftSpeed = Whole(store, kShiftKey);
    s.speedOfInterestMph = Whole(store, kSpeedMphKey);
    s.speedOfInterestKmh = Whole(store, kSpeedKmhKey);
    s.chainSize = Whole(store, kChainKey);
    s.chainLinks = Whole(store, kLinksKey);
    return s;
}

void SavePlanner(qfstore::QfINIFileHandler& store, const PlannerSettings& changed) {
    WriteIfSet(store, kSection, kFrontKey, changed.front);
    WriteIfSet(store, kSection, kRearKey, changed.rear);
    WriteIfSet(store, kSection, kTyreKey, changed.tyre);
    WriteIfSet(store, kSection, kCircumferenceKey, changed.circumference);
    WriteIfSet(store, kSection, kShiftKey, changed.shiftSpeed);
    WriteIfSet(store, kSection, kSpeedMphKey, changed.speedOfInterestMph);
    WriteIfSet(store, kSection, kSpeedKmhKey, changed.speedOfInterestKmh);
    WriteIfSet(store, kSection, kChainKey, changed.chainSize);
    WriteIfSet(store, kSection, kLinksKey, changed.chainLinks);
}

}  // namespace gearsheet::settings
