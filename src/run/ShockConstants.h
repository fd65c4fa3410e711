// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The ranges the shock constants of "Get Diff Consts" take. Outside them the
// schemes' shock treatment stops meaning what it says: a negative diffusion
// would anti-diffuse at shocks, a negative detection constant flattens every
// converging cell, a negative flattening weight sharpens where it should
// flatten; far above the defaults diffusion (Difcon / 10 of the jump per unit
// of compression) swamps the solution and detection finds no shock at all.

#include <string>
#include <string_view>

namespace tamrel {

struct ShockConstantRange {
    std::string_view title; // the prompt's title, which names the constant
    double lo, hi; // inclusive
};

inline constexpr ShockConstantRange kDifconRange { "Get difcon", 0.0, 10.0 };
inline constexpr ShockConstantRange kShkjmpRange { "Get shkjmp", 0.0, 10.0 };
inline constexpr ShockConstantRange kWavhafRange { "Get wavhaf", 0.0, 10.0 };

// Why `value` is refused for the constant of `range` ("" when it lies in the
// range): "Get shkjmp: -1 is outside 0 to 10; the value before is kept."
std::string ShockConstantRefusal(const ShockConstantRange& range, double value);

} // namespace tamrel
