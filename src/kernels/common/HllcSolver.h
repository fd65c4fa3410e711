// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The HLLC approximate Riemann solver (Toro, Spruce and Speares, Shock Waves
// 4 (1994) 25; Toro ch. 10.4) with the wave-speed estimates of Einfeldt
// (SIAM J. Numer. Anal. 25 (1988) 294) that Batten, Clarke, Lambert and
// Causon recommend for positivity (SIAM J. Sci. Comput. 18 (1997) 1553):
//     SL = min(uL - cL, u~ - c~),  SR = max(uR + cR, u~ + c~)
// with Roe averages u~, c~ (c~^2 in Einfeldt's form, a mean of cL^2 and cR^2
// plus a positive jump term, so it never goes negative). Contact speed S*
// (Toro eq 10.37), star states (eq 10.39), and the flux
//     F = F_K + s_K (U*_K - U_K),  K = L if S* >= 0 else R,
//     s_L = min(SL, 0),  s_R = max(SR, 0)
// which is F_L, F*L, F*R or F_R in the four regions (eq 10.26) without a
// branch. Passive scalars take the mass flux times their value on the side
// K of the contact.
//
// Written for single precision in nearly uniform flow: the states carry
// their pressure relative to a reference pRef (the caller's choice, e.g. the
// smallest pressure of a strip), the momentum flux returned lacks pRef (which
// cancels in the update of any cell whose two fluxes share the reference),
// and U*_K - U_K is formed as (S* - u_K) times a factor rather than as a
// difference of two near-equal energies. Pressure jumps and small star
// corrections then keep their own precision instead of that of the
// background pressure.
//
// In exact arithmetic SL < S* < SR; the denominators SK - S* are kept at
// least 1e-4 (SR - SL) away from zero so that rounding in nearly
// pressureless flow cannot divide by zero.

#include <array>

#include "kernels/common/EulerState.h"
#include "kernels/common/KernelMath.h"

namespace tamrel::kernels {

// Flux between the states wl and wr, whose p members are pressures relative
// to pRef (densities and pressures wl.p + pRef, wr.p + pRef positive).
template <class T, int NP>
inline EulerFlux<T, NP> hllcFlux(
    const PrimitiveCell<T, NP>& wl, const PrimitiveCell<T, NP>& wr, T pRef, const EosConstants<T>& e)
{
    const T pl = wl.p + pRef, pr = wr.p + pRef;
    const T cl2 = e.gamma * pl / wl.rho, cr2 = e.gamma * pr / wr.rho;
    const T cl = ksqrt(cl2), cr = ksqrt(cr2);
    // Roe averages (Toro eq 11.60) and c~ (Einfeldt 1988, eq 5.8).
    const T sl = ksqrt(wl.rho), sr = ksqrt(wr.rho);
    const T w = T(1) / (sl + sr);
    const T uRoe = (sl * wl.u + sr * wr.u) * w;
    const T jump = wr.u - wl.u;
    const T cRoe = ksqrt((sl * cl2 + sr * cr2) * w + T(0.5) * e.gm1 * sl * sr * w * w * jump * jump);
    const T SL = kmin(wl.u - cl, uRoe - cRoe);
    const T SR = kmax(wr.u + cr, uRoe + cRoe);

    // Contact speed (Toro eq 10.37); mL, mR are the mass fluxes through the
    // outer waves as seen from the waves, rho_K (S_K - u_K).
    const T ml = wl.rho * (SL - wl.u), mr = wr.rho * (SR - wr.u);
    const T sStar = (wr.p - wl.p + ml * wl.u - mr * wr.u) / (ml - mr);

    const bool left = sStar >= T(0);
    const T guard = T(1e-4) * (SR - SL);
    const T rho = kselect(left, wl.rho, wr.rho);
    const T u = kselect(left, wl.u, wr.u);
    const T pRel = kselect(left, wl.p, wr.p);
    const T p = kselect(left, pl, pr);
    const T m = kselect(left, ml, mr);
    const T d = kselect(left, kmin(SL - sStar, -guard), kmax(SR - sStar, guard));
    const T s = kselect(left, kmin(SL, T(0)), kmax(SR, T(0)));
    std::array<T, NP> phi;
    for (int k = 0; k < NP; ++k)
        phi[k] = kselect(left, wl.phi[k], wr.phi[k]);

    // U*_K = (m/d) [1, S*, E_K/rho_K + (S* - u_K)(S* + p_K/m)] (Toro eq
    // 10.39); with rho* = m/d, rho*/rho - 1 = (S* - u)/d, so
    //     rho* - rho       = (S* - u) rho/d
    //     rho* S* - rho u  = (S* - u) (rho* + rho u/d)
    //     E* - E           = (S* - u) (E/d + rho* (S* + p/m)).
    const T rhoStar = m / d;
    const T slip = sStar - u;
    const T rd = rho / d;
    const T mass = rho * u;
    const T energy = totalEnergy(rho, u, p, e);
    EulerFlux<T, NP> f;
    f.mass = mass + s * slip * rd;
    f.mom = mass * u + pRel + s * slip * (rhoStar + u * rd);
    f.energy = u * (p * e.gOverGm1 + T(0.5) * mass * u) + s * slip * (energy / d + rhoStar * (sStar + p / m));
    for (int k = 0; k < NP; ++k)
        f.phi[k] = f.mass * phi[k];
    return f;
}

} // namespace tamrel::kernels
