// Chain length and sprocket centre distance, against figures worked out by hand.
#include <gtest/gtest.h>

#include "gearing/chain.h"

using namespace gearsheet;

namespace {

TEST(ChainTest, SixteenFortyEightOnA520ChainOf112Links) {
    // 520 pitch 5/8 in = 15.875 mm. L = 2C/p + (N1 + N2)/2 + ((N2 − N1)/2π)² p/C as a quadratic
    // in C/p: 16/45, 112 links: 2x² − 81.5x + 21.303 = 0, x = 40.4871, C = 642.73 mm. 16/48 at that
    // distance: 80.974 + 32 + 25.938/40.487 = 113.61 links, so 114; on 112 links 2x² − 80x +
    // 25.938 = 0, x = 39.673, C = 629.81 mm: the axle moves 12.92 mm forwards.
    EXPECT_DOUBLE_EQ(chain::PitchMm(520), 15.875);
    const auto change = chain::ChangeSprockets(520, 112, 16, 45, 16, 48);
    ASSERT_TRUE(change);
    EXPECT_NEAR(change->currentCentreMm, 642.73, 0.01);
    EXPECT_NEAR(change->linksNeeded, 113.61, 0.01);
    EXPECT_EQ(change->evenLinks, 114);
    ASSERT_TRUE(change->axleMoveMm);
    EXPECT_NEAR(*change->axleMoveMm, -12.92, 0.01);
    // The same sprockets need the same chain, to the last bit of the solver.
    const auto same = chain::ChangeSprockets(520, 112, 16, 45, 16, 45);
    EXPECT_EQ(same->evenLinks, 112);
    EXPECT_NEAR(*same->axleMoveMm, 0, 1e-6);
    // 40 links cannot go round 16 and 45 teeth (pitch circles of 81 and 228 mm): no distance.
    EXPECT_FALSE(chain::ChangeSprockets(520, 40, 16, 45, 16, 48));
    // 50 links would reach round them 52 mm apart, but the pitch circles (radii 40.7 and 113.8 mm)
    // need 154.5 mm: at the least 52.15 links.
    EXPECT_FALSE(chain::CentreDistance(chain::PitchMm(520), 16, 45, 50));
    EXPECT_TRUE(chain::CentreDistance(chain::PitchMm(520), 16, 45, 52.2));
    const auto shortForProposed = chain::ChangeSprockets(520, 46, 16, 16, 16, 60);
    ASSERT_TRUE(shortForProposed);
    EXPECT_FALSE(shortForProposed->axleMoveMm);
    EXPECT_EQ(chain::EvenLinks(112.0000001), 112);
    EXPECT_EQ(chain::EvenLinks(112.01), 114);
}

}  // namespace
