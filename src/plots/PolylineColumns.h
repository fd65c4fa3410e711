// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A curve of a few thousand cells drawn a few hundred pixels wide has many
// points in every pixel column, and stroking all of them costs far more
// than the picture needs. Of each run of consecutive points that fall in one
// column only four matter: the first and the last, which join the run to
// its neighbours, and the lowest and the highest, which bound what the
// stroke covers in that column. The line through those four, in their order
// along the curve, covers the same span of every column and meets the
// neighbouring columns at the same points: the same picture, up to how the
// antialiasing shades the edge pixels of the stroke.

#include <cmath>
#include <cstddef>

namespace tamrel {

// Keeps, of every run of consecutive points of pts[0..n) with the same
// column floor(x(p) * scale + offset), its first, lowest, highest and last
// point (each once, in their order along the line), moved to the front of
// pts; returns how many points are kept. Of several equally low (high)
// points the one nearest the other extreme stands for them, so a step
// inside a column keeps both its corners. x and y read a point's
// coordinates; scale and offset map x to the pixel columns of the drawing
// surface. Points without a finite column each stay on their own.
template <class Point, class X, class Y>
std::size_t KeepColumnExtremes(Point* pts, std::size_t n, double scale, double offset, X x, Y y)
{
    std::size_t kept = 0;
    std::size_t first = 0;
    while (first < n) {
        const double column = std::floor(x(pts[first]) * scale + offset);
        std::size_t low = first, high = first, end = first + 1;
        for (; end < n && std::floor(x(pts[end]) * scale + offset) == column; ++end) {
            if (y(pts[end]) < y(pts[low]))
                low = end;
            if (y(pts[end]) > y(pts[high]))
                high = end;
        }
        // The earlier extreme moves to its last equal before the later one.
        std::size_t& earlier = low < high ? low : high;
        const std::size_t later = low < high ? high : low;
        for (std::size_t k = earlier + 1; k < later; ++k)
            if (y(pts[k]) == y(pts[earlier]))
                earlier = k;
        // Ascending, so each is written at or before where it is read, and
        // no point still to be read is overwritten.
        const std::size_t keep[4] = { first, low < high ? low : high, low < high ? high : low, end - 1 };
        for (std::size_t k = 0; k < 4; ++k)
            if (k == 0 || keep[k] != keep[k - 1])
                pts[kept++] = pts[keep[k]];
        first = end;
    }
    return kept;
}

// Drops from pts[0..n) every point that lies on a level stretch between its
// neighbours (the same height as both, its x between theirs): the line runs
// through it anyway, so the stroke is the same without it. A plateau of a
// curve, left with two points a column by KeepColumnExtremes, becomes one
// segment. Returns how many points are kept, moved to the front.
template <class Point, class X, class Y> std::size_t DropLevelMiddles(Point* pts, std::size_t n, X x, Y y)
{
    std::size_t kept = 0;
    for (std::size_t k = 0; k < n; ++k) {
        if (kept >= 2) {
            const Point& a = pts[kept - 2];
            const Point& b = pts[kept - 1];
            const Point& c = pts[k];
            const bool level = y(a) == y(b) && y(b) == y(c);
            const bool between = (x(a) <= x(b) && x(b) <= x(c)) || (x(a) >= x(b) && x(b) >= x(c));
            if (level && between)
                --kept;
        }
        pts[kept++] = pts[k];
    }
    return kept;
}

// Drops from pts[0..n) points that lie within `tolerance` of the segment
// joining the points kept on either side of them, so the line moves nowhere
// by more than the tolerance: with a tolerance below the rounding of the
// drawing's own coordinates (a fraction of a pixel), the stroke is the same
// up to the shading of its edges, and a smooth stretch of a curve needs a
// few segments in place of two points a column. A segment stands for at
// most kLongestStretch points, which bounds the work. Returns how many
// points are kept, moved to the front; the first and last always are.
template <class Point, class X, class Y>
std::size_t DropNearlyStraight(Point* pts, std::size_t n, double tolerance, X x, Y y)
{
    constexpr std::size_t kLongestStretch = 32;
    if (n < 3 || !(tolerance > 0))
        return n;
    // Distance squared from p to the segment a-b.
    auto apart = [&](const Point& p, const Point& a, const Point& b) {
        const double dx = x(b) - x(a), dy = y(b) - y(a);
        const double px = x(p) - x(a), py = y(p) - y(a);
        const double length = dx * dx + dy * dy;
        double t = length > 0 ? (px * dx + py * dy) / length : 0;
        t = t < 0 ? 0 : (t > 1 ? 1 : t);
        const double ex = px - t * dx, ey = py - t * dy;
        return ex * ex + ey * ey;
    };
    const double limit = tolerance * tolerance;
    std::size_t kept = 1; // pts[0] stays
    std::size_t anchor = 0;
    while (anchor + 1 < n) {
        // The farthest point the anchor reaches with every point between
        // them within the tolerance of the segment.
        std::size_t reach = anchor + 1;
        for (std::size_t end = anchor + 2; end < n && end - anchor <= kLongestStretch; ++end) {
            bool straight = true;
            for (std::size_t k = anchor + 1; k < end && straight; ++k)
                straight = apart(pts[k], pts[anchor], pts[end]) <= limit;
            if (!straight)
                break;
            reach = end;
        }
        pts[kept++] = pts[reach];
        anchor = reach;
    }
    return kept;
}

} // namespace tamrel
