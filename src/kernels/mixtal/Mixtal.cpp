// SPDX-License-Identifier: GPL-3.0-or-later
// No multiply and add may be fused into one rounding: the kernel must compute
// exactly the operations its counting run counts.
#pragma GCC optimize("fp-contract=off")

#include "kernels/mixtal/Mixtal.h"

#include <array>
#include <cstdint>
#include <memory>
#include <type_traits>
#include <vector>

#include "common/VectorCopies.h"
#include "kernels/common/Counted.h"
#include "kernels/common/StripCall.h"
#include "kernels/mixtal/MixtalCosts.h"
#include "kernels/mixtal/MixtalStrip.h"

namespace tamrel::kernels::mixtal {

namespace {

    // The strip in double, built for the widest vectors of the processor as
    // the one-gas PPM strip is (kernels/ppm/Ppm.cpp): an AVX-512, an AVX2 and
    // a baseline copy, the whole body inlined into each, the one the
    // processor runs picked per call. All compute the same numbers.
    TAMREL_VECTOR_COPIES(Verdict<double>, stripWidest, (const MixtalIO& io, double* scratch, Tally& tally),
        (io, scratch, tally), stripBody<double>)

    template <class T, class TallyT>
    StripOutcome<float> runStrip(const MixtalIO& io, T* scratch, TallyT& tally, OpCount (*ops)(const TallyT&))
    {
        Verdict<T> v;
        if constexpr (std::is_same_v<T, double>)
            v = stripWidest(io, scratch, tally);
        else
            v = stripBody<T>(io, scratch, tally);
        return { stripCourant(v.courant, v.finite), ops(tally) };
    }

    // Counts nothing: the counting run counts by executing.
    struct NoCount {
        template <class B> void hit(B, std::uint64_t = 1) { }
    };

    MixtalIO unpackMixtal(const float* X, const float* Rho3, const float* P3, const float* VX3, const float* VY3,
        const float* Rho1, const float* Rho2, const float* FFrac, const float* FFracX, float* RhoNew, float* PNew,
        float* VXNew, float* VYNew, float* FSmokeNew, const std::array<float*, kFluidArrays>& fluidNew,
        const float* Dt, const float* Gamma, const float* RhoFloor, const float* KernelFloor, const float* PFloor,
        const float* Gamma1, const float* Gamma2, const float* Difcon, const float* Shkjmp, const float* Wavhaf,
        const KLong* L, const KLong* B, bool stripArrays)
    {
        const long l = *L, b = *B;
        auto column = [&](const float* a) { return stripArrays ? stripColumn(a, l, b) : a; };
        MixtalIO io;
        // The fraction is the smoke: FSmoke itself is not read.
        io.s = unpackStrip<float>(X, column(Rho3), column(P3), column(VX3), column(VY3), nullptr, RhoNew, PNew,
            VXNew, VYNew, FSmokeNew, Dt, Gamma, RhoFloor, KernelFloor, PFloor, L, B);
        io.rho1 = atCellZero(Rho1, b);
        io.rho2 = atCellZero(Rho2, b);
        io.frac = atCellZero(FFrac, b);
        io.fracX = atCellZero(FFracX, b);
        for (int q = 0; q < kFluidArrays; ++q)
            io.fluidNew[q] = atCellZero(fluidNew[q], b);
        io.gamma1 = *Gamma1;
        io.gamma2 = *Gamma2;
        io.difcon = *Difcon;
        io.shkjmp = *Shkjmp;
        io.wavhaf = *Wavhaf;
        return io;
    }

    // The checks of every kernel, and those of the two fluids.
    // The four fluid columns finite over the stencil, in one pass built for
    // the widest vectors.
    bool fluidsFiniteLoop(const MixtalIO& io)
    {
        const long lo = 1 - kGhostCells, hi = io.s.L + kGhostCells;
        using Bits = FloatBits<float>;
        const float* __restrict r1 = io.rho1;
        const float* __restrict r2 = io.rho2;
        const float* __restrict f = io.frac;
        const float* __restrict fx = io.fracX;
        Bits::Word bad = 0;
        for (long i = lo; i <= hi; ++i)
            bad |= Bits::nonFinite(r1[i]) | Bits::nonFinite(r2[i]) | Bits::nonFinite(f[i])
                | Bits::nonFinite(fx[i]);
        return bad == 0;
    }

    TAMREL_VECTOR_COPIES(bool, fluidsFinite, (const MixtalIO& io), (io), fluidsFiniteLoop)

