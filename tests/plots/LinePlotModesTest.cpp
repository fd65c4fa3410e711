// SPDX-License-Identifier: GPL-3.0-or-later
// The modes of the three line plots: what each plots, the ranges it
// computes and writes back, and the texts it hands to the window.

#include <gtest/gtest.h>

#include <cmath>

#include "PlotFixture.h"
#include "plots/LinePlots.h"

using namespace tamrel;
using tamrel::test::allPoints;
using tamrel::test::gridState;
using tamrel::test::keptDensityPlot;
using tamrel::test::keptPressurePlot;
using tamrel::test::keptVelocityPlot;

TEST(DensityPlot, LogModeRefitsRhoMinToTheSmallestDensity)
{
    auto s = gridState(10);
    s.LogPlots = 1;
    s.RhoMin = 0.01;
    s.RhoMax = 100;
    s.Rho[4] = 0.5;
    s.Rho[0] = 0.001; // boundary cells take no part in the fit
    const auto paint = keptDensityPlot(s, 6735, 2835);
    EXPECT_EQ(s.RhoMin, 0.5);
    EXPECT_EQ(paint.rangeMinText, "-0.30103");
    EXPECT_EQ(paint.rangeMaxText, "2.0");
    // log10 0.5 is the bottom edge; log10 1 sits at 2835 * log10 2 / log10 200.
    const auto pts = allPoints(paint.drawing);
    ASSERT_EQ(pts.size(), 12u);
    EXPECT_EQ(pts[4].y, 2835);
    EXPECT_EQ(pts[3].y, std::lround(2835 * (2.0 / std::log10(200.0))));

    // The fit moves RhoMin up as well: no density below RhoMax = 100 ...
    s.RhoMax = 0.25;
    keptDensityPlot(s, 6735, 2835);
    EXPECT_EQ(s.RhoMin, 0.25);
}

// A sound wave whose invariant or entropy is constant up to rounding: the
// noise is no signal. Each plot gets the rounding span around its values and
// draws a flat line across the middle of the picture.
TEST(SoundWavePlots, RoundingNoiseIsAFlatLineAcrossTheMiddle)
{
    auto s = gridState(20); // density 1, pressure 1: every invariant is 0
    s.RiemannPlots = 1;
    s.LogPlots = 1; // the sound-wave plots take precedence
    const double entropy = 1.0 / 1.4;
    for (long i = 0; i <= 21; ++i) {
        // Pressures a few ulps apart, as a wave of zero amplitude leaves them.
        s.P[i] = entropy * (1 + (i % 3 - 1) * 2e-16);
        s.Rho[i] = 1;
    }
    const double H = 2835;
    struct Case {
        const char* plot;
        LinePlotPaint paint;
        double lo, hi;
        double scale; // the size of the values: the sound speed 1 for R+ and R-
    };
    auto rplus = keptDensityPlot(s, 6735, H);
    const Case rPlus { "R+", rplus, s.RPlusPlotMin, s.RPlusPlotMax, 1.0 };
    auto ent = keptPressurePlot(s, 6735, H, nullptr);
    const Case entropyCase { "entropy", ent, s.EntropyPlotMin, s.EntropyPlotMax, entropy };
    auto rminus = keptVelocityPlot(s, 6735, H);
    const Case rMinus { "R-", rminus, s.RMinusPlotMin, s.RMinusPlotMax, 1.0 };
    for (const Case& c : { rPlus, entropyCase, rMinus }) {
        SCOPED_TRACE(c.plot);
        EXPECT_NEAR(c.hi - c.lo, kRoundingSpan * c.scale, 1e-12);
        const auto pts = allPoints(c.paint.drawing);
        ASSERT_EQ(pts.size(), 22u);
        for (const auto& p : pts)
            EXPECT_NEAR(p.y, H / 2, 1);
        EXPECT_NE(c.paint.rangeMinText, c.paint.rangeMaxText);
    }
    // The entropy boxes show two values around 1/1.4, not 0.7142857 twice.
    EXPECT_EQ(entropyCase.paint.rangeMinText, "0.7142854");
    EXPECT_EQ(entropyCase.paint.rangeMaxText, "0.7142861");
}

