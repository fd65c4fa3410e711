#pragma once
// The loops of a time step that move whole grids around the kernel: the
// single-precision copies a 32-bit scheme reads, the results copied back from
// each strip, and the accepted new state with its floors. They are memory
// bound, so they are built for the widest vectors the processor has (the
// results are the same on every processor: conversions, comparisons and
// copies only).

#include <cstdint>

namespace tamrel {

// dst[i] = (float)src[i], i = 0 .. n-1.
void narrowCopy(float* dst, const double* src, long n);

// to[i] = from[i] for i = 1 .. len, and a nonzero word when any of them is not
// finite.
std::uint64_t copyBack(const double* from, double* to, long len);
std::uint64_t copyBack(const float* from, double* to, long len);

// The new state of cells 1..n with the floors of the accepted step: density
// and pressure raised to their floors, velocities smaller than eps set to 0.
struct AcceptedCells {
    double *rho, *p, *vx, *vy, *smoke;
    const double *rhoNew, *pNew, *vxNew, *vyNew, *smokeNew;
    double rhoFloor, pFloor, eps;
};
void acceptCells(const AcceptedCells& a, long n);

} // namespace tamrel
