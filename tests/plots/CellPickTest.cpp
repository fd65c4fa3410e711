// SPDX-License-Identifier: GPL-3.0-or-later
// Picking the current cell from the pointer's position on a plot.

#include <gtest/gtest.h>

#include "PlotFixture.h"
#include "plots/CellPick.h"

using namespace tamrel;
using tamrel::test::gridState;

TEST(PickCell, SelectsTheCellWhoseIntervalHoldsThePointer)
{
    const auto s = gridState(4); // interfaces 0, 0.25, 0.5, 0.75, 1 over 1000 units
    const std::pair<double, Long> cases[] = {
        { 0, 1 }, { 249.9, 1 }, { 250, 2 }, // on the interface: the cell to its right
        { 750, 4 }, { 999.9, 4 }, { 1000, 4 }, // right edge
        { 1200, 4 }, // beyond it
        { -0.1, 0 }, // left of the grid
    };
    for (const auto& [x, cell] : cases)
        EXPECT_EQ(PickCell(s.X, 4, 1000, x), cell) << "x = " << x;
}

TEST(PickCell, RightEdgeOfARealPicturePicksTheLastCell)
{
    auto s = gridState(100);
    // Interfaces built by repeated addition, as the grid editor makes them.
    for (long i = 2; i <= 100; ++i)
        s.X[i] = s.X[i - 1] + 0.01;
    s.X[101] = 1;
    EXPECT_EQ(PickCell(s.X, 100, 6735, 6735), 100);
    EXPECT_EQ(PickCell(s.X, 100, 6735, 0), 1);
}

TEST(PickCell, NoPictureOrNoGridPicksNothing)
{
    const auto s = gridState(4);
    EXPECT_EQ(PickCell(s.X, 4, 0, 10), 0);
    EXPECT_EQ(PickCell(s.X, 0, 1000, 10), 0);
    BoundedArray<double> flat(-6, 20); // all interfaces at 0
    EXPECT_EQ(PickCell(flat, 4, 1000, 10), 0);
}
