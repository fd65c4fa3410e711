// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Slope limiters for piecewise-linear reconstruction (Toro ch. 13.8, 14.4):
// from the backward and forward differences a, b of a cell they give a
// slope that is zero at an extremum (a b <= 0), equals a when a = b (so
// linear data are reproduced) and keeps the reconstruction within the
// neighbours' range, which makes the scheme TVD.
//
// Branch-free and homogeneous of degree one (lim(s a, s b) = s lim(a, b) for
// s > 0), so they can be applied to differences scaled by the grid spacing.

#include "kernels/common/KernelMath.h"

namespace tamrel::kernels {

// Monotonised central limiter (van Leer 1977):
// minmod(2a, 2b, (a+b)/2).
template <class T> inline T mcSlope(T a, T b)
{
    const T c = T(0.5) * (a + b);
    const T m = kmin(T(2) * kmin(kabs(a), kabs(b)), kabs(c));
    return kselect(a * b > T(0), kselect(c > T(0), m, -m), T(0));
}

// Van Leer's harmonic limiter (van Leer 1974): 2ab/(a+b) for ab > 0.
template <class T> inline T vanLeerSlope(T a, T b)
{
    const T ab = a * b;
    const bool same = ab > T(0);
    return kselect(same, T(2) * ab / kselect(same, a + b, T(1)), T(0));
}

} // namespace tamrel::kernels
