// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Step 4 of the PPM strip: reconstruction of each cell's parabolas and the
// characteristic tracing of CW84 (sec 3, eq 3.5-3.7 in the Lagrangian
// variables 1/rho, u, p). Each face state is the average of the parabolas over
// the domain of dependence of the fastest wave reaching that face (eq 1.12),
// corrected along the slower waves that reach it:
//   right face, reference over u + c:
//     beta- = (1/(2C)) ((u_ref - u_-) - (p_ref - p_-)/C)        if u - c > 0
//     beta0 = (p_ref - p_0)/C^2 + (1/rho_ref - 1/rho_0)          if u > 0
//     u = u_ref - C beta-,  p = p_ref + C^2 beta-,  1/rho = 1/rho_ref - beta0 - beta-
//   with the Lagrangian sound speed C = sqrt(g p_ref rho_ref); the left face
//   is the mirror image (reference over u - c). VY and the smoke are traced
//   with the contact.
//
// The uniform-gas shortcut: where every cell a block's stencils reach holds
// one state, the block's parabolas are flat and the reconstruction is
// skipped (the same bits); see ppmTrace.
//
// Contract: reads the slots steps 0-3 wrote, writes the traced face states
// (sL*, sR*), sFlatCell and the cell sound speed sCs of cells c0 .. c1.

#include <bit>
#include <cstdint>
#include <limits>
#include <type_traits>

#include "kernels/common/KernelMath.h"
#include "kernels/ppm/Flattening.h"
#include "kernels/ppm/PpmScratch.h"
#include "kernels/ppm/Reconstruction.h"
#include "kernels/ppm/Steepening.h"

