// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The final check of the PPM strip: the largest Courant number of cells
// 1..L and whether every new value is finite and every new density positive.
// A non-positive density raises the Courant number to at least 1, so that the
// caller retries with a smaller step.
//
// Contract: reads sFlat and sCheck as the update left them.

#include <bit>
#include <type_traits>

#include "kernels/common/KernelMath.h"
#include "kernels/common/StripCall.h"
#include "kernels/ppm/PpmScratch.h"

namespace tamrel::kernels::ppm {

// The verdict on a strip's update.
template <class T> struct PpmVerdict {
    T courant; // largest Courant number of cells 1..L, at least 1 if not `positive`
    bool finite; // every new value and the Courant number finite
    bool positive; // every new density came out positive (else a smaller step cures it)
    int flat = 0; // cells traced from flat parabolas (uniform gas around them)
    int solved = 0; // interfaces the Riemann solver ran on (blocks of uniform ones it skipped)
    int expanded = 0; // interfaces the expansion flux was computed for
};

template <class T> PpmVerdict<T> ppmVerdict(const PpmScratch<T>& w, int L, int B)
{
    const T* __restrict cfl = w[sFlat];
    const T* __restrict check = w[sCheck];
    PpmVerdict<T> v { T(0), true, true };
    if constexpr (std::is_floating_point_v<T>) {
        // The same verdict in integer arithmetic, so that it vectorises. A
        // Courant number is +0 or positive, or NaN, which the largest passes
        // over; positive numbers order as their bits do.
        using Bits = FloatBits<T>;
        using Signed = std::make_signed_t<typename Bits::Word>;
        Signed top = 0;
        typename Bits::Word bad = 0, unsound = 0;
        for (int c = B; c < B + L; ++c) {
            const T x = cfl[c] >= T(0) ? cfl[c] : T(0);
            const auto bits = std::bit_cast<Signed>(x);
            top = bits > top ? bits : top;
            bad |= Bits::nonFinite(check[c]);
            unsound |= std::bit_cast<typename Bits::Word>(check[c]);
        }
        v.courant = std::bit_cast<T>(top);
        v.finite = bad == 0;
        // check is +0 for a sound cell: any other bits are a NaN or 1.
        v.positive = unsound == 0;
    } else {
        for (int c = B; c < B + L; ++c) {
            v.courant = kmax(v.courant, cfl[c]);
            v.finite = v.finite && kfinite(check[c]);
            v.positive = v.positive && check[c] == T(0);
        }
    }
    v.finite = v.finite && kfinite(v.courant);
    if (!v.positive)
        v.courant = kmax(v.courant, T(1));
    return v;
}

} // namespace tamrel::kernels::ppm
