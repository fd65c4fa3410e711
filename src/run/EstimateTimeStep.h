// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Sound speeds and the first time step of a state from the Courant condition.

#include "state/ExperimentState.h"

namespace tamrel {

// Ratio of specific heats of cell i: Gamma, or under the multifluid scheme
// the mixture of the two fluids weighted by the fluid-2 fraction (FSmoke):
// ((Rho2 Gamma2 - Rho1 Gamma1) FSmoke + Rho1 Gamma1) / Rho.
double CellGamma(const ExperimentState& s, long i);

// X(0), X(N+2), SoundSpeedSq and SoundSpeed of cells 0..N+1 and
// Dt = CourantNumber * 0.1 * (shortest signal crossing time), capped at
// DtPlot when DtPlot > 0. Uses the mixed gamma under a two-fluid scheme.
// Returns false and changes nothing when the estimate is undefined: a
// SoundSpeed0 that is not positive, a cell with a density, pressure or gamma
// that is not positive (or not finite), or a zero signal speed.
bool EstimateTimeStep(ExperimentState& s);

// The first step of a set-up is no longer than its snapshot interval
// (Dt = DtPlot when Dt > DtPlot), and Restart comes back to it (DtOld = Dt).
void CapFirstTimeStep(ExperimentState& s);

// The cell of 1..N with the shortest signal crossing time dx / (|u| + c),
// the one that limits the time step, and its state. cell is 0 when no cell
// has a positive density and pressure.
struct StepLimit {
    long cell = 0;
    double x = 0; // cell centre
    double rho = 0, p = 0, u = 0, soundSpeed = 0;
    double crossingTime = 0;
};
StepLimit LimitingCell(const ExperimentState& s);

} // namespace tamrel
