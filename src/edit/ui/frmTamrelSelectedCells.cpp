// Select, Deselect, Reset and the rebuild of the grid from the table of
// selected cells: the window's side of edit/SelectedCells.h.

#include <QLineEdit>

#include "app/ui/frmTamrel.h"
#include "common/Format.h"
#include "edit/GridParameters.h"
#include "edit/SelectedCells.h"
#include "run/SmokeStreams.h"
#include "run/SnapshotRow.h"

namespace tamrel {

void frmTamrel::cmdSelect_Click()
{
    if (!state.isReady())
        return;
    const Long m = state.MCurrent;
    const auto rho = parseNumber(textOf(txtDensity));
    const auto p = parseNumber(textOf(txtPressure));
    const auto u = parseNumber(textOf(txtVelocity));
    if (!rho || !p || !u)
        return; // a value box that holds no number: nothing to select
    // A cell with no pressure would have no sound speed: refused like a
    // density that is not above 0.
    if (*p <= 0) {
        dialogs.messageBox("The pressure of a selected cell must be above 0.");
        return;
    }
    const SelectStatus status = SelectCellState(state, m, *rho, *p, *u);
    if (status == SelectStatus::BadDensity) {
        dialogs.messageBox("The density of a selected cell must be above 0.");
        return;
    }
    if (status != SelectStatus::Selected)
        return;
    FinishSelectionEdit(state);
    setText(txtMSelected, formatGeneral(m));
    setText(txtDensity, formatGeneral(*rho));
    setText(txtPressure, formatGeneral(*p));
    setText(txtVelocity, formatGeneral(*u));
    UpdateProblemDescription();
    clearAndRepaintLinePlots();
}

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
            cmdSelect_Click();
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
