// SPDX-License-Identifier: GPL-3.0-or-later
// The snapshot interval: the lab's rate per time unit, but never fewer than a
// hundred snapshots over the run.

#include <gtest/gtest.h>

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

} // namespace
} // namespace tamrel
