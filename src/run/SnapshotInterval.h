// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// How often a run stores a snapshot. The lab counts snapshots per time unit
// (the time sound in cell 1 takes to cross the domain), which suits most
// problems; a cold gas has so long a time unit that its run would store one
// or two rows and show nothing. So a run also stores at least
// kLeastRunSnapshots rows over its stop time, whatever its time unit. The
// interval also caps the time step, so that a step never passes more than one
// snapshot time.

#include "state/ExperimentState.h"

namespace tamrel {

inline constexpr double kLeastRunSnapshots = 100;

// TimeUnit / NPlotsPerPeriod, shortened to TStop / kLeastRunSnapshots when
// that rate would store fewer rows before TStop. A non-positive stop time or
// rate leaves the time-unit rate (or 0 when that is undefined too).
double SnapshotInterval(double timeUnit, Long plotsPerUnit, double tStop);

// DtPlot from the record's TimeUnit, NPlotsPerPeriod and TStop; TNextPlot =
// DtPlot; Dt capped at it.
void SetSnapshotInterval(ExperimentState& s);

// The space-time picture is repainted after every SpaceTimeRepaintRows(N)-th
// stored row: max(1, 1000 \ N), so that a repaint costs about the same at
// every grid size (every row from N = 1000 on). N below 1 counts as 1.
long SpaceTimeRepaintRows(long cells);
// Whether rows rowsBefore+1 .. rowsAfter (counted from 1) take the count of
// stored rows past a multiple of SpaceTimeRepaintRows(cells): a single run
// stores one row at a time, schemes run side by side several.
bool SpaceTimeRepaintDue(long rowsBefore, long rowsAfter, long cells);


} // namespace tamrel
