// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The exact solution in a batch run's files: the columns rho_exact, p_exact,
// vx_exact beside each cell of the final state and of every stored row, and
// the L1 distances on the summary line; the exact cell averages a
// finite-volume cell holds (ExactCells). Where there is no exact solution, or
// the time lies past the one it holds until, the values are "nan" and
// note() says why in one line.

#include <string>

#include "exact/ExactPlots.h"
#include "exact/ExactSolution.h"
#include "state/ExperimentState.h"

namespace tamrel::exact {

class ExactColumns {
public:
    // The exact solution of the record's initial grid (see ReadInitialGrid:
    // made while Ready, it starts from the grid arrays in double precision).
    explicit ExactColumns(const ExperimentState& s);

    static const char* header() { return "rho_exact,p_exact,vx_exact"; }

    const ExactSolution& solution() const { return solution_; }

    // Compute the cells for time t; false when they are not valid there.
    bool at(double t);
    bool valid() const { return valid_; }
    // The cell averages of the last time given (cells 1..N; valid() says
    // whether they hold values).
    const ExactCells& cells() const { return cells_; }
    // ",rho,p,vx" of cell i (1..N) at the last time given, 17 significant digits.
    std::string cell(long i) const;
    // "l1_rho=.. l1_vx=.. l1_p=.." of the record's grid against the last time given.
    std::string summary(const ExperimentState& s) const;
    // Why the values are nan ("" when they are not).
    const std::string& note() const { return note_; }

private:
    ExactSolution solution_;
    ExactCells cells_;
    bool valid_ = false;
    std::string note_;
};

} // namespace tamrel::exact
