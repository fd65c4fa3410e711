// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The picture of a convergence study: the error against the number of cells
// on log-log axes, one line per scheme with its fitted order in the legend,
// and reference lines of first and second order. Laid out here in pixels
// (y downwards) so a PNG painter and the SVG text draw the same thing.

#include <array>
#include <string>
#include <vector>

#include "compare/ConvergenceStudy.h"

namespace tamrel::compare {

struct PlotPoint {
    double x = 0, y = 0;
};

struct PlotPolyline {
    std::vector<PlotPoint> points;
    std::array<int, 3> rgb {};
    double width = 1;
    bool dashed = false;
    bool markers = false; // a small square at every point
};

struct PlotText {
    PlotPoint at; // the text's baseline point
    std::string text;
    int align = 0; // -1 right of `at` ends, 0 centred, 1 starts at `at`
    bool vertical = false; // turned a quarter left (the y-axis label)
};

struct StudyPlotDrawing {
    int width = 0, height = 0;
    std::vector<PlotPolyline> lines; // frame and ticks first, then the data and the legend samples
    std::vector<PlotText> texts;
};

// Where a value lands: x from log10(cells), y from log10(error).
struct LogLogFrame {
    double left = 0, top = 0, right = 0, bottom = 0; // the frame in pixels
    double x0 = 0, x1 = 1, y0 = 0, y1 = 1; // log10 ranges shown
    PlotPoint map(double cells, double error) const;
};

// The frame the rows need: the ladder's span and the errors' span, each
// widened a little, inside a picture of width x height pixels.
LogLogFrame StudyFrame(const StudyResult& r, int width, int height);

StudyPlotDrawing LayOutStudyPlot(const StudyResult& r, int width = 800, int height = 600);

// The drawing as an SVG document.
std::string StudyPlotSvg(const StudyPlotDrawing& d);

} // namespace tamrel::compare
