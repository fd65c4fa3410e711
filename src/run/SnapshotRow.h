// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One row of the single-precision history: cells 0..N+1 of the state at
// offset row * (N+2) of each history array.

#include "state/ExperimentState.h"

namespace tamrel {

// Which ratio of specific heats the entropy and the impedance of a row use.
enum class RowGamma {
    Uniform, // Gamma for every cell (Begin, Restart, the tick)
    PerCell, // CellGamma(j): the mixed gamma under a two-fluid scheme (set-ups)
};

// Whether history row `row` lies inside the arrays: 0 <= row and
// row*(N+2)+N+1 <= NSTValues (and within the allocated history).
bool SnapshotRowFits(const ExperimentState& s, long row);

// Store the state into history row `row`: density and pressure (log10 while
// LogPlots), velocities, smoke, entropy P Rho^-g, and the Riemann invariants
// integrated from the left with their mean over cells 1..N removed; computed
// in double, stored as float. Returns false (nothing written) when the row
// does not fit. Changes no other field (not NStoredStates nor StoredTime).
bool StoreSnapshotRow(ExperimentState& s, long row, RowGamma gamma = RowGamma::Uniform);

// Which field of a history row a plain value is read from.
enum class StoredField { Rho, P, VX, VY, FSmoke };

// The plain value of `field` at index k of the history (row * (N+2) + cell):
// density and pressure come back from their base-10 logarithms while
// LogPlots. The stored single precision, widened to double.
double StoredPlainValue(const ExperimentState& s, StoredField field, long k);

// Put stored row `row` back into Rho, P, VX, VY, FSmoke of cells 0..N+1
// (10^value while LogPlots). Refuses (returns false, changes nothing) a row
// that was not stored (row < 0, row >= NStoredStates, or outside the history)
// or whose density or pressure does not come back positive and finite.
bool RestoreSnapshotRow(ExperimentState& s, long row);

// Stored row `row` shown in the grid, as the stored-state bar shows it: the
// row comes back and the history offset points at it, which tells Continue
// whether the grid still holds the newest row. A row RestoreSnapshotRow
// refuses changes nothing (false).
bool ShowStoredRow(ExperimentState& s, long row);

// Whether RestoreSnapshotRow(s, row) would succeed: the row was stored and
// its density and pressure come back positive and finite.
bool SnapshotRowHoldsState(const ExperimentState& s, long row);

// As RestoreSnapshotRow, without the row < NStoredStates test: row 0 of a
// set-up is valid before any run has counted it (Restart).
bool RestoreSnapshotRowUnchecked(ExperimentState& s, long row);

// The density and pressure of history row 0 rewritten between plain values
// and base-10 logarithms, so that a later Restart reads row 0 in the form
// the log choice then in force expects. A value that is not positive has no
// logarithm and stays as it is; without a history holding row 0 nothing
// changes.
void ConvertRowZero(ExperimentState& s, bool toLog);

// A new log choice (0 plain, any other value logarithmic): row 0 is
// converted when the choice flips between plain and logarithmic, then
// LogPlots = newLogPlots.
void SetLogPlots(ExperimentState& s, Long newLogPlots);

} // namespace tamrel
