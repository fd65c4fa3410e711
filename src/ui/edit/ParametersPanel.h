// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The grid-size, time-units, snapshot-rate, Courant-number and milliseconds
// boxes, and the boundary types: the window's side of edit/GridParameters.h
// and edit/BoundaryTypes.h.

#include <string>

#include "edit/RebuildGrid.h"
#include "ui/kit/WindowContext.h"

class QLineEdit;
class QPushButton;

namespace tamrel {

class ParametersPanel {
public:
    explicit ParametersPanel(WindowContext& w);

    void txtNGridCells_Change();
    void txtNPeriods_Change();
    void txtNPlotsPerPeriod_Change();
    void txtCourantNumber_Change();
    void txtMSec_Change();
    void cmdBoundaryConditionType_Click();

    // The state's own grid size, snapshot rate and run length in their boxes,
    // without their handlers: the state already holds these values, and a
    // grid-size handler would rebuild the whole grid from the table of
    // selected cells and replace the problem just set up.
    void showRunParameters();
    // What the grid-size and Courant boxes show, and the rebuild's outcome
    // in the boxes it writes, without their handlers.
    ShownBoxes shownBoxes() const;
    void showRebuiltBoxes(const ShownBoxes& shown);
    // Writes that run the box's handler when the text changes.
    void showCourantNumber(const std::string& text);
    void showMSec(const std::string& text);

private:
    ExperimentState& state;
    Dialogs& dialogs;
    Panels& panels;

    QLineEdit* txtNGridCells;
    QLineEdit* txtNPeriods;
    QLineEdit* txtNPlotsPerPeriod;
    QLineEdit* txtCourantNumber;
    QLineEdit* txtMSec;
    QPushButton* cmdBoundaryConditionType;
};

} // namespace tamrel
