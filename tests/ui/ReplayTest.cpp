// SPDX-License-Identifier: GPL-3.0-or-later
// Stepping through the stored snapshots in the window: the scroll bar, the
// typed number, "Multi" and "Single", and rows a later set-up has emptied.

#include <QImage>
#include <QLineEdit>
#include <QScrollBar>
#include <cmath>
#include <string>
#include <vector>

#include "WindowFixture.h"
#include "ui/kit/LinePlotPicture.h"
#include "ui/kit/SpaceTimePicture.h"
#include "common/Format.h"

using namespace tamrel;
using namespace tamrel::testing;

namespace {

bool dark(const QImage& image, int x, int y)
{
    return qGray(image.pixel(x, y)) < 128;
}

int darkPixels(const QImage& image)
{
    int n = 0;
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            n += dark(image, x, y);
    return n;
}

// Whether the 3 x 3 pixel block around a point (in twips) is solid black: a
// filled control-cell mark; the thin curve alone never fills it.
bool solidBlockAt(const QImage& surface, double xTwips, double yTwips)
{
    const int cx = static_cast<int>(std::lround(xTwips / 15.0));
    const int cy = static_cast<int>(std::lround(yTwips / 15.0));
    for (int y = cy - 1; y <= cy + 1; ++y)
        for (int x = cx - 1; x <= cx + 1; ++x)
            if (x < 0 || y < 0 || x >= surface.width() || y >= surface.height() || qGray(surface.pixel(x, y)) > 60)
                return false;
    return true;
}

} // namespace

class ReplayTest : public tamrel::testing::WindowTest {
protected:
    // Test 1 on the start-up grid of 100 cells, run to its end.
    void finishTest1()
    {
        clickTest(*window, 1);
        click(*window, "cmdBegin");
        runToEnd();
        ASSERT_FALSE(window->runFaulted());
        ASSERT_EQ(s().Stopped, 1);
        ASSERT_GT(s().NStoredStates, 10);
    }
    std::vector<double> densities()
    {
        std::vector<double> rho;
        for (long j = 0; j <= s().NGridCells + 1; ++j)
            rho.push_back(s().Rho[j]);
        return rho;
    }
    // The densities stored in history row `row`, cells 0..N+1.
    std::vector<double> storedDensities(long row)
    {
        std::vector<double> rho;
        const long n = s().NGridCells;
        for (long j = 0; j <= n + 1; ++j) {
            const double v = s().STRho[row * (n + 2) + j];
            rho.push_back(s().LogPlots != 0 ? std::pow(10.0, v) : v);
        }
        return rho;
    }
    void expectGridHoldsRow(long row)
    {
        const std::vector<double> rho = densities();
        const std::vector<double> stored = storedDensities(row);
        ASSERT_EQ(rho.size(), stored.size());
        for (std::size_t j = 0; j < rho.size(); ++j)
            ASSERT_NEAR(rho[j], stored[j], 1e-6 * stored[j]) << "row " << row << " cell " << j;
    }
    void scrollTo(int v) { bar(*window, "vsbStoredStateNumber")->setValue(v); }
    void type(const std::string& text) { setText(box(*window, "txtStoredStateNumber"), text); }
    QImage densitySurface() const { return plot(*window, "pctDensityPlot")->surface().copy(); }
};

TEST_F(ReplayTest, BrowsingWhileRunningDoesNothing)
{
    clickTest(*window, 1);
    click(*window, "cmdBegin");
    for (int i = 0; i < 200 && s().NStoredStates < 4; ++i)
        window->tick();
    ASSERT_EQ(s().Stopped, 0);
    ASSERT_GE(s().NStoredStates, 4);

    const std::vector<double> before = densities();
    const Long shown = s().StoredStateShown;
    const QString time = box(*window, "txtTime")->text();
    scrollTo(1);
    type("2");
    EXPECT_EQ(densities(), before);
    EXPECT_EQ(s().StoredStateShown, shown);
    EXPECT_EQ(box(*window, "txtTime")->text(), time);

    // The next stored row puts the box back on the newest snapshot.
    const Long rows = s().NStoredStates;
    for (int i = 0; i < 200 && s().NStoredStates == rows; ++i)
        window->tick();
    EXPECT_EQ(box(*window, "txtStoredStateNumber")->text().toStdString(), std::to_string(s().NStoredStates - 1));
    EXPECT_EQ(s().StoredStateShown, s().NStoredStates - 1);
}

TEST_F(ReplayTest, TypedNumberAndScrollBarShowTheirSnapshot)
{
    ASSERT_NO_FATAL_FAILURE(finishTest1());
    type("4");
    EXPECT_EQ(s().StoredStateShown, 4);
    EXPECT_EQ(bar(*window, "vsbStoredStateNumber")->value(), 4);
    expectGridHoldsRow(4);
    // After typing the time has the short form; after scrolling the long one.
    EXPECT_EQ(box(*window, "txtTime")->text().toStdString(), "t=" + formatPattern(s().StoredTime[4], "#0.####"));

    scrollTo(7);
    EXPECT_EQ(s().StoredStateShown, 7);
    EXPECT_EQ(box(*window, "txtStoredStateNumber")->text(), "7");
    expectGridHoldsRow(7);
    EXPECT_EQ(box(*window, "txtTime")->text().toStdString(), "t=" + formatPattern(s().StoredTime[7], "#0.0####"));
    EXPECT_NE(formatPattern(s().StoredTime[7], "#0.####"), formatPattern(s().StoredTime[7], "#0.0####"));

    // The newest row is the last one a number may name.
    const Long last = s().NStoredStates - 1;
    type(std::to_string(last));
    EXPECT_EQ(s().StoredStateShown, last);
    expectGridHoldsRow(last);
}

