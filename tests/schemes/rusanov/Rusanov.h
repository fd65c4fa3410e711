// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// "Rusanov": a sixth scheme that only the tests know, to show what adding a
// scheme takes: this one header (its method, entry point and counting run)
// and one row, rusanovRow(), which every shared table of kernel tests runs.
//
// Method: Godunov's first-order finite-volume scheme with the Rusanov (local
// Lax-Friedrichs) flux (V. V. Rusanov, USSR Comput. Math. Math. Phys. 1
// (1962) 304; Toro, "Riemann Solvers and Numerical Methods", sec 10.5.1):
//     F(i+1/2) = (F(W_i) + F(W_i+1)) / 2 - s (U_i+1 - U_i) / 2,
//     s = max(|u_i| + c_i, |u_i+1| + c_i+1),
// for mass, momentum, energy and the passive VY and smoke, then the shared
// conservative update (kernels/common/CellUpdate.h). First order in space
// and time, positive under the Courant condition, contacts kept at uniform
// pressure and velocity. Single precision; the entry point takes the
// argument list of LENTOR32 (1-D slices). It reads cells 0..L+1 and
// X(0)..X(L+2) of the strip.

#include <array>
#include <cstdint>
#include <vector>

#include "kernels/ArgumentForms.h"
#include "kernels/SchemeTable.h"
#include "kernels/common/BlockTally.h"
#include "kernels/common/CellUpdate.h"
#include "kernels/common/Counted.h"
#include "kernels/common/EulerState.h"
#include "kernels/common/Scratch.h"
#include "kernels/common/StripCall.h"

