// SPDX-License-Identifier: GPL-3.0-or-later
#include "spacetime/BoxAverageRows.h"

#include <algorithm>
#include <cmath>
#include <cstring>
#include <limits>
#include <utility>

// The four-column path is built by GCC only: Clang does not apply the
// target pragma below to the lambdas inside, and builds the plain path.
#if defined(__GNUC__) && !defined(__clang__) && defined(__x86_64__)
#include <immintrin.h>
#define TAMREL_BOX_ROWS 1
#endif

namespace tamrel {

BoxAverageRows::Range::Range()
{
    std::fill(std::begin(lo), std::end(lo), std::numeric_limits<float>::infinity());
    std::fill(std::begin(hi), std::end(hi), -std::numeric_limits<float>::infinity());
}

float BoxAverageRows::Range::min() const
{
    return *std::min_element(std::begin(lo), std::end(lo));
}

float BoxAverageRows::Range::max() const
{
    return *std::max_element(std::begin(hi), std::end(hi));
}

#ifdef TAMREL_BOX_ROWS

namespace {

    bool haveFusedMultiplyAdd()
    {
        static const bool have = __builtin_cpu_supports("avx2") && __builtin_cpu_supports("fma");
        return have;
    }

} // namespace

// Everything from here to the end of the quads is built for processors with
// AVX2 and FMA and called only on them; lambdas inside take the target too.
#pragma GCC push_options
#pragma GCC target("avx2,fma")

namespace {

    // A finite float that is not -0, read from its bits.
    bool plainFinite(float v)
    {
        std::uint32_t bits;
        std::memcpy(&bits, &v, sizeof bits);
        return (bits & 0x7fffffffu) <= 0x7f7fffffu && bits != 0x80000000u;
    }

    // v / d as the division rounds it, for finite v and d > 1 (y = 1/d): with
    // q = v*y rounded, the remainder v - q*d is exact and q + remainder*y
    // rounds to the rounded quotient.
    inline double quotient(double v, double d, double y)
    {
        const double rounded = v * y;
        return std::fma(std::fma(-rounded, d, v), y, rounded);
    }
    inline __m256d quotient(__m256d v, __m256d d, __m256d y)
    {
        const __m256d rounded = _mm256_mul_pd(v, y);
        return _mm256_fmadd_pd(_mm256_fnmadd_pd(rounded, d, v), y, rounded);
    }

    // One column alone, in the same order of additions.
    double sumColumn(const float* p, const BoxColumn& k, double tx, double y)
    {
        double acc = static_cast<double>(p[k.c0]) * k.wx0;
        for (long c = k.c0 + 1; c <= k.c1; ++c)
            acc = acc + quotient(static_cast<double>(p[c]), tx, y);
        if (k.use1)
            acc = acc + static_cast<double>(p[k.c1 + 1]) * k.wx1;
        return acc;
    }

    // Cells 1..N into the range (N >= 8); false when one of them, or cell
    // N+1 (a column may add it), is not finite or is -0.
    bool scanRow(const float* p, long N, BoxAverageRows::Range& range)
    {
        __m256 lo = _mm256_loadu_ps(range.lo), hi = _mm256_loadu_ps(range.hi);
        const __m256i magnitude = _mm256_set1_epi32(0x7fffffff);
        const __m256i largest = _mm256_set1_epi32(0x7f7fffff);
        const __m256i negativeZero = _mm256_set1_epi32(static_cast<int>(0x80000000u));
        __m256i odd = _mm256_setzero_si256();
        auto take = [&](const float* at) {
            const __m256 v = _mm256_loadu_ps(at);
            lo = _mm256_min_ps(lo, v);
            hi = _mm256_max_ps(hi, v);
            const __m256i bits = _mm256_castps_si256(v);
            odd = _mm256_or_si256(odd,
                _mm256_or_si256(_mm256_cmpgt_epi32(_mm256_and_si256(bits, magnitude), largest),
                    _mm256_cmpeq_epi32(bits, negativeZero)));
        };
        long j = 1;
        for (; j + 8 <= N + 1; j += 8)
            take(p + j);
        // The last cells once more with the ones before them: a cell seen
        // twice changes no extreme.
        if (j <= N)
            take(p + N - 7);
        if (!_mm256_testz_si256(odd, odd) || !plainFinite(p[N + 1]))
            return false;
        _mm256_storeu_ps(range.lo, lo);
        _mm256_storeu_ps(range.hi, hi);
        return true;
    }