TEST(SoundWavePlots, RoundingSpanOpensOnlyRangesNarrowerThanIt)
{
    struct Case {
        double lo, hi, scale, wantLo, wantHi;
    };
    const Case cases[] = {
        { 2.0, 2.0, 2.0, 2.0 - 1e-6, 2.0 + 1e-6 }, // a constant: centred
        { 1.0, 1.0 + 1e-9, 1.0, 1.0 + 0.5e-9 - 0.5e-6, 1.0 + 0.5e-9 + 0.5e-6 },
        { 1.0, 1.1, 1.1, 1.0, 1.1 }, // a real signal keeps its range
        { 0.0, 0.0, 0.0, 0.0, 0.0 }, // no scale: left to the empty-range rules
    };
    for (const Case& c : cases) {
        double lo = c.lo, hi = c.hi;
        OpenRoundingSpan(lo, hi, c.scale);
        EXPECT_DOUBLE_EQ(lo, c.wantLo) << c.lo << " " << c.hi;
        EXPECT_DOUBLE_EQ(hi, c.wantHi) << c.lo << " " << c.hi;
    }
}

TEST(RiemannInvariants, IntegrateFromTheLeftWithTheMeanRemoved)
{
    auto s = gridState(2);
    const double vx[] = { 0, 1, 2, 3 };
    const double p[] = { 1, 1, 4, 4 };
    for (long i = 0; i <= 3; ++i) {
        s.VX[i] = vx[i];
        s.P[i] = p[i];
    }
    const double dp = 2 * 3 / (std::sqrt(4 * 1.4) + std::sqrt(1.4));
    // Before the mean of cells 1..2 is removed: R+ = 0, 1, 2+dp, 3+dp.
    const double plus[] = { 0, 1, 2 + dp, 3 + dp };
    const double minus[] = { 0, 1, 2 - dp, 3 - dp };
    const auto rp = RiemannInvariant(s, +1);
    const auto rm = RiemannInvariant(s, -1);
    const double mp = (plus[1] + plus[2]) / 2, mm = (minus[1] + minus[2]) / 2;
    for (int i = 0; i <= 3; ++i) {
        EXPECT_NEAR(rp[i], plus[i] - mp, 1e-12) << i;
        EXPECT_NEAR(rm[i], minus[i] - mm, 1e-12) << i;
    }
}

TEST(AdaptiveRange, EachNewExtremePushesItsBoundFivePercentBeyond)
{
    double lo, hi;
    AdaptiveRange({ 0, 1, -1 }, false, lo, hi);
    EXPECT_DOUBLE_EQ(hi, 1.05);
    EXPECT_DOUBLE_EQ(lo, -1.05 - 0.05 * 1.05);

    AdaptiveRange({ 1, 0.01, 0.5, 0.7 }, true, lo, hi); // entropy: the lower bound stops at 0
    EXPECT_EQ(lo, 0);
    EXPECT_EQ(hi, 1);
}

