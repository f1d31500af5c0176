// Metric tyre sizes in tyre names and their circumferences.
#include <gtest/gtest.h>

#include <optional>

#include "gearing/tyre_size.h"

using namespace gearsheet;

namespace {

TEST(TyreSizeTest, MetricSizesInTyreNames) {
    // π × (17 × 25.4 + 2 × 190 × 0.55) = π × 640.8 mm = 79.257 in; 120/70-17: π × 599.8 = 74.19.
    struct Row {
        const char* name;
        std::optional<double> inches;
    };
    const Row rows[] = {
        {"190/55ZR17", 79.3},
        {"190/50 R17", 76.9},
        {"120/70-17", 74.2},
        {"180/55 ZR 17 (73W)", 77.9},
        {"Rear 180/60zr17", 80.1},
        {"Slick", std::nullopt},
        {"Slick 180/640R17", std::nullopt},
        {"1180/55ZR17", std::nullopt},
        {"180/55ZR175", std::nullopt},
    };
    for (const Row& row : rows) {
        const auto size = FindTyreSize(row.name);
        ASSERT_EQ(size.has_value(), row.inches.has_value()) << row.name;
        if (size) {
            EXPECT_EQ(CircumferenceInches(*size), *row.inches) << row.name;
        }
    }
}

}  // namespace
