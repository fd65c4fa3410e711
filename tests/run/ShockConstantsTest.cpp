// SPDX-License-Identifier: GPL-3.0-or-later
// The shock constants of "Get Diff Consts" are refused outside their ranges,
// with the range named, and the value before kept.

#include <gtest/gtest.h>

#include "run/ShockConstants.h"

namespace tamrel {
namespace {

    TEST(ShockConstants, OutOfRangeAnswersAreRefusedWithTheRange)
    {
        struct Case {
            const ShockConstantRange& range;
            double value;
            bool taken;
        };
        for (const Case& c : {
                 Case { kDifconRange, 0.3, true },
                 Case { kDifconRange, 0.0, true },
                 Case { kDifconRange, -5, false },
                 Case { kDifconRange, 11, false },
                 Case { kShkjmpRange, 0.2, true },
                 Case { kShkjmpRange, -1, false },
                 Case { kWavhafRange, 1.0, true },
                 Case { kWavhafRange, 10, true },
                 Case { kWavhafRange, -3, false },
             }) {
            SCOPED_TRACE(std::string(c.range.title) + " " + std::to_string(c.value));
            const std::string why = ShockConstantRefusal(c.range, c.value);
            EXPECT_EQ(why.empty(), c.taken);
            if (!c.taken) {
                EXPECT_EQ(why.find(std::string(c.range.title) + ": "), 0u) << why;
                EXPECT_NE(why.find("outside 0 to 10; the value before is kept."), std::string::npos) << why;
            }
        }
    }

} // namespace
} // namespace tamrel
