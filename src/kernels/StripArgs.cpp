// SPDX-License-Identifier: GPL-3.0-or-later
#include "kernels/StripArgs.h"

#include "common/VectorCopies.h"

namespace tamrel::kernels {

namespace {

    void narrowLoop(float* __restrict dst, const double* __restrict src, long n)
    {
        for (long i = 0; i < n; ++i)
            dst[i] = static_cast<float>(src[i]);
    }

} // namespace

// Built for the widest vectors of the processor (common/VectorCopies.h).
TAMREL_VECTOR_COPIES(void, narrowInto, (float* dst, const double* src, long n), (dst, src, n), narrowLoop)

} // namespace tamrel::kernels