TEST_F(ReplayTest, EntriesNamingNoStoredRowAreIgnored)
{
    ASSERT_NO_FATAL_FAILURE(finishTest1());
    type("4");
    const std::vector<double> shownRow = densities();
    const QString time = box(*window, "txtTime")->text();
    const std::string pastLast = std::to_string(s().NStoredStates);
    for (const std::string text : { "-1", pastLast.c_str(), "100000", "abc", "4x", ".", "-", "" }) {
        type(text);
        EXPECT_EQ(s().StoredStateShown, 4) << text;
        EXPECT_EQ(bar(*window, "vsbStoredStateNumber")->value(), 4) << text;
        EXPECT_EQ(densities(), shownRow) << text;
        EXPECT_EQ(box(*window, "txtTime")->text(), time) << text;
        EXPECT_EQ(bar(*window, "vsbStoredStateNumber")->maximum(), s().NStoredStates - 1) << text;
    }
}

TEST_F(ReplayTest, MultiOverlaysTheSnapshotsScrolledThroughAndSingleClearsBack)
{
    ASSERT_NO_FATAL_FAILURE(finishTest1());
    // Single paints of snapshots 3, 4 and 5.
    std::vector<QImage> single;
    for (int row : { 3, 4, 5 }) {
        scrollTo(row);
        single.push_back(densitySurface());
    }
    scrollTo(3);
    ASSERT_EQ(densitySurface(), single[0]);

    click(*window, "cmdMultiplePlots");
    EXPECT_EQ(s().MultiplePlots, 1);
    EXPECT_EQ(densitySurface(), single[0]); // Multi redraws nothing
    scrollTo(4); // a step at a time, as the arrows do
    scrollTo(5);
    const QImage overlay = densitySurface();

    // Every curve painted on the way is still there, and more than one curve.
    for (std::size_t k = 0; k < single.size(); ++k)
        for (int y = 0; y < overlay.height(); ++y)
            for (int x = 0; x < overlay.width(); ++x)
                if (dark(single[k], x, y)) {
                    ASSERT_TRUE(dark(overlay, x, y)) << "snapshot " << k + 3 << " at " << x << "," << y;
                }
    EXPECT_GT(darkPixels(overlay), darkPixels(single[2]) + 100);

    click(*window, "cmdSinglePlots");
    EXPECT_EQ(s().MultiplePlots, 0);
    EXPECT_EQ(densitySurface(), single[2]);
}

TEST_F(ReplayTest, SnapshotZeroShowsTheControlCellMarksAgain)
{
    ASSERT_NO_FATAL_FAILURE(finishTest1());
    const ExperimentState& st = s();
    const long n = st.NGridCells;
    const long last = st.MSelected[st.NSelected]; // the last cell, away from the current-cell mark
    ASSERT_EQ(last, n);
    const double W = plot(*window, "pctDensityPlot")->scaleWidth();
    const double H = plot(*window, "pctDensityPlot")->scaleHeight();
    auto markAtLastCell = [&] {
        const double x = 0.5 * (st.X[last] + st.X[last + 1]) * W / (st.X[n + 1] - st.X[1]);
        const double y = (st.RhoMax - st.Rho[last]) * H / (st.RhoMax - st.RhoMin);
        return solidBlockAt(plot(*window, "pctDensityPlot")->surface(), x, y);
    };
    ASSERT_EQ(st.LogPlots, 0);
    scrollTo(5);
    EXPECT_FALSE(markAtLastCell());
    scrollTo(0);
    expectGridHoldsRow(0);
    EXPECT_EQ(st.StoredStateShown, 0);
    EXPECT_TRUE(markAtLastCell());
}

// A test set up after a run keeps the count of stored rows but empties every
// row above 0: no way of browsing may put such a row (zero density) into the
// grid, and Continue must not run on from one.
TEST_F(ReplayTest, RowsEmptiedByALaterTestAreNeverLoaded)
{
    ASSERT_NO_FATAL_FAILURE(finishTest1());
    const Long stored = s().NStoredStates;
    // The test button is refused after a run; a set-up that finds the run's
    // rows still empties them (it leaves the time as it is), and the window
    // must cope with that.
    const double finished = s().TimeNow;
    s().TimeNow = 0;
    panelsOf(*window).presets.cmdTest_Click(1);
    s().TimeNow = finished;
    ASSERT_EQ(s().NStoredStates, stored);
    ASSERT_EQ(s().STRho[5 * (s().NGridCells + 2) + 10], 0.0f);
    const std::vector<double> setUp = densities();
    const Long shown = s().StoredStateShown;

    EXPECT_EQ(bar(*window, "vsbStoredStateNumber")->maximum(), stored); // one past the last row
    for (int v : { static_cast<int>(stored), 10, static_cast<int>(stored) - 1 }) {
        scrollTo(v);
        EXPECT_EQ(densities(), setUp) << "scroll bar at " << v;
    }
    type("10");
    EXPECT_EQ(densities(), setUp);
    EXPECT_EQ(s().StoredStateShown, shown);

    // The top of the space-time picture names the newest (emptied) row.
    panelsOf(*window).spaceTime.pctSpaceTime_MouseDown(1, 100, 0);
    EXPECT_EQ(densities(), setUp);
    EXPECT_EQ(s().StoredStateShown, shown);

    click(*window, "cmdContinue");
    for (int i = 0; i < 3; ++i)
        window->tick();
    EXPECT_FALSE(window->runFaulted());
    EXPECT_TRUE(dialogs.messages.empty());
    for (long j = 0; j <= s().NGridCells + 1; ++j)
        ASSERT_GT(s().Rho[j], 0) << "cell " << j;

    // Row 0 holds the new set-up and can still be shown.
    scrollTo(0);
    expectGridHoldsRow(0);
}
