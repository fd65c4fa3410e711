// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The whole two-fluid strip, steps 1 to 6: the load with the mixture, PPM's
// reconstruction, tracing and interface solutions with each cell's own
// gamma, the moved slabs, the crossings, PPM's fluxes with the theta of the
// gas crossing each interface, and the update. T is double, or
// Counted<double> to count.

#include "kernels/common/UniformShortcut.h"
#include "kernels/mixtal/MixtalLoad.h"
#include "kernels/mixtal/MixtalScratch.h"
#include "kernels/mixtal/MixtalSlabs.h"
#include "kernels/mixtal/MixtalUpdate.h"

namespace tamrel::kernels::mixtal {

// The whole strip: T is double, or Counted<double> to count.
template <class T, class TallyT> Verdict<T> stripBody(const MixtalIO& io, T* scratch, TallyT& tally)
{
    const int L = static_cast<int>(io.s.L), B = static_cast<int>(io.s.B);
    const SlotScratch<T> w { scratch, L + 2 * B };
    tally.hit(Block::Call);
    const Closure<T> cl = closureOf(T(io.gamma1), T(io.gamma2));
    const T dt(io.s.dt);
    const T floor(kernelFloorOf(double(io.s.kernelFloor)));
    const PpmParams<T> k { dt, T(io.gamma1), floor, T(io.difcon * float(kDifconScale)), T(io.shkjmp), T(io.wavhaf),
        uniformShortcut() };

    CellRuns runs(w.n);
    runs.shortcut = k.shortcut;
    loadStrip(io, w, cl, runs, tally);
    // Step 2: PPM's reconstruction, tracing and interface solutions with
    // each cell's own gamma.
    const long first = 1 - io.s.B; // cell of element 0
    ppmLoad<true>(w, w[mX], io.s.rho + first, io.s.p + first, io.s.vx + first, io.s.vy + first, w[mF], k);
    runs.dtdxFit = finiteNotNegative(w[sDtdx], 0, w.n);
    const SkippedWork done = ppmInterfaceSolutions<true>(w, k, L, B, runs.forPpm());
    moveSlabs(io, w, dt, L, B, runs, tally);
    crossings(io, w, cl, dt, L, B, runs, tally);
    // Step 5: the fluxes, the energy flux with theta of the gas crossing.
    int copiedFluxes = 0;
    const int expanded = ppmFluxes<true, T>(w, k, w[mThetaFace], B - 1, B + L, runs.forPpm(), &copiedFluxes);
    tally.hit(Block::HydroCall);
    tally.hit(Block::HydroStripCell, static_cast<std::uint64_t>(L + 2 * B));
    tally.hit(Block::HydroUpdatedCell, static_cast<std::uint64_t>(L));
    tally.hit(Block::FlatCell, static_cast<std::uint64_t>(done.flat));
    tally.hit(Block::CopiedTrace, static_cast<std::uint64_t>(done.copied));
    tally.hit(Block::Solve, static_cast<std::uint64_t>(done.solved));
    tally.hit(Block::Expansion, static_cast<std::uint64_t>(expanded));
    tally.hit(Block::CopiedFlux, static_cast<std::uint64_t>(copiedFluxes));
    tally.hit(Block::UnslopedCell, static_cast<std::uint64_t>(done.unsloped));
    tally.hit(Block::UninterpolatedCell, static_cast<std::uint64_t>(done.uninterpolated));
    tally.hit(Block::UnflattenedCell, static_cast<std::uint64_t>(done.unflattened));
    // One call is the hydrodynamics' own (wraps to -1 without a call).
    tally.hit(Block::MoreInterpolationCalls, static_cast<std::uint64_t>(done.interpolationCalls) - 1);
    return updateCells(io, w, cl, floor, L, B, runs, tally);
}

} // namespace tamrel::kernels::mixtal
