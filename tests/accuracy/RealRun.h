// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Problems set up and run as the program runs them: the start-up record on
// the asked grid and scheme with the target Courant number, a shock-tube
// button's set-up (or a hand-made periodic state with the first time step of
// the estimate), then Begin and the metronome tick until the run stops. The
// tick steps as a student's run steps: the first step at a tenth of the
// Courant number (capped at the snapshot interval in force), growing 2.5
// percent a step, the Courant-number control, snapshot rows, and the last
// step shortened to land exactly on TStop, where the result is compared
// with an exact solution.

#include <algorithm>
#include <chrono>
#include <cmath>
#include <functional>
#include <string>
#include <string_view>
#include <vector>

#include "common/Rounding.h"
#include "edit/GridParameters.h"
#include "kernels/SchemeTable.h"
#include "kernels/riemann/ExactRiemann.h"
#include "presets/ShockTubeTests.h"
#include "run/DefaultProblem.h"
#include "run/EstimateTimeStep.h"
#include "run/RunControl.h"
#include "run/TimeStep.h"
#include "schemes/rusanov/Rusanov.h"
#include "state/ExperimentState.h"

namespace tamrel::testing {

struct RunResult {
    bool fault = false;
    std::string why; // the run's message when it faulted or stopped short
    long steps = 0; // accepted steps
    long rejections = 0; // attempts repeated for Courant >= 1
    long floorHits = 0; // cells at RhoFloor or PFloor at the end
    double time = 0;
};

// The start-up record with n cells, the scheme and the target Courant number
// set as the boxes set them (the default problem rebuilt on the new grid,
// as the grid-size box does), and a history of two rows: Begin sizes the
// history of a run to reach its stop time.
inline ExperimentState freshState(std::string_view scheme, long n, double courant = 0.8)
{
    ExperimentState s;
    StartUpState(s);
    s.NPlotsTotal = 2;
    s.NGridCells = static_cast<Long>(n);
    s.SchemeName = std::string(scheme);
    AllocateArrays(s);
    SetUpDefaultProblem(s);
    RefreshTimeScales(s);
    CourantTextChanged(s, std::to_string(courant));
    return s;
}

// Shock-tube test `number` on n cells, as its button sets it up.
inline ExperimentState shockTubeState(std::string_view scheme, int number, long n, double courant = 0.8)
{
    ExperimentState s = freshState(scheme, n, courant);
    ApplyShockTubeTest(s, number);
    return s;
}

// n cells of the unit interval with periodic boundaries, cell i holding
// average(X(i), X(i+1)) (density, pressure, velocity), no shear or smoke,
// shown as a periodic wave (RiemannPlots 1), to run until tStop with the
// first time step of the estimate, capped at a snapshot interval of a tenth
// of the run.
template <class Average>
ExperimentState periodicState(std::string_view scheme, long n, double tStop, Average average)
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
    s.RiemannPlots = 1;
    s.TStop = tStop;
    s.DtPlot = 0.1 * tStop;
    s.TNextPlot = s.DtPlot;
    EstimateTimeStep(s);
    CapFirstTimeStep(s);
    return s;
}

// Begin, then the metronome's ticks until the run stops, as the batch mode
// runs it (every tick its full count of steps). The tests' own schemes are
// not among the program's, so Begin, which checks the name, sees "Sorvi" in
// their place; the steps run the scheme itself.
inline RunResult runToStop(ExperimentState& s)
{
    RunResult r;
    const std::string scheme = s.SchemeName;
    if (kernels::findScheme(scheme) == nullptr)
        s.SchemeName = "Sorvi";
    const BeginStatus begun = BeginRun(s);
    s.SchemeName = scheme;
    if (begun != BeginStatus::Started) {
        r.fault = true;
        r.why = "the run could not begin";
        return r;
    }
    TimeStep stepper(1);
    stepper.setSchemeLookup(findTestScheme); // the program's schemes and the tests' own
    const Long cycles = s.NCycle;
    while (s.Stopped == 0) {
        const TickReport t = RunTick(s, stepper, std::chrono::nanoseconds(0), {});
        r.steps += t.stepsRun;
        if (t.faulted || t.historyEnded) {
            r.fault = true;
            r.why = t.fault.message;
            break;
        }
    }
    r.rejections = static_cast<long>(s.NCycle - cycles) - r.steps;
    for (long i = 1; i <= s.NGridCells; ++i)
        r.floorHits += (s.Rho[i] == s.RhoFloor) + (s.P[i] == s.PFloor);
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
