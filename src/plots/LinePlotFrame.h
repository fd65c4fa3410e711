// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The frame the three line plots share: grid positions and values become
// picture coordinates (twips, y downwards), points are rounded to whole
// units (halves to even) before they are drawn, the curve runs through the
// cell centres, and cells are marked with 100 x 100 squares.
//
//   x = position * xscale,      xscale = W / (X(N+1) - X(1))
//   y = (ymax - v) * yscale,    yscale = H / (ymax - ymin)
//
// There is no x offset: the grid starts at X(1) = 0. Values outside
// [ymin, ymax] land outside the picture and are clipped by it, not limited.
//
// A frame whose scale is zero or not finite (equal range ends, a range end
// that is not finite, a grid of zero width, an empty picture) draws nothing
// at all. Pieces of a curve far outside the picture are cut at a guard box
// around it, and points without a finite value are left out, so every
// coordinate handed to the window is a modest whole number.

#include <utility>
#include <vector>

#include "common/BoundedArray.h"
#include "plots/PlotDrawing.h"

namespace tamrel {

class LinePlotFrame {
public:
    static constexpr int kMarkSize = 100;

    LinePlotFrame(const BoundedArray<double>& X, long n, double width, double height, double ymin, double ymax);

    bool drawable() const { return drawable_; }
    double xscale() const { return xscale_; }
    double yscale() const { return yscale_; }

    // Unrounded picture coordinates.
    double xOf(double position) const { return position * xscale_; }
    double yOf(double value) const { return (ymax_ - value) * yscale_; }
    // Centre of cell i; i may be 0..N+1 when X holds the neighbouring edges.
    bool hasCell(long i) const { return X_.contains(i) && X_.contains(i + 1); }
    double cellX(long i) const { return 0.5 * (X_[i] + X_[i + 1]) * xscale_; }

    // The curve of values v[0..N+1] (v[i] belongs to cell i): from the left
    // edge at the mean of v0 and v1, through the centre of every cell 1..N,
    // to the right edge X(N+1)*xscale at the mean of vN and vN+1.
    void drawCellCurve(PlotDrawing& d, const std::vector<double>& v) const;

    // A polyline through unrounded points (x, y), each rounded before use.
    void drawPolyline(PlotDrawing& d, const std::vector<std::pair<double, double>>& points) const;

    // 100 x 100 squares centred on the rounded point (x, y).
    void markFilled(PlotDrawing& d, double x, double y) const;
    void markOutlined(PlotDrawing& d, double x, double y) const;

    // Square centred on cell m's point of the curve v; nothing when the
    // cell lies outside the arrays.
    void markCell(PlotDrawing& d, long m, const std::vector<double>& v, bool filled) const;

private:
    bool squareAt(double x, double y, PlotRect& out) const;

    const BoundedArray<double>& X_;
    long n_;
    double ymax_;
    double xscale_ = 0, yscale_ = 0;
    bool drawable_ = false;
    // Guard box: the picture widened by its own size on every side.
    double gx0_ = 0, gx1_ = 0, gy0_ = 0, gy1_ = 0;
};

} // namespace tamrel
