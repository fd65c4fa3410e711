// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/exact/ExactPanel.h"

#include <QLabel>
#include <QPushButton>
#include <QSettings>
#include <cmath>
#include <cstdio>

#include "ui/kit/Controls.h"
#include "ui/window/Panels.h"
#include "ui/kit/PlotPolylines.h"
#include "ui/exact/RiemannExplorerWindow.h"
#include "plots/LinePlots.h"

namespace tamrel {

namespace {

    const char* const kSettingsKey = "exact/overlaysShown";

    // The user's settings of the lab (on Linux ~/.config/Tamrel/tamrel.conf).
    QSettings labSettings()
    {
        return QSettings(QStringLiteral("Tamrel"), QStringLiteral("tamrel"));
    }

    std::string g3(double v)
    {
        char buf[32];
        std::snprintf(buf, sizeof buf, "%.3g", v);
        return buf;
    }

    exact::PlotPicture pictureOf(PlotQuantity q)
    {
        switch (q) {
        case PlotQuantity::Density:
            return exact::PlotPicture::Density;
        case PlotQuantity::Pressure:
            return exact::PlotPicture::Pressure;
        case PlotQuantity::Velocity:
            break;
        }
        return exact::PlotPicture::Velocity;
    }

} // namespace

ExactPanel::ExactPanel(WindowContext& w)
    : window(w.window)
    , state(w.state)
    , panels(w.panels)
    , cmdExactOverlay(control<QPushButton>(w.window, "cmdExactOverlay"))
    , cmdRiemannExplorer(control<QPushButton>(w.window, "cmdRiemannExplorer"))
    , lblExactReadout(control<QLabel>(w.window, "lblExactReadout"))
{
    shown_ = labSettings().value(kSettingsKey, true).toBool();
    cmdExactOverlay->setCheckable(true);
    cmdExactOverlay->setChecked(shown_);
    QObject::connect(cmdExactOverlay, &QPushButton::clicked, &w.window, [this] { cmdExactOverlay_Click(); });
    QObject::connect(cmdRiemannExplorer, &QPushButton::clicked, &w.window, [this] { cmdRiemannExplorer_Click(); });
}

ExactPanel::~ExactPanel() = default;

void ExactPanel::cmdExactOverlay_Click()
{
    shown_ = !shown_;
    cmdExactOverlay->setChecked(shown_);
    labSettings().setValue(kSettingsKey, shown_);
    // Only the layers change: the plots and the picture keep their drawings.
    panels.plots.refreshOverlays();
    panels.spaceTime.refreshWaves();
}

void ExactPanel::cmdRiemannExplorer_Click()
{
    RiemannExplorerWindow& w = explorer();
    w.show();
    w.raise();
    refreshExplorer();
}

RiemannExplorerWindow& ExactPanel::explorer()
{
    if (!explorer_) {
        explorer_ = new RiemannExplorerWindow(&window);
        // The lab ends when its own window closes, explorer or not.
        explorer_->setAttribute(Qt::WA_QuitOnClose, false);
        QObject::connect(explorer_, &RiemannExplorerWindow::sourceChanged, &window, [this] { refreshExplorer(); });
        QObject::connect(explorer_, &RiemannExplorerWindow::markRequested, &window, [this] {
            marked_ = state.MCurrent;
            explorer_->setSource(RiemannExplorerWindow::Source::PickedCells);
            refreshExplorer();
        });
    }
    return *explorer_;
}

void ExactPanel::refresh()
{
    const exact::ExactSolution& sol = tracker_.update(state);
    time_ = exact::ShownTime(state);
    if (tracker_.solves() != cellsSolve_ || time_ != cellsTime_) {
        cellsSolve_ = tracker_.solves();
        cellsTime_ = time_;
        cellsValid_ = sol.validAt(time_);
        if (cellsValid_)
            sol.cellAverages(time_, cells_);
    }
    showReadout();
    if (explorer_ && explorer_->isVisible())
        refreshExplorer();
}

void ExactPanel::showReadout()
{
    const exact::ExactSolution& sol = tracker_.solution();
    std::string text;
    if (!sol.available()) {
        text = "No exact solution: " + sol.reason() + ".";
    } else if (!cellsValid_) {
        text = "Exact solution (" + sol.shape() + ") holds until t=" + g3(sol.validUntil())
            + "; not drawn at t=" + g3(time_) + ".";
    } else {
        const exact::L1Distance d = exact::L1FromExact(state, cells_);
        text = "Exact (" + sol.shape() + ").  L1 at t=" + g3(time_) + ":  rho " + g3(d.rho) + "   vx " + g3(d.u)
            + "   p " + g3(d.p);
    }
    setCaption(lblExactReadout, text);
}

std::vector<std::vector<QPoint>> ExactPanel::plotOverlay(PlotQuantity q, double W, double H)
{
    refresh();
    if (!shown_ || !cellsValid_)
        return {};
    return qtPolylines(exact::ExactOverlayDrawing(state, pictureOf(q), cells_, W, H));
}

std::vector<exact::WavePolyline> ExactPanel::spaceTimeWaves(double W, double H)
{
    return spaceTimeWaves(state, W, H);
}

std::vector<exact::WavePolyline> ExactPanel::spaceTimeWaves(const ExperimentState& shown, double W, double H)
{
    if (!shown_)
        return {};
    return exact::SpaceTimeWaves(shown, tracker_.update(shown), W, H);
}

void ExactPanel::refreshExplorer()
{
    if (!explorer_)
        return;
    const ExperimentState& s = state;
    const long n = s.NGridCells;
    if (n < 1 || !s.X.contains(n + 1))
        return explorer_->showNothing("No grid.");
    const double xa = s.X[1], xb = s.X[n + 1];
    if (explorer_->source() == RiemannExplorerWindow::Source::PickedCells) {
        const Long a = std::min(marked_, s.MCurrent), b = std::max(marked_, s.MCurrent);
        if (marked_ < 1 || marked_ > n || a == b || !s.Rho.contains(b))
            return explorer_->showNothing(
                "Mark a cell (click it on a plot, then Mark Current Cell), then click a second cell on a plot.");
        const kernels::FlowState left { s.Rho[a], s.VX[a], s.P[a], 0 }, right { s.Rho[b], s.VX[b], s.P[b], 0 };
        return explorer_->showExploration(exact::ExploreRiemann(left, right, s.Gamma, s.X[b], xa, xb),
            "Cells " + std::to_string(a) + " and " + std::to_string(b)
                + " as they stand, the jump put at x=" + g3(s.X[b]) + ".");
    }
    const exact::ExactSolution& sol = tracker_.update(s);
    const exact::ExactJump* nearest = nullptr;
    const double here = s.X.contains(s.MCurrent + 1) ? 0.5 * (s.X[s.MCurrent] + s.X[s.MCurrent + 1]) : xa;
    for (const exact::ExactJump& j : sol.jumps())
        if (j.place == exact::JumpPlace::Interior
            && (!nearest || std::fabs(j.x0 - here) < std::fabs(nearest->x0 - here)))
            nearest = &j;
    if (!nearest)
        return explorer_->showNothing(sol.available()
                ? "The loaded state has no jump between two cells: mark a cell and click another to explore them."
                : "No jump to explore: " + sol.reason() + ".");
    explorer_->showExploration(exact::ExploreRiemann(nearest->left, nearest->right, s.Gamma, nearest->x0, xa, xb),
        "The loaded jump at x=" + g3(nearest->x0) + " (" + sol.shape() + ").");
}

} // namespace tamrel
