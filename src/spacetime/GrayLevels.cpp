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

} // namespace tamrel
