// The unit road speeds are shown in (mph or km/h), remembered in the settings file's "DISPLAY".
#pragma once

#include "gearing/speed_unit.h"

namespace gearsheet {

class SettingsStore;

class SpeedUnitChoice {
  public:
    explicit SpeedUnitChoice(SettingsStore& store) : store_(store) {}

    // Reads the stored choice; mph when there is none. Store errors pass on.
    void Load();
    SpeedUnit Get() const { return unit_; }
    // Makes `unit` the choice and writes it. Store errors pass on, the choice made.
    void Set(SpeedUnit unit);

  private:
    SettingsStore& store_;
    SpeedUnit unit_ = SpeedUnit::Mph;
};

}  // namespace gearsheet
