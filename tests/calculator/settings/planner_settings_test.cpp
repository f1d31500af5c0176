// The "PLANNER" section: its keys read as typed values, whatever section the store was left at,
// and only the changed keys written.
#include "settings/planner_settings.h"

#include <gtest/gtest.h>

#include <string>

#include "store_support.h"
#include "temp_dir.h"

namespace {

using gearsheet::settings::LoadPlanner;
using gearsheet::settings::PlannerSettings;
using gearsheet::settings::SavePlanner;
using testing_support::ReadFile;

TEST(PlannerSettingsTest, KeysReadAsValuesAndOnlyChangedOnesWritten) {
    testing_support::TempDir dir;
    const std::string path = dir.File("Gearsheet.INI");
    const std::string file =
        "[PLANNER]\nfront=15.5\nRear=x\nTyre=\nCircumference= 79,2 \nChainLinks=1e12\n"
        "[GEARS]\nGear1=2\n";
    auto store = testing_support::StoreOnFile(path, file);
    store->Section("GEARS");
    const PlannerSettings read = LoadPlanner(*store);
    EXPECT_EQ(read.front, 16);           // any case; rounded half to even
    EXPECT_EQ(read.rear, std::nullopt);  // no number: the page's fallback
    EXPECT_EQ(read.tyre, "");            // present and empty: a typed circumference
    EXPECT_EQ(read.circumference, "79,2");
    EXPECT_EQ(read.shiftSpeed, std::nullopt);
    EXPECT_EQ(read.chainLinks, 2147483647);  // kept within an int
    EXPECT_EQ(ReadFile(path), file);         // reading writes nothing

    SavePlanner(*store, {.rear = 48, .speedOfInterestKmh = 250});
    EXPECT_EQ(ReadFile(path),
              "[PLANNER]\nfront=15.5\nRear=48\nTyre=\nCircumference= 79,2 \nChainLinks=1e12\n"
              "SpeedOfInterestKmh=250\n[GEARS]\nGear1=2\n");
    EXPECT_EQ(LoadPlanner(*store).speedOfInterestKmh, 250);
}

}  // namespace
