// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The few thread types the lab uses, so that the same code builds where
// there are no threads (WebAssembly without its threads proposal). There a
// thread runs its function at once, to the end, on the caller's stack, and
// locks and waits do nothing: with one thread a condition a waiter asks for
// already holds when it looks, since whatever makes it true ran before.

#if defined(__wasi__) && !defined(_REENTRANT)
#define TAMREL_HAS_THREADS 0
#else
#define TAMREL_HAS_THREADS 1
#endif

#if TAMREL_HAS_THREADS
#include <condition_variable>
#include <mutex>
#include <thread>
#endif

namespace tamrel::threading {

#if TAMREL_HAS_THREADS

using std::condition_variable;
using std::lock_guard;
using std::mutex;
using std::thread;
using std::unique_lock;

inline unsigned hardwareThreads() { return std::thread::hardware_concurrency(); }

#else

class thread {
public:
    template <class F> explicit thread(F&& f) { f(); }
    void join() { }
};

struct mutex {
    void lock() { }
    void unlock() { }
};

template <class M> class lock_guard {
public:
    explicit lock_guard(M&) { }
};

template <class M> class unique_lock {
public:
    explicit unique_lock(M&) { }
    void lock() { }
    void unlock() { }
};

struct condition_variable {
    template <class Lock, class Pred> void wait(Lock&, Pred) { }
    void notify_one() { }
    void notify_all() { }
};

inline unsigned hardwareThreads() { return 1; }

#endif

} // namespace tamrel::threading
