// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "edit/EditTestStates.h"
#include "edit/GridParameters.h"

namespace tamrel {
namespace {

    using testing::emptyTableState;
    using testing::selectedState;
    using testing::tableCells;

    TEST(ResizeGridArrays, LaysOutTheGridOnTheUnitInterval)
    {
        ExperimentState s = emptyTableState();
        s.NGridCells = 7; // 1/7 does not add up to 1 exactly
        s.NPlotsPerPeriod = 5;
        s.Periods = 0.5; // 2.5 rows: halves go to the even neighbour
        ResizeGridArrays(s);

        EXPECT_EQ(s.NPlotsTotal, 2);
        EXPECT_EQ(s.NSTValues, 9 * 2);
        EXPECT_EQ(s.STRho.upper(), 18);
        EXPECT_EQ(s.STEntropy.upper(), 18);
        EXPECT_EQ(s.X.lower(), -6);
        EXPECT_EQ(s.X.upper(), 27);
        EXPECT_EQ(s.Rho.upper(), 27);
        EXPECT_EQ(s.SoundSpeed.upper(), 14);
        EXPECT_EQ(s.NGridCellsD, 7.0);
        EXPECT_EQ(s.DX, 1.0 / 7);
        EXPECT_EQ(s.X[0], -1.0 / 7);
        EXPECT_EQ(s.X[1], 0.0);
        EXPECT_EQ(s.X[8], 1.0);
        for (long i = 1; i <= 8; ++i)
            EXPECT_LT(s.X[i], s.X[i + 1]);
        EXPECT_EQ(s.Rho[3], 0.0); // reallocated empty
    }

    TEST(ResizeGridArrays, AllocatesTheFluidsUnderTheMultifluidScheme)
    {
        ExperimentState s = emptyTableState();
        s.SchemeName = "Mixtal32";
        s.NGridCells = 30;
        ResizeGridArrays(s);
        EXPECT_EQ(s.Rho2.upper(), 107);
        EXPECT_EQ(s.FFracYY.upper(), 107);
        EXPECT_EQ(s.P2New.upper(), 37);
    }

    TEST(GridSizeBox, TypingKeyByKey)
    {
        ExperimentState s = selectedState({ { 1, 1.0, 1.0, 0.0 }, { 40, 2.0, 1.0, 0.0 }, { 100, 1.0, 1.0, 0.0 } });
        EXPECT_EQ(GridSizeTextChanged(s, "2").outcome, GridSizeOutcome::Ignored);
        EXPECT_EQ(s.NGridCells, 100);

        EXPECT_EQ(GridSizeTextChanged(s, "25").outcome, GridSizeOutcome::RebuildGrid);
        EXPECT_EQ(s.NGridCells, 25);
        EXPECT_EQ(s.MCurrent, 12);
        EXPECT_EQ(tableCells(s), (std::vector<Long> { 0, 1, 10, 25, 26 }));
        testing::rebuildWithoutBoxes(s);

        EXPECT_EQ(GridSizeTextChanged(s, "250").outcome, GridSizeOutcome::RebuildGrid);
        EXPECT_EQ(s.NGridCells, 250);
        EXPECT_EQ(s.NGridCellsD, 250.0);
        // Cell 10 of the coarse grid ends at 0.4: cell 100 of the fine one.
        EXPECT_EQ(tableCells(s), (std::vector<Long> { 0, 1, 100, 250, 251 }));
        testing::rebuildWithoutBoxes(s);
        EXPECT_EQ(s.X[251], 1.0);
        EXPECT_EQ(s.Rho[100], 2.0);
        EXPECT_NEAR(s.Rho[50], 1.0 + 49.0 / 99, 1e-13);
    }

