// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// "Sorvi": Godunov's first-order upwind method with the exact Riemann solver
// (S. K. Godunov, Mat. Sb. 47 (1959) 271; Toro, "Riemann Solvers and
// Numerical Methods", ch. 6). First order in space and time.
//
// At every interface i+1/2 of the strip the exact solution of the Riemann
// problem between cells i and i+1 (kernels/riemann/ExactRiemannCore.h, in
// single precision) is sampled at x/t = 0 and gives the Godunov flux
// (Toro eq 6.12); the cells are updated conservatively in mass, momentum and
// energy (Toro eq 6.8). The transverse velocity VY is a passive scalar: its
// flux is the mass flux times VY of the side of the contact the interface
// lies on. No smoke is carried.
//
// Densities and pressures enter the Riemann solver raised to KernelFloor;
// new densities and pressures are at least RhoFloor and PFloor, and a cell
// emptied below RhoFloor comes out at rest (common/EulerState.h). VXEpsilon
// is not used: the time step zeroes small velocities itself.
//
// The body is a template over the number type T: float for the entry point
// SORVI, Counted<float> to count its operations. It reads cells 0..L+1 and
// X(0)..X(L+2) of the strip.

#include <array>
#include <cstdint>

#include "kernels/common/BlockTally.h"
#include "kernels/common/CellUpdate.h"
#include "kernels/common/EulerState.h"
#include "kernels/common/KernelMath.h"
#include "kernels/common/Scratch.h"
#include "kernels/common/StripCall.h"
#include "kernels/riemann/ExactRiemannCore.h"
#include "kernels/sorvi/Sorvi.h"

