// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cmath>

#include "presets/ShockTubeTests.h"
#include "run/DefaultProblem.h"
#include "run/SnapshotRow.h"

using namespace tamrel;

namespace {

// The start-up record with the snapshot rate of the worked example and a
// DtPlot from "the previous problem" larger than any new one.
ExperimentState startUp(long cells = 100)
{
    ExperimentState s;
    s.TitleText = "title";
    s.StudentName = "Ada";
    StartUpState(s);
    if (cells != s.NGridCells) {
        s.NGridCells = static_cast<Long>(cells);
        AllocateArrays(s);
    }
    s.NPlotsPerPeriod = 20;
    s.DtPlot = 1.0;
    return s;
}

} // namespace

TEST(ShockTubeTable, NumbersOutsideOneToEightGiveTest1)
{
    for (int n : { 0, -3, 9 })
        EXPECT_EQ(&shockTubeTest(n), &shockTubeTest(1)) << n;
    EXPECT_EQ(&shockTubeTest(8), &kShockTubeTests[7]);
    EXPECT_EQ(shockTubeTestCaption(3), "Test 3");
    EXPECT_EQ(shockTubeTestToolTip(8), "Click here to set up for Test 8.");
}

TEST(ShockTubeSetUp, Test1OnHundredCells)
{
    ExperimentState s = startUp();
    s.TimeNow = 0.125;
    s.NStoredStates = 7;
    s.MnBdry = s.MxBdry = 1;
    ApplyShockTubeTest(s, 1);

    const double c = std::sqrt(1.4);
    EXPECT_EQ(s.MnBdry, 2);
    EXPECT_EQ(s.MxBdry, 2);
    EXPECT_DOUBLE_EQ(s.DX, 0.01);
    EXPECT_EQ(s.NGridCellsD, 100.0);
    EXPECT_EQ(s.MCurrent, 30);
    EXPECT_NEAR(s.X[31], 0.3, 1e-14); // the jump stays on the cell edge
    EXPECT_EQ(s.X[1], 0.0);
    EXPECT_EQ(s.X[101], 1.0);
    EXPECT_NEAR(s.X[0], -0.01, 1e-15);
    EXPECT_NEAR(s.X[102], 1.01, 1e-15);
    for (long i = 0; i <= 101; ++i) {
        const bool left = i <= 30;
        ASSERT_EQ(s.Rho[i], left ? 1.0 : 0.125) << i;
        ASSERT_EQ(s.P[i], left ? 1.0 : 0.1) << i;
        ASSERT_EQ(s.VX[i], left ? 0.75 : 0.0) << i;
        ASSERT_EQ(s.VY[i], 0.0) << i;
        ASSERT_DOUBLE_EQ(s.SoundSpeedSq[i], s.P[i] * 1.4 / s.Rho[i]) << i;
    }

    EXPECT_DOUBLE_EQ(s.RhoMax, 1.05);
    EXPECT_DOUBLE_EQ(s.RhoMin, 0.125 - 0.05 * 1.05);
    EXPECT_DOUBLE_EQ(s.PMax, 1.05);
    EXPECT_DOUBLE_EQ(s.PMin, 0.1 - 0.05 * 1.05);
    EXPECT_DOUBLE_EQ(s.SoundSpeed0, c);
    EXPECT_DOUBLE_EQ(s.VXMin, -0.05 * c);
    EXPECT_DOUBLE_EQ(s.VXMax, 0.75 + 0.05 * c);
    EXPECT_EQ(s.RhoCurrent, 0.125);
    EXPECT_EQ(s.PCurrent, 0.1);
    EXPECT_EQ(s.VXCurrent, 0.0);

    const double tmin = 0.01 / (0.75 + c);
    EXPECT_NEAR(s.Dt, 0.85 * 0.1 * tmin, 1e-12 * tmin);
    EXPECT_EQ(s.DtOld, s.Dt);
    EXPECT_DOUBLE_EQ(s.TimeUnit, 1 / c);
    // 20 snapshots a time unit would store 4.7 before TStop: a hundred over the run instead.
    EXPECT_DOUBLE_EQ(s.DtPlot, 0.2 / 100);
    EXPECT_EQ(s.TNextPlot, s.DtPlot);
    EXPECT_EQ(s.TStop, 0.2);
    EXPECT_EQ(s.MSec, 5);
    EXPECT_EQ(s.MSecMin, 1);
    EXPECT_EQ(s.MSecMax, 2000);

    // Selected cells: both ends and either side of the jump.
    EXPECT_EQ(s.NSelected, 4);
    const Long cells[6] = { 0, 1, 30, 31, 100, 101 };
    const double xs[6] = { -1e-7, 1e-7, 0.3 - 1e-7, 0.3 + 1e-7, 1 - 1e-7, 1 + 1e-7 };
    for (long k = 0; k < 6; ++k) {
        EXPECT_EQ(s.MSelected[k], cells[k]) << k;
        EXPECT_DOUBLE_EQ(s.XSelected[k], xs[k]) << k;
        EXPECT_EQ(s.RhoSelected[k], k < 3 ? 1.0 : 0.125) << k;
        EXPECT_EQ(s.PSelected[k], k < 3 ? 1.0 : 0.1) << k;
        EXPECT_EQ(s.VXSelected[k], k < 3 ? 0.75 : 0.0) << k;
    }
    EXPECT_EQ(s.XSelected.upper(), s.MSelected.upper());

    // One smoke stream in the middle half of the grid.
    for (long i = 1; i <= 100; ++i)
        ASSERT_EQ(s.FSmoke[i], (i >= 26 && i <= 75) ? 1.0 : 0.0) << i;

    // Row 0 of the history holds the new state; the problem time and the
    // count of stored rows are left alone.
    EXPECT_EQ(s.NSTValues, 102 * 600);
    EXPECT_EQ(s.STRho[0], 1.0f);
    EXPECT_EQ(s.STRho[101], 0.125f);
    EXPECT_EQ(s.STP[31], 0.1f);
    EXPECT_EQ(s.STFSmoke[50], 1.0f);
    EXPECT_FLOAT_EQ(s.STEntropy[40], static_cast<float>(0.1 * std::pow(0.125, -1.4)));
    EXPECT_EQ(s.TimeNow, 0.125);
    EXPECT_EQ(s.NStoredStates, 7);
}