    bool fluidsValid(const MixtalIO& io)
    {
        return io.gamma1 > 1.0f && io.gamma2 > 1.0f && fluidsFinite(io);
    }

    template <class Body> void runMixtalCall(const MixtalIO& io, float* courant, KLong* counters, Body&& body)
    {
        runStripCall(io.s, kGhostCells, courant, counters, [&](const StripIO<float>&) {
            if (!fluidsValid(io))
                return StripOutcome<float> { faultCourant<float>(), OpCount {} };
            return body();
        });
    }

} // namespace

OpCount countStrip(const StripArgs<float>& a)
{
    const KernelScalars<float>& k = *a.k;
    std::array<float*, kFluidArrays> fluidNew;
    for (int q = 0; q < kFluidArrays; ++q)
        fluidNew[q] = a.out[kFirstFluidNew + q];
    const MixtalIO io
        = unpackMixtal(a.x, a.rho, a.p, a.vx, a.vy, a.fluid[0], a.fluid[1], a.fluid[4], a.fluid[5], a.out[kRhoNew],
            a.out[kPNew], a.out[kVXNew], a.out[kVYNew], a.out[kSmokeNew], fluidNew, &k.dt, &k.gamma, &k.rhoFloor,
            &k.kernelFloor, &k.pFloor, &k.gamma1, &k.gamma2, &k.difcon, &k.shkjmp, &k.wavhaf, &a.L, &a.B, false);
    OpCount executed;
    runMixtalCall(io, a.courant, nullptr, [&] {
        using C = Counted<double>;
        std::vector<C> scratch(static_cast<std::size_t>(kMixSlotCount) * (io.s.L + 2 * io.s.B + 1));
        NoCount none;
        OpCountScope scope;
        const StripOutcome<float> r = runStrip<C>(
            io, scratch.data(), none, +[](const NoCount&) { return OpCount {}; });
        executed = scope.counts();
        return StripOutcome<float> { r.courant, executed };
    });
    return executed;
}

} // namespace tamrel::kernels::mixtal

using namespace tamrel::kernels;

void MIXTAL(const float* X, const float* Rho3, const float* P3, const float* VX3, const float* VY3,
    const float* /*VZ3*/, const float* /*FSmoke*/, const float* Rho1, const float* Rho2, const float* /*P1*/,
    const float* /*P2*/, const float* FFrac, const float* FFracX, const float* /*FFracY*/,
    const float* /*FFracXX*/, const float* /*FFracXY*/, const float* /*FFracYY*/, float* RhoNew, float* PNew,
    float* VXNew, float* VYNew, float* FSmokeNew, float* Rho1New, float* Rho2New, float* P1New, float* P2New,
    float* FFracNew, float* FFracXNew, float* FFracYNew, float* FFracXXNew, float* FFracXYNew, float* FFracYYNew,
    const float* Dt, float* Courant, const float* Gamma, const float* RhoFloor, const float* KernelFloor,
    const float* PFloor, const float* /*VXEpsilon*/, const float* Gamma1, const float* Gamma2,
    const float* /*RhoRatio2*/, const float* Difcon, const float* Shkjmp, const float* Wavhaf, const KLong* L,
    const KLong* B, KLong* Counters, const KLong* /*Cycle*/)
{
    const std::array<float*, kFluidArrays> fluidNew { Rho1New, Rho2New, P1New, P2New, FFracNew, FFracXNew,
        FFracYNew, FFracXXNew, FFracXYNew, FFracYYNew };
    const mixtal::MixtalIO io = mixtal::unpackMixtal(X, Rho3, P3, VX3, VY3, Rho1, Rho2, FFrac, FFracX, RhoNew,
        PNew, VXNew, VYNew, FSmokeNew, fluidNew, Dt, Gamma, RhoFloor, KernelFloor, PFloor, Gamma1, Gamma2, Difcon,
        Shkjmp, Wavhaf, L, B, true);
    mixtal::runMixtalCall(io, Courant, Counters, [&] {
        // Double inside: the geometry of the fraction needs the extra digits
        // to conserve the fluid-2 volume to 1e-6 over many steps. The scratch
        // belongs to this call alone.
        const auto size = static_cast<std::size_t>(mixtal::kMixSlotCount) * (io.s.L + 2 * io.s.B + 1);
        // Left unset: every slot is written before it is read.
        const auto scratch = std::unique_ptr<double[]>(new double[size]);
        mixtal::Tally tally;
        return mixtal::runStrip<double>(io, scratch.get(), tally, &mixtal::tallied);
    });
}