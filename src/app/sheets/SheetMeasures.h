// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What a lab sheet's checks measure on a computed state: a variable in the
// cell that holds a point, where a wave stands, the volume of fluid 2.

#include <optional>
#include <string>

#include "app/sheets/LabSheet.h"
#include "exact/ExactSolution.h"
#include "state/ExperimentState.h"

namespace tamrel::sheets {

// The value of `v` in the cell of `s` that holds x (X(i) <= x < X(i+1); the
// last cell also holds X(N+1)). Nothing when x lies outside the grid, or for
// the fraction when the record carries no fluid-2 fraction.
std::optional<double> CellValueAt(const ExperimentState& s, double x, Variable v);

// The fluid-2 volume: the sum over cells 1..N of FFrac times the cell's width
// (0 without a fluid-2 fraction).
double Fluid2Volume(const ExperimentState& s);

// Where the values of `v` over cells 1..N cross `level`, read linearly
// between cell centres: of all crossings, the one nearest `near`. Nothing
// when they never cross it.
std::optional<double> CrossingNearest(const ExperimentState& s, Variable v, double level, double near);

// A wave of the exact solution at time t: where it stands, and the density
// halfway between the states either side of it.
struct ExactFront {
    double position = 0;
    double leftDensity = 0, rightDensity = 0; // the exact states either side
    double midDensity() const { return 0.5 * (leftDensity + rightDensity); }
};

// The wave `w` of a solution with one jump inside the grid. Nothing (and
// `why`, a sentence) when there is no such wave: not a one-jump Riemann
// problem, no shock of that side, two shocks for Wave::Shock, a contact
// without a density jump, a vacuum in place of the contact. Not for
// Wave::Interface, which the exact solution does not know.
std::optional<ExactFront> FindExactFront(const exact::ExactSolution& sol, Wave w, double t, std::string& why);

// The front's position in the computed state `s` at its TimeNow: for a
// shock or the contact, where the density crosses the value halfway between
// the exact states either side, the crossing nearest the exact position; for
// the interface, where the fluid-2 fraction crosses 1/2, nearest `expected`.
std::optional<double> MeasureFront(
    const ExperimentState& s, const exact::ExactSolution& sol, Wave w, double expected, std::string& why);

// The width of a shock or the contact in `s`: the distance between where the
// density crosses 10 and 90 percent of the way across the exact jump (each
// crossing the one nearest the exact position). Nothing (and `why`) when
// there is no such wave or the density does not cross both levels.
std::optional<double> MeasureWidth(
    const ExperimentState& s, const exact::ExactSolution& sol, Wave w, std::string& why);

} // namespace tamrel::sheets