TEST(ShockTubeSetUp, JumpCellRule)
{
    // A jump through a cell's middle gives that cell the right state; one on
    // a cell edge stays on the edge.
    struct Case {
        double xJump;
        Long mCurrent;
    };
    const Case cases[] = { { 0.305, 30 }, { 0.315, 31 }, { 0.3, 30 }, { 0.3051, 31 }, { 0.3149, 31 } };
    for (const Case& c : cases) {
        ExperimentState s = startUp();
        ShockTubeTest t = shockTubeTest(1);
        t.XJump = c.xJump;
        SetUpShockTubeState(s, t);
        EXPECT_EQ(s.MCurrent, c.mCurrent) << c.xJump;
        EXPECT_EQ(s.Rho[c.mCurrent], t.RhoL) << c.xJump;
        EXPECT_EQ(s.Rho[c.mCurrent + 1], t.RhoR) << c.xJump;
        EXPECT_EQ(s.MSelected[3], c.mCurrent + 1) << c.xJump;
    }
}

TEST(ShockTubeSetUp, JumpOutsideDomainKeepsBothStates)
{
    ExperimentState s = startUp();
    ShockTubeTest t = shockTubeTest(1);
    for (double xJump : { -0.5, 1.5 }) {
        t.XJump = xJump;
        SetUpShockTubeState(s, t);
        EXPECT_GE(s.MCurrent, 1);
        EXPECT_LE(s.MCurrent, 99);
        EXPECT_LT(s.MSelected[1], s.MSelected[3]);
        EXPECT_LT(s.MSelected[3], s.MSelected[4] + 1);
    }
}

TEST(ShockTubeSetUp, StrongShocksClampPressureRangeAtZero)
{
    struct Case {
        int test;
        double pMax;
    };
    for (const Case c : { Case { 5, 1000.0 * 1.05 }, Case { 8, 782.929 * 1.05 } }) {
        ExperimentState s = startUp();
        ApplyShockTubeTest(s, c.test);
        EXPECT_EQ(s.PMin, 0.0) << c.test;
        EXPECT_DOUBLE_EQ(s.PMax, c.pMax) << c.test;
        EXPECT_GT(s.RhoMin, 0.0) << c.test;
    }
}

TEST(ShockTubeSetUp, Test4TimeUnitFromTinySoundSpeed)
{
    ExperimentState s = startUp();
    ApplyShockTubeTest(s, 4);
    EXPECT_NEAR(s.TimeUnit, 845.15, 0.01);
    EXPECT_DOUBLE_EQ(s.TimeUnit, 1 / std::sqrt(1.4 * 0.000001));
    EXPECT_EQ(s.TStop, 1.0);
    // Snapshots per time unit would store one row before the stop time; the
    // run stores a hundred instead.
    EXPECT_DOUBLE_EQ(s.DtPlot, 0.01);
    // Test 4's gas moves at 1 against a sound speed of 0.0012: the first step
    // is limited by the flow, not by the snapshot interval.
    EXPECT_NEAR(s.Dt, 0.085 * 0.01 / (1.0 + std::sqrt(1.4e-6)), 1e-15);
}

