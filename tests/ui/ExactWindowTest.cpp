// SPDX-License-Identifier: GPL-3.0-or-later
// The exact solution in the window: the curves over the plots and the waves
// over the space-time picture, the readout, the switch that shows or hides
// them (kept in the settings), and the Riemann explorer.

#include <QAction>
#include <QImage>
#include <QKeySequence>
#include <QLabel>
#include <QScrollBar>
#include <QSettings>
#include <QTemporaryDir>
#include <string>
#include <vector>

#include "WindowFixture.h"
#include "exact/ExactPlots.h"
#include "exact/ExactTracker.h"
#include "ui/exact/RiemannExplorerWindow.h"

using namespace tamrel;
using namespace tamrel::testing;

namespace {

std::vector<std::vector<QPoint>> pointsOf(const PlotDrawing& d)
{
    std::vector<std::vector<QPoint>> out;
    for (const auto& line : d.polylines) {
        std::vector<QPoint> pts;
        for (const PlotPoint& p : line)
            pts.emplace_back(p.x, p.y);
        out.push_back(pts);
    }
    return out;
}

class ExactWindowTest : public WindowTest {
protected:
    void SetUp() override
    {
        // The window keeps the switch in the user's settings: here, in a
        // folder of the test's own.
        ASSERT_TRUE(settingsFolder.isValid());
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settingsFolder.path());
        WindowTest::SetUp();
    }

    // Test `k` on n cells, run to its end.
    void finish(int k, long n)
    {
        typeInto(*window, "txtNGridCells", std::to_string(n));
        clickTest(*window, k);
        click(*window, "cmdBegin");
        runToEnd();
        ASSERT_FALSE(window->runFaulted());
    }

    exact::ExactSolution solution()
    {
        exact::ExactTracker tracker;
        return tracker.update(s());
    }

    std::string readout() { return captionOf(label(*window, "lblExactReadout")); }

    QTemporaryDir settingsFolder;
};

} // namespace

// After Test 1, each plot's overlay is the curve of the exact cell averages
// at the run's end in that plot's frame, and the readout gives their L1
// distance from the grid. The plots' own drawings are those without overlay.
TEST_F(ExactWindowTest, OverlayIsTheExactCurveInEachPlot)
{
    finish(1, 100);
    const auto cells = solution().cellAverages(s().TimeNow);
    const struct {
        const char* picture;
        exact::PlotPicture which;
    } plots[] = { { "pctDensityPlot", exact::PlotPicture::Density },
        { "pctPressurePlot", exact::PlotPicture::Pressure }, { "pctVelocityPlot", exact::PlotPicture::Velocity } };
    for (const auto& p : plots) {
        SCOPED_TRACE(p.picture);
        LinePlotPicture* picture = plot(*window, p.picture);
        const auto want = pointsOf(
            exact::ExactOverlayDrawing(s(), p.which, cells, picture->scaleWidth(), picture->scaleHeight()));
        ASSERT_FALSE(want.empty());
        EXPECT_EQ(picture->overlay(), want);
    }
    const exact::L1Distance d = exact::L1FromExact(s(), cells);
    char figures[128];
    std::snprintf(figures, sizeof figures, "rho %.3g   vx %.3g   p %.3g", d.rho, d.u, d.p);
    EXPECT_NE(readout().find(figures), std::string::npos) << readout();
    EXPECT_NE(readout().find("two constant states, one jump at x=0.3"), std::string::npos) << readout();

    // Hiding the overlays leaves every picture's own drawing as it was.
    const QImage density = plot(*window, "pctDensityPlot")->surface();
    const QImage spaceTime = spaceTimePicture(*window)->shownImage();
    click(*window, "cmdExactOverlay");
    EXPECT_TRUE(plot(*window, "pctDensityPlot")->overlay().empty());
    EXPECT_TRUE(spaceTimePicture(*window)->waves().empty());
    EXPECT_EQ(plot(*window, "pctDensityPlot")->surface(), density);
    EXPECT_EQ(spaceTimePicture(*window)->shownImage(), spaceTime);
}

// Browsing the stored rows: the overlay and the readout follow each row's time.
TEST_F(ExactWindowTest, ReplayedRowsGetTheirOwnTime)
{
    finish(1, 100);
    QScrollBar* rows = bar(*window, "vsbStoredStateNumber");
    rows->setValue(3);
    const double t = s().StoredTime[3];
    ASSERT_GT(t, 0.0);
    EXPECT_NE(readout().find("L1 at t=" +
                  [&] {
                      char b[32];
                      std::snprintf(b, sizeof b, "%.3g", t);
                      return std::string(b);
                  }()
                  + ":"),
        std::string::npos)
        << readout();
    const auto cells = solution().cellAverages(t);
    LinePlotPicture* picture = plot(*window, "pctDensityPlot");
    EXPECT_EQ(picture->overlay(),
        pointsOf(exact::ExactOverlayDrawing(
            s(), exact::PlotPicture::Density, cells, picture->scaleWidth(), picture->scaleHeight())));
}

