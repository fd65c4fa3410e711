// SPDX-License-Identifier: GPL-3.0-or-later
#include "run/GridCopies.h"

#include <cmath>

#include "common/VectorCopies.h"
#include "kernels/common/StripCall.h"

namespace tamrel {

namespace {

    template <class Real> std::uint64_t nonFiniteOf(const Real* __restrict v, long n)
    {
        typename kernels::FloatBits<Real>::Word bad = 0;
        for (long i = 0; i < n; ++i)
            bad |= kernels::FloatBits<Real>::nonFinite(v[i]);
        return bad;
    }

    template <class Real> void widenCopyOf(double* __restrict to, const Real* __restrict from, long n)
    {
        for (long i = 0; i < n; ++i)
            to[i] = static_cast<double>(from[i]);
    }

    template <class Real> inline void acceptCellsOf(const AcceptedCells<Real>& a, long n)
    {
        double* __restrict rho = a.rho;
        double* __restrict p = a.p;
        double* __restrict vx = a.vx;
        double* __restrict vy = a.vy;
        double* __restrict smoke = a.smoke;
        const Real* __restrict rhoNew = a.rhoNew;
        const Real* __restrict pNew = a.pNew;
        const Real* __restrict vxNew = a.vxNew;
        const Real* __restrict vyNew = a.vyNew;
        const double rhoFloor = a.rhoFloor, pFloor = a.pFloor, eps = a.eps;
        // The arrays are distinct (GCC does not take __restrict on locals as a
        // promise, and would otherwise test every pair at run time).
#pragma GCC ivdep
        for (long i = 0; i < n; ++i) {
            const double r = rhoNew[i], q = pNew[i], u = vxNew[i], v = vyNew[i];
            rho[i] = r < rhoFloor ? rhoFloor : r;
            p[i] = q < pFloor ? pFloor : q;
            vx[i] = std::fabs(u) < eps ? 0.0 : u;
            vy[i] = std::fabs(v) < eps ? 0.0 : v;
        }
        if (a.smokeNew != nullptr)
            widenCopyOf(smoke, a.smokeNew, n);
        else
            for (long i = 0; i < n; ++i)
                smoke[i] = 0.0;
    }

} // namespace

// Each built for the widest vectors of the processor (common/VectorCopies.h).
TAMREL_VECTOR_COPIES(std::uint64_t, nonFinite, (const double* v, long n), (v, n), nonFiniteOf)
TAMREL_VECTOR_COPIES(std::uint64_t, nonFinite, (const float* v, long n), (v, n), nonFiniteOf)
TAMREL_VECTOR_COPIES(void, widenCopy, (double* to, const double* from, long n), (to, from, n), widenCopyOf)
TAMREL_VECTOR_COPIES(void, widenCopy, (double* to, const float* from, long n), (to, from, n), widenCopyOf)
TAMREL_VECTOR_COPIES(void, acceptCells, (const AcceptedCells<double>& a, long n), (a, n), acceptCellsOf)
TAMREL_VECTOR_COPIES(void, acceptCells, (const AcceptedCells<float>& a, long n), (a, n), acceptCellsOf)

} // namespace tamrel
