// The "SPROCKET_FINDER" section: the ranges read as typed values and written one by one.
#include "settings/finder_settings.h"

#include <gtest/gtest.h>

#include <string>

#include "store_support.h"
#include "temp_dir.h"

namespace {

TEST(FinderSettingsTest, RangesReadAndWrittenOneByOne) {
    testing_support::TempDir dir;
    const std::string path = dir.File("Gearsheet.INI");
    auto store =
        testing_support::StoreOnFile(path, "[SPROCKET_FINDER]\nRearHigh=48\nFrontLow=wide\n");
    const auto read = gearsheet::settings::LoadFinder(*store);
    EXPECT_EQ(read.frontLow, std::nullopt);
    EXPECT_EQ(read.frontHigh, std::nullopt);
    EXPECT_EQ(read.rearLow, std::nullopt);
    EXPECT_EQ(read.rearHigh, 48);
    gearsheet::settings::SaveFinder(*store, {.frontHigh = 17});
    EXPECT_EQ(testing_support::ReadFile(path),
              "[SPROCKET_FINDER]\nRearHigh=48\nFrontLow=wide\nFrontHigh=17\n");
}

}  // namespace
