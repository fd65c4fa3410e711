// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The kernel's half of a strip call, shared by every entry point: the
// arguments unpacked into one view indexed by strip cell, the checks on a
// call, the Courant number handed back across strips, the smallest kernel
// floor, and the frame that ties them to a kernel body.
//
//     void ENTRY(... contract arguments ...)
//     {
//         const StripIO<float> io = unpackStrip(X, Rho, P, ...);
//         runStripCall(io, kGhostCells, Courant, Counters, [&](const StripIO<float>& s) {
//             Tally tally;
//             const float courant = runStrip<float>(s, Work, tally);
//             return StripOutcome<float> { courant, tally.ops(blockCosts()) };
//         });
//     }

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>

#include "kernels/KernelContract.h"
#include "kernels/common/KernelMath.h"
#include "kernels/common/OpCount.h"

namespace tamrel::kernels {

// KernelFloor is raised to at least this inside every kernel, so that a floor
// of 0 still keeps densities and pressures away from zero.
inline constexpr double kSmallestKernelFloor = 1e-30;

template <class T> inline T kernelFloorOf(T requested)
{
    return kmax(requested, T(kSmallestKernelFloor));
}

// The arrays and constants of one strip call, with the array pointers moved
// so that index i is strip cell i (x[i] is the left edge of cell i): kernel
// bodies index cells 1..L and their neighbours directly.
template <class Real> struct StripIO {
    const Real *x = nullptr, *rho = nullptr, *p = nullptr, *vx = nullptr, *vy = nullptr, *smoke = nullptr;
    Real *rhoNew = nullptr, *pNew = nullptr, *vxNew = nullptr, *vyNew = nullptr, *smokeNew = nullptr;
    Real dt = 0, gamma = 0, rhoFloor = 0, kernelFloor = 0, pFloor = 0;
    long L = 0, B = 0;
};

// Pointer to strip cell 1-B of an argument array -> pointer to cell 0.
template <class P> inline P* atCellZero(P* first, long B)
{
    return first == nullptr ? nullptr : first + (B - 1);
}

// Column (j, k) = (0, 0) of a strip array: cells 1-B .. L+B.
template <class Real> inline const Real* stripColumn(const Real* a3, long L, long B)
{
    return a3 + strip3Index(1 - B, 0, 0, L, B);
}

// The view of a call. Arrays are given at strip cell 1-B (a strip array by its
// stripColumn); the smoke arrays may be null for a scheme without smoke.
template <class Real>
inline StripIO<Real> unpackStrip(const Real* X, const Real* Rho, const Real* P, const Real* VX, const Real* VY,
    const Real* FSmoke, Real* RhoNew, Real* PNew, Real* VXNew, Real* VYNew, Real* FSmokeNew, const Real* Dt,
    const Real* Gamma, const Real* RhoFloor, const Real* KernelFloor, const Real* PFloor, const KLong* L,
    const KLong* B)
{
    const long b = *B;
    StripIO<Real> io;
    io.x = atCellZero(X, b);
    io.rho = atCellZero(Rho, b);
    io.p = atCellZero(P, b);
    io.vx = atCellZero(VX, b);
    io.vy = atCellZero(VY, b);
    io.smoke = atCellZero(FSmoke, b);
    io.rhoNew = atCellZero(RhoNew, b);
    io.pNew = atCellZero(PNew, b);
    io.vxNew = atCellZero(VXNew, b);
    io.vyNew = atCellZero(VYNew, b);
    io.smokeNew = atCellZero(FSmokeNew, b);
    io.dt = *Dt;
    io.gamma = *Gamma;
    io.rhoFloor = *RhoFloor;
    io.kernelFloor = *KernelFloor;
    io.pFloor = *PFloor;
    io.L = *L;
    io.B = b;
    return io;
}

// The checks over arrays look at the bits of each value: its exponent is all
// ones for a NaN or an infinity, and adding the exponent's lowest bit to the
// exponent then carries into the sign bit. Written as integer arithmetic
// rather than branches or a floating-point sum, the loops vectorise on every
// processor. Edges are in order when the difference of neighbours is
// positive: neither a zero nor a negative number (sign bit set).
template <class Real> struct FloatBits;
template <> struct FloatBits<double> {
    using Word = std::uint64_t;
    static constexpr Word kExponent = 0x7ff0000000000000ULL, kLowest = 0x0010000000000000ULL,
                          kSign = 0x8000000000000000ULL;
    // kSign for a value that is not finite, else 0.
    static Word nonFinite(double v) { return ((std::bit_cast<Word>(v) & kExponent) + kLowest) & kSign; }
    // kSign for a zero (of either sign) or a negative value, else 0.
    static Word notPositive(double v)
    {
        const Word b = std::bit_cast<Word>(v);
        return ((b - 1) | b) & kSign;
    }
};
template <> struct FloatBits<float> {
    using Word = std::uint32_t;
    static constexpr Word kExponent = 0x7f800000U, kLowest = 0x00800000U, kSign = 0x80000000U;
    static Word nonFinite(float v) { return ((std::bit_cast<Word>(v) & kExponent) + kLowest) & kSign; }
    static Word notPositive(float v)
    {
        const Word b = std::bit_cast<Word>(v);
        return ((b - 1) | b) & kSign;
    }
};

// True when every value of v[lo..hi] is finite.
template <class Real> inline bool allFinite(const Real* v, long lo, long hi)
{
    typename FloatBits<Real>::Word bad = 0;
    for (long i = lo; i <= hi; ++i)
        bad |= FloatBits<Real>::nonFinite(v[i]);
    return bad == 0;
}

enum class CallCheck { Run, Empty, Fault };

// What a kernel makes of a call. A strip of no cells is no work. A fault: fewer
// ghost cells than the stencil reads (`margin`), a time step that is negative
// or not finite, gamma not above 1, a floor that is not finite, a value the
// stencil reads (cells 1-margin .. L+margin, edges up to L+margin+1) that is
// not finite, or edges that do not increase. Densities and pressures at or
// below zero are no fault: kernels raise them to the kernel floor.
template <class Real> inline CallCheck checkStrip(const StripIO<Real>& io, long margin)
{
    if (io.L < 1)
        return CallCheck::Empty;
    const bool scalars = io.B >= margin && std::isfinite(io.dt) && io.dt >= 0 && std::isfinite(io.gamma)
        && io.gamma > 1 && std::isfinite(io.rhoFloor) && std::isfinite(io.pFloor) && std::isfinite(io.kernelFloor);
    if (!scalars)
        return CallCheck::Fault;
    // One pass over the cells the stencil reads, the smoke in it when there
    // is one, in integer arithmetic so that it vectorises.
    const long lo = 1 - margin, hi = io.L + margin;
    using Bits = FloatBits<Real>;
    auto cell = [&io](long i) {
        return Bits::nonFinite(io.x[i + 1]) | Bits::notPositive(io.x[i + 1] - io.x[i]) | Bits::nonFinite(io.rho[i])
            | Bits::nonFinite(io.p[i]) | Bits::nonFinite(io.vx[i]) | Bits::nonFinite(io.vy[i]);
    };
    typename Bits::Word bad = Bits::nonFinite(io.x[lo]);
    if (io.smoke != nullptr)
        for (long i = lo; i <= hi; ++i)
            bad |= cell(i) | Bits::nonFinite(io.smoke[i]);
    else
        for (long i = lo; i <= hi; ++i)
            bad |= cell(i);
    return bad == 0 ? CallCheck::Run : CallCheck::Fault;
}

template <class Real> inline Real faultCourant()
{
    return std::numeric_limits<Real>::quiet_NaN();
}

// Raises *courant to local. NaN (a fault) is sticky: once a strip reported
// it, the step stays faulted whatever later strips find.
template <class Real> inline void raiseCourant(Real* courant, Real local)
{
    if (std::isnan(*courant))
        return;
    if (std::isnan(local) || local > *courant)
        *courant = local;
}

// The Courant number a strip hands back: `local`, its largest over cells
// 1..L, when its results are finite. Results that are not finite at a Courant
// number of 1 or more ask for the retry with a smaller Dt that may well cure
// them; below 1 they are a fault (NaN).
template <class Real> inline Real stripCourant(Real local, bool resultsFinite)
{
    return resultsFinite || local >= Real(1) ? local : faultCourant<Real>();
}

// What a kernel body reports about its strip.
template <class Real> struct StripOutcome {
    Real courant; // stripCourant of the strip
    OpCount ops; // operations executed
};

// checkStrip built for the widest vectors of the processor (StripCheck.cpp):
// a call reads every value of its strip once more for this.
CallCheck checkStripWidest(const StripIO<float>& io, long margin);
CallCheck checkStripWidest(const StripIO<double>& io, long margin);

// The frame of every entry point: the checks, then body(io) on a sound call,
// its Courant number raised into *courant and its operations added to the
// counters. A fault raises NaN and counts nothing; an empty strip does nothing.
template <class Real, class Body>
inline void runStripCall(const StripIO<Real>& io, long margin, Real* courant, KLong* counters, Body&& body)
{
    switch (checkStripWidest(io, margin)) {
    case CallCheck::Empty:
        return;
    case CallCheck::Fault:
        raiseCourant(courant, faultCourant<Real>());
        return;
    case CallCheck::Run:
        break;
    }
    const StripOutcome<Real> r = body(io);
    raiseCourant(courant, r.courant);
    if (counters != nullptr)
        addToCounters(counters, r.ops);
}

} // namespace tamrel::kernels
