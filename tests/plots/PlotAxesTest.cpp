// SPDX-License-Identifier: GPL-3.0-or-later
// What the axes over the plots say: round ticks with labels that tell
// neighbours apart, and the variable each paint names for its mode.

#include <gtest/gtest.h>

#include <cmath>
#include <string>
#include <vector>

#include "PlotFixture.h"
#include "plots/LinePlots.h"
#include "plots/PlotAxes.h"

using namespace tamrel;
using tamrel::test::gridState;
using tamrel::test::keptDensityPlot;
using tamrel::test::keptPressurePlot;
using tamrel::test::keptVelocityPlot;

namespace {
std::vector<std::string> labels(const std::vector<AxisTick>& ticks)
{
    std::vector<std::string> out;
    for (const AxisTick& t : ticks)
        out.push_back(t.label);
    return out;
}
} // namespace

TEST(AxisTicks, RoundValuesInsideTheRange)
{
    struct Case {
        double lo, hi;
        int maxTicks;
        std::vector<std::string> want;
    };
    const Case cases[] = {
        { 0, 1, 6, { "0.0", "0.2", "0.4", "0.6", "0.8", "1.0" } },
        { -1.05, 1.05, 5, { "-1.0", "-0.5", "0.0", "0.5", "1.0" } },
        { 0.9475, 1.05, 6, { "0.96", "0.98", "1.00", "1.02", "1.04" } },
        { 1.05, 0.9475, 6, { "0.96", "0.98", "1.00", "1.02", "1.04" } }, // either order
        { 0, 1050, 3, { "0", "500", "1000" } },
        { -0.30103, 2.0, 5, { "0.0", "0.5", "1.0", "1.5", "2.0" } },
        { 0, 3e-5, 4, { "0", "1e-05", "2e-05", "3e-05" } },
        { 1e5, 4e5, 4, { "1e+05", "2e+05", "3e+05", "4e+05" } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.lo) + " .. " + std::to_string(c.hi));
        const auto ticks = AxisTicks(c.lo, c.hi, c.maxTicks);
        EXPECT_EQ(labels(ticks), c.want);
        EXPECT_LE(ticks.size(), static_cast<std::size_t>(c.maxTicks));
        for (const AxisTick& t : ticks) {
            // The fraction places the value on the axis from lo to hi.
            EXPECT_NEAR(t.fraction, (t.value - c.lo) / (c.hi - c.lo), 1e-12);
            EXPECT_GE(t.fraction, 0.0);
            EXPECT_LE(t.fraction, 1.0);
        }
    }
}

TEST(AxisTicks, NarrowEmptyAndBrokenRanges)
{
    // Only one round value inside: the two ends instead, told apart.
    const auto ends = AxisTicks(0.9, 1.4, 2);
    EXPECT_EQ(labels(ends), (std::vector<std::string> { "0.90", "1.40" }));
    EXPECT_EQ(ends[0].fraction, 0.0);
    EXPECT_EQ(ends[1].fraction, 1.0);
    // Very narrow ranges still get distinct labels.
    const auto narrow = AxisTicks(1.0000001, 1.0000002, 2);
    ASSERT_EQ(narrow.size(), 2u);
    EXPECT_NE(narrow[0].label, narrow[1].label);
    EXPECT_TRUE(AxisTicks(1, 1, 5).empty());
    EXPECT_TRUE(AxisTicks(0, std::nan(""), 5).empty());
    EXPECT_TRUE(AxisTicks(0, 1e308 * 10, 5).empty());
    EXPECT_EQ(TimeLabel(0.15), "t = 0.15");
    EXPECT_EQ(TimeLabel(-1e-17), "t = 0");
}

TEST(PlotAxes, EachPaintNamesItsVariableAndRange)
{
    struct Case {
        const char* mode;
        Long log, riemann;
        const char* density;
        const char* pressure;
        const char* velocity;
    };
    const Case cases[] = {
        { "linear", 0, 0, "density", "pressure", "velocity" },
        { "log", 1, 0, "log10 density", "log10 pressure", "velocity" },
        { "sound wave", 1, 1, "R+ Riemann invariant", "entropy P / rho^gamma", "R- Riemann invariant" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.mode);
        auto s = gridState(10);
        s.LogPlots = c.log;
        s.RiemannPlots = c.riemann;
        s.RhoMin = 0.5;
        s.RhoMax = 2;
        const auto d = keptDensityPlot(s, 6735, 2835);
        const auto p = keptPressurePlot(s, 6735, 2835, nullptr);
        const auto v = keptVelocityPlot(s, 6735, 2835);
        EXPECT_EQ(d.axes.variable, c.density);
        EXPECT_EQ(p.axes.variable, c.pressure);
        EXPECT_EQ(v.axes.variable, c.velocity);
        for (const auto* paint : { &d, &p, &v }) {
            EXPECT_TRUE(paint->axes.shown);
            EXPECT_EQ(paint->axes.xmin, 0);
            EXPECT_EQ(paint->axes.xmax, s.X[11]);
            EXPECT_LT(paint->axes.ymin, paint->axes.ymax);
        }
        if (c.log == 0)
            EXPECT_EQ(d.axes.ymax, 2.0);
        else if (c.riemann == 0)
            EXPECT_DOUBLE_EQ(d.axes.ymax, std::log10(2.0));
        else
            EXPECT_EQ(d.axes.ymax, s.RPlusPlotMax);
    }
    // Nothing plotted (equal range ends): no axes either.
    auto s = gridState(10);
    s.RhoMin = s.RhoMax = 1;
    EXPECT_FALSE(keptDensityPlot(s, 6735, 2835).axes.shown);
}

// The title and the legend go where the curves cross least: Test 8's
// pressure lies along the top of its plot, so its title goes to the bottom;
// a legend leaves a corner the density's spike runs through. With room
// everywhere the first place (the usual one) stays.
TEST(PlotAxes, LabelsGoWhereTheCurvesCrossLeast)
{
    const std::vector<PlotBox> titlePlaces { { 0.4, 0.0, 0.6, 0.1 }, { 0.4, 0.85, 0.6, 0.95 } };
    const std::vector<PlotBox> corners { { 0.8, 0.0, 1.0, 0.2 }, { 0.1, 0.0, 0.3, 0.2 }, { 0.8, 0.7, 1.0, 0.9 },
        { 0.1, 0.7, 0.3, 0.9 } };
    const std::vector<PlotCurvePoint> highPressure { { 0.0, 0.05 }, { 0.75, 0.05 }, { 0.8, 0.98 }, { 1.0, 0.98 } };
    const std::vector<PlotCurvePoint> spike { { 0.0, 0.98 }, { 0.85, 0.98 }, { 0.9, 0.02 }, { 0.95, 0.98 },
        { 1.0, 0.98 } };
    EXPECT_EQ(QuietestPlace(titlePlaces, {}), 0u);
    EXPECT_EQ(QuietestPlace(titlePlaces, { highPressure }), 1u);
    EXPECT_EQ(QuietestPlace(corners, { spike }), 1u);
    EXPECT_EQ(QuietestPlace(corners, { { { 0.0, 0.05 }, { 1.0, 0.05 } } }), 2u); // along the whole top
    // A steep jump between two points crosses a box it has no point in.
    EXPECT_EQ(QuietestPlace(corners, { { { 0.85, 1.0 }, { 0.95, -0.1 } } }), 1u);
}
