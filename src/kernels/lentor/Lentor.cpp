// SPDX-License-Identifier: GPL-3.0-or-later
// Entry point LENTOR32: MUSCL-Hancock with HLLC, single precision (see
// LentorKernel.h).

#include <vector>

#include "kernels/common/Counted.h"
#include "kernels/lentor/LentorKernel.h"

namespace tamrel::kernels::lentor {

const std::array<OpCount, kBlockCount>& blockCosts()
{
    static const std::array<OpCount, kBlockCount> costs = [] {
        std::array<OpCount, kBlockCount> t {};
        using C = Counted<float>;
        const C one(1);
        const EosConstants<C> e = EosConstants<C>::make(C(1.4));
        const PrimitiveCell<C, kScalars> w { one, one, one, { one, one } };
        auto cost = [&](Block b) -> OpCount& { return t[static_cast<int>(b)]; };
        cost(Block::CallSetup) = measureOps([&] { (void)callSetup(one, one); });
        cost(Block::LoadCell) = measureOps([&] { (void)loadCell(one, one, one, one, one, one, one); });
        cost(Block::Reference) = measureOps([&] { (void)relativeFloor(one, one); });
        cost(Block::RelativePressure) = measureOps([&] { (void)relativePressure(one, one); });
        cost(Block::CellCourant) = measureOps([&] { (void)cellCourant(one, one, one, one, one, e); });
        cost(Block::Reconstruct)
            = measureOps([&] { (void)reconstructCell(w, w, w, one, one, one, one, one, one, one, e); });
        cost(Block::Flux) = measureOps([&] { (void)hllcFlux<C, kScalars>(w, w, one, e); });
        cost(Block::UpdateCell) = measureOps([&] {
            const EulerFlux<C, kScalars> f { one, one, one, { one, one } };
            (void)updateCell<C, kScalars>(w, f, f, one, one, one, e);
        });
        return t;
    }();
    return costs;
}

OpCount countStrip(const StripArgs<float>& a)
{
    const KernelScalars<float>& k = *a.k;
    const StripIO<float> io
        = unpackStrip(a.x, a.rho, a.p, a.vx, a.vy, a.smoke, a.out[kRhoNew], a.out[kPNew], a.out[kVXNew],
            a.out[kVYNew], a.out[kSmokeNew], &k.dt, &k.gamma, &k.rhoFloor, &k.kernelFloor, &k.pFloor, &a.L, &a.B);
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

} // namespace tamrel::kernels::lentor

using namespace tamrel::kernels;

void LENTOR32(const float* X, const float* Rho, const float* P, const float* VX, const float* VY, const float*,
    const float* FSmoke, float* RhoNew, float* PNew, float* VXNew, float* VYNew, float* Work, float* FSmokeNew,
    const float* Dt, float* Courant, const float* Gamma, const float* RhoFloor, const float* KernelFloor,
    const float* PFloor, const float*, const KLong* L, const KLong* B, KLong* Counters)
{
    const StripIO<float> io = unpackStrip(X, Rho, P, VX, VY, FSmoke, RhoNew, PNew, VXNew, VYNew, FSmokeNew, Dt,
        Gamma, RhoFloor, KernelFloor, PFloor, L, B);
    runStripCall(io, lentor::kGhostCells, Courant, Counters, [&](const StripIO<float>& s) {
        lentor::Tally tally;
        const float courant = lentor::runStripWidest(s, Work, tally);
        return StripOutcome<float> { courant, tally.ops(lentor::blockCosts()) };
    });
}
