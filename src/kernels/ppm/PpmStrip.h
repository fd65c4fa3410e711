// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The single-stage Eulerian piecewise parabolic method on one strip, written
// once over the number type T so that the same source serves double, float
// and an operation-counting type.
//
// Method (Colella & Woodward 1984, J. Comput. Phys. 54, 174; "CW84"):
//   1. limited slopes (eq 1.7-1.8) and fourth-order interface values (eq 1.6,
//      1.9) of u, p, vy and the smoke;
//   2. the density is reconstructed through its entropy-wave part, the
//      linearised characteristic variable d(rho) - dp/c^2 of the cell
//      (CW84 eq 3.5 with the Eulerian eigenvectors), which gets its own
//      slopes, interface values and monotonicity constraint; the density at
//      a face is that part plus the acoustic part (p_face - p)/c^2. A
//      contact and a rarefaction inside one stencil are thereby limited
//      separately: limiting rho and p each on its own mixes the two and
//      leaves entropy errors on the plateaus next to the contact, worst
//      while the waves leave the initial jump;
//   3. contact steepening (eq 1.14-1.17) of the entropy part in cells where
//      a contact is detected (eq 3.2: a density jump large against the
//      pressure jump);
//   4. flattening near strong shocks (appendix, eq A.1-A.3);
//   5. the monotonicity constraints (eq 1.10);
//   6. characteristic tracing: averages of the parabolas over the domain of
//      dependence of each wave (eq 1.12) projected on the characteristic
//      fields (sec 3, eq 3.5-3.7 in the Lagrangian variables 1/rho, u, p);
//   7. an approximate Riemann solver for the interface states: the two-shock
//      approximation of CW84 sec 3 / Colella & Glaz (1985), Newton-iterated a
//      fixed number of times, with the linear interpolation through
//      rarefaction fans of CW84 (kernels/riemann/TwoShock.h);
//   8. conservative update with the dissipative flux of CW84 eq 4.5 at
//      detected shocks (kernels/common/CellUpdate.h).
// VY and the smoke are passive scalars: their traced face values are
// upwinded with the sign of the contact velocity u* of the interface
// solution, and the transverse motion carries no energy of the gas (the
// energy is p/(g-1) + rho u^2/2), so a shear across a contact neither heats
// nor cools it: Test 2's density is Test 1's.
//
// Every inner loop is branch-free (min/max/select), over structure-of-arrays
// scratch, and marked free of loop-carried dependences (each iteration
// writes only element c of arrays it does not read), so that the compiler
// vectorises it for double and float. Being branch-free also makes the
// operation count per loop iteration a constant (see blockCosts in Ppm.cpp).
//
// Index convention of every step: c = 0 .. n-1 numbers the strip's cells
// from the first ghost cell (c = i + B - 1 for strip cell i), n = L + 2B.
// Face states are needed for cells 0 .. L+1 (c = B-1 .. B+L), fluxes at the
// L+1 interfaces 1/2 .. L+1/2; the widest stencil (flattening) reaches three
// cells further, so B must be at least 4.

#include <bit>

#include "kernels/ppm/Fluxes.h"
#include "kernels/ppm/InterfaceSolve.h"
#include "kernels/ppm/Ppm.h"
#include "kernels/ppm/PpmLoad.h"
#include "kernels/ppm/PpmScratch.h"
#include "kernels/ppm/Reconstruction.h"
#include "kernels/ppm/Tracing.h"
#include "kernels/ppm/Update.h"
#include "kernels/ppm/Verdict.h"

namespace tamrel::kernels::ppm {

// Everything before the update: steps 1-5 over the strip (step 0 first).
template <bool VarGamma, class T>
SkippedWork ppmInterfaceSolutions(
    const PpmScratch<T>& w, const PpmParams<T>& k, int L, int B, const StateRuns& runs = {})
{
    const int c0 = B - 1;
    const int c1 = B + L;
    SkippedWork done;
    if (k.shortcut && runs.known()) {
        // Only the cells the trace reconstructs read slopes and interface
        // values (the blocks of ppmTrace); the flattening coefficient of a
        // cell amid one state is +0 (no pressure jump marks a shock).
        int sloped = 0, interpolated = 0, flattened = 0, calls = 0;
        for (int b0 = c0; b0 <= c1; b0 += kRiemannBlock) {
            const int b1 = b0 + kRiemannBlock <= c1 + 1 ? b0 + kRiemannBlock : c1 + 1;
            if (runs.same(b0 - 3, b1 + 2))
                continue;
            ppmSlopes(w, b0, b1 - 1);
            ppmInterfaces(w, b0, b1 - 1);
            sloped += b1 - b0 + 2;
            interpolated += b1 - b0 + 1;
            calls += 1;
        }
        done.interpolationCalls = calls;
        T* __restrict ft = w[sFlat];
        for (int b0 = c0 - 1; b0 <= c1 + 1; b0 += kRiemannBlock) {
            const int b1 = b0 + kRiemannBlock <= c1 + 2 ? b0 + kRiemannBlock : c1 + 2;
            if (runs.same(b0 - 2, b1 + 1)) {
                for (int c = b0; c < b1; ++c)
                    ft[c] = T(0);
                continue;
            }
            ppmFlattening(w, k, b0 + 1, b1 - 2);
            flattened += b1 - b0;
        }
        done.unsloped = (c1 - c0 + 3) - sloped;
        done.uninterpolated = (c1 - c0 + 2) - interpolated;
        done.unflattened = (c1 - c0 + 3) - flattened;
    } else {
        ppmSlopes(w, c0, c1);
        ppmInterfaces(w, c0, c1);
        ppmFlattening(w, k, c0, c1);
    }
    ppmTrace<VarGamma>(w, k, c0, c1, done, runs);
    done.solved = ppmRiemann<VarGamma>(w, k, c0, c1, runs);
    return done;
}

// The whole one-gas strip update, steps 0 to 8. `w` must hold kSlotCount
// arrays of n + 1; the inputs have been checked.
template <class T>
PpmVerdict<T> ppmStrip(const PpmScratch<T>& w, const T* x, const T* rho, const T* p, const T* u, const T* v,
    const T* s, const PpmOutputs<T>& out, const PpmParams<T>& k, int L, int B)
{
    ppmLoad<false>(w, x, rho, p, u, v, s, k);
    const SkippedWork done = ppmInterfaceSolutions<false>(w, k, L, B);
    const int expanded = ppmFluxes<false, T>(w, k, nullptr, B - 1, B + L);
    ppmUpdate(w, out, k, L, B);
    PpmVerdict<T> verdict = ppmVerdict(w, L, B);
    verdict.flat = done.flat;
    verdict.solved = done.solved;
    verdict.expanded = expanded;
    return verdict;
}

} // namespace tamrel::kernels::ppm
