// Grid snapping of the polygon drawing window: nearest node, the drawn range, exact decimals.
#include "entry/grid_snap.h"

#include <gtest/gtest.h>

#include <cmath>

namespace vorn::test {
namespace {

struct SnapRow {
    double value, step, from, to, node;
};

class SnapToGridTable : public ::testing::TestWithParam<SnapRow> {};

TEST_P(SnapToGridTable, LandsOnTheNearestDrawnNode) {
    const SnapRow& r = GetParam();
    const double node = entry::SnapToGrid(r.value, r.step, r.from, r.to);
    // Exact: a node is the decimal the user sees beside the grid, not a product near it.
    EXPECT_EQ(node, r.node) << r.value;
    EXPECT_FALSE(std::signbit(node) && node == 0) << "negative zero";
}

INSTANTIATE_TEST_SUITE_P(Nearest, SnapToGridTable,
                         ::testing::Values(SnapRow{1.3, 1, -3, 3, 1}, SnapRow{-0.8, 1, -3, 3, -1},
                                           SnapRow{-0.4, 1, -3, 3, 0}, SnapRow{27, 10, -30, 30, 30},
                                           SnapRow{0.29, 0.1, -1, 1, 0.3},
                                           SnapRow{-0.071, 0.01, -0.2, 0.2, -0.07},
                                           SnapRow{3.3e-8, 1e-8, 0, 1e-7, 3e-8}));

// Nodes outside the drawn range are not offered; a range holding none leaves the value free.
INSTANTIATE_TEST_SUITE_P(Range, SnapToGridTable,
                         ::testing::Values(SnapRow{2.9, 1, -2.5, 2.5, 2},
                                           SnapRow{-2.9, 1, 2.5, -2.5, -2},
                                           SnapRow{1.2e-7, 1e-8, 0, 1e-7, 1e-7},
                                           SnapRow{0.5, 1, 0.2, 0.8, 0.5},
                                           SnapRow{0.5, 0, -3, 3, 0.5}));

} // namespace
} // namespace vorn::test
