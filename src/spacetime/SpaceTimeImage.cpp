// SPDX-License-Identifier: GPL-3.0-or-later
#include "spacetime/SpaceTimeImage.h"

#include "spacetime/BoxAverageRows.h"
#include "spacetime/CoverageChains.h"
#include "spacetime/GrayLevels.h"

#include <algorithm>
#include <cmath>
#include <cstdint>
#include <cstring>
#include <limits>
#include <memory>

namespace tamrel {

namespace {

    inline std::int32_t whole(double x)
    {
        return RoundedWhole(x);
    }

    // Snapshots whose cells 0..lastCell lie inside the data.
    long rowsHeld(std::size_t size, long NS, long rowLen, long lastCell)
    {
        if (NS <= 0 || rowLen <= 0 || lastCell < 0)
            return 0;
        const long long sz = static_cast<long long>(size);
        if (sz <= lastCell)
            return 0;
        const long long fit = (sz - 1 - lastCell) / rowLen + 1;
        return static_cast<long>(std::min<long long>(NS, fit));
    }

    // One snapshot row of the box average, p[0..N+1]: the running range of
    // cells 1..N into lo and hi (index j-1), and q[c] = p[c] / tx for
    // c = 1..N+1, every quotient exactly the one the division gives.
    //
    // Where the processor fuses a multiply and an add into one rounding, the
    // quotients come from the reciprocal y = 1/tx and one correction, several
    // at a time: with q = v*y rounded, the remainder v - q*tx is exact and
    // q + remainder*y rounds to the rounded quotient (Markstein's theorem;
    // tx > 1 here, so nothing overflows or underflows). A zero of either
    // sign gives +0 there, which no sum of the picture and no gray level
    // tells from -0; an infinite value keeps the division's infinity.
    void boxRowByDivision(const float* p, long N, float* lo, float* hi, double* q, double tx)
    {
        for (long j = 1; j <= N; ++j) {
            const float v = p[j];
            lo[j - 1] = v < lo[j - 1] ? v : lo[j - 1];
            hi[j - 1] = v > hi[j - 1] ? v : hi[j - 1];
            q[j] = static_cast<double>(v) / tx;
        }
        q[N + 1] = static_cast<double>(p[N + 1]) / tx;
    }
#if defined(__GNUC__) && defined(__x86_64__)
#define TAMREL_FUSED_QUOTIENTS 1
    __attribute__((target("avx2,fma"))) void boxRowFused(
        const float* p, long N, float* lo, float* hi, double* q, double tx, double y)
    {
        for (long j = 1; j <= N + 1; ++j) {
            const float v = p[j];
            if (j <= N) {
                lo[j - 1] = v < lo[j - 1] ? v : lo[j - 1];
                hi[j - 1] = v > hi[j - 1] ? v : hi[j - 1];
            }
            const double a = static_cast<double>(v);
            const double rounded = a * y;
            const double exact = std::fma(std::fma(-rounded, tx, a), y, rounded);
            q[j] = std::fabs(rounded) <= std::numeric_limits<double>::max() ? exact : rounded;
        }
    }
    // out[i] = v[i] / d (d > 1), each exactly as the division rounds it, in
    // the same way.
    __attribute__((target("avx2,fma"))) void quotientsFused(
        const double* v, double* out, std::size_t n, double d, double y)
    {
        for (std::size_t i = 0; i < n; ++i) {
            const double rounded = v[i] * y;
            const double exact = std::fma(std::fma(-rounded, d, v[i]), y, rounded);
            out[i] = std::fabs(rounded) <= std::numeric_limits<double>::max() ? exact : rounded;
        }
    }
    bool fusedMultiplyAdd()
    {
        static const bool have = __builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma");
        return have;
    }
#endif
    void boxRow(const float* p, long N, float* lo, float* hi, double* q, double tx)
    {
#ifdef TAMREL_FUSED_QUOTIENTS
        if (fusedMultiplyAdd()) {
            boxRowFused(p, N, lo, hi, q, tx, 1 / tx);
            return;
        }
#endif
        boxRowByDivision(p, N, lo, hi, q, tx);
    }
    void quotients(const double* v, double* out, std::size_t n, double d)
    {
#ifdef TAMREL_FUSED_QUOTIENTS
        if (fusedMultiplyAdd()) {
            quotientsFused(v, out, n, d, 1 / d);
            return;
        }
#endif
        for (std::size_t i = 0; i < n; ++i)
            out[i] = v[i] / d;
    }

