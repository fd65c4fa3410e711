// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// How long a metronome tick may step, when the whole tick (its time steps
// and the window's paints that follow them) is to take about a given time.
// The paints cost what they cost (more for a larger grid, and on a busy
// machine), so the steps get what the last tick's paints left of the tick:
// the window answers about once a tick however large the grid, and the
// steps take as much of every tick as the paints allow.
//
// A tick steps for at least half the tick (also before any paints are
// measured): on a busy machine, where every paint takes longer, the ticks
// grow rather than the share of the paints in a run.

#include <chrono>
#include <optional>

namespace tamrel {

class TickPacer {
public:
    using Clock = std::chrono::steady_clock;

    // tickSeconds <= 0: no budget (every tick runs its full count of steps).
    explicit TickPacer(double tickSeconds);

    // The time the next tick's steps may take (zero: no budget).
    std::chrono::nanoseconds stepBudget() const;
    // A tick's steps ended at `at`; its paints ended at `at`.
    void stepsDone(Clock::time_point at) { stepsEnded_ = at; }
    void paintsDone(Clock::time_point at);

private:
    std::chrono::nanoseconds tick_;
    std::optional<Clock::time_point> stepsEnded_;
    std::optional<std::chrono::nanoseconds> paints_;
};

} // namespace tamrel
