// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// How often each branch-free block of a kernel ran during one call. The
// kernel multiplies the hits by the blocks' costs (measured once with the
// counting type) to report its operations: a few integer increments per
// code path instead of a count per operation.

#include <array>
#include <cstdint>

#include "kernels/common/OpCount.h"

namespace tamrel::kernels {

template <int N> struct BlockTally {
    std::array<std::uint64_t, N> hits {};

    template <class Block> void hit(Block b, std::uint64_t n = 1) { hits[static_cast<int>(b)] += n; }

    OpCount ops(const std::array<OpCount, N>& costs) const
    {
        OpCount total;
        for (int k = 0; k < N; ++k)
            total += costs[k] * hits[k];
        return total;
    }
};

} // namespace tamrel::kernels
