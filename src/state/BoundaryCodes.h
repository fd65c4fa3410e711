// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The boundary codes MnBdry and MxBdry hold: the numbers the "Bdrys" prompts
// offer and the set-up file reads and writes. What each puts into the ghost
// cells is in state/Boundaries.h.

#include <cstdint>

namespace tamrel {

inline constexpr std::int32_t kReflectingBoundary = 1;
inline constexpr std::int32_t kContinuationBoundary = 2;
inline constexpr std::int32_t kPeriodicBoundary = 4;

// Whether a code is one the lab offers (a set-up file holds no other; the
// prompts store any whole number as typed).
constexpr bool IsOfferedBoundaryCode(std::int32_t code)
{
    return code == kReflectingBoundary || code == kContinuationBoundary || code == kPeriodicBoundary;
}

} // namespace tamrel
