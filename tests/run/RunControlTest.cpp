// SPDX-License-Identifier: GPL-3.0-or-later
// Begin, Continue, Restart, the plot-range fit and the steps per tick.

#include <cmath>

#include <gtest/gtest.h>

#include "run/PlotRanges.h"
#include "run/RunControl.h"
#include "run/RunTestStates.h"

namespace tamrel {
namespace {

    using testing::shockTubeState;

    TEST(PlotRanges, FitOpensUniformRanges)
    {
        auto s = shockTubeState(10, "Orvane", 0.5, 2, 3, 0.5, 2, 3);
        for (long i = 0; i <= 11; ++i)
            s.VX[i] = 0.5;
        FitPlotRanges(s);
        EXPECT_DOUBLE_EQ(s.RhoMin, 0.95 * 2);
        EXPECT_DOUBLE_EQ(s.RhoMax, 1.05 * 2);
        EXPECT_DOUBLE_EQ(s.PMin, 0.95 * 3);
        EXPECT_DOUBLE_EQ(s.PMax, 1.05 * 3);
        const double c = std::sqrt(3 * 1.4 / 2);
        EXPECT_DOUBLE_EQ(s.VXMin, 0.5 - 0.05 * c);
        EXPECT_DOUBLE_EQ(s.VXMax, 0.5 + 0.05 * c);
    }

    TEST(PlotRanges, FitAndWidenPushFivePercentBeyondTheExtremes)
    {
        auto s = shockTubeState(10, "Orvane", 0.5, 1, 1, -1, 0.125, 0.1);
        FitPlotRanges(s);
        // Cells 1..5 (1, 1, -1), cells 6..11 (0.125, 0.1, 0).
        EXPECT_DOUBLE_EQ(s.RhoMax, 1.0);
        EXPECT_DOUBLE_EQ(s.RhoMin, 1.05 * 0.125 - 0.05 * 1.0);
        EXPECT_DOUBLE_EQ(s.VXMin, -1.0);
        EXPECT_DOUBLE_EQ(s.VXMax, 0.05);

        // Widening only grows; density and pressure minima stop at 0.
        s.Rho[3] = 3.0;
        s.P[4] = 1e-9;
        s.VX[2] = -4.0;
        const double pMin = s.PMin;
        WidenPlotRanges(s);
        EXPECT_DOUBLE_EQ(s.RhoMax, 1.05 * 3 - 0.05 * (1.05 * 0.125 - 0.05));
        EXPECT_EQ(s.PMin, 0.0);
        EXPECT_DOUBLE_EQ(s.PMax, 1.05 * 1 - 0.05 * pMin); // a value at the maximum pushes it out again
        EXPECT_DOUBLE_EQ(s.VXMin, 1.05 * -4.0 - 0.05 * 0.05);
    }

    TEST(RunControl, BeginPreparesTheHistoryAndStarts)
    {
        auto s = shockTubeState(10, "Orvane");
        s.NStoredStates = 7;
        s.Dt = 0.001;
        ASSERT_EQ(BeginRun(s), BeginStatus::Started);
        EXPECT_EQ(s.Stopped, 0);
        EXPECT_EQ(s.NStoredStates, 1);
        EXPECT_EQ(s.STRowOffset, 12);
        EXPECT_EQ(s.DtOld, 0.001);
        EXPECT_EQ(s.Dt, 0.001);
        EXPECT_EQ(s.VX[0], -s.VX[1]); // reflected boundary cells
        EXPECT_EQ(s.STVX[0], static_cast<float>(-s.VX[1]));
        EXPECT_EQ(s.STVX[11], static_cast<float>(-s.VX[10]));
        EXPECT_EQ(s.STRho[12], 0.0f); // row 1 empty

        // Not at time zero: nothing.
        s.Stopped = 1;
        s.TimeNow = 0.5;
        const auto before = s.NStoredStates;
        EXPECT_EQ(BeginRun(s), BeginStatus::NotAtTimeZero);
        EXPECT_EQ(s.Stopped, 1);
        EXPECT_EQ(s.NStoredStates, before);
    }

