// SPDX-License-Identifier: GPL-3.0-or-later
// The space-time paint on the experiment state, its variable table, and
// the pick of a stored snapshot and a cell.

#include <gtest/gtest.h>

#include "spacetime/SpaceTimePaint.h"
#include "spacetime/SpaceTimePick.h"
#include "spacetime/SpaceTimeVariables.h"
#include "state/ExperimentState.h"

using namespace tamrel;

namespace {

// N cells, `rows` stored snapshots; history value of (s, j) in each array
// is base + s (base differs per array so the arrays can be told apart).
ExperimentState storedRun(long n, long rows)
{
    ExperimentState s;
    s.NGridCells = static_cast<Long>(n);
    s.NPlotsTotal = 20;
    allocateGridArrays(s);
    allocateHistory(s);
    for (long i = 1; i <= n + 1; ++i)
        s.X[i] = static_cast<double>(i - 1) / static_cast<double>(n);
    float base = 1;
    for (auto* a : { &s.STRho, &s.STP, &s.STVX, &s.STVY, &s.STFSmoke, &s.STRPlus, &s.STRMinus, &s.STEntropy }) {
        for (long r = 0; r < rows; ++r)
            for (long j = 0; j <= n + 1; ++j)
                (*a)[r * (n + 2) + j] = base + static_cast<float>(r) + 0.01f * static_cast<float>(j);
        base += 100;
    }
    s.NStoredStates = static_cast<Long>(rows);
    return s;
}

} // namespace

TEST(SpaceTimeVariables, ListOrderAndKeptRanges)
{
    const auto vars = SpaceTimeVariables();
    const char* names[] = { "Density", "Pressure", "Velocity", "R+", "R-", "R0 (Entropy)", "VY", "FSmoke" };
    ASSERT_EQ(vars.size(), 8u);
    for (std::size_t k = 0; k < 8; ++k)
        EXPECT_EQ(vars[k].listText, names[k]);
    EXPECT_EQ(FindSpaceTimeVariable("Pressure")->history, &ExperimentState::STP);
    EXPECT_EQ(FindSpaceTimeVariable("R0 (Entropy)")->history, &ExperimentState::STEntropy);
    EXPECT_EQ(FindSpaceTimeVariable("VY")->keptMin, &ExperimentState::VYGrayMin);
    EXPECT_EQ(FindSpaceTimeVariable("FSmoke")->keptMax, &ExperimentState::FSmokeGrayMax);
    EXPECT_EQ(FindSpaceTimeVariable("Density")->keptMin, nullptr);
    EXPECT_EQ(FindSpaceTimeVariable("density"), nullptr);
}

TEST(PaintSpaceTime, DrawsNothingBeforeTheSecondSnapshot)
{
    auto s = storedRun(10, 1);
    GrayImage img = MakeGrayImage(40, 20);
    img.bits[0] = 77;
    const auto paint = PaintSpaceTime(s, "Density", 40, 20, img);
    EXPECT_FALSE(paint.drawn);
    EXPECT_EQ(img.bits[0], 77);
}

TEST(PaintSpaceTime, DrawsTheChosenHistoryAndKeepsTheRangesThatAreKept)
{
    auto s = storedRun(10, 4);
    GrayImage img = MakeGrayImage(40, 20);
    auto paint = PaintSpaceTime(s, "Pressure", 40, 20, img);
    ASSERT_TRUE(paint.drawn);
    EXPECT_FLOAT_EQ(paint.vmin, 101.01f);
    EXPECT_FLOAT_EQ(paint.vmax, 104.1f);
    EXPECT_FALSE(paint.velocityMinText.has_value()); // small picture

    paint = PaintSpaceTime(s, "VY", 40, 20, img);
    EXPECT_EQ(s.VYGrayMin, ExperimentState {}.VYGrayMin); // the paint only reads the record
    KeepSpaceTimeRange(s, paint);
    EXPECT_FLOAT_EQ(static_cast<float>(s.VYGrayMin), 301.01f);
    EXPECT_FLOAT_EQ(static_cast<float>(s.VYGrayMax), 304.1f);

    paint = PaintSpaceTime(s, "FSmoke", 40, 20, img);
    KeepSpaceTimeRange(s, paint);
    EXPECT_FLOAT_EQ(static_cast<float>(s.FSmokeGrayMin), 401.01f);

    const double before = s.VYGrayMin;
    paint = PaintSpaceTime(s, "Velocity", 40, 20, img);
    KeepSpaceTimeRange(s, paint);
    EXPECT_EQ(s.VYGrayMin, before);

    paint = PaintSpaceTime(s, "Temperature", 40, 20, img);
    EXPECT_FALSE(paint.drawn);
}

