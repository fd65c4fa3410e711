// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The two-shock approximate Riemann solver of Colella & Woodward (1984,
// J. Comput. Phys. 54, 174, sec 3; "CW84") and Colella & Glaz (1985, J.
// Comput. Phys. 59, 264), as the PPM kernels use it: both outer waves are
// taken as shocks, the star pressure found by a fixed number of Newton steps
// from the acoustic guess, and the state at x/t = 0 interpolated linearly
// through a rarefaction fan.
//
// Inputs are the states on either side of an interface with their ratio of
// specific heats g and (g+1)/2. Branch-free: the same operations for any
// state, so that a loop over interfaces vectorises and costs the same on all
// data.

#include "kernels/common/KernelMath.h"

namespace tamrel::kernels::riemann {

// Newton iterations of the two-shock solver. Three bring the interface
// pressure of the strongest shock-tube test (pressure ratio 1e5) to within a
// fraction of a percent of its converged value; the first guess is the
// acoustic (linearised) one.
inline constexpr int kTwoShockIterations = 3;

// One side of an interface.
template <class T> struct TwoShockSide {
    T rho, u, p;
    T g; // ratio of specific heats
    T halfGp1; // (g + 1) / 2
};

// The state at x/t = 0 and where the gas crossing comes from.
template <class T> struct TwoShockState {
    T rho, u, p;
    T fromLeft; // 1 when the contact moves right (u* >= 0), the crossing gas being the left state's; else 0
};

// floor: the smallest star pressure.
template <class T>
inline TwoShockState<T> twoShockState(const TwoShockSide<T>& L, const TwoShockSide<T>& R, T floor)
{
    const T rhoL = L.rho, uL = L.u, pL = L.p;
    const T rhoR = R.rho, uR = R.u, pR = R.p;
    const T cL2 = L.g * pL * rhoL; // squared Lagrangian sound speeds
    const T cR2 = R.g * pR * rhoR;
    const T cL = ksqrt(cL2);
    const T cR = ksqrt(cR2);
    // The shock impedances W^2 = C^2 (1 + (g+1)/(2g) (p*/p - 1))
    // = C^2 + aK (p* - p), aK = (g+1) rho / 2 (CW84 eq 3.10).
    const T aL = L.halfGp1 * rhoL;
    const T aR = R.halfGp1 * rhoR;
    // Acoustic first guess.
    T ps = kmax(floor, (cR * pL + cL * pR - cL * cR * (uR - uL)) / (cL + cR));
    // Newton on uR*(p) - uL*(p) = 0 along the shock curves u = u_K -/+
    // (p - p_K)/W_K (CW84 eq 3.8-3.9), whose slopes are
    // dp/du = 2 W^3 / (W^2 + C^2) (eq 3.10-3.11).
#pragma GCC unroll 8
    for (int it = 0; it < kTwoShockIterations; ++it) {
        const T wL = ksqrt(cL2 + aL * (ps - pL));
        const T wR = ksqrt(cR2 + aR * (ps - pR));
        const T iwL = T(1) / wL;
        const T iwR = T(1) / wR;
        const T izL = T(0.5) * (wL * wL + cL2) * (iwL * iwL * iwL);
        const T izR = T(0.5) * (wR * wR + cR2) * (iwR * iwR * iwR);
        const T usL = uL - (ps - pL) * iwL;
        const T usR = uR + (ps - pR) * iwR;
        ps = kmax(floor, ps - (usR - usL) / (izL + izR));
    }
    const T wL2 = cL2 + aL * (ps - pL);
    const T wR2 = cR2 + aR * (ps - pR);
    const T wL = ksqrt(wL2);
    const T wR = ksqrt(wR2);
    const T us = (wL * uL + wR * uR + (pL - pR)) / (wL + wR);

    // Upwind side of the contact; mirror the right side so that the wave to
    // sample always travels left from the contact.
    const bool left = us >= T(0);
    const T rho0 = kselect(left, rhoL, rhoR);
    const T tau0 = T(1) / rho0;
    const T p0 = kselect(left, pL, pR);
    const T w0 = kselect(left, wL, wR);
    const T iw02 = T(1) / kselect(left, wL2, wR2);
    const T c0s = kselect(left, cL, cR) * tau0; // Eulerian sound speed
    const T g = kselect(left, L.g, R.g);
    const T u0m = kselect(left, uL, -uR); // mirrored velocities
    const T usm = kselect(left, us, -us);
    const T tauS = kmax(tau0 - (ps - p0) * iw02, T(0.01) * tau0);
    const T rhoS = T(1) / tauS;
    const T cS = ksqrt(g * ps * tauS);
    const bool shock = ps > p0;
    const T sShock = u0m - w0 * tau0;
    const T head = kselect(shock, sShock, u0m - c0s);
    const T tail = kselect(shock, sShock, usm - cS);
    // Weight of the star state at x/t = 0: 0 left of the head (a shock or the
    // head of a fan), 1 right of the tail, linear in between (CW84's fan
    // interpolation).
    const T span = kmax(tail - head, T(1e-30));
    const T wS = kmax(T(0), kmin(T(1), (-head) / span));
    const T um = u0m + wS * (usm - u0m);
    return { rho0 + wS * (rhoS - rho0), kselect(left, um, -um), p0 + wS * (ps - p0), kselect(left, T(1), T(0)) };
}

} // namespace tamrel::kernels::riemann
