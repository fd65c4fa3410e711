// Stepping through the stored snapshots, one at a time or overlaid.

#include <QLineEdit>
#include <QScrollBar>
#include <cmath>

#include "app/ui/frmTamrel.h"
#include "common/Format.h"
#include "common/Rounding.h"
#include "run/SnapshotRow.h"

namespace tamrel {

void frmTamrel::vsbStoredStateNumber_Change()
{
    if (state.Stopped == 0)
        return;
    const long row = vsbStoredStateNumber->value();
    // Only stored rows are shown: the bar's maximum can stand one past the
    // last row, and a row emptied by a later set-up (a test loaded after a
    // run) holds no state; such a position shows nothing and loads nothing.
    if (!state.StoredTime.contains(row) || !SnapshotRowHoldsState(state, row))
        return;
    state.StoredStateShown = static_cast<Long>(row);
    setText(txtStoredStateNumber, formatPattern(row, "###0"));
    setText(txtTime, timeText(state.StoredTime[row]));
    if (state.MultiplePlots != 1)
        clearLinePlots();
    state.STRowOffset = static_cast<Long>((state.NGridCells + 2) * row);
    RestoreSnapshotRow(state, row);
    paintLinePlots();
}

void frmTamrel::txtStoredStateNumber_Change()
{
    if (state.Stopped == 0)
        return;
    const auto number = parseNumber(textOf(txtStoredStateNumber));
    if (!number || *number < 0)
        return;
    const Long row = roundToLong(*number);
    // A number beyond the stored rows, or naming an emptied row, is ignored
    // like a negative one.
    if (!state.StoredTime.contains(row) || !SnapshotRowHoldsState(state, row))
        return;
    state.StoredStateShown = row;
    if (vsbStoredStateNumber->maximum() < row)
        vsbStoredStateNumber->setMaximum(row);
    if (vsbStoredStateNumber->value() != row)
        vsbStoredStateNumber->setValue(row);
    setText(txtTime, "t=" + formatPattern(state.StoredTime[row], "#0.####"));
}

void frmTamrel::cmdSinglePlots_Click()
{
    state.MultiplePlots = 0;
    clearAndRepaintLinePlots();
}

void frmTamrel::cmdMultiplePlots_Click() { state.MultiplePlots = 1; }

} // namespace tamrel
