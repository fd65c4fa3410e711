// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Whole-number conversion and integer division as the lab uses them:
// a real goes to the nearest whole number, an exact half to the even
// neighbour; integer division truncates toward zero.

#include <cmath>
#include <cstdint>
#include <limits>

namespace tamrel {

// Nearest whole number, halves to even. Values beyond the 32-bit range
// are clamped (a 32-bit Long would overflow there); NaN gives 0.
inline std::int32_t roundToLong(double v)
{
    if (std::isnan(v))
        return 0;
    const double r = std::nearbyint(v); // default rounding mode: ties to even
    if (r >= 2147483647.0)
        return std::numeric_limits<std::int32_t>::max();
    if (r <= -2147483648.0)
        return std::numeric_limits<std::int32_t>::min();
    return static_cast<std::int32_t>(r);
}

// Integer division truncating toward zero, the "\" of the lab's formulas.
inline long idiv(long a, long b)
{
    return a / b;
}

} // namespace tamrel
