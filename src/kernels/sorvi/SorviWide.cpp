// SPDX-License-Identifier: GPL-3.0-or-later
// The strip of SORVI shaped for the vector units: the same block functions
// as runStrip<float> (SorviKernel.h), the reference that also counts, called
// on the same values, so every cell gets the same bits.
//
// The loops over cells read and write plain arrays declared not to overlap,
// so the compiler runs eight or sixteen cells through each instruction. The
// exact Riemann solver branches and iterates and stays one interface at a
// time: every interface first gets the flux of its left state, which is
// godunovState's answer wherever both sides are equal (most of a grid), on
// whole vectors; the solver then runs at the interfaces between unequal
// states only and overwrites theirs. The largest Courant number is kept per lane
// and combined at the end: the same maximum as the one-by-one loop.

#include "common/VectorCopies.h"
#include "kernels/sorvi/SorviKernel.h"

namespace tamrel::kernels::sorvi {

namespace {

    // Lanes of the running maximum: a whole AVX-512 register.
    constexpr int kLanes = 16;

    // The pointers of each loop are parameters declared __restrict: GCC only
    // takes them for arrays that do not overlap there, and the loops need
    // more run-time overlap checks than it would add.
    using Out = float* __restrict;
    using In = const float* __restrict;

    void loadCells(long lo, long hi, In x, In rho, In p, In vx, In vy, float dt, float floor,
        const riemann::GasConstants<float>& g, Out rhoC, Out uC, Out pC, Out cC, Out vyC, Out dtdx)
    {
        for (long i = lo; i <= hi; ++i) {
            const LoadedCell<float> w = loadCell(rho[i], p[i], x[i], x[i + 1], dt, floor, g);
            rhoC[i] = w.rho;
            pC[i] = w.p;
            cC[i] = w.c;
            dtdx[i] = w.dtdx;
            uC[i] = vx[i];
            vyC[i] = vy[i];
        }
    }

    // Largest Courant number of cells 1..L, lane by lane from 0. kmax keeps its
    // running value on a tie or a NaN, so every lane and the one-by-one loop
    // end at the same largest value.
    float largestCourant(long L, In u, In c, In dtdx)
    {
        float lane[kLanes] = {};
        long i = 1;
        for (; i + kLanes - 1 <= L; i += kLanes)
            for (int j = 0; j < kLanes; ++j)
                lane[j] = cellCourant(lane[j], u[i + j], c[i + j], dtdx[i + j]);
        float m = 0;
        for (; i <= L; ++i)
            m = cellCourant(m, u[i], c[i], dtdx[i]);
        for (float v : lane)
            m = kmax(m, v);
        return m;
    }

    // Flux at interfaces 0..n-1 (i for i+1/2) as godunovState gives it between
    // equal states: the left state, on the side of the contact its velocity
    // picks.
    void uniformFluxes(
        long n, In rho, In u, In p, In vy, const EosConstants<float>& e, Out fm, Out fu, Out fe, Out fv)
    {
        for (long i = 0; i < n; ++i) {
            const riemann::SampledState<float> s { { rho[i], u[i], p[i] }, 0.0f <= u[i] };
            const EulerFlux<float, 1> f = interfaceFlux(s, vy[i], vy[i + 1], e);
            fm[i] = f.mass;
            fu[i] = f.mom;
            fe[i] = f.energy;
            fv[i] = f.phi[0];
        }
    }

    // Cells 1..L from the fluxes at i-1/2 and i+1/2; false if a result went
    // non-finite.
    bool updateAll(long L, In rho, In u, In p, In vy, In dtdx, In fm, In fu, In fe, In fv, float rhoFloor,
        float pFloor, const EosConstants<float>& e, Out rhoNew, Out pNew, Out vxNew, Out vyNew)
    {
        int bad = 0;
        for (long i = 1; i <= L; ++i) {
            const PrimitiveCell<float, 1> w { rho[i], u[i], p[i], { vy[i] } };
            const EulerFlux<float, 1> fl { fm[i - 1], fu[i - 1], fe[i - 1], { fv[i - 1] } };
            const EulerFlux<float, 1> fr { fm[i], fu[i], fe[i], { fv[i] } };
            const UpdatedCell<float, 1> r = updateCell<float, 1>(w, fl, fr, dtdx[i], rhoFloor, pFloor, e);
            bad += !r.finite;
            rhoNew[i] = r.w.rho;
            pNew[i] = r.w.p;
            vxNew[i] = r.w.u;
            vyNew[i] = r.w.phi[0];
        }
        return bad == 0;
    }

    float stripBodyWide(const StripIO<float>& io, float* work, Tally& tally)
    {
        const long L = io.L;
        ScratchArena<float> arena(work);
        const Scratch<float> s = carveScratch(arena, L);
        tally.hit(Block::CallSetup);
        const CallConstants<float> k = callSetup(io.gamma, io.kernelFloor);
        const riemann::SolverLimits<float> lim = solverLimits<float>();

        loadCells(
            0, L + 1, io.x, io.rho, io.p, io.vx, io.vy, io.dt, k.floor, k.g, s.rho, s.u, s.p, s.c, s.vy, s.dtdx);
        tally.hit(Block::LoadCell, static_cast<std::uint64_t>(L + 2));
        const float courant = largestCourant(L, s.u, s.c, s.dtdx);
        tally.hit(Block::CellCourant, static_cast<std::uint64_t>(L));

        uniformFluxes(L + 1, s.rho, s.u, s.p, s.vy, k.e, s.fm, s.fu, s.fe, s.fv);
        for (long i = 0; i <= L; ++i) {
            if (s.rho[i] == s.rho[i + 1] && s.u[i] == s.u[i + 1] && s.p[i] == s.p[i + 1])
                continue;
            const riemann::GasState<float> left { s.rho[i], s.u[i], s.p[i], s.c[i] },
                right { s.rho[i + 1], s.u[i + 1], s.p[i + 1], s.c[i + 1] };
            const riemann::SampledState<float> w = godunovState(left, right, k.g, lim, tally);
            const EulerFlux<float, 1> f = interfaceFlux(w, s.vy[i], s.vy[i + 1], k.e);
            s.fm[i] = f.mass;
            s.fu[i] = f.mom;
            s.fe[i] = f.energy;
            s.fv[i] = f.phi[0];
        }
        tally.hit(Block::InterfaceFlux, static_cast<std::uint64_t>(L + 1));

        const bool finite = updateAll(L, s.rho, s.u, s.p, s.vy, s.dtdx, s.fm, s.fu, s.fe, s.fv, io.rhoFloor,
            io.pFloor, k.e, io.rhoNew, io.pNew, io.vxNew, io.vyNew);
        tally.hit(Block::UpdateCell, static_cast<std::uint64_t>(L));
        return stripCourant(courant, kfinite(courant) && finite);
    }

} // namespace

// An AVX-512, an AVX2 and a baseline copy, each with the whole strip but the
// Riemann solver inlined
// (common/VectorCopies.h).
TAMREL_VECTOR_COPIES(
    float, runStripWidest, (const StripIO<float>& io, float* work, Tally& tally), (io, work, tally), stripBodyWide)

} // namespace tamrel::kernels::sorvi
