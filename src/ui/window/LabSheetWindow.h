// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// File > "Open Lab Sheet...": asks for a lab sheet through the window's
// dialogs, loads its problem into the window as the test buttons, Sound Wave
// and Read Setup would (with the sheet's scheme, grid size, Courant number
// and run length typed into their controls first), and shows the sheet in
// its own window beside the plots (ui/window/LabSheetPanel.h). The designed
// controls stay where they are.

#include <QObject>
#include <optional>
#include <string>

#include "app/sheets/LabSheet.h"

class QMenuBar;
class QWidget;

namespace tamrel {

struct ExperimentState;
class QueuedDialogs;
class LabSheetPanel;

class LabSheetMenu : public QObject {
public:
    // Adds the menu item to the File menu of `bar`, after Write Setup.
    LabSheetMenu(QWidget& window, QMenuBar& bar, QueuedDialogs& dialogs, const ExperimentState& state);

    // The menu item: the file prompt, then load().
    void open();
    // Loads the sheet at `path`; false (after a message naming the key) when
    // it cannot be read, or its problem cannot be set up.
    bool load(const std::string& path);

private:
    bool setUpProblem(const sheets::LabSheet& sheet);
    void showSheet(const sheets::LabSheet& sheet);

    QWidget& window;
    QueuedDialogs& dialogs;
    const ExperimentState& state;
    LabSheetPanel* panel = nullptr; // "frmLabSheet", made at the first sheet
};

// Where the lab sheets are: the installed package's folder, or, run from
// the build tree, the source tree's sheets/. Nothing when neither is there.
std::optional<std::string> labSheetsFolder();

} // namespace tamrel
