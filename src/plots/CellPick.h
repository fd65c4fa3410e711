// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Which grid cell lies under a pointer on a picture that maps the grid
// across its width (the line plots in twips, the space-time picture in
// pixels): the cell whose interval [X(i), X(i+1)) holds the pointer.

#include "state/ExperimentState.h"

namespace tamrel {

// xscale = W / (X(N+1) - X(1)), xi = pointerX / xscale; the largest i in
// 1..N with xi >= X(i), 0 if there is none (also for an empty picture or
// grid). A press exactly on an interface picks the cell to its right; the
// right edge picks N.
Long PickCell(const BoundedArray<double>& X, long N, double W, double pointerX);

} // namespace tamrel
