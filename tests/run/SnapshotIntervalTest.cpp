// SPDX-License-Identifier: GPL-3.0-or-later
// The snapshot interval: the lab's rate per time unit, but never fewer than a
// hundred snapshots over the run.

#include <gtest/gtest.h>

#include <utility>

#include "run/SnapshotInterval.h"

namespace tamrel {
namespace {

    TEST(SnapshotInterval, TheRatePerTimeUnitOrAHundredOverTheRun)
    {
        struct Case {
            const char* name;
            double timeUnit;
            Long rate;
            double tStop;
            double expected;
        };
        for (const Case& c : {
                 Case { "enough at the rate", 1.0, 400, 2.0, 1.0 / 400 },
                 Case { "exactly a hundred", 1.0, 100, 1.0, 0.01 },
                 Case { "cold gas (Test 4)", 845.15, 400, 1.0, 0.01 },
                 Case { "short run", 0.845, 400, 0.2, 0.002 },
                 Case { "no stop time yet", 0.5, 10, 0.0, 0.05 },
                 Case { "no rate", 1.0, 0, 3.0, 0.03 },
             }) {
            SCOPED_TRACE(c.name);
            EXPECT_DOUBLE_EQ(SnapshotInterval(c.timeUnit, c.rate, c.tStop), c.expected);
        }
    }

    TEST(SnapshotInterval, SpaceTimeRepaintEveryThousandOverNRows)
    {
        // {cells, rows between repaints}: whole division, never below one row.
        for (const auto& [cells, rows] : { std::pair { 100L, 10L }, { 400L, 2L }, { 999L, 1L }, { 1000L, 1L },
                 { 5000L, 1L }, { 1L, 1000L }, { 0L, 1000L } }) {
            SCOPED_TRACE(cells);
            EXPECT_EQ(SpaceTimeRepaintRows(cells), rows);
        }
    }

    // 100 cells repaint every 10 rows: the 10th, 20th, ... stored row, one at
    // a time or several at once, and nothing when no row was stored.
    TEST(SnapshotInterval, SpaceTimeRepaintIsDueWhenTheCountPassesAMultiple)
    {
        const struct {
            long before, after;
            bool due;
        } cases[] = {
            { 0, 1, false },
            { 8, 9, false },
            { 9, 10, true },
            { 10, 11, false },
            { 7, 13, true },
            { 11, 19, false },
            { 20, 20, false },
        };
        for (const auto& c : cases)
            EXPECT_EQ(SpaceTimeRepaintDue(c.before, c.after, 100), c.due) << c.before << " to " << c.after;
        EXPECT_TRUE(SpaceTimeRepaintDue(0, 1, 5000)); // every row from 1000 cells on
    }

} // namespace
} // namespace tamrel
