// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The density's parabola of the PPM strip: its entropy-wave part and the
// contact steepening of that part.
//
// The density is reconstructed through the linearised characteristic
// variable of the entropy wave, d(rho) - dp/c^2 of the cell (CW84 eq 3.5 with
// the Eulerian eigenvectors): its own slopes, interface values and
// monotonicity constraint. A contact and a rarefaction in one stencil are
// thereby limited separately; the density at a face is that part plus the
// acoustic part (p_face - p)/c^2.
//
// Contact steepening (CW84 eq 1.14-1.17) replaces the edge values by those of
// the limited linear profile, weighted by
//   eta = max(0, min(1, eta1 (eta~ - eta2))),
//   eta~ = -(d2rho_{c+1} - d2rho_{c-1}) dx^2 / (6 (rho_{c+1} - rho_{c-1})),
// where a contact is detected (eq 3.2: a density jump large against the
// pressure jump, g K0 |drho| min p >= |dp| min rho, and the second
// differences of opposite sign).
//
// Contract: reads r and p of cells c-2 .. c+2; branch-free.

#include "kernels/common/KernelMath.h"
#include "kernels/common/SlopeLimiters.h"
#include "kernels/ppm/PpmScratch.h"

namespace tamrel::kernels::ppm {

// The edge values, relative to the cell mean, of the entropy part of the
// density of cell c (the left eigenvector of the cell: d(rho) - dp/c^2, with
// ic2 = 1/c^2): limited slopes in cells c-1 .. c+1 from the differences at the
// faces c-3/2 .. c+3/2, then contact steepening (CW84 eq 1.14-1.17) where the
// density shows a contact. sixth is 1/6.
template <class T> inline void entropyEdges(const T* r, const T* p, int c, T ic2, T g, T sixth, T& zL, T& zR)
{
    const T rc = r[c], pc = p[c];
    const T e0 = (r[c - 1] - r[c - 2]) - (p[c - 1] - p[c - 2]) * ic2;
    const T e1 = (rc - r[c - 1]) - (pc - p[c - 1]) * ic2;
    const T e2 = (r[c + 1] - rc) - (p[c + 1] - pc) * ic2;
    const T e3 = (r[c + 2] - r[c + 1]) - (p[c + 2] - p[c + 1]) * ic2;
    const T dm = mcSlope(e0, e1);
    const T d0 = mcSlope(e1, e2);
    const T dp = mcSlope(e2, e3);
    zL = T(-0.5) * e1 - sixth * (d0 - dm);
    zR = T(0.5) * e2 - sixth * (dp - d0);

    // Contact steepening, detected on the density (eq 3.2).
    const T rm = r[c - 1], rp1 = r[c + 1];
    const T d2m = (rc - rm) - (rm - r[c - 2]);
    const T d2p = (r[c + 2] - rp1) - (rp1 - rc);
    const T drho = rp1 - rm;
    const T rmin = kmin(rm, rp1);
    const T pmin = kmin(p[c - 1], p[c + 1]);
    const T adrho = kabs(drho);
    const bool jump = adrho > T(Cw84::kSteepEps) * rmin;
    const bool contact = g * T(Cw84::kSteepK0) * adrho * pmin >= kabs(p[c + 1] - p[c - 1]) * rmin;
    const bool curvature = d2p * d2m < T(0);
    const T etaTilde = (d2m - d2p) * sixth / kselect(jump, drho, T(1));
    const T eta = kmax(T(0), kmin(T(1), T(Cw84::kSteepEta1) * (etaTilde - T(Cw84::kSteepEta2))));
    const T etaOn = kselect(jump & contact & curvature, eta, T(0));
    zL = zL + etaOn * ((T(0.5) * dm - e1) - zL);
    zR = zR + etaOn * ((e2 - T(0.5) * dp) - zR);
}

} // namespace tamrel::kernels::ppm
