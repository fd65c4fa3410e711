// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Plot ranges of density, pressure and velocity: each range is pushed 5 percent
// of its span beyond every new extreme (the 1.05 / 0.05 rule).

#include "state/ExperimentState.h"

namespace tamrel {

// The 1.05 / 0.05 rule for one value: when v reaches or crosses the maximum,
// the maximum moves 5 % of the span beyond it; then, when v reaches or
// crosses the minimum, the minimum likewise (using the new maximum), raised
// to 0 when clampAtZero.
inline void WidenRange(double v, double& lo, double& hi, bool clampAtZero)
{
    if (v >= hi)
        hi = 1.05 * v - 0.05 * lo;
    if (v <= lo) {
        lo = 1.05 * v - 0.05 * hi;
        if (clampAtZero && lo < 0)
            lo = 0;
    }
}

// Full fit at Begin and Restart: both ends start at cell 1, then cells
// 0..N+1 widen them; a range of zero width is opened by 5 percent of the
// value (density, pressure) or of the sound speed of cell 1 (velocity).
// Density and pressure minima never go below 0.
void FitPlotRanges(ExperimentState& s);

// Widening during a run: cells 1..N, ranges only grow.
void WidenPlotRanges(ExperimentState& s);

} // namespace tamrel
