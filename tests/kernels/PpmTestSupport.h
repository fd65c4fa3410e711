#pragma once
// Shock-tube problems and their exact cell averages for the PPM and two-fluid
// kernel tests: the eight two-state tests of the lab, the exact Riemann
// solution averaged over each cell, and the L1 density error of a run.

#include <cmath>
#include <string>
#include <vector>

#include "StripDriver.h"
#include "kernels/KernelContract.h"
#include "kernels/SchemeTable.h"
#include "kernels/riemann/ExactRiemann.h"

namespace tamrel::testing {

struct ShockTube {
    int number;
    Primitive left, right;
    double xJump, tStop;
};

// The lab's eight tests (left state, right state, jump, stop time).
inline const std::vector<ShockTube>& shockTubes()
{
    static const std::vector<ShockTube> tubes{
        {1, {1.0, 1.0, 0.75, 0}, {0.125, 0.1, 0, 0}, 0.3, 0.2},
        {2, {1.0, 1.0, 0.75, 1.0}, {0.125, 0.1, 0, -8.0}, 0.3, 0.2},
        {3, {1.0, 0.4, -2.0, 0}, {1.0, 0.4, 2.0, 0}, 0.5, 0.15},
        {4, {1.0, 0.000001, 1.0, 0}, {1.0, 0.000001, -1.0, 0}, 0.5, 1.0},
        {5, {1.0, 1000.0, -19.59745, 0}, {1.0, 0.01, -19.59745, 0}, 0.8, 0.012},
        {6, {5.99924, 460.894, 19.5975, 0}, {5.99242, 46.095, -6.19633, 0}, 0.4, 0.035},
        {7, {1.4, 1.0, 0.1, 0}, {1.0, 1.0, 0.1, 0}, 0.5, 2.0},
        {8, {0.1261192, 782.929, 8.904703, 0}, {6.591493, 3.154487, 2.265421, 0}, 0.8, 1.0 * 0.0078},
    };
    return tubes;
}

inline const ShockTube& shockTube(int number) { return shockTubes()[static_cast<std::size_t>(number - 1)]; }

// Exact density averaged over each cell 1..N of g at time t.
inline std::vector<double> exactDensity(const Grid& g, const ShockTube& tube, double t, double gamma = 1.4)
{
    const kernels::ExactRiemann exact({tube.left.rho, tube.left.vx, tube.left.p, tube.left.vy},
        {tube.right.rho, tube.right.vx, tube.right.p, tube.right.vy}, gamma);
    std::vector<double> edges;
    for (int i = 1; i <= g.n + 1; ++i)
        edges.push_back(g.at(g.x, i));
    const auto avg = exact.cellAverages(g.jumpEdge(tube.xJump), t, edges);
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

inline Grid shockTubeGrid(const ShockTube& tube, int n)
{
    Grid g = Grid::uniform(n);
    g.setTwoStates(tube.left, tube.right, tube.xJump);
    return g;
}

// Runs the shock tube to its stop time at Courant number 0.8 with outflow
// boundaries; returns the L1 density error (NaN after a fault).
inline double shockTubeL1(const SchemeInfo& scheme, int number, int n = 400, const KernelConstants& k = {},
    RunStats* stats = nullptr, Grid* final = nullptr)
{
    const ShockTube& tube = shockTube(number);
    Grid g = shockTubeGrid(tube, n);
    StripDriver d(scheme, k, Boundary::Outflow);
    const RunStats st = d.run(g, 0.8, tube.tStop);
    if (stats)
        *stats = st;
    if (final)
        *final = g;
    if (st.fault)
        return std::nan("");
    return l1Density(g, exactDensity(g, tube, tube.tStop, k.gamma));
}

} // namespace tamrel::testing
