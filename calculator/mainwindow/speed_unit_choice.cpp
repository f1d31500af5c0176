#include "speed_unit_choice.h"

#include <string>

#include "gearing/settings_file.h"
#include "settings_store.h"

namespace gearsheet {

void SpeedUnitChoice::Load() {
    qfstore::QfINIFileHandler& store = store_.Get();
    store.Section(settings::kDisplaySection);
    const qfstore::Variant name =
        store.GetValue(settings::kSpeedUnitKey, settings::kArrayDelimiter, false, false,
                       qfstore::Variant(std::string(UnitName(SpeedUnit::Mph))));
    unit_ =
        name.Type() == qfstore::VarType::String ? UnitFromName(name.AsString()) : SpeedUnit::Mph;
}

void SpeedUnitChoice::Set(SpeedUnit unit) {
    unit_ = unit;
    qfstore::QfINIFileHandler& store = store_.Get();
    store.Section(settings::kDisplaySection);
    store.SetValue(settings::kSpeedUnitKey, qfstore::Variant(std::string(UnitName(unit))),
                   settings::kArrayDelimiter);
}

}  // namespace gearsheet
