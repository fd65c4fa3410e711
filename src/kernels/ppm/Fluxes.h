// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Step 6 of the PPM strip: the fluxes at every interface from its solution,
//   F = (rho u, rho u^2 + p, u (p g/(g-1) + rho u^2/2), rho u vy, rho u s),
// with the dissipative flux of CW84 eq 4.5 added,
//   F += nu (U_c - U_{c+1}),  nu = K max(0, u_c - u_{c+1}) max(f_c, f_{c+1}),
// so that it acts at detected shocks only. Where the solution is a double
// rarefaction (its pressure below both traced pressures) the flux of mass,
// momentum and energy is the HLLC flux of the traced states
// (kernels/ppm/ExpansionFlux.h). VY and the smoke are upwinded with the sign
// of the contact velocity.
//
// Contract: reads the interface solutions of step 5 and the traced states,
// writes sFM .. sFS at c+1/2 and the dissipation coefficient into sCheck (free
// until the update).

#include <bit>
#include <cstdint>
#include <type_traits>

#include "kernels/common/KernelMath.h"
#include "kernels/ppm/ExpansionFlux.h"
#include "kernels/ppm/PpmScratch.h"

namespace tamrel::kernels::ppm {

// The fluxes through an interface where the flow expands: the HLLC flux of
// the traced states (ExpansionFlux.h) with the dissipative flux nu (U_c -
// U_c+1) added, and VY and the smoke from the side the gas crosses from.
template <class T> struct InterfaceFlux {
    T mass, mom, energy, vy, smoke;
};

// Both cells of an interface: conserved-variable parts of the dissipative
// flux and the passive scalars traced to the interface from either side.
template <class T> struct FluxNeighbours {
    T rc, rn, uc, un, ec, en, vc, vn, sc, sn;
    T vFromLeft, vFromRight, sFromLeft, sFromRight;
};

template <class T>
inline InterfaceFlux<T> expandingFlux(
    const ExpansionSide<T>& left, const ExpansionSide<T>& right, T nu, const FluxNeighbours<T>& q)
{
    const ExpansionFlux<T> x = expansionFlux(left, right);
    const bool fromLeft = x.fromLeft > T(0);
    return { x.mass + nu * (q.rc - q.rn), x.mom + nu * (q.rc * q.uc - q.rn * q.un), x.energy + nu * (q.ec - q.en),
        x.mass * kselect(fromLeft, q.vFromLeft, q.vFromRight) + nu * (q.rc * q.vc - q.rn * q.vn),
        x.mass * kselect(fromLeft, q.sFromLeft, q.sFromRight) + nu * (q.rc * q.sc - q.rn * q.sn) };
}

// Step 6. Fluxes at c+1/2, c0 .. c1-1, with the dissipative flux of CW84
// eq 4.5, nu (U_c - U_{c+1}), nu = K max(0, u_c - u_{c+1}) f, where f is the
// larger flattening coefficient of the two cells: the dissipation acts at
// detected shocks only, so smooth compressions keep the order of the method.
// Where the interface solution is a double rarefaction (its pressure below
// both traced pressures) the flux of mass, momentum and energy is the HLLC
// flux of the traced states instead (expandingFlux), and the passive
// scalars follow its contact. `thetaFace` (1/(g-1) of the gas crossing each
// interface) is used when VarGamma.
//
// The HLLC flux is computed in blocks of kRiemannBlock interfaces, for the
// blocks with an expanding interface only. Returns how many interfaces it
// was computed for.
//
// With a gamma per cell and the runs of one state, a block whose interfaces
// come from cells of one state (three either side of its cells) and see gas
// of one theta crossing has one flux: its first interface's is formed and
// copied. `copied` counts the interfaces that took a copy.
// Long: the per-interface work is lambdas over slots held as __restrict locals, which the vectoriser needs.
template <bool VarGamma, class T>
int ppmFluxes(const PpmScratch<T>& w, const PpmParams<T>& k, const T* thetaFace, int c0, int c1,
    const StateRuns& runs = {}, int* copied = nullptr)
{
    const T* __restrict sr = w[sSRho];
    const T* __restrict su = w[sSU];
    const T* __restrict sp = w[sSP];
    const T* __restrict sup = w[sSUp];
    const T* __restrict lv = w[sRV];
    const T* __restrict ls = w[sRS];
    const T* __restrict rv = w[sLV];
    const T* __restrict rs = w[sLS];
    const T* __restrict r = w[sRho];
    const T* __restrict u = w[sU];
    const T* __restrict v = w[sV];
    const T* __restrict s = w[sS];
    const T* __restrict e = w[sE];
    const T* __restrict fl = w[sFlatCell];
    const T* __restrict lrho = w[sRRho];
    const T* __restrict lu = w[sRU];
    const T* __restrict lp = w[sRP];
    const T* __restrict rrho = w[sLRho];
    const T* __restrict ru = w[sLU];
    const T* __restrict rp = w[sLP];
    const T* __restrict gam = w[sGam];
    const T* __restrict th = w[sTheta];
    T* __restrict fm = w[sFM];
    T* __restrict fu = w[sFU];
    T* __restrict fe = w[sFE];
    T* __restrict fv = w[sFV];
    T* __restrict fs = w[sFS];
    T* __restrict nus = w[sCheck]; // free until the update
    const T enth0 = k.gamma / (k.gamma - T(1)); // 1 + 1/(g-1)
    const T theta0 = T(1) / (k.gamma - T(1));
    // The sampled two-shock flux everywhere.
    auto sampled = [&](int c) {
        const T rho = sr[c], uu = su[c], pp = sp[c];
        const T enth = VarGamma ? thetaFace[c] + T(1) : enth0;
        const T ms = rho * uu;
        const T nu = k.difcon * kmax(T(0), u[c] - u[c + 1]) * kmax(fl[c], fl[c + 1]);
        nus[c] = nu;
        const T rc = r[c], rn = r[c + 1];
        fm[c] = ms + nu * (rc - rn);
        fu[c] = (ms * uu + pp) + nu * (rc * u[c] - rn * u[c + 1]);
        fe[c] = uu * (pp * enth + T(0.5) * ms * uu) + nu * (e[c] - e[c + 1]);
        // VY and the smoke come from the side the gas crosses from.
        const bool fromLeft = sup[c] > T(0);
        fv[c] = ms * kselect(fromLeft, lv[c], rv[c + 1]) + nu * (rc * v[c] - rn * v[c + 1]);
        fs[c] = ms * kselect(fromLeft, ls[c], rs[c + 1]) + nu * (rc * s[c] - rn * s[c + 1]);
    };
    // The HLLC flux where the flow expands.
    auto expansion = [&](int c) {
        const ExpansionSide<T> left { lrho[c], lu[c], lp[c], VarGamma ? gam[c] : k.gamma,
            VarGamma ? th[c] : theta0 };
        const ExpansionSide<T> right { rrho[c + 1], ru[c + 1], rp[c + 1], VarGamma ? gam[c + 1] : k.gamma,
            VarGamma ? th[c + 1] : theta0 };
        const FluxNeighbours<T> q { r[c], r[c + 1], u[c], u[c + 1], e[c], e[c + 1], v[c], v[c + 1], s[c], s[c + 1],
            lv[c], rv[c + 1], ls[c], rs[c + 1] };
        const InterfaceFlux<T> x = expandingFlux(left, right, nus[c], q);
        const bool expanding = sp[c] < kmin(lp[c], rp[c + 1]);
        fm[c] = expanding ? x.mass : fm[c];
        fu[c] = expanding ? x.mom : fu[c];
        fe[c] = expanding ? x.energy : fe[c];
        fv[c] = expanding ? x.vy : fv[c];
        fs[c] = expanding ? x.smoke : fs[c];
    };
    // A block of interfaces where the flow expands somewhere: the HLLC flux
    // of all of them. Returns how many.
    auto expansions = [&](int b0, int b1) {
        int expands = 0;
        for (int c = b0; c < b1; ++c)
            expands |= sp[c] < kmin(lp[c], rp[c + 1]);
        if (k.shortcut && expands == 0)
            return 0;
#pragma GCC ivdep
        for (int c = b0; c < b1; ++c)
            expansion(c);
        return b1 - b0;
    };
    int computed = 0;
    if constexpr (VarGamma) {
        if (k.shortcut && runs.known()) {
            using P = decltype(plainValue(T {}));
            using Word = std::conditional_t<sizeof(P) == 8, std::uint64_t, std::uint32_t>;
            int copies = 0;
            for (int b0 = c0; b0 < c1; b0 += kRiemannBlock) {
                const int b1 = b0 + kRiemannBlock < c1 ? b0 + kRiemannBlock : c1;
                Word differ = runs.same(b0 - 3, b1 + 3) ? 0 : 1;
                const Word theta = std::bit_cast<Word>(plainValue(thetaFace[b0]));
                for (int c = b0 + 1; c < b1; ++c)
                    differ |= std::bit_cast<Word>(plainValue(thetaFace[c])) ^ theta;
                if (differ != 0) {
#pragma GCC ivdep
                    for (int c = b0; c < b1; ++c)
                        sampled(c);
                    computed += expansions(b0, b1);
                    continue;
                }
                sampled(b0);
                computed += expansions(b0, b0 + 1);
                copies += b1 - b0 - 1;
                for (T* a : { fm, fu, fe, fv, fs, nus }) {
                    const T value = a[b0];
                    for (int c = b0 + 1; c < b1; ++c)
                        a[c] = value;
                }
            }
            if (copied != nullptr)
                *copied = copies;
            return computed;
        }
    }
#pragma GCC ivdep
    for (int c = c0; c < c1; ++c)
        sampled(c);
    for (int b0 = c0; b0 < c1; b0 += kRiemannBlock) {
        const int b1 = b0 + kRiemannBlock < c1 ? b0 + kRiemannBlock : c1;
        computed += expansions(b0, b1);
    }
    return computed;
}

} // namespace tamrel::kernels::ppm
