// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Step 3 of the PPM strip: the flattening coefficient near strong shocks
// (CW84 appendix, eq A.1-A.2),
//   f~_c = max(0, min(1, (dp1/dp2 - omega1) omega2)),
//   dp1 = p_{c+1} - p_{c-1},  dp2 = p_{c+2} - p_{c-2},
// nonzero only where |dp1| > Shkjmp min(p_{c+1}, p_{c-1}) and u_{c+1} < u_{c-1}
// (a shock compresses the gas), then scaled by Wavhaf and capped at 1. The
// trace applies max(f~_c, f~ of the neighbour on the low-pressure side)
// (eq A.3), pulling each parabola towards its mean.
//
// Contract: reads sP and sU of cells c0-3 .. c1+3, writes sFlat of
// c0-1 .. c1+1; branch-free.

#include "kernels/common/KernelMath.h"
#include "kernels/ppm/PpmScratch.h"

namespace tamrel::kernels::ppm {

// Step 3. Unlimited flattening coefficient (CW84 eq A.1-A.2), c0-1 .. c1+1:
// nonzero only where the pressure jump across the cell exceeds Shkjmp times
// the smaller pressure and the flow converges; Wavhaf scales it.
template <class T> void ppmFlattening(const PpmScratch<T>& w, const PpmParams<T>& k, int c0, int c1)
{
    const T* __restrict p = w[sP];
    const T* __restrict u = w[sU];
    T* __restrict f = w[sFlat];
#pragma GCC ivdep
    for (int c = c0 - 1; c <= c1 + 1; ++c) {
        const T dp1 = p[c + 1] - p[c - 1];
        const T dp2 = p[c + 2] - p[c - 2];
        const bool shock = (kabs(dp1) > k.shkjmp * kmin(p[c + 1], p[c - 1])) & (u[c + 1] < u[c - 1]);
        const T ratio = dp1 / kselect(dp2 != T(0), dp2, T(1));
        const T ft = kmax(T(0), kmin(T(1), (ratio - T(Cw84::kFlatOmega1)) * T(Cw84::kFlatOmega2)));
        f[c] = kselect(shock, kmin(T(1), k.wavhaf * ft), T(0));
    }
}

} // namespace tamrel::kernels::ppm
