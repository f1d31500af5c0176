// The unit road speeds are shown in (mph or km/h), remembered in the settings file's "DISPLAY".
#pragma once

#include "gearing/speed_unit.h"

namespace gearsheet {

class SettingsStore;

class SpeedUnitChoice {
  public:
    explicit SpeedUnitChoice(SettingsStore& store) : store_(store) {}

    // The choice, read from the settings file on first use (not at start-up, which would pay for
    // one more read of the file); mph when none is stored. A store that cannot be read leaves mph
    // and is read again next time: the unit never makes the speed table fail.
    SpeedUnit Get();
    // Makes `unit` the choice and writes it. Store errors pass on, the choice made.
    void Set(SpeedUnit unit);

  private:
    SettingsStore& store_;
    SpeedUnit unit_ = SpeedUnit::Mph;
    bool read_ = false;
};

}  // namespace gearsheet
