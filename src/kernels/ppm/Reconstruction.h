// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Steps 1 and 2 of the PPM strip and the limiters of every parabola: the
// limited slopes (CW84 eq 1.7-1.8, the monotonised central slope), the
// fourth-order interface values a_{c+1/2} = (a_c + a_{c+1})/2
// - (d_{c+1} - d_c)/6 (CW84 eq 1.6, 1.9 on a uniform grid) of u, p, vy and
// the smoke, and the monotonicity constraints of eq 1.10, which reset an edge
// value so that the parabola has no extremum inside the cell:
//   (aR - a)(a - aL) <= 0            ->  aL = aR = a
//   (aR - aL) a6 > (aR - aL)^2        ->  aL = 3a - 2aR
//   -(aR - aL)^2 > (aR - aL) a6       ->  aR = 3a - 2aL
// with a6 = 6 (a - (aL + aR)/2).
//
// Contract: each loop is branch-free and writes only element c of arrays it
// does not read, so that it vectorises; its operations per cell are a
// constant.

#include "kernels/common/KernelMath.h"
#include "kernels/common/SlopeLimiters.h"
#include "kernels/ppm/PpmScratch.h"

namespace tamrel::kernels::ppm {

// Step 1. Limited slopes of u, p, vy and the smoke, cells c0-1 .. c1+1: the
// monotonised central slope of CW84 eq 1.8.
template <class T> void ppmSlopes(const PpmScratch<T>& w, int c0, int c1)
{
    for (int q = 0; q < 4; ++q) {
        const T* __restrict a = w[sU + q];
        T* __restrict d = w[sDU + q];
#pragma GCC ivdep
        for (int c = c0 - 1; c <= c1 + 1; ++c)
            d[c] = mcSlope(a[c] - a[c - 1], a[c + 1] - a[c]);
    }
}

// Step 2. Their interface values a_{c+1/2} (CW84 eq 1.9 on a uniform grid), c0-1 .. c1.
template <class T> void ppmInterfaces(const PpmScratch<T>& w, int c0, int c1)
{
    const T sixth = T(1) / T(6);
    for (int q = 0; q < 4; ++q) {
        const T* __restrict a = w[sU + q];
        const T* __restrict d = w[sDU + q];
        T* __restrict ai = w[sIU + q];
#pragma GCC ivdep
        for (int c = c0 - 1; c <= c1; ++c)
            ai[c] = T(0.5) * (a[c] + a[c + 1]) - sixth * (d[c + 1] - d[c]);
    }
}

// The monotonicity constraints of CW84 eq 1.10 on one parabola.
template <class T> inline void monotonise(T a, T& aL, T& aR)
{
    const T da = aR - aL;
    const T a6 = T(6) * (a - T(0.5) * (aL + aR));
    const bool extremum = (aR - a) * (a - aL) <= T(0);
    const T q = da * a6;
    const T d2 = da * da;
    const T nL = kselect(q > d2, T(3) * a - T(2) * aR, aL);
    const T nR = kselect(-d2 > q, T(3) * a - T(2) * aL, aR);
    aL = kselect(extremum, a, nL);
    aR = kselect(extremum, a, nR);
}

// The same for a parabola of mean 0 (the edge values relative to the mean).
template <class T> inline void monotoniseAboutZero(T& aL, T& aR)
{
    const T da = aR - aL;
    const T a6 = T(-3) * (aL + aR);
    const bool extremum = aR * aL >= T(0);
    const T q = da * a6;
    const T d2 = da * da;
    const T nL = kselect(q > d2, T(-2) * aR, aL);
    const T nR = kselect(-d2 > q, T(-2) * aL, aR);
    aL = kselect(extremum, T(0), nL);
    aR = kselect(extremum, T(0), nR);
}

// One parabola on a cell: its edge values, their difference da and a6.
template <class T> struct Parabola {
    T aL, aR, da, a6;
};

template <class T> inline Parabola<T> parabola(T a, T aL, T aR)
{
    return { aL, aR, aR - aL, T(6) * a - T(3) * (aL + aR) };
}

} // namespace tamrel::kernels::ppm
