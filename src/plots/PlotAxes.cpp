// SPDX-License-Identifier: GPL-3.0-or-later
#include "plots/PlotAxes.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

namespace tamrel {

namespace {
    std::string formatTick(double v, double step)
    {
        if (std::fabs(v) < step * 1e-9)
            v = 0; // no "-0" and no rounding dust at zero
        char text[40];
        const double magnitude = std::max(std::fabs(v), step);
        if (magnitude >= 1e5 || step < 1e-4) {
            // Digits after the point of the step's mantissa.
            const int digits = std::max(0,
                static_cast<int>(std::floor(std::log10(magnitude)))
                    - static_cast<int>(std::floor(std::log10(step) + 1e-9)));
            std::snprintf(text, sizeof text, "%.*g", std::min(digits + 1, 15), v);
        } else {
            const int decimals = std::max(0, -static_cast<int>(std::floor(std::log10(step) + 1e-9)));
            std::snprintf(text, sizeof text, "%.*f", decimals, v);
        }
        return text;
    }
} // namespace

double TickStep(double lo, double hi, int maxTicks)
{
    const double span = std::fabs(hi - lo);
    if (!(span > 0) || !std::isfinite(span) || maxTicks < 2)
        return 0;
    double step = std::pow(10.0, std::floor(std::log10(span / maxTicks)));
    for (int guard = 0; guard < 8; ++guard) {
        for (double m : { 1.0, 2.0, 5.0 }) {
            const double s = m * step;
            const double count
                = std::floor(std::max(lo, hi) / s + 1e-9) - std::ceil(std::min(lo, hi) / s - 1e-9) + 1;
            if (count <= maxTicks)
                return s;
        }
        step *= 10;
    }
    return step;
}

std::vector<AxisTick> AxisTicks(double lo, double hi, int maxTicks)
{
    std::vector<AxisTick> ticks;
    const double step = TickStep(lo, hi, maxTicks);
    if (!(step > 0) || !std::isfinite(step))
        return ticks;
    const double a = std::min(lo, hi), b = std::max(lo, hi);
    const long first = static_cast<long>(std::ceil(a / step - 1e-9));
    const long last = static_cast<long>(std::floor(b / step + 1e-9));
    for (long k = first; k <= last; ++k) {
        const double v = static_cast<double>(k) * step;
        AxisTick t;
        t.value = v;
        t.fraction = std::clamp((v - lo) / (hi - lo), 0.0, 1.0);
        t.label = formatTick(v, step);
        ticks.push_back(t);
    }
    // A range narrower than one step round its ends still gets its ends.
    if (ticks.size() < 2) {
        ticks.clear();
        const double s = std::pow(10.0, std::floor(std::log10(b - a))) / 10;
        for (double v : { lo, hi })
            ticks.push_back({ v, (v - lo) / (hi - lo), formatTick(v, s) });
    }
    return ticks;
}

std::string TimeLabel(double t)
{
    char text[40];
    std::snprintf(text, sizeof text, "t = %.6g", std::fabs(t) < 1e-12 ? 0.0 : t);
    return text;
}

namespace {
    // Length of the segment a-b inside the box, by the parameter range the
    // box's slabs leave (Liang-Barsky clipping).
    double lengthInside(const PlotBox& box, PlotCurvePoint a, PlotCurvePoint b)
    {
        double t0 = 0, t1 = 1;
        const double dx = b.x - a.x, dy = b.y - a.y;
        const double p[4] = { -dx, dx, -dy, dy };
        const double q[4] = { a.x - box.left, box.right - a.x, a.y - box.top, box.bottom - a.y };
        for (int i = 0; i < 4; ++i) {
            if (p[i] == 0) {
                if (q[i] < 0)
                    return 0;
                continue;
            }
            const double r = q[i] / p[i];
            if (p[i] < 0)
                t0 = std::max(t0, r);
            else
                t1 = std::min(t1, r);
        }
        if (!(t1 > t0))
            return 0;
        return (t1 - t0) * std::hypot(dx, dy);
    }
} // namespace

std::size_t QuietestPlace(const std::vector<PlotBox>& places, const std::vector<std::vector<PlotCurvePoint>>& curves)
{
    std::size_t best = 0;
    double least = INFINITY;
    for (std::size_t k = 0; k < places.size(); ++k) {
        double covered = 0;
        for (const auto& curve : curves)
            for (std::size_t i = 1; i < curve.size(); ++i)
                if (std::isfinite(curve[i - 1].x + curve[i - 1].y + curve[i].x + curve[i].y))
                    covered += lengthInside(places[k], curve[i - 1], curve[i]);
        if (covered < least) {
            least = covered;
            best = k;
        }
    }
    return best;
}

} // namespace tamrel
