// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <optional>
#include <string>

#include "edit/BoundaryTypes.h"

namespace tamrel {
namespace {

    TEST(BoundaryPrompts, TextsTitlesAndDefaults)
    {
        ExperimentState s;
        s.MnBdry = 2;
        s.MxBdry = 1;
        const BoundaryPrompt left = LeftBoundaryPrompt(s);
        EXPECT_EQ(left.prompt,
            "Type the value of the left boundary condition type:  4=periodic, 1=reflecting, 2=continuation");
        EXPECT_EQ(left.title, "Get MnBdry");
        EXPECT_EQ(left.defaultAnswer, "2");
        const BoundaryPrompt right = RightBoundaryPrompt(s);
        EXPECT_EQ(right.prompt,
            "Type the value of the right boundary condition type:  4=periodic, 1=reflecting, 2=continuation");
        EXPECT_EQ(right.title, "Get MxBdry");
        EXPECT_EQ(right.defaultAnswer, "1");
    }

    TEST(BoundaryAnswers, LeftThenRight)
    {
        using Answer = std::optional<std::string>;
        struct Case {
            const char* name;
            Answer left, right;
            bool asksRight;
            Long mn, mx;
        };
        for (const Case& c : {
                 Case { "periodic left", "4", "1", false, 4, 4 },
                 Case { "reflecting then periodic", "1", "4", true, 1, 4 },
                 Case { "defaults", "1", "2", true, 1, 2 },
                 Case { "cancelled", std::nullopt, std::nullopt, true, 1, 2 },
                 Case { "empty and letters", "", "abc", true, 1, 2 },
                 Case { "halves to even", "2.5", "3.5", true, 2, 4 },
                 Case { "other codes as typed", "7", "-3", true, 7, -3 },
             }) {
            SCOPED_TRACE(c.name);
            ExperimentState s;
            s.MnBdry = 1;
            s.MxBdry = 2;
            const bool asks = ApplyLeftBoundaryAnswer(s, c.left);
            EXPECT_EQ(asks, c.asksRight);
            if (asks)
                ApplyRightBoundaryAnswer(s, c.right);
            EXPECT_EQ(s.MnBdry, c.mn);
            EXPECT_EQ(s.MxBdry, c.mx);
        }
    }

    TEST(BoundaryAnswers, CancellingWhilePeriodicKeepsBothPeriodic)
    {
        ExperimentState s;
        s.MnBdry = 4;
        s.MxBdry = 4;
        EXPECT_FALSE(ApplyLeftBoundaryAnswer(s, std::nullopt));
        EXPECT_EQ(s.MxBdry, 4);
    }

    TEST(BoundaryAnswers, OnlyInReady)
    {
        ExperimentState s;
        EXPECT_TRUE(BoundaryTypesEditable(s));
        s.Stopped = 0;
        EXPECT_FALSE(BoundaryTypesEditable(s));
        s.Stopped = 1;
        s.TimeNow = 0.2;
        EXPECT_FALSE(BoundaryTypesEditable(s));
    }

} // namespace
} // namespace tamrel
