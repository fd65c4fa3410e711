// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Stepping through the stored snapshots, one at a time or overlaid: the
// stored-state bar and box, Single and Multi, and the time box that shows
// the time of what the plots show.

#include <string>

#include "ui/kit/WindowContext.h"

class QLineEdit;
class QPushButton;
class QScrollBar;

namespace tamrel {

class ReplayPanel {
public:
    explicit ReplayPanel(WindowContext& w);

    void vsbStoredStateNumber_Change();
    void txtStoredStateNumber_Change();
    void cmdSinglePlots_Click();
    void cmdMultiplePlots_Click();

    // The time box.
    void showTime(const std::string& text);
    // The stored-state box (its handler shows that row while no run goes on).
    void showRowNumber(const std::string& text);
    // The stored-state bar spans rows 0..maximum.
    void setRowRange(Long maximum);
    // A run stored a row: the bar reaches `maximum`, the box and the thumb
    // show row `shown`.
    void followStoredRow(Long maximum, Long shown);

private:
    bool following_ = false; // followStoredRow is writing the controls
    ExperimentState& state;
    Panels& panels;

    QScrollBar* vsbStoredStateNumber;
    QLineEdit* txtStoredStateNumber;
    QPushButton* cmdSinglePlots;
    QPushButton* cmdMultiplePlots;
    QLineEdit* txtTime;
};

} // namespace tamrel