    TEST(RunControl, BeginRefusesAnUnknownScheme)
    {
        auto s = shockTubeState(10, "Orvane");
        s.SchemeName = "Orvane33";
        EXPECT_EQ(BeginRun(s), BeginStatus::UnknownScheme);
        EXPECT_EQ(s.Stopped, 1);
        s.SchemeName = "orvane32"; // letter case does not matter
        EXPECT_EQ(BeginRun(s), BeginStatus::Started);
    }

    TEST(RunControl, BeginWithRiemannPlotsMakesPeriodicBoundaryCells)
    {
        auto s = shockTubeState(10, "Orvane");
        s.RiemannPlots = 1;
        ASSERT_EQ(BeginRun(s), BeginStatus::Started);
        EXPECT_EQ(s.Rho[0], s.Rho[10]);
        EXPECT_EQ(s.VX[11], s.VX[1]);
    }

    TEST(RunControl, ContinueResumesFromTheNewestRow)
    {
        auto s = shockTubeState(10, "Orvane");
        EXPECT_FALSE(ContinueRunState(s)); // nothing stored yet
        EXPECT_EQ(s.Stopped, 1);

        s.NStoredStates = 3;
        s.StoredTime[2] = 0.75;
        s.TimeNow = 0.8;
        bool shown = false;
        ASSERT_TRUE(ContinueRunState(s, [&] {
            shown = true;
            EXPECT_EQ(s.Stopped, 1); // the stored-state box acts while halted
            EXPECT_EQ(s.StoredStateShown, 2);
        }));
        EXPECT_TRUE(shown);
        EXPECT_EQ(s.TimeNow, 0.75);
        EXPECT_EQ(s.Stopped, 0);
    }

    // A run halted between snapshots: rows 0..2 stored, the grid at t = 0.8,
    // STRowOffset at the row the next snapshot would take.
    ExperimentState haltedRun()
    {
        auto s = shockTubeState(10, "Orvane");
        EXPECT_EQ(BeginRun(s), BeginStatus::Started);
        for (long r = 1; r <= 2; ++r) {
            for (long j = 0; j <= 11; ++j)
                s.Rho[j] = 1.0 + 0.25 * static_cast<double>(r);
            EXPECT_TRUE(StoreSnapshotRow(s, r));
            s.StoredTime[r] = 0.25 * static_cast<double>(r);
        }
        s.NStoredStates = 3;
        s.STRowOffset = 12 * 3;
        s.TimeNow = 0.8;
        s.Stopped = 1;
        return s;
    }

    TEST(RunControl, ContinueGoesOnAtTheTimeTheGridHolds)
    {
        // The stored-state box already showed the newest row: nothing is
        // restored and the run goes on from the halted grid at its own time.
        auto s = haltedRun();
        ASSERT_TRUE(ContinueRun(s, [] {}));
        EXPECT_EQ(s.TimeNow, 0.8);
        EXPECT_EQ(s.StoredStateShown, 2);
        EXPECT_EQ(s.Stopped, 0);

        // Showing the row restored it (as the box's cascade does): the grid
        // holds row 2, and the run goes on at that row's time.
        s = haltedRun();
        ASSERT_TRUE(ContinueRun(s, [&] {
            s.STRowOffset = 12 * 2;
            ASSERT_TRUE(RestoreSnapshotRow(s, 2));
        }));
        EXPECT_EQ(s.TimeNow, 0.5);
        EXPECT_EQ(s.Rho[5], 1.5);
        EXPECT_EQ(s.Stopped, 0);
    }

