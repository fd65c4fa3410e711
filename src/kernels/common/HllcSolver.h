#pragma once
// The HLLC approximate Riemann solver (Toro, Spruce and Speares, Shock Waves
// 4 (1994) 25; Toro ch. 10.4) with the wave-speed estimates of Einfeldt
// (SIAM J. Numer. Anal. 25 (1988) 294) as Batten, Clarke, Lambert and
// Causon recommend them for positivity (SIAM J. Sci. Comput. 18 (1997) 1553):
//     SL = min(uL - cL, u~ - c~),  SR = max(uR + cR, u~ + c~)
// with Roe averages u~, c~ (Toro eq 11.60; c~^2 in the form that is a mean of
// cL^2 and cR^2 plus a positive jump term, so it never goes negative).
// Contact speed S* (Toro eq 10.37), star states (eq 10.39), and the flux
//     F = F_K + s_K (U*_K - U_K),  K = L if S* >= 0 else R,
//     s_L = min(SL, 0),  s_R = max(SR, 0)
// which is F_L, F*L, F*R or F_R in the four regions (eq 10.26) without a
// branch. Passive scalars take the mass flux times their value on the side
// K of the contact.
//
// In exact arithmetic SL < S* < SR; the denominators SK - S* are kept at
// least 1e-4 (SR - SL) away from zero so that rounding in nearly
// pressureless flow cannot divide by zero.

#include <array>

#include "kernels/common/EulerState.h"
#include "kernels/common/KernelMath.h"

namespace tamrel::kernels {

// Flux between the states wl and wr (density and pressure positive).
template <class T, int NP>
inline EulerFlux<T, NP> hllcFlux(const PrimitiveCell<T, NP>& wl, const PrimitiveCell<T, NP>& wr,
    const EosConstants<T>& e)
{
    const T cl2 = e.gamma * wl.p / wl.rho, cr2 = e.gamma * wr.p / wr.rho;
    const T cl = ksqrt(cl2), cr = ksqrt(cr2);
    // Roe averages (Toro eq 11.60) and c~ (Einfeldt 1988, eq 5.8).
    const T sl = ksqrt(wl.rho), sr = ksqrt(wr.rho);
    const T w = T(1) / (sl + sr);
    const T uRoe = (sl * wl.u + sr * wr.u) * w;
    const T du = wr.u - wl.u;
    const T cRoe = ksqrt((sl * cl2 + sr * cr2) * w + T(0.5) * e.gm1 * sl * sr * w * w * du * du);
    const T SL = kmin(wl.u - cl, uRoe - cRoe);
    const T SR = kmax(wr.u + cr, uRoe + cRoe);

    // Contact speed (Toro eq 10.37); mL, mR are the mass fluxes through the
    // outer waves seen from the waves, rho_K (S_K - u_K).
    const T ml = wl.rho * (SL - wl.u), mr = wr.rho * (SR - wr.u);
    const T sStar = (wr.p - wl.p + ml * wl.u - mr * wr.u) / (ml - mr);

    const bool left = sStar >= T(0);
    const T guard = T(1e-4) * (SR - SL);
    const T rho = kselect(left, wl.rho, wr.rho);
    const T u = kselect(left, wl.u, wr.u);
    const T p = kselect(left, wl.p, wr.p);
    const T m = kselect(left, ml, mr);
    const T d = kselect(left, kmin(SL - sStar, -guard), kmax(SR - sStar, guard));
    const T s = kselect(left, kmin(SL, T(0)), kmax(SR, T(0)));
    std::array<T, NP> phi;
    for (int k = 0; k < NP; ++k)
        phi[k] = kselect(left, wl.phi[k], wr.phi[k]);

    // F_K + s_K (U*_K - U_K) with U*_K = (m/d) [1, S*, E_K/rho_K +
    // (S* - u_K)(S* + p_K/m)] (Toro eq 10.39).
    const EulerFlux<T, 0> fk = physicalFlux<T, 0>(rho, u, p, {}, e);
    const T rhoStar = m / d;
    const T energy = totalEnergy(rho, u, p, e);
    const T eStar = rhoStar * (energy / rho + (sStar - u) * (sStar + p / m));
    EulerFlux<T, NP> f;
    f.mass = fk.mass + s * (rhoStar - rho);
    f.mom = fk.mom + s * (rhoStar * sStar - rho * u);
    f.energy = fk.energy + s * (eStar - energy);
    for (int k = 0; k < NP; ++k)
        f.phi[k] = f.mass * phi[k];
    return f;
}

} // namespace tamrel::kernels
