#include "run/StripDeal.h"

#include "run/Spin.h"

namespace tamrel {

void StripDeal::reset(long count)
{
    count_ = static_cast<int>(count);
    done_.store(0, std::memory_order_relaxed);
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

void StripDeal::done()
{
    if (done_.fetch_add(1, std::memory_order_acq_rel) + 1 == count_)
        done_.notify_all();
}

void StripDeal::waitAll()
{
    auto all = [this] { return done_.load(std::memory_order_acquire) >= count_; };
    if (spinUntil(all, kSpinMicroseconds))
        return;
    for (int seen = done_.load(std::memory_order_acquire); seen < count_;
         seen = done_.load(std::memory_order_acquire))
        done_.wait(seen, std::memory_order_acquire);
}

} // namespace tamrel
