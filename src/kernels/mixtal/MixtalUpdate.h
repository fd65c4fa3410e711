// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Step 6 of the two-fluid strip: the new state of cells 1..L. The conserved
// quantities take PPM's fluxes,
//   U' = U - (Dt/dx) (F_{c+1/2} - F_{c-1/2}),
// the pressure the theta of the cell's new fraction, p' = (E' - m' u'/2)/theta',
// and the fluids their landed volumes, moments and densities
// (MixtalLanding.h). The largest Courant number (|u| + c) Dt/dx of the cells
// and whether every new value is finite form the verdict.
//
// Contract: reads the scratch as steps 1-5 left it; writes the outputs of
// cells 1..L. Blocks of cells of one whole state with no fluid 2 around
// form one cell's new state and copy it.

#include <cstdint>

#include "kernels/mixtal/MixtalCells.h"
#include "kernels/mixtal/MixtalLanding.h"
#include "kernels/mixtal/MixtalScratch.h"

namespace tamrel::kernels::mixtal {

// Step 6: the new state of cells 1..L (c = B .. B+L-1). Each cell's
// Courant number goes to sFlat (free by now); the largest is found after
// the loop (the order of a largest value does not matter: kmax drops NaN).
// Long: one loop body over slots held as __restrict locals, which the vectoriser needs.
template <class T, class TallyT>
Verdict<T> updateCells(const MixtalIO& io, const SlotScratch<T>& w, const Closure<T>& cl, T floor, int L, int B,
    const CellRuns& runs, TallyT& tally)
{
    const T tol(kSlabFractionTolerance);
    const T* __restrict x = w[mX];
    const T* __restrict ma = w[mA];
    const T* __restrict mb = w[mB];
    const T* __restrict r_ = w[sRho];
    const T* __restrict u_ = w[sU];
    const T* __restrict v_ = w[sV];
    const T* __restrict e_ = w[sE];
    const T* __restrict dtdx = w[sDtdx];
    const T* __restrict cs = w[sCs];
    const T* __restrict fm = w[sFM];
    const T* __restrict fu = w[sFU];
    const T* __restrict fe = w[sFE];
    const T* __restrict fv = w[sFV];
    const T* __restrict f = w[mF];
    const float* __restrict r1 = io.rho1 + (1 - io.s.B);
    const float* __restrict r2 = io.rho2 + (1 - io.s.B);
    const T* __restrict m2 = w[mM2];
    T* __restrict cfl = w[sFlat];
    // The outputs indexed like the scratch (strip cell i = c - B + 1).
    const long shift = 1 - B;
    const StripIO<float>& s = io.s;
    float* __restrict oRho = s.rhoNew + shift;
    float* __restrict oP = s.pNew + shift;
    float* __restrict oU = s.vxNew + shift;
    float* __restrict oV = s.vyNew + shift;
    float* __restrict oSmoke = s.smokeNew + shift;
    float* __restrict oR1 = io.fluidNew[0] + shift;
    float* __restrict oR2 = io.fluidNew[1] + shift;
    float* __restrict oP1 = io.fluidNew[2] + shift;
    float* __restrict oP2 = io.fluidNew[3] + shift;
    float* __restrict oF = io.fluidNew[4] + shift;
    float* __restrict oFX = io.fluidNew[5] + shift;
    float* __restrict oFY = io.fluidNew[6] + shift;
    float* __restrict oFXX = io.fluidNew[7] + shift;
    float* __restrict oFXY = io.fluidNew[8] + shift;
    float* __restrict oFYY = io.fluidNew[9] + shift;
    LandingPaths landing;
    DensityPaths densities;
    std::int64_t fullCells = 0, notPositive = 0, notFinite = 0;
    auto update = [&](int c) {
        const T dx = x[c + 1] - x[c];
        const Moments<T> m = landedFluid<true>(x, ma, mb, c, dx, landing.pieces);
        const T fn = roundedFraction(m.vol, tol);

        const T kk = dtdx[c];
        const EulerFlux<T, 1> fl { fm[c - 1], fu[c - 1], fe[c - 1], { fv[c - 1] } };
        const EulerFlux<T, 1> fr { fm[c], fu[c], fe[c], { fv[c] } };
        const HydroCell<T> h
            = hydroUpdate(r_[c], u_[c], v_[c], e_[c], cellIncrements(fl, fr, kk), cl.th1 + cl.dth * fn, floor);
        notPositive += !h.positive;
        const T r2c(r2[c]);
        const T mass2 = fluid2Mass(f[c], r2c, dx, m2[c - 1], m2[c]);
        const FluidDensities<T> d = fluidDensities(fn, h.rho, mass2, dx, T(r1[c]), r2c, floor, tol, densities);

        const bool full = fn >= T(1);
        fullCells += full;
        const T m2Out = choose<T>(
            full, [] { return T(1) / T(12); }, [&] { return m.m2; });
        const float pn = out(h.p);
        oRho[c] = out(h.rho);
        oP[c] = pn;
        oU[c] = out(h.u);
        oV[c] = out(h.v);
        oSmoke[c] = out(fn);
        oF[c] = out(fn);
        oFX[c] = out(full ? T(0) : m.m1);
        oFY[c] = 0.0f;
        oFXX[c] = out(m2Out);
        oFXY[c] = 0.0f;
        oFYY[c] = out(fn / T(12));
        oR1[c] = out(d.rho1);
        oR2[c] = out(d.rho2);
        oP1[c] = pn;
        oP2[c] = pn;
        notFinite += !(kfinite(h.rho) & kfinite(h.u) & kfinite(h.v) & kfinite(h.p) & kfinite(d.rho1)
            & kfinite(d.rho2) & kfinite(fn));
        cfl[c] = cellCourant(T(0), u_[c], cs[c], kk);
    };
    // A block of uniform gas whose fluxes are one on both sides of every
    // cell: the increments are Dt/dx times +0, +0 for any finite Dt/dx
    // not negative, so the hydrodynamics give every cell the new state of
    // the first, whatever its width. So do the fluids where no cell holds
    // a fraction between 0 and 1 after the step: without fluid 2 in the
    // block and its neighbours none lands in it (its moments and new
    // fraction are +0); in a block of fluid 2 whose every new volume
    // rounds to 1, the moments are those of a full cell and the fluid
    // densities those of the cell before. Only the Courant number is
    // each cell's own.
    //
    // The fluxes through the interfaces of cells b0 .. b1-1 come from
    // cells b0-5 .. b1+4 (the traced states of their neighbours, three
    // cells each way, and the slabs moved by the contact velocities
    // either side); with those one state, only the theta of the gas
    // crossing may differ, where fluid 2 crosses (its fraction carries
    // the rounding of each cell's width): the energy fluxes are compared.
    auto oneHydroState = [&](int b0, int b1) { return runs.dtdxFit && runs.sameAll(b0 - 5, b1 + 4); };
    auto allFull = [&](int b0, int b1) {
        if (!onlyFluid2(f, b0 - 1, b1 + 1) || !oneValue(fe, b0 - 1, b1))
            return false;
        int partial = 0;
#pragma GCC ivdep
        for (int c = b0; c < b1; ++c) {
            const T dx = x[c + 1] - x[c];
            const Moments<T> m = landedFluid<false>(x, ma, mb, c, dx, landing.volumePieces);
            partial |= !(m.vol >= T(1) - tol);
        }
        landing.volumes += b1 - b0;
        return partial == 0;
    };
    auto oneState = [&](int b0, int b1) {
        return oneHydroState(b0, b1) && (runs.noFluid2(b0 - 1, b1 + 1) || allFull(b0, b1));
    };
    std::uint64_t updated = 0;
    int lastEmpty = -1; // the cell an empty block updated last
    for (int b0 = B; b0 < B + L; b0 += kBlock) {
        const int b1 = b0 + kBlock < B + L ? b0 + kBlock : B + L;
        if (oneState(b0, b1)) {
            // An empty block of the state the last one had gets its new
            // state as well (the state and the fluxes depend on the cells
            // alone there).
            int from = b0;
            if (lastEmpty >= 0 && runs.sameAll(lastEmpty, b0) && runs.noFluid2(b0, b0 + 1)) {
                from = lastEmpty;
            } else {
                update(b0);
                updated += 1;
                if (runs.noFluid2(b0, b0 + 1))
                    lastEmpty = b0;
            }
            for (float* o : { oRho, oP, oU, oV, oSmoke, oF, oFX, oFY, oFXX, oFXY, oFYY, oR1, oR2, oP1, oP2 }) {
                const float value = o[from];
                for (int c = b0; c < b1; ++c)
                    o[c] = value;
            }
#pragma GCC ivdep
            for (int c = from == b0 ? b0 + 1 : b0; c < b1; ++c)
                cfl[c] = cellCourant(T(0), u_[c], cs[c], dtdx[c]);
            continue;
        }
#pragma GCC ivdep
        for (int c = b0; c < b1; ++c)
            update(c);
        updated += static_cast<std::uint64_t>(b1 - b0);
    }
    const auto landed = updated + static_cast<std::uint64_t>(landing.volumes);
    tally.hit(Block::NeighbourScale, 2 * landed);
    tally.hit(Block::PieceBounds, 3 * landed);
    tally.hit(Block::PieceMoments, static_cast<std::uint64_t>(landing.pieces));
    tally.hit(Block::PieceVolume, static_cast<std::uint64_t>(landing.volumePieces));
    tally.hit(Block::FullVolumeTest, static_cast<std::uint64_t>(landing.volumes));
    tally.hit(Block::Rho2Mixed, static_cast<std::uint64_t>(densities.rho2Mixed));
    tally.hit(Block::FractionComplement, static_cast<std::uint64_t>(densities.complement));
    tally.hit(Block::Rho1Mixed, static_cast<std::uint64_t>(densities.rho1Mixed));
    tally.hit(Block::FluidOneAtFloor, static_cast<std::uint64_t>(densities.oneAtFloor));
    tally.hit(Block::FullCellMoment, static_cast<std::uint64_t>(fullCells));
    tally.hit(Block::UpdateCell, updated);
    tally.hit(Block::CopiedUpdate, static_cast<std::uint64_t>(L) - updated);
    T courant(largestOf(cfl + B, L));
    if (notPositive > 0) {
        tally.hit(Block::RaisedCourant);
        courant = kmax(courant, T(1));
    }
    const float largest = out(courant);
    return { largest, notFinite == 0 && kfinite(largest) };
}

} // namespace tamrel::kernels::mixtal
