// SPDX-License-Identifier: GPL-3.0-or-later
// The grid-size, time-units, snapshot-rate, Courant-number and milliseconds
// boxes, and the "Bdrys" prompts, through the real window. The start-up
// problem has 100 cells, the selected cells 1, 10, 11, 90, 91, 100, 1.5 time
// units at 400 snapshots each, Courant number 0.85 and 5 ms per step.

#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>
#include <string>
#include <vector>

#include "EditWindowTest.h"

using namespace tamrel;
using namespace tamrel::testing;
using tamrel::testing::EditWindowTest;
using tamrel::testing::gridAndTable;
using tamrel::testing::GridAndTable;
using tamrel::testing::selectedCells;

namespace {

using EditParametersTest = EditWindowTest;
using EditBoundaryTest = EditWindowTest;
using Cells = std::vector<Long>;

void expectGridOf(frmTamrel& w, Long n)
{
    const ExperimentState& s = stateOf(w);
    EXPECT_EQ(s.NGridCells, n);
    EXPECT_EQ(box(w, "txtNGridCells")->text().toStdString(), std::to_string(n));
    EXPECT_EQ(bar(w, "hsbMSelected")->minimum(), 1);
    EXPECT_EQ(bar(w, "hsbMSelected")->maximum(), n);
    EXPECT_TRUE(s.Rho.contains(n + 1));
    EXPECT_DOUBLE_EQ(s.X[n + 1], 1);
    EXPECT_EQ(s.MSelected[s.NSelected + 1], n + 1);
}

// --- Grid size -----------------------------------------------------------

TEST_F(EditParametersTest, GridSizeTypedKeyByKeyRebuildsAtEachValidNumber)
{
    type(box(*window, "txtNGridCells"), "2"); // below 6: refused
    EXPECT_EQ(s().NGridCells, 100);

    type(box(*window, "txtNGridCells"), "25");
    expectGridOf(*window, 25);
    EXPECT_EQ(selectedCells(s()), (Cells { 1, 3, 4, 23, 24, 25 }));

    // The table reaches 250 cells through the 25-cell grid's edges.
    type(box(*window, "txtNGridCells"), "250");
    expectGridOf(*window, 250);
    EXPECT_EQ(selectedCells(s()), (Cells { 1, 30, 31, 230, 231, 250 }));
    EXPECT_EQ(bar(*window, "hsbMSelected")->pageStep(), 10);
    EXPECT_DOUBLE_EQ(s().P[20], 1000);
    EXPECT_DOUBLE_EQ(s().P[100], 0.01);
    EXPECT_DOUBLE_EQ(s().P[240], 100);
}

TEST_F(EditParametersTest, GridSizeAboveTheRunLimitIsLoweredAndShown)
{
    type(box(*window, "txtNGridCells"), "6000");
    expectGridOf(*window, 5000);
    EXPECT_EQ(s().NSTValues, 5002 * s().NPlotsTotal);
}

TEST_F(EditParametersTest, NewGridSizeCarriesTheSelectedCellsByPosition)
{
    struct Case {
        const char* name;
        Cells selectBefore; // after Reset (which leaves cells 1 and 100)
        const char* newSize;
        Cells cellsAfter;
    };
    const Case cases[] = {
        { "100 to 50", { 40, 41 }, "50", { 1, 20, 21, 50 } },
        // Each entry is capped so that the later ones still find a cell.
        { "100 to 6", { 50, 51, 52 }, "6", { 1, 3, 4, 5, 6 } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto w = makeWindow();
        button(*w, "cmdReset")->click();
        double rho = 0.5;
        for (Long m : c.selectBefore) {
            selectCell(*w, m, std::to_string(rho), "0.25", "0.125");
            rho += 0.25;
        }
        type(box(*w, "txtNGridCells"), c.newSize);
        const ExperimentState& st = stateOf(*w);
        expectGridOf(*w, c.cellsAfter.back());
        ASSERT_EQ(selectedCells(st), c.cellsAfter);
        // Each moved entry keeps its values, and so does its cell.
        rho = 0.5;
        for (std::size_t j = 2; j < c.cellsAfter.size(); ++j, rho += 0.25) {
            const Long m = c.cellsAfter[j - 1];
            EXPECT_DOUBLE_EQ(st.RhoSelected[static_cast<Long>(j)], rho);
            EXPECT_DOUBLE_EQ(st.Rho[m], rho);
            EXPECT_DOUBLE_EQ(st.P[m], 0.25);
            EXPECT_DOUBLE_EQ(st.VX[m], 0.125);
        }
    }
}

TEST_F(EditParametersTest, GridSizeBelowSixIsRefused)
{
    const GridAndTable before = gridAndTable(s());
    type(box(*window, "txtNGridCells"), "5");
    EXPECT_EQ(gridAndTable(s()), before);
    EXPECT_EQ(box(*window, "txtNGridCells")->text().toStdString(), "5");
    EXPECT_EQ(bar(*window, "hsbMSelected")->maximum(), 100);
}

TEST_F(EditParametersTest, RunSizeBoxesPutTheirValueBackUnlessReady)
{
    for (const bool running : { true, false }) {
        SCOPED_TRACE(running ? "running" : "halted");
        auto w = makeWindow();
        if (running)
            stateOf(*w).Stopped = 0;
        else
            stateOf(*w).TimeNow = 0.01;
        const GridAndTable before = gridAndTable(stateOf(*w));
        type(box(*w, "txtNGridCells"), "50");
        type(box(*w, "txtNPeriods"), "3");
        type(box(*w, "txtNPlotsPerPeriod"), "10");
        EXPECT_EQ(box(*w, "txtNGridCells")->text().toStdString(), "100");
        EXPECT_EQ(box(*w, "txtNPeriods")->text().toStdString(), "1.5");
        EXPECT_EQ(box(*w, "txtNPlotsPerPeriod")->text().toStdString(), "400");
        EXPECT_EQ(gridAndTable(stateOf(*w)), before);
        EXPECT_DOUBLE_EQ(stateOf(*w).Periods, 1.5);
        EXPECT_EQ(stateOf(*w).NPlotsPerPeriod, 400);
    }
}

// --- Time units and snapshot rate ------------------------------------------

TEST_F(EditParametersTest, HistoryThatWouldBeEmptyOrTooLargeIsRefused)
{
    struct Case {
        QLineEdit* box;
        const char* text;
    };
    const Case cases[] = {
        { box(*window, "txtNPlotsPerPeriod"), "0.4" }, // rounds to no snapshot per unit
        { box(*window, "txtNPeriods"), "0.001" }, // 0.4 rows
        { box(*window, "txtNPeriods"), "1e9" },
        { box(*window, "txtNPlotsPerPeriod"), "1e9" },
        { box(*window, "txtNPlotsPerPeriod"), "0" },
        { box(*window, "txtNPeriods"), "-2" },
    };
    const ExperimentState& st = s();
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        type(c.box, c.text);
        EXPECT_DOUBLE_EQ(st.Periods, 1.5);
        EXPECT_EQ(st.NPlotsPerPeriod, 400);
        EXPECT_EQ(st.NPlotsTotal, 600);
        EXPECT_EQ(st.NSTValues, 102 * 600);
        EXPECT_EQ(st.STRho.upper(), 102 * 600);
        EXPECT_EQ(c.box->text().toStdString(), c.text); // refused entries stay as typed
    }

    type(box(*window, "txtNPlotsPerPeriod"), "10");
    EXPECT_EQ(st.NPlotsTotal, 15);
    // 15 snapshots over the run at that rate: a hundred instead.
    EXPECT_DOUBLE_EQ(st.DtPlot, st.TStop / 100);
    EXPECT_DOUBLE_EQ(st.TNextPlot, st.DtPlot);
    type(box(*window, "txtNPeriods"), "3");
    EXPECT_EQ(st.NPlotsTotal, 30);
    EXPECT_EQ(st.STRho.upper(), 102 * 30);
    EXPECT_DOUBLE_EQ(st.TStop, 3 * st.TimeUnit);
    EXPECT_DOUBLE_EQ(st.DtPlot, st.TStop / 100);
}

// --- Courant number and milliseconds ---------------------------------------

TEST_F(EditParametersTest, CourantNumberIsTakenOnlyStrictlyBetweenZeroAndOne)
{
    for (const char* refused : { "1", "0", "1.5", "-0.2", "." })
        type(box(*window, "txtCourantNumber"), refused);
    EXPECT_DOUBLE_EQ(s().CourantNumber, 0.85);
    type(box(*window, "txtCourantNumber"), "0.5");
    EXPECT_DOUBLE_EQ(s().CourantNumber, 0.5);

    // During a run the box shows the target again; after it, it takes a new one.
    s().Stopped = 0;
    type(box(*window, "txtCourantNumber"), "0.3");
    EXPECT_EQ(box(*window, "txtCourantNumber")->text().toStdString(), "0.5");
    EXPECT_DOUBLE_EQ(s().CourantNumber, 0.5);
    s().Stopped = 1;
    s().TimeNow = 0.01;
    type(box(*window, "txtCourantNumber"), "0.3");
    EXPECT_DOUBLE_EQ(s().CourantNumber, 0.3);
}

TEST_F(EditParametersTest, MillisecondsAreRoundedClampedShownAndSetOnTheTimer)
{
    struct Case {
        const char* typed;
        Long msec;
        const char* shown;
    };
    const Case cases[] = {
        { "0", 5, "0" },
        { "5000", 2000, "2000" },
        { "2.5", 2, "2" },
        { "abc", 2, "abc" },
        { "3.5", 4, "4" },
        { "250", 250, "250" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        type(box(*window, "txtMSec"), c.typed);
        EXPECT_EQ(s().MSec, c.msec);
        EXPECT_EQ(box(*window, "txtMSec")->text().toStdString(), c.shown);
        EXPECT_EQ(metronome(*window)->interval(), c.msec);
    }
    // The metronome's interval can change during a run.
    s().Stopped = 0;
    type(box(*window, "txtMSec"), "50");
    EXPECT_EQ(metronome(*window)->interval(), 50);
}

// --- Boundary types -----------------------------------------------------------

TEST_F(EditBoundaryTest, PeriodicLeftEndMakesBothPeriodicWithoutASecondPrompt)
{
    dialogs.answer("4");
    button(*window, "cmdBoundaryConditionType")->click();
    ASSERT_EQ(dialogs.asked.size(), 1u);
    EXPECT_EQ(dialogs.asked[0].prompt,
        "Type the value of the left boundary condition type:  4=periodic, 1=reflecting, 2=continuation");
    EXPECT_EQ(dialogs.asked[0].title, "Get MnBdry");
    EXPECT_EQ(dialogs.asked[0].defaultAnswer, "1");
    EXPECT_EQ(s().MnBdry, 4);
    EXPECT_EQ(s().MxBdry, 4);
}

TEST_F(EditBoundaryTest, OtherLeftTypesAskForTheRightEnd)
{
    dialogs.answer("1");
    dialogs.answer("4");
    button(*window, "cmdBoundaryConditionType")->click();
    ASSERT_EQ(dialogs.asked.size(), 2u);
    EXPECT_EQ(dialogs.asked[1].prompt,
        "Type the value of the right boundary condition type:  4=periodic, 1=reflecting, 2=continuation");
    EXPECT_EQ(dialogs.asked[1].title, "Get MxBdry");
    EXPECT_EQ(s().MnBdry, 1);
    EXPECT_EQ(s().MxBdry, 4);
}

TEST_F(EditBoundaryTest, DefaultsAndCancelledPromptsKeepBothTypes)
{
    s().MnBdry = 2;
    s().MxBdry = 1;
    button(*window, "cmdBoundaryConditionType")->click(); // both defaults accepted
    ASSERT_EQ(dialogs.asked.size(), 2u);
    EXPECT_EQ(dialogs.asked[0].defaultAnswer, "2");
    EXPECT_EQ(dialogs.asked[1].defaultAnswer, "1");

    dialogs.answer(std::nullopt);
    dialogs.answer(std::nullopt);
    button(*window, "cmdBoundaryConditionType")->click();
    dialogs.answer("abc");
    dialogs.answer("");
    button(*window, "cmdBoundaryConditionType")->click();
    EXPECT_EQ(s().MnBdry, 2);
    EXPECT_EQ(s().MxBdry, 1);
}

TEST_F(EditBoundaryTest, ButtonDoesNothingUnlessReady)
{
    s().Stopped = 0;
    button(*window, "cmdBoundaryConditionType")->click();
    s().Stopped = 1;
    s().TimeNow = 0.01;
    button(*window, "cmdBoundaryConditionType")->click();
    EXPECT_TRUE(dialogs.asked.empty());
    EXPECT_EQ(s().MnBdry, 1);
    EXPECT_EQ(s().MxBdry, 1);
}

} // namespace
