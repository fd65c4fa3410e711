// SPDX-License-Identifier: GPL-3.0-or-later
// The choice between one thread and two, on made-up step times.

#include <gtest/gtest.h>

#include <functional>

#include "run/ThreadChoice.h"

namespace tamrel {
namespace {

    // Runs `steps` steps of one grid, the time of each way given by
    // `seconds(threads, step)`; returns how many steps ran on two threads.
    long runSteps(ThreadChoice& c, long steps, const std::function<double(int, long)>& seconds, long cells = 5000)
    {
        long onTwo = 0;
        for (long i = 0; i < steps; ++i) {
            const int t = c.next(cells, 100);
            EXPECT_TRUE(t == 1 || t == 2);
            onTwo += t == 2;
            c.measured(cells, 100, t, seconds(t, i));
        }
        return onTwo;
    }

    TEST(ThreadChoice, TriesBothWaysThenKeepsTheFaster)
    {
        struct Case {
            const char* machine;
            double one, two;
            int chosen;
        };
        const Case cases[] = {
            { "idle: two threads pay", 1.0, 0.55, 2 },
            { "busy: the worker waits", 1.0, 1.6, 1 },
            { "a gain too small to pay", 1.0, 0.97, 1 },
        };
        for (const Case& c : cases) {
            SCOPED_TRACE(c.machine);
            ThreadChoice choice;
            EXPECT_EQ(choice.next(5000, 100), 1);
            const long onTwo = runSteps(choice, 2000, [&](int t, long) { return t == 2 ? c.two : c.one; });
            EXPECT_EQ(choice.chosen(5000, 100), c.chosen);
            // The losing way only gets its trials: a few steps in a hundred.
            const long onLoser = c.chosen == 2 ? 2000 - onTwo : onTwo;
            EXPECT_LE(onLoser, 2000 / 25);
        }
    }

    // The first step on two threads after steps on one pays for waking the
    // worker and moving half the cells into its cache; steps that follow
    // each other on two threads do not. Timing only such first steps would
    // keep one thread where two pay.
    TEST(ThreadChoice, TimesEachWayAfterAStepOfWarmUp)
    {
        ThreadChoice choice;
        int last = 1;
        runSteps(choice, 2000, [&](int t, long) {
            const bool switched = t != last;
            last = t;
            if (t == 1)
                return switched ? 1.1 : 1.0;
            return switched ? 1.3 : 0.55;
        });
        EXPECT_EQ(choice.chosen(5000, 100), 2);
    }

    // On a busy machine a step on two threads can take many one-thread
    // steps; a trial stops at the first such step instead of timing six.
    TEST(ThreadChoice, AHopelessTrialStopsAtItsFirstSlowStep)
    {
        ThreadChoice choice;
        const long onTwo = runSteps(choice, 2000, [](int t, long) { return t == 2 ? 25.0 : 1.0; });
        EXPECT_EQ(choice.chosen(5000, 100), 1);
        // Two steps of each trial (the warm-up and the timed one): at the
        // start and after stretches of 200, 400, 800 steps.
        EXPECT_LE(onTwo, 8);
        // A two-thread step merely no faster still gets its whole trial.
        ThreadChoice close;
        EXPECT_GT(runSteps(close, 20, [](int t, long) { return t == 2 ? 1.5 : 1.0; }), 4);
    }

    TEST(ThreadChoice, FollowsTheMachineWhenItsLoadChanges)
    {
        ThreadChoice choice;
        // Idle for 1000 steps, then busy: two threads become slow.
        auto times = [](int t, long i) { return t == 1 ? 1.0 : (i < 1000 ? 0.5 : 2.0); };
        runSteps(choice, 1000, [&](int t, long i) { return times(t, i); });
        EXPECT_EQ(choice.chosen(5000, 100), 2);
        const long onTwo = runSteps(choice, 1000, [&](int t, long i) { return times(t, i + 1000); });
        EXPECT_EQ(choice.chosen(5000, 100), 1);
        EXPECT_LE(onTwo, 40);
        // Idle again: back to two, once the next trial of two threads comes.
        runSteps(choice, 3000, [](int t, long) { return t == 1 ? 1.0 : 0.5; });
        EXPECT_EQ(choice.chosen(5000, 100), 2);
    }

    TEST(ThreadChoice, EachGridSizeHasItsOwnChoice)
    {
        ThreadChoice choice;
        runSteps(
            choice, 500, [](int t, long) { return t == 2 ? 0.5 : 1.0; }, 5000);
        runSteps(
            choice, 500, [](int t, long) { return t == 2 ? 0.3 : 0.2; }, 400);
        EXPECT_EQ(choice.chosen(5000, 100), 2);
        EXPECT_EQ(choice.chosen(400, 100), 1);
        EXPECT_EQ(choice.chosen(800, 100), 1); // not measured yet
    }

} // namespace
} // namespace tamrel
