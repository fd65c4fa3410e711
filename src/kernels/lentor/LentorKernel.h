// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// "Lentor32": the MUSCL-Hancock method (van Leer, J. Comput. Phys. 32 (1979)
// 101; Toro, "Riemann Solvers and Numerical Methods", ch. 14.4) with the HLLC
// Riemann solver (common/HllcSolver.h). Second order in space and time in
// smooth flow, single precision.
//
// 1. Piecewise-linear reconstruction of the primitive variables rho, u, p and
//    of the passive scalars VY and FSmoke, with the monotonised central
//    limiter (common/SlopeLimiters.h) on differences weighted for unequal
//    cells.
// 2. Half-step evolution of each cell's face values with the primitive form
//    of the equations, W + (Dt/2dx) A(W) (W(left face) - W(right face)), as
//    in Toro sec 14.4.2.
// 3. HLLC fluxes between the evolved face values of neighbouring cells and
//    the conservative update of mass, momentum, energy, rho VY and rho FSmoke.
//
// Single precision: pressures are reconstructed relative to the smallest
// pressure of the strip, pRef, so that a small pressure wave on a large
// background keeps the precision of the wave rather than of the background;
// with the increment form of the update (common/EulerState.h) this keeps
// round-off noise below the truncation error of a 1e-2 acoustic wave on 256
// cells. Measuring from the smallest pressure never costs more than one
// rounding of the absolute pressure, however widely pressures vary.
//
// Positivity: a cell whose evolved face values would have a density or
// pressure below KernelFloor falls back to first order (its face values are
// its cell values); the Riemann solver then sees only positive states, and
// HLLC with Einfeldt's speeds keeps the update positive under the Courant
// condition. Densities and pressures of the output are kept at least
// RhoFloor and PFloor, and a cell emptied below RhoFloor comes out at rest
// (common/EulerState.h). VXEpsilon is not used: the time step zeroes small
// velocities itself.
//
// The body is a template over the number type T: float for the entry point
// LENTOR32, Counted<float> to count its operations. It reads cells -1..L+2
// and X(-1)..X(L+3) of the strip, so B must be at least kGhostCells = 2.

#include <array>
#include <cstdint>
#include <limits>

#include "kernels/common/BlockTally.h"
#include "kernels/common/CellUpdate.h"
#include "kernels/common/EulerState.h"
#include "kernels/common/HllcSolver.h"
#include "kernels/common/KernelMath.h"
#include "kernels/common/Scratch.h"
#include "kernels/common/SlopeLimiters.h"
#include "kernels/common/StripCall.h"
#include "kernels/lentor/Lentor.h"