namespace tamrel::kernels::sorvi {

// Blocks of the kernel beyond those of the Riemann solver (which keep their
// own numbers, 0 .. kRiemannPathCount-1).
enum class Block : int {
    CallSetup = riemann::kRiemannPathCount,
    LoadCell,
    CellCourant,
    InterfaceFlux,
    UpdateCell,
    End
};
inline constexpr int kBlockCount = static_cast<int>(Block::End);
using Tally = BlockTally<kBlockCount>;

// Operations of each block, measured once with the counting type.
const std::array<OpCount, kBlockCount>& blockCosts();

// Scratch: cells 0..L+1 (the primitives as the Riemann solver gets them, the
// sound speed, VY and Dt/dx) and the fluxes at the interfaces 1/2 .. L+1/2
// (index i for i+1/2).
template <class T> struct Scratch {
    T *rho, *u, *p, *c, *vy, *dtdx;
    T *fm, *fu, *fe, *fv;
};

template <class T> inline Scratch<T> carveScratch(ScratchArena<T>& a, long L)
{
    Scratch<T> s;
    for (T** cell : { &s.rho, &s.u, &s.p, &s.c, &s.vy, &s.dtdx })
        *cell = a.take(L + 2, 0);
    for (T** face : { &s.fm, &s.fu, &s.fe, &s.fv })
        *face = a.take(L + 1, 0);
    return s;
}

template <class T> inline long scratchSize(long L)
{
    return kernels::scratchSize<T>(L, &carveScratch<T>);
}

template <class T> struct CallConstants {
    riemann::GasConstants<T> g;
    EosConstants<T> e;
    T floor; // KernelFloor, kept positive
};

template <class T> inline CallConstants<T> callSetup(T gamma, T kernelFloor)
{
    return { riemann::GasConstants<T>::make(gamma), EosConstants<T>::make(gamma), kernelFloorOf(kernelFloor) };
}

template <class T> struct LoadedCell {
    T rho, p, c, dtdx;
};

// A cell as the Riemann solver gets it: density and pressure raised to the
// kernel floor, its sound speed, and Dt/dx.
template <class T>
inline LoadedCell<T> loadCell(T rho, T p, T xl, T xr, T dt, T floor, const riemann::GasConstants<T>& g)
{
    LoadedCell<T> w;
    w.rho = kmax(rho, floor);
    w.p = kmax(p, floor);
    w.c = riemann::soundSpeed(w.rho, w.p, g);
    w.dtdx = dt / (xr - xl);
    return w;
}

template <class T> inline T cellCourant(T running, T u, T c, T dtdx)
{
    return kmax(running, (kabs(u) + c) * dtdx);
}

template <class T>
inline EulerFlux<T, 1> interfaceFlux(const riemann::SampledState<T>& s, T vyL, T vyR, const EosConstants<T>& e)
{
    const std::array<T, 1> up { kselect(s.leftOfContact, vyL, vyR) };
    return physicalFlux<T, 1>(s.w.rho, s.w.u, s.w.p, up, e);
}

// The Godunov state at interface i+1/2: the solution of the Riemann problem
// between cells i and i+1 at x/t = 0. Between two equal states there are no
// waves and the solution is the state itself, on the side of the contact the
// sign of its velocity picks; this is also what the solver returns for them
// (star pressure pK after one Newton step with f = 0, star velocity uK, the
// rarefaction head and tail both at uK -/+ cK, star density rhoK), but only
// after a guess, a Newton step and the sampling. Uniform stretches hold most
// of a grid's interfaces.
template <class T, class TallyT>
inline riemann::SampledState<T> godunovState(const riemann::GasState<T>& left, const riemann::GasState<T>& right,
    const riemann::GasConstants<T>& g, const riemann::SolverLimits<T>& lim, TallyT& tally)
{
    if (left.rho == right.rho && left.u == right.u && left.p == right.p)
        return { { left.rho, left.u, left.p }, T(0) <= left.u };
    const riemann::StarSolution<T> star = riemann::solveStar(left, right, g, lim, tally);
    return riemann::sampleAt(T(0), left, right, star, g, tally);
}

template <class T> inline riemann::SolverLimits<T> solverLimits()
{
    return { T(1e-6), T(1e-30), 20 };
}

// Advances cells 1..L of the strip; returns the largest (|u|+c) Dt/dx over
// cells 1..L, or NaN if the arithmetic went non-finite at a Courant number
// below 1 (at 1 or more the step is repeated anyway, with a smaller Dt that
// may well cure it). work holds at least scratchSize(L) values. Inputs must
// be finite and the geometry valid.
template <class T, class TallyT> float runStrip(const StripIO<float>& io, T* work, TallyT& tally)
{
    const long L = io.L;
    const long nc = L + 2, nf = L + 1;
    ScratchArena<T> arena(work);
    const Scratch<T> sc = carveScratch(arena, L);
    T *rho = sc.rho, *u = sc.u, *p = sc.p, *c = sc.c, *vy = sc.vy, *dtdx = sc.dtdx;
    T *fm = sc.fm, *fu = sc.fu, *fe = sc.fe, *fv = sc.fv;

    tally.hit(Block::CallSetup);
    const CallConstants<T> k = callSetup(T(io.gamma), T(io.kernelFloor));
    const riemann::SolverLimits<T> lim = solverLimits<T>();
    const T floor = k.floor;
    const T dt(io.dt);

    for (long i = 0; i <= L + 1; ++i) {
        const LoadedCell<T> w = loadCell(T(io.rho[i]), T(io.p[i]), T(io.x[i]), T(io.x[i + 1]), dt, floor, k.g);
        rho[i] = w.rho;
        p[i] = w.p;
        c[i] = w.c;
        dtdx[i] = w.dtdx;
        u[i] = T(io.vx[i]);
        vy[i] = T(io.vy[i]);
    }
    tally.hit(Block::LoadCell, static_cast<std::uint64_t>(nc));

    T courant(0);
    for (long i = 1; i <= L; ++i)
        courant = cellCourant(courant, u[i], c[i], dtdx[i]);
    tally.hit(Block::CellCourant, static_cast<std::uint64_t>(L));

    // Interface i+1/2 between cells i and i+1, i = 0..L.
    for (long i = 0; i <= L; ++i) {
        const riemann::GasState<T> left { rho[i], u[i], p[i], c[i] },
            right { rho[i + 1], u[i + 1], p[i + 1], c[i + 1] };
        const riemann::SampledState<T> s = godunovState(left, right, k.g, lim, tally);
        const EulerFlux<T, 1> f = interfaceFlux(s, vy[i], vy[i + 1], k.e);
        fm[i] = f.mass;
        fu[i] = f.mom;
        fe[i] = f.energy;
        fv[i] = f.phi[0];
    }
    tally.hit(Block::InterfaceFlux, static_cast<std::uint64_t>(nf));

    const T rhoFloor(io.rhoFloor), pFloor(io.pFloor);
    bool finite = kfinite(courant);
    for (long i = 1; i <= L; ++i) {
        const PrimitiveCell<T, 1> w { rho[i], u[i], p[i], { vy[i] } };
        const EulerFlux<T, 1> fl { fm[i - 1], fu[i - 1], fe[i - 1], { fv[i - 1] } };
        const EulerFlux<T, 1> fr { fm[i], fu[i], fe[i], { fv[i] } };
        const UpdatedCell<T, 1> r = updateCell<T, 1>(w, fl, fr, dtdx[i], rhoFloor, pFloor, k.e);
        finite = finite && r.finite;
        io.rhoNew[i] = plainValue(r.w.rho);
        io.pNew[i] = plainValue(r.w.p);
        io.vxNew[i] = plainValue(r.w.u);
        io.vyNew[i] = plainValue(r.w.phi[0]);
    }
    tally.hit(Block::UpdateCell, static_cast<std::uint64_t>(L));
    return stripCourant(static_cast<float>(plainValue(courant)), finite);
}

// The same strip as runStrip<float>, to the last bit, with its loops over
// cells shaped for the vector units of the processor (SorviWide.cpp); the
// entry point runs this one.
float runStripWidest(const StripIO<float>& io, float* work, Tally& tally);

} // namespace tamrel::kernels::sorvi
