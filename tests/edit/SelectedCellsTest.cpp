// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "edit/EditTestStates.h"
#include "edit/SelectedCells.h"

namespace tamrel {
namespace {

    using testing::CellValues;
    using testing::emptyTableState;
    using testing::selectedState;
    using testing::tableCells;

    TEST(SelectOnEmptyTable, BuildsTheTableAndFillsEveryCell)
    {
        struct Case {
            Long m;
            std::vector<Long> cells;
        };
        for (const Case& c : { Case { 40, { 0, 1, 40, 100, 101 } }, Case { 1, { 0, 1, 100, 101 } },
                 Case { 100, { 0, 1, 100, 101 } } }) {
            SCOPED_TRACE(c.m);
            ExperimentState s = emptyTableState();
            ASSERT_EQ(SelectCellState(s, c.m, 0.5, 0.2, 0.0), SelectStatus::Selected);

            EXPECT_EQ(tableCells(s), c.cells);
            EXPECT_EQ(s.NSelected, static_cast<Long>(c.cells.size()) - 2);
            for (Long j = 0; j <= s.NSelected + 1; ++j) {
                EXPECT_EQ(s.RhoSelected[j], 0.5);
                EXPECT_EQ(s.PSelected[j], 0.2);
                EXPECT_EQ(s.VXSelected[j], 0.0);
            }
            for (long i = 0; i <= 101; ++i) {
                ASSERT_EQ(s.Rho[i], 0.5) << "cell " << i;
                ASSERT_EQ(s.P[i], 0.2) << "cell " << i;
                ASSERT_EQ(s.VX[i], 0.0) << "cell " << i;
            }
            EXPECT_DOUBLE_EQ(s.SoundSpeed[c.m], std::sqrt(0.2 * 1.4 / 0.5));
            EXPECT_EQ(s.MCurrent, c.m);
            EXPECT_EQ(s.RhoCurrent, 0.5);
        }
    }

    TEST(SelectOnEmptyTable, PlacesTheEntriesBesideTheirEdges)
    {
        ExperimentState s = emptyTableState();
        SelectCellState(s, 40, 0.5, 0.2, 0.0);
        EXPECT_DOUBLE_EQ(s.XSelected[0], -1e-7);
        EXPECT_DOUBLE_EQ(s.XSelected[1], 1e-7);
        EXPECT_DOUBLE_EQ(s.XSelected[2], s.X[41] - 1e-7);
        EXPECT_DOUBLE_EQ(s.XSelected[3], 1 - 1e-7);
        EXPECT_DOUBLE_EQ(s.XSelected[4], 1 + 1e-7);
    }

    TEST(SelectInsert, InterpolatesBetweenNeighbouringEntries)
    {
        ExperimentState s
            = selectedState({ { 1, 1.0, 1.0, 0.0 }, { 100, 0.125, 0.1, 0.0 }, { 51, 0.5, 0.3, 0.2 } });

        EXPECT_EQ(tableCells(s), (std::vector<Long> { 0, 1, 51, 100, 101 }));
        for (long i = 2; i <= 50; ++i)
            EXPECT_NEAR(s.Rho[i], 1 - 0.01 * (i - 1), 1e-13) << "cell " << i;
        for (long i = 52; i <= 99; ++i)
            EXPECT_NEAR(s.Rho[i], 0.5 - 0.375 * (i - 51) / 49, 1e-13) << "cell " << i;
        // Velocity and pressure run on their own lines between the same cells.
        EXPECT_NEAR(s.VX[26], 0.2 * 25 / 50, 1e-14);
        EXPECT_NEAR(s.P[75], 0.3 - 0.2 * 24 / 49, 1e-14);
        EXPECT_NEAR(s.SoundSpeedSq[75], s.P[75] * 1.4 / s.Rho[75], 1e-14);
        // Selecting cell N carried the right end entry and cell N+1 along.
        EXPECT_EQ(s.RhoSelected[4], 0.125);
        EXPECT_EQ(s.Rho[101], 0.125);
    }

