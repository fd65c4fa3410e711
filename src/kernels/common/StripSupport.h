#pragma once
// Bookkeeping shared by the strip kernels: the checks on the call's
// arguments, the Courant number handed back across strips, and scratch.

#include <cmath>
#include <cstddef>
#include <limits>
#include <vector>

namespace tamrel::kernels {

// The arrays and constants of one strip call, with the array pointers moved
// so that index i is strip cell i (x[i] is the left edge of cell i): the
// kernel bodies index cells 1..L and their neighbours directly.
template <class Real> struct StripIO {
    const Real *x = nullptr, *rho = nullptr, *p = nullptr, *vx = nullptr, *vy = nullptr, *smoke = nullptr;
    Real *rhoNew = nullptr, *pNew = nullptr, *vxNew = nullptr, *vyNew = nullptr, *smokeNew = nullptr;
    Real dt = 0, gamma = 0, rhoFloor = 0, kernelFloor = 0, pFloor = 0;
    long L = 0, B = 0;

    // Pointer to strip cell 1-B of an argument array -> pointer to cell 0.
    template <class P> static P* atCellZero(P* first, long B) { return first + (B - 1); }
};

// Raises *courant to local. NaN (a fault) is sticky: once a strip reported
// it, the step stays faulted whatever later strips find.
template <class Real> inline void raiseCourant(Real* courant, Real local)
{
    if (std::isnan(*courant))
        return;
    if (std::isnan(local) || local > *courant)
        *courant = local;
}

template <class Real> inline Real faultCourant()
{
    return std::numeric_limits<Real>::quiet_NaN();
}

// True when every value of v[lo..hi] is finite.
// The call's scalars make sense: enough ghost cells for the stencil, a finite
// non-negative time step, gamma above 1 and finite floors.
inline bool stripScalarsValid(long ghosts, long neededGhosts, float dt, float gamma, float rhoFloor, float pFloor,
    float kernelFloor)
{
    return ghosts >= neededGhosts && std::isfinite(dt) && dt >= 0 && std::isfinite(gamma) && gamma > 1
        && std::isfinite(rhoFloor) && std::isfinite(pFloor) && std::isfinite(kernelFloor);
}

template <class Real> inline bool allFinite(const Real* v, long lo, long hi)
{
    bool ok = true;
    for (long i = lo; i <= hi; ++i)
        ok &= std::isfinite(v[i]);
    return ok;
}

// Scratch for kernel bodies whose number type is not the caller's Real (the
// counting runs): one buffer per thread, grown on demand and reused.
template <class T> inline T* threadScratch(std::size_t n)
{
    thread_local std::vector<T> buffer;
    if (buffer.size() < n)
        buffer.resize(n);
    return buffer.data();
}

} // namespace tamrel::kernels
