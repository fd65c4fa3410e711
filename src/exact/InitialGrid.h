// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The initial grid of the experiment in double precision: what an exact
// solution starts from. It is read from the record, never from the command
// that made it: while the lab is Ready (no run, time exactly 0) the grid
// arrays themselves are the initial state; once a run has begun, history
// row 0 is (stored by Begin and by Restart; density and pressure come back
// from log10 while LogPlots).
//
// Only cells 1..N count. The boundary cells 0 and N+1 are filled by Begin
// and by every tick from the boundary types, so they say nothing about the
// problem.

#include <string>
#include <vector>

#include "state/Boundaries.h"
#include "state/ExperimentState.h"

namespace tamrel::exact {

// The boundary types as the ghost-cell fill reads them (state/Boundaries.h).
using Boundary = BoundaryKind;

Boundary LeftBoundary(const ExperimentState& s);
Boundary RightBoundary(const ExperimentState& s);

struct InitialGrid {
    std::vector<double> edges; // X(1)..X(N+1)
    std::vector<double> rho, u, p; // cells 1..N at index 0..N-1
    double gamma = 1.4;
    Boundary left = Boundary::Continuation;
    Boundary right = Boundary::Continuation;

    long cells() const { return static_cast<long>(rho.size()); }
    double xLeft() const { return edges.front(); }
    double xRight() const { return edges.back(); }
    friend bool operator==(const InitialGrid&, const InitialGrid&) = default;
};

// The initial grid of the record. False (and `why` says so in one line)
// when the record holds none: arrays too short, or no row 0 stored.
bool ReadInitialGrid(const ExperimentState& s, InitialGrid& out, std::string& why);

} // namespace tamrel::exact