    TEST(GridSizeBox, RefusesAndCaps)
    {
        struct Case {
            const char* text;
            GridSizeOutcome outcome;
            Long cells;
        };
        for (const Case& c :
            { Case { "5", GridSizeOutcome::Ignored, 100 }, Case { "5.4", GridSizeOutcome::Ignored, 100 },
                Case { "", GridSizeOutcome::Ignored, 100 }, Case { "-", GridSizeOutcome::Ignored, 100 },
                Case { "abc", GridSizeOutcome::Ignored, 100 }, Case { "-50", GridSizeOutcome::Ignored, 100 },
                Case { "6000", GridSizeOutcome::RebuildGrid, 5000 },
                Case { "1e300", GridSizeOutcome::RebuildGrid, 5000 },
                Case { "6.5", GridSizeOutcome::RebuildGrid, 6 } }) {
            SCOPED_TRACE(c.text);
            ExperimentState s = selectedState({ { 1, 1.0, 1.0, 0.0 }, { 100, 1.0, 1.0, 0.0 } });
            EXPECT_EQ(GridSizeTextChanged(s, c.text).outcome, c.outcome);
            EXPECT_EQ(s.NGridCells, c.cells);
            // The table always has room for every cell of the grid.
            EXPECT_GE(s.MSelected.upper(), s.NGridCells + 2);
            EXPECT_GE(s.X.upper(), s.NGridCells + 2);
        }
    }

    TEST(GridSizeBox, NoSmallerThanTheTable)
    {
        ExperimentState s = selectedState({ { 1, 1, 1, 0 }, { 10, 1, 1, 0 }, { 20, 1, 1, 0 }, { 30, 1, 1, 0 },
            { 40, 1, 1, 0 }, { 50, 1, 1, 0 }, { 100, 1, 1, 0 } });
        ASSERT_EQ(s.NSelected, 7);
        EXPECT_EQ(GridSizeTextChanged(s, "6").outcome, GridSizeOutcome::Ignored);
        EXPECT_EQ(GridSizeTextChanged(s, "7").outcome, GridSizeOutcome::RebuildGrid);
        EXPECT_EQ(tableCells(s), (std::vector<Long> { 0, 1, 2, 3, 4, 5, 6, 7, 8 }));
    }

    TEST(GridSizeBox, PutsTheSizeBackOutsideReady)
    {
        ExperimentState s = selectedState({ { 1, 1.0, 1.0, 0.0 } });
        s.TimeNow = 0.3;
        const GridSizeResult r = GridSizeTextChanged(s, "50");
        EXPECT_EQ(r.outcome, GridSizeOutcome::PutBack);
        EXPECT_EQ(r.text, "100");
        EXPECT_EQ(s.NGridCells, 100);
    }

    TEST(GridSizeBox, ASoundWaveIsBuiltAgain)
    {
        ExperimentState s = selectedState({ { 1, 1.0, 1.0, 0.0 } });
        s.RiemannPlots = 1;
        EXPECT_EQ(GridSizeTextChanged(s, "64").outcome, GridSizeOutcome::RebuildSoundWave);
    }

    TEST(MoveSelectedCells, FindsTheCellsByPosition)
    {
        struct Case {
            std::vector<Long> before;
            Long newSize;
            std::vector<Long> after;
        };
        for (const Case& c : {
                 Case { { 1, 40, 41, 100 }, 50, { 0, 1, 20, 21, 50, 51 } },
                 Case { { 1, 50, 51, 52, 100 }, 6, { 0, 1, 3, 4, 5, 6, 7 } },
                 // Three entries in one coarse cell still come out increasing.
                 Case { { 1, 20, 21, 22, 100 }, 6, { 0, 1, 2, 3, 4, 6, 7 } },
                 Case { { 1, 40, 100 }, 400, { 0, 1, 160, 400, 401 } },
             }) {
            SCOPED_TRACE(c.newSize);
            ExperimentState s = testing::emptyTableState();
            for (Long m : c.before)
                SelectCellState(s, m, 1.0, 1.0, 0.0);
            ASSERT_EQ(GridSizeTextChanged(s, std::to_string(c.newSize)).outcome, GridSizeOutcome::RebuildGrid);
            EXPECT_EQ(tableCells(s), c.after);
        }
    }

    TEST(MoveSelectedCells, ALoneEntryStaysOnTheGrid)
    {
        ExperimentState s = emptyTableState();
        SelectCellState(s, 90, 1.0, 1.0, 0.0);
        DeselectCellState(s, 1);
        DeselectCellState(s, 100);
        ASSERT_EQ(tableCells(s), (std::vector<Long> { 0, 90, 101 }));
        ASSERT_EQ(GridSizeTextChanged(s, "50").outcome, GridSizeOutcome::RebuildGrid);
        EXPECT_EQ(tableCells(s), (std::vector<Long> { 0, 50, 51 }));
        // The replay deselects the lone entry and builds a fresh table around it.
        testing::rebuildWithoutBoxes(s);
        EXPECT_EQ(tableCells(s), (std::vector<Long> { 0, 1, 50, 51 }));
    }