// Every test stores at least a hundred snapshots over its run, and those
// with more at the lab's rate keep it (Test 7: 400 a time unit, 800 rows).
TEST(ShockTubeSetUp, EveryTestStoresAtLeastAHundredSnapshots)
{
    for (int test = 1; test <= kShockTubeTestCount; ++test) {
        SCOPED_TRACE(test);
        ExperimentState s = startUp();
        s.NPlotsPerPeriod = 400;
        ApplyShockTubeTest(s, test);
        EXPECT_GE(s.TStop / s.DtPlot, 100 * (1 - 1e-12));
        EXPECT_DOUBLE_EQ(s.DtPlot, std::min(s.TimeUnit / 400, s.TStop / 100));
    }
}

// Nothing of the problem before enters a test: the first step is the same
// after a problem with a short snapshot interval, a long one, or none yet.
TEST(ShockTubeSetUp, FirstStepDoesNotDependOnTheProblemBefore)
{
    const double expected = 0.085 * 0.01 / (0.75 + std::sqrt(1.4));
    for (const double before : { 1e-6, 1.0, 0.0 }) {
        SCOPED_TRACE(before);
        ExperimentState s = startUp();
        s.DtPlot = before;
        ApplyShockTubeTest(s, 1);
        EXPECT_NEAR(s.Dt, expected, 1e-15);
        EXPECT_EQ(s.DtOld, s.Dt);
    }
}

TEST(ShockTubeSetUp, EmptiedHistoryRowsCannotBeRestored)
{
    ExperimentState s = startUp();
    ASSERT_TRUE(StoreSnapshotRow(s, 1));
    ASSERT_TRUE(StoreSnapshotRow(s, 2));
    s.NStoredStates = 3;
    ApplyShockTubeTest(s, 1);
    EXPECT_EQ(s.NStoredStates, 3);
    EXPECT_EQ(s.STRho[102 + 5], 0.0f);
    const double before = s.Rho[5];
    EXPECT_FALSE(RestoreSnapshotRow(s, 1));
    EXPECT_FALSE(RestoreSnapshotRow(s, 2));
    EXPECT_EQ(s.Rho[5], before);
    EXPECT_TRUE(RestoreSnapshotRow(s, 0));
}

TEST(ShockTubeSetUp, ReallocatesForTheCurrentGrid)
{
    ExperimentState s = startUp(30);
    ApplyShockTubeTest(s, 3);
    EXPECT_EQ(s.Rho.lower(), -6);
    EXPECT_EQ(s.Rho.upper(), 107);
    EXPECT_EQ(s.SoundSpeed.upper(), 37);
    EXPECT_EQ(s.STRho.upper(), 32 * 600);
    EXPECT_EQ(s.MSelected.upper(), 32);
    EXPECT_EQ(s.MCurrent, 15);
    EXPECT_EQ(s.VX[15], -2.0);
    EXPECT_EQ(s.VX[16], 2.0);
    EXPECT_EQ(s.X[31], 1.0);
}

TEST(ShockTubeSetUp, MultifluidStreamsCarryFluidTwo)
{
    ExperimentState s = startUp();
    s.SchemeName = "Mixtal32";
    s.RhoRatio2 = 2.0;
    s.Gamma1 = 1.4;
    s.Gamma2 = 1.6;
    ApplyShockTubeTest(s, 1);

    ASSERT_TRUE(s.FFrac.contains(101));
    for (long i = 1; i <= 100; ++i) {
        const bool stream = i >= 26 && i <= 75;
        const double base = i <= 30 ? 1.0 : 0.125;
        ASSERT_EQ(s.Rho[i], stream ? 2 * base : base) << i;
        ASSERT_EQ(s.Rho1[i], base) << i;
        ASSERT_EQ(s.Rho2[i], 2 * base) << i;
        ASSERT_EQ(s.FFrac[i], s.FSmoke[i]) << i;
        ASSERT_EQ(s.FFracXX[i], stream ? 1.0 / 12.0 : 0.0) << i;
        // Sound speed and row-0 entropy with the cell's own gamma.
        const double g = stream ? 1.6 : 1.4;
        ASSERT_NEAR(s.SoundSpeedSq[i], g * s.P[i] / s.Rho[i], 1e-12) << i;
        ASSERT_FLOAT_EQ(s.STEntropy[i], static_cast<float>(s.P[i] * std::pow(s.Rho[i], -g))) << i;
    }
    EXPECT_EQ(s.Rho[0], 1.0);
    EXPECT_EQ(s.Rho[101], 0.125);
    EXPECT_DOUBLE_EQ(s.SoundSpeedSq[0], 1.4);
}
