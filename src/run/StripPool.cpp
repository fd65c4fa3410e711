// SPDX-License-Identifier: GPL-3.0-or-later
#include "run/StripPool.h"

#include "run/Spin.h"

#if TAMREL_HAS_THREADS

namespace tamrel {

StripPool::StripPool()
    : worker_([this] { loop(); })
{
}

StripPool::~StripPool()
{
    quit_.store(true, std::memory_order_release);
    {
        // Taken so that a worker between its check and its wait cannot miss
        // the notification.
        threading::lock_guard lock(mutex_);
    }
    wake_.notify_one();
    worker_.join();
}

void StripPool::runPair(const std::function<void(int)>& task)
{
    task_ = &task;
    busy_.store(true, std::memory_order_relaxed);
    posted_.fetch_add(1, std::memory_order_release);
    {
        threading::lock_guard lock(mutex_);
    }
    wake_.notify_one();
    task(0);
    if (!spinUntil([this] { return !busy_.load(std::memory_order_acquire); }, kSpinMicroseconds)) {
        threading::unique_lock lock(mutex_);
        done_.wait(lock, [this] { return !busy_.load(std::memory_order_acquire); });
    }
    task_ = nullptr;
}

void StripPool::loop()
{
    std::uint64_t seen = 0;
    for (;;) {
        auto posted = [&] {
            return quit_.load(std::memory_order_acquire) || posted_.load(std::memory_order_acquire) != seen;
        };
        if (!spinUntil(posted, kSpinMicroseconds)) {
            threading::unique_lock lock(mutex_);
            wake_.wait(lock, posted);
        }
        if (quit_.load(std::memory_order_acquire))
            return;
        seen = posted_.load(std::memory_order_acquire);
        (*task_)(1);
        busy_.store(false, std::memory_order_release);
        {
            threading::lock_guard lock(mutex_);
        }
        done_.notify_one();
    }
}

} // namespace tamrel

#endif
