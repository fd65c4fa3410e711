// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Shock-tube helpers for the PPM and two-fluid kernel tests, on top of the
// lab's eight tests in ShockTubeCases.h: the exact density averages and the
// L1 error of a run, a run that sizes its steps as the lab's time step does,
// and a measure of how far a density profile departs from the monotone
// pieces of the exact solution.

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <limits>
#include <vector>

#include "GridRun.h"
#include "ShockTubeCases.h"

namespace tamrel::testing {

// Test `number` (1..8).
inline const ShockTube& shockTube(int number)
{
    return shockTubes()[static_cast<std::size_t>(number - 1)];
}

// Exact density averaged over each cell 1..N of g at time t (index i holds cell i).
inline std::vector<double> exactDensity(const Grid& g, const ShockTube& tube, double t, double gamma = 1.4)
{
    const auto avg = exactAverages(tube, g, t, gamma);
    std::vector<double> out(static_cast<std::size_t>(g.n + 1), 0.0);
    for (int i = 1; i <= g.n; ++i)
        out[static_cast<std::size_t>(i)] = avg[static_cast<std::size_t>(i - 1)].rho;
    return out;
}

inline double l1Density(const Grid& g, const std::vector<double>& exact)
{
    double s = 0;
    for (int i = 1; i <= g.n; ++i)
        s += std::fabs(g.at(g.rho, i) - exact[static_cast<std::size_t>(i)]) * g.dx(i);
    return s;
}

// Runs the shock tube to its stop time at Courant number 0.8 with outflow
// boundaries; returns the L1 density error (NaN after a fault).
inline double shockTubeL1(const SchemeInfo& scheme, int number, int n = 400, const KernelConstants& k = {},
    RunStats* stats = nullptr, Grid* final = nullptr)
{
    const ShockTube& tube = shockTube(number);
    Grid g = shockTubeGrid(tube, n);
    GridRun d(scheme, k, Boundary::Outflow);
    const RunStats st = d.run(g, 0.8, tube.tStop);
    if (stats)
        *stats = st;
    if (final)
        *final = g;
    if (st.fault)
        return std::nan("");
    return l1Density(g, exactDensity(g, tube, tube.tStop, k.gamma));
}

// Advances a shock tube as the lab's time step does, so that the start-up
// from the initial jump is the one a student sees: the first step at a
// tenth of the target Courant number (the estimate of the set-up, over cells
// 0..N+1 and the faster state's sound speed), then 2.5 percent longer each
// step while the kernel's Courant number is below 0.9 of the target, cut
// back in proportion above the target and never beyond one snapshot
// interval, a rejected attempt (Courant number 1 or more) retried with 0.9 of
// the step, until the time reaches tStop (the last step is not shortened).
// Continuation boundaries. Returns the time reached in `time`.
inline RunStats runLikeTheTimeStep(
    const SchemeInfo& scheme, Grid& g, const ShockTube& tube, double courant, const KernelConstants& k = {})
{
    GridRun d(scheme, k, Boundary::Outflow);
    d.fillGhosts(g);
    const double soundSpeed0
        = std::sqrt(k.gamma * std::max(tube.left.p / tube.left.rho, tube.right.p / tube.right.rho));
    double w = g.dx(1) / soundSpeed0;
    for (int i = 0; i <= g.n + 1; ++i) {
        const double c = std::sqrt(k.gamma * g.at(g.p, i) / g.at(g.rho, i));
        const double u = g.at(g.vx, i);
        w = std::min(w, g.dx(i) / std::max(std::fabs(u + c), std::fabs(u - c)));
    }
    double dt = courant * 0.1 * w;
    // At most one snapshot interval: the lab stores 400 snapshots per time
    // unit, the time a sound wave of cell 1 takes to cross the grid.
    const double dtMax
        = (g.at(g.x, g.n + 1) - g.at(g.x, 1)) / std::sqrt(k.gamma * g.at(g.p, 1) / g.at(g.rho, 1)) / 400.0;
    dt = std::min(dt, dtMax);
    RunStats st;
    long rejected = 0;
    while (st.time < tube.tStop) {
        const StepOutcome o = d.attempt(g, dt, &st.floorHits);
        if (o.fault || rejected > 60) {
            st.fault = true;
            return st;
        }
        if (!o.accepted) {
            dt *= 0.9;
            ++st.retries;
            ++rejected;
            continue;
        }
        rejected = 0;
        st.time += dt;
        ++st.steps;
        st.maxCourant = std::max(st.maxCourant, o.courant);
        if (0.9 * courant > o.courant)
            dt = std::min(1.025 * dt, dtMax);
        else if (o.courant > courant)
            dt *= courant / o.courant;
    }
    st.fault = !GridRun::allFinite(g);
    return st;
}

// How far the density of cells 1..N departs from monotone pieces, as a
// fraction of the exact solution's density range. The exact cell averages
// are split into runs that rise or fall; between two runs of opposite
// direction the numerical profile may turn at its own extremum, looked for
// over the flat stretch between the runs and three cells either side (a
// smeared wave). Within each piece the result is the largest step back
// against the piece's direction from the furthest point reached so far: an
// overshoot, an undershoot or a wiggle on a plateau all count, smearing does
// not.
inline double monotonicityDefect(const Grid& g, const std::vector<double>& exact)
{
    const int n = g.n;
    auto e = [&](int i) { return exact[static_cast<std::size_t>(i)]; };
    auto r = [&](int i) { return g.at(g.rho, i); };
    double lo = std::numeric_limits<double>::infinity(), hi = -lo;
    for (int i = 1; i <= n; ++i) {
        lo = std::min(lo, e(i));
        hi = std::max(hi, e(i));
    }
    const double range = hi - lo;
    const double flat = 1e-9 * range;
    struct Run {
        int dir, first, last; // cells first..last differ from their left neighbour in direction dir
    };
    std::vector<Run> runs;
    for (int i = 2; i <= n; ++i) {
        const double d = e(i) - e(i - 1);
        const int dir = d > flat ? 1 : (d < -flat ? -1 : 0);
        if (dir == 0)
            continue;
        if (!runs.empty() && runs.back().dir == dir)
            runs.back().last = i;
        else
            runs.push_back({ dir, i, i });
    }
    std::vector<int> cuts { 1 };
    for (std::size_t k = 1; k < runs.size(); ++k) {
        const int from = std::max(1, runs[k - 1].last - 3), to = std::min(n, runs[k].first + 3);
        int turn = from;
        for (int i = from; i <= to; ++i)
            if (runs[k - 1].dir > 0 ? r(i) > r(turn) : r(i) < r(turn))
                turn = i;
        cuts.push_back(turn);
    }
    cuts.push_back(n);
    double worst = 0;
    for (std::size_t k = 0; k + 1 < cuts.size(); ++k) {
        const int dir = runs.empty() ? 1 : runs[k].dir;
        double reached = r(cuts[k]);
        for (int i = cuts[k]; i <= cuts[k + 1]; ++i) {
            reached = dir > 0 ? std::max(reached, r(i)) : std::min(reached, r(i));
            worst = std::max(worst, dir > 0 ? reached - r(i) : r(i) - reached);
        }
    }
    return worst / range;
}

} // namespace tamrel::testing