    TEST(RunControl, ContinueRefusesAnEmptiedNewestRow)
    {
        // A set-up loaded after the run re-creates the history empty while
        // the count of stored rows stays.
        auto s = haltedRun();
        allocateHistory(s);
        bool shown = false;
        EXPECT_FALSE(ContinueRun(s, [&] { shown = true; }));
        EXPECT_FALSE(shown);
        EXPECT_EQ(s.Stopped, 1);
        EXPECT_EQ(s.TimeNow, 0.8);

        ExperimentState nothingStored = shockTubeState(10, "Orvane");
        EXPECT_FALSE(ContinueRun(nothingStored));
        EXPECT_EQ(nothingStored.Stopped, 1);
    }

    // A run at or past its stop time, or with no room for a further row, is
    // not continued: Continue would step past TStop or store nothing.
    TEST(RunControl, ContinueRefusesAFinishedRunAndAFullHistory)
    {
        auto s = shockTubeState(10, "Orvane");
        ASSERT_EQ(BeginRun(s), BeginStatus::Started);
        s.Stopped = 1;
        s.NStoredStates = 3;
        s.StoredTime[2] = 0.75;
        s.TimeNow = 0.75;
        struct Case {
            const char* what;
            double tStop;
            long historyRows;
            ContinueStatus expected;
        };
        const Case cases[] = {
            { "before TStop", 1.0, 10, ContinueStatus::Continued },
            { "at TStop", 0.75, 10, ContinueStatus::RunOver },
            { "past TStop", 0.5, 10, ContinueStatus::RunOver },
            { "history full", 1.0, 3, ContinueStatus::HistoryFull },
        };
        for (const auto& c : cases) {
            SCOPED_TRACE(c.what);
            auto t = s;
            t.TStop = c.tStop;
            allocateHistoryRows(t, c.historyRows);
            t.StoredTime[2] = 0.75;
            EXPECT_EQ(ContinueStatusOf(t), c.expected);
            EXPECT_EQ(ContinueRunState(t), c.expected == ContinueStatus::Continued);
            EXPECT_EQ(t.Stopped, c.expected == ContinueStatus::Continued ? 0 : 1);
        }
    }

    // Restart brings back the very state the run began from, so Begin after
    // Restart starts the same run as Begin after the set-up, bit for bit (the
    // history alone holds single precision, and Test 1's pressure 0.1 is no
    // single-precision number).
    TEST(RunControl, RestartReturnsExactlyToTheStartOfTheRun)
    {
        for (const Long logPlots : { 0, 1 }) {
            SCOPED_TRACE(logPlots);
            auto s = shockTubeState(20, "Orvane");
            s.LogPlots = logPlots;
            auto fresh = s;
            ASSERT_EQ(BeginRun(fresh), BeginStatus::Started);
            ASSERT_EQ(BeginRun(s), BeginStatus::Started);
            // A run that changed everything.
            for (long j = 0; j <= 21; ++j) {
                s.Rho[j] = 5;
                s.P[j] = 2;
                s.VX[j] = 3;
            }
            s.TimeNow = 0.3;
            s.NStoredStates = 9;
            s.NCycle = 1234;
            s.MflopsTotal = 12;
            s.MeterSeconds = 2;
            s.Dt = 1;

            ASSERT_EQ(RestartRun(s), RestartStatus::Restored);
            EXPECT_EQ(s.TimeNow, 0.0);
            EXPECT_EQ(s.Stopped, 1);
            EXPECT_EQ(s.NStoredStates, 1);
            EXPECT_EQ(s.NCycle, 0);
            EXPECT_EQ(s.MflopsTotal, 0.0);
            EXPECT_EQ(s.MeterSeconds, 0.0);
            EXPECT_EQ(s.TNextPlot, s.DtPlot);
            EXPECT_EQ(s.STRowOffset, 22);
            ASSERT_EQ(BeginRun(s), BeginStatus::Started);
            for (long j = 0; j <= 21; ++j) {
                EXPECT_EQ(s.Rho[j], fresh.Rho[j]) << j;
                EXPECT_EQ(s.P[j], fresh.P[j]) << j;
                EXPECT_EQ(s.VX[j], fresh.VX[j]) << j;
                EXPECT_EQ(s.STP[j], fresh.STP[j]) << j;
            }
            EXPECT_EQ(s.Dt, fresh.Dt);
            EXPECT_EQ(s.DtOld, fresh.DtOld);
        }
    }

