// SPDX-License-Identifier: GPL-3.0-or-later
// The shared line-plot frame, seen through the density paint in its linear
// mode and through the frame itself for the cases that need no state.

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>

#include "PlotFixture.h"
#include "plots/LinePlotFrame.h"
#include "plots/LinePlots.h"

using namespace tamrel;
using tamrel::test::allPoints;
using tamrel::test::gridState;
using tamrel::test::keptDensityPlot;
using tamrel::test::keptPressurePlot;
using tamrel::test::keptVelocityPlot;

TEST(LinePlotFrame, OneCellGivesTwoSegmentsFromEdgeToEdge)
{
    auto s = gridState(1);
    s.Rho[0] = 0.5;
    s.Rho[1] = 1.0;
    s.Rho[2] = 1.5;
    const auto paint = keptDensityPlot(s, 1000, 400); // yscale 200 on [0, 2]
    ASSERT_EQ(paint.drawing.polylines.size(), 1u);
    const std::vector<PlotPoint> expected = { { 0, 250 }, { 500, 200 }, { 1000, 150 } };
    EXPECT_EQ(paint.drawing.polylines[0], expected);
}

TEST(LinePlotFrame, PointsRoundToWholeUnitsHalvesToEven)
{
    // Four cells on [0, 1] over 20 units: centres at 2.5, 7.5, 12.5, 17.5.
    // Range [0, 10] over 5 units: y = (10 - v) / 2 lands on halves too.
    auto s = gridState(4);
    s.RhoMin = 0;
    s.RhoMax = 10;
    const double rho[] = { 5, 5, 3, 9, 7, 7 };
    for (long i = 0; i <= 5; ++i)
        s.Rho[i] = rho[i];
    const auto paint = keptDensityPlot(s, 20, 5);
    const std::vector<PlotPoint> expected = { { 0, 2 }, { 2, 2 }, { 8, 4 }, { 12, 0 }, { 18, 2 }, { 20, 2 } };
    EXPECT_EQ(allPoints(paint.drawing), expected);
}

TEST(LinePlotFrame, ValuesOutsideTheRangeAreDrawnOutsideAndTheRangeIsKept)
{
    auto s = gridState(10);
    s.Rho[5] = 3; // above RhoMax = 2
    s.Rho[6] = -0.5; // below RhoMin = 0
    const auto paint = keptDensityPlot(s, 6735, 2835);
    const auto pts = allPoints(paint.drawing);
    ASSERT_EQ(pts.size(), 12u);
    EXPECT_EQ(pts[5].y, -1418); // (2 - 3) * 1417.5, halves to even
    EXPECT_EQ(pts[6].y, 3544); // 2.5 * 1417.5 = 3543.75
    EXPECT_EQ(s.RhoMax, 2);
    EXPECT_EQ(s.RhoMin, 0);
    EXPECT_EQ(paint.rangeMaxText, "2.0");
    EXPECT_EQ(paint.rangeMinText, "0.0");
}

struct MarkCase {
    Long stopped;
    Long storedStateShown;
    Long riemann;
    bool controlMarks;
};

TEST(LinePlotFrame, ControlMarksOnlyOnTheSetUpStateAtRestCurrentMarkAlways)
{
    const MarkCase cases[] = {
        { 1, 0, 0, true }, { 0, 0, 0, false }, // running
        { 1, 3, 0, false }, // a stored state on show
        { 1, 0, 1, false }, // sound-wave plots
    };
    for (const auto& c : cases) {
        auto s = gridState(10);
        s.Stopped = c.stopped;
        s.StoredStateShown = c.storedStateShown;
        s.RiemannPlots = c.riemann;
        s.NSelected = 2;
        s.MSelected[1] = 2;
        s.MSelected[2] = 7;
        s.MCurrent = 4;
        s.Rho[2] = 1.5;
        const auto paint = keptDensityPlot(s, 1000, 2000); // xscale 1000, yscale 1000
        SCOPED_TRACE(testing::Message()
            << "Stopped " << c.stopped << " shown " << c.storedStateShown << " Riemann " << c.riemann);
        if (c.controlMarks) {
            ASSERT_EQ(paint.drawing.filled.size(), 2u);
            // Cell 2 at (150, 500), cell 7 at (650, 1000).
            EXPECT_EQ(paint.drawing.filled[0], (PlotRect { 100, 450, 100, 100 }));
            EXPECT_EQ(paint.drawing.filled[1], (PlotRect { 600, 950, 100, 100 }));
        } else {
            EXPECT_TRUE(paint.drawing.filled.empty());
        }
        ASSERT_EQ(paint.drawing.outlined.size(), 1u);
        EXPECT_EQ(paint.drawing.outlined[0].x, 350 - 50);
        EXPECT_EQ(paint.drawing.outlined[0].width, 100);
        EXPECT_EQ(paint.drawing.outlined[0].height, 100);
    }
}

