#pragma once
// Plot ranges of density, pressure and velocity: each range is pushed 5 percent
// of its span beyond every new extreme (the 1.05 / 0.05 rule).

#include "app/state/ExperimentState.h"

namespace tamrel {

// Full fit at Begin and Restart: both ends start at cell 1, then cells
// 0..N+1 widen them; a range of zero width is opened by 5 percent of the
// value (density, pressure) or of the sound speed of cell 1 (velocity).
// Density and pressure minima never go below 0.
void FitPlotRanges(ExperimentState& s);

// Widening during a run: cells 1..N, ranges only grow.
void WidenPlotRanges(ExperimentState& s);

} // namespace tamrel
