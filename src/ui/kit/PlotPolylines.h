// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A plot drawing's polylines, in the plot's own units, as Qt points.

#include <QPoint>
#include <vector>

#include "plots/PlotDrawing.h"

namespace tamrel {

inline std::vector<std::vector<QPoint>> qtPolylines(const PlotDrawing& drawing)
{
    std::vector<std::vector<QPoint>> out;
    out.reserve(drawing.polylines.size());
    for (const auto& line : drawing.polylines) {
        std::vector<QPoint> pts;
        pts.reserve(line.size());
        for (const PlotPoint& p : line)
            pts.emplace_back(p.x, p.y);
        out.push_back(std::move(pts));
    }
    return out;
}

} // namespace tamrel
