// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The boundary types of the two ends of the grid (codes in
// state/BoundaryCodes.h) and what they put into the ghost cells 1-B..0 and
// N+1..N+B and the outer interfaces: the one rule for the time step's fill
// and the smoke plot's sub-cell profile. MnBdry periodic joins both ends
// whatever MxBdry holds; otherwise each end is a wall when its code is
// reflecting and lets waves out (continuation) for any other code, the
// prompts taking any whole number as typed.

#include "state/BoundaryCodes.h"
#include "state/ExperimentState.h"

namespace tamrel {

enum class BoundaryKind {
    Reflecting, // a wall: cells mirrored, the normal velocity negated
    Continuation, // the end cell's values carried outwards
    Periodic, // both ends joined
};

BoundaryKind LeftBoundaryKind(const ExperimentState& s);
BoundaryKind RightBoundaryKind(const ExperimentState& s);

// Interfaces X(1-B)..X(0) and X(N+2)..X(N+1+B) of s (N = NGridCells,
// B = NBdy): shifted by the domain length when periodic, mirrored at a wall,
// spaced as the end cell under continuation. `x` must hold 1-B..N+1+B.
void FillGhostEdges(const ExperimentState& s, BoundedArray<double>& x);

// Ghost cells 1-B..0 and N+1..N+B of one cell array: copies of the far end
// when periodic, mirrored cells times `wallSign` at a wall (-1 for the
// velocity across it), the end cell's value under continuation. `q` must
// hold 1-B..N+B.
void FillGhostValues(const ExperimentState& s, BoundedArray<double>& q, double wallSign = 1.0);

} // namespace tamrel
