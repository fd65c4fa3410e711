// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// "Orvane" (ORVANE64, double) and "Orvane32" (ORVANE32, float): the
// piecewise parabolic method of Colella & Woodward (1984, J. Comput. Phys.
// 54, 174) for a gamma-law gas, in its direct Eulerian single-stage form.
//
// Method: parabolic reconstruction of u, p (and of the passive VY and smoke)
// from fourth-order interface values (CW84 eq 1.6) and of the density
// through its entropy-wave part d(rho) - dp/c^2, which is limited on its own
// so that a contact and a rarefaction in one stencil do not spoil each other
// (the plateaus next to a contact stay flat from the start-up on);
// monotonicity constraints (eq 1.10), contact steepening of the entropy part
// where a contact is detected (eq 1.14-1.17 with the detection test of
// eq 3.2), flattening at strong shocks (appendix), characteristic tracing
// over the domain of dependence of each wave, one Riemann problem per
// interface, conservative update (done as increments of rho, u, p so that
// single precision never subtracts two total energies, the rounding of the
// new density stored as an acoustic, not an entropy, perturbation). Third
// order in space for smooth flow, second order in time (formally second
// order overall); shocks in one to two cells, contacts in about two. VY and
// the smoke are passive scalars: the energy is p/(g-1) + rho u^2/2, so a
// transverse shear neither heats nor cools the gas.
//
// Riemann solver: the two-shock approximation (CW84 sec 3; Colella & Glaz
// 1985), Newton-iterated three times from the acoustic guess, with linear
// interpolation through rarefaction fans (kernels/riemann/TwoShock.h). VY
// and the smoke are upwinded with the sign of the contact velocity of the
// interface solution.
//
// Constants passed by the caller:
//   Difcon  shock diffusion: the dissipative flux of CW84 eq 4.5,
//           F += K max(0, u_j - u_{j+1}) f (U_j - U_{j+1}), with K = Difcon/10
//           and f the flattening coefficient (so it acts at detected shocks
//           only). The default 0.3 (K = 0.03, a third of CW84's 0.1) damps
//           the post-shock noise of the near-vacuum collision (Test 4) while a
//           stationary contact born next to a strong shock (Test 5) stays
//           sharp; K = 0.1 doubles that contact's width. 0 turns it off.
//   Shkjmp  shock detection for flattening: a cell is flattened only where
//           |p_{j+1} - p_{j-1}| > Shkjmp min(p_{j+1}, p_{j-1}) and the flow
//           converges (CW84's epsilon, 0.33 there; default 0.2).
//   Wavhaf  weight of the flattening: the CW84 flattening coefficient
//           (eq A.1-A.2) is multiplied by Wavhaf and capped at 1. 1 is
//           CW84's strength, 0 turns flattening off.
//   KernelFloor  the smallest density and pressure used inside the kernel
//           (inputs, interface states, new pressure); at least
//           kSmallestKernelFloor (kernels/common/StripCall.h).
//   RhoFloor, PFloor, VXEpsilon are applied by the caller after the step
//           and are not used here.
//
// Strips: up to 100 cells (double) or 200 (float), B >= 4 ghost cells each
// side (the lab passes 6). The update is built for AVX-512, AVX2 and the
// baseline processor, each call running the widest the machine runs
// (common/VectorCopies.h); all three compute the same numbers bit for bit. Courant is raised to
// max (|u|+c) Dt/dx over cells 1..L, to at least 1 when a new density comes
// out non-positive (a smaller step cures that); the checks on a call and the
// faults are those of every kernel (kernels/common/StripCall.h). Counters
// grow by the operations executed, tallied per block (Ppm.cpp). The kernel
// keeps no state between calls; Work holds all scratch.

#include <concepts>

#include "kernels/KernelContract.h"
#include "kernels/StripArgs.h"
#include "kernels/common/OpCount.h"

namespace tamrel::kernels::ppm {

// Ghost cells the stencil reads beyond each end of a strip (the flattening's).
inline constexpr int kMinGhostCells = 4;

template <std::floating_point Real>
void orvane(const Real* X, const Real* Rho3, const Real* P3, const Real* VX3, const Real* VY3, const Real* VZ3,
    const Real* FSmoke, Real* RhoNew, Real* PNew, Real* VXNew, Real* VYNew, Real* Work, Real* FSmokeNew,
    const Real* Dt, Real* Courant, const Real* Gamma, const Real* RhoFloor, const Real* KernelFloor,
    const Real* PFloor, const Real* VXEpsilon, const Real* Difcon, const Real* Shkjmp, const Real* Wavhaf,
    const KLong* L, const KLong* B, KLong* Counters);

// The strip of a call run on the counting type (see StripEntry::count).
template <class Real> OpCount countStrip(const StripArgs<Real>& a);

} // namespace tamrel::kernels::ppm

// Entry points.
tamrel::kernels::OrvaneEntry<double> ORVANE64;
tamrel::kernels::OrvaneEntry<float> ORVANE32;
