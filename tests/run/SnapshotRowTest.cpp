// SPDX-License-Identifier: GPL-3.0-or-later
// History rows: what a row holds, and putting a row back into the grid.

#include <cmath>
#include <numeric>

#include <gtest/gtest.h>

#include "run/RunTestStates.h"
#include "run/SnapshotRow.h"

namespace tamrel {
namespace {

    using testing::shockTubeState;

    TEST(SnapshotRow, UniformStateHasFlatInvariantsAndItsEntropy)
    {
        auto s = shockTubeState(10, "Orvane", 0.5, 2, 3, 0.5, 2, 3);
        for (long j = 0; j <= 11; ++j)
            s.VX[j] = 0.5;
        ASSERT_TRUE(StoreSnapshotRow(s, 2));
        const long o = 2 * 12;
        for (long j = 0; j <= 11; ++j) {
            EXPECT_EQ(s.STRho[o + j], 2.0f);
            EXPECT_EQ(s.STP[o + j], 3.0f);
            EXPECT_EQ(s.STVX[o + j], 0.5f);
            EXPECT_FLOAT_EQ(s.STEntropy[o + j], static_cast<float>(3 * std::pow(2.0, -1.4)));
            EXPECT_EQ(s.STRPlus[o + j], 0.0f);
            EXPECT_EQ(s.STRMinus[o + j], 0.0f);
        }
        // The row before it is untouched.
        EXPECT_EQ(s.STRho[o - 1], 0.0f);
    }

    TEST(SnapshotRow, RightRunningSoundWaveIsCarriedByRPlus)
    {
        // Linear acoustics: dU = dP / Z along a right-running wave, so R- is flat
        // and R+ = 2 U up to a constant that the mean removal takes out.
        const long n = 200;
        auto s = shockTubeState(n, "Orvane", 0.5, 1, 1, 0, 1, 1);
        const double z = std::sqrt(1.4);
        const double a = 1e-4, pi = std::acos(-1.0);
        for (long j = 0; j <= n + 1; ++j) {
            const double u = a * std::sin(2 * pi * (j - 0.5) / n);
            s.VX[j] = u;
            s.P[j] = 1 + z * u;
            s.Rho[j] = 1 + u / z;
        }
        ASSERT_TRUE(StoreSnapshotRow(s, 0));
        double sumPlus = 0;
        for (long j = 1; j <= n; ++j) {
            EXPECT_NEAR(s.STRMinus[j], 0.0, 1e-8);
            EXPECT_NEAR(s.STRPlus[j], 2 * s.VX[j], 1e-7);
            sumPlus += s.STRPlus[j];
        }
        EXPECT_NEAR(sumPlus / n, 0.0, 1e-9);
    }

    TEST(SnapshotRow, PerCellGammaUsesTheFluidMixture)
    {
        auto s = shockTubeState(20, "Mixtal32", 0.5, 1, 1, 0, 1, 1);
        s.Gamma2 = 1.2;
        ASSERT_EQ(s.FSmoke[10], 1.0); // a stream cell of fluid 2, density 2
        ASSERT_TRUE(StoreSnapshotRow(s, 1, RowGamma::PerCell));
        EXPECT_FLOAT_EQ(s.STEntropy[22 + 10], static_cast<float>(std::pow(2.0, -1.2)));
        EXPECT_FLOAT_EQ(s.STEntropy[22 + 1], 1.0f);
        ASSERT_TRUE(StoreSnapshotRow(s, 1, RowGamma::Uniform));
        EXPECT_FLOAT_EQ(s.STEntropy[22 + 10], static_cast<float>(std::pow(2.0, -1.4)));
    }

    TEST(SnapshotRow, LogRowsComeBackAsPlainValues)
    {
        auto s = shockTubeState(10, "Orvane", 0.5, 1, 1000, 0.25, 0.125, 0.01);
        s.LogPlots = 1;
        ASSERT_TRUE(StoreSnapshotRow(s, 0));
        EXPECT_FLOAT_EQ(s.STP[1], 3.0f);
        EXPECT_FLOAT_EQ(s.STP[10], -2.0f);
        s.NStoredStates = 1;
        for (long j = 0; j <= 11; ++j)
            s.Rho[j] = s.P[j] = s.VX[j] = 9;
        ASSERT_TRUE(RestoreSnapshotRow(s, 0));
        EXPECT_NEAR(s.Rho[1], 1.0, 1e-6);
        EXPECT_NEAR(s.P[1], 1000.0, 1e-3);
        EXPECT_NEAR(s.Rho[10], 0.125, 1e-7);
        EXPECT_NEAR(s.P[10], 0.01, 1e-8);
        EXPECT_EQ(s.VX[1], 0.25);
    }

