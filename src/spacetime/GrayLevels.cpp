// SPDX-License-Identifier: GPL-3.0-or-later
#include "spacetime/GrayLevels.h"

#include "spacetime/SpaceTimeImage.h"

#if defined(__GNUC__) && defined(__x86_64__)
#include <immintrin.h>
#define TAMREL_GRAY_LEVELS_AVX2 1
#endif

namespace tamrel {

namespace {

    template <class T> void levelsOneByOne(const T* v, std::size_t n, const GrayScale& g, std::int32_t* out)
    {
        for (std::size_t i = 0; i < n; ++i)
            out[i] = RoundedWhole(g.scale * (static_cast<double>(v[i]) - g.vmin)) + 5;
    }

#ifdef TAMREL_GRAY_LEVELS_AVX2
    bool haveAvx2()
    {
        static const bool have = __builtin_cpu_supports("avx2");
        return have;
    }

    inline __attribute__((target("avx2"))) __m256d fourValues(const float* v)
    {
        return _mm256_cvtps_pd(_mm_loadu_ps(v));
    }
    inline __attribute__((target("avx2"))) __m256d fourValues(const double* v)
    {
        return _mm256_loadu_pd(v);
    }

    // Four at a time: the conversion rounds as the hardware's default
    // rounding does, as the sum with 1.5 * 2^52 does; four values not all
    // inside the clamp go one by one.
    template <class T>
    __attribute__((target("avx2"))) void levelsFourByFour(
        const T* v, std::size_t n, const GrayScale& g, std::int32_t* out)
    {
        const __m256d vmin = _mm256_set1_pd(g.vmin), scale = _mm256_set1_pd(g.scale);
        const __m256d low = _mm256_set1_pd(-1e9), high = _mm256_set1_pd(1e9);
        const __m128i five = _mm_set1_epi32(5);
        std::size_t i = 0;
        for (; i + 4 <= n; i += 4) {
            const __m256d x = _mm256_mul_pd(scale, _mm256_sub_pd(fourValues(v + i), vmin));
            const __m256d inside
                = _mm256_and_pd(_mm256_cmp_pd(x, low, _CMP_GT_OQ), _mm256_cmp_pd(x, high, _CMP_LT_OQ));
            if (_mm256_movemask_pd(inside) != 0xF) {
                levelsOneByOne(v + i, 4, g, out + i);
                continue;
            }
            _mm_storeu_si128(reinterpret_cast<__m128i*>(out + i), _mm_add_epi32(_mm256_cvtpd_epi32(x), five));
        }
        levelsOneByOne(v + i, n - i, g, out + i);
    }
#endif

    bool mixOneByOne(
        const std::int32_t* g, std::size_t from, std::size_t n, const double* fx0, double fy0, double* mixed)
    {
        bool inside = true;
        for (std::size_t i = from; i <= n; ++i) {
            mixed[i] = fy0 * (static_cast<double>(g[i - 1]) * (1 - fx0[i]) + static_cast<double>(g[i]) * fx0[i]);
            inside = inside && g[i] >= 0 && g[i] <= 255;
        }
        return inside;
    }

#ifdef TAMREL_GRAY_LEVELS_AVX2
    __attribute__((target("avx2"))) bool mixFourByFour(
        const std::int32_t* g, std::size_t n, const double* fx0, double fy0, double* mixed)
    {
        const __m256d f = _mm256_set1_pd(fy0), one = _mm256_set1_pd(1.0);
        __m128i lowest = _mm_setzero_si128(), highest = _mm_setzero_si128();
        std::size_t i = 1;
        for (; i + 3 <= n; i += 4) {
            const __m128i gi = _mm_loadu_si128(reinterpret_cast<const __m128i*>(g + i));
            const __m256d here = _mm256_cvtepi32_pd(gi);
            const __m256d before
                = _mm256_cvtepi32_pd(_mm_loadu_si128(reinterpret_cast<const __m128i*>(g + i - 1)));
            const __m256d w = _mm256_loadu_pd(fx0 + i);
            const __m256d sum
                = _mm256_add_pd(_mm256_mul_pd(before, _mm256_sub_pd(one, w)), _mm256_mul_pd(here, w));
            _mm256_storeu_pd(mixed + i, _mm256_mul_pd(f, sum));
            lowest = _mm_min_epi32(lowest, gi);
            highest = _mm_max_epi32(highest, gi);
        }
        const bool tail = mixOneByOne(g, i, n, fx0, fy0, mixed);
        const __m128i outside = _mm_or_si128(
            _mm_cmplt_epi32(lowest, _mm_setzero_si128()), _mm_cmpgt_epi32(highest, _mm_set1_epi32(255)));
        return tail && _mm_testz_si128(outside, outside);
    }
#endif

    template <class T> void levels(const T* v, std::size_t n, const GrayScale& g, std::int32_t* out)
    {
#ifdef TAMREL_GRAY_LEVELS_AVX2
        if (haveAvx2())
            return levelsFourByFour(v, n, g, out);
#endif
        levelsOneByOne(v, n, g, out);
    }

} // namespace

void GrayLevels(const float* v, std::size_t n, const GrayScale& scale, std::int32_t* out)
{
    levels(v, n, scale, out);
}

void GrayLevels(const double* v, std::size_t n, const GrayScale& scale, std::int32_t* out)
{
    levels(v, n, scale, out);
}

bool MixLevels(const std::int32_t* g, std::size_t n, const double* fx0, double fy0, double* mixed)
{
#ifdef TAMREL_GRAY_LEVELS_AVX2
    if (haveAvx2())
        return mixFourByFour(g, n, fx0, fy0, mixed);
#endif
    return mixOneByOne(g, 1, n, fx0, fy0, mixed);
}

} // namespace tamrel
