// SPDX-License-Identifier: GPL-3.0-or-later
// The strip of LENTOR32 shaped for the vector units: the same block functions
// as runStrip<float> (LentorKernel.h), the reference that also counts, called
// in the same order on the same values, so every cell gets the same bits.
//
// What differs is only the shape of the loops. Each loop reads and writes
// plain arrays declared not to overlap, so the compiler runs eight or sixteen
// cells through each instruction; the reductions over the strip (smallest
// pressure, largest Courant number, all results finite) are kept in one
// running value per vector lane and combined at the end, which gives the same
// minimum, maximum and conjunction as the one-by-one loop.

#include "common/VectorCopies.h"
#include "kernels/lentor/LentorKernel.h"

namespace tamrel::kernels::lentor {

namespace {

    // Lanes of the running minimum and maximum: a whole AVX-512 register.
    constexpr int kLanes = 16;

    // The pointers of each loop are parameters declared __restrict: GCC only
    // takes them for arrays that do not overlap there, and the loops need
    // more run-time overlap checks than it would add.
    using Out = float* __restrict;
    using In = const float* __restrict;

    void loadCells(long lo, long hi, In x, In rho, In p, In vx, In vy, In smoke, float dt, float floor, Out rhoC,
        Out uC, Out pC, Out phi0, Out phi1, Out dx, Out dtdx)
    {
        for (long i = lo; i <= hi; ++i) {
            const LoadedCell<float> w = loadCell(rho[i], p[i], x[i], x[i + 1], dt, floor, 0.0f);
            rhoC[i] = w.rho;
            pC[i] = w.p;
            dx[i] = w.dx;
            dtdx[i] = w.dtdx;
            uC[i] = vx[i];
            phi0[i] = vy[i];
            phi1[i] = smoke[i];
        }
    }

    // The smallest of p[lo..hi]: the one-by-one minimum from +infinity, lane
    // by lane. Pressures here are raised to the floor, so no NaN and no
    // signed zero can make the order matter.
    float smallest(In p, long lo, long hi)
    {
        const float start = std::numeric_limits<float>::infinity();
        float lane[kLanes];
        for (float& v : lane)
            v = start;
        long i = lo;
        for (; i + kLanes - 1 <= hi; i += kLanes)
            for (int j = 0; j < kLanes; ++j)
                lane[j] = kmin(lane[j], p[i + j]);
        float m = start;
        for (; i <= hi; ++i)
            m = kmin(m, p[i]);
        for (float v : lane)
            m = kmin(m, v);
        return m;
    }

    // Largest Courant number of cells 1..L, lane by lane from 0. kmax keeps its
    // running value on a tie or a NaN, so every lane and the one-by-one loop
    // end at the same largest value.
    float largestCourant(long L, In rho, In u, In p, In dtdx, const EosConstants<float>& e)
    {
        float lane[kLanes] = {};
        long i = 1;
        for (; i + kLanes - 1 <= L; i += kLanes)
            for (int j = 0; j < kLanes; ++j)
                lane[j] = cellCourant(lane[j], rho[i + j], u[i + j], p[i + j], dtdx[i + j], e);
        float m = 0;
        for (; i <= L; ++i)
            m = cellCourant(m, rho[i], u[i], p[i], dtdx[i], e);
        for (float v : lane)
            m = kmax(m, v);
        return m;
    }

    void reconstructAll(long lo, long hi, In rho, In u, In pr, In phi0, In phi1, In dx, In dtdx, float floor,
        float pRef, float pFloorRel, const EosConstants<float>& e, Out lRho, Out lU, Out lP, Out lPhi0, Out lPhi1,
        Out rRho, Out rU, Out rP, Out rPhi0, Out rPhi1)
    {
        for (long i = lo; i <= hi; ++i) {
            const Cell wm { rho[i - 1], u[i - 1], pr[i - 1], { phi0[i - 1], phi1[i - 1] } };
            const Cell w0 { rho[i], u[i], pr[i], { phi0[i], phi1[i] } };
            const Cell wp { rho[i + 1], u[i + 1], pr[i + 1], { phi0[i + 1], phi1[i + 1] } };
            const FacePair<float> f
                = reconstructCell(wm, w0, wp, dx[i - 1], dx[i], dx[i + 1], dtdx[i], floor, pRef, pFloorRel, e);
            lRho[i] = f.left.rho;
            lU[i] = f.left.u;
            lP[i] = f.left.p;
            lPhi0[i] = f.left.phi[0];
            lPhi1[i] = f.left.phi[1];
            rRho[i] = f.right.rho;
            rU[i] = f.right.u;
            rP[i] = f.right.p;
            rPhi0[i] = f.right.phi[0];
            rPhi1[i] = f.right.phi[1];
        }
    }

