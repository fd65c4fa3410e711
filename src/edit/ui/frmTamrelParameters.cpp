// The grid-size, time-units, snapshot-rate, Courant-number and milliseconds
// boxes, and the boundary types: the window's side of edit/GridParameters.h
// and edit/BoundaryTypes.h.

#include <QLineEdit>
#include <QScrollBar>
#include <QTimer>

#include "app/ui/frmTamrel.h"
#include "common/Format.h"
#include "edit/BoundaryTypes.h"
#include "edit/GridParameters.h"

namespace tamrel {

void frmTamrel::txtNGridCells_Change()
{
    const GridSizeResult r = GridSizeTextChanged(state, textOf(txtNGridCells));
    switch (r.outcome) {
    case GridSizeOutcome::Ignored:
        return;
    case GridSizeOutcome::PutBack:
        setText(txtNGridCells, r.text);
        return;
    case GridSizeOutcome::RebuildGrid:
    case GridSizeOutcome::RebuildSoundWave:
        break;
    }
    const Long n = state.NGridCells;
    hsbMSelected->setRange(1, n);
    hsbMSelected->setSingleStep(1);
    hsbMSelected->setPageStep(CellBarLargeChange(n));
    state.MCurrent = n / 2;
    if (r.outcome == GridSizeOutcome::RebuildSoundWave) {
        ResizeGridArrays(state);
        SetUpSoundWaveState();
        setText(txtNGridCells, formatGeneral(n));
    } else {
        RebuildGridState();
    }
}

void frmTamrel::txtNPeriods_Change()
{
    const BoxResult r = PeriodsTextChanged(state, textOf(txtNPeriods));
    if (r.outcome == BoxOutcome::PutBack || r.outcome == BoxOutcome::Corrected)
        setText(txtNPeriods, r.text);
    if (r.outcome == BoxOutcome::Applied)
        UpdateProblemDescription();
}

void frmTamrel::txtNPlotsPerPeriod_Change()
{
    const BoxResult r = PlotsPerPeriodTextChanged(state, textOf(txtNPlotsPerPeriod));
    if (r.outcome == BoxOutcome::PutBack || r.outcome == BoxOutcome::Corrected)
        setText(txtNPlotsPerPeriod, r.text);
}

void frmTamrel::txtCourantNumber_Change()
{
    const BoxResult r = CourantTextChanged(state, textOf(txtCourantNumber));
    if (r.outcome == BoxOutcome::PutBack || r.outcome == BoxOutcome::Corrected)
        setText(txtCourantNumber, r.text);
}

void frmTamrel::txtMSec_Change()
{
    const BoxResult r = MSecTextChanged(state, textOf(txtMSec));
    if (r.outcome == BoxOutcome::Ignored || r.outcome == BoxOutcome::PutBack)
        return;
    if (r.outcome == BoxOutcome::Corrected)
        setText(txtMSec, r.text);
    tmrMetronome->setInterval(state.MSec);
}

void frmTamrel::cmdBoundaryConditionType_Click()
{
    if (!BoundaryTypesEditable(state))
        return;
    const ScreenPosTwips pos{kBoundaryPromptLeftTwips, kBoundaryPromptTopTwips};
    const BoundaryPrompt left = LeftBoundaryPrompt(state);
    if (!ApplyLeftBoundaryAnswer(state, dialogs.inputBox(left.prompt, left.title, left.defaultAnswer, pos)))
        return;
    const BoundaryPrompt right = RightBoundaryPrompt(state);
    ApplyRightBoundaryAnswer(state, dialogs.inputBox(right.prompt, right.title, right.defaultAnswer, pos));
}

} // namespace tamrel
