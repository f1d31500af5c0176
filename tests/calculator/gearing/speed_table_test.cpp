// The speed table: cell order, rounding, the 16-bit limit and the arithmetic failures.
#include "gearing/speed_table.h"

#include <gtest/gtest.h>

#include <array>
#include <cctype>
#include <optional>
#include <ostream>
#include <string>
#include <vector>

#include "qfstore/error.h"

using gearsheet::GearData;
using gearsheet::SpeedTable;

namespace {

struct Cell {
    int row;
    int gear;
    double mph;
};

GearData Gears(double initialReduction, double ratio) {
    GearData g;
    g.initialReduction = initialReduction;
    g.ratios.fill(ratio);
    return g;
}

// Runs the table, collecting the delivered cells and the error that stopped it, if any.
struct Outcome {
    std::vector<Cell> cells;
    std::optional<qfstore::Error> error;
};

Outcome Compute(const GearData& gears, double front, double rear, double circumference) {
    Outcome run;
    try {
        SpeedTable(gears, front, rear, circumference, [&](int row, int gear, double mph) {
            run.cells.push_back({row, gear, mph});
        });
    } catch (const qfstore::Error& e) {
        run.error = e;
    }
    return run;
}

TEST(SpeedTableTest, DeliversSixteenRowsOfSixGearsInRowOrder) {
    const Outcome run = Compute(Gears(2, 1), 16, 48, 72);
    ASSERT_FALSE(run.error);
    ASSERT_EQ(run.cells.size(), 96u);
    for (size_t i = 0; i < run.cells.size(); ++i) {
        EXPECT_EQ(run.cells[i].row, static_cast<int>(i / 6) + 1);
        EXPECT_EQ(run.cells[i].gear, static_cast<int>(i % 6) + 1);
    }
}

TEST(SpeedTableTest, WorkedExampleGivesTheFirstAndLastRows) {
    // 1000 rpm ÷ 2 ÷ (48 ÷ 16) × 72 in × 60 ÷ 12 ÷ 5280 = 11.3636…; row 16 runs at 15500 rpm, not
    // 16000 (which would give 181.82).
    const Outcome run = Compute(Gears(2, 1), 16, 48, 72);
    ASSERT_FALSE(run.error);
    for (int gear = 0; gear < 6; ++gear) {
        EXPECT_EQ(run.cells[gear].mph, 11.36);
        EXPECT_EQ(run.cells[14 * 6 + gear].mph, 170.45);
        EXPECT_EQ(run.cells[15 * 6 + gear].mph, 176.14);
    }
    EXPECT_EQ(gearsheet::EngineSpeed(1), 1000);
    EXPECT_EQ(gearsheet::EngineSpeed(15), 15000);
    EXPECT_EQ(gearsheet::EngineSpeed(16), 15500);
}

TEST(SpeedTableTest, EachGearDividesByItsOwnRatio) {
    GearData gears = Gears(2, 1);
    gears.ratios = {2, 4, 1, 1.5, 8, 1.25};
    const Outcome run = Compute(gears, 16, 48, 72);
    ASSERT_FALSE(run.error);
    const double row1[] = {5.68, 2.84, 11.36, 7.58, 1.42, 9.09};
    for (int gear = 0; gear < 6; ++gear) EXPECT_EQ(run.cells[gear].mph, row1[gear]) << gear + 1;
}

// The first cell (row 1, gear 1) for given inputs, all six ratios alike.
struct CellCase {
    const char* name;
    double initialReduction;
    double ratio;
    double front;
    double rear;
    double circumference;
    double mph;       // the first cell, when delivered
    size_t count;     // cells delivered in all
    int errorNumber;  // of the cell after the last delivered one; 0 when all 96 are
};

// With initial reduction 1, sprockets 1/1 and ratio 1, row 1 gives c ÷ 1.056 × 1000 mph. The
// circumferences of the half cases make the hundredfold exactly .5 in double precision (12.00144:
// 1136.5, 12.012: 1137.5, 2076.1488 at 16/48: 32767.5, -346.03536: -32768.5). Cells at the 16-bit
// limit overflow again in row 2.
const CellCase kCells[] = {
    {"worked example", 2, 1, 16, 48, 72, 11.36, 96, 0},
    {"half 1136.5 rounds down to even", 1, 1, 1, 1, 12.00144, 11.36, 96, 0},
    {"half 1137.5 rounds up to even", 1, 1, 1, 1, 12.012, 11.38, 96, 0},
    {"highest speed 327.67", 1, 1, 1, 1, 346.01952, 327.67, 6, 6},
    {"327.675 overflows", 2, 1, 16, 48, 2076.1488, 0, 0, 6},
    {"lowest speed: half -32768.5 goes to even", 1, 1, 1, 1, -346.03536, -327.68, 6, 6},
    {"just below -327.685 overflows", 1, 1, 1, 1, -346.0354, 0, 0, 6},
    {"zero circumference", 2, 1, 16, 48, 0, 0, 96, 0},
    {"negative front sprocket", 2, 1, -16, 48, 72, -11.36, 96, 0},
    {"negative rear sprocket", 2, 1, 16, -48, 72, -11.36, 96, 0},
    {"negative circumference", 2, 1, 16, 48, -72, -11.36, 96, 0},
    {"negative initial reduction", -2, 1, 16, 48, 72, -11.36, 96, 0},
    {"negative gear ratio", 2, -1, 16, 48, 72, -11.36, 96, 0},
    {"both sprockets negative", 2, 1, -16, -48, 72, 11.36, 96, 0},
    {"zero rear sprocket", 2, 1, 16, 0, 72, 0, 0, 11},
    {"zero front sprocket", 2, 1, 0, 48, 72, 0, 0, 11},
    {"both sprockets zero: 0 / 0", 2, 1, 0, 0, 72, 0, 0, 6},
    {"zero initial reduction", 0, 1, 16, 48, 72, 0, 0, 11},
    {"zero ratio", 2, 0, 16, 48, 72, 0, 0, 11},
    {"zero ratio and circumference: 0 / 0", 2, 0, 16, 48, 0, 0, 0, 6},
    {"zero rear sprocket, zero circumference", 2, 1, 16, 0, 0, 0, 0, 11},
    {"speed beyond the double range", 1e-300, 1, 1, 1, 1e10, 0, 0, 6},
};

void PrintTo(const CellCase& c, std::ostream* os) {
    *os << c.name;
}

class SpeedCellTest : public ::testing::TestWithParam<CellCase> {};

TEST_P(SpeedCellTest, FirstCell) {
    const CellCase& c = GetParam();
    const Outcome run =
        Compute(Gears(c.initialReduction, c.ratio), c.front, c.rear, c.circumference);
    ASSERT_EQ(run.cells.size(), c.count);
    if (c.count > 0) {
        EXPECT_EQ(run.cells[0].mph, c.mph);
    }
    if (c.errorNumber == 0) {
        EXPECT_FALSE(run.error) << run.error->Description();
        return;
    }
    ASSERT_TRUE(run.error);
    EXPECT_EQ(run.error->Number(), c.errorNumber);
    EXPECT_EQ(run.error->Description(), c.errorNumber == 6 ? "Overflow" : "Division by zero");
    EXPECT_EQ(run.error->Source(), "Gearsheet");
}

INSTANTIATE_TEST_SUITE_P(Cells, SpeedCellTest, ::testing::ValuesIn(kCells), [](const auto& info) {
    std::string name;
    for (const char* p = info.param.name; *p; ++p)
        name += std::isalnum(static_cast<unsigned char>(*p)) ? *p : '_';
    return name;
});

TEST(SpeedTableTest, ZeroCircumferenceGivesZeroEverywhere) {
    const Outcome run = Compute(Gears(2, 1), 16, 48, 0);
    ASSERT_FALSE(run.error);
    ASSERT_EQ(run.cells.size(), 96u);
    for (const Cell& cell : run.cells) EXPECT_EQ(cell.mph, 0) << cell.row << "/" << cell.gear;
}

// A failing cell stops the table; the cells before it stand.
GearData WithRatios(double initialReduction, std::array<double, 6> ratios) {
    GearData g;
    g.initialReduction = initialReduction;
    g.ratios = ratios;
    return g;
}

struct StopCase {
    const char* name;
    GearData gears;
    double circumference;
    std::vector<double> delivered;  // the first cells, in order
    size_t count;                   // cells delivered in all
    int errorNumber;
};

TEST(SpeedTableTest, StopsAtTheFailingCellAfterTheEarlierOnes) {
    const StopCase cases[] = {
        // 327.675 / 1.00001 = 327.6717 is still 327.67; gear 2 reaches 327.675 itself.
        {"overflow in gear 2", WithRatios(2, {1.00001, 1, 1, 1, 1, 1}), 2076.1488, {327.67}, 1, 6},
        {"zero ratio of gear 4",
         WithRatios(2, {1, 1, 1, 0, 1, 1}),
         72,
         {11.36, 11.36, 11.36},
         3,
         11},
        // Row 15 gives 323.86, row 16 would give 334.66.
        {"overflow in the last row", Gears(2, 1), 136.8, {21.59}, 90, 6},
    };
    for (const StopCase& c : cases) {
        SCOPED_TRACE(c.name);
        const Outcome run = Compute(c.gears, 16, 48, c.circumference);
        ASSERT_TRUE(run.error);
        EXPECT_EQ(run.error->Number(), c.errorNumber);
        EXPECT_EQ(run.error->Source(), "Gearsheet");
        ASSERT_EQ(run.cells.size(), c.count);
        for (size_t i = 0; i < c.delivered.size(); ++i) EXPECT_EQ(run.cells[i].mph, c.delivered[i]);
    }
    const Outcome lastRow = Compute(Gears(2, 1), 16, 48, 136.8);
    EXPECT_EQ(lastRow.cells.back().row, 15);
    EXPECT_EQ(lastRow.cells.back().gear, 6);
    EXPECT_EQ(lastRow.cells.back().mph, 323.86);
}

}  // namespace
