// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Schemes side by side in the window. The Compare button (View > Compare
// Schemes...) picks 2 to 5 schemes; Begin then gives the grid the first of
// them and runs every scheme on its own copy of the set-up in lockstep, each
// copy on a thread of its own, all storing their rows at the same snapshot
// times. The grid on show is the first scheme's run, so every designed
// control (replay, Single and Multi, the space-time picture, the exact
// solution) works on it as in a single run; the other schemes' rows at the
// row on show are drawn over the line plots in their colours with a legend,
// or, in the difference view, every scheme minus the reference. A list, in
// place of the space-time picture's caption while a comparison is on show,
// chooses the scheme the picture shows, or the difference of two.
// Without a comparison nothing here changes a run.

#include <memory>
#include <string>
#include <vector>

#include "ui/kit/WindowContext.h"
#include "compare/Difference.h"
#include "compare/SchemeCopies.h"
#include "compare/SideBySide.h"
#include "exact/ExactSolution.h"

class QAction;
class QComboBox;
class QLabel;
class QPushButton;

namespace tamrel {

class CompareOverlay;
class LinePlotPicture;
class TimeStep;
enum class PlotQuantity;

class ComparePanel {
public:
    explicit ComparePanel(WindowContext& w);
    ~ComparePanel();

    void cmdCompareSchemes_Click();
    void lstCompareSpaceTime_Click();
    void actDifferenceView_Toggled(bool on);
    void actConvergenceStudy_Triggered();

    // A comparison is chosen (2 to 5 schemes), and its copies run or ran.
    bool comparing() const { return schemes_.size() >= 2; }
    bool running() const { return !runs_.empty(); }
    const std::vector<std::string>& schemes() const { return schemes_; }
    // Choose the schemes as the dialog does (fewer than two ends the comparison);
    // false, with a message, for names that are no schemes or too many.
    bool chooseSchemes(const std::vector<std::string>& names);

    // Begin, before the grid begins: the grid takes the first scheme and
    // every other scheme a Ready copy of the set-up. False (with a message)
    // when the copies cannot run side by side: nothing begins.
    bool prepareBegin();
    // The grid has begun: the copies begin too.
    void begun();
    // Restart: the copies go; the next Begin makes them afresh.
    void restarted();
    // One tick of the comparison; true when it ended with a fault.
    bool tick();

    // A line plot has painted the grid on show: the other schemes' curves,
    // or the difference view, over it.
    void plotPainted(PlotQuantity q, LinePlotPicture& picture);
    // The space-time picture paints the scheme chosen in the list (or a
    // difference) in place of the grid's run; false when the grid's run is
    // the one to paint.
    bool paintSpaceTimeInstead();
    // The space-time picture shows the difference of two schemes' runs.
    bool spaceTimeShowsDifference() const;

    bool differenceView() const { return difference_; }
    // The record of scheme k (0: the grid's own run).
    const ExperimentState& record(std::size_t k) const;
    std::size_t schemeCount() const { return running() ? runs_.size() : 0; }
    // The row the plots show for every scheme, and the difference view's values there.
    long shownRow() const;
    compare::RowDifference shownDifference() const;
    const exact::ExactSolution& reference() const { return exact_; }
    CompareOverlay& overlay(PlotQuantity q) const;

private:
    bool shown() const;
    void refreshSpaceTimeList();
    void repaintAll();

    QWidget& window;
    ExperimentState& state;
    Dialogs& dialogs;
    const WindowOptions& options;
    Panels& panels;
    QPushButton* cmdCompareSchemes;
    QComboBox* lstCompareSpaceTime;
    QLabel* lblDensitySpaceTimePlot;
    QAction* actCompareSchemes;
    QAction* actDifferenceView;
    QAction* actConvergenceStudy;
    CompareOverlay* overlays_[3];

    std::vector<std::string> schemes_;
    // runs_[0] lends its place to the grid's record during a tick; between
    // ticks the grid is scheme 0 and runs_[0].state is empty.
    std::vector<compare::SchemeRun> runs_;
    std::vector<compare::SchemeRun> pending_; // made by Begin before the grid begins
    compare::GridLockstep lockstep_; // rows every scheme holds; whether the grid's run has ended
    std::vector<std::unique_ptr<TimeStep>> steppers_;
    exact::ExactSolution exact_;
    bool difference_ = false;
    bool paintingInstead_ = false;
};

// The View menu's comparison items (made by the panel) join `menu`.
void addCompareItems(QWidget& window, QWidget& menu);

} // namespace tamrel