    TEST(SelectInsert, ReselectingACellReplacesItsValues)
    {
        ExperimentState s
            = selectedState({ { 1, 1.0, 1.0, 0.0 }, { 100, 0.125, 0.1, 0.0 }, { 51, 0.5, 0.3, 0.0 } });
        ASSERT_EQ(SelectCellState(s, 51, 0.75, 0.3, 0.0), SelectStatus::Selected);

        EXPECT_EQ(tableCells(s), (std::vector<Long> { 0, 1, 51, 100, 101 }));
        EXPECT_EQ(s.RhoSelected[2], 0.75);
        for (long i = 2; i <= 50; ++i)
            EXPECT_NEAR(s.Rho[i], 1 - 0.005 * (i - 1), 1e-13) << "cell " << i;
        for (long i = 52; i <= 99; ++i)
            EXPECT_NEAR(s.Rho[i], 0.75 - 0.625 * (i - 51) / 49, 1e-13) << "cell " << i;
    }

    TEST(SelectInsert, PositionsFollowTheEntryRule)
    {
        ExperimentState s = selectedState({ { 1, 1.0, 1.0, 0.0 } });
        EXPECT_DOUBLE_EQ(SelectedCellPosition(s, 1, 0), 1e-7);
        EXPECT_DOUBLE_EQ(SelectedCellPosition(s, 100, 99), 1 - 1e-7);
        EXPECT_DOUBLE_EQ(SelectedCellPosition(s, 40, 1), s.X[41] - 1e-7);
        EXPECT_DOUBLE_EQ(SelectedCellPosition(s, 2, 1), s.X[2] + 1e-7);

        // Through Select: cell 2 right after cell 1 sits inside its left edge.
        SelectCellState(s, 2, 1.0, 1.0, 0.0);
        ASSERT_EQ(s.MSelected[2], 2);
        EXPECT_DOUBLE_EQ(s.XSelected[2], s.X[2] + 1e-7);
    }

    TEST(SelectRefusal, LeavesTheStateAlone)
    {
        struct Case {
            const char* name;
            Long m;
            double rho, p, u;
            Long stopped;
            double time;
            SelectStatus expected;
        };
        const double nan = std::nan("");
        for (const Case& c : { Case { "running", 40, 1, 1, 0, 0, 0, SelectStatus::NotReady },
                 Case { "halted", 40, 1, 1, 0, 1, 0.5, SelectStatus::NotReady },
                 Case { "zero density", 40, 0, 1, 0, 1, 0, SelectStatus::BadDensity },
                 Case { "negative density", 40, -1, 1, 0, 1, 0, SelectStatus::BadDensity },
                 Case { "cell 0", 0, 1, 1, 0, 1, 0, SelectStatus::BadCell },
                 Case { "cell N+1", 101, 1, 1, 0, 1, 0, SelectStatus::BadCell },
                 Case { "not a number", 40, 1, nan, 0, 1, 0, SelectStatus::BadValue } }) {
            SCOPED_TRACE(c.name);
            ExperimentState s = selectedState({ { 1, 1.0, 1.0, 0.0 }, { 60, 2.0, 1.0, 0.0 } });
            s.Stopped = c.stopped;
            s.TimeNow = c.time;
            const auto cells = tableCells(s);
            const double rho40 = s.Rho[40];
            const double rhoMax = s.RhoMax;
            EXPECT_EQ(SelectCellState(s, c.m, c.rho, c.p, c.u), c.expected);
            EXPECT_EQ(tableCells(s), cells);
            EXPECT_EQ(s.Rho[40], rho40);
            EXPECT_EQ(s.RhoMax, rhoMax);
        }
    }

    TEST(SelectMultifluid, WritesTheFluidCompanions)
    {
        ExperimentState s = emptyTableState();
        s.SchemeName = "Mixtal32";
        s.RhoRatio2 = 2.0;
        allocateMultifluidArrays(s);
        SelectCellState(s, 40, 0.5, 0.2, 0.0);
        SelectCellState(s, 70, 1.5, 0.2, 0.0);
        for (long i : { 0L, 1L, 40L, 55L, 100L, 101L }) {
            EXPECT_EQ(s.Rho1[i], s.Rho[i]) << "cell " << i;
            EXPECT_EQ(s.Rho2[i], 2.0 * s.Rho[i]) << "cell " << i;
            EXPECT_EQ(s.P1[i], 0.2);
            EXPECT_EQ(s.P2[i], 0.2);
        }
        EXPECT_NEAR(s.Rho[55], 1.0, 1e-14);
    }

