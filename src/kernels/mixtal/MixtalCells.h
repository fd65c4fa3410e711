// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The equations of one cell or interface of the two-fluid strip: the
// mixture's ratio of specific heats, the motion of a cell's fluid-2 slab, the
// volume crossing an interface and the pieces landing in a cell.
//
// Mixture: theta = 1/(g-1) is linear in the volume fraction f of fluid 2,
//   theta = theta1 + (theta2 - theta1) f,  g = 1 + 1/theta,
// so that p = (E - rho u^2/2) / theta holds for the mixed cell.
// Slab motion: the velocity is linear across a cell, from uL at its left edge
// to uR at its right one; a point x moves to x + dt u(x) (cell-local
// coordinates keep the rounding near float epsilon).
// Crossing: the fluid-2 volume an interface moving at uf sweeps in dt out of
// the upwind cell's moved slab; the fluid-2 mass crossing is that volume times
// the upwind fluid-2 density.
// Landing: the moved slabs of a cell and its neighbours cut to the cell give
// its new volume fraction and first and second moments about its centre.
//
// Contract: each function is branch-free for plain numbers (every candidate
// formed, one selected), so that the loops over cells vectorise.

#include <cstdint>

#include "kernels/common/CellUpdate.h"
#include "kernels/common/FluidSlab.h"
#include "kernels/common/KernelMath.h"
#include "kernels/mixtal/MixtalScratch.h"

namespace tamrel::kernels::mixtal {

// --- The blocks -------------------------------------------------------

// 1/(g-1) of fluid 1 and its change to fluid 2's: the mixture has
// theta = th1 + dth f.
template <class T> struct Closure {
    T th1, dth;
};
template <class T> Closure<T> closureOf(T gamma1, T gamma2)
{
    const T th1 = T(1) / (gamma1 - T(1));
    return { th1, T(1) / (gamma2 - T(1)) - th1 };
}

// A cell's fraction (clamped to [0, 1]) and the ratio of specific heats of
// its mixture: theta, gamma = 1 + 1/theta and (gamma+1)/(2 gamma).
template <class T> struct MixedCell {
    T f, theta, gam, gfac;
};
template <class T> MixedCell<T> mixedCell(T fraction, const Closure<T>& cl)
{
    MixedCell<T> m;
    m.f = kmax(T(0), kmin(T(1), fraction));
    m.theta = cl.th1 + cl.dth * m.f;
    m.gam = T(1) + T(1) / m.theta;
    m.gfac = T(0.5) + T(0.5) / m.gam;
    return m;
}

// The slab [a, b] of a cell of width x1 - x0 moved for dt by the velocity
// that is linear across the cell from uL at its left edge to uR at its
// right one (cell-local coordinates keep the rounding of a fraction near
// float epsilon).
template <class T> Slab<T> movedSlab(const Slab<T>& s, T x0, T x1, T dt, T uL, T uR)
{
    const T k0 = dt / (x1 - x0);
    return { s.a + k0 * (uL + (uR - uL) * s.a), s.b + k0 * (uL + (uR - uL) * s.b) };
}

// The fluid-2 volume v2 that crosses an interface moving at uf in dt,
// from the moved slab [a, b] of the upwind cell (from x0 to x1), and the
// volume the interface sweeps.
template <class T> struct Crossing {
    T v2, swept;
};
template <class T> Crossing<T> crossingVolume(T uf, T dt, T a, T b, T x0, T x1, bool fromLeft)
{
    return { choose<T>(
                 fromLeft, [&] { return kmax(T(0), b - kmax(a, T(1))) * (x1 - x0); },
                 [&] { return kmax(T(0), kmin(b, T(0)) - a) * (x1 - x0); }),
        choose<T>(
            fromLeft, [&] { return uf * dt; }, [&] { return -uf * dt; }) };
}
template <class T> T crossingFraction(T v2, T swept)
{
    return kmin(T(1), v2 / swept);
}

// theta of the gas crossing, and the fluid-2 mass crossing (signed).
template <class T> struct CrossingFlow {
    T theta, m2;
};
template <class T> CrossingFlow<T> crossingFlow(const Closure<T>& cl, T fbar, T rho2Up, T v2, bool fromLeft)
{
    const T m = rho2Up * v2;
    return { cl.th1 + cl.dth * fbar, fromLeft ? m : -m };
}

// Width of a neighbour in units of this cell.
template <class T> T widthRatio(T x0, T x1, T dx)
{
    return (x1 - x0) / dx;
}

// The part [lo, hi] of this cell (in its widths) that the moved slab of a
// neighbour covers; offset is where the neighbour starts, scale its width.
template <class T> Slab<T> pieceBounds(T offset, T scale, const Slab<T>& moved)
{
    return { kmax(offset + moved.a * scale, T(0)), kmin(offset + moved.b * scale, T(1)) };
}

// Volume, first and second moments about the centre of the fluid 2 in a
// cell, in its widths.
template <class T> struct Moments {
    T vol, m1, m2;
};
// The piece [lo, hi] added to m: its volume, and with WithMoments its
// moments.
template <bool WithMoments, class T> void addPiece(Moments<T>& m, T lo, T hi)
{
    m.vol = m.vol + (hi - lo);
    if constexpr (WithMoments) {
        const T half(0.5);
        const T dl = lo - half, dh = hi - half;
        m.m1 = m.m1 + half * (dh * dh - dl * dl);
        m.m2 = m.m2 + (dh * dh * dh - dl * dl * dl) / T(3);
    }
}

// The piece [lo, hi] added to m where it is not empty (hi > lo).
template <bool WithMoments, class T> void addPieceIfAny(Moments<T>& m, T lo, T hi, std::int64_t& added)
{
    const bool any = hi > lo;
    added += any;
    if constexpr (kPlain<T>) {
        Moments<T> n = m;
        addPiece<WithMoments>(n, lo, hi);
        m.vol = any ? n.vol : m.vol;
        m.m1 = any ? n.m1 : m.m1;
        m.m2 = any ? n.m2 : m.m2;
    } else if (any) {
        addPiece<WithMoments>(m, lo, hi);
    }
}

// Rounding must not turn a full or an empty cell into a mixed one.
template <class T> T roundedFraction(T vol, T tol)
{
    return vol >= T(1) - tol ? T(1) : (vol <= tol ? T(0) : vol);
}

// The hydrodynamic update of a cell from the increments of its conserved
// quantities: U' formed directly, since the pressure takes theta of the
// new fraction, p = (E - m u / 2) / theta (VY is passive, see PpmStrip.h).
template <class T> struct HydroCell {
    T rhoNew, rho, u, v, p;
    bool positive; // the new density before its floor
};
template <class T>
HydroCell<T> hydroUpdate(T rc, T uc, T vc, T ec, const CellIncrements<T, 1>& d, T thetaNew, T floor)
{
    const T half(0.5);
    const T rn = rc + d.dRho;
    const T mn = rc * uc + d.dM;
    const T en = ec + d.dE;
    const T vn = rc * vc + d.dPhi[0];
    const T rf = kmax(rn, floor);
    const T ir = T(1) / rf;
    const T un = mn * ir;
    return { rn, rf, un, vn * ir, kmax((en - half * mn * un) / thetaNew, floor), rn > T(0) };
}

template <class T> T fluid2Mass(T f, T rho2, T dx, T m2Left, T m2Right)
{
    return f * rho2 * dx - (m2Right - m2Left);
}

template <class T> T cellCourant(T running, T u, T c, T dtdx)
{
    return kmax(running, (kabs(u) + c) * dtdx);
}

} // namespace tamrel::kernels::mixtal
