// SPDX-License-Identifier: GPL-3.0-or-later
#include "presets/TestPictures.h"

#include <algorithm>
#include <cmath>

namespace tamrel {

namespace {

    struct Colour {
        double r, g, b, a; // straight alpha, 0..1
    };

    // Pale enough for black text on top, distinct enough to tell apart.
    constexpr Colour kDensityFill { 120 / 255.0, 160 / 255.0, 225 / 255.0, 0.28 };
    constexpr Colour kDensityEdge { 90 / 255.0, 130 / 255.0, 210 / 255.0, 0.40 };
    constexpr Colour kPressure { 225 / 255.0, 95 / 255.0, 85 / 255.0, 0.50 };
    constexpr Colour kVelocity { 60 / 255.0, 160 / 255.0, 90 / 255.0, 0.50 };
    constexpr Colour kJump { 110 / 255.0, 110 / 255.0, 110 / 255.0, 0.35 };

    // Coverage of one shape, 0..1 per pixel. Parts of a shape that overlap
    // take the larger coverage, so a shape composites as one stroke.
    class Coverage {
    public:
        Coverage(int w, int h)
            : w_(w)
            , h_(h)
            , c_(static_cast<std::size_t>(w) * h, 0.0)
        {
        }

        void add(int x, int y, double c)
        {
            if (x < 0 || y < 0 || x >= w_ || y >= h_ || !(c > 0))
                return;
            double& v = c_[static_cast<std::size_t>(y) * w_ + x];
            v = std::max(v, std::min(c, 1.0));
        }
        double at(int x, int y) const { return c_[static_cast<std::size_t>(y) * w_ + x]; }

        // Anti-aliased segment of the given width: coverage falls off over one
        // pixel around the distance width/2 from the segment.
        void segment(double x0, double y0, double x1, double y1, double width)
        {
            const double half = width / 2;
            const int xa = static_cast<int>(std::floor(std::min(x0, x1) - half - 1));
            const int xb = static_cast<int>(std::ceil(std::max(x0, x1) + half + 1));
            const int ya = static_cast<int>(std::floor(std::min(y0, y1) - half - 1));
            const int yb = static_cast<int>(std::ceil(std::max(y0, y1) + half + 1));
            const double dx = x1 - x0, dy = y1 - y0;
            const double len2 = dx * dx + dy * dy;
            for (int y = ya; y <= yb; ++y)
                for (int x = xa; x <= xb; ++x) {
                    const double px = x + 0.5, py = y + 0.5;
                    double u = len2 > 0 ? ((px - x0) * dx + (py - y0) * dy) / len2 : 0.0;
                    u = std::clamp(u, 0.0, 1.0);
                    const double ex = px - (x0 + u * dx), ey = py - (y0 + u * dy);
                    const double dist = std::sqrt(ex * ex + ey * ey);
                    add(x, y, half + 0.5 - dist);
                }
        }

        // Column x filled from height yTop (fractional) down to yBottom.
        void column(int x, double yTop, int yBottom)
        {
            for (int y = static_cast<int>(std::floor(yTop)); y < yBottom; ++y)
                add(x, y, std::min(1.0, y + 1 - yTop));
        }

    private:
        int w_, h_;
        std::vector<double> c_;
    };

    class Canvas {
    public:
        Canvas(int w, int h)
            : w_(w)
            , h_(h)
            , px_(static_cast<std::size_t>(w) * h, Colour { 0, 0, 0, 0 })
        {
        }

        // Source-over with straight alpha.
        void paint(const Coverage& cov, const Colour& col)
        {
            for (int y = 0; y < h_; ++y)
                for (int x = 0; x < w_; ++x) {
                    const double sa = col.a * cov.at(x, y);
                    if (sa <= 0)
                        continue;
                    Colour& d = px_[static_cast<std::size_t>(y) * w_ + x];
                    const double oa = sa + d.a * (1 - sa);
                    d.r = (col.r * sa + d.r * d.a * (1 - sa)) / oa;
                    d.g = (col.g * sa + d.g * d.a * (1 - sa)) / oa;
                    d.b = (col.b * sa + d.b * d.a * (1 - sa)) / oa;
                    d.a = oa;
                }
        }

        TestPicture image() const
        {
            TestPicture pic { w_, h_, {} };
            pic.argb.reserve(px_.size());
            auto byte
                = [](double v) { return static_cast<std::uint32_t>(std::lround(std::clamp(v, 0.0, 1.0) * 255)); };
            for (const Colour& c : px_) {
                const std::uint32_t a = byte(c.a);
                pic.argb.push_back(a == 0 ? 0u : (a << 24) | (byte(c.r) << 16) | (byte(c.g) << 8) | byte(c.b));
            }
            return pic;
        }

    private:
        int w_, h_;
        std::vector<Colour> px_;
    };

    // Heights of the two states as fractions of the plot height: linear from
    // zero, or logarithmic when they differ by more than a factor of 20 so the
    // smaller one does not vanish into the baseline.
    struct Levels {
        double left, right;
    };

