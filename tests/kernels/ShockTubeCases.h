// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The lab's eight shock-tube tests (gamma = 1.4, continuation boundaries)
// and the error measure of the kernel tests: the L1 distance of a grid's
// density from the exact cell averages, sum |num - exact| dx.

#include <array>
#include <cmath>
#include <vector>

#include "kernels/GridRun.h"
#include "kernels/riemann/ExactRiemann.h"
#include "presets/ShockTubeTests.h"

namespace tamrel::testing {

struct ShockTube {
    int number;
    Primitive left, right;
    double xl, xJump, xr, tStop;
};

// The lab's own table (presets/ShockTubeTests.h), as the kernel tests use it.
inline const std::array<ShockTube, kShockTubeTestCount>& shockTubes()
{
    static const std::array<ShockTube, kShockTubeTestCount> tests = [] {
        std::array<ShockTube, kShockTubeTestCount> a {};
        for (int k = 0; k < kShockTubeTestCount; ++k) {
            const ShockTubeTest& t = kShockTubeTests[static_cast<std::size_t>(k)];
            a[static_cast<std::size_t>(k)] = { k + 1, { t.RhoL, t.PL, t.UxL, t.UyL },
                { t.RhoR, t.PR, t.UxR, t.UyR }, t.XL, t.XJump, t.XR, t.TStop };
        }
        return a;
    }();
    return tests;
}

inline Grid shockTubeGrid(const ShockTube& t, int n)
{
    Grid g = Grid::uniform(n, t.xl, t.xr);
    g.setTwoStates(t.left, t.right, t.xJump);
    return g;
}

// Exact cell averages of cells 1..N at time t of the two-state problem on g.
inline std::vector<kernels::FlowState> exactAverages(
    const ShockTube& t, const Grid& g, double time, double gamma = 1.4)
{
    const kernels::ExactRiemann rs(
        { t.left.rho, t.left.vx, t.left.p, t.left.vy }, { t.right.rho, t.right.vx, t.right.p, t.right.vy }, gamma);
    std::vector<double> edges(static_cast<std::size_t>(g.n + 1));
    for (int i = 1; i <= g.n + 1; ++i)
        edges[static_cast<std::size_t>(i - 1)] = g.at(g.x, i);
    return rs.cellAverages(g.jumpEdge(t.xJump), time, edges);
}

inline double l1DensityError(const Grid& g, const std::vector<kernels::FlowState>& exact)
{
    double e = 0;
    for (int i = 1; i <= g.n; ++i)
        e += std::fabs(g.at(g.rho, i) - exact[static_cast<std::size_t>(i - 1)].rho) * g.dx(i);
    return e;
}

} // namespace tamrel::testing