    // Interface i+1/2: the right face of cell i (r...) against the left face
    // of cell i+1 (l...).
    void fluxAll(long n, In lRho, In lU, In lP, In lPhi0, In lPhi1, In rRho, In rU, In rP, In rPhi0, In rPhi1,
        float pRef, const EosConstants<float>& e, Out fm, Out fu, Out fe, Out f0, Out f1)
    {
        for (long i = 0; i < n; ++i) {
            const Cell a { rRho[i], rU[i], rP[i], { rPhi0[i], rPhi1[i] } };
            const Cell b { lRho[i + 1], lU[i + 1], lP[i + 1], { lPhi0[i + 1], lPhi1[i + 1] } };
            const EulerFlux<float, kScalars> f = hllcFlux<float, kScalars>(a, b, pRef, e);
            fm[i] = f.mass;
            fu[i] = f.mom;
            fe[i] = f.energy;
            f0[i] = f.phi[0];
            f1[i] = f.phi[1];
        }
    }

    // Cells 1..L from the fluxes at i-1/2 and i+1/2; false if a result went
    // non-finite.
    bool updateAll(long L, In rho, In u, In p, In phi0, In phi1, In dtdx, In fm, In fu, In fe, In f0, In f1,
        float rhoFloor, float pFloor, const EosConstants<float>& e, Out rhoNew, Out pNew, Out vxNew, Out vyNew,
        Out smokeNew)
    {
        int bad = 0;
        for (long i = 1; i <= L; ++i) {
            const Cell w { rho[i], u[i], p[i], { phi0[i], phi1[i] } };
            const EulerFlux<float, kScalars> fl { fm[i - 1], fu[i - 1], fe[i - 1], { f0[i - 1], f1[i - 1] } };
            const EulerFlux<float, kScalars> fr { fm[i], fu[i], fe[i], { f0[i], f1[i] } };
            const UpdatedCell<float, kScalars> r
                = updateCell<float, kScalars>(w, fl, fr, dtdx[i], rhoFloor, pFloor, e);
            bad += !r.finite;
            rhoNew[i] = r.w.rho;
            pNew[i] = r.w.p;
            vxNew[i] = r.w.u;
            vyNew[i] = r.w.phi[0];
            smokeNew[i] = r.w.phi[1];
        }
        return bad == 0;
    }

    float stripWide(const StripIO<float>& io, float* work)
    {
        const long L = io.L;
        ScratchArena<float> arena(work);
        const Scratch<float> s = carveScratch(arena, L);
        const CallConstants<float> k = callSetup(io.gamma, io.kernelFloor);
        const EosConstants<float>& e = k.e;
        float* const* phi = s.phi;
        float* const* fl = s.face[0];
        float* const* fr = s.face[1];
        float* const* f = s.flux;

        loadCells(-1, L + 2, io.x, io.rho, io.p, io.vx, io.vy, io.smoke, io.dt, k.floor, s.rho, s.u, s.p, phi[0],
            phi[1], s.dx, s.dtdx);
        const float pRef = smallest(s.p, -1, L + 2);
        const float pFloorRel = relativeFloor(k.floor, pRef);
        for (long i = -1; i <= L + 2; ++i)
            s.pr[i] = relativePressure(s.p[i], pRef);
        const float courant = largestCourant(L, s.rho, s.u, s.p, s.dtdx, e);
        reconstructAll(0, L + 1, s.rho, s.u, s.pr, phi[0], phi[1], s.dx, s.dtdx, k.floor, pRef, pFloorRel, e,
            fl[0], fl[1], fl[2], fl[3], fl[4], fr[0], fr[1], fr[2], fr[3], fr[4]);
        fluxAll(L + 1, fl[0], fl[1], fl[2], fl[3], fl[4], fr[0], fr[1], fr[2], fr[3], fr[4], pRef, e, f[0], f[1],
            f[2], f[3], f[4]);
        const bool finite = updateAll(L, s.rho, s.u, s.p, phi[0], phi[1], s.dtdx, f[0], f[1], f[2], f[3], f[4],
            io.rhoFloor, io.pFloor, e, io.rhoNew, io.pNew, io.vxNew, io.vyNew, io.smokeNew);
        return stripCourant(courant, kfinite(courant) && finite);
    }

    float stripBodyWide(const StripIO<float>& io, float* work, Tally& tally)
    {
        tallyStrip(tally, io.L);
        return stripWide(io, work);
    }

} // namespace

// An AVX-512, an AVX2 and a baseline copy, each with the whole strip inlined
// (common/VectorCopies.h).
TAMREL_VECTOR_COPIES(
    float, runStripWidest, (const StripIO<float>& io, float* work, Tally& tally), (io, work, tally), stripBodyWide)

} // namespace tamrel::kernels::lentor
