// SPDX-License-Identifier: GPL-3.0-or-later
// Select, Deselect, Reset and the rebuild of the grid from the table of
// selected cells: the window's side of edit/SelectedCells.h.

#include "ui/edit/SelectedCellsPanel.h"

#include <QPushButton>

#include "ui/kit/Controls.h"
#include "ui/window/Panels.h"
#include "common/Format.h"
#include "edit/BoxEdits.h"
#include "edit/GridParameters.h"
#include "edit/RebuildGrid.h"
#include "edit/SelectedCells.h"

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
// such a cell would have no sound speed.
void SelectedCellsPanel::selectFromBoxes()
{
    ExperimentState& s = state;
    if (!s.isReady())
        return;
    const Long m = s.MCurrent;
    const auto [rhoText, pText, uText] = panels.editors.typedTexts();
    if (const std::string why = SelectRefusal(rhoText, pText, uText); !why.empty()) {
        sayInStatusLine(panels.context.window, why);
        return;
    }
    const auto [rho, p, u] = panels.editors.typedValues();
    if (!rho || !p || !u || !(*p > 0))
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
    selectFromBoxes();
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

// The rebuild itself is edit/RebuildGrid's rule, seeded with what the
// grid-size and Courant boxes show; the boxes then show its outcome without
// running their handlers, which would rebuild a second time.
void SelectedCellsPanel::RebuildGridState()
{
    ShownBoxes shown = panels.parameters.shownBoxes();
    RebuildGridFromTable(state, shown, [this](ExperimentState&) { panels.presets.SetUpSoundWaveState(); });
    panels.parameters.showRebuiltBoxes(shown);
    // Also when the box already showed the new size (an entry it had
    // refused), the cell bar must span the new grid.
    const Long n = state.NGridCells;
    if (!panels.editors.cellBarSpans(n))
        panels.editors.setCellBarRange(n);
    if (state.NSelected >= 1)
        panels.editors.showReplayedEntry(formatGeneral(state.MCurrent), formatGeneral(state.RhoCurrent),
            formatGeneral(state.PCurrent), formatGeneral(state.VXCurrent));
    panels.presets.UpdateProblemDescription();
    panels.plots.clearAndRepaint();
    panels.spaceTime.pctSpaceTime_Paint();
}

} // namespace tamrel
