// SPDX-License-Identifier: GPL-3.0-or-later
#include "run/BoundaryFill.h"
#include "kernels/SchemeTable.h"
#include "state/Boundaries.h"

#include <array>
#include <cstddef>

namespace tamrel {

namespace {

    // The arrays a boundary fill touches, VX (the one that changes sign at a
    // reflecting wall) among them; the fluid arrays only under a two-fluid scheme.
    struct FilledArrays {
        std::array<BoundedArray<double>*, 15> a {};
        std::size_t count = 0;
        auto begin() const { return a.begin(); }
        auto end() const { return a.begin() + static_cast<std::ptrdiff_t>(count); }
    };

    FilledArrays filledArrays(ExperimentState& s)
    {
        FilledArrays f;
        for (auto* q : { &s.VX, &s.Rho, &s.P, &s.VY, &s.FSmoke })
            f.a[f.count++] = q;
        if (kernels::twoFluidScheme(s.SchemeName) && s.Rho1.contains(s.NGridCells + s.NBdy))
            for (auto* q : { &s.Rho1, &s.P1, &s.Rho2, &s.P2, &s.FFrac, &s.FFracX, &s.FFracY, &s.FFracXX,
                     &s.FFracXY, &s.FFracYY })
                f.a[f.count++] = q;
        return f;
    }

} // namespace

void FillGhostCells(ExperimentState& s)
{
    FillGhostEdges(s, s.X);
    for (auto* q : filledArrays(s))
        FillGhostValues(s, *q, q == &s.VX ? -1.0 : 1.0);
}

void FillBoundaryCellsForBegin(ExperimentState& s)
{
    const long n = s.NGridCells;
    for (auto* q : { &s.Rho, &s.P, &s.VX, &s.VY, &s.FSmoke }) {
        if (s.RiemannPlots != 0) {
            (*q)[0] = (*q)[n];
            (*q)[n + 1] = (*q)[1];
        } else {
            const double sign = q == &s.VX ? -1.0 : 1.0;
            (*q)[0] = sign * (*q)[1];
            (*q)[n + 1] = sign * (*q)[n];
        }
    }
}

} // namespace tamrel
