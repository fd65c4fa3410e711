// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The exact Riemann solver for the ideal (gamma-law) gas, after Toro,
// "Riemann Solvers and Numerical Methods for Fluid Dynamics", 3rd ed., ch. 4:
// the star pressure by Newton's method on the pressure function
//     f(p) = fL(p, WL) + fR(p, WR) + (uR - uL) = 0        (Toro eq 4.5)
// started from the adaptive guess of Toro sec 9.5.1 (PVRS, two-rarefaction
// or two-shock guess), the star velocity (Toro eq 4.9), vacuum generation
// (Toro sec 4.6.3), and the sampling of the self-similar solution at
// S = x/t (Toro sec 4.5).
//
// Written once as templates over the number type: ExactRiemann.cpp runs it in
// double for reference solutions, the "Sorvi" kernel in float, and
// Counted<float> counts its operations. Every piece of arithmetic lives in a
// small branch-free block function; the control flow between the blocks
// reports each block it runs to a tally (RiemannPath), which is how the float
// kernel knows the operations it executed without counting them one by one.
//
// States with non-positive density or pressure are the caller's business
// (the kernel floors them, ExactRiemann treats zero density as vacuum).

#include <cstdint>
#include <limits>

#include "kernels/common/KernelMath.h"

namespace tamrel::kernels::riemann {

// Blocks of the solver, as reported to a tally.
enum class RiemannPath : int {
    VelocityJump, // uR - uL and the test for a generated vacuum
    GuessPvrs, // PVRS guess and the choice of guess
    GuessTwoRarefaction, // Toro eq 4.46
    GuessTwoShock, // Toro eq 4.47
    PrefunShock, // fK and fK' on the shock branch (Toro eq 4.6, 4.37)
    PrefunRarefaction, // fK and fK' on the rarefaction branch (Toro eq 4.7, 4.37)
    NewtonStep, // one Newton update and its relative change (Toro eq 4.44)
    StarVelocity, // Toro eq 4.9
    RarefactionHead, // uK -/+ cK
    RarefactionTail, // u* -/+ c*K
    StarRarefaction, // rho*K behind a rarefaction (Toro eq 4.53)
    Fan, // state inside a rarefaction fan (Toro eq 4.56, 4.63)
    ShockSpeed, // Toro eq 4.52, 4.59
    StarShock, // rho*K behind a shock (Toro eq 4.50, 4.57)
    VacuumFronts, // heads and vacuum fronts of a generated vacuum (Toro eq 4.76-4.78)
    Count
};
inline constexpr int kRiemannPathCount = static_cast<int>(RiemannPath::Count);

// A tally that ignores what it is told.
struct NoTally {
    void hit(RiemannPath) { }
};

// Toro's G1..G8 and 1/gamma for one gamma.
template <class T> struct GasConstants {
    T gamma, g1, g2, g3, g4, g5, g6, g7, g8, invGamma;

    static GasConstants make(T gamma)
    {
        GasConstants g;
        const T one(1), two(2);
        const T gm1 = gamma - one, gp1 = gamma + one, r2g = one / (two * gamma);
        g.gamma = gamma;
        g.g1 = gm1 * r2g;
        g.g2 = gp1 * r2g;
        g.g3 = one / g.g1;
        g.g4 = two / gm1;
        g.g5 = two / gp1;
        g.g6 = gm1 / gp1;
        g.g7 = gm1 / two;
        g.g8 = gm1;
        g.invGamma = one / gamma;
        return g;
    }
};

template <class T> struct GasState {
    T rho, u, p, c;
};

template <class T> struct Primitive {
    T rho, u, p;
};

template <class T> struct PressureFunction {
    T f, fd;
};

// --- Blocks: branch-free arithmetic ----------------------------------------

template <class T> inline T soundSpeed(T rho, T p, const GasConstants<T>& g)
{
    return ksqrt(g.gamma * p / rho);
}

template <class T> struct VelocityJump {
    T du; // uR - uL
    T margin; // pressure-positivity margin (Toro eq 4.40)
};

// The velocity jump and the pressure-positivity margin: the waves leave a
// vacuum between them when the margin is not positive. Sound speeds are set
// by the caller.
template <class T>
inline VelocityJump<T> velocityJump(const GasState<T>& L, const GasState<T>& R, const GasConstants<T>& g)
{
    const T du = R.u - L.u;
    return { du, g.g4 * (L.c + R.c) - du };
}

template <class T> struct PvrsGuess {
    T ppv, pmin, pmax;
    bool narrow; // pmax / pmin <= 2
};

// Primitive-variable guess (Toro eq 4.47 with sec 9.5.1).
template <class T> inline PvrsGuess<T> guessPvrs(const GasState<T>& L, const GasState<T>& R)
{
    const T cup = T(0.25) * (L.rho + R.rho) * (L.c + R.c);
    const T ppv = kmax(T(0), T(0.5) * (L.p + R.p) + T(0.5) * (L.u - R.u) * cup);
    const T pmin = kmin(L.p, R.p), pmax = kmax(L.p, R.p);
    return { ppv, pmin, pmax, pmax <= T(2) * pmin };
}

// Exact star pressure of two rarefactions (Toro eq 4.46), kept above pTiny.
template <class T>
inline T guessTwoRarefaction(const GasState<T>& L, const GasState<T>& R, const GasConstants<T>& g, T pTiny)
{
    const T num = L.c + R.c - g.g7 * (R.u - L.u);
    const T den = L.c / kpow(L.p, g.g1) + R.c / kpow(R.p, g.g1);
    return kmax(kpow(num / den, g.g3), pTiny);
}

// Two-shock guess from the PVRS pressure (Toro eq 4.47), kept above pTiny.
template <class T>
inline T guessTwoShock(const GasState<T>& L, const GasState<T>& R, T ppv, const GasConstants<T>& g, T pTiny)
{
    const T gel = ksqrt((g.g5 / L.rho) / (g.g6 * L.p + ppv));
    const T ger = ksqrt((g.g5 / R.rho) / (g.g6 * R.p + ppv));
    return kmax((gel * L.p + ger * R.p - (R.u - L.u)) / (gel + ger), pTiny);
}

template <class T> inline PressureFunction<T> prefunShock(T p, const GasState<T>& K, const GasConstants<T>& g)
{
    const T ak = g.g5 / K.rho, bk = g.g6 * K.p;
    const T qrt = ksqrt(ak / (bk + p));
    const T dp = p - K.p;
    return { dp * qrt, (T(1) - T(0.5) * dp / (bk + p)) * qrt };
}

template <class T>
inline PressureFunction<T> prefunRarefaction(T p, const GasState<T>& K, const GasConstants<T>& g)
{
    const T prat = p / K.p;
    const T q = kpow(prat, g.g1);
    // fK' = (p/pK)^-g2 / (rhoK cK), with (p/pK)^-g2 = q / (p/pK)
    return { g.g4 * K.c * (q - T(1)), q / (prat * K.rho * K.c) };
}

template <class T> struct NewtonUpdate {
    T p, change;
};

// Newton on the concave, increasing f climbs monotonically from below; an
// overshoot below zero restarts it from the smallest iterate pTiny.
template <class T>
inline NewtonUpdate<T> newtonStep(
    T pold, const PressureFunction<T>& fl, const PressureFunction<T>& fr, T du, T pTiny)
{
    const T p = kmax(pold - (fl.f + fr.f + du) / (fl.fd + fr.fd), pTiny);
    return { p, T(2) * kabs(p - pold) / (p + pold) };
}

template <class T>
inline T starVelocity(
    const GasState<T>& L, const GasState<T>& R, const PressureFunction<T>& fl, const PressureFunction<T>& fr)
{
    return T(0.5) * (L.u + R.u + fr.f - fl.f);
}

// Head speed of a rarefaction: uK - cK on the left, uK + cK on the right.
template <class T> inline T rarefactionHead(const GasState<T>& K, bool right)
{
    return right ? K.u + K.c : K.u - K.c;
}

template <class T> inline T rarefactionTail(const GasState<T>& K, T pm, T um, const GasConstants<T>& g, bool right)
{
    const T cm = K.c * kpow(pm / K.p, g.g1);
    return right ? um + cm : um - cm;
}

template <class T> inline T starDensityRarefaction(const GasState<T>& K, T pm, const GasConstants<T>& g)
{
    return K.rho * kpow(pm / K.p, g.invGamma);
}

// State inside the fan at speed s (Toro eq 4.56 left, 4.63 right).
template <class T> inline Primitive<T> fanState(const GasState<T>& K, T s, const GasConstants<T>& g, bool right)
{
    const T du = right ? s - K.u : K.u - s;
    const T c = g.g5 * (K.c + g.g7 * du);
    const T cr = c / K.c;
    const T u = right ? g.g5 * (g.g7 * K.u + s - K.c) : g.g5 * (K.c + g.g7 * K.u + s);
    return { K.rho * kpow(cr, g.g4), u, K.p * kpow(cr, g.g3) };
}

template <class T> inline T shockSpeed(const GasState<T>& K, T pm, const GasConstants<T>& g, bool right)
{
    const T w = K.c * ksqrt(g.g2 * (pm / K.p) + g.g1);
    return right ? K.u + w : K.u - w;
}

template <class T> inline T starDensityShock(const GasState<T>& K, T pm, const GasConstants<T>& g)
{
    const T pr = pm / K.p;
    return K.rho * (pr + g.g6) / (pr * g.g6 + T(1));
}

template <class T> struct VacuumFrontSpeeds {
    T headL, frontL, frontR, headR;
};

template <class T>
inline VacuumFrontSpeeds<T> vacuumFronts(const GasState<T>& L, const GasState<T>& R, const GasConstants<T>& g)
{
    return { L.u - L.c, L.u + g.g4 * L.c, R.u - g.g4 * R.c, R.u + R.c };
}

// --- The solver ---------------------------------------------------------------

template <class T> struct StarSolution {
    T p = T(0), u = T(0);
    bool vacuum = false; // the waves generate a vacuum; p, u are not used
    bool converged = true;
    int iterations = 0;
};

template <class T> struct SolverLimits {
    T tolerance; // on the relative change of p between Newton iterates
    T pTiny; // smallest iterate, so that fK' stays finite
    int maxIterations;
};

template <class Real> inline SolverLimits<Real> defaultLimits()
{
    if constexpr (sizeof(Real) <= 4)
        return { Real(1e-6), Real(1e-30), 20 };
    else
        return { Real(1e-13), Real(1e-300), 60 };
}

template <class T, class Tally>
inline PressureFunction<T> prefun(T p, const GasState<T>& K, const GasConstants<T>& g, Tally& tally)
{
    if (p > K.p) {
        tally.hit(RiemannPath::PrefunShock);
        return prefunShock(p, K, g);
    }
    tally.hit(RiemannPath::PrefunRarefaction);
    return prefunRarefaction(p, K, g);
}

// Star pressure and velocity of the Riemann problem (L, R). rho, p and the
// sound speed c of both states must be positive.
template <class T, class Tally>
StarSolution<T> solveStar(
    const GasState<T>& L, const GasState<T>& R, const GasConstants<T>& g, const SolverLimits<T>& lim, Tally& tally)
{
    StarSolution<T> s;
    tally.hit(RiemannPath::VelocityJump);
    const VelocityJump<T> jump = velocityJump(L, R, g);
    if (!(jump.margin > T(0))) {
        s.vacuum = true;
        return s;
    }
    tally.hit(RiemannPath::GuessPvrs);
    const PvrsGuess<T> pv = guessPvrs(L, R);
    T p;
    if (pv.narrow && pv.pmin <= pv.ppv && pv.ppv <= pv.pmax) {
        p = pv.ppv;
    } else if (pv.ppv < pv.pmin) {
        tally.hit(RiemannPath::GuessTwoRarefaction);
        p = guessTwoRarefaction(L, R, g, lim.pTiny);
    } else {
        tally.hit(RiemannPath::GuessTwoShock);
        p = guessTwoShock(L, R, pv.ppv, g, lim.pTiny);
    }

    s.converged = false;
    PressureFunction<T> fl {}, fr {};
    bool atP = false; // fl and fr are those at p
    for (int it = 1; it <= lim.maxIterations; ++it) {
        fl = prefun(p, L, g, tally);
        fr = prefun(p, R, g, tally);
        tally.hit(RiemannPath::NewtonStep);
        const NewtonUpdate<T> step = newtonStep(p, fl, fr, jump.du, lim.pTiny);
        atP = step.p == p;
        p = step.p;
        s.iterations = it;
        if (step.change <= lim.tolerance) {
            s.converged = true;
            break;
        }
    }
    // The last Newton step often leaves p where it was, to the last bit (in
    // single precision at about two solves in five): fL and fR are then known.
    if (!atP) {
        fl = prefun(p, L, g, tally);
        fr = prefun(p, R, g, tally);
    }
    tally.hit(RiemannPath::StarVelocity);
    s.p = p;
    s.u = starVelocity(L, R, fl, fr);
    return s;
}

template <class T> struct SampledState {
    Primitive<T> w;
    bool leftOfContact; // for passive scalars carried with the contact
};

// The solution at speed S = x/t, given the star solution (Toro sec 4.5;
// vacuum generation sec 4.6.3, where the vacuum has rho = p = 0 and u = S).
template <class T, class Tally>
SampledState<T> sampleAt(T S, const GasState<T>& L, const GasState<T>& R, const StarSolution<T>& s,
    const GasConstants<T>& g, Tally& tally)
{
    if (s.vacuum) {
        tally.hit(RiemannPath::VacuumFronts);
        const VacuumFrontSpeeds<T> v = vacuumFronts(L, R, g);
        if (S <= v.headL)
            return { { L.rho, L.u, L.p }, true };
        if (S < v.frontL) {
            tally.hit(RiemannPath::Fan);
            return { fanState(L, S, g, false), true };
        }
        if (S > v.headR)
            return { { R.rho, R.u, R.p }, false };
        if (S > v.frontR) {
            tally.hit(RiemannPath::Fan);
            return { fanState(R, S, g, true), false };
        }
        return { { T(0), S, T(0) }, S <= v.frontL };
    }
    const bool left = S <= s.u;
    const GasState<T>& K = left ? L : R;
    const bool right = !left;
    // Outside the wave the state is K, between the wave and the contact the
    // star state of K's side, inside a fan the fan state.
    auto outside = [&](T speed) { return right ? S >= speed : S <= speed; };
    if (s.p <= K.p) {
        tally.hit(RiemannPath::RarefactionHead);
        if (outside(rarefactionHead(K, right)))
            return { { K.rho, K.u, K.p }, left };
        tally.hit(RiemannPath::RarefactionTail);
        if (outside(rarefactionTail(K, s.p, s.u, g, right))) {
            tally.hit(RiemannPath::Fan);
            return { fanState(K, S, g, right), left };
        }
        tally.hit(RiemannPath::StarRarefaction);
        return { { starDensityRarefaction(K, s.p, g), s.u, s.p }, left };
    }
    tally.hit(RiemannPath::ShockSpeed);
    if (outside(shockSpeed(K, s.p, g, right)))
        return { { K.rho, K.u, K.p }, left };
    tally.hit(RiemannPath::StarShock);
    return { { starDensityShock(K, s.p, g), s.u, s.p }, left };
}

} // namespace tamrel::kernels::riemann
