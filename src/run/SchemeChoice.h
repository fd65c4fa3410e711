// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Taking a scheme for the set-up in the grid: the name as the scheme table
// spells it, and for a scheme that moves two fluids the fluid arrays laid out
// from the grid (fluid 1 the gas, fluid 2 at RhoRatio2 times its density, the
// smoke streams as fluid 2) with a fresh time step.

#include <string_view>

#include "state/ExperimentState.h"

namespace tamrel {

// False (nothing changed) when the name is none of the schemes.
bool TakeScheme(ExperimentState& s, std::string_view name);

} // namespace tamrel
