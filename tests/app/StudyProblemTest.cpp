// SPDX-License-Identifier: GPL-3.0-or-later
// The problem a convergence study recognises in the record: each test and a
// sound wave, before and after a run; an edited grid is none of them.

#include <gtest/gtest.h>

#include "app/StudyProblem.h"
#include "lab/LabSession.h"

namespace tamrel {
namespace {

    void expectTaken(const lab::Refusal& r)
    {
        ASSERT_FALSE(r.has_value()) << *r;
    }

    TEST(StudyProblem, EachTestIsRecognisedOnItsGridBeforeAndAfterItsRun)
    {
        for (int t = 1; t <= 8; ++t) {
            SCOPED_TRACE(t);
            lab::LabSession s;
            expectTaken(s.setGridCells(60));
            expectTaken(s.setScheme("Sorvi"));
            expectTaken(s.loadTest(t));
            std::string why;
            std::optional<BatchOptions> o = StudyProblemOf(s.record(), why);
            ASSERT_TRUE(o) << why;
            EXPECT_EQ(o->test, t);
            EXPECT_FALSE(o->soundWave);
            if (t == 1 || t == 2 || t == 4) {
                // Past its start the record keeps its first grid in history row 0.
                s.begin();
                for (int k = 0; k < 3; ++k)
                    s.tick();
                o = StudyProblemOf(s.record(), why);
                ASSERT_TRUE(o) << why;
                EXPECT_EQ(o->test, t);
            }
        }
    }

    TEST(StudyProblem, ASoundWaveComesBackWithItsAnswersAndRunValues)
    {
        lab::LabSession s;
        expectTaken(s.setGridCells(48));
        expectTaken(s.setPeriods(0.75));
        expectTaken(s.setCourant(0.5));
        expectTaken(s.loadSoundWave({ 0.002, 2, 0.001, 1, 0.0005, 3, 0.25 }));
        std::string why;
        const std::optional<BatchOptions> o = StudyProblemOf(s.record(), why);
        ASSERT_TRUE(o) << why;
        EXPECT_TRUE(o->soundWave);
        EXPECT_FALSE(o->test);
        EXPECT_EQ(o->wave,
            (std::vector<std::string> { "0.002", "2", "0.001", "1", "0.00050000000000000001", "3", "0.25" }));
        EXPECT_EQ(o->periods, "0.75");
        EXPECT_EQ(o->courant, "0.5");
    }

    TEST(StudyProblem, AGridThatNoPresetMakesIsRefused)
    {
        // Test 1's two states with the jump at 0.4 in place of 0.3.
        lab::HandMadeState h;
        for (int i = 0; i < 60; ++i) {
            const bool left = i < 24;
            h.rho.push_back(left ? 1.0 : 0.125);
            h.p.push_back(left ? 1.0 : 0.1);
            h.vx.push_back(left ? 0.75 : 0.0);
        }
        h.leftBoundary = h.rightBoundary = 2;
        lab::LabSession s;
        expectTaken(s.loadState(h));
        std::string why;
        EXPECT_FALSE(StudyProblemOf(s.record(), why));
        EXPECT_NE(why.find("neither one of the eight tests nor a sound wave"), std::string::npos) << why;
    }

} // namespace
} // namespace tamrel
