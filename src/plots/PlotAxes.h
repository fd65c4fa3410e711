// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What a plot's axes say: the variable with its mode ("log10 density", "R+
// Riemann invariant"), the ranges of x and y, and ticks at round values
// (1, 2 or 5 times a power of ten) with their labels. The pictures draw
// these over their drawings; nothing here changes what a paint draws.

#include <cstddef>
#include <string>
#include <vector>

namespace tamrel {

struct PlotAxes {
    bool shown = false; // false: nothing was plotted, no axes
    std::string variable;
    double xmin = 0, xmax = 0;
    double ymin = 0, ymax = 0;
};

struct AxisTick {
    double value = 0;
    double fraction = 0; // where it lies: 0 at the low end of the range, 1 at the high end
    std::string label;
};

// Round ticks inside [lo, hi] (either order), at most `maxTicks` of them
// and at least two whenever the range is finite and not empty; their
// labels carry just enough digits to tell neighbours apart ("0", "0.25",
// "1e-05"; -0 shows as "0"). An empty or non-finite range has no ticks.
std::vector<AxisTick> AxisTicks(double lo, double hi, int maxTicks);

// The tick spacing AxisTicks uses: 1, 2 or 5 times a power of ten, the
// smallest that gives at most `maxTicks` ticks in the range.
double TickStep(double lo, double hi, int maxTicks);

// Where the title and the legend of a plot may go, in fractions of its
// drawing: x from 0 at the left to 1 at the right, y from 0 at the top to 1
// at the bottom.
struct PlotBox {
    double left = 0, top = 0, right = 0, bottom = 0;
};
struct PlotCurvePoint {
    double x = 0, y = 0;
};

// The place among `places` that the curves cross least (the length of curve
// inside it, each curve a polyline in the same fractions); the first of them
// on a tie, so a clear default place is kept. A label there covers the least
// of the data.
std::size_t QuietestPlace(const std::vector<PlotBox>& places, const std::vector<std::vector<PlotCurvePoint>>& curves);

// "t = 0.15": a time as the plots label it.
std::string TimeLabel(double t);

} // namespace tamrel