    TEST(MoveSelectedCells, AGrownGridTakesNewEntries)
    {
        ExperimentState s = selectedState({ { 1, 1.0, 1.0, 0.0 }, { 100, 1.0, 1.0, 0.0 } });
        ASSERT_EQ(GridSizeTextChanged(s, "300").outcome, GridSizeOutcome::RebuildGrid);
        testing::rebuildWithoutBoxes(s);
        for (Long m = 2; m <= 299; m += 2)
            ASSERT_EQ(SelectCellState(s, m, 1.0 + m, 1.0, 0.0), SelectStatus::Selected);
        EXPECT_EQ(s.NSelected, 151);
        EXPECT_EQ(s.MSelected[152], 301);
        EXPECT_EQ(s.Rho[298], 299.0);
    }

    TEST(PeriodsBox, TakesPositiveUnitsWithinTheHistoryLimit)
    {
        ExperimentState s = emptyTableState();
        s.STRho[5] = 3.0f;
        const double timeUnit = s.TimeUnit;

        for (const char* text : { "", ".", "-", "0", "-1", "abc", "0.001", "1e9" }) {
            SCOPED_TRACE(text);
            EXPECT_EQ(PeriodsTextChanged(s, text).outcome, BoxOutcome::Ignored);
            EXPECT_EQ(s.Periods, 1.5);
            EXPECT_EQ(s.NPlotsTotal, 600);
        }

        EXPECT_EQ(PeriodsTextChanged(s, "2").outcome, BoxOutcome::Applied);
        EXPECT_EQ(s.Periods, 2.0);
        EXPECT_EQ(s.TStop, 2 * timeUnit);
        EXPECT_EQ(s.NPlotsTotal, 800);
        EXPECT_EQ(s.NSTValues, 102 * 800);
        EXPECT_EQ(s.STRho.upper(), 102 * 800);
        EXPECT_EQ(s.STRho[5], 3.0f);

        s.Stopped = 0;
        const BoxResult r = PeriodsTextChanged(s, "3");
        EXPECT_EQ(r.outcome, BoxOutcome::PutBack);
        EXPECT_EQ(r.text, "2");
    }

    TEST(SnapshotRateBox, SetsThePlotIntervalAndTheStep)
    {
        ExperimentState s = emptyTableState();
        s.TimeUnit = 0.8;
        s.TStop = 80; // long enough for a hundred snapshots at the rate typed
        s.Dt = 0.1;
        EXPECT_EQ(PlotsPerPeriodTextChanged(s, "10").outcome, BoxOutcome::Applied);
        EXPECT_EQ(s.NPlotsPerPeriod, 10);
        EXPECT_EQ(s.NPlotsTotal, 15);
        EXPECT_EQ(s.NSTValues, 102 * 15);
        EXPECT_DOUBLE_EQ(s.DtPlot, 0.08);
        EXPECT_DOUBLE_EQ(s.Dt, 0.08);
        EXPECT_DOUBLE_EQ(s.TNextPlot, 0.08);

        for (const char* text : { "", "0", "0.4", "-3", "x", "1e12" }) {
            SCOPED_TRACE(text);
            EXPECT_EQ(PlotsPerPeriodTextChanged(s, text).outcome, BoxOutcome::Ignored);
            EXPECT_EQ(s.NPlotsPerPeriod, 10);
            EXPECT_DOUBLE_EQ(s.DtPlot, 0.08);
        }
        EXPECT_EQ(PlotsPerPeriodTextChanged(s, "12.5").outcome, BoxOutcome::Applied);
        EXPECT_EQ(s.NPlotsPerPeriod, 12);
        EXPECT_EQ(s.NPlotsTotal, 18);
    }

