// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The single-stage Eulerian piecewise parabolic method on one strip, written
// once over the number type T so that the same source serves double, float
// and an operation-counting type.
//
// Method (Colella & Woodward 1984, J. Comput. Phys. 54, 174; "CW84"):
//   1. limited slopes (eq 1.7-1.8) and fourth-order interface values (eq 1.6,
//      1.9) of u, p, vy and the smoke;
//   2. the density is reconstructed through its entropy-wave part, the
//      linearised characteristic variable d(rho) - dp/c^2 of the cell
//      (CW84 eq 3.5 with the Eulerian eigenvectors), which gets its own
//      slopes, interface values and monotonicity constraint; the density at
//      a face is that part plus the acoustic part (p_face - p)/c^2. A
//      contact and a rarefaction inside one stencil are thereby limited
//      separately: limiting rho and p each on its own mixes the two and
//      leaves entropy errors on the plateaus next to the contact, worst
//      while the waves leave the initial jump;
//   3. contact steepening (eq 1.14-1.17) of the entropy part in cells where
//      a contact is detected (eq 3.2: a density jump large against the
//      pressure jump);
//   4. flattening near strong shocks (appendix, eq A.1-A.3);
//   5. the monotonicity constraints (eq 1.10);
//   6. characteristic tracing: averages of the parabolas over the domain of
//      dependence of each wave (eq 1.12) projected on the characteristic
//      fields (sec 3, eq 3.5-3.7 in the Lagrangian variables 1/rho, u, p);
//   7. an approximate Riemann solver for the interface states: the two-shock
//      approximation of CW84 sec 3 / Colella & Glaz (1985), Newton-iterated a
//      fixed number of times, with the linear interpolation through
//      rarefaction fans of CW84 (kernels/riemann/TwoShock.h);
//   8. conservative update with the dissipative flux of CW84 eq 4.5 at
//      detected shocks (kernels/common/CellUpdate.h).
// VY and the smoke are passive scalars: their traced face values are
// upwinded with the sign of the contact velocity u* of the interface
// solution, and the transverse motion carries no energy of the gas (the
// energy is p/(g-1) + rho u^2/2), so a shear across a contact neither heats
// nor cools it: Test 2's density is Test 1's.
//
// Every inner loop is branch-free (min/max/select), over structure-of-arrays
// scratch, and marked free of loop-carried dependences (each iteration
// writes only element c of arrays it does not read), so that the compiler
// vectorises it for double and float. Being branch-free also makes the
// operation count per loop iteration a constant (see ppmStripCost).
//
// Index convention inside this file: c = 0 .. n-1 numbers the strip's cells
// from the first ghost cell (c = i + B - 1 for strip cell i), n = L + 2B.
// Face states are needed for cells 0 .. L+1 (c = B-1 .. B+L), fluxes at the
// L+1 interfaces 1/2 .. L+1/2; the widest stencil (flattening) reaches three
// cells further, so B must be at least 4.

#include <bit>
#include <cstddef>
#include <cstdint>
#include <limits>
#include <type_traits>

#include "kernels/common/CellUpdate.h"
#include "kernels/common/KernelMath.h"
#include "kernels/common/Scratch.h"
#include "kernels/common/SlopeLimiters.h"
#include "kernels/common/StripCall.h"
#include "kernels/ppm/ExpansionFlux.h"
#include "kernels/ppm/Ppm.h"
#include "kernels/riemann/TwoShock.h"

