#include "pages/speed_unit_choice.h"

#include <string>

#include "qfstore/error.h"
#include "settings/settings_file.h"
#include "window/settings_store.h"

namespace gearsheet {

SpeedUnit SpeedUnitChoice::Get() {
    if (read_)
        return unit_;
    try {
        qfstore::QfINIFileHandler& store = store_.Get();
        store.Section(settings::kDisplaySection);
        unit_ = UnitFromName(
            StoredText(store, settings::kSpeedUnitKey, std::string(UnitName(SpeedUnit::Mph))));
        read_ = true;
    } catch (const qfstore::Error&) {
        // The store's fault shows in the operations that need it.
    }
    return unit_;
}

void SpeedUnitChoice::Set(SpeedUnit unit) {
    unit_ = unit;
    read_ = true;
    qfstore::QfINIFileHandler& store = store_.Get();
    store.Section(settings::kDisplaySection);
    store.SetValue(settings::kSpeedUnitKey, qfstore::Variant(std::string(UnitName(unit))),
                   settings::kArrayDelimiter);
}

}  // namespace gearsheet