// The blast between walls holds only until its first wave reaches a wall:
// past that no overlay, and the readout says until when it held.
TEST_F(ExactWindowTest, PastItsTimeTheOverlayGoesAndTheReadoutSaysWhy)
{
    click(*window, "cmdBegin"); // the start-up problem
    runToEnd();
    EXPECT_TRUE(plot(*window, "pctDensityPlot")->overlay().empty());
    EXPECT_NE(readout().find("holds until t=0.00267"), std::string::npos) << readout();
    // The waves stop at that time too: every vertex lies in the picture's
    // lowest rows.
    const auto& waves = spaceTimePicture(*window)->waves();
    ASSERT_FALSE(waves.empty());
    const double H = spaceTimePicture(*window)->scaleHeight();
    for (const auto& w : waves)
        for (const auto& [x, y] : w.points)
            EXPECT_GT(y, 0.8 * H);
}

// The switch and its menu item (Ctrl+Shift+E) show and hide the overlays; a new window
// starts with the last choice.
TEST_F(ExactWindowTest, SwitchAndShortcutPersist)
{
    finish(1, 100);
    QAction* item = window->findChild<QAction*>(QStringLiteral("actExactOverlay"));
    ASSERT_NE(item, nullptr);
    EXPECT_EQ(item->shortcut(), QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_E));
    item->trigger();
    EXPECT_TRUE(plot(*window, "pctVelocityPlot")->overlay().empty());
    EXPECT_FALSE(button(*window, "cmdExactOverlay")->isChecked());
    EXPECT_FALSE(
        QSettings(QStringLiteral("Tamrel"), QStringLiteral("tamrel")).value("exact/overlaysShown").toBool());

    auto second = makeWindow();
    EXPECT_FALSE(button(*second, "cmdExactOverlay")->isChecked());
    EXPECT_TRUE(plot(*second, "pctDensityPlot")->overlay().empty());
    second.reset();

    item->trigger();
    EXPECT_FALSE(plot(*window, "pctVelocityPlot")->overlay().empty());
    EXPECT_TRUE(
        QSettings(QStringLiteral("Tamrel"), QStringLiteral("tamrel")).value("exact/overlaysShown").toBool());
}

// The explorer shows the loaded jump (Test 1: a rarefaction and a shock),
// then the marked and the current cell, and follows the grid as it changes:
// two cells pulled apart faster than sound can follow leave a vacuum.
TEST_F(ExactWindowTest, ExplorerFollowsTheJumpAndPickedCells)
{
    clickTest(*window, 1);
    click(*window, "cmdRiemannExplorer");
    RiemannExplorerWindow& explorer = panels().exact.explorer();
    ASSERT_TRUE(explorer.isVisible());
    auto row = [&](const std::string& label) {
        for (const auto& [l, text] : explorer.rows())
            if (l == label)
                return text;
        return std::string("(no row)");
    };
    EXPECT_EQ(row("Star pressure p*"), "0.466294");
    EXPECT_EQ(row("Left wave"), "rarefaction, head -0.433216, tail 0.299871");
    EXPECT_EQ(row("Right wave"), "shock, speed 2.15323");
    EXPECT_EQ(row("Right wave reaches"), "x=1 at t=0.325092");

    // Mark cell 20, make cell 80 current.
    typeInto(*window, "txtMSelected", "20");
    control<QPushButton>(explorer, "cmdRiemannMarkCell")->click();
    EXPECT_EQ(panels().exact.markedCell(), 20);
    EXPECT_EQ(explorer.source(), RiemannExplorerWindow::Source::PickedCells);
    typeInto(*window, "txtMSelected", "80");
    EXPECT_EQ(explorer.origin(), "Cells 20 and 80 as they stand, the jump put at x=0.79.");
    EXPECT_EQ(row("Left state"), "rho=1  u=0.75  p=1");
    EXPECT_EQ(row("Right state"), "rho=0.125  u=0  p=0.1");

    // The grid changes; the next repaint brings the explorer along.
    s().VX[20] = -4;
    s().P[20] = 0.4;
    s().VX[80] = 4;
    s().Rho[80] = 1;
    s().P[80] = 0.4;
    panels().plots.paint();
    EXPECT_TRUE(explorer.exploration().vacuum);
    EXPECT_EQ(row("Star state"), "none: the wave curves do not meet");
    EXPECT_EQ(row("Vacuum"), "forms between x=0.79 - 0.258343 t and x=0.79 + 0.258343 t");
}
