// SPDX-License-Identifier: GPL-3.0-or-later
// What the pictures draw of the exact solution: the overlay on the line
// plots in each mode, the distance readout, and the wave pattern on the
// space-time picture.

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "ExactTestStates.h"
#include "exact/ExactPlots.h"
#include "exact/WavePattern.h"
#include "plots/LinePlotFrame.h"
#include "plots/LinePlots.h"
#include "plots/PlotFixture.h"

namespace tamrel {
namespace {

    using exact::PlotPicture;
    using testing::shockTubeState;
    using testing::solutionOf;

    constexpr double kW = 6800, kH = 2895; // a line plot's size in twips

    std::vector<PlotPoint> points(const PlotDrawing& d)
    {
        std::vector<PlotPoint> pts;
        for (const auto& line : d.polylines)
            pts.insert(pts.end(), line.begin(), line.end());
        return pts;
    }

    // The overlay of Test 1 at t = 0.2 is the curve through the solver's own
    // cell averages (kernels/riemann), in the density plot's frame.
    TEST(ExactOverlay, PointsAreTheSolversCellAverages)
    {
        ExperimentState s = shockTubeState(1, 100);
        const auto sol = solutionOf(s);
        const double t = 0.2;
        const kernels::ExactRiemann rs({ 1.0, 0.75, 1.0 }, { 0.125, 0.0, 0.1 }, 1.4);
        std::vector<double> edges;
        for (long i = 1; i <= 101; ++i)
            edges.push_back(s.X[i]);
        const auto avg = rs.cellAverages(0.3, t, edges);
        std::vector<double> rho(102), u(102);
        for (long i = 1; i <= 100; ++i) {
            rho[i] = avg[i - 1].rho;
            u[i] = avg[i - 1].u;
        }
        rho[0] = rho[1], rho[101] = rho[100], u[0] = u[1], u[101] = u[100];

        const auto cells = sol.cellAverages(t);
        test::keptDensityPlot(s, kW, kH);
        test::keptVelocityPlot(s, kW, kH);
        PlotDrawing want;
        LinePlotFrame(s.X, 100, kW, kH, s.RhoMin, s.RhoMax).drawCellCurve(want, rho);
        EXPECT_EQ(points(exact::ExactOverlayDrawing(s, PlotPicture::Density, cells, kW, kH)), points(want));
        PlotDrawing wantU;
        LinePlotFrame(s.X, 100, kW, kH, s.VXMin, s.VXMax).drawCellCurve(wantU, u);
        EXPECT_EQ(points(exact::ExactOverlayDrawing(s, PlotPicture::Velocity, cells, kW, kH)), points(wantU));
    }

    // At t = 0 the exact cells are the grid, so in every plot mode the
    // overlay must lie exactly on the grid's own curve.
    TEST(ExactOverlay, FollowsEveryPlotMode)
    {
        const struct {
            const char* mode;
            Long log, riemann;
        } modes[] = { { "linear", 0, 0 }, { "log10", 1, 0 }, { "invariants", 0, 1 } };
        for (const auto& m : modes) {
            SCOPED_TRACE(m.mode);
            ExperimentState s = shockTubeState(8, 60);
            s.LogPlots = m.log;
            s.RiemannPlots = m.riemann;
            // The boundary cells as a run leaves them.
            s.Rho[0] = s.Rho[1], s.P[0] = s.P[1], s.VX[0] = s.VX[1];
            const auto cells = solutionOf(s).cellAverages(0.0);
            const LinePlotPaint d = test::keptDensityPlot(s, kW, kH);
            const LinePlotPaint p = test::keptPressurePlot(s, kW, kH, nullptr);
            const LinePlotPaint v = test::keptVelocityPlot(s, kW, kH);
            auto curve = [](const LinePlotPaint& paint) {
                PlotDrawing only;
                only.polylines = paint.drawing.polylines;
                return points(only);
            };
            EXPECT_EQ(points(exact::ExactOverlayDrawing(s, PlotPicture::Density, cells, kW, kH)), curve(d));
            EXPECT_EQ(points(exact::ExactOverlayDrawing(s, PlotPicture::Pressure, cells, kW, kH)), curve(p));
            EXPECT_EQ(points(exact::ExactOverlayDrawing(s, PlotPicture::Velocity, cells, kW, kH)), curve(v));
        }
        // The fluid-2 fraction has no exact counterpart.
        ExperimentState s = shockTubeState(1, 60);
        s.SchemeName = "Mixtal32";
        s.PlotFVSmoke = 1;
        EXPECT_FALSE(exact::ExactPlotValues(s, PlotPicture::Pressure, solutionOf(s).cellAverages(0.0)));
    }