namespace tamrel::kernels::ppm {

// The domain of dependence of a wave of |speed| Dt/dx = sigma (CW84 eq 1.12):
// the average over it of a parabola at its right face is
// aR - h (da - q a6) and at its left face aL + h (da + q a6), with h = sigma/2
// and q = 1 - 2 sigma/3, shared by every variable traced with that wave.
template <class T> struct Domain {
    T h, q;
};

template <class T> inline Domain<T> domain(T sigma)
{
    return { T(0.5) * sigma, T(1) - T(2.0 / 3.0) * sigma };
}
template <class T> inline T atRight(const Parabola<T>& a, const Domain<T>& d)
{
    return a.aR - d.h * (a.da - d.q * a.a6);
}
template <class T> inline T atLeft(const Parabola<T>& a, const Domain<T>& d)
{
    return a.aL + d.h * (a.da + d.q * a.a6);
}

// The parabolas of one cell.
template <class T> struct CellParabolas {
    Parabola<T> rho, u, p, v, s;
};

// The traced state at one face of a cell.
template <class T> struct FaceState {
    T rho, u, p, v, s;
};

// Right face: the waves with positive speed reach it. The reference state is
// the average over the domain of the fastest one (u + c); the others correct
// it along their characteristics (CW84 eq 3.5-3.7, in 1/rho, u, p).
// lamM, lamP are the cell's u - c and u + c.
template <class T>
inline FaceState<T> traceRightFace(const CellParabolas<T>& q, T uc, T lamM, T lamP, T kk, T g, T floor)
{
    const Domain<T> dP = domain(kmax(lamP, T(0)) * kk);
    const Domain<T> d0 = domain(kmax(uc, T(0)) * kk);
    const Domain<T> dM = domain(kmax(lamM, T(0)) * kk);
    const T rRef = kmax(atRight(q.rho, dP), floor);
    const T uRef = atRight(q.u, dP);
    const T pRef = kmax(atRight(q.p, dP), floor);
    const T uM = atRight(q.u, dM);
    const T pM = atRight(q.p, dM);
    const T r0 = kmax(atRight(q.rho, d0), floor);
    const T p0 = atRight(q.p, d0);
    const T gpRef = g * pRef;
    const T cl = ksqrt(gpRef * rRef); // Lagrangian sound speed
    const T icl = T(1) / cl;
    const T icl2 = icl * icl;
    const T iRef = gpRef * icl2; // 1/rRef
    const T betaM = kselect(lamM > T(0), T(0.5) * icl * ((uRef - uM) - (pRef - pM) * icl), T(0));
    const T beta0 = kselect(uc > T(0), (pRef - p0) * icl2 + (iRef - T(1) / r0), T(0));
    const T tau = kmax(iRef - (beta0 + betaM), T(0.1) * iRef);
    return { T(1) / tau, uRef - cl * betaM, kmax(pRef + cl * cl * betaM, floor), atRight(q.v, d0),
        atRight(q.s, d0) };
}

// Left face: the mirror image, waves with negative speed, reference u - c.
template <class T>
inline FaceState<T> traceLeftFace(const CellParabolas<T>& q, T uc, T lamM, T lamP, T kk, T g, T floor)
{
    const Domain<T> dM = domain(kmax(-lamM, T(0)) * kk);
    const Domain<T> d0 = domain(kmax(-uc, T(0)) * kk);
    const Domain<T> dP = domain(kmax(-lamP, T(0)) * kk);
    const T rRef = kmax(atLeft(q.rho, dM), floor);
    const T uRef = atLeft(q.u, dM);
    const T pRef = kmax(atLeft(q.p, dM), floor);
    const T uP = atLeft(q.u, dP);
    const T pP = atLeft(q.p, dP);
    const T r0 = kmax(atLeft(q.rho, d0), floor);
    const T p0 = atLeft(q.p, d0);
    const T gpRef = g * pRef;
    const T cl = ksqrt(gpRef * rRef);
    const T icl = T(1) / cl;
    const T icl2 = icl * icl;
    const T iRef = gpRef * icl2;
    const T betaP = kselect(lamP < T(0), -T(0.5) * icl * ((uRef - uP) + (pRef - pP) * icl), T(0));
    const T beta0 = kselect(uc < T(0), (pRef - p0) * icl2 + (iRef - T(1) / r0), T(0));
    const T tau = kmax(iRef - (beta0 + betaP), T(0.1) * iRef);
    return { T(1) / tau, uRef + cl * betaP, kmax(pRef + cl * cl * betaP, floor), atLeft(q.v, d0),
        atLeft(q.s, d0) };
}

// The five primitives of cells lo .. hi are each one number to the last bit
// (compared as bits, so -0 and +0 differ; the caller has checked that the
// inputs are finite).
template <class T> inline bool uniformCells(const PpmScratch<T>& w, int lo, int hi)
{
    using P = decltype(plainValue(T {}));
    using Word = std::conditional_t<sizeof(P) == 8, std::uint64_t, std::uint32_t>;
    Word differ = 0;
    for (int q = sRho; q <= sS; ++q) {
        const T* __restrict a = w[q];
        const Word first = std::bit_cast<Word>(plainValue(a[lo]));
        for (int c = lo + 1; c <= hi; ++c)
            differ |= std::bit_cast<Word>(plainValue(a[c])) ^ first;
    }
    return differ == 0;
}

// The cells lo .. hi-1 of a uniform block share one gamma to the last bit and
// have Dt/dx finite and not negative (the sign bit clear, below infinity), so
// their flat parabolas trace to the same face states.
template <class T> inline bool oneFlatTrace(const PpmScratch<T>& w, int lo, int hi)
{
    using P = decltype(plainValue(T {}));
    using Word = std::conditional_t<sizeof(P) == 8, std::uint64_t, std::uint32_t>;
    const Word infinity = std::bit_cast<Word>(std::numeric_limits<P>::infinity());
    const T* __restrict gam = w[sGam];
    const T* __restrict dtdx = w[sDtdx];
    const Word g0 = std::bit_cast<Word>(plainValue(gam[lo]));
    Word differ = 0;
    Word unfit = 0;
    for (int c = lo; c < hi; ++c) {
        differ |= std::bit_cast<Word>(plainValue(gam[c])) ^ g0;
        unfit |= std::bit_cast<Word>(plainValue(dtdx[c])) >= infinity;
    }
    return (differ | unfit) == 0;
}

// Step 4. Per cell c0 .. c1: reconstruction (entropy part of the density,
// steepening, flattening, monotonicity) and tracing. Writes the traced face
// states, the flattening coefficient applied and the cell sound speed.
//
// The cells go in blocks of kRiemannBlock. Where every cell a block's
// stencils reach (three on either side) holds the same state, all
// differences vanish: slopes, steepening and flattening are 0 and every
// parabola is flat, a = aL = aR with da = a6 = 0, which is what the
// reconstruction would compute to the last bit, whatever the gamma of each
// cell. Those cells skip it and trace their flat parabolas. Counts in `done`
// how many cells did.
//
// A flat parabola traces to its mean at either face whatever the width of the
// domain of dependence (h (da - q a6) is +0 for da = a6 = +0 and a finite
// h >= +0), so the traced states of a flat cell depend only on its state and
// gamma, not on Dt/dx. With a gamma per cell, a uniform block whose cells
// share one gamma and have Dt/dx finite and not negative therefore traces its
// first cell and copies its faces and sound speed to the others (or those of
// the cell it traced last, where the runs of one state show it the same).
// Given the runs, the blocks are judged by them instead of by the scratch.
// Long: the per-cell work is lambdas over slots held as __restrict locals, which the vectoriser needs.
template <bool VarGamma, class T>
void ppmTrace(
    const PpmScratch<T>& w, const PpmParams<T>& k, int c0, int c1, SkippedWork& done, const StateRuns& runs = {})
{
    const T* __restrict r = w[sRho];
    const T* __restrict u = w[sU];
    const T* __restrict p = w[sP];
    const T* __restrict v = w[sV];
    const T* __restrict s = w[sS];
    const T* __restrict iu = w[sIU];
    const T* __restrict ip = w[sIP];
    const T* __restrict iv = w[sIV];
    const T* __restrict is = w[sIS];
    const T* __restrict ft = w[sFlat];
    const T* __restrict dtdx = w[sDtdx];
    const T* __restrict gam = w[sGam];
    T* __restrict lr = w[sLRho];
    T* __restrict lu = w[sLU];
    T* __restrict lp = w[sLP];
    T* __restrict lv = w[sLV];
    T* __restrict ls = w[sLS];
    T* __restrict rr = w[sRRho];
    T* __restrict ru = w[sRU];
    T* __restrict rp = w[sRP];
    T* __restrict rv = w[sRV];
    T* __restrict rs = w[sRS];
    T* __restrict cs = w[sCs];
    T* __restrict fcell = w[sFlatCell];
    const T sixth = T(1) / T(6);
    // Flattening (CW84 eq A.3): the larger coefficient of this cell and of
    // its neighbour on the low-pressure side.
    auto flattening = [&](int c) { return kmax(ft[c], kselect(p[c + 1] < p[c - 1], ft[c + 1], ft[c - 1])); };
    // The traced states at both faces of cell c from its parabolas.
    auto traceFaces = [&](int c, const CellParabolas<T>& q, T uc, T cc, T g) {
        const T kk = dtdx[c];
        const T lamM = uc - cc;
        const T lamP = uc + cc;
        const FaceState<T> right = traceRightFace(q, uc, lamM, lamP, kk, g, k.floor);
        rr[c] = right.rho;
        ru[c] = right.u;
        rp[c] = right.p;
        rv[c] = right.v;
        rs[c] = right.s;
        const FaceState<T> left = traceLeftFace(q, uc, lamM, lamP, kk, g, k.floor);
        lr[c] = left.rho;
        lu[c] = left.u;
        lp[c] = left.p;
        lv[c] = left.v;
        ls[c] = left.s;
    };
    auto reconstructAndTrace = [&](int c) {
        const T g = VarGamma ? gam[c] : k.gamma;
        const T rc = r[c], uc = u[c], pc = p[c], vc = v[c], sc = s[c];
        const T c2 = g * pc / rc;
        const T cc = ksqrt(c2);
        const T ic2 = T(1) / c2;
        cs[c] = cc;

        T zL, zR;
        entropyEdges(r, p, c, ic2, g, sixth, zL, zR);

        const T f = flattening(c);
        fcell[c] = f;
        const T keep = T(1) - f;
        zL = keep * zL;
        zR = keep * zR;
        T uL = iu[c - 1], uR = iu[c];
        T pL = ip[c - 1], pR = ip[c];
        T vL = iv[c - 1], vR = iv[c];
        T sL = is[c - 1], sR = is[c];
        uL = uL + f * (uc - uL);
        uR = uR + f * (uc - uR);
        pL = pL + f * (pc - pL);
        pR = pR + f * (pc - pR);
        vL = vL + f * (vc - vL);
        vR = vR + f * (vc - vR);
        sL = sL + f * (sc - sL);
        sR = sR + f * (sc - sR);

        monotoniseAboutZero(zL, zR);
        monotonise(uc, uL, uR);
        monotonise(pc, pL, pR);
        monotonise(vc, vL, vR);
        monotonise(sc, sL, sR);

        const CellParabolas<T> q { parabola(rc, rc + zL + (pL - pc) * ic2, rc + zR + (pR - pc) * ic2),
            parabola(uc, uL, uR), parabola(pc, pL, pR), parabola(vc, vL, vR), parabola(sc, sL, sR) };
        traceFaces(c, q, uc, cc, g);
    };
    auto traceFlat = [&](int c) {
        const T g = VarGamma ? gam[c] : k.gamma;
        const T rc = r[c], uc = u[c], pc = p[c], vc = v[c], sc = s[c];
        const T c2 = g * pc / rc;
        const T cc = ksqrt(c2);
        cs[c] = cc;
        const CellParabolas<T> q { parabola(rc, rc, rc), parabola(uc, uc, uc), parabola(pc, pc, pc),
            parabola(vc, vc, vc), parabola(sc, sc, sc) };
        traceFaces(c, q, uc, cc, g);
    };
    int lastFlat = -1; // the cell a copying block traced last
    for (int b0 = c0; b0 <= c1; b0 += kRiemannBlock) {
        const int b1 = b0 + kRiemannBlock <= c1 + 1 ? b0 + kRiemannBlock : c1 + 1;
        const bool uniform
            = k.shortcut && (runs.known() ? runs.same(b0 - 3, b1 + 2) : uniformCells(w, b0 - 3, b1 + 2));
        if (!uniform) {
#pragma GCC ivdep
            for (int c = b0; c < b1; ++c)
                reconstructAndTrace(c);
            continue;
        }
        done.flat += b1 - b0;
        if constexpr (VarGamma) {
            if (runs.known() || oneFlatTrace(w, b0, b1)) {
#pragma GCC ivdep
                for (int c = b0; c < b1; ++c)
                    fcell[c] = flattening(c);
                // The cell traced last holds this state too where the runs
                // say so: its faces serve this block as well.
                int from = b0;
                if (runs.known() && lastFlat >= 0 && runs.same(lastFlat, b0)) {
                    from = lastFlat;
                    done.copied += b1 - b0;
                } else {
                    traceFlat(b0);
                    lastFlat = b0;
                    done.copied += b1 - b0 - 1;
                }
                for (int q = sLRho; q <= sRS; ++q) {
                    T* __restrict a = w[q];
                    const T value = a[from];
                    for (int c = b0; c < b1; ++c)
                        a[c] = value;
                }
                const T sound = cs[from];
                for (int c = b0; c < b1; ++c)
                    cs[c] = sound;
                continue;
            }
        }
#pragma GCC ivdep
        for (int c = b0; c < b1; ++c) {
            fcell[c] = flattening(c);
            traceFlat(c);
        }
    }
}

} // namespace tamrel::kernels::ppm