namespace tamrel::kernels::lentor {

inline constexpr int kScalars = 2; // VY, FSmoke
using Cell = PrimitiveCell<float, kScalars>;

enum class Block : int {
    CallSetup,
    LoadCell,
    Reference,
    RelativePressure,
    CellCourant,
    Reconstruct,
    Flux,
    UpdateCell,
    End
};
inline constexpr int kBlockCount = static_cast<int>(Block::End);
using Tally = BlockTally<kBlockCount>;

// Operations of each block, measured once with the counting type. All blocks
// are branch-free, so a strip of L cells costs the same on any data.
const std::array<OpCount, kBlockCount>& blockCosts();

// Scratch: cells -1..L+2 of the primitives (pressure also relative to pRef),
// the widths and Dt/dx, the face values of each cell, and the fluxes at the
// interfaces 1/2 .. L+1/2 (index i for i+1/2).
inline constexpr int kFluxes = 3 + kScalars;
template <class T> struct Scratch {
    T *rho, *u, *p, *pr;
    T* phi[kScalars];
    T *dx, *dtdx;
    T* face[2][kFluxes]; // left and right face of each cell: rho, u, p, the scalars
    T* flux[kFluxes];
};

template <class T> inline Scratch<T> carveScratch(ScratchArena<T>& a, long L)
{
    const long nc = L + 4;
    Scratch<T> s;
    for (T** cell : { &s.rho, &s.u, &s.p, &s.pr, &s.phi[0], &s.phi[1], &s.dx, &s.dtdx })
        *cell = a.take(nc, -1);
    for (auto& side : s.face)
        for (T*& q : side)
            q = a.take(nc, -1);
    for (T*& q : s.flux)
        q = a.take(L + 1, 0);
    return s;
}

template <class T> inline long scratchSize(long L)
{
    return kernels::scratchSize<T>(L, &carveScratch<T>);
}

template <class T> struct CallConstants {
    EosConstants<T> e;
    T floor; // KernelFloor, kept positive
};

template <class T> inline CallConstants<T> callSetup(T gamma, T kernelFloor)
{
    return { EosConstants<T>::make(gamma), kernelFloorOf(kernelFloor) };
}

template <class T> struct LoadedCell {
    T rho, p, dx, dtdx, pMin;
};

// A cell's density and pressure raised to the kernel floor, its width and
// Dt/dx, and the running minimum of the pressure.
template <class T> inline LoadedCell<T> loadCell(T rho, T p, T xl, T xr, T dt, T floor, T pMin)
{
    const T dx = xr - xl;
    const T pf = kmax(p, floor);
    return { kmax(rho, floor), pf, dx, dt / dx, kmin(pMin, pf) };
}

// The floor expressed as a pressure relative to pRef.
template <class T> inline T relativeFloor(T floor, T pRef)
{
    return floor - pRef;
}

template <class T> inline T relativePressure(T p, T pRef)
{
    return p - pRef;
}

template <class T> inline T cellCourant(T running, T rho, T u, T p, T dtdx, const EosConstants<T>& e)
{
    return kmax(running, (kabs(u) + ksqrt(e.gamma * p / rho)) * dtdx);
}

template <class T> struct FacePair {
    PrimitiveCell<T, kScalars> left, right; // at the cell's left and right edges
};

// Limited slopes, the half-step evolution and the face values of the cell w0
// between wm and wp; dxm, dx0, dxp are the three cells' widths. Pressures
// are relative to pRef; floor is the kernel floor and pFloorRel the same
// floor relative to pRef.
template <class T>
inline FacePair<T> reconstructCell(const PrimitiveCell<T, kScalars>& wm, const PrimitiveCell<T, kScalars>& w0,
    const PrimitiveCell<T, kScalars>& wp, T dxm, T dx0, T dxp, T dtdx, T floor, T pRef, T pFloorRel,
    const EosConstants<T>& e)
{
    // Differences per unit length, times dx0: the change across the cell a
    // linear profile through the neighbouring centres would give.
    const T twoDx = dx0 + dx0;
    const T am = twoDx / (dxm + dx0), ap = twoDx / (dx0 + dxp);
    auto slope = [&](T qm, T q0, T qp) { return mcSlope(am * (q0 - qm), ap * (qp - q0)); };
    const T drho = slope(wm.rho, w0.rho, wp.rho);
    const T du = slope(wm.u, w0.u, wp.u);
    const T dp = slope(wm.p, w0.p, wp.p);

    // W(t + Dt/2) = W - (Dt/2dx) A(W) dW (Toro sec 14.4.2).
    const T h = T(0.5) * dtdx;
    const T rhoBar = w0.rho - h * (w0.u * drho + w0.rho * du);
    const T uBar = w0.u - h * (w0.u * du + dp / w0.rho);
    const T pBar = w0.p - h * (e.gamma * (w0.p + pRef) * du + w0.u * dp);

    FacePair<T> f;
    const T half(0.5);
    f.left.rho = rhoBar - half * drho;
    f.right.rho = rhoBar + half * drho;
    f.left.u = uBar - half * du;
    f.right.u = uBar + half * du;
    f.left.p = pBar - half * dp;
    f.right.p = pBar + half * dp;
    for (int k = 0; k < kScalars; ++k) {
        const T dq = slope(wm.phi[k], w0.phi[k], wp.phi[k]);
        const T qBar = w0.phi[k] - h * w0.u * dq;
        f.left.phi[k] = qBar - half * dq;
        f.right.phi[k] = qBar + half * dq;
    }

    // First order where the evolved faces are not physical.
    const bool ok = f.left.rho >= floor && f.right.rho >= floor && f.left.p >= pFloorRel && f.right.p >= pFloorRel;
    for (PrimitiveCell<T, kScalars>* face : { &f.left, &f.right }) {
        face->rho = kselect(ok, face->rho, w0.rho);
        face->u = kselect(ok, face->u, w0.u);
        face->p = kselect(ok, face->p, w0.p);
        for (int k = 0; k < kScalars; ++k)
            face->phi[k] = kselect(ok, face->phi[k], w0.phi[k]);
    }
    return f;
}

// The blocks a strip of L cells runs: all are branch-free, so their hits
// depend on L alone.
template <class TallyT> inline void tallyStrip(TallyT& tally, long L)
{
    const auto n = [](long count) { return static_cast<std::uint64_t>(count); };
    tally.hit(Block::CallSetup);
    tally.hit(Block::LoadCell, n(L + 4));
    tally.hit(Block::Reference);
    tally.hit(Block::RelativePressure, n(L + 4));
    tally.hit(Block::CellCourant, n(L));
    tally.hit(Block::Reconstruct, n(L + 2));
    tally.hit(Block::Flux, n(L + 1));
    tally.hit(Block::UpdateCell, n(L));
}

// Advances cells 1..L of the strip; returns the largest (|u|+c) Dt/dx over
// cells 1..L, or NaN if the arithmetic went non-finite at a Courant number
// below 1 (at 1 or more the step is repeated anyway, with a smaller Dt that
// may well cure it). work holds at least scratchSize(L) values. Inputs must
// be finite and the geometry valid.
// Long: the reference every faster copy is held to, kept in one piece so it reads as the method.
template <class T, class TallyT> float runStrip(const StripIO<float>& io, T* work, TallyT& tally)
{
    const long L = io.L;
    tallyStrip(tally, L);
    ScratchArena<T> arena(work);
    const Scratch<T> sc = carveScratch(arena, L);
    T* rho = sc.rho;
    T* u = sc.u;
    T* p = sc.p;
    T* pr = sc.pr;
    T* const* phi = sc.phi;
    T* dx = sc.dx;
    T* dtdx = sc.dtdx;
    T* const(*face)[kFluxes] = sc.face;
    T* const* flux = sc.flux;

    const CallConstants<T> k = callSetup(T(io.gamma), T(io.kernelFloor));
    const EosConstants<T>& e = k.e;
    const T floor = k.floor;
    const T dt(io.dt);

    T pRef(std::numeric_limits<float>::infinity());
    for (long i = -1; i <= L + 2; ++i) {
        const LoadedCell<T> w = loadCell(T(io.rho[i]), T(io.p[i]), T(io.x[i]), T(io.x[i + 1]), dt, floor, pRef);
        pRef = w.pMin;
        rho[i] = w.rho;
        p[i] = w.p;
        dx[i] = w.dx;
        dtdx[i] = w.dtdx;
        u[i] = T(io.vx[i]);
        phi[0][i] = T(io.vy[i]);
        phi[1][i] = T(io.smoke[i]);
    }
    const T pFloorRel = relativeFloor(floor, pRef);
    for (long i = -1; i <= L + 2; ++i)
        pr[i] = relativePressure(p[i], pRef);

    T courant(0);
    for (long i = 1; i <= L; ++i)
        courant = cellCourant(courant, rho[i], u[i], p[i], dtdx[i], e);

    auto cellAt = [&](long i) {
        return PrimitiveCell<T, kScalars> { rho[i], u[i], p[i], { phi[0][i], phi[1][i] } };
    };
    auto relCellAt = [&](long i) {
        return PrimitiveCell<T, kScalars> { rho[i], u[i], pr[i], { phi[0][i], phi[1][i] } };
    };
    auto storeFace = [&](int side, long i, const PrimitiveCell<T, kScalars>& w) {
        face[side][0][i] = w.rho;
        face[side][1][i] = w.u;
        face[side][2][i] = w.p;
        for (int k = 0; k < kScalars; ++k)
            face[side][3 + k][i] = w.phi[k];
    };
    auto faceAt = [&](int side, long i) {
        return PrimitiveCell<T, kScalars> { face[side][0][i], face[side][1][i], face[side][2][i],
            { face[side][3][i], face[side][4][i] } };
    };

    for (long i = 0; i <= L + 1; ++i) {
        const FacePair<T> f = reconstructCell(relCellAt(i - 1), relCellAt(i), relCellAt(i + 1), dx[i - 1], dx[i],
            dx[i + 1], dtdx[i], floor, pRef, pFloorRel, e);
        storeFace(0, i, f.left);
        storeFace(1, i, f.right);
    }

    // Interface i+1/2: right face of cell i against left face of cell i+1.
    // The momentum fluxes lack pRef, which cancels in every cell's update.
    for (long i = 0; i <= L; ++i) {
        const EulerFlux<T, kScalars> f = hllcFlux<T, kScalars>(faceAt(1, i), faceAt(0, i + 1), pRef, e);
        flux[0][i] = f.mass;
        flux[1][i] = f.mom;
        flux[2][i] = f.energy;
        for (int k = 0; k < kScalars; ++k)
            flux[3 + k][i] = f.phi[k];
    }

    const T rhoFloor(io.rhoFloor), pFloor(io.pFloor);
    bool finite = kfinite(courant);
    auto fluxAt = [&](long i) {
        return EulerFlux<T, kScalars> { flux[0][i], flux[1][i], flux[2][i], { flux[3][i], flux[4][i] } };
    };
    for (long i = 1; i <= L; ++i) {
        const UpdatedCell<T, kScalars> r
            = updateCell<T, kScalars>(cellAt(i), fluxAt(i - 1), fluxAt(i), dtdx[i], rhoFloor, pFloor, e);
        finite = finite && r.finite;
        io.rhoNew[i] = plainValue(r.w.rho);
        io.pNew[i] = plainValue(r.w.p);
        io.vxNew[i] = plainValue(r.w.u);
        io.vyNew[i] = plainValue(r.w.phi[0]);
        io.smokeNew[i] = plainValue(r.w.phi[1]);
    }
    return stripCourant(static_cast<float>(plainValue(courant)), finite);
}

// The same strip as runStrip<float>, to the last bit, with its loops shaped
// for the vector units of the processor (LentorWide.cpp); the entry point
// runs this one.
float runStripWidest(const StripIO<float>& io, float* work, Tally& tally);

} // namespace tamrel::kernels::lentor
