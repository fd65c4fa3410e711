// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// File > "Open Lab Sheet...": asks for a lab sheet through the window's
// dialogs, loads its problem into the window as the test buttons, Sound Wave
// and Read Setup would (with the sheet's scheme, grid size, Courant number
// and run length typed into their controls first), and shows the sheet's
// title, questions and checks in a side window beside the plots. The
// designed controls stay where they are.

#include <QObject>
#include <string>

#include "app/sheets/LabSheet.h"

class QMenuBar;
class QTextBrowser;
class QWidget;

namespace tamrel {

struct ExperimentState;
class QueuedDialogs;

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
    QWidget* sheetWindow = nullptr; // "frmLabSheet", made at the first sheet
    QTextBrowser* sheetText = nullptr;
};

// The side window's text: title, questions, checks, as HTML.
std::string labSheetHtml(const sheets::LabSheet& sheet);

} // namespace tamrel