    TEST(HistoryLimit, EightFloatArraysWithinOneGibibyte)
    {
        // 33554431 values of eight four-byte arrays, plus one, is 1 GiB.
        EXPECT_TRUE(HistoryFits(5000, 33554431 / 5002));
        EXPECT_FALSE(HistoryFits(5000, 33554431 / 5002 + 1));
        EXPECT_FALSE(HistoryFits(100, PlotsTotalFor(1e300, 1e300)));
        EXPECT_EQ(PlotsTotalFor(400, 1.5), 600);
    }

    TEST(CourantBox, StrictlyBetweenZeroAndOne)
    {
        struct Case {
            const char* text;
            BoxOutcome outcome;
            double courant;
        };
        for (const Case& c : { Case { "1", BoxOutcome::Ignored, 0.85 }, Case { "0", BoxOutcome::Ignored, 0.85 },
                 Case { "", BoxOutcome::Ignored, 0.85 }, Case { ".", BoxOutcome::Ignored, 0.85 },
                 Case { "-0.5", BoxOutcome::Ignored, 0.85 }, Case { "0.5x", BoxOutcome::Ignored, 0.85 },
                 Case { "0.5", BoxOutcome::Applied, 0.5 }, Case { "0.999", BoxOutcome::Applied, 0.999 } }) {
            SCOPED_TRACE(c.text);
            ExperimentState s = emptyTableState();
            s.TimeNow = 0.7; // halted: the target may still change
            EXPECT_EQ(CourantTextChanged(s, c.text).outcome, c.outcome);
            EXPECT_EQ(s.CourantNumber, c.courant);
        }
        ExperimentState running = emptyTableState();
        running.Stopped = 0;
        const BoxResult r = CourantTextChanged(running, "0.5");
        EXPECT_EQ(r.outcome, BoxOutcome::PutBack);
        EXPECT_EQ(r.text, "0.85");
        EXPECT_EQ(running.CourantNumber, 0.85);
    }

    TEST(MSecBox, RoundsAndClamps)
    {
        struct Case {
            const char* text;
            BoxOutcome outcome;
            Long msec;
            const char* shown;
        };
        for (const Case& c : { Case { "0", BoxOutcome::Ignored, 5, "" }, Case { "", BoxOutcome::Ignored, 5, "" },
                 Case { "abc", BoxOutcome::Ignored, 5, "" }, Case { "5000", BoxOutcome::Corrected, 2000, "2000" },
                 Case { "2.5", BoxOutcome::Corrected, 2, "2" }, Case { "0.3", BoxOutcome::Corrected, 1, "1" },
                 Case { "40", BoxOutcome::Applied, 40, "" } }) {
            SCOPED_TRACE(c.text);
            ExperimentState s = emptyTableState();
            s.Stopped = 0; // works during a run
            const BoxResult r = MSecTextChanged(s, c.text);
            EXPECT_EQ(r.outcome, c.outcome);
            EXPECT_EQ(s.MSec, c.msec);
            EXPECT_EQ(r.text, c.shown);
            // Showing the corrected text runs the rule once more, which then
            // finds nothing to correct.
            if (r.outcome == BoxOutcome::Corrected) {
                EXPECT_EQ(MSecTextChanged(s, r.text).outcome, BoxOutcome::Applied);
            }
        }
    }

    TEST(CellEditors, CellNumberBoxKeepsTheCellOnTheGrid)
    {
        ExperimentState s = emptyTableState();
        struct Case {
            const char* text;
            std::optional<Long> cell;
        };
        for (const Case& c : { Case { "12.5", 12 }, Case { "13.5", 14 }, Case { "100.4", 100 }, Case { "1", 1 },
                 Case { "0.4", std::nullopt }, Case { "0", std::nullopt }, Case { "101", std::nullopt },
                 Case { "-3", std::nullopt }, Case { "", std::nullopt }, Case { "1e", std::nullopt },
                 Case { "+", std::nullopt } }) {
            SCOPED_TRACE(c.text);
            EXPECT_EQ(CellNumberFromText(s, c.text), c.cell);
        }
    }

    TEST(CellEditors, LargeChangeIsAtLeastOne)
    {
        for (auto [n, change] :
            std::vector<std::pair<Long, Long>> { { 6, 1 }, { 37, 1 }, { 38, 2 }, { 100, 4 }, { 5000, 200 } })
            EXPECT_EQ(CellBarLargeChange(n), change) << n;
    }

