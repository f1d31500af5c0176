// Sag from three measured lengths.
#include <gtest/gtest.h>

#include <string>
#include <variant>

#include "gearing/sag.h"

using namespace gearsheet;

namespace {

TEST(SagTest, StaticAndLoadedSagFromTheThreeLengths) {
    const auto sag = ComputeSag({612.5, 590, 577.5});
    ASSERT_TRUE(std::holds_alternative<Sag>(sag));
    EXPECT_DOUBLE_EQ(std::get<Sag>(sag).staticSag, 22.5);
    EXPECT_DOUBLE_EQ(std::get<Sag>(sag).loadedSag, 35);
    const auto none = ComputeSag({600, 600, 600});
    EXPECT_EQ(std::get<Sag>(none).loadedSag, 0);
}

TEST(SagTest, LengthsThatCannotBeRightAreRefused) {
    const struct {
        SagLengths lengths;
        const char* begins;
    } rows[] = {
        {{-1, 590, 577}, "A length cannot be below zero."},
        {{612, 590, -0.5}, "A length cannot be below zero."},
        {{600, 601, 577}, "The length on the bike's own weight is longer than topped out"},
        {{600, 590, 590.5}, "The length with the rider on is longer than on the bike's own"},
        {{500, 590, 600}, "The length on the bike's own weight is longer than topped out"},
    };
    for (const auto& row : rows) {
        const auto sag = ComputeSag(row.lengths);
        ASSERT_TRUE(std::holds_alternative<std::string>(sag)) << row.begins;
        EXPECT_EQ(std::get<std::string>(sag).rfind(row.begins, 0), 0u)
            << std::get<std::string>(sag);
    }
}

}  // namespace
