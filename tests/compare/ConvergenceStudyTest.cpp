#include <gtest/gtest.h>

#include <atomic>
#include <cmath>

#include "CompareTestStates.h"
#include "compare/ConvergenceStudy.h"
#include "exact/ExactPlots.h"
#include "exact/InitialGrid.h"

namespace tamrel::testing {
namespace {

    compare::PrepareStudyRun shockTube(int k)
    {
        return [k](const std::string& scheme, long n, std::string&) {
            return std::optional<ExperimentState>(testState(scheme, k, n));
        };
    }

    compare::PrepareStudyRun soundWave(double a)
    {
        return [a](const std::string& scheme, long n, std::string&) {
            ExperimentState s = waveState(scheme, a, n);
            s.Periods = 0.25; // a quarter time unit is enough to move the wave
            s.TStop = s.TimeUnit * s.Periods;
            return std::optional<ExperimentState>(std::move(s));
        };
    }

    exact::ExactSolution exactOf(const ExperimentState& s)
    {
        exact::InitialGrid g;
        std::string why;
        EXPECT_TRUE(exact::ReadInitialGrid(s, g, why)) << why;
        return exact::ExactSolution::Of(g);
    }

    TEST(ConvergenceStudy, RefusesALadderOrSchemesItCannotRun)
    {
        struct Case {
            std::vector<std::string> schemes;
            std::vector<long> cells;
            const char* reason;
        };
        const Case cases[] = {
            { { "Orvane" }, { 64 }, "at least two resolutions" },
            { { "Orvane" }, { 5, 64 }, "outside 6..5000" },
            { { "Orvane" }, { 64, 5001 }, "outside 6..5000" },
            { { "Orvane" }, { 64, 64 }, "named twice" },
            { { "Orvane", "Upwind" }, { 32, 64 }, "unknown scheme 'Upwind'" },
            { { "Sorvi", "Sorvi" }, { 32, 64 }, "named twice" },
            { {}, { 32, 64 }, "at least one scheme" },
        };
        for (const Case& c : cases) {
            const auto refusal = compare::CheckStudyRequest(c.schemes, c.cells);
            ASSERT_TRUE(refusal) << c.reason;
            EXPECT_NE(refusal->find(c.reason), std::string::npos) << *refusal;
        }
        EXPECT_FALSE(compare::CheckStudyRequest({ "Orvane", "Sorvi" }, { 6, 5000 }));
    }

    TEST(ConvergenceStudy, RefusesAProblemWithoutAnExactReference)
    {
        EXPECT_FALSE(compare::CheckStudyProblem(shockTube(1), "Orvane", 50));
        EXPECT_FALSE(compare::CheckStudyProblem(soundWave(1e-3), "Orvane", 50));

        const auto loud = compare::CheckStudyProblem(soundWave(2e-3), "Orvane", 50);
        ASSERT_TRUE(loud);
        EXPECT_NE(loud->find("not linear"), std::string::npos) << *loud;

        // The default problem's three states between walls: their waves meet
        // long before its stop time.
        const auto walls = compare::CheckStudyProblem(
            [](const std::string& scheme, long n, std::string&) {
                ExperimentState s = freshState(scheme, n);
                SetUpDefaultProblem(s);
                RefreshTimeScales(s);
                return std::optional<ExperimentState>(std::move(s));
            },
            "Orvane", 50);
        ASSERT_TRUE(walls);
        EXPECT_NE(walls->find("holds only until"), std::string::npos) << *walls;
    }

    // The rows, their errors against the exact Riemann solution at the end
    // of each run, and the orders between resolutions.
    TEST(ConvergenceStudy, ShockTubeRowsCarryTheL1ErrorsOfEachRun)
    {
        const std::vector<std::string> schemes { "Orvane", "Sorvi" };
        const std::vector<long> cells { 40, 80 };
        int calls = 0;
        const compare::StudyResult r
            = compare::RunConvergenceStudy(schemes, cells, shockTube(1), 2, nullptr, [&](int done, int total) {
                  EXPECT_EQ(done, ++calls);
                  EXPECT_EQ(total, 4);
              });
        EXPECT_EQ(calls, 4);
        ASSERT_EQ(r.failure, "");
        EXPECT_EQ(r.kind, compare::StudyKind::Riemann);
        ASSERT_EQ(r.rows.size(), 4u);
        for (std::size_t i = 0; i < 4; ++i) {
            const compare::StudyRow& row = r.rows[i];
            EXPECT_EQ(row.scheme, schemes[i / 2]);
            EXPECT_EQ(row.cells, cells[i % 2]);

            // The same run by the metronome, measured with the exact module's own L1.
            ExperimentState alone = testState(row.scheme, 1, row.cells);
            const exact::ExactSolution e = exactOf(alone);
            tickToEnd(alone);
            const exact::L1Distance d = exact::L1FromExact(alone, e.cellAverages(alone.TimeNow));
            EXPECT_EQ(row.errors[0], d.rho);
            EXPECT_EQ(row.errors[1], d.u);
            EXPECT_EQ(row.errors[2], d.p);
            EXPECT_GT(row.seconds, 0);
            EXPECT_GT(row.cellUpdatesPerSecond, 0);
        }
        for (std::size_t k = 0; k < 2; ++k) {
            EXPECT_TRUE(std::isnan(r.rows[2 * k].order));
            // A shock tube converges at about first order in L1.
            EXPECT_GT(r.rows[2 * k + 1].order, 0.4);
            EXPECT_LT(r.rows[2 * k + 1].order, 1.5);
            EXPECT_LT(r.rows[2 * k + 1].errors[0], r.rows[2 * k].errors[0]);
            EXPECT_NEAR(r.fittedOrder(schemes[k]), r.rows[2 * k + 1].order, 1e-12);
        }
    }

    TEST(ConvergenceStudy, ASmallSoundWaveIsMeasuredInItsInvariants)
    {
        const compare::StudyResult r
            = compare::RunConvergenceStudy({ "Orvane" }, { 32, 64, 128 }, soundWave(1e-4), 2);
        ASSERT_EQ(r.failure, "");
        EXPECT_EQ(r.kind, compare::StudyKind::SoundWave);
        ASSERT_EQ(r.rows.size(), 3u);
        for (const compare::StudyRow& row : r.rows) {
            // The wave is in R+: its error stands above those of R- and the entropy.
            EXPECT_GT(row.errors[0], 0);
            EXPECT_GT(row.errors[0], row.errors[1]);
            EXPECT_GT(row.errors[0], row.errors[2]);
        }
        // A smooth wave converges at more than first order.
        EXPECT_GT(r.fittedOrder("Orvane"), 1.5);

        // At time 0 the exact solution is the initial grid itself.
        const ExperimentState s = waveState("Orvane", 1e-4, 64);
        const auto e0 = compare::StudyErrorsAt(s, exactOf(s));
        for (double e : e0)
            EXPECT_LT(e, 1e-12);
    }

    TEST(ConvergenceStudy, CancelKeepsTheFinishedRows)
    {
        std::atomic<bool> cancel { false };
        const compare::StudyResult r = compare::RunConvergenceStudy(
            { "Orvane", "Sorvi" }, { 40, 80 }, shockTube(1), 1, &cancel, [&](int, int) { cancel = true; });
        EXPECT_TRUE(r.cancelled);
        EXPECT_EQ(r.failure, "");
        ASSERT_EQ(r.rows.size(), 1u); // the first run to finish: the largest grid goes first
        EXPECT_EQ(r.rows[0].cells, 80);
    }

} // namespace
} // namespace tamrel::testing
