// SPDX-License-Identifier: GPL-3.0-or-later
#include "spacetime/CoverageChains.h"

#include <algorithm>

#if defined(__GNUC__) && defined(__x86_64__)
#include <immintrin.h>
#define TAMREL_COVERAGE_CHAINS 1
#endif

namespace tamrel {

#ifdef TAMREL_COVERAGE_CHAINS

bool CoverageChains::prepare(const std::vector<int>& c0, long N, int W)
{
    groups_.clear();
    W_ = W;
    if (!__builtin_cpu_supports("avx2") || N < 1 || W < 1)
        return false;
    // Cells of every pixel column 1..W+1.
    std::vector<std::int32_t> start(static_cast<std::size_t>(W) + 2, 1), count(static_cast<std::size_t>(W) + 2, 0);
    for (long i = 1; i <= N; ++i) {
        const int c = c0[static_cast<std::size_t>(i)];
        if (c < 1 || c > W + 1 || (i > 1 && c < c0[static_cast<std::size_t>(i - 1)]))
            return false;
        if (count[static_cast<std::size_t>(c)]++ == 0)
            start[static_cast<std::size_t>(c)] = static_cast<std::int32_t>(i);
    }
    for (int first = 1; first <= W + 1; first += 4) {
        Group g {};
        g.firstPixel = first;
        for (int lane = 0; lane < 4; ++lane) {
            const int c = first + lane;
            g.start[lane] = c <= W + 1 ? start[static_cast<std::size_t>(c)] : 1;
            g.count[lane] = c <= W + 1 ? count[static_cast<std::size_t>(c)] : 0;
            g.steps = std::max(g.steps, static_cast<int>(g.count[lane]));
        }
        groups_.push_back(g);
    }
    return true;
}

__attribute__((target("avx2"))) void CoverageChains::blend(std::int32_t* R, const double* mixed, double keep) const
{
    const __m256d keepV = _mm256_set1_pd(keep);
    // [x] of |x| < 2^51 as the sum with 1.5 * 2^52 gives it.
    const __m256d magic = _mm256_set1_pd(6755399441055744.0);
    const int last = W_ + 1; // pixels 1..W+1 are R[0..W]
    // Four groups at once: sixteen chains, each step of one independent of
    // the others, so the roundings of one wait while the others go on.
    constexpr std::size_t kAtOnce = 4;
    for (std::size_t first = 0; first < groups_.size(); first += kAtOnce) {
        const std::size_t n = std::min(kAtOnce, groups_.size() - first);
        __m256d v[kAtOnce];
        __m128i start[kAtOnce], count[kAtOnce];
        int steps = 0;
        for (std::size_t k = 0; k < kAtOnce; ++k) {
            const Group& g = groups_[first + std::min(k, n - 1)];
            std::int32_t px[4] = { 0, 0, 0, 0 };
            for (int lane = 0; lane < 4; ++lane)
                if (g.firstPixel + lane <= last)
                    px[lane] = R[g.firstPixel + lane - 1];
            v[k] = _mm256_cvtepi32_pd(_mm_loadu_si128(reinterpret_cast<const __m128i*>(px)));
            start[k] = _mm_loadu_si128(reinterpret_cast<const __m128i*>(g.start));
            count[k] = _mm_loadu_si128(reinterpret_cast<const __m128i*>(g.count));
            steps = std::max(steps, g.steps);
        }
        for (int t = 0; t < steps; ++t) {
            const __m128i tv = _mm_set1_epi32(t);
            for (std::size_t k = 0; k < kAtOnce; ++k) {
                const __m128i live = _mm_cmpgt_epi32(count[k], tv);
                // Lanes past their cells read their first cell and keep their pixel.
                const __m128i index = _mm_add_epi32(start[k], _mm_and_si128(tv, live));
                const __m256d m = _mm256_mask_i32gather_pd(
                    _mm256_setzero_pd(), mixed, index, _mm256_castsi256_pd(_mm256_set1_epi64x(-1)), 8);
                const __m256d x = _mm256_add_pd(_mm256_mul_pd(v[k], keepV), m);
                const __m256d rounded = _mm256_sub_pd(_mm256_add_pd(x, magic), magic);
                v[k] = _mm256_blendv_pd(v[k], rounded, _mm256_castsi256_pd(_mm256_cvtepi32_epi64(live)));
            }
        }
        for (std::size_t k = 0; k < n; ++k) {
            const Group& g = groups_[first + k];
            std::int32_t px[4];
            _mm_storeu_si128(reinterpret_cast<__m128i*>(px), _mm256_cvttpd_epi32(v[k]));
            for (int lane = 0; lane < 4; ++lane)
                if (g.firstPixel + lane <= last)
                    R[g.firstPixel + lane - 1] = px[lane];
        }
    }
}

#else

bool CoverageChains::prepare(const std::vector<int>&, long, int)
{
    return false;
}

void CoverageChains::blend(std::int32_t*, const double*, double) const { }

#endif

} // namespace tamrel
