// Write Setup and Read Setup: the file dialogs and messages around
// setupfile/SetupFile.h, then the rebuild of the grid from the table read.

#include <QLineEdit>
#include <QScrollBar>

#include "app/ui/frmTamrel.h"
#include "common/Format.h"
#include "setupfile/SetupFile.h"

namespace tamrel {

namespace {
const char* const kSetupFilter = "All Files (*.*)|*.*|Text Files (*.txt)|*.txt";
}

void frmTamrel::cmdWriteSetUp_Click()
{
    const auto path = dialogs.saveFileName(kSetupFilter);
    if (!path)
        return;
    // A set-up that did not reach the disk must not pass for saved: the one
    // message beyond those of reading a file.
    if (!WriteSetupFile(state, *path))
        dialogs.messageBox("The set-up could not be written to " + *path + ".");
}

void frmTamrel::cmdReadSetUp_Click()
{
    const auto path = dialogs.openFileName(kSetupFilter);
    if (!path)
        return;
    const SetupReadResult read = ReadSetupFile(*path);
    if (read.status == SetupReadStatus::Rejected) {
        dialogs.messageBox(read.message);
        return;
    }
    if (read.status != SetupReadStatus::Ok)
        return; // unreadable, short or malformed: nothing changes
    if (!CommitSetup(state, read.data)) {
        dialogs.messageBox(CheckSetupData(read.data));
        return;
    }
    RebuildGridState();
    // A set-up read during or after a run starts its problem at time zero:
    // the time box and the stored-state bar follow.
    setText(txtTime, timeText(state.TimeNow));
    vsbStoredStateNumber->setRange(0, state.NStoredStates);
}

} // namespace tamrel