    TEST(ValueEditors, BarAndValueMapBothWays)
    {
        EXPECT_DOUBLE_EQ(BarToValue(0, -10000, 10000, 0, 2), 1.0);
        EXPECT_DOUBLE_EQ(BarToValue(10000, -10000, 10000, 0, 2), 2.0);
        EXPECT_EQ(ValueToBar(3, -10000, 10000, 0, 3.15), 9048);
        EXPECT_EQ(ValueToBar(1, -10000, 10000, 0, 2), 0);
        // Halves go to the even neighbour: 0.25 of a 2-step bar lies at 0.5.
        EXPECT_EQ(ValueToBar(0.25, 0, 2, 0, 1), 0);
        EXPECT_EQ(ValueToBar(0.75, 0, 2, 0, 1), 2);
        // Degenerate limits give the middle instead of a division by zero.
        EXPECT_EQ(ValueToBar(5, -10000, 10000, 1, 1), 0);
        EXPECT_DOUBLE_EQ(BarToValue(7, 3, 3, 1, 2), 1.5);
        // A value off the range stops at the bar's end.
        EXPECT_EQ(ValueToBar(1e300, -10000, 10000, 0, 1), 10000);
        EXPECT_EQ(ValueToBar(-1e300, -10000, 10000, 0, 1), -10000);
    }

    TEST(ValueEditors, DensityWidensWithFloorAtZero)
    {
        ExperimentState s = emptyTableState();
        s.RhoMin = 0;
        s.RhoMax = 2;
        ASSERT_TRUE(DensityTextChanged(s, "3"));
        EXPECT_EQ(s.RhoCurrent, 3.0);
        EXPECT_DOUBLE_EQ(s.RhoMax, 3.15);
        EXPECT_EQ(s.RhoMin, 0.0);
        EXPECT_EQ(ValueToBar(s.RhoCurrent, -10000, 10000, s.RhoMin, s.RhoMax), 9048);

        for (const char* text : { "0", "-1", "", ".", "-", "abc" }) {
            SCOPED_TRACE(text);
            EXPECT_FALSE(DensityTextChanged(s, text));
            EXPECT_EQ(s.RhoCurrent, 3.0);
            EXPECT_DOUBLE_EQ(s.RhoMax, 3.15);
        }
        ASSERT_TRUE(DensityTextChanged(s, "1e-9"));
        EXPECT_EQ(s.RhoCurrent, 1e-8);

        // Dragging to the right end: the value equals the maximum, which then
        // grows by 5 % of the span.
        s.RhoMin = 1;
        s.RhoMax = 3;
        ASSERT_TRUE(DensityTextChanged(s, "3"));
        EXPECT_DOUBLE_EQ(s.RhoMax, 3.1);
    }

    TEST(ValueEditors, PressureFloorAndVelocityEpsilon)
    {
        ExperimentState s = emptyTableState();
        s.PMin = 1;
        s.PMax = 10;
        ASSERT_TRUE(PressureTextChanged(s, "0"));
        EXPECT_EQ(s.PCurrent, 1e-8);
        EXPECT_EQ(s.PMin, 0.0); // 1.05e-8 - 0.5 clamps at 0
        ASSERT_TRUE(PressureTextChanged(s, "-4"));
        EXPECT_EQ(s.PCurrent, 1e-8);

        s.VXMin = -1;
        s.VXMax = 1;
        ASSERT_TRUE(VelocityTextChanged(s, "5e-9"));
        EXPECT_EQ(s.VXCurrent, 0.0);
        ASSERT_TRUE(VelocityTextChanged(s, "-5e-9"));
        EXPECT_EQ(s.VXCurrent, 0.0);
        ASSERT_TRUE(VelocityTextChanged(s, "-2"));
        EXPECT_EQ(s.VXCurrent, -2.0);
        EXPECT_DOUBLE_EQ(s.VXMin, -2.15);
        EXPECT_EQ(s.VXMax, 1.0);
        EXPECT_FALSE(VelocityTextChanged(s, "-"));
        EXPECT_FALSE(VelocityTextChanged(s, "--2"));
    }

} // namespace
} // namespace tamrel