    // A run leaves RhoMin and PMin where the widening put them, 0 for a
    // falling density (Test 3's near vacuum); the log plots draw from the
    // smallest cell value instead. The overlay, asked for before or after the
    // plot is painted, lies on the plot's own scale, not at log10 0.
    TEST(ExactOverlay, LogPlotsDrawTheCurveWhateverTheWideningLeft)
    {
        ExperimentState s = shockTubeState(8, 60);
        s.LogPlots = 1;
        s.Rho[0] = s.Rho[1], s.P[0] = s.P[1], s.VX[0] = s.VX[1];
        const auto cells = solutionOf(s).cellAverages(0.0);
        s.RhoMin = 0;
        s.PMin = 0;
        const auto rho = points(exact::ExactOverlayDrawing(s, PlotPicture::Density, cells, kW, kH));
        const auto p = points(exact::ExactOverlayDrawing(s, PlotPicture::Pressure, cells, kW, kH));
        auto curve = [](const LinePlotPaint& paint) {
            PlotDrawing only;
            only.polylines = paint.drawing.polylines;
            return points(only);
        };
        EXPECT_FALSE(rho.empty());
        EXPECT_EQ(rho, curve(test::keptDensityPlot(s, kW, kH)));
        EXPECT_EQ(p, curve(test::keptPressurePlot(s, kW, kH, nullptr)));
    }

    TEST(ExactOverlay, L1DistanceWeighsEachCellByItsWidth)
    {
        ExperimentState s = shockTubeState(1, 100);
        const auto cells = solutionOf(s).cellAverages(0.0);
        auto d = exact::L1FromExact(s, cells);
        EXPECT_EQ(d.rho, 0.0);
        EXPECT_EQ(d.u, 0.0);
        EXPECT_EQ(d.p, 0.0);
        s.Rho[10] += 0.5;
        s.VX[90] -= 2.0;
        d = exact::L1FromExact(s, cells);
        EXPECT_NEAR(d.rho, 0.5 * 0.01, 1e-15);
        EXPECT_NEAR(d.u, 2.0 * 0.01, 1e-15);
        EXPECT_EQ(d.p, 0.0);
    }

    // Test 1 run on 400 cells: every vertex of the shock, contact and fan-edge
    // lines sits, at each stored row's height, on the column where the exact
    // wave is at that row's own time.
    TEST(WavePattern, PixelsFollowTheWavesRowByRow)
    {
        ExperimentState s = shockTubeState(1, 400);
        s.NPlotsPerPeriod = 50;
        testing::runToEnd(s);
        ASSERT_GT(s.NStoredStates, 10);
        const auto sol = solutionOf(s);
        std::vector<double> times;
        for (long r = 0; r < s.NStoredStates; ++r)
            times.push_back(s.StoredTime[r]);
        const auto segments = exact::WavePattern(sol, times.back());
        const double W = 449, H = 189;
        const auto lines = exact::WavePatternPixels(segments, 0.0, 1.0, times, W, H);
        ASSERT_EQ(lines.size(), segments.size());

        // Test 1: a left fan (head, 3 characteristics, tail), the contact, the right shock.
        const double c = std::sqrt(1.4), pStar = 0.466293566840, uStar = 1.36090551909;
        const double tail = uStar - c * std::pow(pStar, 0.2 / 1.4);
        const double cR = std::sqrt(1.4 * 0.1 / 0.125);
        const double shock = cR * std::sqrt(2.4 / 2.8 * pStar / 0.1 + 0.4 / 2.8);
        const struct {
            exact::WaveKind kind;
            double speed;
        } want[] = { { exact::WaveKind::FanHead, 0.75 - c }, { exact::WaveKind::FanTail, tail },
            { exact::WaveKind::Contact, uStar }, { exact::WaveKind::Shock, shock } };
        const double band = H / static_cast<double>(times.size());
        for (const auto& w : want) {
            const exact::WavePolyline* line = nullptr;
            for (const auto& l : lines)
                if (l.kind == w.kind)
                    line = &l;
            ASSERT_NE(line, nullptr);
            long checked = 0;
            for (std::size_t r = 0; r < times.size(); ++r) {
                const double y = H - (static_cast<double>(r) + 0.5) * band;
                for (const auto& [px, py] : line->points)
                    if (std::fabs(py - y) < 1e-9) {
                        const double x = 0.3 + w.speed * times[r];
                        if (x < 0 || x > 1)
                            continue;
                        EXPECT_NEAR(px, x * W, 1e-6) << "row " << r;
                        ++checked;
                    }
            }
            EXPECT_GE(checked, 10);
        }
        // Three characteristics inside the fan.
        long inside = 0;
        for (const auto& l : lines)
            inside += l.kind == exact::WaveKind::FanInside;
        EXPECT_EQ(inside, 3);
    }

    TEST(WavePattern, StopsWhereTheSolutionStopsHolding)
    {
        // The blast between walls: every line ends by the time the left fan's
        // head reaches the wall.
        const auto sol = solutionOf(testing::defaultState());
        const auto segments = exact::WavePattern(sol, 1.0);
        ASSERT_FALSE(segments.empty());
        for (const auto& seg : segments) {
            EXPECT_LE(seg.t1, sol.validUntil() * (1 + 1e-12));
            EXPECT_GE(seg.x1, 0.0);
            EXPECT_LE(seg.x1, 1.0);
        }
        // A sound wave has no lines.
        EXPECT_TRUE(exact::WavePattern(solutionOf(testing::soundWaveState(0.001)), 1.0).empty());
    }

} // namespace
} // namespace tamrel