TEST(LinePlotFrame, UndefinedScalesDrawNothingAndStillReadOut)
{
    const std::pair<const char*, std::function<void(ExperimentState&)>> cases[] = {
        { "zero span", [](ExperimentState& s) { s.RhoMin = s.RhoMax = 1; } },
        { "log with a zero density", [](ExperimentState& s) { s.LogPlots = 1, s.Rho[3] = 0; } },
        { "log with a negative density", [](ExperimentState& s) { s.LogPlots = 1, s.Rho[3] = -1; } },
        { "log with a zero range end", [](ExperimentState& s) { s.LogPlots = 1, s.RhoMax = 0; } },
        { "infinite range end", [](ExperimentState& s) { s.RhoMax = std::numeric_limits<double>::infinity(); } },
        { "range end not a number", [](ExperimentState& s) { s.RhoMin = std::nan(""); } },
        { "grid of zero width", [](ExperimentState& s) { s.X[11] = s.X[1]; } },
    };
    for (const auto& [name, setUp] : cases) {
        SCOPED_TRACE(name);
        auto s = gridState(10);
        s.NSelected = 1;
        s.MSelected[1] = 3;
        s.MCurrent = 5;
        s.Rho[5] = 1.25;
        setUp(s);
        const auto paint = keptDensityPlot(s, 6735, 2835);
        EXPECT_TRUE(paint.drawing.empty());
        EXPECT_EQ(paint.densityText, "1.25");
        EXPECT_EQ(s.RhoCurrent, 1.25);
    }
}

TEST(LinePlotFrame, PointsWithoutAFiniteValueBreakTheCurve)
{
    auto s = gridState(10);
    s.Rho[5] = std::nan("");
    const auto paint = keptDensityPlot(s, 6735, 2835);
    // Left edge..cell 4, then cell 6..right edge.
    ASSERT_EQ(paint.drawing.polylines.size(), 2u);
    EXPECT_EQ(paint.drawing.polylines[0].size(), 5u);
    EXPECT_EQ(paint.drawing.polylines[1].size(), 6u);
}

// Where segment a-b crosses the horizontal line y.
static double crossingX(PlotPoint a, PlotPoint b, double y)
{
    return a.x + (b.x - a.x) * (y - a.y) / static_cast<double>(b.y - a.y);
}

TEST(LinePlotFrame, FarOutPiecesAreCutWithoutMovingWhatShows)
{
    BoundedArray<double> X(-6, 20);
    for (long i = 1; i <= 3; ++i)
        X[i] = (i - 1) * 0.5;
    const double W = 1000, H = 1000;
    const LinePlotFrame frame(X, 2, W, H, 0, 1);
    // Cells at x = 250 and 750; from far below the picture to far above it.
    const std::vector<double> v = { 0, -1e12, 3e12, 0 };
    PlotDrawing d;
    frame.drawCellCurve(d, v);
    for (const auto& p : allPoints(d)) {
        EXPECT_GE(p.x, -W);
        EXPECT_LE(p.x, 2 * W);
        EXPECT_GE(p.y, -H);
        EXPECT_LE(p.y, 2 * H);
    }
    // The steep middle segment still crosses the picture where the true line
    // does: y = (1 - v) * 1000 runs from 1e15 at x = 250 to -3e15 at x = 750.
    const double trueX = 250 + 500 * (1e15 + 1000 - 500) / (4e15);
    bool found = false;
    for (const auto& line : d.polylines)
        for (std::size_t k = 1; k < line.size(); ++k)
            if ((line[k - 1].y - 500.0) * (line[k].y - 500.0) < 0) {
                EXPECT_NEAR(crossingX(line[k - 1], line[k], 500), trueX, 1.0);
                found = true;
            }
    EXPECT_TRUE(found);
}

TEST(LinePlotFrame, MarksFarOutsideThePictureAreLeftOut)
{
    auto s = gridState(10);
    s.MCurrent = 5;
    s.Rho[5] = 1e200;
    const auto paint = keptDensityPlot(s, 6735, 2835);
    EXPECT_TRUE(paint.drawing.outlined.empty());
    EXPECT_FALSE(paint.drawing.polylines.empty());
}
