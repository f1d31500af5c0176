// The gear-data loaders on real settings files.
#include "gearing/stuff.h"

#include <gtest/gtest.h>

#include <array>
#include <optional>
#include <ostream>
#include <string>

#include "qfstore/error.h"
#include "store_support.h"
#include "temp_dir.h"

using gearsheet::GearData;
using gearsheet::Stuff::InitalizeReductions;
using gearsheet::Stuff::InitializeGears;

namespace {

using Ratios = std::array<double, 6>;

struct GearsCase {
    const char* name;
    std::optional<std::string> file;  // no file when empty
    Ratios before;
    Ratios after;
    int errorNumber;  // 0: loaded
};

void PrintTo(const GearsCase& c, std::ostream* os) {
    *os << c.name;
}

const std::string kSixGears =
    "[GEARS]\nGear1=2.583\nGear2=2.000\nGear3=1.667\nGear4=1.444\nGear5=1.286\nGear6=1.150\n";
const Ratios kZero{};
const Ratios kSix{2.583, 2, 1.667, 1.444, 1.286, 1.15};

const GearsCase kGearsCases[] = {
    {"all six", kSixGears, kZero, kSix, 0},
    {"no file", std::nullopt, kZero, kZero, 13},
    {"no GEARS section", "[WINDOW_POS]\nTop=1200\nLeft=900\n", kZero, kZero, 13},
    {"Gear1 to Gear3 only",
     "[GEARS]\nGear1=2.5\nGear2=1.9\nGear3=1.5\n",
     kZero,
     {2.5, 1.9, 1.5, 0, 0, 0},
     13},
    {"later ratios keep their old values",
     "[GEARS]\nGear1=2.5\nGear2=1.9\n",
     {7, 7, 7, 7, 7, 7},
     {2.5, 1.9, 7, 7, 7, 7},
     13},
    {"non-numeric ratio",
     "[GEARS]\nGear1=2.5\nGear2=second\nGear3=1.5\n",
     kZero,
     {2.5, 0, 0, 0, 0, 0},
     13},
    {"empty ratio", "[GEARS]\nGear1=\n", kZero, kZero, 13},
    {"tab-delimited value reads as a list", "[GEARS]\nGear1=2.5\t3\n", kZero, kZero, 13},
    {"keys in another section", "[REDUCTIONS]\nGear1=2.5\n" + kSixGears.substr(8), kZero, kZero,
     13},
    {"names in other case, blanks and quotes",
     "[ gears ]\ngear1 = 2.583\nGEAR2=\"2.000\"\n" + kSixGears.substr(32), kZero, kSix, 0},
};

class InitializeGearsTest : public ::testing::TestWithParam<GearsCase> {
  protected:
    testing_support::TempDir dir_;
};

TEST_P(InitializeGearsTest, LoadsRatiosUpToTheFirstFailure) {
    const GearsCase& c = GetParam();
    const std::string path = dir_.File("Gearsheet.INI");
    if (c.file)
        testing_support::WriteFile(path, *c.file);
    auto store = gearing_test::OpenStore(path);
    GearData gears;
    gears.ratios = c.before;
    gears.initialReduction = 3;
    try {
        InitializeGears(*store, gears);
        EXPECT_EQ(c.errorNumber, 0);
    } catch (const qfstore::Error& e) {
        EXPECT_EQ(e.Number(), c.errorNumber);
        EXPECT_EQ(e.Description(), "Type mismatch");
        EXPECT_EQ(e.Source(), "Gearsheet\r\nInitializeGears");
    }
    EXPECT_EQ(gears.ratios, c.after);
    EXPECT_EQ(gears.initialReduction, 3);
    EXPECT_EQ(store->Section(), "GEARS");
    EXPECT_EQ(testing_support::ReadFile(path), c.file.value_or(""));  // reading writes nothing
}

INSTANTIATE_TEST_SUITE_P(Files, InitializeGearsTest, ::testing::ValuesIn(kGearsCases));

struct ReductionCase {
    const char* name;
    std::optional<std::string> file;
    double after;
    int errorNumber;
};

void PrintTo(const ReductionCase& c, std::ostream* os) {
    *os << c.name;
}

const ReductionCase kReductionCases[] = {
    {"present", kSixGears + "[REDUCTIONS]\nInitialReduction=2.073\n", 2.073, 0},
    {"negative", "[REDUCTIONS]\nInitialReduction=-1.5e0\n", -1.5, 0},
    {"no file", std::nullopt, 0, 13},
    {"no REDUCTIONS section", kSixGears, 0, 13},
    {"key in GEARS only", "[GEARS]\nInitialReduction=2.073\n", 0, 13},
    {"non-numeric", "[REDUCTIONS]\nInitialReduction=85/41\n", 0, 13},
};

class InitalizeReductionsTest : public ::testing::TestWithParam<ReductionCase> {
  protected:
    testing_support::TempDir dir_;
};

TEST_P(InitalizeReductionsTest, LoadsTheInitialReduction) {
    const ReductionCase& c = GetParam();
    const std::string path = dir_.File("Gearsheet.INI");
    if (c.file)
        testing_support::WriteFile(path, *c.file);
    auto store = gearing_test::OpenStore(path);
    GearData gears;
    gears.ratios.fill(5);
    try {
        InitalizeReductions(*store, gears);
        EXPECT_EQ(c.errorNumber, 0);
    } catch (const qfstore::Error& e) {
        EXPECT_EQ(e.Number(), c.errorNumber);
        EXPECT_EQ(e.Description(), "Type mismatch");
        EXPECT_EQ(e.Source(), "Gearsheet\r\nInitalizeReductions");
    }
    EXPECT_EQ(gears.initialReduction, c.after);
    EXPECT_EQ(gears.ratios, Ratios({5, 5, 5, 5, 5, 5}));
    EXPECT_EQ(store->Section(), "REDUCTIONS");
}

INSTANTIATE_TEST_SUITE_P(Files, InitalizeReductionsTest, ::testing::ValuesIn(kReductionCases));

TEST(StuffTest, LoadersFillTheProgramsGearDataByDefault) {
    testing_support::TempDir dir;
    const std::string path = dir.File("Gearsheet.INI");
    testing_support::WriteFile(path, kSixGears + "[REDUCTIONS]\nInitialReduction=2.073\n");
    auto store = gearing_test::OpenStore(path);
    GearData& gears = gearsheet::Stuff::Gears();
    EXPECT_EQ(gears.ratios, kZero);
    EXPECT_EQ(gears.initialReduction, 0);
    InitializeGears(*store);
    InitalizeReductions(*store);
    EXPECT_EQ(gearsheet::Stuff::Gears().ratios, kSix);
    EXPECT_EQ(gearsheet::Stuff::Gears().initialReduction, 2.073);
}

}  // namespace
