// QUELMAR1D: the fluid-2 fraction of each cell sampled on a equal sub-cells.
// A cell's fluid 2 is taken as one slab of width f (the fraction) whose
// centroid sits FFracX / f cell widths from the cell centre (FFracX being
// the first moment in cell-width units, as the two-fluid kernel keeps it),
// kept inside the cell; each sub-cell reports the part of it the slab
// covers. So a full cell gives 1s, an empty one 0s, a half cell with its
// moment on the right 0s then 1s, and the a samples of a cell average to f.
// Non-finite inputs count as an empty cell; N or a below 1 writes nothing.

#include <algorithm>
#include <cmath>

#include "kernels/SchemeTable.h"

void QUELMAR1D(const float* S1, const float* S2, const float* /*S3*/, float* Q, const float* Tolerance,
    const tamrel::kernels::KLong* N, const tamrel::kernels::KLong* B, const tamrel::kernels::KLong* A)
{
    const long n = *N, b = *B, a = *A;
    if (n < 1 || a < 1 || b < 0)
        return;
    const double tol = std::isfinite(*Tolerance) ? std::max(0.0, double(*Tolerance)) : 0.0;
    for (long i = 1; i <= n; ++i) {
        const long e = i + b - 1;
        double f = std::isfinite(S1[e]) ? std::clamp(double(S1[e]), 0.0, 1.0) : 0.0;
        double lo = 0.5, hi = 0.5; // the slab, in cell widths from the left edge
        if (f >= 1.0 - tol) {
            lo = 0.0;
            hi = 1.0;
        } else if (f > tol) {
            const double h = 0.5 * f;
            const double m = std::isfinite(S2[e]) ? double(S2[e]) / f : 0.0;
            const double xi = std::clamp(m, h - 0.5, 0.5 - h);
            lo = 0.5 + xi - h;
            hi = 0.5 + xi + h;
        }
        for (long k = 0; k < a; ++k) {
            const double s0 = double(k) / a, s1 = double(k + 1) / a;
            const double cover = std::max(0.0, std::min(hi, s1) - std::max(lo, s0)) * a;
            Q[(i - 1) * a + k] = static_cast<float>(std::clamp(cover, 0.0, 1.0));
        }
    }
}
