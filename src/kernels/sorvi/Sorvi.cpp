// SPDX-License-Identifier: GPL-3.0-or-later
// Entry point SORVI: Godunov's method with the exact Riemann solver, single
// precision (see SorviKernel.h).

#include <vector>

#include "kernels/common/Counted.h"
#include "kernels/riemann/RiemannBlockCosts.h"
#include "kernels/sorvi/SorviKernel.h"

namespace tamrel::kernels::sorvi {

const std::array<OpCount, kBlockCount>& blockCosts()
{
    static const std::array<OpCount, kBlockCount> costs = [] {
        std::array<OpCount, kBlockCount> t {};
        riemann::measureRiemannBlockCosts<float>(t);
        using C = Counted<float>;
        const C one(1);
        const CallConstants<C> k = callSetup(C(1.4), one);
        const riemann::SampledState<C> s { { one, one, one }, true };
        auto cost = [&](Block b) -> OpCount& { return t[static_cast<int>(b)]; };
        cost(Block::CallSetup) = measureOps([&] { (void)callSetup(one, one); });
        cost(Block::LoadCell) = measureOps([&] { (void)loadCell(one, one, one, one, one, one, k.g); });
        cost(Block::CellCourant) = measureOps([&] { (void)cellCourant(one, one, one, one); });
        cost(Block::InterfaceFlux) = measureOps([&] { (void)interfaceFlux(s, one, one, k.e); });
        cost(Block::UpdateCell) = measureOps([&] {
            const PrimitiveCell<C, 1> w { one, one, one, { one } };
            const EulerFlux<C, 1> f { one, one, one, { one } };
            (void)updateCell<C, 1>(w, f, f, one, one, one, k.e);
        });
        return t;
    }();
    return costs;
}

namespace {

    // The exact solver calls powf on its rarefaction branches, and glibc
    // hands out its AVX2/FMA build, VEX-encoded, while this kernel is compiled
    // to plain SSE. If the caller has left the upper halves of the YMM
    // registers in use, every switch between the two encodings costs a state
    // transition (measured on an AVX-512 Xeon: about 130 ns per powf call
    // instead of 6). The program does leave them in use: Qt 6.4's AVX2 fill
    // behind QImage::fill returns without VZEROUPPER, and glibc's AVX-512
    // string functions never clear them. So the state is cleared once per
    // call; nothing in the strip loop puts it in use again.
    void clearUpperVectorState()
    {
#if defined(__x86_64__) || defined(__i386__)
        static const bool avx = [] {
            __builtin_cpu_init();
            return __builtin_cpu_supports("avx") != 0;
        }();
        if (avx)
            asm volatile("vzeroupper"); // leaves XMM values and the SSE state alone
#endif
    }

} // namespace

OpCount countStrip(const StripArgs<float>& a)
{
    const KernelScalars<float>& k = *a.k;
    const StripIO<float> io
        = unpackStrip<float>(a.x, a.rho, a.p, a.vx, a.vy, nullptr, a.out[kRhoNew], a.out[kPNew], a.out[kVXNew],
            a.out[kVYNew], nullptr, &k.dt, &k.gamma, &k.rhoFloor, &k.kernelFloor, &k.pFloor, &a.L, &a.B);
    OpCount executed;
    runStripCall(io, kGhostCells, a.courant, nullptr, [&](const StripIO<float>& s) {
        using C = Counted<float>;
        std::vector<C> work(static_cast<std::size_t>(scratchSize<C>(s.L)));
        Tally tally;
        OpCountScope scope;
        const float courant = runStrip<C>(s, work.data(), tally);
        executed = scope.counts();
        return StripOutcome<float> { courant, executed };
    });
    return executed;
}

} // namespace tamrel::kernels::sorvi

using namespace tamrel::kernels;

void SORVI(const float* X, const float* Rho_1, const float*, const float*, const float*, const float*,
    const float* P_1, const float*, const float*, const float*, const float*, const float* VX_1, const float*,
    const float*, const float*, const float*, const float* VY_1, const float*, const float*, const float*,
    const float*, const float*, const float*, const float*, const float*, const float*, const float*, const float*,
    const float*, const float*, float* RhoNew, float* PNew, float* VXNew, float* VYNew, float* Work,
    const float* Dt, float* Courant, const float* Gamma, const float* RhoFloor, const float* KernelFloor,
    const float* PFloor, const float*, const KLong* L, const KLong* B, KLong* Counters)
{
    const StripIO<float> io = unpackStrip<float>(X, Rho_1, P_1, VX_1, VY_1, nullptr, RhoNew, PNew, VXNew, VYNew,
        nullptr, Dt, Gamma, RhoFloor, KernelFloor, PFloor, L, B);
    runStripCall(io, sorvi::kGhostCells, Courant, Counters, [&](const StripIO<float>& s) {
        sorvi::clearUpperVectorState();
        sorvi::Tally tally;
        const float courant = sorvi::runStripWidest(s, Work, tally);
        return StripOutcome<float> { courant, tally.ops(sorvi::blockCosts()) };
    });
}
