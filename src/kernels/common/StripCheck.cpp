// SPDX-License-Identifier: GPL-3.0-or-later
#include "kernels/common/StripCall.h"

#include "common/VectorCopies.h"

namespace tamrel::kernels {

// Built for the widest vectors of the processor (common/VectorCopies.h).
TAMREL_VECTOR_COPIES(
    CallCheck, checkStripWidest, (const StripIO<float>& io, long margin), (io, margin), checkStrip)
TAMREL_VECTOR_COPIES(
    CallCheck, checkStripWidest, (const StripIO<double>& io, long margin), (io, margin), checkStrip)

} // namespace tamrel::kernels
