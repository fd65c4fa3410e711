// SPDX-License-Identifier: GPL-3.0-or-later
#include "run/StripDeal.h"

#include "run/Spin.h"

namespace tamrel {

void StripDeal::reset(long count)
{
    count_ = static_cast<int>(count);
    for (Side& side : sides_)
        side.done.store(0, std::memory_order_relaxed);
    ends_.store(static_cast<std::uint64_t>(count) << 32, std::memory_order_relaxed);
}

long StripDeal::take(int side)
{
    std::uint64_t ends = ends_.load(std::memory_order_relaxed);
    for (;;) {
        const std::uint64_t front = ends & 0xffffffffu, back = ends >> 32;
        if (front >= back)
            return -1;
        const std::uint64_t next = side == 0 ? ends + 1 : ends - (std::uint64_t { 1 } << 32);
        if (ends_.compare_exchange_weak(ends, next, std::memory_order_relaxed))
            return static_cast<long>(side == 0 ? front : back - 1);
    }
}

void StripDeal::done(int side)
{
    std::atomic<int>& done = sides_[static_cast<std::size_t>(side)].done;
    done.store(done.load(std::memory_order_relaxed) + 1, std::memory_order_release);
}

void StripDeal::waitAll(int side)
{
    const std::atomic<int>& mine = sides_[static_cast<std::size_t>(side)].done;
    std::atomic<int>& other = sides_[static_cast<std::size_t>(1 - side)].done;
    // This side takes no further strip: wake the other if it sleeps.
    sides_[static_cast<std::size_t>(side)].done.notify_all();
    const int left = count_ - mine.load(std::memory_order_relaxed);
    auto all = [&] { return other.load(std::memory_order_acquire) >= left; };
    if (spinUntil(all, kSpinMicroseconds))
        return;
    for (int seen = other.load(std::memory_order_acquire); seen < left;
         seen = other.load(std::memory_order_acquire))
        other.wait(seen, std::memory_order_acquire);
}

} // namespace tamrel