    TEST(Deselect, RemovingCellOneRefillsFromTheLeftEnd)
    {
        ExperimentState s = selectedState({ { 1, 2.0, 1.0, 0.0 }, { 100, 1.0, 1.0, 0.0 }, { 50, 1.0, 1.0, 0.0 } });
        ASSERT_EQ(s.Rho[0], 2.0);
        ASSERT_TRUE(DeselectCellState(s, 1));

        EXPECT_EQ(s.NSelected, 2);
        EXPECT_EQ(tableCells(s), (std::vector<Long> { 0, 50, 100, 101 }));
        for (long i = 1; i <= 49; ++i)
            EXPECT_NEAR(s.Rho[i], 2.0 - i / 50.0, 1e-13) << "cell " << i;
        EXPECT_NEAR(s.SoundSpeedSq[10], s.P[10] * 1.4 / s.Rho[10], 1e-14);
    }

    TEST(Deselect, ACellOutsideTheTableChangesNothing)
    {
        ExperimentState s = selectedState({ { 1, 2.0, 1.0, 0.0 }, { 50, 1.0, 1.0, 0.0 } });
        const auto cells = tableCells(s);
        const double rho30 = s.Rho[30];
        EXPECT_FALSE(DeselectCellState(s, 30));
        EXPECT_FALSE(DeselectCellState(s, 5000));
        EXPECT_EQ(tableCells(s), cells);
        EXPECT_EQ(s.Rho[30], rho30);
        EXPECT_EQ(s.MCurrent, 30); // a grid cell becomes current, an outside one does not
    }

    TEST(Reset, DeselectsTheInnerEntriesFromTheTop)
    {
        ExperimentState s = selectedState(
            { { 1, 1.0, 1.0, 0.0 }, { 100, 0.5, 1.0, 0.0 }, { 30, 2.0, 1.0, 0.0 }, { 60, 3.0, 1.0, 0.0 } });
        ASSERT_EQ(tableCells(s), (std::vector<Long> { 0, 1, 30, 60, 100, 101 }));
        EXPECT_EQ(ResetDeselectCells(s), (std::vector<Long> { 60, 30 }));

        ASSERT_TRUE(ResetSelectedCells(s));
        EXPECT_EQ(tableCells(s), (std::vector<Long> { 0, 1, 100, 101 }));
        for (long i = 2; i <= 99; ++i)
            EXPECT_NEAR(s.Rho[i], 1.0 - 0.5 * (i - 1) / 99, 1e-13) << "cell " << i;
    }

    TEST(Reset, DoesNothingOutsideReadyOrOnTwoEntries)
    {
        ExperimentState s = selectedState({ { 1, 1.0, 1.0, 0.0 }, { 30, 2.0, 1.0, 0.0 }, { 100, 0.5, 1.0, 0.0 } });
        s.TimeNow = 0.25;
        EXPECT_TRUE(ResetDeselectCells(s).empty());
        s.TimeNow = 0;
        s.Stopped = 0;
        EXPECT_TRUE(ResetDeselectCells(s).empty());

        ExperimentState two = selectedState({ { 1, 1.0, 1.0, 0.0 }, { 100, 0.5, 1.0, 0.0 } });
        EXPECT_TRUE(ResetDeselectCells(two).empty());
    }

    TEST(Rebuild, PrefillTakesTheFirstTwoEntries)
    {
        ExperimentState s
            = selectedState({ { 1, 1.0, 1.0, 0.0 }, { 100, 0.5, 0.25, 0.0 }, { 40, 3.0, 1.0, 0.0 } });
        ResizeGridArrays(s);
        PrefillGridFromTable(s);
        for (long i = 0; i <= 99; ++i)
            ASSERT_EQ(s.Rho[i], s.RhoSelected[0]) << "cell " << i;
        EXPECT_EQ(s.Rho[100], s.RhoSelected[1]);
        EXPECT_EQ(s.Rho[101], s.RhoSelected[1]);
        EXPECT_DOUBLE_EQ(s.SoundSpeed[50], std::sqrt(1.4));
    }