    Levels levels(double a, double b)
    {
        const double lo = std::min(a, b), hi = std::max(a, b);
        if (!(hi > 0) || !std::isfinite(hi))
            return { 0, 0 };
        if (lo > 0 && hi / lo > 20) {
            const double la = std::log10(lo), lb = std::log10(hi);
            const double span = lb - la;
            const double bottom = la - 0.25 * span, top = lb + 0.1 * span;
            auto f = [&](double v) { return (std::log10(v) - bottom) / (top - bottom); };
            return { f(a), f(b) };
        }
        auto f = [&](double v) { return std::max(0.0, v) / (1.1 * hi); };
        return { f(a), f(b) };
    }

    // Arrows of velocity (ux, uy) centred on (cx, cy); `scale` is pixels per unit
    // of speed, with a shortest visible length for slow but moving gas.
    void arrow(
        Coverage& cov, double cx, double cy, double ux, double uy, double scale, double minLen, double stroke)
    {
        const double speed = std::hypot(ux, uy);
        if (!(speed > 0))
            return;
        const double len = std::max(minLen, speed * scale);
        const double dx = ux / speed, dy = -uy / speed; // picture y grows downward
        const double x0 = cx - dx * len / 2, y0 = cy - dy * len / 2;
        const double x1 = cx + dx * len / 2, y1 = cy + dy * len / 2;
        cov.segment(x0, y0, x1, y1, stroke);
        const double head = std::min(len * 0.45, 3.5 * stroke);
        const double c = std::cos(2.6), s = std::sin(2.6); // barbs at 149 degrees from the shaft
        cov.segment(x1, y1, x1 + head * (dx * c - dy * s), y1 + head * (dx * s + dy * c), stroke);
        cov.segment(x1, y1, x1 + head * (dx * c + dy * s), y1 + head * (-dx * s + dy * c), stroke);
    }

} // namespace

TestPicture RenderTestPicture(const ShockTubeTest& t, int width, int height)
{
    if (width < 8 || height < 8) {
        const int w = std::max(0, width), h = std::max(0, height);
        return { w, h, std::vector<std::uint32_t>(static_cast<std::size_t>(w) * h, 0u) };
    }
    Canvas canvas(width, height);
    const double unit = height / 41.0; // one button pixel
    const double left = 2 * unit, right = width - 2 * unit;
    const double top = 3 * unit, bottom = height - 2 * unit;
    const double plotH = bottom - top;

    // Where the jump lies along the button, kept inside the plot.
    double frac = (t.XJump - t.XL) / (t.XR - t.XL);
    if (!std::isfinite(frac))
        frac = 0.5;
    frac = std::clamp(frac, 0.0, 1.0);
    const double xJump = left + frac * (right - left);
    auto levelY = [&](double f) { return bottom - f * plotH; };

    // Density: a filled area with a firmer top edge.
    const Levels rho = levels(t.RhoL, t.RhoR);
    const double yRhoL = levelY(rho.left), yRhoR = levelY(rho.right);
    Coverage fill(width, height);
    const int x0 = static_cast<int>(std::lround(left)), x1 = static_cast<int>(std::lround(right));
    const int xj = static_cast<int>(std::lround(xJump));
    const int yBase = static_cast<int>(std::lround(bottom));
    for (int x = x0; x < x1; ++x)
        fill.column(x, x < xj ? yRhoL : yRhoR, yBase);
    canvas.paint(fill, kDensityFill);
    Coverage edge(width, height);
    edge.segment(left, yRhoL, xJump, yRhoL, unit);
    edge.segment(xJump, yRhoL, xJump, yRhoR, unit);
    edge.segment(xJump, yRhoR, right, yRhoR, unit);
    canvas.paint(edge, kDensityEdge);

    // The initial discontinuity.
    Coverage jump(width, height);
    for (double y = top - 2 * unit; y < bottom; y += 4 * unit)
        jump.segment(xJump, y, xJump, std::min(bottom, y + 2 * unit), unit);
    canvas.paint(jump, kJump);

    // Pressure: a step line.
    const Levels pr = levels(t.PL, t.PR);
    const double yPL = levelY(pr.left), yPR = levelY(pr.right);
    Coverage pressure(width, height);
    pressure.segment(left, yPL, xJump, yPL, 1.5 * unit);
    pressure.segment(xJump, yPL, xJump, yPR, 1.5 * unit);
    pressure.segment(xJump, yPR, right, yPR, 1.5 * unit);
    canvas.paint(pressure, kPressure);

    // Velocity: one arrow on each side of the jump, lengths to a common scale.
    const double fastest = std::max(std::hypot(t.UxL, t.UyL), std::hypot(t.UxR, t.UyR));
    if (fastest > 0 && std::isfinite(fastest)) {
        const double longest = std::min(14 * unit, 0.4 * plotH);
        const double scale = longest / fastest;
        const double cy = top + 0.8 * plotH; // below the caption
        Coverage arrows(width, height);
        arrow(arrows, (left + xJump) / 2, cy, t.UxL, t.UyL, scale, 4 * unit, unit);
        arrow(arrows, (xJump + right) / 2, cy, t.UxR, t.UyR, scale, 4 * unit, unit);
        canvas.paint(arrows, kVelocity);
    }
    return canvas.image();
}

TestPicture RenderTestPicture(int number)
{
    return RenderTestPicture(shockTubeTest(number));
}

} // namespace tamrel
