// SPDX-License-Identifier: GPL-3.0-or-later
#include "exact/InitialGrid.h"

#include <cmath>
#include <cstddef>

#include "state/StoredHistory.h"

namespace tamrel::exact {

Boundary LeftBoundary(const ExperimentState& s)
{
    return LeftBoundaryKind(s);
}

Boundary RightBoundary(const ExperimentState& s)
{
    return RightBoundaryKind(s);
}

bool ReadInitialGrid(const ExperimentState& s, InitialGrid& out, std::string& why)
{
    const long n = s.NGridCells;
    if (n < 1 || !s.X.contains(1) || !s.X.contains(n + 1)) {
        why = "no grid";
        return false;
    }
    const bool live = s.isReady();
    if (live) {
        if (!s.Rho.contains(n) || !s.P.contains(n) || !s.VX.contains(n)) {
            why = "no grid";
            return false;
        }
    } else {
        const long last = n; // row 0, cells 1..N
        for (const auto* a : { &s.STRho, &s.STP, &s.STVX })
            if (!a->contains(last) || s.NStoredStates < 1) {
                why = "no initial state stored";
                return false;
            }
    }

    out.edges.resize(static_cast<std::size_t>(n + 1));
    for (long i = 1; i <= n + 1; ++i)
        out.edges[static_cast<std::size_t>(i - 1)] = s.X[i];
    out.rho.resize(static_cast<std::size_t>(n));
    out.u.resize(static_cast<std::size_t>(n));
    out.p.resize(static_cast<std::size_t>(n));
    for (long i = 1; i <= n; ++i) {
        const auto k = static_cast<std::size_t>(i - 1);
        if (live) {
            out.rho[k] = s.Rho[i];
            out.u[k] = s.VX[i];
            out.p[k] = s.P[i];
        } else {
            out.rho[k] = PlainStoredValue(s, s.STRho[i]);
            out.u[k] = static_cast<double>(s.STVX[i]);
            out.p[k] = PlainStoredValue(s, s.STP[i]);
        }
    }
    out.gamma = s.Gamma;
    out.left = LeftBoundary(s);
    out.right = RightBoundary(s);
    return true;
}

} // namespace tamrel::exact
