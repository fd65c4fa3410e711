#pragma once
// Problems set up and run as the program runs them: the experiment state
// from the start-up record, a shock-tube button's set-up (or a hand-made
// periodic state), and the real time step (ghost cells, strips, the kernel
// of SchemeName, floors), but with the time step chosen here for a fixed
// Courant number and the last step landing exactly on the stop time, so
// the result can be compared with an exact solution at that time.

#include <algorithm>
#include <cmath>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "common/Rounding.h"
#include "kernels/SchemeTable.h"
#include "kernels/riemann/ExactRiemann.h"
#include "presets/ShockTubeTests.h"
#include "run/DefaultProblem.h"
#include "run/TimeStep.h"
#include "schemes/rusanov/Rusanov.h"
#include "state/ExperimentState.h"

namespace tamrel::testing {

struct RunResult {
    bool fault = false;
    std::string why; // the time step's message when it faulted
    long steps = 0; // accepted steps
    long rejections = 0; // attempts repeated for Courant >= 1
    long floorHits = 0; // cells at RhoFloor or PFloor after an accepted step
    double time = 0;
};

// A start-up state on n cells under the given scheme, with a history of two
// rows only (the runs here store none).
inline ExperimentState freshState(std::string_view scheme, long n)
{
    ExperimentState s;
    StartUpState(s);
    s.NPlotsTotal = 2;
    s.NGridCells = static_cast<Long>(n);
    s.SchemeName = std::string(scheme);
    AllocateArrays(s);
    return s;
}

// Shock-tube test `number` on n cells, as its button sets it up.
inline ExperimentState shockTubeState(std::string_view scheme, int number, long n)
{
    ExperimentState s = freshState(scheme, n);
    ApplyShockTubeTest(s, number);
    return s;
}

// n cells of the unit interval with periodic boundaries, cell i holding
// average(X(i), X(i+1)) (density, pressure, velocity), no shear or smoke.
template <class Average> ExperimentState periodicState(std::string_view scheme, long n, Average average)
{
    ExperimentState s = freshState(scheme, n);
    s.MnBdry = 4;
    s.MxBdry = 4;
    s.NGridCellsD = static_cast<double>(n);
    s.DX = 1.0 / s.NGridCellsD;
    for (long i = 0; i <= n + 2; ++i)
        s.X[i] = static_cast<double>(i - 1) / static_cast<double>(n);
    for (long i = 1; i <= n; ++i) {
        const auto w = average(s.X[i], s.X[i + 1]);
        s.Rho[i] = w.rho;
        s.P[i] = w.p;
        s.VX[i] = w.vx;
        s.VY[i] = 0;
        s.FSmoke[i] = 0;
    }
    for (auto* q : { &s.Rho, &s.P, &s.VX, &s.VY, &s.FSmoke }) {
        (*q)[0] = (*q)[n];
        (*q)[n + 1] = (*q)[1];
    }
    if (kernels::twoFluidScheme(s.SchemeName)) {
        for (long i = 0; i <= n + 1; ++i) {
            s.Rho1[i] = s.Rho[i];
            s.Rho2[i] = s.Rho[i] * s.RhoRatio2;
            s.P1[i] = s.P[i];
            s.P2[i] = s.P[i];
            for (auto* q : { &s.FFrac, &s.FFracX, &s.FFracY, &s.FFracXX, &s.FFracXY, &s.FFracYY })
                (*q)[i] = 0;
        }
    }
    s.TimeNow = 0;
    return s;
}

// Largest stable step at Courant number cfl over cells 1..N.
inline double stableDt(const ExperimentState& s, double cfl)
{
    double m = INFINITY;
    for (long i = 1; i <= s.NGridCells; ++i) {
        const double c = std::sqrt(s.Gamma * s.P[i] / s.Rho[i]);
        m = std::min(m, (s.X[i + 1] - s.X[i]) / (std::fabs(s.VX[i]) + c));
    }
    return cfl * m;
}

// Advances s from TimeNow to tStop at Courant number cfl.
inline RunResult runTo(ExperimentState& s, double tStop, double cfl)
{
    TimeStep stepper(1);
    stepper.setSchemeLookup(findTestScheme); // the program's schemes and the tests' own
    RunResult r;
    bool retry = false;
    long rejectedInARow = 0;
    while (tStop - s.TimeNow > 1e-12 * tStop) {
        if (!retry)
            s.Dt = std::min(stableDt(s, cfl), tStop - s.TimeNow);
        const AttemptResult a = stepper.attempt(s);
        if (a == AttemptResult::Rejected) {
            ++r.rejections;
            retry = ++rejectedInARow < TimeStep::kMaxRejections;
            if (!retry) {
                r.fault = true;
                r.why = "too many rejected attempts";
                break;
            }
            continue;
        }
        retry = false;
        rejectedInARow = 0;
        if (a != AttemptResult::Accepted) {
            r.fault = true;
            r.why = a == AttemptResult::NoScheme ? "no such scheme" : "the kernel faulted";
            break;
        }
        ++r.steps;
        for (long i = 1; i <= s.NGridCells; ++i)
            r.floorHits += (s.Rho[i] == s.RhoFloor) + (s.P[i] == s.PFloor);
    }
    r.time = s.TimeNow;
    return r;
}

inline bool gridFinite(const ExperimentState& s)
{
    for (long i = 1; i <= s.NGridCells; ++i)
        if (!std::isfinite(s.Rho[i]) || !std::isfinite(s.P[i]) || !std::isfinite(s.VX[i])
            || !std::isfinite(s.VY[i]) || !std::isfinite(s.FSmoke[i]))
            return false;
    return true;
}

// L1 density error sum |Rho - exact| dx over cells 1..N, exact(xa, xb) giving
// the exact average over a cell.
inline double l1Density(const ExperimentState& s, const std::function<double(double, double)>& exact)
{
    double e = 0;
    for (long i = 1; i <= s.NGridCells; ++i)
        e += std::fabs(s.Rho[i] - exact(s.X[i], s.X[i + 1])) * (s.X[i + 1] - s.X[i]);
    return e;
}

// The same against the exact solution of shock-tube test `number` at time t.
inline double shockTubeL1(const ExperimentState& s, int number, double t)
{
    const ShockTubeTest& k = shockTubeTest(number);
    const kernels::ExactRiemann rs({ k.RhoL, k.UxL, k.PL, k.UyL }, { k.RhoR, k.UxR, k.PR, k.UyR }, s.Gamma);
    // The left state fills cells up to MCurrent, as the set-up places the jump.
    const long m = roundToLong((k.XJump - k.XL) * static_cast<double>(s.NGridCells) / (k.XR - k.XL) - 0.00001);
    const double x0 = s.X[m + 1];
    std::vector<double> edges(static_cast<std::size_t>(s.NGridCells + 1));
    for (long i = 1; i <= s.NGridCells + 1; ++i)
        edges[static_cast<std::size_t>(i - 1)] = s.X[i];
    const auto avg = rs.cellAverages(x0, t, edges);
    double e = 0;
    for (long i = 1; i <= s.NGridCells; ++i)
        e += std::fabs(s.Rho[i] - avg[static_cast<std::size_t>(i - 1)].rho) * (s.X[i + 1] - s.X[i]);
    return e;
}

} // namespace tamrel::testing