    // Box average. Every snapshot row is read once, in order: its extremes go
    // into the running per-cell range and its column sums into the pixel rows it
    // covers, so that each pixel's sum is built in the order of the rules. The
    // gray levels follow once the range of the whole history is known.
    GrayRange fillBoxAverage(const float* data, GrayRaster& raster, int W, int H, long N, long NS, long rowLen)
    {
        const double tx = static_cast<double>(N) / W;
        const double ty = static_cast<double>(NS) / H;
        const std::size_t w = static_cast<std::size_t>(W);

        // The cells under every pixel column are the same on every row.
        using Column = BoxColumn;
        std::vector<Column> cols(w);
        const long lastCell = N + 1;
        double x = 0;
        for (std::size_t i = 0; i < w; ++i) {
            const double x0 = x;
            const double x1 = x0 + tx;
            x = x1;
            Column& k = cols[i];
            k.c0 = static_cast<long>(x0) + 1;
            k.c1 = static_cast<long>(x1);
            k.wx0 = (k.c0 - x0) / tx;
            k.wx1 = (x1 - k.c1) / tx;
            k.use1 = k.wx1 > 1e-5;
            // Never read past the row (position sums stay far inside it).
            k.c0 = std::min(k.c0, lastCell);
            k.c1 = std::min(k.c1, lastCell);
            if (k.c1 + 1 > lastCell)
                k.use1 = false;
        }
        // When every column has `fewest` whole cells or one more (evenColumns),
        // the one more is added as a last term that is -0 for the columns
        // without it (x + (-0) is x for every x, +0 and -0 too), so every
        // column takes the same steps.
        long fewest = lastCell, most = 0;
        for (const Column& k : cols) {
            fewest = std::min(fewest, std::max(0L, k.c1 - k.c0));
            most = std::max(most, k.c1 - k.c0);
        }
        const bool evenColumns = most - fewest <= 1;

        // The snapshots under every pixel row.
        struct PixelRow {
            long s0, s1;
            double wy0, wy1;
            bool use1;
            long last; // last snapshot that adds to the row
        };
        std::vector<PixelRow> rows(static_cast<std::size_t>(H) + 1);
        double y = 0;
        for (int j = 1; j <= H; ++j) {
            const double y0 = y;
            const double y1 = y0 + ty;
            y = y1;
            PixelRow& pr = rows[static_cast<std::size_t>(j)];
            pr.s0 = static_cast<long>(y0);
            pr.s1 = static_cast<long>(y1);
            pr.wy0 = (pr.s0 + 1 - y0) / ty;
            pr.wy1 = (y1 - pr.s1) / ty;
            pr.use1 = pr.wy1 > 1e-5;
            pr.last = std::max(pr.s0, pr.use1 ? pr.s1 : pr.s1 - 1);
        }

        std::vector<double> rowSum(w), rowByTy(w);
        // Every pixel row's sum is first set by the snapshot at its foot.
        const auto sums = std::unique_ptr<double[]>(new double[w * static_cast<std::size_t>(H)]);
        int jFirst = 1; // first pixel row still open
        // wy0 row(s0) + sum of row(s)/ty + wy1 row(s1) for the pixel rows s is under.
        auto addToPixelRows = [&](long s) {
            bool dividedByTy = false;
            for (int j = jFirst; j <= H && rows[static_cast<std::size_t>(j)].s0 <= s; ++j) {
                const PixelRow& pr = rows[static_cast<std::size_t>(j)];
                double* sum = sums.get() + static_cast<std::size_t>(j - 1) * w;
                if (s == pr.s0)
                    for (std::size_t i = 0; i < w; ++i)
                        sum[i] = pr.wy0 * rowSum[i];
                if (s > pr.s0 && s < pr.s1) {
                    if (!dividedByTy)
                        quotients(rowSum.data(), rowByTy.data(), w, ty);
                    dividedByTy = true;
                    for (std::size_t i = 0; i < w; ++i)
                        sum[i] = sum[i] + rowByTy[i];
                }
                if (s == pr.s1 && pr.use1)
                    for (std::size_t i = 0; i < w; ++i)
                        sum[i] = sum[i] + pr.wy1 * rowSum[i];
            }
            while (jFirst <= H && rows[static_cast<std::size_t>(jFirst)].last <= s)
                ++jFirst;
        };
        // The gray levels once the range of the whole history is known.
        auto writeGrays = [&](GrayRange range) {
            const GrayScale gs = GrayScale::forRange(range);
            for (int j = 1; j <= H; ++j)
                GrayLevels(sums.get() + static_cast<std::size_t>(j - 1) * w, w, gs, raster.row(j));
            return range;
        };

        // Four columns side by side where the processor and the columns allow
        // it; a row it does not take sends the whole paint the column-by-column
        // way below.
        BoxAverageRows quads;
        if (quads.prepare(cols, N, tx)) {
            rowSum.resize(quads.paddedWidth());
            const std::size_t held = static_cast<std::size_t>(NS * rowLen);
            BoxAverageRows::Range range;
            long s = 0;
            for (; s < NS; ++s) {
                const float* p = data + s * rowLen;
                const float* next = s + 1 < NS ? p + rowLen : nullptr;
                if (!quads.sumRow(p, held - static_cast<std::size_t>(s * rowLen), next,
                        static_cast<std::size_t>(rowLen), rowSum.data(), range))
                    break;
                addToPixelRows(s);
            }
            if (s == NS)
                return writeGrays({ range.min(), range.max() });
            jFirst = 1;
        }

        std::vector<float> lo(data + 1, data + 1 + N), hi(data + 1, data + 1 + N);
        std::vector<double> q(static_cast<std::size_t>(lastCell) + 2);
        for (long s = 0; s < NS; ++s) {
            const float* p = data + s * rowLen;
            boxRow(p, N, lo.data(), hi.data(), q.data(), tx);
            // The next snapshot row is asked from memory while this one's
            // columns are summed, a cache line every few columns: a row is
            // read from memory far more slowly than it is summed.
            const float* next = p + rowLen;
            const float* nextEnd = s + 1 < NS ? next + rowLen : next;
            const std::size_t step = std::max<std::size_t>(1, w * 16 / static_cast<std::size_t>(rowLen + 16));
            // row(s) of every column: d(s,c0) wx0 + sum of d(s,c)/tx + d(s,c1+1) wx1,
            // added left to right; Fixed >= 0 is `fewest` known in advance.
            auto sumColumns = [&]<long Fixed>() {
                std::size_t untilPrefetch = 0;
                for (std::size_t i = 0; i < w; ++i) {
                    const Column& k = cols[i];
                    if (untilPrefetch-- == 0) {
                        untilPrefetch = step - 1;
                        if (next < nextEnd) {
                            __builtin_prefetch(next);
                            next += 16;
                        }
                    }
                    double acc = static_cast<double>(p[k.c0]) * k.wx0;
                    if (Fixed >= 0) {
                        const double* d = q.data() + k.c0 + 1;
                        for (long t = 0; t < Fixed; ++t)
                            acc = acc + d[t];
                        acc = acc + (k.c1 - k.c0 > Fixed ? d[Fixed] : -0.0);
                    } else if (evenColumns) {
                        const double* d = q.data() + k.c0 + 1;
                        for (long t = 0; t < fewest; ++t)
                            acc = acc + d[t];
                        acc = acc + (k.c1 - k.c0 > fewest ? d[fewest] : -0.0);
                    } else {
                        for (long c = k.c0 + 1; c <= k.c1; ++c)
                            acc = acc + q[static_cast<std::size_t>(c)];
                    }
                    if (k.use1)
                        acc = acc + static_cast<double>(p[k.c1 + 1]) * k.wx1;
                    rowSum[i] = acc;
                }
            };
            switch (evenColumns ? fewest : -1) {
            case 1:
                sumColumns.template operator()<1>();
                break;
            case 2:
                sumColumns.template operator()<2>();
                break;
            case 3:
                sumColumns.template operator()<3>();
                break;
            case 4:
                sumColumns.template operator()<4>();
                break;
            case 5:
                sumColumns.template operator()<5>();
                break;
            case 6:
                sumColumns.template operator()<6>();
                break;
            default:
                sumColumns.template operator()<-1>();
                break;
            }
            for (; next < nextEnd; next += 16)
                __builtin_prefetch(next);
            addToPixelRows(s);
        }

        GrayRange range { lo[0], hi[0] };
        for (long j = 1; j < N; ++j) {
            range.vmin = std::min<double>(range.vmin, lo[static_cast<std::size_t>(j)]);
            range.vmax = std::max<double>(range.vmax, hi[static_cast<std::size_t>(j)]);
        }
        return writeGrays(range);
    }

