// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What a line-plot paint draws, in the picture's own units (twips for the
// line plots: origin at the top left of the drawing area, y downwards).
// The window only replays these shapes onto its drawing surface.

#include <cstdint>
#include <vector>

namespace tamrel {

struct PlotPoint {
    std::int32_t x = 0;
    std::int32_t y = 0;
    friend bool operator==(const PlotPoint&, const PlotPoint&) = default;
};

// Left, top, width and height.
struct PlotRect {
    std::int32_t x = 0;
    std::int32_t y = 0;
    std::int32_t width = 0;
    std::int32_t height = 0;
    friend bool operator==(const PlotRect&, const PlotRect&) = default;
};

struct PlotDrawing {
    // Each entry is one connected polyline. A curve is normally a single
    // polyline; it is split only where a piece lies far outside the picture
    // or has no finite value, so that no coordinate runs away.
    std::vector<std::vector<PlotPoint>> polylines;
    std::vector<PlotRect> filled; // control-cell marks
    std::vector<PlotRect> outlined; // current-cell mark

    bool empty() const { return polylines.empty() && filled.empty() && outlined.empty(); }
};

} // namespace tamrel
