// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Short waits for another thread by spinning: for waits of a few
// microseconds, shorter than it takes the system to wake a sleeping thread.

#include <chrono>

#include "common/Threading.h"

#if defined(__x86_64__) || defined(__i386__)
#include <immintrin.h>
#endif

namespace tamrel {

// A hint to the processor that this is a spin loop (it frees the core's
// resources for the other hardware thread and saves power).
inline void relax()
{
#if defined(__x86_64__) || defined(__i386__)
    _mm_pause();
#elif TAMREL_HAS_THREADS
    std::this_thread::yield();
#endif
}

// Spins until done() is true or about `micros` microseconds have passed;
// returns done().
template <class Done> bool spinUntil(Done done, int micros)
{
    const auto until = std::chrono::steady_clock::now() + std::chrono::microseconds(micros);
    for (;;) {
        for (int i = 0; i < 64; ++i) {
            if (done())
                return true;
            relax();
        }
        if (std::chrono::steady_clock::now() > until)
            return done();
    }
}

} // namespace tamrel
