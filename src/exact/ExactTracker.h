// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The exact solution that goes with what the window shows, kept between
// repaints: it is found again only when the initial grid changes, and it
// starts from the grid in double precision whenever that is known.
//
// While the lab is Ready the grid arrays are the initial state. Once a run
// has begun, history row 0 holds it in single precision only; the tracker
// then keeps the double-precision grid it last saw while Ready, as long as
// row 0 is exactly that grid rounded (a later set-up that rewrites row 0
// makes it read row 0 instead).

#include <string>

#include "exact/ExactSolution.h"
#include "exact/InitialGrid.h"
#include "state/ExperimentState.h"

namespace tamrel::exact {

class ExactTracker {
public:
    // The solution for the record as it stands.
    const ExactSolution& update(const ExperimentState& s);
    const ExactSolution& solution() const { return solution_; }
    // How often the solution was found afresh (a repaint with the same
    // initial grid finds none).
    long solves() const { return solves_; }

private:
    bool rowZeroIsReadyGrid(const ExperimentState& s) const;

    InitialGrid ready_; // the last grid seen while Ready
    bool haveReady_ = false;
    InitialGrid grid_; // the grid solution_ belongs to
    ExactSolution solution_;
    std::string why_;
    long solves_ = 0;
};

// The problem time of the grid the plots show: the stored time of the row
// on show when the grid is that row as restored (browsing stored rows while
// the run is halted), otherwise TimeNow.
double ShownTime(const ExperimentState& s);

} // namespace tamrel::exact
