// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A slow, literal, pixel-by-pixel reading of the space-time fill rules, kept
// to check the fast fill against: every pixel row and column recomputes its
// positions, weights and sums from scratch, the raster uses the plain
// numbering (r-1)*W + c, and every read and write is bounds-checked.

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <vector>

namespace tamrel::test {

struct LiteralRaster {
    int W = 0, H = 0;
    std::vector<std::int32_t> v; // (W+1)*(H+1)
    std::int32_t& at(long r, long c) { return v.at(static_cast<std::size_t>((r - 1) * W + c)); }
};

struct LiteralResult {
    LiteralRaster raster;
    double vmin = 0, vmax = 0;
    bool boxAverage = false;
};

inline std::int32_t literalWhole(double x)
{
    return static_cast<std::int32_t>(std::nearbyint(x));
}

inline void literalFindMinMax(
    const std::vector<float>& data, long N, long NS, long rowLen, double& vmin, double& vmax)
{
    std::vector<double> mx(static_cast<std::size_t>(N) + 1), mn(static_cast<std::size_t>(N) + 1);
    for (long j = 1; j <= N; ++j) {
        mx[j] = mn[j] = data.at(static_cast<std::size_t>(j));
        for (long s = 1; s < NS; ++s) {
            const double d = data.at(static_cast<std::size_t>(s * rowLen + j));
            mx[j] = std::max(mx[j], d);
            mn[j] = std::min(mn[j], d);
        }
    }
    // Fold in halves down to at most 7 entries, then scan.
    long n = N;
    while (n > 7) {
        const long h = (n + 1) / 2;
        const double mx1 = mx[1], mn1 = mn[1];
        for (long k = 1; k <= h; ++k) {
            const double px = k + h <= n ? mx[k + h] : mx1;
            const double pn = k + h <= n ? mn[k + h] : mn1;
            mx[k] = std::max(mx[k], px);
            mn[k] = std::min(mn[k], pn);
        }
        n = h;
    }
    vmax = mx[1];
    vmin = mn[1];
    for (long k = 2; k <= n; ++k) {
        vmax = std::max(vmax, mx[k]);
        vmin = std::min(vmin, mn[k]);
    }
}

inline LiteralResult literalFill(const std::vector<float>& data, int W, int H, long N, long NS, long rowLen)
{
    LiteralResult out;
    out.raster.W = W;
    out.raster.H = H;
    out.raster.v.assign(static_cast<std::size_t>(W + 1) * static_cast<std::size_t>(H + 1), 0);
    literalFindMinMax(data, N, NS, rowLen, out.vmin, out.vmax);
    const double vmin = out.vmin;
    const double top = std::max(out.vmax, vmin * 1.00000001 + 1e-10);
    double scale = 245 / (top - vmin);
    if (!std::isfinite(scale))
        scale = 0; // every value equal and negative: all pixels level 5
    auto gray = [&](double v) { return literalWhole(scale * (v - vmin)) + 5; };
    auto d
        = [&](long s, long c) { return static_cast<double>(data.at(static_cast<std::size_t>(s * rowLen + c))); };
    auto& R = out.raster;

    if (NS > H + 1 && N > W + 1) {
        out.boxAverage = true;
        const double ty = static_cast<double>(NS) / H, tx = static_cast<double>(N) / W;
        double y1 = 0;
        for (long j = 1; j <= H; ++j) {
            const double y0 = y1;
            y1 = y0 + ty;
            const long s0 = static_cast<long>(y0), s1 = static_cast<long>(y1);
            const double wy0 = (s0 + 1 - y0) / ty, wy1 = (y1 - s1) / ty;
            double x1 = 0;
            for (long i = 1; i <= W; ++i) {
                const double x0 = x1;
                x1 = x0 + tx;
                const long c0 = static_cast<long>(x0) + 1, c1 = static_cast<long>(x1);
                const double wx0 = (c0 - x0) / tx, wx1 = (x1 - c1) / tx;
                auto row = [&](long s) {
                    double r = d(s, c0) * wx0;
                    for (long c = c0 + 1; c <= c1; ++c)
                        r = r + d(s, c) / tx;
                    if (wx1 > 1e-5)
                        r = r + d(s, c1 + 1) * wx1;
                    return r;
                };
                double sum = wy0 * row(s0);
                for (long s = s0 + 1; s <= s1 - 1; ++s)
                    sum = sum + row(s) / ty;
                if (wy1 > 1e-5)
                    sum = sum + wy1 * row(s1);
                R.at(j, i) = gray(sum);
            }
        }
        return out;
    }

    const double sy = static_cast<double>(H) / NS, sx = static_cast<double>(W) / N;
    double y1 = 0;
    for (long s = 0; s < NS; ++s) {
        const double y0 = y1;
        y1 = y0 + sy;
        const long r0 = static_cast<long>(y0) + 1, r1 = static_cast<long>(y1);
        const double fy0 = r0 - y0, fy1 = y1 - r1;
        double x1 = 0;
        double gPrev = 0;
        for (long i = 1; i <= N; ++i) {
            const double x0 = x1;
            x1 = x0 + sx;
            const long c0 = static_cast<long>(x0) + 1, c1 = static_cast<long>(x1);
            const double fx0 = c0 - x0, fx1 = x1 - c1;
            const double g = gray(d(s, i));
            const double gp = i == 1 ? 0 : gPrev;
            double old = R.at(r0, c0);
            R.at(r0, c0) = literalWhole(old * (1 - fy0) + fy0 * (gp * (1 - fx0) + g * fx0));
            for (long c = c0 + 1; c <= c1; ++c) {
                old = R.at(r0, c);
                R.at(r0, c) = literalWhole(old * (1 - fy0) + fy0 * g);
            }
            if (i == N && fx1 > 1e-5) {
                old = R.at(r0, c1 + 1);
                R.at(r0, c1 + 1) = literalWhole(old * (1 - fy0) + fy0 * g);
            }
            auto fullRow = [&](long r) {
                const double o = R.at(r, c0);
                R.at(r, c0) = literalWhole(o * (1 - fx0) + g * fx0);
                for (long c = c0 + 1; c <= c1; ++c)
                    R.at(r, c) = static_cast<std::int32_t>(g);
                if (fx1 > 1e-5)
                    R.at(r, c1 + 1) = static_cast<std::int32_t>(g);
            };
            for (long r = r0 + 1; r <= r1; ++r)
                fullRow(r);
            if (fy1 > 1e-5)
                fullRow(r1 + 1);
            gPrev = g;
        }
    }
    return out;
}

} // namespace tamrel::test