namespace tamrel::testing::rusanov {

using namespace kernels;

inline constexpr int kGhostCells = 1;
inline constexpr int kScalars = 2; // VY, smoke

enum class Block : int { Call, LoadCell, CellCourant, Flux, UpdateCell, End };
inline constexpr int kBlockCount = static_cast<int>(Block::End);
using Tally = BlockTally<kBlockCount>;

// Cells 0..L+1 and the fluxes at the interfaces 1/2 .. L+1/2 (index i for i+1/2).
template <class T> struct Scratch {
    T *rho, *u, *p, *c, *dtdx;
    T* phi[kScalars];
    T* flux[3 + kScalars];
};

template <class T> inline Scratch<T> carveScratch(ScratchArena<T>& a, long L)
{
    Scratch<T> s;
    for (T** cell : { &s.rho, &s.u, &s.p, &s.c, &s.dtdx, &s.phi[0], &s.phi[1] })
        *cell = a.take(L + 2, 0);
    for (T*& f : s.flux)
        f = a.take(L + 1, 0);
    return s;
}

template <class T> struct CallConstants {
    EosConstants<T> e;
    T floor;
};
template <class T> inline CallConstants<T> callSetup(T gamma, T kernelFloor)
{
    return { EosConstants<T>::make(gamma), kernelFloorOf(kernelFloor) };
}

template <class T> struct LoadedCell {
    T rho, p, c, dtdx;
};
// Density and pressure raised to the kernel floor, sound speed, Dt/dx.
template <class T> inline LoadedCell<T> loadCell(T rho, T p, T xl, T xr, T dt, T floor, const EosConstants<T>& e)
{
    const T r = kmax(rho, floor), pf = kmax(p, floor);
    return { r, pf, ksqrt(e.gamma * pf / r), dt / (xr - xl) };
}

template <class T> inline T cellCourant(T running, T u, T c, T dtdx)
{
    return kmax(running, (kabs(u) + c) * dtdx);
}

template <class T>
inline EulerFlux<T, kScalars> rusanovFlux(
    const PrimitiveCell<T, kScalars>& l, T cl, const PrimitiveCell<T, kScalars>& r, T cr, const EosConstants<T>& e)
{
    const T half(0.5);
    const T hs = half * kmax(kabs(l.u) + cl, kabs(r.u) + cr);
    const EulerFlux<T, kScalars> fl = physicalFlux<T, kScalars>(l.rho, l.u, l.p, l.phi, e);
    const EulerFlux<T, kScalars> fr = physicalFlux<T, kScalars>(r.rho, r.u, r.p, r.phi, e);
    EulerFlux<T, kScalars> f;
    f.mass = half * (fl.mass + fr.mass) - hs * (r.rho - l.rho);
    f.mom = half * (fl.mom + fr.mom) - hs * (r.rho * r.u - l.rho * l.u);
    f.energy = half * (fl.energy + fr.energy)
        - hs * (totalEnergy(r.rho, r.u, r.p, e) - totalEnergy(l.rho, l.u, l.p, e));
    for (int k = 0; k < kScalars; ++k)
        f.phi[k] = half * (fl.phi[k] + fr.phi[k]) - hs * (r.rho * r.phi[k] - l.rho * l.phi[k]);
    return f;
}

// Advances cells 1..L; returns the strip's Courant number (stripCourant).
template <class T, class TallyT> float runStrip(const StripIO<float>& io, T* work, TallyT& tally)
{
    const long L = io.L;
    ScratchArena<T> arena(work);
    const Scratch<T> sc = carveScratch(arena, L);
    tally.hit(Block::Call);
    const CallConstants<T> k = callSetup(T(io.gamma), T(io.kernelFloor));
    const T dt(io.dt);
    for (long i = 0; i <= L + 1; ++i) {
        const LoadedCell<T> w = loadCell(T(io.rho[i]), T(io.p[i]), T(io.x[i]), T(io.x[i + 1]), dt, k.floor, k.e);
        sc.rho[i] = w.rho;
        sc.p[i] = w.p;
        sc.c[i] = w.c;
        sc.dtdx[i] = w.dtdx;
        sc.u[i] = T(io.vx[i]);
        sc.phi[0][i] = T(io.vy[i]);
        sc.phi[1][i] = T(io.smoke[i]);
    }
    tally.hit(Block::LoadCell, static_cast<std::uint64_t>(L + 2));
    T courant(0);
    for (long i = 1; i <= L; ++i)
        courant = cellCourant(courant, sc.u[i], sc.c[i], sc.dtdx[i]);
    tally.hit(Block::CellCourant, static_cast<std::uint64_t>(L));
    auto cell = [&](long i) {
        return PrimitiveCell<T, kScalars> { sc.rho[i], sc.u[i], sc.p[i], { sc.phi[0][i], sc.phi[1][i] } };
    };
    for (long i = 0; i <= L; ++i) {
        const EulerFlux<T, kScalars> f = rusanovFlux(cell(i), sc.c[i], cell(i + 1), sc.c[i + 1], k.e);
        sc.flux[0][i] = f.mass;
        sc.flux[1][i] = f.mom;
        sc.flux[2][i] = f.energy;
        for (int q = 0; q < kScalars; ++q)
            sc.flux[3 + q][i] = f.phi[q];
    }
    tally.hit(Block::Flux, static_cast<std::uint64_t>(L + 1));
    auto fluxAt = [&](long i) {
        return EulerFlux<T, kScalars> { sc.flux[0][i], sc.flux[1][i], sc.flux[2][i],
            { sc.flux[3][i], sc.flux[4][i] } };
    };
    const T rhoFloor(io.rhoFloor), pFloor(io.pFloor);
    bool finite = kfinite(courant);
    for (long i = 1; i <= L; ++i) {
        const UpdatedCell<T, kScalars> r
            = updateCell<T, kScalars>(cell(i), fluxAt(i - 1), fluxAt(i), sc.dtdx[i], rhoFloor, pFloor, k.e);
        finite = finite && r.finite;
        io.rhoNew[i] = plainValue(r.w.rho);
        io.pNew[i] = plainValue(r.w.p);
        io.vxNew[i] = plainValue(r.w.u);
        io.vyNew[i] = plainValue(r.w.phi[0]);
        io.smokeNew[i] = plainValue(r.w.phi[1]);
    }
    tally.hit(Block::UpdateCell, static_cast<std::uint64_t>(L));
    return stripCourant(static_cast<float>(plainValue(courant)), finite);
}

inline const std::array<OpCount, kBlockCount>& blockCosts()
{
    static const std::array<OpCount, kBlockCount> costs = [] {
        std::array<OpCount, kBlockCount> t {};
        using C = Counted<float>;
        const C one(1);
        const EosConstants<C> e = EosConstants<C>::make(C(1.4));
        const PrimitiveCell<C, kScalars> w { one, one, one, { one, one } };
        auto cost = [&](Block b) -> OpCount& { return t[static_cast<int>(b)]; };
        cost(Block::Call) = measureOps([&] { (void)callSetup(one, one); });
        cost(Block::LoadCell) = measureOps([&] { (void)loadCell(one, one, C(0), one, one, one, e); });
        cost(Block::CellCourant) = measureOps([&] { (void)cellCourant(one, one, one, one); });
        cost(Block::Flux) = measureOps([&] { (void)rusanovFlux(w, one, w, one, e); });
        cost(Block::UpdateCell) = measureOps([&] {
            const EulerFlux<C, kScalars> f { one, one, one, { one, one } };
            (void)updateCell<C, kScalars>(w, f, f, one, one, one, e);
        });
        return t;
    }();
    return costs;
}

inline OpCount countStrip(const StripArgs<float>& a)
{
    const KernelScalars<float>& k = *a.k;
    const StripIO<float> io
        = unpackStrip(a.x, a.rho, a.p, a.vx, a.vy, a.smoke, a.out[kRhoNew], a.out[kPNew], a.out[kVXNew],
            a.out[kVYNew], a.out[kSmokeNew], &k.dt, &k.gamma, &k.rhoFloor, &k.kernelFloor, &k.pFloor, &a.L, &a.B);
    OpCount executed;
    runStripCall(io, kGhostCells, a.courant, nullptr, [&](const StripIO<float>& s) {
        using C = Counted<float>;
        std::vector<C> work(static_cast<std::size_t>(scratchSize<C>(s.L, &carveScratch<C>)));
        Tally tally;
        OpCountScope scope;
        const float courant = runStrip<C>(s, work.data(), tally);
        executed = scope.counts();
        return StripOutcome<float> { courant, executed };
    });
    return executed;
}

} // namespace tamrel::testing::rusanov

