// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The argument contract of the hydrodynamics kernels.
//
// Each scheme has one entry point that advances one strip of the grid by one
// time step. Every argument is passed by address; Reals are float or double
// by scheme, L, B, Cycle and the eight Counters are 32-bit integers.
//
// Index conventions (B ghost cells each side, L cells in the strip):
//  * a plain array (X, FSmoke, Rho in LENTOR32 ...) points at the element of
//    strip cell 1-B; strip cell i is element i+B-1. X holds interfaces
//    1-B .. L+B+1 (X(i) is the left edge of cell i).
//  * a name ending in 3 is a strip array (1-B To L+B, -2 To 2, -2 To 2), first
//    index fastest; element (i, j, k) is at (i+B-1) + (L+2B) * ((j+2) +
//    5 * (k+2)). A one-dimensional kernel reads column (0, 0) only, and the
//    time step fills only that column. VZ3 and VZ are all zero.
//  * New arrays are outputs (1-B To L+B+1); cells 1..L are read back.
//  * Work is scratch of at least kWorkPerCell * (L+2B+1) Reals.
//
// What the caller relies on:
//  1. the New arrays hold cells 1..L advanced by Dt;
//  2. Courant (0 before the first strip of a step, then passed to every strip)
//     holds the largest (|u|+c) Dt/dx of the step: a kernel raises it to the
//     largest value over its cells 1..L and never lowers it. 1 or more makes
//     the caller repeat the step with a smaller Dt. A kernel that meets a
//     non-finite input, or whose arithmetic overflows while its Courant number
//     is below 1, sets Courant to NaN; NaN is sticky across strips and the
//     caller treats it as a fault, not as a reason to retry (a smaller Dt
//     would not help). Overflow at a Courant number of 1 or more is reported
//     as that Courant number: the retry may cure it;
//  3. Counters[k-1] grows by the operations of kind k: 1 all floating-point
//     operations (the sum of kinds 2..8), 2 additions/subtractions,
//     3 multiplications, 4 reciprocals/divisions, 5 conditional merges
//     (min, max, select, abs), 6 and 7 square roots, 8 exponentials (pow, exp,
//     log). The counters wrap modulo 2^32;
//  4. inputs are unchanged; Work may be overwritten.
//
// The checks every kernel makes on a call, the Courant report and the frame
// of an entry point are in kernels/common/StripCall.h; the caller's half (the
// bundle of a call's arguments and its packing) in kernels/StripArgs.h.
//
// Operation counts are real: write the kernel body as a template over its
// number type using the operations of kernels/common/KernelMath.h (kmin, kmax,
// kabs, kselect, ksqrt, kpow) and no literal of another precision (Real(0.5)),
// so that it also runs on Counted<float>/Counted<double>
// (kernels/common/Counted.h), which counts exactly what the float/double
// build executes. At run time the kernel tallies how often each branch-free
// block of its code ran (kernels/common/BlockTally.h) and multiplies by the
// block's cost, measured once with measureOps(). Its row in the scheme table
// offers the counting run of a strip, and a test compares the two for every
// scheme.

#include <cstdint>

namespace tamrel::kernels {

using KLong = std::int32_t;

inline constexpr int kWorkPerCell = 64;
inline constexpr int kCounterCount = 8;

// Offset of strip-array element (i, j, k) from the array's first element.
inline long strip3Index(long i, long j, long k, long L, long B)
{
    return (i + B - 1) + (L + 2 * B) * ((j + 2) + 5 * (k + 2));
}
// Elements of one strip array.
inline long strip3Size(long L, long B)
{
    return (L + 2 * B) * 25;
}

// ORVANE64 (double) and ORVANE32 (float): PPM.
template <class Real>
using OrvaneEntry = void(const Real* X, const Real* Rho3, const Real* P3, const Real* VX3, const Real* VY3,
    const Real* VZ3, const Real* FSmoke, Real* RhoNew, Real* PNew, Real* VXNew, Real* VYNew, Real* Work,
    Real* FSmokeNew, const Real* Dt, Real* Courant, const Real* Gamma, const Real* RhoFloor,
    const Real* KernelFloor, const Real* PFloor, const Real* VXEpsilon, const Real* Difcon, const Real* Shkjmp,
    const Real* Wavhaf, const KLong* L, const KLong* B, KLong* Counters);

// LENTOR32: MUSCL-Hancock with HLLC.
using LentorEntry
    = void(const float* X, const float* Rho, const float* P, const float* VX, const float* VY, const float* VZ,
        const float* FSmoke, float* RhoNew, float* PNew, float* VXNew, float* VYNew, float* Work, float* FSmokeNew,
        const float* Dt, float* Courant, const float* Gamma, const float* RhoFloor, const float* KernelFloor,
        const float* PFloor, const float* VXEpsilon, const KLong* L, const KLong* B, KLong* Counters);

// MIXTAL: two gamma-law fluids on PPM hydrodynamics.
using MixtalEntry = void(const float* X, const float* Rho3, const float* P3, const float* VX3, const float* VY3,
    const float* VZ3, const float* FSmoke, const float* Rho1, const float* Rho2, const float* P1, const float* P2,
    const float* FFrac, const float* FFracX, const float* FFracY, const float* FFracXX, const float* FFracXY,
    const float* FFracYY, float* RhoNew, float* PNew, float* VXNew, float* VYNew, float* FSmokeNew, float* Rho1New,
    float* Rho2New, float* P1New, float* P2New, float* FFracNew, float* FFracXNew, float* FFracYNew,
    float* FFracXXNew, float* FFracXYNew, float* FFracYYNew, const float* Dt, float* Courant, const float* Gamma,
    const float* RhoFloor, const float* KernelFloor, const float* PFloor, const float* VXEpsilon,
    const float* Gamma1, const float* Gamma2, const float* RhoRatio2, const float* Difcon, const float* Shkjmp,
    const float* Wavhaf, const KLong* L, const KLong* B, KLong* Counters, const KLong* Cycle);

// SORVI: Godunov's first-order method. Rho, P and VX are passed five times,
// VY and VZ3 seven times (the same addresses), as the contract lists them.
using SorviEntry = void(const float* X, const float* Rho_1, const float* Rho_2, const float* Rho_3,
    const float* Rho_4, const float* Rho_5, const float* P_1, const float* P_2, const float* P_3, const float* P_4,
    const float* P_5, const float* VX_1, const float* VX_2, const float* VX_3, const float* VX_4,
    const float* VX_5, const float* VY_1, const float* VY_2, const float* VY_3, const float* VY_4,
    const float* VY_5, const float* VY_6, const float* VY_7, const float* VZ3_1, const float* VZ3_2,
    const float* VZ3_3, const float* VZ3_4, const float* VZ3_5, const float* VZ3_6, const float* VZ3_7,
    float* RhoNew, float* PNew, float* VXNew, float* VYNew, float* Work, const float* Dt, float* Courant,
    const float* Gamma, const float* RhoFloor, const float* KernelFloor, const float* PFloor,
    const float* VXEpsilon, const KLong* L, const KLong* B, KLong* Counters);

// The sub-cell profile of the fluid-2 fraction: from FFrac, FFracX, FFracXX
// of cells 1-B .. N+B (S1, S2, S3 start at cell 1-B), return in Q[0 .. a*N-1]
// the fluid-2 volume fraction of the a equal sub-cells of every cell, cell 1
// first, each in [0, 1].
using SubcellProfileEntry = void(const float* S1, const float* S2, const float* S3, float* Q,
    const float* Tolerance, const KLong* N, const KLong* B, const KLong* A);

} // namespace tamrel::kernels
