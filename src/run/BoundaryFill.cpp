// SPDX-License-Identifier: GPL-3.0-or-later
#include "run/BoundaryFill.h"
#include "kernels/SchemeTable.h"

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
    const long n = s.NGridCells;
    const long b = s.NBdy;
    auto& x = s.X;
    const auto arrays = filledArrays(s);

    if (s.MnBdry == 4) {
        const double len = x[n + 1] - x[1];
        for (long k = 1; k <= b; ++k) {
            x[1 - k] = x[n + 1 - k] - len;
            x[n + 1 + k] = x[1 + k] + len;
        }
        for (auto* q : arrays)
            for (long k = 1; k <= b; ++k) {
                (*q)[n + k] = (*q)[k];
                (*q)[1 - k] = (*q)[n + 1 - k];
            }
        return;
    }

    if (s.MnBdry == 1) {
        for (long k = 1; k <= b; ++k)
            x[1 - k] = 2 * x[1] - x[1 + k];
        for (auto* q : arrays) {
            const double sign = q == &s.VX ? -1.0 : 1.0;
            for (long k = 1; k <= b; ++k)
                (*q)[1 - k] = sign * (*q)[k];
        }
    } else {
        for (long k = 1; k <= b; ++k)
            x[1 - k] = x[2 - k] - x[2] + x[1];
        for (auto* q : arrays)
            for (long k = 1; k <= b; ++k)
                (*q)[1 - k] = (*q)[1];
    }

    if (s.MxBdry == 1) {
        for (long k = 1; k <= b; ++k)
            x[n + 1 + k] = 2 * x[n + 1] - x[n + 1 - k];
        for (auto* q : arrays) {
            const double sign = q == &s.VX ? -1.0 : 1.0;
            for (long k = 1; k <= b; ++k)
                (*q)[n + k] = sign * (*q)[n + 1 - k];
        }
    } else {
        for (long k = 1; k <= b; ++k)
            x[n + 1 + k] = x[n + k] + x[n + 1] - x[n];
        for (auto* q : arrays)
            for (long k = 1; k <= b; ++k)
                (*q)[n + k] = (*q)[n];
    }
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
