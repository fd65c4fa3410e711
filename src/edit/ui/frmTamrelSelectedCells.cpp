// Select, Deselect, Reset and the rebuild of the grid from the table of
// selected cells: the window's side of edit/SelectedCells.h.

#include <QLineEdit>
#include <QScrollBar>
#include <algorithm>

#include "app/ui/frmTamrel.h"
#include "common/Format.h"
#include "edit/GridParameters.h"
#include "edit/SelectedCells.h"
#include "run/SmokeStreams.h"
#include "run/SnapshotRow.h"

namespace tamrel {

namespace {

// Select with the three values the boxes hold. A value box that holds no
// number, a density or a pressure that is not above 0 refuse the command:
// such a cell would have no sound speed. The grid rebuild replays each entry
// through the boxes, whose decimals show a tiny density or pressure as 0; the
// replay keeps the boxes' floors instead of dropping the entry.
void selectFromBoxes(frmTamrel& w, bool replay)
{
    ExperimentState& s = w.state;
    if (!s.isReady())
        return;
    const Long m = s.MCurrent;
    auto rho = parseNumber(w.textOf(w.txtDensity));
    auto p = parseNumber(w.textOf(w.txtPressure));
    const auto u = parseNumber(w.textOf(w.txtVelocity));
    if (!rho || !p || !u)
        return;
    if (replay) {
        rho = std::max(*rho, s.RhoFloor);
        p = std::max(*p, s.PFloor);
    }
    if (!(*p > 0))
        return;
    if (SelectCellState(s, m, *rho, *p, *u) != SelectStatus::Selected)
        return;
    FinishSelectionEdit(s);
    w.setText(w.txtMSelected, formatGeneral(m));
    w.setText(w.txtDensity, formatGeneral(*rho));
    w.setText(w.txtPressure, formatGeneral(*p));
    w.setText(w.txtVelocity, formatGeneral(*u));
    w.UpdateProblemDescription();
    w.clearAndRepaintLinePlots();
}

} // namespace

void frmTamrel::cmdSelect_Click() { selectFromBoxes(*this, false); }

void frmTamrel::cmdDeselect_Click()
{
    const auto cell = CellNumberFromText(state, textOf(txtMSelected));
    if (!cell)
        return; // the cell-number box names no cell of the grid
    DeselectCellState(state, *cell);
    FinishSelectionEdit(state);
    UpdateProblemDescription();
    clearAndRepaintLinePlots();
}

void frmTamrel::cmdReset_Click()
{
    if (!state.isReady())
        return;
    for (const Long m : ResetDeselectCells(state)) {
        setText(txtMSelected, formatPattern(m, "###0"));
        cmdDeselect_Click();
    }
    clearAndRepaintLinePlots();
}

void frmTamrel::RebuildGridState()
{
    ResizeGridArrays(state);
    PrefillGridFromTable(state);
    SetUpSmokeStreams(state);
    setText(txtCourantNumber, formatPattern(state.CourantNumber, "#0.0#"));
    // A set-up file with a new grid size: the box's handler moves the table
    // and rebuilds the grid on its own before this rebuild goes on.
    setText(txtNGridCells, formatGeneral(state.NGridCells));
    // When the box already showed the new size (an entry it had refused), its
    // handler did not run; the cell bar must still span the new grid.
    const Long n = state.NGridCells;
    if (hsbMSelected->minimum() != 1 || hsbMSelected->maximum() != n) {
        hsbMSelected->setRange(1, n);
        hsbMSelected->setSingleStep(1);
        hsbMSelected->setPageStep(CellBarLargeChange(n));
    }
    ResetRebuildRunState(state);

    if (state.NSelected >= 1) {
        ReplayRanges ranges = BeginReplayRanges(state);
        for (Long k = 1; k <= state.NSelected; ++k) {
            state.MCurrent = state.MSelected[k];
            setText(txtMSelected, formatPattern(state.MCurrent, "###0"));
            txtMSelected_Change();
            ReplayEntryValues(state, ranges, k);
            setText(txtPressure, formatPattern(state.PCurrent, "0.0000##"));
            txtPressure_Change();
            setText(txtDensity, formatPattern(state.RhoCurrent, "#0.0000##"));
            txtDensity_Change();
            setText(txtVelocity, formatPattern(state.VXCurrent, "#0.0000##"));
            txtVelocity_Change();
            selectFromBoxes(*this, true);
        }
        setText(txtNPeriods, formatGeneral(state.Periods));
        txtNPeriods_Change();
        setText(txtNPlotsPerPeriod, formatGeneral(state.NPlotsPerPeriod));
        txtNPlotsPerPeriod_Change();
        SetUpSmokeStreams(state);
    }
    ComputeRebuildTimeScales(state);
    StoreSnapshotRow(state, 0);
    UpdateProblemDescription();
}

} // namespace tamrel
