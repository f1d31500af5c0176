#include "gearing/stuff.h"

#include <string>

#include "qfstore/conversions.h"
#include "qfstore/error.h"
#include "qfstore/variant.h"
#include "settings/settings_file.h"

namespace gearsheet::Stuff {

namespace {

// A hand-maintained number: no built-in default, so an absent key comes back as the
// missing-argument marker and fails the conversion with a type mismatch.
double ReadNumber(qfstore::QfINIFileHandler& store, const char* key) {
    const qfstore::Variant value =
        store.GetValue(key, settings::kArrayDelimiter, true, true, qfstore::Variant::Missing());
    return qfstore::ToDouble(value, kComponentName);
}

}  // namespace

GearData& Gears() {
    static GearData gears;
    return gears;
}

void InitializeGears(qfstore::QfINIFileHandler& store, GearData& gears) {
    qfstore::PassOn("InitializeGears", kComponentName, [&] {
        store.Section(settings::kGearsSection);
        for (std::size_t k = 0; k < gears.ratios.size(); ++k) {
            gears.ratios[k] = ReadNumber(store, settings::kGearKeys[k]);
        }
    });
}

void InitalizeReductions(qfstore::QfINIFileHandler& store, GearData& gears) {
    qfstore::PassOn("InitalizeReductions", kComponentName, [&] {
        store.Section(settings::kReductionsSection);
        gears.initialReduction = ReadNumber(store, settings::kInitialReductionKey);
    });
}

}  // namespace gearsheet::Stuff
