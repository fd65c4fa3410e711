#include "run/GridCopies.h"

#include <cmath>

#include "kernels/common/StripCall.h"

namespace tamrel {

// Clang cannot build these as clones for several processors; it builds the
// baseline copy.
#if defined(__clang__)
#define TAMREL_WIDEST
#else
#define TAMREL_WIDEST gnu::target_clones("avx512f", "avx2", "default")
#endif

namespace {

    template <class Real> std::uint64_t copyBackOf(const Real* __restrict from, double* __restrict to, long len)
    {
        std::uint64_t bad = 0;
        for (long i = 1; i <= len; ++i) {
            const double v = static_cast<double>(from[i]);
            to[i] = v;
            bad |= kernels::FloatBits<double>::nonFinite(v);
        }
        return bad;
    }

} // namespace

[[TAMREL_WIDEST]] void narrowCopy(float* __restrict dst, const double* __restrict src, long n)
{
    for (long i = 0; i < n; ++i)
        dst[i] = static_cast<float>(src[i]);
}

[[TAMREL_WIDEST]] std::uint64_t copyBack(const double* from, double* to, long len)
{
    return copyBackOf(from, to, len);
}

[[TAMREL_WIDEST]] std::uint64_t copyBack(const float* from, double* to, long len)
{
    return copyBackOf(from, to, len);
}

[[TAMREL_WIDEST]] void acceptCells(const AcceptedCells& a, long n)
{
    double* __restrict rho = a.rho;
    double* __restrict p = a.p;
    double* __restrict vx = a.vx;
    double* __restrict vy = a.vy;
    double* __restrict smoke = a.smoke;
    const double* __restrict rhoNew = a.rhoNew;
    const double* __restrict pNew = a.pNew;
    const double* __restrict vxNew = a.vxNew;
    const double* __restrict vyNew = a.vyNew;
    const double* __restrict smokeNew = a.smokeNew;
    const double rhoFloor = a.rhoFloor, pFloor = a.pFloor, eps = a.eps;
    // The arrays are distinct (GCC does not take __restrict on locals as a
    // promise, and would otherwise test every pair at run time).
#pragma GCC ivdep
    for (long i = 1; i <= n; ++i) {
        const double r = rhoNew[i], q = pNew[i], u = vxNew[i], v = vyNew[i];
        rho[i] = r < rhoFloor ? rhoFloor : r;
        p[i] = q < pFloor ? pFloor : q;
        vx[i] = std::fabs(u) < eps ? 0.0 : u;
        vy[i] = std::fabs(v) < eps ? 0.0 : v;
        smoke[i] = smokeNew[i];
    }
}

} // namespace tamrel
