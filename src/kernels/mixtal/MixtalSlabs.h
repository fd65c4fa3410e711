// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Steps 3 and 4 of the two-fluid strip: each cell's fluid-2 slab, placed
// from its fraction and first moment (kernels/common/FluidSlab.h) and moved by
// the contact velocities u* of its interfaces; then what crosses each
// interface: theta of the gas crossing (for PPM's energy flux,
// u (p (theta + 1) + rho u^2/2)) and the fluid-2 mass, both from the upwind
// cell.
//
// Contract: reads PPM's interface solutions (sSU) and the loaded cells;
// writes mA, mB (the moved slab of each cell 0..L+1, in its own widths),
// mThetaFace and mM2 at the interfaces 1/2 .. L+1/2.

#include <cstdint>
#include <limits>

#include "kernels/common/FluidSlab.h"
#include "kernels/mixtal/MixtalCells.h"
#include "kernels/mixtal/MixtalScratch.h"

namespace tamrel::kernels::mixtal {

// How often each way of placing a slab was taken.
struct SlabPaths {
    std::int64_t empty = 0, full = 0, atLeft = 0, atRight = 0, inside = 0;
};

// The slab of a cell (kernels/common/FluidSlab.h), its way counted. The
// counting type takes placeSlab's branches; plain numbers form the
// candidates of every way and select the one placeSlab takes.
template <class T> Slab<T> cellSlab(T f, T fx, SlabPaths& n)
{
    if constexpr (kPlain<T>) {
        const T half(0.5);
        const T tol(kSlabFractionTolerance);
        const T edge(kSlabEdgeTolerance);
        const bool empty = f <= tol;
        const bool full = !empty & (f >= T(1) - tol);
        const T h = half * f;
        const T xi = kmax(h - half, kmin(half - h, fx / f));
        const T a = half + xi - h;
        const T b = half + xi + h;
        const bool placed = !empty & !full;
        const bool atLeft = placed & (a < edge);
        const bool atRight = placed & !(a < edge) & (b > T(1) - edge);
        const bool inside = placed & !atLeft & !atRight;
        n.empty += empty;
        n.full += full;
        n.atLeft += atLeft;
        n.atRight += atRight;
        n.inside += inside;
        const T sa = empty ? half : (inside ? a : (atRight ? T(1) - f : T(0)));
        const T sb = empty ? half : (inside ? b : (atLeft ? f : T(1)));
        return { sa, sb };
    } else {
        return placeSlab(f, fx, [&](SlabPlacement p) {
            n.empty += p == SlabPlacement::Empty;
            n.full += p == SlabPlacement::Full;
            n.atLeft += p == SlabPlacement::AtLeftEdge;
            n.atRight += p == SlabPlacement::AtRightEdge;
            n.inside += p == SlabPlacement::Inside;
        });
    }
}

// a[lo .. hi) all finite and not negative (the sign bit clear, below
// infinity).
template <class T> bool finiteNotNegative(const T* a, int lo, int hi)
{
    const std::uint64_t infinity = bitsOf(std::numeric_limits<double>::infinity());
    int unfit = 0;
    for (int c = lo; c < hi; ++c)
        unfit |= bitsOf(a[c]) >= infinity;
    return unfit == 0;
}

// Cells lo .. hi-1 all full of fluid 2 (their clamped fractions at least
// 1 less the tolerance).
template <class T> bool onlyFluid2(const T* f, int lo, int hi)
{
    const double full = 1.0 - kSlabFractionTolerance;
    int any = 0;
    for (int c = lo; c < hi; ++c)
        any |= !(double(plainValue(f[c])) >= full);
    return any == 0;
}

// An empty slab [a, a] adds no piece to any cell it is moved over and no
// fluid 2 crosses an interface from it, wherever a lies: blocks of empty
// cells do not move their slabs.
inline constexpr double kUnmovedEmptySlab = 0.5;

// Step 3: the fluid-2 slab of each cell 0..L+1 (c = B-1 .. B+L), moved
// by the contact velocities of its interfaces. The outermost cells lack
// their outer interface solution: their slab moves with the inner one.
template <class T, class TallyT>
void moveSlabs(
    const MixtalIO& io, const SlotScratch<T>& w, T dt, int L, int B, const CellRuns& runs, TallyT& tally)
{
    const T* __restrict x = w[mX];
    const T* __restrict us = w[sSU]; // contact velocity at c+1/2
    const T* __restrict f = w[mF];
    const float* __restrict fx = io.fracX + (1 - io.s.B);
    T* __restrict ma = w[mA];
    T* __restrict mb = w[mB];
    SlabPaths n;
    auto move = [&](int c, T uL, T uR) {
        const Slab<T> moved = movedSlab(cellSlab(f[c], T(fx[c]), n), x[c], x[c + 1], dt, uL, uR);
        ma[c] = moved.a;
        mb[c] = moved.b;
    };
    move(B - 1, us[B - 1], us[B - 1]);
    std::uint64_t moved = 2;
    for (int b0 = B; b0 < B + L; b0 += kBlock) {
        const int b1 = b0 + kBlock < B + L ? b0 + kBlock : B + L;
        if (runs.noFluid2(b0, b1)) {
            for (int c = b0; c < b1; ++c) {
                ma[c] = T(kUnmovedEmptySlab);
                mb[c] = T(kUnmovedEmptySlab);
            }
            continue;
        }
#pragma GCC ivdep
        for (int c = b0; c < b1; ++c)
            move(c, us[c - 1], us[c]);
        moved += static_cast<std::uint64_t>(b1 - b0);
    }
    move(B + L, us[B + L - 1], us[B + L - 1]);
    tally.hit(Block::SlabEmpty, static_cast<std::uint64_t>(n.empty));
    tally.hit(Block::SlabFull, static_cast<std::uint64_t>(n.full));
    tally.hit(Block::SlabAtLeftEdge, static_cast<std::uint64_t>(n.atLeft));
    tally.hit(Block::SlabAtRightEdge, static_cast<std::uint64_t>(n.atRight));
    tally.hit(Block::SlabInside, static_cast<std::uint64_t>(n.inside));
    tally.hit(Block::SlabMove, moved);
}

// Step 4: what crosses each interface 1/2 .. L+1/2: theta of the gas (for
// the energy flux) and the fluid-2 mass. The fluid comes from the upwind
// cell: both neighbours are read and the upwind one selected.
template <class T, class TallyT>
void crossings(const MixtalIO& io, const SlotScratch<T>& w, const Closure<T>& cl, T dt, int L, int B,
    const CellRuns& runs, TallyT& tally)
{
    const T* __restrict x = w[mX];
    const T* __restrict us = w[sSU];
    const T* __restrict ma = w[mA];
    const T* __restrict mb = w[mB];
    const float* __restrict r2 = io.rho2 + (1 - io.s.B);
    T* __restrict thetaFace = w[mThetaFace];
    T* __restrict m2 = w[mM2];
    std::int64_t fractions = 0;
    std::uint64_t volumes = 0;
    auto crossing = [&](int c) {
        const T uf = us[c];
        const bool fromLeft = uf >= T(0);
        auto upwind = [&](const auto* a) {
            return choose<T>(
                fromLeft, [&] { return T(a[c]); }, [&] { return T(a[c + 1]); });
        };
        const Crossing<T> cr = crossingVolume(uf, dt, upwind(ma), upwind(mb), upwind(x), upwind(x + 1), fromLeft);
        const bool swept = cr.swept > T(0);
        fractions += swept;
        const T fbar = choose<T>(
            swept, [&] { return crossingFraction(cr.v2, cr.swept); }, [] { return T(0); });
        const CrossingFlow<T> flow = crossingFlow(cl, fbar, upwind(r2), cr.v2, fromLeft);
        thetaFace[c] = flow.theta;
        m2[c] = flow.m2;
    };
    // Between two empty cells the volume and the fraction crossing are +0
    // (an empty slab, an interface that moves it or not); only the flow of
    // fluid 1 and its theta remain.
    auto emptyCrossing = [&](int c) {
        const T uf = us[c];
        const bool fromLeft = uf >= T(0);
        const T r2Up = choose<T>(
            fromLeft, [&] { return T(r2[c]); }, [&] { return T(r2[c + 1]); });
        const CrossingFlow<T> flow = crossingFlow(cl, T(0), r2Up, T(0), fromLeft);
        thetaFace[c] = flow.theta;
        m2[c] = flow.m2;
    };
    for (int b0 = B - 1; b0 < B + L; b0 += kBlock) {
        const int b1 = b0 + kBlock < B + L ? b0 + kBlock : B + L;
        if (runs.noFluid2(b0, b1 + 1)) {
#pragma GCC ivdep
            for (int c = b0; c < b1; ++c)
                emptyCrossing(c);
            continue;
        }
#pragma GCC ivdep
        for (int c = b0; c < b1; ++c)
            crossing(c);
        volumes += static_cast<std::uint64_t>(b1 - b0);
    }
    tally.hit(Block::CrossingFraction, static_cast<std::uint64_t>(fractions));
    tally.hit(Block::Crossing, volumes);
    tally.hit(Block::EmptyCrossing, static_cast<std::uint64_t>(L + 1) - volumes);
}

} // namespace tamrel::kernels::mixtal
