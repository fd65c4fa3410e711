// Entry point SORVI: Godunov's method with the exact Riemann solver, single
// precision (see SorviKernel.h).

#include <cmath>

#include "kernels/SchemeTable.h"
#include "kernels/opcount/Counted.h"
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
    const long l = *L, b = *B;
    if (l < 1)
        return; // an empty strip: nothing to advance
    if (!stripScalarsValid(b, 1, *Dt, *Gamma, *RhoFloor, *PFloor, *KernelFloor)) {
        raiseCourant(Courant, faultCourant<float>());
        return;
    }
    using IO = StripIO<float>;
    IO io;
    io.x = IO::atCellZero(X, b);
    io.rho = IO::atCellZero(Rho_1, b);
    io.p = IO::atCellZero(P_1, b);
    io.vx = IO::atCellZero(VX_1, b);
    io.vy = IO::atCellZero(VY_1, b);
    io.rhoNew = IO::atCellZero(RhoNew, b);
    io.pNew = IO::atCellZero(PNew, b);
    io.vxNew = IO::atCellZero(VXNew, b);
    io.vyNew = IO::atCellZero(VYNew, b);
    io.dt = *Dt;
    io.gamma = *Gamma;
    io.rhoFloor = *RhoFloor;
    io.kernelFloor = *KernelFloor;
    io.pFloor = *PFloor;
    io.L = l;
    io.B = b;

    // The cells the method reads: 0..L+1, edges 0..L+2 (increasing).
    bool ok = allFinite(io.x, 0, l + 2) && allFinite(io.rho, 0, l + 1) && allFinite(io.p, 0, l + 1)
        && allFinite(io.vx, 0, l + 1) && allFinite(io.vy, 0, l + 1);
    for (long i = 0; ok && i <= l + 1; ++i)
        ok = io.x[i + 1] > io.x[i];
    if (!ok) {
        raiseCourant(Courant, faultCourant<float>());
        return;
    }
    sorvi::clearUpperVectorState();
    sorvi::Tally tally;
    const float courant = sorvi::runStrip<float>(io, Work, tally);
    raiseCourant(Courant, courant);
    addToCounters(Counters, tally.ops(sorvi::blockCosts()));
}
