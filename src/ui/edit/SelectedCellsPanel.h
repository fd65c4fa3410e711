// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Select, Deselect, Reset and the rebuild of the grid from the table of
// selected cells: the window's side of edit/SelectedCells.h. The values come
// from the cell editors' boxes.

#include "ui/kit/WindowContext.h"

class QPushButton;

namespace tamrel {

class SelectedCellsPanel {
public:
    explicit SelectedCellsPanel(WindowContext& w);

    void cmdSelect_Click();
    void cmdDeselect_Click();
    void cmdReset_Click();
    // Reset's deselection of every cell but the first and the last, without
    // leaving the plots' present view (the sound wave's set-up uses it).
    void resetSelection();
    // The grid rebuilt for the present N from the table of selected cells
    // (edit/RebuildGrid's rule), and the boxes showing the outcome.
    void RebuildGridState();

private:
    void selectFromBoxes();

    ExperimentState& state;
    Panels& panels;

    QPushButton* cmdSelect;
    QPushButton* cmdDeselect;
    QPushButton* cmdReset;
};

} // namespace tamrel
