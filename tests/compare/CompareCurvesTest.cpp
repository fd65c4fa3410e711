// SPDX-License-Identifier: GPL-3.0-or-later
// Another scheme's stored row over the line plots: drawn from its plain
// values, in the plot's frame and scale (log10 of density and pressure in
// log mode).

#include <gtest/gtest.h>

#include <cmath>
#include <cstdlib>
#include <vector>

#include "compare/CompareCurves.h"
#include "compare/CompareTestStates.h"
#include "plots/LinePlotFrame.h"

namespace tamrel::testing {
namespace {

    constexpr double W = 4000, H = 3000;

    // The curve the plot draws for cells 0..N+1 holding `v`, in [ymin, ymax].
    PlotDrawing expectedCurve(const ExperimentState& shown, const std::vector<double>& v, double ymin, double ymax)
    {
        PlotDrawing d;
        LinePlotFrame(shown.X, shown.NGridCells, W, H, ymin, ymax).drawCellCurve(d, v);
        return d;
    }

    // Same points, each within a twip (the stored row is single precision).
    void expectSameCurve(const PlotDrawing& got, const PlotDrawing& want)
    {
        ASSERT_EQ(got.polylines.size(), want.polylines.size());
        for (std::size_t l = 0; l < want.polylines.size(); ++l) {
            ASSERT_EQ(got.polylines[l].size(), want.polylines[l].size());
            for (std::size_t k = 0; k < want.polylines[l].size(); ++k) {
                EXPECT_LE(std::abs(got.polylines[l][k].x - want.polylines[l][k].x), 1) << k;
                EXPECT_LE(std::abs(got.polylines[l][k].y - want.polylines[l][k].y), 1) << k;
            }
        }
    }

    TEST(CompareCurves, AnotherRunsRowIsDrawnFromItsPlainValuesInThePlotsScale)
    {
        using compare::CurvePicture;
        for (const bool logs : { false, true }) {
            SCOPED_TRACE(logs ? "log mode" : "plain");
            ExperimentState shown = historyOf(1.0, 0.1, logs);
            shown.RhoMin = 0.5;
            shown.RhoMax = 4;
            shown.PMin = 1;
            shown.PMax = 8;
            shown.VXMin = -5;
            shown.VXMax = 2;
            const ExperimentState run = historyOf(1.5, 0.1, logs);
            // Row 1 of `run` in plain values, cells 0..4.
            std::vector<double> rho, p, vx;
            for (long i = 0; i <= 4; ++i) {
                rho.push_back(2.5 + i / 10.0);
                p.push_back(2 * rho.back());
                vx.push_back(1.0 - i);
            }
            auto scaled = [&](std::vector<double> v) {
                if (logs)
                    for (double& x : v)
                        x = std::log10(x);
                return v;
            };
            const auto lg = [&](double v) { return logs ? std::log10(v) : v; };
            expectSameCurve(compare::RowCurve(shown, run, 1, CurvePicture::Density, W, H),
                expectedCurve(shown, scaled(rho), lg(0.5), lg(4)));
            expectSameCurve(compare::RowCurve(shown, run, 1, CurvePicture::Pressure, W, H),
                expectedCurve(shown, scaled(p), lg(1), lg(8)));
            expectSameCurve(
                compare::RowCurve(shown, run, 1, CurvePicture::Velocity, W, H), expectedCurve(shown, vx, -5, 2));
            // A row the run did not store draws nothing.
            EXPECT_TRUE(compare::RowCurve(shown, run, 2, CurvePicture::Pressure, W, H).empty());
        }
    }

} // namespace
} // namespace tamrel::testing
