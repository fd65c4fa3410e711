// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The four argument lists of the contract (kernels/KernelContract.h), each as
// a way to call an entry point of that list with a StripArgs bundle. A scheme
// whose entry point takes one of these lists names its entry point here, in
// its row of the scheme table:
//
//     .single = kernels::slicesEntry<&LENTOR32>(&lentor::countStrip),
//
// A scheme with a list of its own adds a form beside these.

#include "kernels/KernelContract.h"
#include "kernels/StripArgs.h"

namespace tamrel::kernels {

template <class Real> using CountStrip = OpCount(const StripArgs<Real>&);

// ORVANE64 / ORVANE32: strip arrays, Work, the shock constants.
template <class Real, OrvaneEntry<Real>* Fn> void callStripArrays(const StripArgs<Real>& a)
{
    const KernelScalars<Real>& k = *a.k;
    const auto& o = a.out;
    Fn(a.x, a.rho3, a.p3, a.vx3, a.vy3, a.vz3, a.smoke, o[kRhoNew], o[kPNew], o[kVXNew], o[kVYNew], a.work,
        o[kSmokeNew], &k.dt, a.courant, &k.gamma, &k.rhoFloor, &k.kernelFloor, &k.pFloor, &k.vxEpsilon, &k.difcon,
        &k.shkjmp, &k.wavhaf, &a.L, &a.B, a.counters);
}
template <class Real, OrvaneEntry<Real>* Fn> constexpr StripEntry<Real> stripArraysEntry(CountStrip<Real>* count)
{
    return { &callStripArrays<Real, Fn>, count, true };
}

// LENTOR32: 1-D slices, Work, no shock constants.
template <LentorEntry* Fn> void callSlices(const StripArgs<float>& a)
{
    const KernelScalars<float>& k = *a.k;
    const auto& o = a.out;
    Fn(a.x, a.rho, a.p, a.vx, a.vy, a.vz, a.smoke, o[kRhoNew], o[kPNew], o[kVXNew], o[kVYNew], a.work,
        o[kSmokeNew], &k.dt, a.courant, &k.gamma, &k.rhoFloor, &k.kernelFloor, &k.pFloor, &k.vxEpsilon, &a.L, &a.B,
        a.counters);
}
template <LentorEntry* Fn> constexpr StripEntry<float> slicesEntry(CountStrip<float>* count)
{
    return { &callSlices<Fn>, count, false };
}

// MIXTAL: strip arrays, the ten fluid arrays in and out, Cycle.
template <MixtalEntry* Fn> void callTwoFluid(const StripArgs<float>& a)
{
    const KernelScalars<float>& k = *a.k;
    const auto& f = a.fluid;
    const auto& o = a.out;
    const int n = kFirstFluidNew;
    Fn(a.x, a.rho3, a.p3, a.vx3, a.vy3, a.vz3, a.smoke, f[0], f[1], f[2], f[3], f[4], f[5], f[6], f[7], f[8], f[9],
        o[kRhoNew], o[kPNew], o[kVXNew], o[kVYNew], o[kSmokeNew], o[n], o[n + 1], o[n + 2], o[n + 3], o[n + 4],
        o[n + 5], o[n + 6], o[n + 7], o[n + 8], o[n + 9], &k.dt, a.courant, &k.gamma, &k.rhoFloor, &k.kernelFloor,
        &k.pFloor, &k.vxEpsilon, &k.gamma1, &k.gamma2, &k.rhoRatio2, &k.difcon, &k.shkjmp, &k.wavhaf, &a.L, &a.B,
        a.counters, &k.cycle);
}
template <MixtalEntry* Fn>
constexpr StripEntry<float> twoFluidEntry(CountStrip<float>* count, std::uint32_t reads = kReadsAll)
{
    return { &callTwoFluid<Fn>, count, true, reads };
}

// SORVI: Rho, P, VX five times, VY and VZ3 seven times, no smoke (none of the
// optional inputs).
template <SorviEntry* Fn> void callRepeated(const StripArgs<float>& a)
{
    const KernelScalars<float>& k = *a.k;
    const auto& o = a.out;
    const float *r = a.rho, *p = a.p, *u = a.vx, *v = a.vy, *z = a.vz3;
    Fn(a.x, r, r, r, r, r, p, p, p, p, p, u, u, u, u, u, v, v, v, v, v, v, v, z, z, z, z, z, z, z, o[kRhoNew],
        o[kPNew], o[kVXNew], o[kVYNew], a.work, &k.dt, a.courant, &k.gamma, &k.rhoFloor, &k.kernelFloor, &k.pFloor,
        &k.vxEpsilon, &a.L, &a.B, a.counters);
}
template <SorviEntry* Fn> constexpr StripEntry<float> repeatedEntry(CountStrip<float>* count)
{
    return { &callRepeated<Fn>, count, false, 0 };
}

} // namespace tamrel::kernels
