// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Write Setup and Read Setup: the file dialogs and messages around
// setupfile/SetupFile.h, then the rebuild of the grid from the table read.

#include "ui/kit/WindowContext.h"

class QPushButton;

namespace tamrel {

class SetupFilePanel {
public:
    explicit SetupFilePanel(WindowContext& w);

    void cmdWriteSetUp_Click();
    void cmdReadSetUp_Click();

private:
    ExperimentState& state;
    Dialogs& dialogs;
    Panels& panels;

    QPushButton* cmdReadSetUp;
    QPushButton* cmdWriteSetUp;
};

} // namespace tamrel
