// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A small experiment state for the plot tests: N cells of equal width on
// [0, 1] with density 1, pressure 1 and no velocity, no control cells.

#include <vector>

#include "plots/LinePlots.h"
#include "plots/PlotDrawing.h"
#include "state/ExperimentState.h"

namespace tamrel::test {

inline ExperimentState gridState(long n)
{
    ExperimentState s;
    s.NGridCells = static_cast<Long>(n);
    s.NGridCellsD = static_cast<double>(n);
    allocateGridArrays(s);
    resizeSelectedKeep(s);
    for (long i = 1; i <= n + 1; ++i)
        s.X[i] = static_cast<double>(i - 1) / static_cast<double>(n);
    s.X[0] = 2 * s.X[1] - s.X[2];
    s.X[n + 2] = 2 * s.X[n + 1] - s.X[n];
    for (long i = 0; i <= n + 1; ++i) {
        s.Rho[i] = 1;
        s.P[i] = 1;
    }
    s.NSelected = 0;
    s.MCurrent = 1;
    s.RhoMin = 0;
    s.RhoMax = 2;
    s.PMin = 0;
    s.PMax = 2;
    s.VXMin = -1;
    s.VXMax = 1;
    return s;
}

// All points of all polylines, in order.
inline std::vector<PlotPoint> allPoints(const PlotDrawing& d)
{
    std::vector<PlotPoint> pts;
    for (const auto& line : d.polylines)
        pts.insert(pts.end(), line.begin(), line.end());
    return pts;
}

// The paints as the window makes them: the record keeps what each fitted.
inline LinePlotPaint keptDensityPlot(ExperimentState& s, double W, double H)
{
    LinePlotPaint paint = PaintDensityPlot(s, W, H);
    KeepPlotFit(s, paint.fit);
    return paint;
}

inline LinePlotPaint keptPressurePlot(
    ExperimentState& s, double W, double H, kernels::SubcellProfileEntry* subcellProfile)
{
    LinePlotPaint paint = PaintPressurePlot(s, W, H, subcellProfile);
    KeepPlotFit(s, paint.fit);
    return paint;
}

inline LinePlotPaint keptVelocityPlot(ExperimentState& s, double W, double H)
{
    LinePlotPaint paint = PaintVelocityPlot(s, W, H);
    KeepPlotFit(s, paint.fit);
    return paint;
}

} // namespace tamrel::test
