// SPDX-License-Identifier: GPL-3.0-or-later
// Select, Deselect and Reset through the window's buttons, on the default
// problem: three regions of density 1 and pressures 1000 (cells 0..10), 0.01
// (11..90) and 100 (91..101), at rest, with the selected cells 1, 10, 11,
// 90, 91 and 100.

#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <functional>
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

using EditSelectTest = EditWindowTest;
using Cells = std::vector<Long>;

// Cells a+1..b-1 lie on the straight line (in the cell number) between the
// values of cells a and b.
void expectLine(const ExperimentState& s, long a, long b)
{
    for (long i = a + 1; i < b; ++i) {
        SCOPED_TRACE("cell " + std::to_string(i));
        const double f = static_cast<double>(i - a) / (b - a);
        EXPECT_NEAR(s.Rho[i], s.Rho[a] + f * (s.Rho[b] - s.Rho[a]), 1e-12);
        EXPECT_NEAR(s.P[i], s.P[a] + f * (s.P[b] - s.P[a]), 1e-9);
        EXPECT_NEAR(s.VX[i], s.VX[a] + f * (s.VX[b] - s.VX[a]), 1e-12);
    }
}

TEST_F(EditSelectTest, SelectPutsTheTypedValuesAtTheCellAndFillsBothSides)
{
    selectCell(40, "0.5", "0.2", "0.3");
    const ExperimentState& st = s();
    EXPECT_EQ(selectedCells(st), (Cells { 1, 10, 11, 40, 90, 91, 100 }));
    EXPECT_DOUBLE_EQ(st.RhoSelected[4], 0.5);
    EXPECT_DOUBLE_EQ(st.PSelected[4], 0.2);
    EXPECT_DOUBLE_EQ(st.VXSelected[4], 0.3);
    EXPECT_DOUBLE_EQ(st.Rho[40], 0.5);
    EXPECT_DOUBLE_EQ(st.P[40], 0.2);
    EXPECT_DOUBLE_EQ(st.VX[40], 0.3);
    EXPECT_NEAR(st.Rho[25], 1 - 0.5 * 14 / 29, 1e-12);
    EXPECT_NEAR(st.P[65], 0.2 - 0.19 * 25 / 50, 1e-12);
    expectLine(st, 11, 40);
    expectLine(st, 40, 90);
    EXPECT_EQ(st.MCurrent, 40);
    EXPECT_DOUBLE_EQ(st.SoundSpeedSq[40], 0.2 * st.Gamma / 0.5);
    // The repaint that ends Select leaves the cell's readout in the boxes.
    EXPECT_EQ(box(*window, "txtMSelected")->text().toStdString(), "40");
    EXPECT_EQ(bar(*window, "hsbMSelected")->value(), 40);
    EXPECT_EQ(box(*window, "txtDensity")->text().toStdString(), "0.50");
    EXPECT_EQ(box(*window, "txtPressure")->text().toStdString(), "0.2000");
    EXPECT_EQ(box(*window, "txtVelocity")->text().toStdString(), "0.30");
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(EditSelectTest, GridIsTheSameLineWhateverTheOrderOfSelection)
{
    selectCell(30, "2", "5", "-1");
    selectCell(70, "0.5", "0.2", "0.3");
    auto other = makeWindow();
    selectCell(*other, 70, "0.5", "0.2", "0.3");
    selectCell(*other, 30, "2", "5", "-1");

    expectLine(s(), 11, 30);
    expectLine(s(), 30, 70);
    expectLine(s(), 70, 90);
    const GridAndTable a = gridAndTable(s());
    const GridAndTable b = gridAndTable(stateOf(*other));
    EXPECT_EQ(a.MSelected, b.MSelected);
    EXPECT_EQ(a.XSelected, b.XSelected);
    for (long i = 0; i <= 101; ++i) {
        SCOPED_TRACE("cell " + std::to_string(i));
        EXPECT_NEAR(a.Rho[i], b.Rho[i], 1e-12);
        EXPECT_NEAR(a.P[i], b.P[i], 1e-9);
        EXPECT_NEAR(a.VX[i], b.VX[i], 1e-12);
    }
}

TEST_F(EditSelectTest, SelectingASelectedCellAgainReplacesItsValues)
{
    selectCell(40, "0.5", "0.2", "0.3");
    selectCell(40, "2", "5", "-1");
    const ExperimentState& st = s();
    EXPECT_EQ(selectedCells(st), (Cells { 1, 10, 11, 40, 90, 91, 100 }));
    EXPECT_DOUBLE_EQ(st.RhoSelected[4], 2);
    EXPECT_DOUBLE_EQ(st.PSelected[4], 5);
    EXPECT_DOUBLE_EQ(st.VXSelected[4], -1);
    EXPECT_DOUBLE_EQ(st.P[40], 5);
    expectLine(st, 11, 40);
    expectLine(st, 40, 90);
}

TEST_F(EditSelectTest, DeselectingCellOneRefillsFromTheLeftEndCell)
{
    // Cell 1 selected with new values: cell 0 and the left end entry follow it.
    selectCell(1, "2", "500", "0.5");
    ASSERT_DOUBLE_EQ(s().P[0], 500);
    type(box(*window, "txtMSelected"), "1");
    button(*window, "cmdDeselect")->click();

    const ExperimentState& st = s();
    EXPECT_EQ(selectedCells(st), (Cells { 10, 11, 90, 91, 100 }));
    // Cells 1..9 on the line from cell 0 (2, 500, 0.5) to cell 10 (1, 1000, 0).
    for (long i = 1; i <= 9; ++i) {
        SCOPED_TRACE("cell " + std::to_string(i));
        EXPECT_NEAR(st.Rho[i], 2 - 0.1 * i, 1e-12);
        EXPECT_NEAR(st.P[i], 500 + 50.0 * i, 1e-9);
        EXPECT_NEAR(st.VX[i], 0.5 - 0.05 * i, 1e-12);
    }
}

TEST_F(EditSelectTest, DeselectOfACellThatIsNotSelectedKeepsTheTable)
{
    const GridAndTable before = gridAndTable(s());
    type(box(*window, "txtMSelected"), "50");
    button(*window, "cmdDeselect")->click();
    EXPECT_EQ(gridAndTable(s()), before);
}

TEST_F(EditSelectTest, ResetKeepsTheFirstAndLastCellsAndOneLine)
{
    selectCell(40, "0.5", "0.2", "0.3");
    button(*window, "cmdReset")->click();
    const ExperimentState& st = s();
    EXPECT_EQ(selectedCells(st), (Cells { 1, 100 }));
    EXPECT_EQ(st.MSelected[3], 101);
    EXPECT_DOUBLE_EQ(st.P[1], 1000);
    EXPECT_DOUBLE_EQ(st.P[100], 100);
    expectLine(st, 1, 100);
}

TEST_F(EditSelectTest, SelectIsRefusedAndNothingChanges)
{
    struct Case {
        const char* name;
        std::function<void(frmTamrel&)> spoil;
    };
    const Case cases[] = {
        { "running", [](frmTamrel& w) { stateOf(w).Stopped = 0; } },
        { "halted after a run", [](frmTamrel& w) { stateOf(w).TimeNow = 0.01; } },
        { "density 0", [](frmTamrel& w) { type(box(w, "txtDensity"), "0"); } },
        { "density below 0", [](frmTamrel& w) { type(box(w, "txtDensity"), "-2"); } },
        { "pressure 0", [](frmTamrel& w) { type(box(w, "txtPressure"), "0"); } },
        { "pressure below 0", [](frmTamrel& w) { type(box(w, "txtPressure"), "-1"); } },
        { "density not a number", [](frmTamrel& w) { type(box(w, "txtDensity"), "abc"); } },
        { "pressure incomplete", [](frmTamrel& w) { type(box(w, "txtPressure"), "1e"); } },
        { "velocity empty", [](frmTamrel& w) { type(box(w, "txtVelocity"), ""); } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        auto w = makeWindow();
        type(box(*w, "txtMSelected"), "40");
        type(box(*w, "txtDensity"), "0.5");
        type(box(*w, "txtPressure"), "0.2");
        type(box(*w, "txtVelocity"), "0.3");
        c.spoil(*w);
        const GridAndTable before = gridAndTable(stateOf(*w));
        const double rhoMin = stateOf(*w).RhoMin, pMin = stateOf(*w).PMin, dt = stateOf(*w).Dt;
        button(*w, "cmdSelect")->click();
        EXPECT_EQ(gridAndTable(stateOf(*w)), before);
        EXPECT_DOUBLE_EQ(stateOf(*w).RhoMin, rhoMin);
        EXPECT_DOUBLE_EQ(stateOf(*w).PMin, pMin);
        EXPECT_DOUBLE_EQ(stateOf(*w).Dt, dt);
    }
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(EditSelectTest, ResetIsRefusedDuringAndAfterARun)
{
    for (const bool running : { true, false }) {
        SCOPED_TRACE(running ? "running" : "halted");
        auto w = makeWindow();
        if (running)
            stateOf(*w).Stopped = 0;
        else
            stateOf(*w).TimeNow = 0.01;
        const GridAndTable before = gridAndTable(stateOf(*w));
        button(*w, "cmdReset")->click();
        EXPECT_EQ(gridAndTable(stateOf(*w)), before);
    }
}

} // namespace
