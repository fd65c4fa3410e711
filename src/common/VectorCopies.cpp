// SPDX-License-Identifier: GPL-3.0-or-later
#include "common/VectorCopies.h"

#include <atomic>

namespace tamrel {

namespace {

    VectorCopy widestCopy()
    {
#if defined(__x86_64__) && !defined(__clang__)
        __builtin_cpu_init();
        if (__builtin_cpu_supports("avx512f"))
            return VectorCopy::Avx512;
        if (__builtin_cpu_supports("avx2"))
            return VectorCopy::Avx2;
#endif
        return VectorCopy::Baseline;
    }

    // Formed on first use: a call made while other files are initialised
    // must not find it unset.
    VectorCopy widest()
    {
        static const VectorCopy copy = widestCopy();
        return copy;
    }

    // The chosen copy, or -1 for the widest.
    std::atomic<int> chosen { -1 };

} // namespace

VectorCopy vectorCopy()
{
    const int c = chosen.load(std::memory_order_relaxed);
    return c < 0 ? widest() : static_cast<VectorCopy>(c);
}

bool processorRuns(VectorCopy copy)
{
    return static_cast<int>(copy) >= static_cast<int>(widest());
}

void chooseVectorCopy(VectorCopy copy)
{
    chosen.store(static_cast<int>(copy), std::memory_order_relaxed);
}

void resetVectorCopy()
{
    chosen.store(-1, std::memory_order_relaxed);
}

} // namespace tamrel