// Entry point, with the argument list of LENTOR32.
inline void RUSANOV(const float* X, const float* Rho, const float* P, const float* VX, const float* VY,
    const float* /*VZ*/, const float* FSmoke, float* RhoNew, float* PNew, float* VXNew, float* VYNew, float* Work,
    float* FSmokeNew, const float* Dt, float* Courant, const float* Gamma, const float* RhoFloor,
    const float* KernelFloor, const float* PFloor, const float* /*VXEpsilon*/, const tamrel::kernels::KLong* L,
    const tamrel::kernels::KLong* B, tamrel::kernels::KLong* Counters)
{
    using namespace tamrel::kernels;
    namespace r = tamrel::testing::rusanov;
    const StripIO<float> io = unpackStrip(X, Rho, P, VX, VY, FSmoke, RhoNew, PNew, VXNew, VYNew, FSmokeNew, Dt,
        Gamma, RhoFloor, KernelFloor, PFloor, L, B);
    runStripCall(io, r::kGhostCells, Courant, Counters, [&](const StripIO<float>& s) {
        r::Tally tally;
        const float courant = r::runStrip<float>(s, Work, tally);
        return StripOutcome<float> { courant, tally.ops(r::blockCosts()) };
    });
}

namespace tamrel::testing {

// The scheme's row, as it would stand in the program's table.
inline kernels::SchemeInfo rusanovRow()
{
    return { .name = "Rusanov",
        .precision = kernels::Precision::Single,
        .twoFluid = false,
        .carriesSmoke = true,
        .longestStrip = 200,
        .ghostCells = rusanov::kGhostCells,
        .single = kernels::slicesEntry<&RUSANOV>(&rusanov::countStrip),
        .dbl = {} };
}

// The program's schemes and this one, by name.
inline const kernels::SchemeInfo* findTestScheme(std::string_view name)
{
    static const kernels::SchemeInfo rows[] = { rusanovRow() };
    if (const kernels::SchemeInfo* s = kernels::findSchemeIn(rows, name))
        return s;
    return kernels::findScheme(name);
}

} // namespace tamrel::testing
