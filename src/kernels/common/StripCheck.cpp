// SPDX-License-Identifier: GPL-3.0-or-later
#include "kernels/common/StripCall.h"

namespace tamrel::kernels {

// Clang cannot build these as clones for several processors; it builds the
// baseline copy.
#if defined(__clang__)
#define TAMREL_CHECK_WIDEST
#else
#define TAMREL_CHECK_WIDEST gnu::target_clones("avx512f", "avx2", "default")
#endif

[[TAMREL_CHECK_WIDEST]] CallCheck checkStripWidest(const StripIO<float>& io, long margin)
{
    return checkStrip(io, margin);
}

[[TAMREL_CHECK_WIDEST]] CallCheck checkStripWidest(const StripIO<double>& io, long margin)
{
    return checkStrip(io, margin);
}

} // namespace tamrel::kernels