    void fillCoverage(
        const float* data, GrayRaster& raster, const GrayScale& gs, int W, int H, long N, long NS, long rowLen)
    {
        const double sx = static_cast<double>(W) / N;
        const double sy = static_cast<double>(H) / NS;

        // The pixel columns of every cell are the same in every snapshot.
        struct Cell {
            int c0, c1;
            double fx0, fx1;
            bool use1;
        };
        std::vector<Cell> cells(static_cast<std::size_t>(N) + 1);
        double x = 0;
        for (long i = 1; i <= N; ++i) {
            const double x0 = x;
            const double x1 = x0 + sx;
            x = x1;
            Cell& k = cells[static_cast<std::size_t>(i)];
            const long c0 = static_cast<long>(x0) + 1;
            const long c1 = static_cast<long>(x1);
            k.fx0 = c0 - x0;
            k.fx1 = x1 - c1;
            k.use1 = k.fx1 > 1e-5;
            // The spare column W+1 is the last one ever written (sums of the
            // step stay far closer to W than that).
            k.c0 = static_cast<int>(std::min<long>(c0, W + 1));
            k.c1 = static_cast<int>(std::min<long>(c1, W));
        }

        // Raster rows as 0-based arrays over columns 1..W+1: element c-1.
        // `mixed` is fy0 (gp (1 - fx0) + g fx0) of the cell's level g and the
        // level gp of the cell before it.
        auto rule1 = [&](std::int32_t* R, long i, double fy0, double mixed, double g) {
            const Cell& k = cells[static_cast<std::size_t>(i)];
            const double keep = 1 - fy0;
            const double full = fy0 * g;
            std::int32_t* px = R - 1;
            px[k.c0] = whole(px[k.c0] * keep + mixed);
            for (int c = k.c0 + 1; c <= k.c1; ++c)
                px[c] = whole(px[c] * keep + full);
            if (i == N && k.use1)
                px[k.c1 + 1] = whole(px[k.c1 + 1] * keep + full);
        };
        auto rule2 = [&](std::int32_t* R, long i, std::int32_t g) {
            const Cell& k = cells[static_cast<std::size_t>(i)];
            std::int32_t* px = R - 1;
            // A cell inside one pixel column (c1 + 1 == c0) overwrites its
            // blend with g at once.
            if (k.use1 && k.c1 < k.c0) {
                px[k.c0] = g;
                return;
            }
            px[k.c0] = whole(px[k.c0] * (1 - k.fx0) + static_cast<double>(g) * k.fx0);
            for (int c = k.c0 + 1; c <= k.c1; ++c)
                px[c] = g;
            if (k.use1)
                px[k.c1 + 1] = g;
        };

        // Rule 1 of a cell blends pixel c0 with what the cells before it
        // left there, a chain of dependent roundings through every cell of a
        // column when cells are narrower than pixels. A cell whose c0 lies
        // past every pixel the cells before it write starts a piece of the
        // row whose rule-1 pixels are its own, so a few such pieces are
        // blended side by side, each in its own order.
        constexpr int kPieces = 4;
        long cut[kPieces + 1];
        cut[0] = 1;
        cut[kPieces] = N + 1;
        for (int p = 1; p < kPieces; ++p) {
            long i = std::max(cut[p - 1], 1 + N * p / kPieces);
            for (; i <= N; ++i) {
                const Cell& before = cells[static_cast<std::size_t>(i - 1)];
                if (i > 1 && cells[static_cast<std::size_t>(i)].c0 > std::max(before.c0, before.c1))
                    break;
            }
            cut[p] = std::min(i, N + 1);
        }
        long common = N;
        for (int p = 0; p < kPieces; ++p)
            common = std::min(common, cut[p + 1] - cut[p]);

        // Rule 2 into the band row: a cell inside one pixel column only
        // writes its level there, so when the next cell is such a cell of the
        // same column, which writes over it without reading it, its write
        // never shows. The band is written by the other cells alone.
        std::vector<long> bandCells;
        bandCells.reserve(static_cast<std::size_t>(std::min<long>(N, 2L * W + 2)));
        auto inOneColumn = [&](long i) {
            const Cell& k = cells[static_cast<std::size_t>(i)];
            return k.use1 && k.c1 < k.c0;
        };
        for (long i = 1; i <= N; ++i)
            if (!(i < N && inOneColumn(i) && inOneColumn(i + 1)
                    && cells[static_cast<std::size_t>(i + 1)].c0 == cells[static_cast<std::size_t>(i)].c0))
                bandCells.push_back(i);

        // Cells narrower than a pixel column each blend only pixel c0 in rule
        // 1: the columns' chains go four side by side while every level and
        // so every pixel stays in 0..255 (a level outside sends the rest of
        // the paint the cell-by-cell way).
        CoverageChains chains;
        bool chained = N >= 4L * W;
        if (chained) {
            std::vector<int> c0(static_cast<std::size_t>(N) + 1, 1);
            for (long i = 1; i <= N; ++i) {
                const Cell& k = cells[static_cast<std::size_t>(i)];
                c0[static_cast<std::size_t>(i)] = k.c0;
                chained = chained && k.c1 <= k.c0;
            }
            chained = chained && chains.prepare(c0, N, W);
        }

        const std::size_t span = static_cast<std::size_t>(W) + 1;
        std::vector<std::int32_t> gray(static_cast<std::size_t>(N) + 1, 0);
        std::vector<double> mixed(static_cast<std::size_t>(N) + 1), fx0(static_cast<std::size_t>(N) + 1);
        for (long i = 1; i <= N; ++i) {
            fx0[static_cast<std::size_t>(i)] = cells[static_cast<std::size_t>(i)].fx0;
        }
        std::vector<std::int32_t> band(span);
        double y = 0;
        for (long s = 0; s < NS; ++s) {
            const double y0 = y;
            const double y1 = y0 + sy;
            y = y1;
            const long r0 = static_cast<long>(y0) + 1;
            const long r1 = static_cast<long>(y1);
            const double fy0 = r0 - y0;
            const double fy1 = y1 - r1;
            const bool use3 = fy1 > 1e-5;
            if (r0 > H + 1)
                break; // past the spare row: cannot happen for sums of H/NS

            const float* p = data + s * rowLen;
            GrayLevels(p + 1, static_cast<std::size_t>(N), gs, gray.data() + 1);
            // Every cell's blend of its level and the one before it, apart
            // from the pixels it goes into.
            const bool levelsInside
                = MixLevels(gray.data(), static_cast<std::size_t>(N), fx0.data(), fy0, mixed.data());

            std::int32_t* R0 = raster.row(static_cast<int>(r0));
            if (r1 >= r0) {
                // The rows above r0 are untouched so far and every one of them
                // (r0+1..r1, and r1+1 when partly covered) receives the same
                // writes: build one and copy it. Row r0 and that row are
                // independent.
                auto blend = [&](long i) {
                    rule1(R0, i, fy0, mixed[static_cast<std::size_t>(i)], gray[static_cast<std::size_t>(i)]);
                };
                chained = chained && levelsInside;
                if (chained) {
                    chains.blend(R0, mixed.data(), 1 - fy0);
                    const Cell& k = cells[static_cast<std::size_t>(N)];
                    if (k.use1) {
                        std::int32_t* px = R0 - 1;
                        px[k.c1 + 1] = whole(px[k.c1 + 1] * (1 - fy0) + fy0 * gray[static_cast<std::size_t>(N)]);
                    }
                }
                for (long t = 0; !chained && t < common; ++t) {
                    static_assert(kPieces == 4);
                    blend(cut[0] + t);
                    blend(cut[1] + t);
                    blend(cut[2] + t);
                    blend(cut[3] + t);
                }
                for (int p = 0; !chained && p < kPieces; ++p)
                    for (long i = cut[p] + common; i < cut[p + 1]; ++i)
                        blend(i);
                std::fill(band.begin(), band.end(), 0);
                for (const long i : bandCells)
                    rule2(band.data(), i, gray[static_cast<std::size_t>(i)]);
                const long top = std::min<long>(use3 ? r1 + 1 : r1, H + 1);
                for (long r = r0 + 1; r <= top; ++r)
                    std::memcpy(raster.row(static_cast<int>(r)), band.data(), span * sizeof(std::int32_t));
            } else {
                // The band lies inside pixel row r0, which is also its partly
                // covered row r1+1: both writes go to the same row, cell by cell.
                for (long i = 1; i <= N; ++i) {
                    const std::int32_t g = gray[static_cast<std::size_t>(i)];
                    rule1(R0, i, fy0, mixed[static_cast<std::size_t>(i)], gray[static_cast<std::size_t>(i)]);
                    if (use3)
                        rule2(R0, i, g);
                }
            }
        }
    }

} // namespace

long ScanAlign(long width)
{
    return (width + 3) & ~3L;
}

GrayImage MakeGrayImage(int width, int height)
{
    GrayImage img;
    img.width = std::max(0, width);
    img.height = std::max(0, height);
    img.stride = static_cast<int>(ScanAlign(img.width));
    img.bits.assign(static_cast<std::size_t>(img.stride) * static_cast<std::size_t>(img.height), 0);
    return img;
}

void GrayRaster::reset(int width, int height)
{
    if (width <= 0 || height <= 0) {
        width_ = height_ = 0;
        values_.clear();
        return;
    }
    width_ = width;
    height_ = height;
    values_.assign(static_cast<std::size_t>(width + 1) * static_cast<std::size_t>(height + 1), 0);
}

GrayRange FindMinMax(std::span<const float> data, long N, long NS, long rowLen)
{
    if (N < 1 || rowLen < N + 1)
        return {};
    NS = rowsHeld(data.size(), NS, rowLen, N);
    if (NS < 1)
        return {};
    // Running extremes per cell, row by row through memory.
    const float* first = data.data() + 1;
    std::vector<float> lo(first, first + N), hi(first, first + N);
    for (long s = 1; s < NS; ++s) {
        const float* p = data.data() + s * rowLen + 1;
        for (long j = 0; j < N; ++j) {
            lo[static_cast<std::size_t>(j)]
                = p[j] < lo[static_cast<std::size_t>(j)] ? p[j] : lo[static_cast<std::size_t>(j)];
            hi[static_cast<std::size_t>(j)]
                = p[j] > hi[static_cast<std::size_t>(j)] ? p[j] : hi[static_cast<std::size_t>(j)];
        }
    }
    float vmin = lo[0], vmax = hi[0];
    for (long j = 1; j < N; ++j) {
        vmin = std::min(vmin, lo[static_cast<std::size_t>(j)]);
        vmax = std::max(vmax, hi[static_cast<std::size_t>(j)]);
    }
    return { vmin, vmax };
}

GrayScale GrayScale::forRange(GrayRange range)
{
    GrayScale g;
    g.vmin = range.vmin;
    const double top = std::max(range.vmax, range.vmin * 1.00000001 + 1e-10);
    g.scale = 245 / (top - range.vmin);
    // All values equal and negative: top == vmin. Every value is vmin then,
    // so any finite scale gives level 5; 0 keeps it finite.
    if (!(std::isfinite(g.scale) && g.scale > 0))
        g.scale = 0;
    return g;
}

GrayMethod ChooseGrayMethod(int W, int H, long N, long NS)
{
    return (NS > H + 1 && N > W + 1) ? GrayMethod::BoxAverage : GrayMethod::CoverageBlending;
}

GrayRange FillGrayRaster(
    std::span<const float> data, GrayRaster& raster, int W, int H, long N, long NS, long rowLen)
{
    raster.reset(0, 0);
    if (N < 1 || rowLen < N + 2)
        return {};
    NS = rowsHeld(data.size(), NS, rowLen, N + 1);
    if (NS < 1 || W < 1 || H < 1)
        return FindMinMax(data, N, NS, rowLen);
    raster.reset(W, H);
    // The box average finds the range in the same pass over the history.
    if (ChooseGrayMethod(W, H, N, NS) == GrayMethod::BoxAverage)
        return fillBoxAverage(data.data(), raster, W, H, N, NS, rowLen);
    const GrayRange range = FindMinMax(data, N, NS, rowLen);
    fillCoverage(data.data(), raster, GrayScale::forRange(range), W, H, N, NS, rowLen);
    return range;
}

void CopyRasterToDib(const GrayRaster& raster, GrayImage& image)
{
    if (image.width < 0 || image.height < 0 || image.stride < image.width
        || image.bits.size() < static_cast<std::size_t>(image.stride) * static_cast<std::size_t>(image.height))
        image = MakeGrayImage(image.width, image.height);
    const int W = raster.width(), H = raster.height();
    const int bmW = image.width, bmH = image.height;
    const std::size_t stride = static_cast<std::size_t>(image.stride);
    const int f = (W > 0 && H > 0) ? std::min(bmW / W, bmH / H) : 0;

    std::vector<std::uint8_t> line(stride, 0);
    for (int r = 1; f > 0 && r <= H; ++r) {
        const std::int32_t* src = raster.row(r);
        std::uint8_t* out = line.data();
        for (int c = 0; c < W; ++c) {
            const auto v = static_cast<std::uint8_t>(std::clamp<std::int32_t>(src[c], 0, 255));
            std::memset(out, v, static_cast<std::size_t>(f));
            out += f;
        }
        for (int k = (r - 1) * f; k < r * f; ++k)
            std::memcpy(image.bits.data() + static_cast<std::size_t>(k) * stride, line.data(), stride);
    }
    const int drawn = f * H;
    if (drawn < bmH)
        std::memset(image.bits.data() + static_cast<std::size_t>(drawn) * stride, 0,
            static_cast<std::size_t>(bmH - drawn) * stride);
}

std::optional<GrayRange> DrawSpaceTimeImage(
    std::span<const float> data, long N, long NS, long rowLen, int W, int H, GrayImage& image)
{
    GrayRaster raster;
    const GrayRange range = FillGrayRaster(data, raster, W, H, N, NS, rowLen);
    if (raster.empty())
        return std::nullopt;
    CopyRasterToDib(raster, image);
    return range;
}

} // namespace tamrel
