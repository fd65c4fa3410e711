// SPDX-License-Identifier: GPL-3.0-or-later
#include "kernels/StripArgs.h"

namespace tamrel::kernels {

// Clang cannot build this as clones for several processors; it builds the
// baseline copy.
#if defined(__clang__)
#define TAMREL_NARROW_WIDEST
#else
#define TAMREL_NARROW_WIDEST gnu::target_clones("avx512f", "avx2", "default")
#endif

[[TAMREL_NARROW_WIDEST]] void narrowInto(float* __restrict dst, const double* __restrict src, long n)
{
    for (long i = 0; i < n; ++i)
        dst[i] = static_cast<float>(src[i]);
}

} // namespace tamrel::kernels
