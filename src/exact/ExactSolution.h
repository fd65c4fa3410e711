// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The exact solution that goes with an initial grid, when there is one.
//
// Riemann kind: one, two or three constant states. Each jump between two
// states is a Riemann problem of its own (kernels/riemann/ExactRiemann);
// between the waves of neighbouring jumps the gas keeps the state it started
// with, so the solution is exact until those waves meet. The ends of the
// grid take part the same way:
//   - continuation: the grid is a window on an infinite line; waves leave it;
//   - a reflecting wall is the middle of a mirror-image problem. Gas at rest
//     against it changes nothing, and the solution holds until the first
//     wave arrives; gas moving to or from the wall starts a Riemann problem
//     there at once (two shocks or two rarefactions with zero velocity at the
//     wall), whose inner half belongs to the solution;
//   - periodic ends are a jump between cell N and cell 1 when they differ,
//     and otherwise hold until the first wave reaches them.
// The solution holds until two neighbouring jumps' waves meet (the time is
// validUntil(); infinite when nothing ever meets).
//
// Linear kind: a periodic grid of small disturbances (exact/LinearWaves.h).
//
// None: with a one-line reason (a non-positive density or pressure, more
// than three states and not a small periodic disturbance, ...).

#include <limits>
#include <memory>
#include <string>
#include <vector>

#include "exact/InitialGrid.h"
#include "exact/LinearWaves.h"
#include "exact/RiemannWaves.h"
#include "kernels/riemann/ExactRiemann.h"

namespace tamrel::exact {

enum class ExactKind { None, Riemann, Linear };

// Where a jump of the solution sits.
enum class JumpPlace {
    Interior, // between two plateaus
    LeftWall, // the mirror problem at a reflecting left end (only x >= X(1) counts)
    RightWall, // ... at a reflecting right end (only x <= X(N+1) counts)
    WrapLeft, // periodic ends: the problem (cell N | cell 1) at X(1) ...
    WrapRight, // ... and the same problem at X(N+1)
};

struct ExactJump {
    JumpPlace place;
    double x0;
    kernels::FlowState left, right;
    kernels::ExactRiemann solution;
    RiemannWaves waves;
};

// Cell averages of cells 0..N+1 (index = cell number); the boundary cells
// as the ghost-cell fill makes them from cells 1 and N. As a finite-volume
// cell holds them: the mean density, and the velocity and pressure of the
// mean momentum and energy (kernels/riemann/ExactRiemann.h). The linear
// solution's averages are those of its linear fields, which differ from
// these only at the amplitude squared, the order it holds to.
struct ExactCells {
    std::vector<double> rho, u, p;
};

class ExactSolution {
public:
    static constexpr double kForever = std::numeric_limits<double>::infinity();

    ExactSolution() = default; // None: "no grid"
    static ExactSolution Of(const InitialGrid& g);

    ExactKind kind() const { return kind_; }
    bool available() const { return kind_ != ExactKind::None; }
    const std::string& reason() const { return reason_; } // why None
    const std::string& shape() const { return shape_; } // what was found, one line
    double validUntil() const { return validUntil_; }
    bool validAt(double t) const { return available() && t >= 0 && t <= validUntil_; }
    const InitialGrid& grid() const { return grid_; }
    // Riemann kind: the jumps, left to right (walls and wrap at the ends).
    const std::vector<ExactJump>& jumps() const { return jumps_; }
    const LinearWaves* linear() const { return linear_ ? linear_.get() : nullptr; }

    // Cell averages at time t (t <= 0: the initial grid). Past validUntil()
    // the numbers are computed the same way but mean nothing; callers ask
    // validAt first. None gives empty arrays.
    void cellAverages(double t, ExactCells& out) const;
    ExactCells cellAverages(double t) const
    {
        ExactCells c;
        cellAverages(t, c);
        return c;
    }

private:
    void riemannAverages(double t, ExactCells& out) const;
    void fillBoundaryCells(ExactCells& out) const;

    ExactKind kind_ = ExactKind::None;
    std::string reason_ = "no grid";
    std::string shape_;
    double validUntil_ = 0;
    InitialGrid grid_;
    std::vector<ExactJump> jumps_;
    std::shared_ptr<const LinearWaves> linear_;
};

} // namespace tamrel::exact
