// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Step 1 of the two-fluid strip: the cells with their mixture into the
// scratch, as PPM wants them in its first slots (each cell's own theta, g and
// (g+1)/(2g)), and the runs of one state the later steps use.
//
// Contract: reads the checked inputs of cells 1-B .. L+B; writes mX, mF,
// sTheta, sGam, sGfac and the runs. A block of cells of one fraction (to the
// last bit) forms its mixture once.

#include <bit>
#include <cstdint>

#include "kernels/mixtal/MixtalCells.h"
#include "kernels/mixtal/MixtalScratch.h"

namespace tamrel::kernels::mixtal {

// Step 1: load the strip (cells 1-B .. L+B) with its mixture, as PPM
// wants it in the first slots.
template <class T, class TallyT>
void loadStrip(const MixtalIO& io, const SlotScratch<T>& w, const Closure<T>& cl, CellRuns& runs, TallyT& tally)
{
    const long first = 1 - io.s.B; // cell of element 0
    const int n = w.n;
    const float* __restrict ix = io.s.x + first;
    const float* __restrict irho = io.s.rho + first;
    const float* __restrict ip = io.s.p + first;
    const float* __restrict iu = io.s.vx + first;
    const float* __restrict iv = io.s.vy + first;
    const float* __restrict ifx = io.fracX + first;
    const float* __restrict ir1 = io.rho1 + first;
    const float* __restrict ir2 = io.rho2 + first;
    const float* __restrict ifr = io.frac + first;
    T* __restrict x = w[mX];
    T* __restrict f = w[mF];
    T* __restrict theta = w[sTheta];
    T* __restrict gam = w[sGam];
    T* __restrict gfac = w[sGfac];
    for (int c = 0; c <= n; ++c)
        x[c] = T(ix[c]);
    // The mixture of each cell; a block of cells of one fraction (to the
    // last bit) forms it once.
    auto put = [&](int c, const MixedCell<T>& m) {
        f[c] = m.f;
        theta[c] = m.theta;
        gam[c] = m.gam;
        gfac[c] = m.gfac;
    };
    std::uint64_t mixed = 0;
    for (int b0 = 0; b0 < n; b0 += kBlock) {
        const int b1 = b0 + kBlock < n ? b0 + kBlock : n;
        if (runs.shortcut && oneValue(ifr, b0, b1)) {
            const MixedCell<T> m = mixedCell(T(ifr[b0]), cl);
            for (int c = b0; c < b1; ++c)
                put(c, m);
            mixed += 1;
            continue;
        }
#pragma GCC ivdep
        for (int c = b0; c < b1; ++c)
            put(c, mixedCell(T(ifr[c]), cl));
        mixed += static_cast<std::uint64_t>(b1 - b0);
    }
    tally.hit(Block::LoadCell, mixed);

    // Where the state changes from the cell before, and which cells hold
    // fluid 2; then the counts.
    std::int32_t* __restrict hydro = runs.hydro.data();
    std::int32_t* __restrict all = runs.all.data();
    std::int32_t* __restrict fluid2 = runs.fluid2.data();
    auto bits = [](float v) { return std::bit_cast<std::uint32_t>(v); };
    hydro[0] = 0;
    all[0] = 0;
#pragma GCC ivdep
    for (int c = 1; c < n; ++c) {
        const std::uint32_t h = (bits(irho[c]) ^ bits(irho[c - 1])) | (bits(ip[c]) ^ bits(ip[c - 1]))
            | (bits(iu[c]) ^ bits(iu[c - 1])) | (bits(iv[c]) ^ bits(iv[c - 1]))
            | (bits(ifr[c]) ^ bits(ifr[c - 1]));
        const std::uint32_t a = (bits(ifx[c]) ^ bits(ifx[c - 1])) | (bits(ir1[c]) ^ bits(ir1[c - 1]))
            | (bits(ir2[c]) ^ bits(ir2[c - 1]));
        hydro[c] = h != 0;
        all[c] = (h | a) != 0;
    }
    const double tol = kSlabFractionTolerance;
#pragma GCC ivdep
    for (int c = 0; c < n; ++c)
        fluid2[c] = !(double(plainValue(f[c])) <= tol);
    std::int32_t h = 0, a = 0, k = 0;
    for (int c = 0; c < n; ++c) {
        h += hydro[c];
        a += all[c];
        k += fluid2[c];
        hydro[c] = h;
        all[c] = a;
        fluid2[c] = k;
    }
}

} // namespace tamrel::kernels::mixtal
