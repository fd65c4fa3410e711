// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Ghost cells and outer interfaces from the boundary types.

#include "state/ExperimentState.h"

namespace tamrel {

// Fill ghost cells 1-B..0 and N+1..N+B of Rho, P, VX, VY, FSmoke (and under
// a two-fluid scheme the ten fluid arrays) and interfaces X(1-B)..X(0),
// X(N+2)..X(N+1+B) by the rules of state/Boundaries.h, VX negated at a wall.
void FillGhostCells(ExperimentState& s);

// Begin's fill of the two boundary cells 0 and N+1 of Rho, P, VX, VY,
// FSmoke: periodic copies while RiemannPlots is nonzero, otherwise
// reflection (VX negated).
void FillBoundaryCellsForBegin(ExperimentState& s);

} // namespace tamrel
