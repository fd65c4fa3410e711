// SPDX-License-Identifier: GPL-3.0-or-later
#include "run/TickPacer.h"

#include <algorithm>

namespace tamrel {

TickPacer::TickPacer(double tickSeconds)
    : tick_(tickSeconds > 0 ? std::chrono::nanoseconds(static_cast<long long>(tickSeconds * 1e9))
                            : std::chrono::nanoseconds(0))
{
}

std::chrono::nanoseconds TickPacer::stepBudget() const
{
    if (tick_.count() <= 0)
        return std::chrono::nanoseconds(0);
    if (!paints_)
        return tick_ / 2;
    return std::max(tick_ - *paints_, tick_ / 2);
}

void TickPacer::paintsDone(Clock::time_point at)
{
    if (!stepsEnded_ || at < *stepsEnded_)
        return;
    paints_ = std::chrono::duration_cast<std::chrono::nanoseconds>(at - *stepsEnded_);
    stepsEnded_.reset();
}

} // namespace tamrel
