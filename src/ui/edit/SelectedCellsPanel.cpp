// SPDX-License-Identifier: GPL-3.0-or-later
// Select, Deselect, Reset and the rebuild of the grid from the table of
// selected cells: the window's side of edit/SelectedCells.h.

#include "ui/edit/SelectedCellsPanel.h"

#include <QPushButton>
#include <algorithm>

#include "ui/kit/Controls.h"
#include "ui/window/Panels.h"
#include "common/Format.h"
#include "edit/BoxEdits.h"
#include "edit/GridParameters.h"
#include "edit/SelectedCells.h"
#include "run/SmokeStreams.h"
#include "run/SnapshotRow.h"

namespace tamrel {

SelectedCellsPanel::SelectedCellsPanel(WindowContext& w)
    : state(w.state)
    , panels(w.panels)
    , cmdSelect(control<QPushButton>(w.window, "cmdSelect"))
    , cmdDeselect(control<QPushButton>(w.window, "cmdDeselect"))
    , cmdReset(control<QPushButton>(w.window, "cmdReset"))
{
    QObject::connect(cmdSelect, &QPushButton::clicked, &w.window, [this] { cmdSelect_Click(); });
    QObject::connect(cmdDeselect, &QPushButton::clicked, &w.window, [this] { cmdDeselect_Click(); });
    QObject::connect(cmdReset, &QPushButton::clicked, &w.window, [this] { cmdReset_Click(); });
}

// Select with the three values the boxes hold. A value box that holds no
// number, a density or a pressure that is not above 0 refuse the command:
// such a cell would have no sound speed. The grid rebuild replays each entry
// through the boxes, whose decimals show a tiny density or pressure as 0; the
// replay keeps the boxes' floors instead of dropping the entry.
void SelectedCellsPanel::selectFromBoxes(bool replay)
{
    ExperimentState& s = state;
    if (!s.isReady())
        return;
    const Long m = s.MCurrent;
    auto [rho, p, u] = panels.editors.typedValues();
    if (!replay) {
        const auto [rhoText, pText, uText] = panels.editors.typedTexts();
        if (const std::string why = SelectRefusal(rhoText, pText, uText); !why.empty()) {
            sayInStatusLine(panels.context.window, why);
            return;
        }
    }
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
    panels.editors.showSelection(formatGeneral(m), formatGeneral(*rho), formatGeneral(*p), formatGeneral(*u));
    panels.presets.UpdateProblemDescription();
    panels.plots.clearAndRepaint();
}

void SelectedCellsPanel::cmdSelect_Click()
{
    selectFromBoxes(false);
}

void SelectedCellsPanel::cmdDeselect_Click()
{
    const auto cell = CellNumberFromText(state, panels.editors.typedCell());
    if (!cell)
        return; // the cell-number box names no cell of the grid
    DeselectCellState(state, *cell);
    FinishSelectionEdit(state);
    panels.presets.UpdateProblemDescription();
    panels.plots.clearAndRepaint();
}

void SelectedCellsPanel::cmdReset_Click()
{
    if (!state.isReady())
        return;
    // Reset from the button leaves a sound wave's view; the sound wave's own
    // set-up resets the table through resetSelection and keeps it.
    panels.presets.leaveSoundWaveView();
    resetSelection();
}

void SelectedCellsPanel::resetSelection()
{
    if (!state.isReady())
        return;
    for (const Long m : ResetDeselectCells(state)) {
        panels.editors.showCellNumber(formatPattern(m, "###0"));
        cmdDeselect_Click();
    }
    panels.plots.clearAndRepaint();
}

void SelectedCellsPanel::RebuildGridState()
{
    ResizeGridArrays(state);
    PrefillGridFromTable(state);
    SetUpSmokeStreams(state);
    panels.parameters.showCourantNumber(formatPattern(state.CourantNumber, "#0.0#"));
    // A set-up file with a new grid size: the box's handler moves the table
    // and rebuilds the grid on its own before this rebuild goes on.
    panels.parameters.showGridSize(formatGeneral(state.NGridCells));
    // When the box already showed the new size (an entry it had refused), its
    // handler did not run; the cell bar must still span the new grid.
    const Long n = state.NGridCells;
    if (!panels.editors.cellBarSpans(n))
        panels.editors.setCellBarRange(n);
    ResetRebuildRunState(state);

    if (state.NSelected >= 1) {
        ReplayRanges ranges = BeginReplayRanges(state);
        for (Long k = 1; k <= state.NSelected; ++k) {
            state.MCurrent = state.MSelected[k];
            panels.editors.enterCellNumber(formatPattern(state.MCurrent, "###0"));
            ReplayEntryValues(state, ranges, k);
            panels.editors.enterPressure(formatPattern(state.PCurrent, "0.0000##"));
            panels.editors.enterDensity(formatPattern(state.RhoCurrent, "#0.0000##"));
            panels.editors.enterVelocity(formatPattern(state.VXCurrent, "#0.0000##"));
            selectFromBoxes(true);
        }
        panels.parameters.enterPeriods(formatGeneral(state.Periods));
        panels.parameters.enterPlotsPerPeriod(formatGeneral(state.NPlotsPerPeriod));
        SetUpSmokeStreams(state);
    }
    ComputeRebuildTimeScales(state);
    StoreSnapshotRow(state, 0);
    panels.presets.UpdateProblemDescription();
    panels.spaceTime.pctSpaceTime_Paint();
}

} // namespace tamrel
