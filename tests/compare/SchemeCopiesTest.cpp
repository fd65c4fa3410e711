// SPDX-License-Identifier: GPL-3.0-or-later
// The window's comparison without the window: the chosen names, the copies
// of the set-up, the grid's run advanced in step with the copies, and the
// difference of two histories.

#include <gtest/gtest.h>

#include "CompareTestStates.h"
#include "compare/SchemeCopies.h"

namespace tamrel::testing {
namespace {

    TEST(SchemeNames, AreSpelledAsTheTableOrRefusedWithTheReason)
    {
        const compare::SchemeNames ok = compare::CheckSchemeNames({ "orvane", "SORVI", "Lentor32" });
        EXPECT_EQ(ok.refusal, "");
        EXPECT_EQ(ok.schemes, (std::vector<std::string> { "Orvane", "Sorvi", "Lentor32" }));

        const struct {
            std::vector<std::string> names;
            const char* says;
        } refused[] = {
            { { "Orvane", "Nonesuch" }, "\"Nonesuch\" is not a scheme name.  Choose from Orvane" },
            { { "Orvane", "sorvi", "Sorvi" }, "The scheme Sorvi is named twice." },
            { { "Orvane", "Orvane32", "Lentor32", "Mixtal32", "Sorvi", "orvane" }, "named twice" },
        };
        for (const auto& c : refused) {
            const compare::SchemeNames r = compare::CheckSchemeNames(c.names);
            EXPECT_NE(r.refusal.find(c.says), std::string::npos) << r.refusal;
            EXPECT_NE(r.refusal.find("The comparison is left as it was."), std::string::npos) << r.refusal;
        }
        EXPECT_EQ(compare::SchemeNamesText(), "Orvane, Orvane32, Lentor32, Mixtal32 and Sorvi");
    }

    // The copies carry their schemes and no history, and the set-up they
    // come from is left as it was.
    TEST(SchemeCopies, AreReadyCopiesWithoutTheSetUpsHistory)
    {
        const ExperimentState setUp = testState("Orvane", 1, 40);
        ASSERT_GT(setUp.STRho.size(), 0);
        const float row0 = setUp.STRho[1];
        const std::vector<std::string> schemes { "Orvane", "Mixtal32", "Sorvi" };
        const std::vector<compare::SchemeRun> copies = compare::MakeSchemeCopies(setUp, schemes);
        ASSERT_EQ(copies.size(), 3u);
        for (std::size_t k = 0; k < copies.size(); ++k) {
            const ExperimentState& c = copies[k].state;
            EXPECT_EQ(c.SchemeName, schemes[k]);
            EXPECT_TRUE(c.isReady());
            EXPECT_EQ(c.STRho.size(), 0);
            EXPECT_EQ(c.StoredTime.size(), 0);
            for (long i = 1; i <= 40; ++i)
                ASSERT_EQ(c.Rho[i], setUp.Rho[i]);
        }
        EXPECT_FALSE(compare::CheckSideBySide(copies));
        EXPECT_EQ(setUp.STRho[1], row0);
        EXPECT_EQ(setUp.SchemeName, "Orvane");
    }

    // The grid's own record runs the first scheme in the place of copy 0:
    // after the last tick it holds that scheme's single run, the copies
    // theirs, and grid and copies are stopped.
    TEST(SchemeCopies, TheGridAdvancesInStepAndEndsAsItsSingleRun)
    {
        const long n = 50;
        const std::vector<std::string> schemes { "Orvane", "Sorvi" };
        ExperimentState grid = testState("Orvane", 1, n);
        std::vector<compare::SchemeRun> runs = compare::MakeSchemeCopies(grid, schemes);
        runs.front().state = ExperimentState {};
        ASSERT_EQ(BeginRun(grid), BeginStatus::Started);
        ASSERT_EQ(BeginRun(runs[1].state), BeginStatus::Started);
        TimeStep a(1), b(1);
        const std::vector<TimeStep*> steppers { &a, &b };
        compare::GridLockstep at;
        at.commonRows = grid.NStoredStates;
        for (int ticks = 0; grid.Stopped == 0; ++ticks) {
            ASSERT_LT(ticks, 100000);
            const compare::LockstepTick t = compare::AdvanceWithGrid(grid, runs, steppers, at, {}, false);
            ASSERT_EQ(t.failure, "");
            ASSERT_EQ(grid.NGridCells, n); // the grid's record is back in its place
            EXPECT_EQ(at.commonRows, t.rows);
            EXPECT_EQ(grid.Stopped != 0, t.ended);
        }
        EXPECT_NE(runs[1].state.Stopped, 0);

        ExperimentState orvane = testState("Orvane", 1, n), sorvi = testState("Sorvi", 1, n);
        tickToEnd(orvane, 1);
        tickToEnd(sorvi, 1);
        for (const auto& [ran, alone] : { std::pair { &grid, &orvane }, std::pair { &runs[1].state, &sorvi } }) {
            SCOPED_TRACE(alone->SchemeName);
            EXPECT_EQ(ran->NCycle, alone->NCycle);
            EXPECT_EQ(ran->TimeNow, alone->TimeNow);
            ASSERT_EQ(ran->NStoredStates, alone->NStoredStates);
            EXPECT_TRUE(sameRows(ran->STRho, alone->STRho, ran->NStoredStates, n));
            for (long i = 1; i <= n; ++i)
                ASSERT_EQ(ran->Rho[i], alone->Rho[i]) << "cell " << i;
        }
    }

    TEST(HistoryDifference, SubtractsTheRowsBothHold)
    {
        ExperimentState a, b;
        for (auto* s : { &a, &b })
            for (auto member : { &ExperimentState::STRho, &ExperimentState::STP, &ExperimentState::STVX,
                     &ExperimentState::STVY, &ExperimentState::STFSmoke, &ExperimentState::STRPlus,
                     &ExperimentState::STRMinus, &ExperimentState::STEntropy })
                (s->*member).allocate(0, 5);
        for (long i = 0; i <= 5; ++i) {
            a.STRho[i] = static_cast<float>(10 + i);
            b.STRho[i] = static_cast<float>(i);
            a.STEntropy[i] = 2.0f;
            b.STEntropy[i] = 0.5f;
        }
        b.STP.release(); // a history b lacks subtracts nothing
        a.STP[3] = 7.0f;
        a.NStoredStates = 3;
        b.NStoredStates = 2;
        const ExperimentState d = compare::HistoryDifference(a, b);
        for (long i = 0; i <= 5; ++i) {
            EXPECT_EQ(d.STRho[i], 10.0f);
            EXPECT_EQ(d.STEntropy[i], 1.5f);
        }
        EXPECT_EQ(d.STP[3], 7.0f);
        EXPECT_EQ(d.NStoredStates, 2);
        EXPECT_EQ(a.STRho[2], 12.0f);
    }

} // namespace
} // namespace tamrel::testing
