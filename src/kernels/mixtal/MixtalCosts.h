// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The operation counts of the two-fluid strip: the cost of each block of its
// tally, measured once on the counting type, and a tally turned into
// operations.

#include "kernels/common/OpCount.h"
#include "kernels/mixtal/MixtalScratch.h"

namespace tamrel::kernels::mixtal {

// The operations a tally of the strip stands for.
OpCount tallied(const Tally& t);

} // namespace tamrel::kernels::mixtal
