// SPDX-License-Identifier: GPL-3.0-or-later
#include "plots/LinePlotFrame.h"

#include <algorithm>
#include <cmath>
#include <cstdint>

namespace tamrel {

namespace {

    bool finite2(double x, double y)
    {
        return std::isfinite(x) && std::isfinite(y);
    }

    // Liang-Barsky: cut the segment a-b to the box; false when nothing is left.
    bool clipSegment(double& ax, double& ay, double& bx, double& by, double x0, double x1, double y0, double y1)
    {
        double t0 = 0, t1 = 1;
        const double dx = bx - ax, dy = by - ay;
        const double p[4] = { -dx, dx, -dy, dy };
        const double q[4] = { ax - x0, x1 - ax, ay - y0, y1 - ay };
        for (int k = 0; k < 4; ++k) {
            if (p[k] == 0) {
                if (q[k] < 0)
                    return false;
                continue;
            }
            const double t = q[k] / p[k];
            if (p[k] < 0) {
                if (t > t1)
                    return false;
                t0 = std::max(t0, t);
            } else {
                if (t < t0)
                    return false;
                t1 = std::min(t1, t);
            }
        }
        const double sx = ax, sy = ay;
        if (t1 < 1) {
            bx = sx + t1 * dx;
            by = sy + t1 * dy;
        }
        if (t0 > 0) {
            ax = sx + t0 * dx;
            ay = sy + t0 * dy;
        }
        return true;
    }

    // nearbyint under the default rounding, without its call: below 2^52
    // adding 2^52 to |x| leaves no fraction bits and rounds halves to even,
    // the sign goes back on (so -0.3 gives -0 as nearbyint does); larger
    // values, infinities and NaN are already whole or stay as they are.
    inline double nearestWhole(double x)
    {
        constexpr double kTwo52 = 4503599627370496.0;
        const double a = std::fabs(x);
        if (!(a < kTwo52))
            return x;
        return std::copysign((a + kTwo52) - kTwo52, x);
    }

    PlotPoint toPoint(double x, double y)
    {
        return { static_cast<std::int32_t>(x), static_cast<std::int32_t>(y) };
    }

} // namespace

LinePlotFrame::LinePlotFrame(
    const BoundedArray<double>& X, long n, double width, double height, double ymin, double ymax)
    : X_(X)
    , n_(n)
    , ymax_(ymax)
{
    if (n < 1 || !X.contains(1) || !X.contains(n + 1))
        return;
    xscale_ = width / (X[n + 1] - X[1]);
    yscale_ = height / (ymax - ymin);
    // Twips pictures are a few thousand units; anything near the int range
    // is no picture at all.
    const bool sizeOk = width > 0 && height > 0 && width < 1e8 && height < 1e8;
    drawable_ = sizeOk && std::isfinite(ymax) && std::isfinite(ymin) && std::isfinite(xscale_)
        && std::isfinite(yscale_) && xscale_ != 0 && yscale_ != 0;
    gx0_ = -width;
    gx1_ = 2 * width;
    gy0_ = -height;
    gy1_ = 2 * height;
}

void LinePlotFrame::drawCellCurve(PlotDrawing& d, const std::vector<double>& v) const
{
    if (!drawable_ || static_cast<long>(v.size()) < n_ + 2)
        return;
    std::vector<std::pair<double, double>> pts;
    pts.reserve(static_cast<std::size_t>(n_) + 2);
    pts.emplace_back(0.0, yOf(0.5 * (v[0] + v[1])));
    for (long i = 1; i <= n_; ++i)
        pts.emplace_back(cellX(i), yOf(v[static_cast<std::size_t>(i)]));
    pts.emplace_back(
        X_[n_ + 1] * xscale_, yOf(0.5 * (v[static_cast<std::size_t>(n_)] + v[static_cast<std::size_t>(n_) + 1])));
    drawPolyline(d, pts);
}

void LinePlotFrame::drawPolyline(PlotDrawing& d, const std::vector<std::pair<double, double>>& points) const
{
    if (!drawable_ || points.size() < 2)
        return;
    auto inside = [&](double x, double y) { return x >= gx0_ && x <= gx1_ && y >= gy0_ && y <= gy1_; };

    std::vector<PlotPoint> run;
    run.reserve(points.size());
    auto flush = [&] {
        if (run.size() >= 2)
            d.polylines.push_back(std::move(run));
        run.clear();
    };

    double px = nearestWhole(points[0].first);
    double py = nearestWhole(points[0].second);
    for (std::size_t k = 1; k < points.size(); ++k) {
        const double qx = nearestWhole(points[k].first);
        const double qy = nearestWhole(points[k].second);
        if (!finite2(px, py) || !finite2(qx, qy)) {
            flush();
        } else if (inside(px, py) && inside(qx, qy)) {
            if (run.empty())
                run.push_back(toPoint(px, py));
            run.push_back(toPoint(qx, qy));
        } else {
            // Cut at the guard box. The cut ends lie on the same line and
            // well outside the picture, so what shows is unchanged.
            double ax = px, ay = py, bx = qx, by = qy;
            if (!clipSegment(ax, ay, bx, by, gx0_, gx1_, gy0_, gy1_)) {
                flush();
            } else {
                ax = nearestWhole(ax);
                ay = nearestWhole(ay);
                bx = nearestWhole(bx);
                by = nearestWhole(by);
                const bool startsHere = ax == px && ay == py && !run.empty();
                if (!startsHere) {
                    flush();
                    run.push_back(toPoint(ax, ay));
                }
                run.push_back(toPoint(bx, by));
                if (bx != qx || by != qy)
                    flush();
            }
        }
        px = qx;
        py = qy;
    }
    flush();
}

bool LinePlotFrame::squareAt(double x, double y, PlotRect& out) const
{
    if (!drawable_)
        return false;
    const double rx = nearestWhole(x);
    const double ry = nearestWhole(y);
    if (!finite2(rx, ry))
        return false;
    const double half = kMarkSize / 2;
    const double left = rx - half, top = ry - half;
    // A square wholly beyond the guard box cannot show.
    if (left > gx1_ || left + kMarkSize < gx0_ || top > gy1_ || top + kMarkSize < gy0_)
        return false;
    out = { static_cast<std::int32_t>(left), static_cast<std::int32_t>(top), kMarkSize, kMarkSize };
    return true;
}

void LinePlotFrame::markFilled(PlotDrawing& d, double x, double y) const
{
    PlotRect r;
    if (squareAt(x, y, r))
        d.filled.push_back(r);
}

void LinePlotFrame::markOutlined(PlotDrawing& d, double x, double y) const
{
    PlotRect r;
    if (squareAt(x, y, r))
        d.outlined.push_back(r);
}

void LinePlotFrame::markCell(PlotDrawing& d, long m, const std::vector<double>& v, bool filled) const
{
    if (m < 0 || m >= static_cast<long>(v.size()) || !hasCell(m))
        return;
    const double x = cellX(m);
    const double y = yOf(v[static_cast<std::size_t>(m)]);
    if (filled)
        markFilled(d, x, y);
    else
        markOutlined(d, x, y);
}

} // namespace tamrel
