// SPDX-License-Identifier: GPL-3.0-or-later
// QUELMAR1D: the fluid-2 fraction of each cell sampled on a equal sub-cells.
// A cell's fluid 2 is the slab the two-fluid kernel moves, placed from the
// fraction and the first moment by the kernel's own function
// (kernels/common/FluidSlab.h), so the plot shows that slab and no other;
// each sub-cell reports the part of it the slab covers. So a full cell gives
// 1s, an empty one 0s, a half cell with its moment on the right 0s then 1s,
// and the a samples of a cell average to f. Fractions are clamped to [0, 1];
// a non-finite fraction counts as an empty cell, a non-finite moment as a
// centred slab. The slab's tolerances are the kernel's: Tolerance is not
// used. N or a below 1 writes nothing.

#include "kernels/subcell/Quelmar.h"

#include <algorithm>
#include <cmath>

#include "kernels/common/FluidSlab.h"

void QUELMAR1D(const float* S1, const float* S2, const float* /*S3*/, float* Q, const float* /*Tolerance*/,
    const tamrel::kernels::KLong* N, const tamrel::kernels::KLong* B, const tamrel::kernels::KLong* A)
{
    const long n = *N, b = *B, a = *A;
    if (n < 1 || a < 1 || b < 0)
        return;
    for (long i = 1; i <= n; ++i) {
        const long e = i + b - 1;
        const double f = std::isfinite(S1[e]) ? std::clamp(double(S1[e]), 0.0, 1.0) : 0.0;
        const double fx = std::isfinite(S2[e]) ? double(S2[e]) : 0.0;
        const tamrel::kernels::Slab<double> slab = tamrel::kernels::placeSlab(f, fx);
        for (long k = 0; k < a; ++k) {
            const double s0 = double(k) / a, s1 = double(k + 1) / a;
            const double cover = std::max(0.0, std::min(slab.b, s1) - std::max(slab.a, s0)) * a;
            Q[(i - 1) * a + k] = static_cast<float>(std::clamp(cover, 0.0, 1.0));
        }
    }
}
