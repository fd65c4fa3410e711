// SPDX-License-Identifier: GPL-3.0-or-later
#include "exact/ExactTracker.h"

#include <cmath>
#include <cstddef>

#include "state/StoredHistory.h"

namespace tamrel::exact {

bool ExactTracker::rowZeroIsReadyGrid(const ExperimentState& s) const
{
    const long n = s.NGridCells;
    if (!haveReady_ || ready_.cells() != n || !s.STRho.contains(n) || !s.STP.contains(n) || !s.STVX.contains(n))
        return false;
    if (ready_.gamma != s.Gamma || ready_.left != LeftBoundary(s) || ready_.right != RightBoundary(s))
        return false;
    for (long i = 1; i <= n + 1; ++i)
        if (ready_.edges[static_cast<std::size_t>(i - 1)] != s.X[i])
            return false;
    for (long i = 1; i <= n; ++i) {
        const auto k = static_cast<std::size_t>(i - 1);
        if (StoredValueOf(s, ready_.rho[k]) != s.STRho[i] || StoredValueOf(s, ready_.p[k]) != s.STP[i]
            || static_cast<float>(ready_.u[k]) != s.STVX[i])
            return false;
    }
    return true;
}

const ExactSolution& ExactTracker::update(const ExperimentState& s)
{
    InitialGrid g;
    if (!ReadInitialGrid(s, g, why_)) {
        g = InitialGrid(); // no grid: the solution says so
    } else if (s.isReady()) {
        ready_ = g;
        haveReady_ = true;
    } else if (rowZeroIsReadyGrid(s)) {
        g = ready_;
    }
    if (solves_ == 0 || !(g == grid_)) {
        grid_ = std::move(g);
        solution_ = ExactSolution::Of(grid_);
        ++solves_;
    }
    return solution_;
}

double ShownTime(const ExperimentState& s)
{
    const long row = s.StoredStateShown;
    const long n = s.NGridCells;
    if (s.Stopped == 0 || row < 0 || row >= s.NStoredStates || !s.StoredTime.contains(row))
        return s.TimeNow;
    const long o = row * (n + 2);
    for (const auto* a : { &s.STRho, &s.STP, &s.STVX })
        if (!a->contains(o) || !a->contains(o + n + 1))
            return s.TimeNow;
    if (!s.Rho.contains(n + 1) || !s.P.contains(n + 1) || !s.VX.contains(n + 1))
        return s.TimeNow;
    for (long j = 0; j <= n + 1; ++j)
        if (s.Rho[j] != PlainStoredValue(s, s.STRho[o + j]) || s.P[j] != PlainStoredValue(s, s.STP[o + j])
            || s.VX[j] != static_cast<double>(s.STVX[o + j]))
            return s.TimeNow;
    return s.StoredTime[row];
}

} // namespace tamrel::exact
