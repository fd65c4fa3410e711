// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Step 5 of the PPM strip: the state at each interface from its two traced
// states, by the two-shock approximation of CW84 sec 3 and Colella & Glaz
// (1985), sampled at x/t = 0 (kernels/riemann/TwoShock.h): both outer waves
// taken as shocks, with the Lagrangian wave speeds
//   W_s = C_s sqrt(1 + ((g+1)/(2g)) (p* - p_s)/p_s),  C_s = sqrt(g p_s rho_s),
// the star pressure where the velocities behind both shocks agree, found by a
// fixed number of Newton steps from the acoustic guess, and the state
// interpolated linearly through a rarefaction fan.
//
// Contract: reads the traced states sR* of cell c (left) and sL* of cell
// c+1 (right), writes sSRho, sSU, sSP and sSUp (1 where the gas crosses from
// the left) at c+1/2 for c = c0 .. c1-1.

#include <bit>
#include <cstdint>
#include <type_traits>

#include "kernels/common/KernelMath.h"
#include "kernels/ppm/PpmScratch.h"
#include "kernels/riemann/TwoShock.h"

namespace tamrel::kernels::ppm {

// Step 5. Interface solutions at c+1/2 for c = c0 .. c1-1 from the traced
// states of cells c (left) and c+1 (right): the two-shock approximation,
// sampled at x/t = 0. Returns how many interfaces went through the solver.
//
// With one gamma, an interface whose two traced states are equal to the last
// bit (the gas is uniform there, as ahead of every wave of a shock tube) has
// that state as its solution and the gas crossing from the upwind side. The
// interfaces go in blocks of kRiemannBlock: a block of such interfaces only is
// not solved, the others are solved as one vector loop and keep the uniform
// answer where it holds, so no result depends on the blocks.
//
// With a gamma per cell the solution is computed everywhere, but a block
// whose interfaces all have the same inputs to the last bit (both traced
// states and both gammas) solves only its first one and copies it to the
// others, or copies the last interface solved so, when its inputs are those:
// the same inputs give the same bits. Given the runs of one state, a block is
// known to be such from the cells its traced states come from (three either
// side), without comparing the traced states; any other block is solved.

// The interface solutions with a gamma per cell (see ppmRiemann).
template <class T>
int ppmRiemannPerCell(const PpmScratch<T>& w, const PpmParams<T>& k, int c0, int c1, const StateRuns& runs)
{
    const T* __restrict lrho = w[sRRho];
    const T* __restrict lu = w[sRU];
    const T* __restrict lp = w[sRP];
    const T* __restrict rrho = w[sLRho];
    const T* __restrict ru = w[sLU];
    const T* __restrict rp = w[sLP];
    const T* __restrict gam = w[sGam];
    const T* __restrict gfac = w[sGfac];
    T* __restrict orho = w[sSRho];
    T* __restrict ou = w[sSU];
    T* __restrict op = w[sSP];
    T* __restrict oup = w[sSUp];
    auto solve = [&](int c) {
        const T gl = gam[c];
        const T gr = gam[c + 1];
        const riemann::TwoShockSide<T> left { lrho[c], lu[c], lp[c], gl, gfac[c] * gl };
        const riemann::TwoShockSide<T> right { rrho[c + 1], ru[c + 1], rp[c + 1], gr, gfac[c + 1] * gr };
        const riemann::TwoShockState<T> st = riemann::twoShockState(left, right, k.floor);
        orho[c] = st.rho;
        ou[c] = st.u;
        op[c] = st.p;
        oup[c] = st.fromLeft;
    };
    using P = decltype(plainValue(T {}));
    using Word = std::conditional_t<sizeof(P) == 8, std::uint64_t, std::uint32_t>;
    auto bits = [](T v) { return std::bit_cast<Word>(plainValue(v)); };
    // Bits in which the inputs of interfaces c and i differ (the gammas
    // of a uniform block are one, so the right ones need no test).
    auto differs = [&](int c, int i) {
        return ((bits(lrho[c]) ^ bits(lrho[i])) | (bits(lu[c]) ^ bits(lu[i])) | (bits(lp[c]) ^ bits(lp[i])))
            | ((bits(rrho[c + 1]) ^ bits(rrho[i + 1])) | (bits(ru[c + 1]) ^ bits(ru[i + 1]))
                | (bits(rp[c + 1]) ^ bits(rp[i + 1])))
            | ((bits(gam[c]) ^ bits(gam[i])) | (bits(gfac[c]) ^ bits(gfac[i])));
    };
    int solved = 0;
    int last = -1; // the interface a uniform block solved last
    for (int b0 = c0; b0 < c1; b0 += kRiemannBlock) {
        const int b1 = b0 + kRiemannBlock < c1 ? b0 + kRiemannBlock : c1;
        // The traced states of cells b0 .. b1 come from cells b0-3 .. b1+3.
        Word differ = 0;
        if (!k.shortcut) {
            differ = 1;
        } else if (runs.known()) {
            differ = runs.same(b0 - 3, b1 + 3) ? 0 : 1;
        } else {
            differ = (bits(gam[b1]) ^ bits(gam[b0])) | (bits(gfac[b1]) ^ bits(gfac[b0]));
            for (int c = b0 + 1; c < b1; ++c)
                differ |= differs(c, b0);
        }
        if (differ != 0) {
#pragma GCC ivdep
            for (int c = b0; c < b1; ++c)
                solve(c);
            solved += b1 - b0;
            continue;
        }
        if (last < 0 || differs(b0, last) != 0) {
            solve(b0);
            solved += 1;
            last = b0;
        }
        const T r = orho[last], v = ou[last], q = op[last], up = oup[last];
        for (int c = b0; c < b1; ++c) {
            orho[c] = r;
            ou[c] = v;
            op[c] = q;
            oup[c] = up;
        }
    }
    return solved;
}

// The interface solutions with one gamma (see ppmRiemann).
template <class T> int ppmRiemannOneGas(const PpmScratch<T>& w, const PpmParams<T>& k, int c0, int c1)
{
    const T* __restrict lrho = w[sRRho];
    const T* __restrict lu = w[sRU];
    const T* __restrict lp = w[sRP];
    const T* __restrict rrho = w[sLRho];
    const T* __restrict ru = w[sLU];
    const T* __restrict rp = w[sLP];
    T* __restrict orho = w[sSRho];
    T* __restrict ou = w[sSU];
    T* __restrict op = w[sSP];
    T* __restrict oup = w[sSUp];
    const T g0 = k.gamma;
    const T a0 = T(0.5) * (k.gamma + T(1));
    int solved = 0;
    for (int b0 = c0; b0 < c1; b0 += kRiemannBlock) {
        const int b1 = b0 + kRiemannBlock < c1 ? b0 + kRiemannBlock : c1;
        int unequal = k.shortcut ? 0 : 1;
        for (int c = b0; c < b1; ++c)
            unequal |= (lrho[c] != rrho[c + 1]) | (lu[c] != ru[c + 1]) | (lp[c] != rp[c + 1]);
        if (unequal == 0) {
            for (int c = b0; c < b1; ++c) {
                orho[c] = lrho[c];
                ou[c] = lu[c];
                op[c] = lp[c];
                oup[c] = lu[c] >= T(0) ? T(1) : T(0);
            }
            continue;
        }
        solved += b1 - b0;
#pragma GCC ivdep
        for (int c = b0; c < b1; ++c) {
            const riemann::TwoShockSide<T> left { lrho[c], lu[c], lp[c], g0, a0 };
            const riemann::TwoShockSide<T> right { rrho[c + 1], ru[c + 1], rp[c + 1], g0, a0 };
            const riemann::TwoShockState<T> st = riemann::twoShockState(left, right, k.floor);
            const bool equal = (lrho[c] == rrho[c + 1]) & (lu[c] == ru[c + 1]) & (lp[c] == rp[c + 1]);
            orho[c] = equal ? lrho[c] : st.rho;
            ou[c] = equal ? lu[c] : st.u;
            op[c] = equal ? lp[c] : st.p;
            oup[c] = equal ? (lu[c] >= T(0) ? T(1) : T(0)) : st.fromLeft;
        }
    }
    return solved;
}

// Step 5 on the strip: one gamma or a gamma per cell.
template <bool VarGamma, class T>
int ppmRiemann(const PpmScratch<T>& w, const PpmParams<T>& k, int c0, int c1, const StateRuns& runs = {})
{
    if constexpr (VarGamma)
        return ppmRiemannPerCell(w, k, c0, c1, runs);
    else
        return ppmRiemannOneGas(w, k, c0, c1);
}

} // namespace tamrel::kernels::ppm
