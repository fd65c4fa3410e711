// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The caller's half of the kernel contract: every argument of one strip call
// in one bundle, and the packing that builds that bundle from whole-grid
// arrays exactly as the contract lays the arguments out. The time step packs
// every strip it hands to a kernel with StripPacker; tests that call a single
// strip use the same packer, so the layout is written in one place.
//
// A scheme's entry point takes its arguments in the order its contract lists
// them (kernels/KernelContract.h); kernels/ArgumentForms.h passes a bundle on
// in each of those orders.

#include <algorithm>
#include <array>
#include <cstddef>
#include <cstdint>
#include <type_traits>
#include <vector>

#include "kernels/KernelContract.h"
#include "kernels/common/OpCount.h"

namespace tamrel::kernels {

// The two-fluid arrays, in the order the two-fluid entry point lists them.
inline constexpr int kFluidArrays = 10; // Rho1 Rho2 P1 P2 FFrac FFracX FFracY FFracXX FFracXY FFracYY

// The New arrays: density, pressure, velocity, transverse velocity, smoke,
// then the ten fluid results in the order of kFluidArrays.
enum Result : int {
    kRhoNew,
    kPNew,
    kVXNew,
    kVYNew,
    kSmokeNew,
    kFirstFluidNew,
    kResultCount = kFirstFluidNew + 10
};

// The scalars of a call, converted to the scheme's precision.
template <class Real> struct KernelScalars {
    Real dt = 0, gamma = 0, rhoFloor = 0, kernelFloor = 0, pFloor = 0, vxEpsilon = 0;
    Real difcon = 0, shkjmp = 0, wavhaf = 0, gamma1 = 0, gamma2 = 0, rhoRatio2 = 0;
    KLong cycle = 0;
};

// Whole-grid inputs, each pointing at cell 1-B (X at interface 1-B): the strip
// that starts after s cells finds its cell 1-B at offset s.
template <class Real> struct GridInputs {
    const Real *x = nullptr, *rho = nullptr, *p = nullptr, *vx = nullptr, *vy = nullptr, *smoke = nullptr;
    std::array<const Real*, kFluidArrays> fluid {}; // two-fluid schemes only
};

// Inputs a scheme may leave unread, as bits of StripEntry::reads: the smoke,
// and each of the fluid arrays (fluid array q is kReadsFluid << q). X, Rho,
// P, VX and VY are always read.
enum InputsRead : std::uint32_t {
    kReadsSmoke = 1u,
    kReadsFluid = 2u,
    kReadsAll = (kReadsFluid << kFluidArrays) - 1,
};

// dst[i] = (float)src[i], i = 0 .. n-1, built for the widest vectors the
// processor has (the same result on every processor).
void narrowInto(float* dst, const double* src, long n);

// The arguments of one strip call. Plain arrays start at strip cell 1-B (X at
// interface 1-B, L+2B+1 of them); strip arrays are filled only for schemes
// that take them, and only in their column (0, 0); VZ and VZ3 are all zero; the New arrays hold L+2B+1 values
// of which cells 1..L are read back.
template <class Real> struct StripArgs {
    KLong L = 0, B = 0;
    const Real *x = nullptr, *rho = nullptr, *p = nullptr, *vx = nullptr, *vy = nullptr, *vz = nullptr;
    const Real* smoke = nullptr;
    const Real *rho3 = nullptr, *p3 = nullptr, *vx3 = nullptr, *vy3 = nullptr, *vz3 = nullptr;
    std::array<const Real*, kFluidArrays> fluid {};
    std::array<Real*, kResultCount> out {};
    Real* work = nullptr; // kWorkPerCell * (L+2B+1) values
    const KernelScalars<Real>* k = nullptr;
    Real* courant = nullptr;
    KLong* counters = nullptr;
};

// How the time step calls a scheme of precision Real.
template <class Real> struct StripEntry {
    // Calls the entry point with the bundle's arguments in the order of its
    // contract (one of kernels/ArgumentForms.h).
    void (*run)(const StripArgs<Real>&) = nullptr;
    // The same strip run on the counting type: the New arrays and Courant
    // come out as `run` writes them, the Counters are left alone, and the
    // operations executed are returned. What `run` adds to the Counters must
    // equal it.
    OpCount (*count)(const StripArgs<Real>&) = nullptr;
    // Rho, P, VX, VY go in as 25-column strip arrays rather than 1-D slices.
    bool stripArrays = false;
    // The optional inputs the entry point reads (InputsRead); the others are
    // passed as null.
    std::uint32_t reads = kReadsAll;
};

// Builds the arguments of one strip after another; owns the strip arrays, the
// zero VZ arrays, Work and the New arrays, sized for the longest strip seen.
template <class Real> class StripPacker {
public:
    // The arguments of the strip of `len` cells after `start` cells of the
    // grid `in`, with B = b ghost cells. Strip arrays are filled when
    // `stripArrays`, the fluid arrays passed when `twoFluid`.
    StripArgs<Real> pack(const GridInputs<Real>& in, const KernelScalars<Real>& k, long start, long len, long b,
        bool stripArrays, bool twoFluid, Real* courant, KLong* counters)
    {
        return packFrom(in, k, start, len, b, stripArrays, twoFluid, kReadsAll, courant, counters);
    }

    // The same from a grid of this precision (its arrays passed in place) or
    // of double precision for a float scheme (each input converted as it is
    // packed, into arrays of the packer), passing only the optional inputs
    // named in `reads`.
    template <class Grid>
    StripArgs<Real> packFrom(const GridInputs<Grid>& in, const KernelScalars<Real>& k, long start, long len,
        long b, bool stripArrays, bool twoFluid, std::uint32_t reads, Real* courant, KLong* counters)
    {
        static_assert(std::is_same_v<Grid, Real> || (std::is_same_v<Grid, double> && std::is_same_v<Real, float>));
        const long col = len + 2 * b;
        const auto cells = static_cast<std::size_t>(col);
        const auto edges = static_cast<std::size_t>(col + 1);
        const auto s3 = static_cast<std::size_t>(strip3Size(len, b));
        grow(vz_, cells);
        grow(work_, edges * kWorkPerCell);
        for (auto& o : out_)
            grow(o, edges);

        StripArgs<Real> a;
        a.L = static_cast<KLong>(len);
        a.B = static_cast<KLong>(b);
        a.x = slice(x_, in.x + start, col + 1);
        a.vz = vz_.data();
        grow(vz3_, s3);
        a.vz3 = vz3_.data();
        if (stripArrays) {
            a.rho3 = fillStrip3(rho3_, in.rho + start, col, s3);
            a.p3 = fillStrip3(p3_, in.p + start, col, s3);
            a.vx3 = fillStrip3(vx3_, in.vx + start, col, s3);
            a.vy3 = fillStrip3(vy3_, in.vy + start, col, s3);
        }
        if constexpr (std::is_same_v<Grid, Real>) {
            a.rho = in.rho + start;
            a.p = in.p + start;
            a.vx = in.vx + start;
            a.vy = in.vy + start;
        } else if (stripArrays) {
            // Column (0, 0) holds the cells as a slice would.
            a.rho = a.rho3 + 12 * col;
            a.p = a.p3 + 12 * col;
            a.vx = a.vx3 + 12 * col;
            a.vy = a.vy3 + 12 * col;
        } else {
            a.rho = slice(rho_, in.rho + start, col);
            a.p = slice(p_, in.p + start, col);
            a.vx = slice(vx_, in.vx + start, col);
            a.vy = slice(vy_, in.vy + start, col);
        }
        if (reads & kReadsSmoke)
            a.smoke = slice(smoke_, in.smoke + start, col);
        if (twoFluid)
            for (int q = 0; q < kFluidArrays; ++q)
                if (reads & (kReadsFluid << q))
                    a.fluid[q] = slice(fluid_[q], in.fluid[q] + start, col);
        for (int q = 0; q < kResultCount; ++q)
            a.out[q] = out_[q].data();
        a.work = work_.data();
        a.k = &k;
        a.courant = courant;
        a.counters = counters;
        return a;
    }

private:
    // Zeros only ever added: VZ and VZ3 stay zero, nothing writes them.
    static void grow(std::vector<Real>& v, std::size_t n)
    {
        if (v.size() < n)
            v.resize(n);
    }

    static void copy(Real* dst, const Real* src, long n) { std::copy(src, src + n, dst); }
    static void copy(float* dst, const double* src, long n) { narrowInto(dst, src, n); }

    // `n` values from `src`: in place when they are of this precision,
    // otherwise converted into `buf`.
    template <class Grid> static const Real* slice(std::vector<Real>& buf, const Grid* src, long n)
    {
        if constexpr (std::is_same_v<Grid, Real>) {
            return src;
        } else {
            grow(buf, static_cast<std::size_t>(n));
            copy(buf.data(), src, n);
            return buf.data();
        }
    }

    // Column (j, k) = (0, 0) holds cells 1-B..L+B. It is the only column a
    // kernel reads (a contract test spoils the others), so the other 24 are
    // not written: copying them cost more than the rest of the packing.
    // Column (0, 0) starts (j+2) + 5 (k+2) = 12 columns in.
    template <class Grid>
    static const Real* fillStrip3(std::vector<Real>& dst, const Grid* src, long col, std::size_t size)
    {
        grow(dst, size);
        copy(dst.data() + 12 * col, src, col);
        return dst.data();
    }

    std::vector<Real> rho3_, p3_, vx3_, vy3_, vz3_, vz_, work_;
    // Converted inputs (a double grid for a float scheme).
    std::vector<Real> x_, rho_, p_, vx_, vy_, smoke_;
    std::array<std::vector<Real>, kFluidArrays> fluid_;
    std::array<std::vector<Real>, kResultCount> out_;
};

} // namespace tamrel::kernels