    // Turning log plots on or off rewrites row 0 in the new form, so Restart
    // reads back the problem that was set up.
    TEST(SnapshotRow, LogChoiceRewritesRowZero)
    {
        auto s = shockTubeState(10, "Orvane", 0.5, 1, 1000, 0.25, 0.125, 0.01);
        s.P[11] = 0; // a pressure without a logarithm
        ASSERT_TRUE(StoreSnapshotRow(s, 0));
        const auto plain = s.STP;

        SetLogPlots(s, 1);
        EXPECT_EQ(s.LogPlots, 1);
        EXPECT_FLOAT_EQ(s.STP[1], 3.0f);
        EXPECT_FLOAT_EQ(s.STRho[10], static_cast<float>(std::log10(0.125)));
        EXPECT_EQ(s.STP[11], 0.0f); // left as it was

        SetLogPlots(s, 7); // still logarithmic: no second conversion
        EXPECT_EQ(s.LogPlots, 7);
        EXPECT_FLOAT_EQ(s.STP[1], 3.0f);

        SetLogPlots(s, 0);
        EXPECT_EQ(s.LogPlots, 0);
        for (long j = 0; j <= 10; ++j)
            EXPECT_NEAR(s.STP[j], plain[j], 1e-4 * plain[j]) << j;
        s.NStoredStates = 1;
        ASSERT_TRUE(RestoreSnapshotRow(s, 0));
        EXPECT_NEAR(s.Rho[10], 0.125, 1e-7);

        ExperimentState noHistory;
        SetLogPlots(noHistory, 1);
        EXPECT_EQ(noHistory.LogPlots, 1);
    }

    TEST(SnapshotRow, RowsThatWereNotStoredAreRefused)
    {
        auto s = shockTubeState(10, "Orvane");
        s.NPlotsTotal = 4;
        allocateHistory(s);
        for (long r = 0; r < 3; ++r)
            ASSERT_TRUE(StoreSnapshotRow(s, r));
        s.NStoredStates = 3;
        EXPECT_FALSE(StoreSnapshotRow(s, 4)); // past (N+2)*K
        EXPECT_FALSE(StoreSnapshotRow(s, -1));
        EXPECT_TRUE(StoreSnapshotRow(s, 3)); // row K-1 fits

        const auto before = s;
        for (long row : { -1L, 3L, 4L, 1000L })
            EXPECT_FALSE(RestoreSnapshotRow(s, row)) << row;
        // An emptied row: zero density.
        for (long j = 0; j <= 11; ++j)
            s.STRho[12 + j] = 0.0f;
        EXPECT_FALSE(SnapshotRowHoldsState(s, 1));
        EXPECT_TRUE(SnapshotRowHoldsState(s, 2));
        EXPECT_FALSE(SnapshotRowHoldsState(s, 3)); // fits, but was not counted as stored
        EXPECT_FALSE(RestoreSnapshotRow(s, 1));
        for (long j = 0; j <= 11; ++j) {
            ASSERT_EQ(s.Rho[j], before.Rho[j]);
            ASSERT_EQ(s.P[j], before.P[j]);
        }
        EXPECT_TRUE(RestoreSnapshotRow(s, 2));
    }

    // Showing a stored row points the history offset at it; a row that holds
    // no state leaves the grid and the offset as they were.
    TEST(SnapshotRow, ShowingAStoredRowPointsTheOffsetAtIt)
    {
        auto s = shockTubeState(10, "Orvane");
        s.NPlotsTotal = 4;
        allocateHistory(s);
        for (long r = 0; r < 3; ++r) {
            s.Rho[5] = 1.0 + r;
            ASSERT_TRUE(StoreSnapshotRow(s, r));
        }
        s.NStoredStates = 3;
        s.STRowOffset = 36;

        ASSERT_TRUE(ShowStoredRow(s, 1));
        EXPECT_EQ(s.STRowOffset, 12);
        EXPECT_FLOAT_EQ(s.Rho[5], 2.0);
        for (const long row : { 3L, -1L }) {
            EXPECT_FALSE(ShowStoredRow(s, row)) << row;
            EXPECT_EQ(s.STRowOffset, 12);
            EXPECT_FLOAT_EQ(s.Rho[5], 2.0);
        }
    }

} // namespace
} // namespace tamrel
