// SPDX-License-Identifier: GPL-3.0-or-later
// The steps' share of a metronome tick: what the last tick's paints left.

#include <gtest/gtest.h>

#include "run/TickPacer.h"

using namespace tamrel;
using namespace std::chrono_literals;

TEST(TickPacer, StepsGetWhatTheLastPaintsLeftOfTheTick)
{
    const TickPacer::Clock::time_point t0 {};
    struct Case {
        const char* name;
        std::chrono::milliseconds paints;
        std::chrono::milliseconds budget;
    };
    const Case cases[] = {
        { "cheap paints", 2ms, 26ms },
        { "a large grid's paints", 9ms, 19ms },
        { "paints of most of the tick: half of it stays", 25ms, 14ms },
        { "paints longer than the tick", 80ms, 14ms },
    };
    for (const Case& c : cases) {
        TickPacer pacer(0.028);
        EXPECT_EQ(pacer.stepBudget(), 14ms) << "before any paints: half the tick";
        pacer.stepsDone(t0);
        pacer.paintsDone(t0 + c.paints);
        EXPECT_EQ(pacer.stepBudget(), c.budget) << c.name;
        // Paints with no steps before them (a repaint of a halted run)
        // change nothing.
        pacer.paintsDone(t0 + 1s);
        EXPECT_EQ(pacer.stepBudget(), c.budget) << c.name;
    }
}

TEST(TickPacer, NoTickTimeMeansNoBudget)
{
    TickPacer pacer(0);
    pacer.stepsDone({});
    pacer.paintsDone(TickPacer::Clock::time_point {} + 5ms);
    EXPECT_EQ(pacer.stepBudget().count(), 0);
}
