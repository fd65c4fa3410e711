// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The loops of a time step that move a strip's results into the grid: the
// check that they are finite, the accepted new state with its floors, and
// the plain copies of the fluid arrays. They are memory bound, so they are
// built for the widest vectors the processor has (the results are the same
// on every processor: conversions, comparisons and copies only).

#include <cstdint>

namespace tamrel {

// A nonzero word when any of v[0 .. n-1] is not finite.
std::uint64_t nonFinite(const double* v, long n);
std::uint64_t nonFinite(const float* v, long n);

// to[i] = (double)from[i], i = 0 .. n-1.
void widenCopy(double* to, const double* from, long n);
void widenCopy(double* to, const float* from, long n);

// The new state of n cells with the floors of the accepted step: density and
// pressure raised to their floors, velocities smaller than eps set to 0, the
// smoke as it is (0 when smokeNew is null). Every pointer is at the first of
// the n cells; the new values are of the scheme's precision.
template <class Real> struct AcceptedCells {
    double *rho, *p, *vx, *vy, *smoke;
    const Real *rhoNew, *pNew, *vxNew, *vyNew, *smokeNew;
    double rhoFloor, pFloor, eps;
};
void acceptCells(const AcceptedCells<double>& a, long n);
void acceptCells(const AcceptedCells<float>& a, long n);

} // namespace tamrel
