// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <atomic>

#include "CompareTestStates.h"
#include "compare/SideBySide.h"

namespace tamrel::testing {
namespace {

    using compare::SchemeRun;

    std::vector<SchemeRun> copiesOf(int test, long n, const std::vector<std::string>& schemes)
    {
        std::vector<SchemeRun> runs;
        for (const std::string& name : schemes) {
            SchemeRun r;
            r.state = testState(name, test, n);
            runs.push_back(std::move(r));
        }
        return runs;
    }

    // Every scheme's rows, times and final grid are those of the same scheme
    // run alone through the metronome's ticks; the copies share the
    // snapshot schedule and all end at the stop time.
    TEST(SideBySide, EachSchemeStoresTheRowsOfItsSingleRunOnTheCommonSchedule)
    {
        const long n = 60;
        const std::vector<std::string> schemes { "Orvane", "Lentor32", "Mixtal32", "Sorvi" };
        std::vector<SchemeRun> runs = copiesOf(1, n, schemes);
        ASSERT_FALSE(compare::CheckSideBySide(runs));
        ASSERT_TRUE(compare::RunSideBySide(runs));

        const ExperimentState& first = runs.front().state;
        for (std::size_t k = 0; k < runs.size(); ++k) {
            SCOPED_TRACE(schemes[k]);
            const ExperimentState& s = runs[k].state;
            ExperimentState alone = testState(schemes[k], 1, n);
            tickToEnd(alone);

            ASSERT_EQ(s.NStoredStates, alone.NStoredStates);
            EXPECT_EQ(s.NCycle, alone.NCycle);
            EXPECT_EQ(s.TimeNow, alone.TimeNow);
            for (const auto field : { &ExperimentState::STRho, &ExperimentState::STP, &ExperimentState::STVX,
                     &ExperimentState::STFSmoke, &ExperimentState::STRPlus, &ExperimentState::STEntropy })
                EXPECT_TRUE(sameRows(s.*field, alone.*field, s.NStoredStates, n));
            for (long i = 1; i <= n; ++i)
                ASSERT_EQ(s.Rho[i], alone.Rho[i]) << "cell " << i;

            // The common schedule: as many rows as the first scheme, row r
            // stored by the first step at or past r DtPlot.
            EXPECT_EQ(s.NStoredStates, first.NStoredStates);
            for (long r = 0; r + 1 < s.NStoredStates; ++r) {
                const double due = static_cast<double>(r) * s.DtPlot;
                EXPECT_GE(s.StoredTime[r], due * (1 - 1e-12)) << "row " << r;
                EXPECT_LT(s.StoredTime[r], due + s.DtPlot) << "row " << r;
            }
            // Every copy ends exactly at the stop time, with its last row there.
            EXPECT_EQ(s.TimeNow, s.TStop);
            EXPECT_EQ(s.StoredTime[s.NStoredStates - 1], s.TStop);
            EXPECT_TRUE(runs[k].finished);
            EXPECT_GT(runs[k].acceptedSteps, 0);
        }
    }

    TEST(SideBySide, RefusesWhatCannotRunSideBySide)
    {
        struct Case {
            const char* what;
            std::vector<std::string> schemes;
            long otherCells; // cells of the last copy (0: the same)
            const char* reason;
        };
        const Case cases[] = {
            { "one scheme", { "Orvane" }, 0, "2 to 5 schemes" },
            { "six schemes", { "Orvane", "Orvane32", "Lentor32", "Mixtal32", "Sorvi", "Orvane" }, 0, "2 to 5" },
            { "a scheme twice", { "Orvane", "Sorvi", "Orvane" }, 0, "named twice" },
            { "an unknown scheme", { "Orvane", "Godunov" }, 0, "unknown scheme" },
            { "another grid", { "Orvane", "Sorvi" }, 50, "not the same set-up" },
        };
        for (const Case& c : cases) {
            SCOPED_TRACE(c.what);
            std::vector<SchemeRun> runs;
            for (const std::string& name : c.schemes) {
                SchemeRun r;
                r.state = testState("Orvane", 1, 40);
                r.state.SchemeName = name;
                runs.push_back(std::move(r));
            }
            if (c.otherCells)
                runs.back().state = testState(runs.back().state.SchemeName, 1, c.otherCells);
            const auto refusal = compare::CheckSideBySide(runs);
            ASSERT_TRUE(refusal);
            EXPECT_NE(refusal->find(c.reason), std::string::npos) << *refusal;
        }

        std::vector<SchemeRun> started = copiesOf(1, 40, { "Orvane", "Sorvi" });
        ASSERT_EQ(BeginRun(started[1].state), BeginStatus::Started);
        EXPECT_TRUE(compare::CheckSideBySide(started));
    }

    // Fewer than two schemes make no comparison: they end one there is, and
    // without one they would change nothing, so they are refused, saying why.
    TEST(SideBySide, AChoiceOfOneSchemeWithoutAComparisonIsRefused)
    {
        EXPECT_EQ(compare::SchemeChoiceRefusal(2, false, "Orvane"), "");
        EXPECT_EQ(compare::SchemeChoiceRefusal(1, true, "Orvane"), "");
        EXPECT_EQ(compare::SchemeChoiceRefusal(0, true, "Orvane"), "");
        const std::string why = compare::SchemeChoiceRefusal(1, false, "Sorvi");
        EXPECT_NE(why.find("A comparison takes 2 to 5 schemes"), std::string::npos) << why;
        EXPECT_NE(why.find("Sorvi"), std::string::npos) << why;
        EXPECT_NE(compare::SchemeChoiceRefusal(0, false, "Sorvi"), "");
    }

    TEST(SideBySide, CancelStopsEveryRunKeepingItsStoredRows)
    {
        std::vector<SchemeRun> runs = copiesOf(1, 40, { "Orvane", "Sorvi" });
        std::atomic<bool> cancel { true };
        EXPECT_FALSE(compare::RunSideBySide(runs, &cancel));
        for (const SchemeRun& r : runs) {
            EXPECT_FALSE(r.finished);
            EXPECT_EQ(r.failure, ""); // cancelled, not failed
            EXPECT_EQ(r.state.NStoredStates, 1); // row 0 of Begin
            EXPECT_EQ(r.state.Stopped, 1);
        }
    }

} // namespace
} // namespace tamrel::testing
