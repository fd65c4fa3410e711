// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The difference view of a comparison: each scheme's stored row minus the
// reference at that row. The reference is the exact solution where the
// set-up has one that holds at the row's time (taken at each scheme's own
// row time), otherwise the first scheme's row of the same number.

#include <string>
#include <vector>

#include "exact/ExactSolution.h"
#include "state/ExperimentState.h"

namespace tamrel::compare {

// Density, pressure and velocity of cells 1..N (index 0..N-1).
struct CellValues {
    std::vector<double> rho, p, vx;
};

// Stored row `row` of the history in plain values (10^stored while
// LogPlots); empty when the row was not stored.
CellValues StoredRowValues(const ExperimentState& s, long row);

enum class ReferenceKind { Exact, FirstScheme };

struct RowDifference {
    ReferenceKind reference = ReferenceKind::FirstScheme;
    std::vector<CellValues>
        minusReference; // one per scheme, in the runs' order (the first scheme's is all 0 against itself)
};

// Row `row` of every run against the reference. `exact` may be null (no
// exact solution); it is used for a row when it holds at every run's row
// time. Runs without that row give empty values.
RowDifference DifferenceAtRow(
    const std::vector<const ExperimentState*>& runs, const exact::ExactSolution* exact, long row);

} // namespace tamrel::compare
