// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The exact solution in the window: its curve over each line plot, its waves
// over the space-time picture, the distance readout, the switch that shows or
// hides the overlays (View > Exact Solution, Ctrl+Shift+E; the choice is kept in
// the user's settings) and
// the Riemann explorer.
//
// The overlays lie on layers of their own over the pictures, so the plots'
// and the space-time picture's own drawings, and what every designed control
// does, stay as they are. The line plots and the space-time picture ask this
// panel for their overlay whenever they paint; the readout and an open
// explorer follow at the same moments.

#include <QPoint>
#include <memory>
#include <string>
#include <vector>

#include "ui/kit/WindowContext.h"
#include "exact/ExactPlots.h"
#include "exact/ExactTracker.h"
#include "exact/WavePattern.h"

class QLabel;
class QPushButton;

namespace tamrel {

enum class PlotQuantity;
class RiemannExplorerWindow;

class ExactPanel {
public:
    explicit ExactPanel(WindowContext& w);
    ~ExactPanel();

    void cmdExactOverlay_Click();
    void cmdRiemannExplorer_Click();

    // The exact curve over a line plot of W x H twips, for the grid on show;
    // empty while the overlays are hidden or no exact solution holds. Brings
    // the readout and an open explorer up to date.
    std::vector<std::vector<QPoint>> plotOverlay(PlotQuantity q, double W, double H);
    // The exact waves over the space-time picture of W x H pixels.
    std::vector<exact::WavePolyline> spaceTimeWaves(double W, double H);
    // The same for a record a comparison shows instead of the window's.
    std::vector<exact::WavePolyline> spaceTimeWaves(const ExperimentState& shown, double W, double H);

    bool overlaysShown() const { return shown_; }
    // The explorer window (made on first use; it may stay open during a run).
    RiemannExplorerWindow& explorer();
    // Cell number of the explorer's marked cell (0: none).
    Long markedCell() const { return marked_; }

private:
    void refresh();
    void showReadout();
    void refreshExplorer();

    QWidget& window;
    ExperimentState& state;
    Panels& panels;
    QPushButton* cmdExactOverlay;
    QPushButton* cmdRiemannExplorer;
    QLabel* lblExactReadout;

    bool shown_ = true;
    exact::ExactTracker tracker_;
    // The cells at the time on show, for the tracker's solution.
    exact::ExactCells cells_;
    bool cellsValid_ = false;
    long cellsSolve_ = -1;
    double cellsTime_ = -1;
    double time_ = 0;
    RiemannExplorerWindow* explorer_ = nullptr;
    Long marked_ = 0;
};

} // namespace tamrel
