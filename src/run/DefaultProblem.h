// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Start-up: array allocation, the default problem, and the time scales the
// control refresh derives from the state.

#include "state/ExperimentState.h"

namespace tamrel {

// The array families for the present NGridCells, SchemeName and NPlotsTotal:
// state and kernel-result families (and the multifluid members under
// a two-fluid scheme), the history (NSTValues = (N+2)*K), and the control-cell
// arrays resized keeping their contents.
void AllocateArrays(ExperimentState& s);

// The default problem on the allocated arrays: gas of density 1 at rest
// between reflecting walls, pressure 1000 in the left tenth, 0.01 in the
// middle, 100 in the right tenth; control cells, plot ranges, sound speeds,
// Dt at a tenth of the target Courant number (no DtPlot cap), smoke streams
// and history row 0.
void SetUpDefaultProblem(ExperimentState& s);

// Time scales from the sound speed of cell 1: TimeUnit, TStop, DtPlot,
// TNextPlot, Dt capped at DtPlot, DtOld = Dt; and the metronome pace MSec 5
// within 1..2000. Returns false and changes nothing when SoundSpeed(1) is not
// positive and finite or NPlotsPerPeriod is not positive.
bool RefreshTimeScales(ExperimentState& s);

// The whole start-up record: every field at its start-up value (TitleText
// and StudentName are kept), NPlotsTotal 600, StoredTime(0) = 0, then
// AllocateArrays, SetUpDefaultProblem and RefreshTimeScales.
void StartUpState(ExperimentState& s);

} // namespace tamrel
