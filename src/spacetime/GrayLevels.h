// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Gray levels of many values at once: level(v) = [scale * (v - vmin)] + 5,
// the whole part to the nearest whole number, halves to even, exactly as
// one value at a time.

#include <cstddef>
#include <cstdint>

namespace tamrel {

struct GrayScale;

// Nearest whole number, halves to even, for |x| < 2^51: adding and taking
// away 1.5 * 2^52 leaves the sum with no fraction bits, and the hardware's
// default rounding picks the even neighbour on a tie (what nearbyint does,
// without a library call per pixel). Beyond +-1e9 the value is clamped;
// NaN gives 0. Gray levels and blends never come near the clamp.
inline std::int32_t RoundedWhole(double x)
{
    if (!(x > -1e9 && x < 1e9))
        return x > 0 ? 1000000000 : (x < 0 ? -1000000000 : 0);
    constexpr double kMagic = 6755399441055744.0;
    return static_cast<std::int32_t>((x + kMagic) - kMagic);
}

// out[i] = level(v[i]) for i < n.
void GrayLevels(const float* v, std::size_t n, const GrayScale& scale, std::int32_t* out);
void GrayLevels(const double* v, std::size_t n, const GrayScale& scale, std::int32_t* out);

// For cells i = 1..n of levels g[0..n], the blend of a cell's level with
// its left neighbour's:
//   mixed[i] = fy0 (g[i-1] (1 - fx0[i]) + g[i] fx0[i]);
// true when every level g[1..n] lies in 0..255.
bool MixLevels(const std::int32_t* g, std::size_t n, const double* fx0, double fy0, double* mixed);

} // namespace tamrel