    // In Ready no step has run: Restart leaves the set-up's grid and first
    // step as they are (they are the start already).
    TEST(RunControl, RestartInReadyKeepsTheSetUp)
    {
        auto s = shockTubeState(20, "Orvane");
        s.Dt = 0.00123;
        s.NCycle = 77;
        const auto before = s;
        ASSERT_EQ(RestartRun(s), RestartStatus::Restored);
        for (long j = 0; j <= 21; ++j)
            EXPECT_EQ(s.P[j], before.P[j]) << j;
        EXPECT_EQ(s.Dt, std::min(before.Dt, s.DtPlot));
        EXPECT_EQ(s.NCycle, 0);
    }

    TEST(RunControl, RestartRederivesTheFluidsOfTheMultifluidScheme)
    {
        auto s = shockTubeState(20, "Mixtal32");
        ASSERT_EQ(BeginRun(s), BeginStatus::Started);
        const auto initial = s;
        for (long j = 0; j <= 21; ++j) {
            s.Rho1[j] = s.Rho2[j] = s.P1[j] = 42;
            s.FFrac[j] = s.FFracXX[j] = 0.5;
        }
        ASSERT_EQ(RestartRun(s), RestartStatus::Restored);
        for (long j = 1; j <= 20; ++j) {
            EXPECT_FLOAT_EQ(s.Rho1[j], initial.Rho1[j]) << j;
            EXPECT_FLOAT_EQ(s.Rho2[j], initial.Rho2[j]) << j;
            EXPECT_FLOAT_EQ(s.P2[j], initial.P2[j]) << j;
            EXPECT_EQ(s.FFrac[j], initial.FFrac[j]) << j;
            EXPECT_EQ(s.FFracXX[j], initial.FFracXX[j]) << j;
        }
    }

    TEST(RunControl, RestartKeepsTheGridWhenRowZeroIsEmpty)
    {
        auto s = shockTubeState(10, "Orvane");
        allocateHistory(s); // row 0 all zero
        s.TimeNow = 0.2;
        const double rho3 = s.Rho[3];
        EXPECT_EQ(RestartRun(s), RestartStatus::KeptGrid);
        EXPECT_EQ(s.Rho[3], rho3);
        EXPECT_EQ(s.TimeNow, 0.0);
        EXPECT_TRUE(std::isfinite(s.Dt));
    }

    TEST(RunControl, StepsPerTick)
    {
        struct Case {
            long n;
            Long riemann;
            double rhoMax, dt;
            long steps;
        };
        const Case cases[] = {
            { 100, 0, 2, 1e-3, 3 }, { 29, 0, 2, 1e-3, 1 }, { 5000, 0, 2, 1e-3, 166 },
            { 100, 1, 1.05, 1.0 / 2500, 250 }, // small sound wave
            { 100, 1, 1.08, 1.0 / 2500, 3 }, // large wave: by N
            { 100, 1, 1.05, 1.0 / 4, 1 }, // 0.4 rounds to 0, raised to 1
            { 100, 1, 1.05, 0.04, 2 }, // 2.5 rounds half to even
        };
        for (const auto& c : cases) {
            ExperimentState s;
            s.NGridCells = static_cast<Long>(c.n);
            s.RiemannPlots = c.riemann;
            s.RhoMax = c.rhoMax;
            s.Dt = c.dt;
            EXPECT_EQ(StepsPerTick(s), c.steps) << c.n << " " << c.dt;
        }
    }

} // namespace
} // namespace tamrel