    TEST(Rebuild, ReplayRangesOpenAroundTheTable)
    {
        // All entries at one pressure and at rest: pressure 0.95p..1.05p,
        // velocity +-5 % of the sound speed of cell 1.
        ExperimentState s = selectedState({ { 1, 1.0, 0.5, 0.0 }, { 100, 0.5, 0.5, 0.0 }, { 40, 2.0, 0.5, 0.0 } });
        ResizeGridArrays(s);
        PrefillGridFromTable(s);
        ReplayRanges r = BeginReplayRanges(s);
        for (Long k = 1; k <= s.NSelected; ++k)
            ReplayEntryValues(s, r, k);

        EXPECT_DOUBLE_EQ(s.PMin, 0.95 * 0.5);
        EXPECT_DOUBLE_EQ(s.PMax, 1.05 * 0.5);
        const double c1 = std::sqrt(1.4 * 0.5 / 1.0);
        EXPECT_DOUBLE_EQ(s.VXMax, 0.05 * c1);
        EXPECT_DOUBLE_EQ(s.VXMin, -0.05 * c1);
        EXPECT_DOUBLE_EQ(s.RhoMin, 0.5 - 0.075);
        EXPECT_DOUBLE_EQ(s.RhoMax, 2.0 + 0.075);
        EXPECT_EQ(s.Rho[40], 2.0);
        EXPECT_EQ(s.MCurrent, 100);
    }

    TEST(Rebuild, RunStateReturnsToReady)
    {
        ExperimentState s = selectedState({ { 1, 1.0, 1.0, 0.0 } });
        s.Stopped = 0;
        s.NStoredStates = 7;
        s.STRowOffset = 714;
        s.MultiplePlots = 1;
        s.StoredStateShown = 3;
        ResetRebuildRunState(s);
        EXPECT_EQ(s.Stopped, 1);
        EXPECT_EQ(s.MCurrent, 50);
        EXPECT_EQ(s.NStoredStates, 0);
        EXPECT_EQ(s.STRowOffset, 0);
        EXPECT_EQ(s.MultiplePlots, 0);
        EXPECT_EQ(s.StoredStateShown, 0);
    }

    TEST(Rebuild, TimeScalesFromCellOne)
    {
        struct Case {
            Long plotsPerPeriod;
            double dt;
        };
        for (const Case& c : { Case { 400, 0.1 * 0.85 * 0.01 }, Case { 2000, 1.0 / 2000 } }) {
            SCOPED_TRACE(c.plotsPerPeriod);
            // Sound speed 1 everywhere on 100 cells.
            ExperimentState s = selectedState({ { 1, 1.4, 1.0, 0.0 } });
            s.NPlotsPerPeriod = c.plotsPerPeriod;
            ComputeRebuildTimeScales(s);
            EXPECT_NEAR(s.TimeUnit, 1.0, 1e-15);
            EXPECT_NEAR(s.TStop, 1.5, 1e-14);
            EXPECT_NEAR(s.DtPlot, 1.0 / c.plotsPerPeriod, 1e-17);
            EXPECT_EQ(s.TNextPlot, s.DtPlot);
            EXPECT_NEAR(s.Dt, c.dt, 1e-15);
        }
    }

    TEST(Rebuild, CellOneWithoutSoundSpeedKeepsTheTimeScalesFinite)
    {
        ExperimentState s = selectedState({ { 1, 1.4, 1.0, 0.0 } });
        s.P[1] = 0;
        ComputeRebuildTimeScales(s);
        EXPECT_EQ(s.TimeUnit, 1.0 / s.SoundSpeed0);
        EXPECT_TRUE(std::isfinite(s.DtPlot));
        EXPECT_TRUE(std::isfinite(s.Dt));
        EXPECT_GT(s.Dt, 0);
    }

    TEST(Rebuild, ReplayKeepsTableAndLines)
    {
        ExperimentState s
            = selectedState({ { 1, 1.0, 1.0, 0.0 }, { 100, 0.125, 0.1, 0.0 }, { 51, 0.5, 0.3, 0.0 } });
        const auto cells = tableCells(s);
        testing::rebuildWithoutBoxes(s);
        EXPECT_EQ(tableCells(s), cells);
        for (long i = 2; i <= 50; ++i)
            EXPECT_NEAR(s.Rho[i], 1 - 0.01 * (i - 1), 1e-13) << "cell " << i;
        EXPECT_FLOAT_EQ(s.STRho[51], 0.5f);
        EXPECT_EQ(s.MCurrent, 100); // the last entry replayed
    }

} // namespace
} // namespace tamrel
