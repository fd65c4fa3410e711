// Entry point LENTOR32: MUSCL-Hancock with HLLC, single precision (see
// LentorKernel.h).

#include <cmath>

#include "kernels/SchemeTable.h"
#include "kernels/lentor/LentorKernel.h"
#include "kernels/opcount/Counted.h"

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

} // namespace tamrel::kernels::lentor

using namespace tamrel::kernels;

void LENTOR32(const float* X, const float* Rho, const float* P, const float* VX, const float* VY, const float*,
    const float* FSmoke, float* RhoNew, float* PNew, float* VXNew, float* VYNew, float* Work, float* FSmokeNew,
    const float* Dt, float* Courant, const float* Gamma, const float* RhoFloor, const float* KernelFloor,
    const float* PFloor, const float*, const KLong* L, const KLong* B, KLong* Counters)
{
    const long l = *L, b = *B;
    if (l < 1)
        return; // an empty strip: nothing to advance
    if (!stripScalarsValid(b, 2, *Dt, *Gamma, *RhoFloor, *PFloor, *KernelFloor)) {
        raiseCourant(Courant, faultCourant<float>());
        return;
    }
    using IO = StripIO<float>;
    IO io;
    io.x = IO::atCellZero(X, b);
    io.rho = IO::atCellZero(Rho, b);
    io.p = IO::atCellZero(P, b);
    io.vx = IO::atCellZero(VX, b);
    io.vy = IO::atCellZero(VY, b);
    io.smoke = IO::atCellZero(FSmoke, b);
    io.rhoNew = IO::atCellZero(RhoNew, b);
    io.pNew = IO::atCellZero(PNew, b);
    io.vxNew = IO::atCellZero(VXNew, b);
    io.vyNew = IO::atCellZero(VYNew, b);
    io.smokeNew = IO::atCellZero(FSmokeNew, b);
    io.dt = *Dt;
    io.gamma = *Gamma;
    io.rhoFloor = *RhoFloor;
    io.kernelFloor = *KernelFloor;
    io.pFloor = *PFloor;
    io.L = l;
    io.B = b;

    // The cells the method reads: -1..L+2, edges -1..L+3 (increasing).
    bool ok = allFinite(io.x, -1, l + 3) && allFinite(io.rho, -1, l + 2) && allFinite(io.p, -1, l + 2)
        && allFinite(io.vx, -1, l + 2) && allFinite(io.vy, -1, l + 2) && allFinite(io.smoke, -1, l + 2);
    for (long i = -1; ok && i <= l + 2; ++i)
        ok = io.x[i + 1] > io.x[i];
    if (!ok) {
        raiseCourant(Courant, faultCourant<float>());
        return;
    }
    lentor::Tally tally;
    const float courant = lentor::runStrip<float>(io, Work, tally);
    raiseCourant(Courant, courant);
    addToCounters(Counters, tally.ops(lentor::blockCosts()));
}
