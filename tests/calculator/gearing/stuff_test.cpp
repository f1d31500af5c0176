// The gear-data loaders on real settings files.
#include "gearing/stuff.h"

#include <gtest/gtest.h>

#include <array>
#include <optional>
#include <string>

#include "qfstore/error.h"
#include "store_support.h"
#include "temp_dir.h"

using gearsheet::GearData;
using gearsheet::Stuff::InitalizeReductions;
using gearsheet::Stuff::InitializeGears;

namespace {

using Ratios = std::array<double, 6>;

const std::string kSixGears =
    "[GEARS]\nGear1=2.583\nGear2=2.000\nGear3=1.667\nGear4=1.444\nGear5=1.286\nGear6=1.150\n";
const Ratios kSix{2.583, 2, 1.667, 1.444, 1.286, 1.15};
const Ratios kOld{7, 7, 7, 7, 7, 7};  // what the gear data held before loading

// One loader on one file (none when absent): the gear data afterwards, and the call-stack line
// of its type-mismatch error (none when it loaded).
struct LoadCase {
    const char* name;
    void (*load)(qfstore::QfINIFileHandler&, GearData&);
    std::optional<std::string> file;
    Ratios ratios;
    double initialReduction;
    const char* failedIn;
};

TEST(LoaderTest, LoadsUpToTheFirstFailure) {
    constexpr auto* kGears = &InitializeGears;
    constexpr auto* kReductions = &InitalizeReductions;
    // clang-format off
    const LoadCase cases[] = {
        {"gears", kGears, kSixGears, kSix, 7, nullptr},
        {"gears_no_file", kGears, std::nullopt, kOld, 7, "InitializeGears"},
        {"gears_1_to_3_only", kGears, "[GEARS]\nGear1=2.5\nGear2=1.9\nGear3=1.5\n", {2.5, 1.9, 1.5, 7, 7, 7}, 7, "InitializeGears"},
        {"reductions", kReductions, kSixGears + "[REDUCTIONS]\nInitialReduction=-1.5e0\n", kOld, -1.5, nullptr},
        {"reductions_non_numeric", kReductions, "[REDUCTIONS]\nInitialReduction=85/41\n", kOld, 7, "InitalizeReductions"}};
    // clang-format on
    for (const LoadCase& c : cases) {
        SCOPED_TRACE(c.name);
        testing_support::TempDir dir;
        const std::string path = dir.File("Gearsheet.INI");
        if (c.file)
            testing_support::WriteFile(path, *c.file);
        GearData gears{kOld, 7};
        try {
            c.load(*testing_support::OpenStore(path), gears);
            EXPECT_EQ(c.failedIn, nullptr);
        } catch (const qfstore::Error& e) {
            EXPECT_EQ(e.Number(), 13);
            EXPECT_EQ(e.Description(), "Type mismatch");
            EXPECT_EQ(e.Source(), std::string("Gearsheet\r\n") + (c.failedIn ? c.failedIn : "-"));
        }
        EXPECT_EQ(gears.ratios, c.ratios);
        EXPECT_EQ(gears.initialReduction, c.initialReduction);
    }
}

}  // namespace
