// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <atomic>
#include <cmath>

#include "CompareTestStates.h"
#include "compare/ConvergenceOrder.h"
#include "compare/ConvergenceStudy.h"
#include "exact/ExactPlots.h"
#include "exact/InitialGrid.h"

namespace tamrel::testing {
namespace {

    compare::PrepareStudyRun shockTube(int k)
    {
        return [k](const std::string& scheme, long n, bool, std::string&) {
            return std::optional<ExperimentState>(testState(scheme, k, n));
        };
    }

    compare::PrepareStudyRun soundWave(double a)
    {
        return [a](const std::string& scheme, long n, bool mirrored, std::string&) {
            ExperimentState s = waveState(scheme, mirrored ? -a : a, n);
            s.Periods = 0.25; // a quarter time unit is enough to move the wave
            s.TStop = s.TimeUnit * s.Periods;
            return std::optional<ExperimentState>(std::move(s));
        };
    }

    // An R+ wave of amplitude a over a mean flow u0, run for `periods` time units.
    compare::PrepareStudyRun movingWave(double a, double u0, double periods = 0.25)
    {
        return [a, u0, periods](const std::string& scheme, long n, bool mirrored, std::string&) {
            ExperimentState s = freshState(scheme, n);
            SetUpDefaultProblem(s);
            RefreshTimeScales(s);
            s.RPlusAmplitude = mirrored ? -a : a;
            s.RMinusAmplitude = 0;
            s.R0Amplitude = 0;
            s.U0 = u0;
            s.Periods = periods;
            StartSoundWaveExperiment(s);
            SetUpSoundWaveState(s);
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

        // No wave at all: the reason says so, rather than ending at a colon.
        const auto flat = compare::CheckStudyProblem(soundWave(0), "Orvane", 50);
        ASSERT_TRUE(flat);
        EXPECT_EQ(*flat,
            "the sound wave has no exact linear solution: its grid is one constant state, with no wave to measure "
            "(every amplitude is 0)");

        // The default problem's three states between walls: their waves meet
        // long before its stop time.
        const auto walls = compare::CheckStudyProblem(
            [](const std::string& scheme, long n, bool, std::string&) {
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

    // Against the linearised solution alone the errors of a wave of 1e-3
    // stop near 1e-7 (the linearisation's own error, the amplitude squared);
    // against the odd part of the wave and its mirror Orvane keeps
    // converging at its order down to the finest grid.
    TEST(ConvergenceStudy, TheMirroredWaveLeavesNoLinearisationFloor)
    {
        const compare::StudyResult r
            = compare::RunConvergenceStudy({ "Orvane" }, { 32, 64, 128, 256 }, movingWave(1e-3, 0.5), 2);
        ASSERT_EQ(r.failure, "");
        ASSERT_EQ(r.rows.size(), 4u);
        for (std::size_t k = 1; k < 4; ++k) {
            EXPECT_GT(r.rows[k].order, 2.3) << r.rows[k].cells;
            EXPECT_FALSE(r.rows[k].floored);
        }
        EXPECT_LT(r.rows[3].orderError(r.kind), 3e-8);

        // The wave alone against its own linear solution, as before: floored.
        const auto prepare = movingWave(1e-3, 0.5);
        std::string why;
        ExperimentState alone = *prepare("Orvane", 256, false, why);
        const exact::ExactSolution e = exactOf(alone);
        tickToEnd(alone);
        const auto plain = compare::StudyErrorsAt(alone, e);
        EXPECT_GT(plain[0] + plain[1] + plain[2], 5 * r.rows[3].orderError(r.kind));
    }

    // The lesson the sound-wave sheet sets: Orvane on an R+ wave of 1e-4 at
    // rest over 16..512 cells shows its order, every step of it finite.
    TEST(ConvergenceStudy, OrvaneShowsItsOrderOnTheSheetsWave)
    {
        const compare::StudyResult r = compare::RunConvergenceStudy(
            { "Orvane" }, { 16, 32, 64, 128, 256, 512 }, movingWave(1e-4, 0, 1.5), 2);
        ASSERT_EQ(r.failure, "");
        ASSERT_EQ(r.rows.size(), 6u);
        for (std::size_t k = 1; k < r.rows.size(); ++k)
            EXPECT_TRUE(std::isfinite(r.rows[k].order) && r.rows[k].order > 1) << r.rows[k].cells;
        EXPECT_GE(r.fittedOrder("Orvane"), 2.5);
    }

    // A single-precision scheme stops converging where its rounding takes
    // over (on a wave of 1e-4 from a few tens of cells on): from there on the
    // rows are marked and left out of the fit.
    TEST(ConvergenceStudy, SinglePrecisionFloorIsMarkedNotFitted)
    {
        const std::vector<long> cells { 16, 32, 64, 128, 256, 512 };
        const compare::StudyResult r
            = compare::RunConvergenceStudy({ "Orvane32", "Orvane" }, cells, movingWave(1e-4, 0.5, 1.5), 2);
        ASSERT_EQ(r.failure, "");
        ASSERT_EQ(r.rows.size(), 2 * cells.size());
        const auto single = r.rowsOf("Orvane32");
        EXPECT_FALSE(single.front()->floored);
        EXPECT_TRUE(single.back()->floored);
        std::vector<long> n;
        std::vector<double> e;
        for (std::size_t k = 0; k < single.size(); ++k) {
            if (k > 0 && single[k - 1]->floored) { // the floor, once reached, stays
                EXPECT_TRUE(single[k]->floored) << single[k]->cells;
            }
            if (!single[k]->floored) {
                n.push_back(single[k]->cells);
                e.push_back(single[k]->orderError(r.kind));
            }
        }
        const double fitted = r.fittedOrder("Orvane32"), unfloored = compare::FittedOrder(n, e);
        EXPECT_TRUE(fitted == unfloored || (std::isnan(fitted) && std::isnan(unfloored)));
        // The double-precision template on the same wave lies far above its
        // own rounding: nothing marked, and its order is the one the lab aims at.
        for (const compare::StudyRow* row : r.rowsOf("Orvane"))
            EXPECT_FALSE(row->floored) << row->cells;
        EXPECT_GE(r.fittedOrder("Orvane"), 2.5);
    }

    TEST(ConvergenceStudy, WarnsWhenTheVelocityFloorCutsTheWave)
    {
        struct Case {
            double a, u0;
            bool warned;
        };
        const Case cases[] = {
            { 1e-6, 0, true }, // 110 of 512 cells ended at vx = 0 exactly
            { 1e-4, 0, true }, // velocity amplitude 5e-5: the floor shows at 512 cells
            { 1e-3, 0, false }, { 1e-6, 0.5, false }, // the velocity never comes near 0
        };
        for (const Case& c : cases) {
            const auto warning = compare::StudyProblemWarning(movingWave(c.a, c.u0), "Orvane", 64);
            EXPECT_EQ(warning.has_value(), c.warned) << c.a << " " << c.u0;
            if (warning) {
                EXPECT_NE(warning->find("VXEpsilon = 1e-08"), std::string::npos) << *warning;
            }
        }
        EXPECT_FALSE(compare::StudyProblemWarning(shockTube(1), "Orvane", 64));
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
