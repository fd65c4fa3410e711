// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The single-precision history read back as plain values. Row r holds cells
// 0..N+1 at offset r*(N+2) of each ST array; density and pressure are stored
// as base-10 logarithms while LogPlots is set. Whatever reads a stored row
// (restore, replay, comparison curves, differences, the exact solution's
// initial grid, the batch's history file) decodes it here, so that all of
// them see the same numbers.

#include <vector>

#include "state/ExperimentState.h"

namespace tamrel {

// A density or pressure as a history row stores it: log10 v while LogPlots,
// else v, rounded to single precision.
float StoredValueOf(const ExperimentState& s, double plain);

// A stored density or pressure in plain units: 10^v while LogPlots, computed
// as e^(v ln 10) in double, else v.
double PlainStoredValue(const ExperimentState& s, float stored);

// Whether history row `row` lies inside the arrays: 0 <= row,
// row*(N+2)+N+1 <= NSTValues, and every ST array holds both ends of the row.
bool HistoryHoldsRow(const ExperimentState& s, long row);

// Density, pressure (plain units) and x-velocity of one stored row, cells
// 0..N+1 at index 0..N+1.
struct StoredCells {
    std::vector<double> rho, p, vx;
    bool empty() const { return rho.empty(); }
};

// Stored row `row` in plain values; empty when the row was not stored
// (row < 0, row >= NStoredStates, or outside the history).
StoredCells StoredRowCells(const ExperimentState& s, long row);

} // namespace tamrel
