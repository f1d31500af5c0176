#include "pages/speed_unit_choice.h"

#include <string>

#include "qfstore/error.h"
#include "settings/display_settings.h"
#include "window/settings_store.h"

namespace gearsheet {

SpeedUnit SpeedUnitChoice::Get() {
    if (read_)
        return unit_;
    try {
        unit_ = UnitFromName(settings::LoadDisplay(store_.Get()).speedUnit);
        read_ = true;
    } catch (const qfstore::Error&) {
        // The store's fault shows in the operations that need it.
    }
    return unit_;
}

void SpeedUnitChoice::Set(SpeedUnit unit) {
    unit_ = unit;
    read_ = true;
    settings::SaveDisplay(store_.Get(), {std::string(UnitName(unit))});
}

}  // namespace gearsheet
