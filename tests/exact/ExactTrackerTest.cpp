// SPDX-License-Identifier: GPL-3.0-or-later
// The solution kept between repaints, and the time of the grid on show.

#include <gtest/gtest.h>

#include "ExactTestStates.h"
#include "exact/ExactTracker.h"
#include "run/SnapshotRow.h"

namespace tamrel {
namespace {

    using exact::ExactTracker;

    // Begun from Ready, a run keeps the double-precision grid it started
    // from and solves once; a test loaded over a halted run is read from its
    // row 0.
    TEST(ExactTracker, KeepsTheGridARunStartedFrom)
    {
        ExperimentState s = testing::shockTubeState(1, 200);
        s.NPlotsPerPeriod = 50;
        ExactTracker tracker;
        ASSERT_EQ(tracker.update(s).kind(), exact::ExactKind::Riemann);
        ASSERT_EQ(BeginRun(s), BeginStatus::Started);
        TimeStep stepper(1);
        for (int k = 0; k < 5; ++k) {
            RunTick(s, stepper);
            const auto& sol = tracker.update(s);
            ASSERT_EQ(sol.jumps().size(), 1u);
            EXPECT_EQ(sol.jumps()[0].right.p, 0.1); // not float(0.1): row 0 is single precision
        }
        EXPECT_EQ(tracker.solves(), 1);

        PauseRun(s);
        ApplyShockTubeTest(s, 3);
        const auto& sol = tracker.update(s);
        EXPECT_EQ(tracker.solves(), 2);
        ASSERT_EQ(sol.jumps().size(), 1u);
        EXPECT_DOUBLE_EQ(sol.jumps()[0].x0, 0.5);
        EXPECT_EQ(sol.jumps()[0].left.p, static_cast<double>(0.4f));
    }

    TEST(ExactTracker, ShownTimeIsTheRowOnShow)
    {
        ExperimentState s = testing::shockTubeState(1, 100);
        s.NPlotsPerPeriod = 50;
        EXPECT_EQ(exact::ShownTime(s), 0.0);
        ASSERT_EQ(BeginRun(s), BeginStatus::Started);
        TimeStep stepper(1);
        while (s.NStoredStates < 5)
            RunTick(s, stepper);
        EXPECT_EQ(exact::ShownTime(s), s.TimeNow); // running
        PauseRun(s);
        EXPECT_EQ(exact::ShownTime(s), s.TimeNow); // halted between rows
        ASSERT_TRUE(RestoreSnapshotRow(s, 2));
        s.StoredStateShown = 2;
        EXPECT_EQ(exact::ShownTime(s), s.StoredTime[2]);
        EXPECT_NE(s.StoredTime[2], s.TimeNow);
        s.Rho[40] *= 1.5; // an edit: the grid is no stored row any more
        EXPECT_EQ(exact::ShownTime(s), s.TimeNow);
    }

} // namespace
} // namespace tamrel