TEST(PressurePlot, ModesChooseCurveRangeAndCaption)
{
    struct Case {
        const char* name;
        void (*setUp)(ExperimentState&);
        const char* caption;
    };
    const Case cases[] = {
        { "linear", [](ExperimentState&) {}, "Pressure" },
        { "log", [](ExperimentState& s) { s.LogPlots = 1; }, "Pressure" },
        { "entropy", [](ExperimentState& s) { s.RiemannPlots = 1, s.LogPlots = 1; }, "P / (Rho^Gamma)" },
        { "smoke requested, single-fluid scheme",
            [](ExperimentState& s) { s.PlotFVSmoke = 1, s.SchemeName = "Orvane"; }, "Pressure" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        auto s = gridState(10);
        s.PMin = 0.5;
        s.PMax = 4;
        s.P[3] = 2;
        c.setUp(s);
        const auto paint = keptPressurePlot(s, 6735, 2835, nullptr);
        EXPECT_EQ(paint.caption, c.caption);
        EXPECT_EQ(allPoints(paint.drawing).size(), 12u);
    }
}

TEST(PressurePlot, LogModeRefitsPMin)
{
    auto s = gridState(10);
    s.LogPlots = 1;
    s.PMin = 1e-3;
    s.PMax = 1000;
    s.P[7] = 0.1;
    const auto paint = keptPressurePlot(s, 6735, 2835, nullptr);
    EXPECT_EQ(s.PMin, 0.1);
    EXPECT_EQ(paint.rangeMinText, "-1.0");
    EXPECT_EQ(paint.rangeMaxText, "3.0");
}

TEST(PressurePlot, EntropyRangeLiftsANegativeLowerBoundToZero)
{
    auto s = gridState(10);
    s.RiemannPlots = 1;
    // Density 1: the entropy is the pressure.
    for (long i = 0; i <= 11; ++i)
        s.P[i] = 0.5;
    s.P[0] = 1;
    s.P[1] = 0.01;
    const auto paint = keptPressurePlot(s, 6735, 2835, nullptr);
    EXPECT_EQ(s.EntropyPlotMin, 0);
    EXPECT_EQ(s.EntropyPlotMax, 1);
    EXPECT_EQ(paint.rangeMinText, "0.0");
    EXPECT_EQ(paint.rangeMaxText, "1.0");
    EXPECT_TRUE(paint.drawing.filled.empty());
}

TEST(VelocityPlot, RangeBoxesAreLeftToTheBigSpaceTimePicture)
{
    auto s = gridState(10);
    s.VX[3] = 0.25;
    auto paint = keptVelocityPlot(s, 6735, 2835);
    EXPECT_EQ(paint.rangeMinText, "-1.0");
    EXPECT_EQ(paint.rangeMaxText, "1.0");

    s.BigSpaceTime = 1;
    paint = keptVelocityPlot(s, 6735, 2835);
    EXPECT_FALSE(paint.rangeMinText.has_value());
    EXPECT_FALSE(paint.rangeMaxText.has_value());
    EXPECT_EQ(allPoints(paint.drawing).size(), 12u);

    s.RiemannPlots = 1;
    paint = keptVelocityPlot(s, 6735, 2835);
    EXPECT_FALSE(paint.rangeMinText.has_value());
    EXPECT_LT(s.RMinusPlotMin, 0);
    EXPECT_GT(s.RMinusPlotMax, 0);
}

TEST(VelocityPlot, IsLinearWhateverLogPlotsSays)
{
    auto s = gridState(4);
    s.LogPlots = 1;
    s.VX[2] = -0.5;
    const auto paint = keptVelocityPlot(s, 20, 10); // yscale 5 on [-1, 1]
    EXPECT_EQ(allPoints(paint.drawing)[2].y, 8); // (1 + 0.5) * 5 = 7.5, halves to even
}

TEST(CurrentCellReadout, ShowsTheCellsDensityPressureAndVelocityInEveryMode)
{
    for (Long riemann : { 0, 1 }) {
        auto s = gridState(10);
        s.RiemannPlots = riemann;
        s.MCurrent = 6;
        s.Rho[6] = 1.125;
        s.P[6] = 0.5;
        s.VX[6] = -0.5;
        for (const auto& paint : { keptDensityPlot(s, 6735, 2835), keptPressurePlot(s, 6735, 2835, nullptr),
                 keptVelocityPlot(s, 6735, 2835) }) {
            EXPECT_EQ(paint.currentCell, 6);
            EXPECT_EQ(paint.pressureText, "0.5000");
            EXPECT_EQ(paint.densityText, "1.125");
            EXPECT_EQ(paint.velocityText, "-0.50");
        }
        EXPECT_EQ(s.RhoCurrent, 1.125);
        EXPECT_EQ(s.PCurrent, 0.5);
        EXPECT_EQ(s.VXCurrent, -0.5);
    }
}
