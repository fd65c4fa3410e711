// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the moved slabs leave in a cell: its new fluid-2 volume and moments
// from the pieces of the moved slabs of the cell and its two neighbours, and
// the densities of the two fluids in it,
//   rho2 = (rho2 f dx + m2_{c-1/2} - m2_{c+1/2}) / (f' dx),
//   rho1 = (rho' - f' rho2) / (1 - f'),
// a cell of one fluid taking that fluid's density and a cell without fluid k
// keeping its rho_k.
//
// Contract: branch-free for plain numbers; the counters say which
// data-dependent blocks ran, for the tally.

#include <cstdint>

#include "kernels/mixtal/MixtalCells.h"
#include "kernels/mixtal/MixtalScratch.h"

namespace tamrel::kernels::mixtal {

// How often the data-dependent blocks of the landed fluid ran.
struct LandingPaths {
    std::int64_t pieces = 0; // with their moments
    std::int64_t volumes = 0; // cells whose landed volume alone was formed
    std::int64_t volumePieces = 0; // pieces added to those
};

// The moved slabs of cells c-1, c, c+1 inside cell c: its new fluid-2
// volume and (WithMoments) moments, in its widths. The left neighbour
// ends, the right one starts, at this cell's edge. Pieces counts the
// pieces added.
template <bool WithMoments, class T>
Moments<T> landedFluid(
    const T* __restrict x, const T* __restrict ma, const T* __restrict mb, int c, T dx, std::int64_t& pieces)
{
    Moments<T> m { T(0), T(0), T(0) };
    const T left = widthRatio(x[c - 1], x[c], dx);
    const Slab<T> pl = pieceBounds(-left, left, Slab<T> { ma[c - 1], mb[c - 1] });
    addPieceIfAny<WithMoments>(m, pl.a, pl.b, pieces);
    const Slab<T> pc = pieceBounds(T(0), T(1), Slab<T> { ma[c], mb[c] });
    addPieceIfAny<WithMoments>(m, pc.a, pc.b, pieces);
    const T right = widthRatio(x[c + 1], x[c + 2], dx);
    const Slab<T> pr = pieceBounds(T(1), right, Slab<T> { ma[c + 1], mb[c + 1] });
    addPieceIfAny<WithMoments>(m, pr.a, pr.b, pieces);
    return m;
}

// The densities of the two fluids in a cell of new fraction fn and
// mixture density rf. A cell of one fluid has that fluid's density; in a
// cell without fluid k, Rhok keeps its value.
template <class T> struct FluidDensities {
    T rho1, rho2;
};
// How often the data-dependent blocks of the fluid densities ran.
struct DensityPaths {
    std::int64_t rho2Mixed = 0, complement = 0, rho1Mixed = 0, oneAtFloor = 0;
};
template <class T>
FluidDensities<T> fluidDensities(T fn, T rf, T mass2, T dx, T r1Old, T r2Old, T floor, T tol, DensityPaths& n)
{
    const bool full = fn >= T(1);
    const bool mixed2 = !full & (fn > tol);
    n.rho2Mixed += mixed2;
    T rho2 = choose<T>(
        mixed2, [&] { return mass2 / (fn * dx); }, [&] { return full ? rf : r2Old; });
    rho2 = kmax(rho2, floor);
    const bool notEmpty = !(fn <= T(0));
    n.complement += notEmpty;
    const T rest = choose<T>(
        notEmpty, [&] { return T(1) - fn; }, [] { return T(0); });
    const bool mixed1 = notEmpty & (rest > tol);
    n.rho1Mixed += mixed1;
    T rho1 = choose<T>(
        mixed1, [&] { return (rf - fn * rho2) / (T(1) - fn); }, [&] { return notEmpty ? r1Old : rf; });
    // Where the fraction and the mixture density disagree so much that
    // fluid 1 would need a density below the floor, fluid 2 gives way:
    // the mixture rule rho = f rho2 + (1 - f) rho1 always holds.
    const bool low = (rho1 < floor) & (fn > tol);
    n.complement += low;
    const T restLow = choose<T>(
        low, [&] { return T(1) - fn; }, [] { return T(0); });
    const bool atFloor = low & (restLow > tol);
    n.oneAtFloor += atFloor;
    rho2 = choose<T>(
        atFloor, [&] { return kmax((rf - (T(1) - fn) * floor) / fn, floor); }, [&] { return rho2; });
    rho1 = atFloor ? floor : rho1;
    return { kmax(rho1, floor), rho2 };
}

template <class T> float out(T v)
{
    return static_cast<float>(plainValue(v));
}

// The largest of v[0..n) and 0, none of them NaN. Eight running maxima,
// so that the loop runs on whole vectors: the largest value of a set does
// not depend on the order it is looked for in.
template <class T> double largestOf(const T* v, int n)
{
    constexpr int kLanes = 8;
    double lane[kLanes] = {};
    int c = 0;
    for (; c + kLanes <= n; c += kLanes)
        for (int k = 0; k < kLanes; ++k)
            lane[k] = kmax(lane[k], double(plainValue(v[c + k])));
    for (; c < n; ++c)
        lane[0] = kmax(lane[0], double(plainValue(v[c])));
    double largest = 0;
    for (double m : lane)
        largest = kmax(largest, m);
    return largest;
}

} // namespace tamrel::kernels::mixtal
