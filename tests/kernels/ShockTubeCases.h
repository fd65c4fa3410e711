#pragma once
// The lab's eight shock-tube tests (gamma = 1.4, continuation boundaries)
// and the error measure of the kernel tests: the L1 distance of a grid's
// density from the exact cell averages, sum |num - exact| dx.

#include <array>
#include <cmath>
#include <vector>

#include "kernels/StripDriver.h"
#include "kernels/riemann/ExactRiemann.h"

namespace tamrel::testing {

struct ShockTube {
    int number;
    Primitive left, right;
    double xl, xJump, xr, tStop;
};

inline const std::array<ShockTube, 8>& shockTubes()
{
    static const std::array<ShockTube, 8> tests { {
        { 1, { 1.0, 1.0, 0.75, 0 }, { 0.125, 0.1, 0, 0 }, 0, 0.3, 1.0, 0.2 },
        { 2, { 1.0, 1.0, 0.75, 1.0 }, { 0.125, 0.1, 0, -8.0 }, 0, 0.3, 1.0, 0.2 },
        { 3, { 1.0, 0.4, -2.0, 0 }, { 1.0, 0.4, 2.0, 0 }, 0, 0.5, 1.0, 0.15 },
        { 4, { 1.0, 0.000001, 1.0, 0 }, { 1.0, 0.000001, -1.0, 0 }, 0, 0.5, 1.0, 1.0 },
        { 5, { 1.0, 1000.0, -19.59745, 0 }, { 1.0, 0.01, -19.59745, 0 }, 0, 0.8, 1.0, 0.012 },
        { 6, { 5.99924, 460.894, 19.5975, 0 }, { 5.99242, 46.095, -6.19633, 0 }, 0, 0.4, 1.0, 0.035 },
        { 7, { 1.4, 1.0, 0.1, 0 }, { 1.0, 1.0, 0.1, 0 }, 0, 0.5, 1.0, 2.0 },
        { 8, { 0.1261192, 782.929, 8.904703, 0 }, { 6.591493, 3.154487, 2.265421, 0 }, 0, 0.8, 1.0, 0.0078 },
    } };
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