    struct QuadWeights {
        __m256d tx, y;
    };

    // Four columns side by side: cells c0..c0+7 of each, turned so that one
    // vector holds the t-th cell of the four columns. Every column has Fewest
    // whole cells or one more.
    template <int Fewest> struct Quads {
        static_assert(Fewest >= 0 && Fewest + 2 <= 7);

        template <class Quad> static __m256d sum(const float* p, const Quad& q, const QuadWeights& k)
        {
            const __m256 l0 = _mm256_loadu_ps(p + q.c0[0]);
            const __m256 l1 = _mm256_loadu_ps(p + q.c0[1]);
            const __m256 l2 = _mm256_loadu_ps(p + q.c0[2]);
            const __m256 l3 = _mm256_loadu_ps(p + q.c0[3]);
            const __m256 a01 = _mm256_unpacklo_ps(l0, l1), b01 = _mm256_unpackhi_ps(l0, l1);
            const __m256 a23 = _mm256_unpacklo_ps(l2, l3), b23 = _mm256_unpackhi_ps(l2, l3);
            // r[t] holds cell t of the four columns in its low half, cell t+4 in its high half.
            const __m256 r[4] = {
                _mm256_shuffle_ps(a01, a23, 0x44),
                _mm256_shuffle_ps(a01, a23, 0xEE),
                _mm256_shuffle_ps(b01, b23, 0x44),
                _mm256_shuffle_ps(b01, b23, 0xEE),
            };
            auto cell = [&](int t) {
                return _mm256_cvtps_pd(t < 4 ? _mm256_castps256_ps128(r[t]) : _mm256_extractf128_ps(r[t - 4], 1));
            };
            __m256d acc = _mm256_mul_pd(cell(0), _mm256_loadu_pd(q.wx0));
            [&]<int... T>(std::integer_sequence<int, T...>)
            {
                ((acc = _mm256_add_pd(acc, quotient(cell(T + 1), k.tx, k.y))), ...);
            }
            (std::make_integer_sequence<int, Fewest> {});
            const __m256d wx1 = _mm256_loadu_pd(q.wx1);
            // The cell after the shorter columns' whole cells: a whole cell of
            // the longer ones, the partial last cell (or nothing) of the others.
            const __m256d after = cell(Fewest + 1);
            const __m256d longer = _mm256_loadu_pd(reinterpret_cast<const double*>(q.longer));
            const __m256d partial = _mm256_and_pd(
                _mm256_mul_pd(after, wx1), _mm256_loadu_pd(reinterpret_cast<const double*>(q.shortUse)));
            acc = _mm256_add_pd(acc, _mm256_blendv_pd(partial, quotient(after, k.tx, k.y), longer));
            // The partial last cell of the longer columns. Lanes that add
            // nothing add +0, which leaves every sum of nonzero finite terms
            // (never -0) as it is, as the -0 and the skipped term of a
            // column alone do.
            const __m256d last = _mm256_and_pd(
                _mm256_mul_pd(cell(Fewest + 2), wx1), _mm256_loadu_pd(reinterpret_cast<const double*>(q.longUse)));
            return _mm256_add_pd(acc, last);
        }
    };