namespace tamrel::kernels::ppm {

// Constants of CW84, unchanged from the paper.
struct Cw84 {
    static constexpr double kSteepK0 = 0.1; // contact detection, eq 3.2
    static constexpr double kSteepEta1 = 20.0; // eq 1.16
    static constexpr double kSteepEta2 = 0.05;
    static constexpr double kSteepEps = 0.01; // relative density jump for steepening
    static constexpr double kFlatOmega1 = 0.75; // eq A.1
    static constexpr double kFlatOmega2 = 10.0;
};

// Difcon is given in tenths of the CW84 eq 4.5 coefficient K: K = Difcon / 10.
inline constexpr double kDifconScale = 0.1;

// Scratch slots, each an array of n + 1 numbers.
enum Slot : int {
    // primitives, with density and pressure floored
    sRho,
    sU,
    sP,
    sV,
    sS,
    // limited slopes of u, p, vy, smoke
    sDU,
    sDP,
    sDV,
    sDS,
    // their interface values a_{c+1/2}
    sIU,
    sIP,
    sIV,
    sIS,
    // traced state at the left face of cell c (right state of interface c-1/2)
    sLRho,
    sLU,
    sLP,
    sLV,
    sLS,
    // traced state at the right face of cell c (left state of interface c+1/2)
    sRRho,
    sRU,
    sRP,
    sRV,
    sRS,
    // unlimited flattening coefficient, cell sound speed, Dt/dx, total energy
    sFlat,
    sCs,
    sDtdx,
    sE,
    // flattening coefficient applied in each cell
    sFlatCell,
    // interface solution at c+1/2: density, velocity, pressure, and 1 where
    // the gas crossing comes from the left (u* >= 0), else 0
    sSRho,
    sSU,
    sSP,
    sSUp,
    // fluxes at c+1/2
    sFM,
    sFU,
    sFE,
    sFV,
    sFS,
    // per-cell ratio of specific heats, (g+1)/(2g) and 1/(g-1) (variable-gamma use)
    sGam,
    sGfac,
    sTheta,
    // per-cell check of the new state: 0 where a cell is sound (see ppmUpdate)
    sCheck,
    kSlotCount
};

template <class T> struct PpmParams {
    T dt;
    T gamma; // used when the gas has one gamma
    T floor; // smallest density and pressure used inside the kernel
    T difcon; // K of CW84 eq 4.5 (Difcon times kDifconScale)
    T shkjmp; // relative pressure jump that marks a shock for flattening
    T wavhaf; // weight of the flattening
};

// The scratch: slot s of a strip of n cells.
template <class T> using PpmScratch = SlotScratch<T>;

// Step 0. Copy the primitives of all n cells from the input columns, raise
// density and pressure to the kernel floor, form the total energy and Dt/dx.
// The caller has checked the inputs (kernels/common/StripCall.h). With
// VarGamma, sTheta must already hold 1/(g-1) of every cell. The columns of
// density, pressure and velocities may be of a narrower type (In), widened
// as they are read.
template <bool VarGamma, class T, class In>
void ppmLoad(const PpmScratch<T>& w, const T* x, const In* rho, const In* p, const In* u, const In* v, const T* s,
    const PpmParams<T>& k)
{
    const int n = w.n;
    T* __restrict r_ = w[sRho];
    T* __restrict u_ = w[sU];
    T* __restrict p_ = w[sP];
    T* __restrict v_ = w[sV];
    T* __restrict s_ = w[sS];
    T* __restrict e_ = w[sE];
    T* __restrict dtdx = w[sDtdx];
    const T* __restrict th = w[sTheta];
    const T theta0 = T(1) / (k.gamma - T(1));
#pragma GCC ivdep
    for (int c = 0; c < n; ++c) {
        const T rc(rho[c]);
        const T pc(p[c]);
        const T uc(u[c]);
        const T dx = x[c + 1] - x[c];
        const T rf = kmax(rc, k.floor);
        const T pf = kmax(pc, k.floor);
        r_[c] = rf;
        p_[c] = pf;
        u_[c] = uc;
        v_[c] = T(v[c]);
        s_[c] = s[c];
        dtdx[c] = k.dt / dx;
        const T theta = VarGamma ? th[c] : theta0;
        e_[c] = pf * theta + T(0.5) * rf * (uc * uc);
    }
}

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

// Step 3. Unlimited flattening coefficient (CW84 eq A.1-A.2), c0-1 .. c1+1:
// nonzero only where the pressure jump across the cell exceeds Shkjmp times
// the smaller pressure and the flow converges; Wavhaf scales it.
template <class T> void ppmFlattening(const PpmScratch<T>& w, const PpmParams<T>& k, int c0, int c1)
{
    const T* __restrict p = w[sP];
    const T* __restrict u = w[sU];
    T* __restrict f = w[sFlat];
#pragma GCC ivdep
    for (int c = c0 - 1; c <= c1 + 1; ++c) {
        const T dp1 = p[c + 1] - p[c - 1];
        const T dp2 = p[c + 2] - p[c - 2];
        const bool shock = (kabs(dp1) > k.shkjmp * kmin(p[c + 1], p[c - 1])) & (u[c + 1] < u[c - 1]);
        const T ratio = dp1 / kselect(dp2 != T(0), dp2, T(1));
        const T ft = kmax(T(0), kmin(T(1), (ratio - T(Cw84::kFlatOmega1)) * T(Cw84::kFlatOmega2)));
        f[c] = kselect(shock, kmin(T(1), k.wavhaf * ft), T(0));
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

// The edge values, relative to the cell mean, of the entropy part of the
// density of cell c (the left eigenvector of the cell: d(rho) - dp/c^2, with
// ic2 = 1/c^2): limited slopes in cells c-1 .. c+1 from the differences at the
// faces c-3/2 .. c+3/2, then contact steepening (CW84 eq 1.14-1.17) where the
// density shows a contact. sixth is 1/6.
template <class T> inline void entropyEdges(const T* r, const T* p, int c, T ic2, T g, T sixth, T& zL, T& zR)
{
    const T rc = r[c], pc = p[c];
    const T e0 = (r[c - 1] - r[c - 2]) - (p[c - 1] - p[c - 2]) * ic2;
    const T e1 = (rc - r[c - 1]) - (pc - p[c - 1]) * ic2;
    const T e2 = (r[c + 1] - rc) - (p[c + 1] - pc) * ic2;
    const T e3 = (r[c + 2] - r[c + 1]) - (p[c + 2] - p[c + 1]) * ic2;
    const T dm = mcSlope(e0, e1);
    const T d0 = mcSlope(e1, e2);
    const T dp = mcSlope(e2, e3);
    zL = T(-0.5) * e1 - sixth * (d0 - dm);
    zR = T(0.5) * e2 - sixth * (dp - d0);

    // Contact steepening, detected on the density (eq 3.2).
    const T rm = r[c - 1], rp1 = r[c + 1];
    const T d2m = (rc - rm) - (rm - r[c - 2]);
    const T d2p = (r[c + 2] - rp1) - (rp1 - rc);
    const T drho = rp1 - rm;
    const T rmin = kmin(rm, rp1);
    const T pmin = kmin(p[c - 1], p[c + 1]);
    const T adrho = kabs(drho);
    const bool jump = adrho > T(Cw84::kSteepEps) * rmin;
    const bool contact = g * T(Cw84::kSteepK0) * adrho * pmin >= kabs(p[c + 1] - p[c - 1]) * rmin;
    const bool curvature = d2p * d2m < T(0);
    const T etaTilde = (d2m - d2p) * sixth / kselect(jump, drho, T(1));
    const T eta = kmax(T(0), kmin(T(1), T(Cw84::kSteepEta1) * (etaTilde - T(Cw84::kSteepEta2))));
    const T etaOn = kselect(jump & contact & curvature, eta, T(0));
    zL = zL + etaOn * ((T(0.5) * dm - e1) - zL);
    zR = zR + etaOn * ((e2 - T(0.5) * dp) - zR);
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

// Cells and interfaces go in blocks of this many where uniform gas lets a
// block skip work (see ppmTrace and ppmRiemann).
inline constexpr int kRiemannBlock = 16;

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

// Where the cells of a strip hold one state, as a caller that has compared
// its inputs knows it: runs[c] counts the changes of state between cell 0 and
// cell c, so cells lo .. hi hold one state (primitives, smoke and gamma, to
// the last bit) where runs[lo] == runs[hi]. The caller also vouches that
// Dt/dx is finite and not negative in every cell. Without runs the trace and
// the solver scan the scratch themselves.
struct StateRuns {
    const std::int32_t* runs = nullptr;
    int n = 0;
    bool known() const { return runs != nullptr; }
    bool same(int lo, int hi) const { return lo >= 0 && hi < n && runs[lo] == runs[hi]; }
};

// How much of the work on a strip uniform gas let it skip.
struct SkippedWork {
    int flat = 0; // cells traced from flat parabolas
    int copied = 0; // of those, cells whose traced states were copied (gamma per cell only)
    int solved = 0; // interfaces the Riemann solver ran on
    // Given the runs of one state: cells whose slopes, interface values and
    // flattening coefficient were not formed (none is read, or it is +0).
    int unsloped = 0, uninterpolated = 0, unflattened = 0;
    int interpolationCalls = 1; // calls of ppmInterfaces
};

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
        const bool uniform = runs.known() ? runs.same(b0 - 3, b1 + 2) : uniformCells(w, b0 - 3, b1 + 2);
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

template <bool VarGamma, class T>
int ppmRiemann(const PpmScratch<T>& w, const PpmParams<T>& k, int c0, int c1, const StateRuns& runs = {})
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
    const T g0 = k.gamma;
    const T a0 = T(0.5) * (k.gamma + T(1));
    if constexpr (VarGamma) {
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
            if (runs.known()) {
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
    } else {
        int solved = 0;
        for (int b0 = c0; b0 < c1; b0 += kRiemannBlock) {
            const int b1 = b0 + kRiemannBlock < c1 ? b0 + kRiemannBlock : c1;
            int unequal = 0;
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
}

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
        if (expands == 0)
            return 0;
#pragma GCC ivdep
        for (int c = b0; c < b1; ++c)
            expansion(c);
        return b1 - b0;
    };
    int computed = 0;
    if constexpr (VarGamma) {
        if (runs.known()) {
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

// Everything before the update: steps 1-5 over the strip (step 0 first).
template <bool VarGamma, class T>
SkippedWork ppmInterfaceSolutions(
    const PpmScratch<T>& w, const PpmParams<T>& k, int L, int B, const StateRuns& runs = {})
{
    const int c0 = B - 1;
    const int c1 = B + L;
    SkippedWork done;
    if (runs.known()) {
        // Only the cells the trace reconstructs read slopes and interface
        // values (the blocks of ppmTrace); the flattening coefficient of a
        // cell amid one state is +0 (no pressure jump marks a shock).
        int sloped = 0, interpolated = 0, flattened = 0, calls = 0;
        for (int b0 = c0; b0 <= c1; b0 += kRiemannBlock) {
            const int b1 = b0 + kRiemannBlock <= c1 + 1 ? b0 + kRiemannBlock : c1 + 1;
            if (runs.same(b0 - 3, b1 + 2))
                continue;
            ppmSlopes(w, b0, b1 - 1);
            ppmInterfaces(w, b0, b1 - 1);
            sloped += b1 - b0 + 2;
            interpolated += b1 - b0 + 1;
            calls += 1;
        }
        done.interpolationCalls = calls;
        T* __restrict ft = w[sFlat];
        for (int b0 = c0 - 1; b0 <= c1 + 1; b0 += kRiemannBlock) {
            const int b1 = b0 + kRiemannBlock <= c1 + 2 ? b0 + kRiemannBlock : c1 + 2;
            if (runs.same(b0 - 2, b1 + 1)) {
                for (int c = b0; c < b1; ++c)
                    ft[c] = T(0);
                continue;
            }
            ppmFlattening(w, k, b0 + 1, b1 - 2);
            flattened += b1 - b0;
        }
        done.unsloped = (c1 - c0 + 3) - sloped;
        done.uninterpolated = (c1 - c0 + 2) - interpolated;
        done.unflattened = (c1 - c0 + 3) - flattened;
    } else {
        ppmSlopes(w, c0, c1);
        ppmInterfaces(w, c0, c1);
        ppmFlattening(w, k, c0, c1);
    }
    ppmTrace<VarGamma>(w, k, c0, c1, done, runs);
    done.solved = ppmRiemann<VarGamma>(w, k, c0, c1, runs);
    return done;
}

// Outputs of one strip, element 0 at strip cell 1-B.
template <class T> struct PpmOutputs {
    T* rho;
    T* p;
    T* u;
    T* v;
    T* s;
};

// Step 8. The conservative update of cells 1..L (c = B .. B+L-1) as
// increments of the primitives (kernels/common/CellUpdate.h). The rounding of
// rho' (recovered exactly: rho' - rho is exact for |dRho| <= rho) is moved
// into the acoustic field: p' gets c^2 (rho' - (rho + dRho)), so the rounding
// is stored as an isentropic perturbation, which propagates and is damped,
// and not as an entropy perturbation, which in slow flow stays in place and
// adds up step after step. Writes the outputs, each cell's Courant number
// into sFlat (free by now) and its check into sCheck: 0 for a sound cell, NaN
// for a non-finite result, 1 for a non-positive density.
template <class T>
void ppmUpdate(const PpmScratch<T>& w, const PpmOutputs<T>& out, const PpmParams<T>& k, int L, int B)
{
    const T* __restrict r_ = w[sRho];
    const T* __restrict u_ = w[sU];
    const T* __restrict p_ = w[sP];
    const T* __restrict v_ = w[sV];
    const T* __restrict s_ = w[sS];
    const T* __restrict dtdx = w[sDtdx];
    const T* __restrict cs = w[sCs];
    const T* __restrict fm = w[sFM];
    const T* __restrict fu = w[sFU];
    const T* __restrict fe = w[sFE];
    const T* __restrict fv = w[sFV];
    const T* __restrict fs = w[sFS];
    T* __restrict cfl = w[sFlat];
    T* __restrict check = w[sCheck];
    T* __restrict oRho = out.rho;
    T* __restrict oP = out.p;
    T* __restrict oU = out.u;
    T* __restrict oV = out.v;
    T* __restrict oS = out.s;
    const T gm1 = k.gamma - T(1);
#pragma GCC ivdep
    for (int c = B; c < B + L; ++c) {
        const T kk = dtdx[c];
        const T rc = r_[c];
        const EulerFlux<T, 2> fl { fm[c - 1], fu[c - 1], fe[c - 1], { fv[c - 1], fs[c - 1] } };
        const EulerFlux<T, 2> fr { fm[c], fu[c], fe[c], { fv[c], fs[c] } };
        const CellIncrements<T, 2> d = cellIncrements(fl, fr, kk);
        const T rn = rc + d.dRho;
        const T roundOff = (rn - rc) - d.dRho;
        const T rf = kmax(rn, k.floor);
        const T cc = cs[c];
        const PrimitiveCell<T, 2> now { rc, u_[c], p_[c], { v_[c], s_[c] } };
        const PrimitiveCell<T, 2> next = applyIncrements<true>(now, d, rf, gm1, (cc * cc) * roundOff);
        const T pn = kmax(next.p, k.floor);
        oRho[c] = rf;
        oU[c] = next.u;
        oV[c] = next.phi[0];
        oS[c] = next.phi[1];
        oP[c] = pn;
        const T all = (rf + next.u) + (next.phi[0] + next.phi[1]) + pn;
        check[c] = (all - all) + kselect(rn > T(0), T(0), T(1));
        cfl[c] = (kabs(u_[c]) + cs[c]) * kk;
    }
}

// The verdict on a strip's update.
template <class T> struct PpmVerdict {
    T courant; // largest Courant number of cells 1..L, at least 1 if not `positive`
    bool finite; // every new value and the Courant number finite
    bool positive; // every new density came out positive (else a smaller step cures it)
    int flat = 0; // cells traced from flat parabolas (uniform gas around them)
    int solved = 0; // interfaces the Riemann solver ran on (blocks of uniform ones it skipped)
    int expanded = 0; // interfaces the expansion flux was computed for
};

template <class T> PpmVerdict<T> ppmVerdict(const PpmScratch<T>& w, int L, int B)
{
    const T* __restrict cfl = w[sFlat];
    const T* __restrict check = w[sCheck];
    PpmVerdict<T> v { T(0), true, true };
    if constexpr (std::is_floating_point_v<T>) {
        // The same verdict in integer arithmetic, so that it vectorises. A
        // Courant number is +0 or positive, or NaN, which the largest passes
        // over; positive numbers order as their bits do.
        using Bits = FloatBits<T>;
        using Signed = std::make_signed_t<typename Bits::Word>;
        Signed top = 0;
        typename Bits::Word bad = 0, unsound = 0;
        for (int c = B; c < B + L; ++c) {
            const T x = cfl[c] >= T(0) ? cfl[c] : T(0);
            const auto bits = std::bit_cast<Signed>(x);
            top = bits > top ? bits : top;
            bad |= Bits::nonFinite(check[c]);
            unsound |= std::bit_cast<typename Bits::Word>(check[c]);
        }
        v.courant = std::bit_cast<T>(top);
        v.finite = bad == 0;
        // check is +0 for a sound cell: any other bits are a NaN or 1.
        v.positive = unsound == 0;
    } else {
        for (int c = B; c < B + L; ++c) {
            v.courant = kmax(v.courant, cfl[c]);
            v.finite = v.finite && kfinite(check[c]);
            v.positive = v.positive && check[c] == T(0);
        }
    }
    v.finite = v.finite && kfinite(v.courant);
    if (!v.positive)
        v.courant = kmax(v.courant, T(1));
    return v;
}

// The whole one-gas strip update, steps 0 to 8. `w` must hold kSlotCount
// arrays of n + 1; the inputs have been checked.
template <class T>
PpmVerdict<T> ppmStrip(const PpmScratch<T>& w, const T* x, const T* rho, const T* p, const T* u, const T* v,
    const T* s, const PpmOutputs<T>& out, const PpmParams<T>& k, int L, int B)
{
    ppmLoad<false>(w, x, rho, p, u, v, s, k);
    const SkippedWork done = ppmInterfaceSolutions<false>(w, k, L, B);
    const int expanded = ppmFluxes<false, T>(w, k, nullptr, B - 1, B + L);
    ppmUpdate(w, out, k, L, B);
    PpmVerdict<T> verdict = ppmVerdict(w, L, B);
    verdict.flat = done.flat;
    verdict.solved = done.solved;
    verdict.expanded = expanded;
    return verdict;
}

} // namespace tamrel::kernels::ppm
