// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// "Mixtal32" (MIXTAL, float): two gamma-law fluids on the PPM hydrodynamics
// of "Orvane" (Colella & Woodward 1984; see kernels/ppm/Ppm.h for the
// method, its order, the two-shock Riemann solver and the meaning of Difcon,
// Shkjmp, Wavhaf and KernelFloor), with the volume fraction of fluid 2
// carried geometrically so that a material interface stays sharp.
//
// Mixture closure: pressure equilibrium. Fluid 2 fills the fraction f of a
// cell, the internal energy is rho e = p theta with
//     theta = (1 - f)/(Gamma1 - 1) + f/(Gamma2 - 1)
// (the mixture rule of Shyue 1998 / Abgrall 1996 that keeps pressure and
// velocity free of oscillations at a moving interface), so a cell's
// effective ratio of specific heats is 1 + 1/theta. For pure cells this is
// Gamma1 or Gamma2, as in the lab's time-step estimate
// g = ((Rho2 Gamma2 - Rho1 Gamma1) F + Rho1 Gamma1)/Rho; in mixed cells the
// two rules differ slightly (the estimate only sets the first step).
//
// Fraction transport (1-D moment-of-fluid): each cell's fluid 2 is one slab
// of width f dx whose centroid is FFracX/f cell widths from the cell centre
// (FFracX, FFracXX are the first and second moments of the fluid-2
// indicator in cell-width units about the centre: a full cell has 1, 0, 1/12),
// placed by kernels/common/FluidSlab.h.
// The slabs move with the velocity field that is linear in each cell between
// the contact velocities u* of its two interfaces; the new fraction and
// moments of a cell are the exact volume and moments of the moved slabs of
// it and its two neighbours that land in it. At uniform velocity this is an
// exact translation: the fraction stays in [0, 1], the fluid-2 volume is
// conserved and an interface is never smeared. The energy flux uses
// theta of the fluid that actually crosses each interface, and the new
// pressure theta of the new fraction, so pressure and velocity stay uniform
// across an advected interface. FFracY and FFracXY are 0 in 1-D; FFracYY is
// f/12 (a slab filling the cell across).
//
// Fluid densities: the fluid-2 mass crossing an interface is Rho2 of the
// upwind cell times the fluid-2 volume crossing; fluid 1 takes the rest of
// the PPM mass flux. Rho2 of a cell is its fluid-2 mass over its fluid-2
// volume, Rho1 follows from the mixture density, Rho = f Rho2 + (1-f) Rho1;
// in a cell without fluid k, Rhok keeps its value. P1 = P2 = P.
//
// Smoke: FSmokeNew is the new fraction. Gamma is not used (each fluid has
// its own); Cycle is not needed in 1-D. Strips up to 4096 cells, B >= 4.
// The body is written over its number type: double inside the entry point,
// Counted<double> to count. The Counters grow by a tally of the blocks that
// ran (the geometry's blocks depend on the data), equal to what a counting
// run of the strip executes. Each call allocates its own scratch; no state
// is kept between calls.

#include "kernels/KernelContract.h"
#include "kernels/StripArgs.h"
#include "kernels/common/OpCount.h"

namespace tamrel::kernels::mixtal {

// Ghost cells the stencil reads beyond each end of a strip (those of PPM).
inline constexpr int kGhostCells = 4;

// The strip of a call run on the counting type (see StripEntry::count).
OpCount countStrip(const StripArgs<float>& a);

} // namespace tamrel::kernels::mixtal

// Entry point.
tamrel::kernels::MixtalEntry MIXTAL;
