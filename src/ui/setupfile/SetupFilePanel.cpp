// SPDX-License-Identifier: GPL-3.0-or-later
// Write Setup and Read Setup: the file dialogs and messages around
// setupfile/SetupFile.h, then the rebuild of the grid from the table read.

#include "ui/setupfile/SetupFilePanel.h"

#include <QPushButton>
#include <filesystem>

#include "ui/kit/Controls.h"
#include "ui/window/Panels.h"
#include "setupfile/SetupFile.h"

namespace tamrel {

namespace {
    const char* const kSetupFilter = "All Files (*.*)|*.*|Text Files (*.txt)|*.txt";
}

SetupFilePanel::SetupFilePanel(WindowContext& w)
    : state(w.state)
    , dialogs(w.dialogs)
    , panels(w.panels)
    , cmdReadSetUp(control<QPushButton>(w.window, "cmdReadSetUp"))
    , cmdWriteSetUp(control<QPushButton>(w.window, "cmdWriteSetUp"))
{
    QObject::connect(cmdWriteSetUp, &QPushButton::clicked, &w.window, [this] { cmdWriteSetUp_Click(); });
    QObject::connect(cmdReadSetUp, &QPushButton::clicked, &w.window, [this] { cmdReadSetUp_Click(); });
}

void SetupFilePanel::cmdWriteSetUp_Click()
{
    const auto path = dialogs.saveFileName(kSetupFilter);
    if (!path)
        return;
    // A set-up that did not reach the disk must not pass for saved: the one
    // message beyond those of reading a file.
    if (!WriteSetupFile(state, *path))
        dialogs.messageBox("The set-up could not be written to " + *path + ".");
}

void SetupFilePanel::cmdReadSetUp_Click()
{
    // A set-up loads into Ready only, as every problem does.
    if (!state.isReady())
        return;
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
    // A set-up file holds a table of selected cells and no boundary types,
    // never a sound wave: the plots show density, pressure and velocity
    // again (before the rebuild, which would otherwise build a sound wave on
    // the file's grid).
    panels.presets.leaveSoundWaveView();
    panels.selection.RebuildGridState();
    panels.presets.describeSetupFile(std::filesystem::path(*path).filename().string());
    panels.replay.showTime(timeText(state.TimeNow));
    panels.replay.setRowRange(state.NStoredStates);
}

} // namespace tamrel
