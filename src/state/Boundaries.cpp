// SPDX-License-Identifier: GPL-3.0-or-later
#include "state/Boundaries.h"

namespace tamrel {

namespace {

    BoundaryKind kindOf(const ExperimentState& s, Long code)
    {
        if (s.MnBdry == kPeriodicBoundary)
            return BoundaryKind::Periodic;
        return code == kReflectingBoundary ? BoundaryKind::Reflecting : BoundaryKind::Continuation;
    }

} // namespace

BoundaryKind LeftBoundaryKind(const ExperimentState& s)
{
    return kindOf(s, s.MnBdry);
}

BoundaryKind RightBoundaryKind(const ExperimentState& s)
{
    return kindOf(s, s.MxBdry);
}

void FillGhostEdges(const ExperimentState& s, BoundedArray<double>& x)
{
    const long n = s.NGridCells;
    const long b = s.NBdy;
    if (LeftBoundaryKind(s) == BoundaryKind::Periodic) {
        const double len = x[n + 1] - x[1];
        for (long k = 1; k <= b; ++k) {
            x[1 - k] = x[n + 1 - k] - len;
            x[n + 1 + k] = x[1 + k] + len;
        }
        return;
    }
    // Continuation repeats the end cell's width outwards, one ghost after another.
    if (LeftBoundaryKind(s) == BoundaryKind::Reflecting)
        for (long k = 1; k <= b; ++k)
            x[1 - k] = 2 * x[1] - x[1 + k];
    else
        for (long k = 1; k <= b; ++k)
            x[1 - k] = x[2 - k] - x[2] + x[1];
    if (RightBoundaryKind(s) == BoundaryKind::Reflecting)
        for (long k = 1; k <= b; ++k)
            x[n + 1 + k] = 2 * x[n + 1] - x[n + 1 - k];
    else
        for (long k = 1; k <= b; ++k)
            x[n + 1 + k] = x[n + k] + x[n + 1] - x[n];
}

void FillGhostValues(const ExperimentState& s, BoundedArray<double>& q, double wallSign)
{
    const long n = s.NGridCells;
    const long b = s.NBdy;
    if (LeftBoundaryKind(s) == BoundaryKind::Periodic) {
        for (long k = 1; k <= b; ++k) {
            q[n + k] = q[k];
            q[1 - k] = q[n + 1 - k];
        }
        return;
    }
    if (LeftBoundaryKind(s) == BoundaryKind::Reflecting)
        for (long k = 1; k <= b; ++k)
            q[1 - k] = wallSign * q[k];
    else
        for (long k = 1; k <= b; ++k)
            q[1 - k] = q[1];
    if (RightBoundaryKind(s) == BoundaryKind::Reflecting)
        for (long k = 1; k <= b; ++k)
            q[n + k] = wallSign * q[n + 1 - k];
    else
        for (long k = 1; k <= b; ++k)
            q[n + k] = q[n];
}

} // namespace tamrel
