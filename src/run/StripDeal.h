// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Which thread runs which strips of a time step. Thread 0 takes strips from
// the front of the grid and thread 1 from the back until they meet, so the
// strips of each thread are one run of neighbouring cells: after the step
// each thread moves its own cells into the grid, and they stay in its cache
// for its strips of the next step. A thread that got cheap strips (uniform
// gas, which the kernels pass through quickly) takes more of them.
//
// A thread alone takes every strip from the front; so does thread 0 when
// thread 1 starts late.

#include <array>
#include <atomic>
#include <cstdint>

namespace tamrel {

class StripDeal {
public:
    // A new step of `count` strips; no thread may be taking strips.
    void reset(long count);
    // The next strip for `side` (0 from the front, 1 from the back), or -1
    // when every strip is taken.
    long take(int side);
    // A strip taken by `side` is done: its results are written.
    void done(int side);
    // Returns once every strip of the step is done, after `side` has taken
    // its last; what the other side wrote for its strips is then visible.
    // Spins for a short while, then sleeps.
    void waitAll(int side);

private:
    static constexpr int kSpinMicroseconds = 60;
    // The next strip from the front (low 32 bits) and one past the next from
    // the back (high 32 bits): the strips left lie between.
    alignas(64) std::atomic<std::uint64_t> ends_ { 0 };
    // Strips done by each side, each written by its own thread only and on
    // a cache line of its own.
    struct alignas(64) Side {
        std::atomic<int> done { 0 };
    };
    std::array<Side, 2> sides_;
    int count_ = 0;
};

} // namespace tamrel
