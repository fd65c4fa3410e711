// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/sheets/SheetMeasures.h"

#include <cmath>
#include <vector>

#include "kernels/SchemeTable.h"

namespace tamrel::sheets {

namespace {

    const BoundedArray<double>* arrayOf(const ExperimentState& s, Variable v)
    {
        switch (v) {
        case Variable::Density:
            return &s.Rho;
        case Variable::Pressure:
            return &s.P;
        case Variable::Velocity:
            return &s.VX;
        case Variable::Fraction:
            return kernels::twoFluidScheme(s.SchemeName) && s.FFrac.contains(s.NGridCells) ? &s.FFrac : nullptr;
        }
        return nullptr;
    }

    double centre(const ExperimentState& s, long i)
    {
        return 0.5 * (s.X[i] + s.X[i + 1]);
    }

} // namespace

const char* variableName(Variable v)
{
    switch (v) {
    case Variable::Density:
        return "density";
    case Variable::Pressure:
        return "pressure";
    case Variable::Velocity:
        return "velocity";
    case Variable::Fraction:
        return "fraction";
    }
    return "";
}

const char* waveName(Wave w)
{
    switch (w) {
    case Wave::Shock:
        return "shock";
    case Wave::LeftShock:
        return "left shock";
    case Wave::RightShock:
        return "right shock";
    case Wave::Contact:
        return "contact";
    case Wave::Interface:
        return "interface";
    }
    return "";
}

std::optional<double> CellValueAt(const ExperimentState& s, double x, Variable v)
{
    const long n = s.NGridCells;
    const BoundedArray<double>* a = arrayOf(s, v);
    if (!a || n < 1 || !(x >= s.X[1] && x <= s.X[n + 1]))
        return std::nullopt;
    long i = 1;
    while (i < n && x >= s.X[i + 1])
        ++i;
    return (*a)[i];
}

double Fluid2Volume(const ExperimentState& s)
{
    const long n = s.NGridCells;
    if (!kernels::twoFluidScheme(s.SchemeName) || !s.FFrac.contains(n))
        return 0;
    double v = 0;
    for (long i = 1; i <= n; ++i)
        v += s.FFrac[i] * (s.X[i + 1] - s.X[i]);
    return v;
}

std::optional<double> CrossingNearest(const ExperimentState& s, Variable v, double level, double near)
{
    const long n = s.NGridCells;
    const BoundedArray<double>* a = arrayOf(s, v);
    if (!a)
        return std::nullopt;
    std::optional<double> best;
    auto consider = [&](double x) {
        if (!best || std::abs(x - near) < std::abs(*best - near))
            best = x;
    };
    for (long i = 1; i <= n; ++i) {
        const double lo = (*a)[i] - level;
        if (lo == 0) {
            consider(centre(s, i));
            continue;
        }
        if (i == n)
            break;
        const double hi = (*a)[i + 1] - level;
        if ((lo < 0 && hi > 0) || (lo > 0 && hi < 0))
            consider(centre(s, i) + lo / (lo - hi) * (centre(s, i + 1) - centre(s, i)));
    }
    return best;
}

std::optional<ExactFront> FindExactFront(const exact::ExactSolution& sol, Wave w, double t, std::string& why)
{
    if (sol.kind() != exact::ExactKind::Riemann) {
        why = "the problem has no exact Riemann solution"
            + (sol.available() ? std::string(" (it is a sound wave)") : ": " + sol.reason());
        return std::nullopt;
    }
    std::vector<const exact::ExactJump*> inside;
    for (const exact::ExactJump& j : sol.jumps())
        if (j.place == exact::JumpPlace::Interior)
            inside.push_back(&j);
    if (inside.size() != 1) {
        why = "a front is measured on a problem with one jump, and this one has " + std::to_string(inside.size());
        return std::nullopt;
    }
    const exact::ExactJump& j = *inside.front();
    const exact::RiemannWaves& rw = j.waves;
    const bool left = rw.leftShock && rw.leftStrength;
    const bool right = rw.rightShock && rw.rightStrength;
    Wave which = w;
    if (w == Wave::Shock) {
        if (left && right) {
            why = "the problem has two shocks: name the left shock or the right shock";
            return std::nullopt;
        }
        which = left ? Wave::LeftShock : Wave::RightShock;
        if (!left && !right) {
            why = "the problem has no shock";
            return std::nullopt;
        }
    }
    switch (which) {
    case Wave::LeftShock:
        if (!left) {
            why = "the problem has no left shock";
            return std::nullopt;
        }
        return ExactFront { j.x0 + rw.left[0] * t, j.left.rho, j.solution.starDensityLeft() };
    case Wave::RightShock:
        if (!right) {
            why = "the problem has no right shock";
            return std::nullopt;
        }
        return ExactFront { j.x0 + rw.right[0] * t, j.solution.starDensityRight(), j.right.rho };
    case Wave::Contact:
        if (rw.vacuum) {
            why = "the waves leave a vacuum between them: there is no contact";
            return std::nullopt;
        }
        if (!rw.contactStrength) {
            why = "the contact carries no density jump in this problem";
            return std::nullopt;
        }
        return ExactFront { j.x0 + rw.contact * t, j.solution.starDensityLeft(), j.solution.starDensityRight() };
    default:
        why = "the exact solution does not know the fluid-2 interface";
        return std::nullopt;
    }
}

std::optional<double> MeasureFront(
    const ExperimentState& s, const exact::ExactSolution& sol, Wave w, double expected, std::string& why)
{
    if (w == Wave::Interface) {
        const auto x = CrossingNearest(s, Variable::Fraction, 0.5, expected);
        if (!x)
            why = "the fluid-2 fraction never crosses 1/2";
        return x;
    }
    const auto front = FindExactFront(sol, w, s.TimeNow, why);
    if (!front)
        return std::nullopt;
    const auto x = CrossingNearest(s, Variable::Density, front->midDensity(), front->position);
    if (!x)
        why = "the density never crosses the value halfway across the " + std::string(waveName(w));
    return x;
}

std::optional<double> MeasureWidth(
    const ExperimentState& s, const exact::ExactSolution& sol, Wave w, std::string& why)
{
    if (w == Wave::Interface) {
        why = "the width is measured on a shock or the contact";
        return std::nullopt;
    }
    const auto front = FindExactFront(sol, w, s.TimeNow, why);
    if (!front)
        return std::nullopt;
    const double jump = front->rightDensity - front->leftDensity;
    const auto a = CrossingNearest(s, Variable::Density, front->leftDensity + 0.1 * jump, front->position);
    const auto b = CrossingNearest(s, Variable::Density, front->leftDensity + 0.9 * jump, front->position);
    if (!a || !b) {
        why = "the density does not cross the " + std::string(waveName(w)) + "'s jump";
        return std::nullopt;
    }
    return std::abs(*b - *a);
}

} // namespace tamrel::sheets
