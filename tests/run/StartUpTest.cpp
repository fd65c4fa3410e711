// SPDX-License-Identifier: GPL-3.0-or-later
// The start-up record: default problem, history row 0 and time scales.

#include <cmath>

#include <gtest/gtest.h>

#include "run/DefaultProblem.h"

namespace tamrel {
namespace {

    TEST(StartUp, DefaultProblemRecord)
    {
        ExperimentState s;
        s.TitleText = "caption";
        s.StudentName = "Ada";
        s.NGridCells = 37; // start-up always returns to 100 cells
        StartUpState(s);

        EXPECT_EQ(s.TitleText, "caption");
        EXPECT_EQ(s.StudentName, "Ada");
        EXPECT_EQ(s.NGridCells, 100);
        EXPECT_EQ(s.NPlotsTotal, 600);
        EXPECT_EQ(s.NSTValues, 61200);
        EXPECT_EQ(s.NStoredStates, 0);
        EXPECT_EQ(s.MCurrent, 90);
        EXPECT_EQ(s.MnBdry, 1);
        EXPECT_EQ(s.MxBdry, 1);
        EXPECT_DOUBLE_EQ(s.DX, 0.01);

        EXPECT_DOUBLE_EQ(s.RhoMin, 1 - 0.05 * 1.05);
        EXPECT_DOUBLE_EQ(s.RhoMax, 1.05);
        EXPECT_DOUBLE_EQ(s.PMin, 47.5);
        EXPECT_DOUBLE_EQ(s.PMax, 1050);
        EXPECT_DOUBLE_EQ(s.VXMin, -1.05);
        EXPECT_DOUBLE_EQ(s.VXMax, 1.05);
        EXPECT_DOUBLE_EQ(s.RhoCurrent, 1);
        EXPECT_DOUBLE_EQ(s.PCurrent, 100);

        const double c = std::sqrt(1400.0);
        EXPECT_NEAR(s.Dt, 0.085 * 0.01 / c, 1e-15);
        EXPECT_EQ(s.DtOld, s.Dt);
        EXPECT_DOUBLE_EQ(s.TimeUnit, 1 / c);
        EXPECT_DOUBLE_EQ(s.TStop, 1.5 / c);
        EXPECT_DOUBLE_EQ(s.DtPlot, 1 / (400 * c));
        EXPECT_EQ(s.TNextPlot, s.DtPlot);

        const long cells[8] = { 0, 1, 10, 11, 90, 91, 100, 101 };
        const double pressures[8] = { 1000, 1000, 1000, 0.01, 0.01, 100, 100, 100 };
        EXPECT_EQ(s.NSelected, 6);
        for (long k = 0; k < 8; ++k) {
            EXPECT_EQ(s.MSelected[k], cells[k]);
            EXPECT_EQ(s.PSelected[k], pressures[k]);
        }

        // Grid, regions and row 0.
        EXPECT_DOUBLE_EQ(s.X[0], -0.01);
        EXPECT_EQ(s.X[1], 0.0);
        EXPECT_EQ(s.X[101], 1.0);
        EXPECT_DOUBLE_EQ(s.X[102], 1.01);
        for (long j = 0; j <= 101; ++j) {
            const double p = j <= 10 ? 1000 : (j <= 90 ? 0.01 : 100);
            ASSERT_EQ(s.P[j], p) << j;
            EXPECT_EQ(s.STP[j], static_cast<float>(p)) << j;
            EXPECT_EQ(s.STRho[j], 1.0f);
            EXPECT_EQ(s.FSmoke[j], (j >= 26 && j <= 75) ? 1.0 : 0.0) << j;
            EXPECT_EQ(s.STFSmoke[j], s.FSmoke[j]);
        }
        EXPECT_EQ(s.StoredTime[0], 0.0);
    }

    TEST(StartUp, TimeScalesFollowTheSoundSpeedOfCellOne)
    {
        ExperimentState s;
        StartUpState(s);
        s.SoundSpeed[1] = 1.0;
        s.Dt = 1.0;
        ASSERT_TRUE(RefreshTimeScales(s));
        EXPECT_EQ(s.TimeUnit, 1.0);
        EXPECT_EQ(s.TStop, 1.5);
        EXPECT_EQ(s.DtPlot, 1.0 / 400);
        EXPECT_EQ(s.TNextPlot, 1.0 / 400);
        EXPECT_EQ(s.Dt, 1.0 / 400);
        EXPECT_EQ(s.DtOld, s.Dt);
        EXPECT_EQ(s.MSec, 5);

        // No sound speed, no time unit: nothing changes.
        s.SoundSpeed[1] = 0.0;
        s.Periods = 3;
        EXPECT_FALSE(RefreshTimeScales(s));
        EXPECT_EQ(s.TStop, 1.5);
    }

} // namespace
} // namespace tamrel
