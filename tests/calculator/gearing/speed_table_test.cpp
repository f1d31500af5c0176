// The speed table: cell order, rounding, the 16-bit limit and the arithmetic failures.
#include "gearing/speed_table.h"

#include <gtest/gtest.h>

#include <array>
#include <string>
#include <vector>

#include "outcome.h"

using gearsheet::GearData;

namespace {

struct Cell {
    int row, gear;
    double mph;
};

// The delivered cells; `outcome` is the error that stopped the table, as
// "number|description|source", or "none".
std::vector<Cell> Compute(double initialReduction, std::array<double, 6> ratios, double front,
                          double rear, double circumference, std::string* outcome = nullptr,
                          gearsheet::SpeedUnit unit = gearsheet::SpeedUnit::Mph) {
    std::vector<Cell> cells;
    const std::string text = testing_support::DescribedOutcome([&] {
        gearsheet::SpeedTable(
            GearData{ratios, initialReduction}, front, rear, circumference,
            [&](int row, int gear, double mph) {
                cells.push_back({row, gear, mph});
            },
            unit);
    });
    if (outcome)
        *outcome = text;
    return cells;
}

TEST(SpeedTableTest, WorkedExampleInRowOrderEachGearByItsRatio) {
    // 1000 rpm ÷ 2 ÷ (48 ÷ 16) × 72 in × 60 ÷ 12 ÷ 5280 = 11.3636… in gear 3 (ratio 1); row 16
    // runs at 15500 rpm, not 16000 (181.82).
    std::string outcome;
    const std::vector<Cell> cells = Compute(2, {2, 4, 1, 1.5, 8, 1.25}, 16, 48, 72, &outcome);
    EXPECT_EQ(outcome, "none");
    ASSERT_EQ(cells.size(), 96u);
    const double row1[] = {5.68, 2.84, 11.36, 7.58, 1.42, 9.09};
    const double row16[] = {88.07, 44.03, 176.14, 117.42, 22.02, 140.91};
    for (size_t i = 0; i < cells.size(); ++i) {
        EXPECT_EQ(cells[i].row, static_cast<int>(i / 6) + 1);
        EXPECT_EQ(cells[i].gear, static_cast<int>(i % 6) + 1);
    }
    for (size_t gear = 0; gear < 6; ++gear) {
        EXPECT_EQ(cells[gear].mph, row1[gear]) << gear + 1;
        EXPECT_EQ(cells[90 + gear].mph, row16[gear]) << gear + 1;
    }
}

// The first cell, the number of cells delivered and the error that stopped the rest: a failing
// cell stops the table, the cells before it stand. With initial reduction 1, sprockets 1/1 and
// ratio 1, row 1 gives c ÷ 1.056 × 1000 mph; the circumferences of the half cases make the
// hundredfold exactly .5 in double precision (12.00144: 1136.5, 12.012: 1137.5, -346.03536:
// -32768.5; 2076.1488 at 16/48: 32767.5, which ratio 1.00001 brings to 327.6717). Cells at the
// 16-bit limit overflow again in row 2; at 136.8 row 15 gives 323.86, row 16 334.66. At 13/39 and
// 60.588 the sprocket quotient taken first gives 19.124999… (19.12); dividing by the rear sprocket
// and multiplying by the front one instead would give 19.125000…04 (19.13). At 12/39 and 34.33716,
// dividing by 39 ÷ 12 gives 10.004999… (10.00); multiplying by 12 ÷ 39 gives 10.005000…01 (10.01).
// In km/h, 327.6717 mph is 527.3365, beyond 327.67 and still shown: the table fails exactly where
// the mph one does.
struct CellCase {
    const char* name;
    double initialReduction;
    std::array<double, 6> ratios;
    double front, rear, circumference;
    double mph;  // the first cell
    size_t count;
    int errorNumber;  // 0 when all 96 cells are delivered
    gearsheet::SpeedUnit unit = gearsheet::SpeedUnit::Mph;
};

TEST(SpeedCellTest, FirstCell) {
    constexpr std::array<double, 6> k1{1, 1, 1, 1, 1, 1};
    // clang-format off
    const CellCase cases[] = {
        {"half_1136_5_rounds_down_to_even", 1, k1, 1, 1, 12.00144, 11.36, 96, 0},
        {"half_1137_5_rounds_up_to_even", 1, k1, 1, 1, 12.012, 11.38, 96, 0},
        {"highest_327_67_then_327_675_overflows", 2, {1.00001, 1, 1, 1, 1, 1}, 16, 48, 2076.1488, 327.67, 1, 6},
        {"in_kmh_527_34_then_the_same_overflow", 2, {1.00001, 1, 1, 1, 1, 1}, 16, 48, 2076.1488, 527.34, 1, 6, gearsheet::SpeedUnit::Kmh},
        {"lowest_speed_half_goes_to_even", 1, k1, 1, 1, -346.03536, -327.68, 6, 6},
        {"overflow_in_the_last_row", 2, k1, 16, 48, 136.8, 21.59, 90, 6},
        {"sprocket_quotient_formed_first", 1, k1, 13, 39, 60.588, 19.12, 96, 0},
        {"divided_by_rear_over_front_not_times_front_over_rear", 1, k1, 12, 39, 34.33716, 10, 96, 0},
        {"zero_circumference_everywhere", 2, k1, 16, 48, 0, 0, 96, 0},
        {"negative_front_sprocket", 2, k1, -16, 48, 72, -11.36, 96, 0},
        {"zero_rear_sprocket", 2, k1, 16, 0, 72, 0, 0, 11},
        {"sprockets_zero_by_zero", 2, k1, 0, 0, 72, 0, 0, 6},
        {"beyond_the_double_range", 1e-300, k1, 1, 1, 1e10, 0, 0, 6}};
    // clang-format on
    for (const CellCase& c : cases) {
        SCOPED_TRACE(c.name);
        std::string outcome;
        const std::vector<Cell> cells = Compute(c.initialReduction, c.ratios, c.front, c.rear,
                                                c.circumference, &outcome, c.unit);
        EXPECT_EQ(cells.size(), c.count);
        if (!cells.empty()) {
            EXPECT_EQ(cells[0].mph, c.mph);
        }
        if (c.mph == 0) {  // then every cell is 0
            for (const Cell& cell : cells) EXPECT_EQ(cell.mph, 0) << cell.row << "/" << cell.gear;
        }
        EXPECT_EQ(outcome, c.errorNumber == 0 ? "none"
                           : c.errorNumber == 6
                               ? "6|Overflow|Gearsheet"
                               : std::to_string(c.errorNumber) + "|Division by zero|Gearsheet");
    }
}

}  // namespace
