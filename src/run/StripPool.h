// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One persistent worker thread that takes half of the strips of a time step
// while the calling thread does the other half. Strips are independent, so
// the split changes no result.
//
// A time step of a few thousand cells takes a few hundred microseconds,
// about what it takes the system to wake a sleeping thread. So each side
// first waits for the other by spinning for a short while (the gap between
// two steps, or the other half's lag), and sleeps on a condition variable
// only after that: between runs, or when the machine keeps the worker off
// its core.
//
// Where there are no threads (WebAssembly) the pool runs both halves on the
// caller, one after the other; TimeStep never asks for it there.

#include <atomic>
#include <cstdint>
#include <functional>

#include "common/Threading.h"

namespace tamrel {

#if TAMREL_HAS_THREADS

class StripPool {
public:
    StripPool();
    ~StripPool();
    StripPool(const StripPool&) = delete;
    StripPool& operator=(const StripPool&) = delete;

    // Run task(1) on the worker and task(0) on the caller; return when both
    // have finished. The task must not throw.
    void runPair(const std::function<void(int)>& task);

private:
    void loop();
    static constexpr int kSpinMicroseconds = 60;

    threading::mutex mutex_;
    threading::condition_variable wake_;
    threading::condition_variable done_;
    const std::function<void(int)>* task_ = nullptr;
    std::atomic<std::uint64_t> posted_ { 0 }; // tasks handed to the worker so far
    std::atomic<bool> busy_ { false }; // the worker is on a task
    std::atomic<bool> quit_ { false };
    threading::thread worker_;
};

#else

class StripPool {
public:
    void runPair(const std::function<void(int)>& task)
    {
        task(0);
        task(1);
    }
};

#endif

} // namespace tamrel