TEST(PaintSpaceTime, BigPictureFillsTheVelocityLabelAndBoxes)
{
    auto s = storedRun(10, 4);
    s.BigSpaceTime = 1;
    GrayImage img = MakeGrayImage(40, 20);
    const auto paint = PaintSpaceTime(s, "Density", 40, 20, img);
    EXPECT_EQ(paint.velocityLabelCaption, "Density");
    EXPECT_EQ(paint.velocityMinText, "1.01");
    EXPECT_EQ(paint.velocityMaxText, "4.1");
}

TEST(PaintSpaceTime, SmokeUnderTheSimplifiedSchemeShowsTheDensity)
{
    auto s = storedRun(10, 4);
    s.SchemeName = "Sorvi";
    s.BigSpaceTime = 1;
    GrayImage img = MakeGrayImage(40, 20);
    const auto paint = PaintSpaceTime(s, "FSmoke", 40, 20, img);
    EXPECT_EQ(paint.replacementListText, "Density");
    EXPECT_EQ(paint.velocityLabelCaption, "Density");
    EXPECT_FLOAT_EQ(paint.vmin, 1.01f);

    s.SchemeName = "Mixtal32";
    EXPECT_FALSE(PaintSpaceTime(s, "FSmoke", 40, 20, img).replacementListText.has_value());
}

TEST(PickStoredState, RoundsTheHeightToTheNearestSnapshot)
{
    // 10 snapshots on 189 rows: a band is 18.9 rows; the top nine rows pick
    // the latest, the lower half of each band the one below.
    for (int y = 0; y <= 9; ++y)
        EXPECT_EQ(PickStoredState(10, 189, y), 9) << y;
    EXPECT_EQ(PickStoredState(10, 189, 10), 8);
    EXPECT_EQ(PickStoredState(10, 189, 189), 0);
    EXPECT_EQ(PickStoredState(10, 189, 180), 0);
    // Never outside 0..NS-1, even for presses beyond the picture.
    EXPECT_EQ(PickStoredState(10, 189, -50), 9);
    EXPECT_EQ(PickStoredState(10, 189, 5000), 0);
    EXPECT_EQ(PickStoredState(2, 0, 5), 0);
}

TEST(SpaceTimePick, LoadsTheSnapshotAndMakesTheCellCurrent)
{
    auto s = storedRun(10, 5);
    const auto pick = ApplySpaceTimePick(s, 449, -189, 449.0 * 0.35, 0); // negative scale height: |H|
    ASSERT_TRUE(pick.picked);
    EXPECT_EQ(pick.storedState, 4);
    EXPECT_EQ(pick.cell, 4);
    EXPECT_EQ(s.MCurrent, 4);
    EXPECT_EQ(s.StoredStateShown, 4);
    EXPECT_FLOAT_EQ(static_cast<float>(s.Rho[4]), 5.04f);
    EXPECT_FLOAT_EQ(static_cast<float>(s.PCurrent), 105.04f);
    EXPECT_EQ(pick.densityText, "5.04");
    EXPECT_EQ(pick.cellText, "4");
    EXPECT_EQ(pick.storedStateText, "4");
}

TEST(SpaceTimePick, DoesNothingWhileRunningOrWithOneSnapshot)
{
    auto running = storedRun(10, 5);
    running.Stopped = 0;
    EXPECT_FALSE(ApplySpaceTimePick(running, 449, 189, 10, 10).picked);

    auto single = storedRun(10, 1);
    single.MCurrent = 7;
    EXPECT_FALSE(ApplySpaceTimePick(single, 449, 189, 10, 10).picked);
    EXPECT_EQ(single.MCurrent, 7);
}
