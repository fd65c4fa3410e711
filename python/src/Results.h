// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What a session hands back to Python: plain records of numpy arrays and
// numbers, each array a copy of its own.

#include <optional>
#include <stdexcept>
#include <string>

#include "Arrays.h"
#include "compare/ConvergenceStudy.h"
#include "lab/LabSession.h"

namespace tamrel::python {

// A run that failed or halted before its stop time: Python sees RunError,
// a RuntimeError, with the lab's reason.
struct RunFault : std::runtime_error {
    using std::runtime_error::runtime_error;
};

// A request the lab refused: ValueError with its reason.
inline void check(const lab::Refusal& refusal)
{
    if (refusal)
        throw py::value_error(*refusal);
}

struct State {
    double time = 0;
    long cycles = 0;
    std::string scheme;
    Array x, rho, p, vx, vy, smoke;
    // The two fluids of a two-fluid scheme; None for the others.
    py::object rho1 = py::none(), p1 = py::none(), rho2 = py::none(), p2 = py::none(), ffrac = py::none();
};

struct Snapshots {
    Array times, x, rho, p, vx, vy, smoke;
};

struct Exact {
    double time = 0;
    Array rho, p, vx;
    double l1Rho = 0, l1Vx = 0, l1P = 0;
};

struct SchemeRun {
    std::string scheme;
    bool finished = false;
    std::string failure;
    long snapshots = 0, acceptedSteps = 0;
    State state;
};

struct Study {
    std::string kind;
    py::tuple errorNames;
    py::list schemes; // the scheme of each row
    Array cells, errors, order, seconds, cellUpdatesPerSecond;
    py::array_t<bool> floored;
    py::dict fittedOrders;
};

State stateOf(const lab::GridValues& g, double time, long cycles, const std::string& scheme);
// The session's current state, with the two fluids when its scheme moves two.
State currentState(const lab::LabSession& s);
Snapshots snapshotsOf(const lab::LabSession& s);
Study studyOf(const compare::StudyResult& r);

} // namespace tamrel::python
