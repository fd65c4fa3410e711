// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Floating-point operation tallies by kind, as the kernels report them in
// their eight Counters: C1 all operations (the sum of C2..C8), C2 additions
// and subtractions, C3 multiplications, C4 reciprocals and divisions, C5
// conditional merges (min, max, select, abs), C6 square roots, C7 a second
// square-root kind (unused here), C8 exponentials, powers and logarithms.
//
// Comparisons that only steer a branch, negation and conversions between
// float and double are not counted.

#include <cstdint>

#include "kernels/KernelContract.h"

namespace tamrel::kernels {

struct OpCount {
    std::uint64_t add = 0;
    std::uint64_t mul = 0;
    std::uint64_t div = 0;
    std::uint64_t merge = 0;
    std::uint64_t sqrt = 0;
    std::uint64_t sqrt2 = 0;
    std::uint64_t exp = 0;

    std::uint64_t total() const { return add + mul + div + merge + sqrt + sqrt2 + exp; }

    OpCount& operator+=(const OpCount& o)
    {
        add += o.add;
        mul += o.mul;
        div += o.div;
        merge += o.merge;
        sqrt += o.sqrt;
        sqrt2 += o.sqrt2;
        exp += o.exp;
        return *this;
    }
    friend OpCount operator+(OpCount a, const OpCount& b) { return a += b; }
    friend OpCount operator*(OpCount a, std::uint64_t n)
    {
        a.add *= n;
        a.mul *= n;
        a.div *= n;
        a.merge *= n;
        a.sqrt *= n;
        a.sqrt2 *= n;
        a.exp *= n;
        return a;
    }
    friend bool operator==(const OpCount&, const OpCount&) = default;
};

// Adds a tally to the caller's eight 32-bit counters. The counters wrap
// modulo 2^32 like the hardware counters they imitate rather than overflow
// (signed overflow would be undefined).
inline void addToCounters(KLong* counters, const OpCount& c)
{
    const std::uint64_t kinds[kCounterCount] = { c.total(), c.add, c.mul, c.div, c.merge, c.sqrt, c.sqrt2, c.exp };
    for (int k = 0; k < kCounterCount; ++k)
        counters[k]
            = static_cast<KLong>(static_cast<std::uint32_t>(counters[k]) + static_cast<std::uint32_t>(kinds[k]));
}

} // namespace tamrel::kernels