    template <int Fewest, class Quad>
    void sumQuads(const float* p, std::size_t readable, const float* next, std::size_t nextLength,
        const std::vector<Quad>& quads, const std::vector<BoxColumn>& cols, double tx, double* rowSum)
    {
        const double y = 1 / tx;
        const QuadWeights k { _mm256_set1_pd(tx), _mm256_set1_pd(y) };
        // The next row is asked from memory while this one is summed, spread
        // over the quads: a row comes from memory far more slowly than it
        // is summed.
        const float* ask = next;
        const float* askEnd = next ? next + nextLength : next;
        const std::size_t lines = (nextLength + 15) / 16;
        const std::size_t perQuad = quads.empty() ? 1 : (lines + quads.size() - 1) / quads.size();
        for (std::size_t i = 0; i < quads.size(); ++i) {
            for (std::size_t a = 0; a < perQuad && ask < askEnd; ++a, ask += 16)
                _mm_prefetch(reinterpret_cast<const char*>(ask), _MM_HINT_T0);
            const Quad& q = quads[i];
            if (static_cast<std::size_t>(q.c0[3]) + 8 <= readable) {
                _mm256_storeu_pd(rowSum + 4 * i, Quads<Fewest>::sum(p, q, k));
                continue;
            }
            // The last columns of the last row: one at a time, so nothing
            // past the history is read.
            for (std::size_t lane = 0; lane < 4; ++lane) {
                const std::size_t c = std::min(4 * i + lane, cols.size() - 1);
                rowSum[4 * i + lane] = sumColumn(p, cols[c], tx, y);
            }
        }
    }

} // namespace

#pragma GCC pop_options

bool BoxAverageRows::prepare(const std::vector<BoxColumn>& cols, long N, double tx)
{
    quads_.clear();
    cols_.clear();
    if (!haveFusedMultiplyAdd() || cols.empty() || N < 8 || !(tx > 1))
        return false;
    long fewest = std::numeric_limits<long>::max(), most = std::numeric_limits<long>::min();
    for (const BoxColumn& k : cols) {
        fewest = std::min(fewest, k.c1 - k.c0);
        most = std::max(most, k.c1 - k.c0);
        // Every cell a column reads lies in the row.
        if (k.c0 < 1 || k.c1 + 1 > N + 1 + (k.use1 ? 0 : 1))
            return false;
    }
    if (fewest < 0 || fewest > 5 || most - fewest > 1)
        return false;
    const std::size_t w = cols.size();
    quads_.resize((w + 3) / 4);
    constexpr std::uint64_t all = ~std::uint64_t { 0 };
    for (std::size_t i = 0; i < w + (4 - w % 4) % 4; ++i) {
        const BoxColumn& k = cols[std::min(i, w - 1)];
        Quad& q = quads_[i / 4];
        const std::size_t lane = i % 4;
        const bool longer = k.c1 - k.c0 > fewest;
        q.c0[lane] = static_cast<std::int32_t>(k.c0);
        q.wx0[lane] = k.wx0;
        q.wx1[lane] = k.wx1;
        q.longer[lane] = longer ? all : 0;
        q.shortUse[lane] = !longer && k.use1 ? all : 0;
        q.longUse[lane] = longer && k.use1 ? all : 0;
    }
    cols_ = cols;
    N_ = N;
    fewest_ = static_cast<int>(fewest);
    tx_ = tx;
    return true;
}

bool BoxAverageRows::sumRow(const float* p, std::size_t readable, const float* next, std::size_t nextLength,
    double* rowSum, Range& range) const
{
    if (quads_.empty() || !scanRow(p, N_, range))
        return false;
    switch (fewest_) {
    case 0:
        sumQuads<0>(p, readable, next, nextLength, quads_, cols_, tx_, rowSum);
        break;
    case 1:
        sumQuads<1>(p, readable, next, nextLength, quads_, cols_, tx_, rowSum);
        break;
    case 2:
        sumQuads<2>(p, readable, next, nextLength, quads_, cols_, tx_, rowSum);
        break;
    case 3:
        sumQuads<3>(p, readable, next, nextLength, quads_, cols_, tx_, rowSum);
        break;
    case 4:
        sumQuads<4>(p, readable, next, nextLength, quads_, cols_, tx_, rowSum);
        break;
    default:
        sumQuads<5>(p, readable, next, nextLength, quads_, cols_, tx_, rowSum);
        break;
    }
    return true;
}

#else

bool BoxAverageRows::prepare(const std::vector<BoxColumn>&, long, double)
{
    return false;
}

bool BoxAverageRows::sumRow(const float*, std::size_t, const float*, std::size_t, double*, Range&) const
{
    return false;
}

#endif

} // namespace tamrel
