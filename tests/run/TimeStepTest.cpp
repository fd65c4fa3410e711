// SPDX-License-Identifier: GPL-3.0-or-later
// The time step with stand-in kernels: strips, Courant-number control,
// snapshots, the end of the run, the meter, threads and faults.

#include <chrono>
#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "FakeKernels.h"
#include "RunTestStates.h"
#include "run/BoundaryFill.h"
#include "run/RunControl.h"
#include "run/TimeStep.h"

namespace tamrel {
namespace {

    using testing::fakeKernel;
    using testing::shockTubeState;

    class TimeStepTest : public ::testing::Test {
    protected:
        void SetUp() override
        {
            testing::resetFakeKernel();
            stepper.setSchemeLookup(testing::findFakeScheme);
        }

        // A begun run of the fake scheme.
        ExperimentState running(long n, const std::string& scheme)
        {
            auto s = shockTubeState(n, scheme);
            s.SchemeName = scheme;
            EXPECT_EQ(BeginRun(s), BeginStatus::Started);
            return s;
        }

        TimeStep stepper;
    };

    TEST_F(TimeStepTest, StripPlans)
    {
        struct Case {
            long n, longest, strips, first, last;
        };
        const Case cases[] = {
            { 101, 100, 2, 51, 50 },
            { 5000, 100, 50, 100, 100 },
            { 5000, 4096, 2, 2500, 2500 },
            { 100, 100, 1, 100, 100 },
            { 450, 200, 3, 150, 150 },
            { 401, 200, 3, 134, 133 },
            { 6, 200, 1, 6, 6 },
        };
        for (const auto& c : cases) {
            const auto plan = TimeStep::planStrips(c.n, c.longest);
            ASSERT_EQ(static_cast<long>(plan.size()), c.strips) << c.n;
            EXPECT_EQ(plan.front().length, c.first) << c.n;
            EXPECT_EQ(plan.back().length, c.last) << c.n;
            long covered = 0;
            for (const auto& st : plan) {
                EXPECT_EQ(st.start, covered);
                covered += st.length;
            }
            EXPECT_EQ(covered, c.n);
        }
    }

    // Every scheme hands each strip its own cells and ghost cells: the stand-in's
    // neighbour average over strips equals the same average over the whole grid.
    TEST_F(TimeStepTest, StripsSeeTheWholeGrid)
    {
        struct Case {
            const char* scheme;
            long n;
        };
        for (const auto& c : { Case { "Orvane", 101 }, Case { "Orvane32", 450 }, Case { "Lentor32", 401 },
                 Case { "Sorvi", 250 }, Case { "Mixtal32", 300 } }) {
            SCOPED_TRACE(c.scheme);
            auto s = running(c.n, c.scheme);
            fakeKernel().fixedCourant = 0.8;
            for (long i = 1; i <= c.n; ++i) // make every cell different
                s.P[i] += 0.001 * i;
            auto ref = s;
            FillGhostCells(ref);
            ASSERT_EQ(stepper.attempt(s), AttemptResult::Accepted);
            EXPECT_EQ(fakeKernel().layoutErrors, 0);

            const bool single = std::string(c.scheme) != "Orvane";
            auto expected = [&](const BoundedArray<double>& q, long i) {
                if (!single)
                    return q[i] + 0.05 * (q[i - 1] - 2.0 * q[i] + q[i + 1]);
                auto f = [&](long j) { return static_cast<float>(q[j]); };
                return static_cast<double>(f(i) + 0.05f * (f(i - 1) - 2.0f * f(i) + f(i + 1)));
            };
            for (long i = 1; i <= c.n; ++i) {
                ASSERT_EQ(s.P[i], expected(ref.P, i)) << i;
                ASSERT_EQ(s.Rho[i], expected(ref.Rho, i)) << i;
                ASSERT_EQ(s.VX[i], std::fabs(expected(ref.VX, i)) < 1e-8 ? 0.0 : expected(ref.VX, i)) << i;
                const std::string name = c.scheme;
                // Sorvi carries no smoke; under Mixtal32 the smoke is the fluid-2 fraction.
                const double smoke = name == "Sorvi"
                    ? 0.0
                    : (name == "Mixtal32" ? expected(ref.FFrac, i) : expected(ref.FSmoke, i));
                ASSERT_EQ(s.FSmoke[i], smoke) << i;
            }
            if (std::string(c.scheme) == "Mixtal32") {
                EXPECT_EQ(s.Rho2[7], expected(ref.Rho2, 7));
            }
            EXPECT_EQ(s.TimeNow, ref.Dt);
            EXPECT_EQ(s.NCycle, ref.NCycle + 1);
        }
    }

    TEST_F(TimeStepTest, FloorsAfterAcceptance)
    {
        auto s = running(20, "Orvane");
        fakeKernel().fixedCourant = 0.8;
        fakeKernel().k = 0; // the kernel returns its input
        s.Rho[4] = 1e-12;
        s.P[5] = -3;
        s.VX[6] = 5e-9;
        s.VY[7] = -5e-9;
        ASSERT_EQ(stepper.attempt(s), AttemptResult::Accepted);
        EXPECT_EQ(s.Rho[4], s.RhoFloor);
        EXPECT_EQ(s.P[5], s.PFloor);
        EXPECT_EQ(s.VX[6], 0.0);
        EXPECT_EQ(s.VY[7], 0.0);
    }

    TEST_F(TimeStepTest, CourantOfOneRejectsAndLeavesTheGrid)
    {
        auto s = running(50, "Orvane");
        s.Dt = 0.001;
        fakeKernel().courantPerDt = 1000; // Courant 1000 Dt: exactly 1 now
        const auto before = s;
        ASSERT_EQ(stepper.attempt(s), AttemptResult::Rejected);
        EXPECT_EQ(s.Dt, 0.9 * 0.001);
        EXPECT_EQ(s.TimeNow, 0.0);
        EXPECT_EQ(s.NCycle, before.NCycle + 1);
        for (long i = 1; i <= 50; ++i)
            ASSERT_EQ(s.Rho[i], before.Rho[i]);

        // The whole step: one rejection, then Courant 0.9 is accepted and cut back.
        s = before;
        const auto r = stepper.advance(s);
        EXPECT_EQ(r.outcome, AttemptResult::Accepted);
        EXPECT_EQ(r.rejections, 1);
        EXPECT_EQ(s.TimeNow, 0.9 * 0.001);
        EXPECT_EQ(s.Dt, (0.85 / r.courant) * (0.9 * 0.001));
    }

    TEST_F(TimeStepTest, StepSizeControl)
    {
        struct Case {
            double courant, dtPlot, expected;
        };
        const double dt = 1.0 / 1024;
        const Case cases[] = {
            { 0.9 * 0.85, 1, dt }, // exactly 0.9 CourantNumber: unchanged
            { 0.85, 1, dt }, // at the target: unchanged
            { 0.5, 1, 1.025 * dt }, // well below: grow
            { 0.5, 1.01 * dt, 1.01 * dt }, // ... capped at DtPlot
            { 0.95, 1, (0.85 / 0.95) * dt }, // above: cut in proportion
        };
        for (const auto& c : cases) {
            auto s = running(20, "Orvane");
            s.Dt = dt;
            s.DtPlot = c.dtPlot;
            s.TNextPlot = 1;
            fakeKernel().fixedCourant = c.courant;
            ASSERT_EQ(stepper.attempt(s), AttemptResult::Accepted);
            EXPECT_EQ(s.Dt, c.expected) << c.courant;
            EXPECT_EQ(s.TNextPlot, 1 - dt);
        }
    }

    // Binary fractions keep the time arithmetic exact: Dt = 1/256, a snapshot
    // every 4 steps.
    ExperimentState exactClock(ExperimentState s)
    {
        s.Dt = 1.0 / 256;
        s.DtPlot = 1.0 / 64;
        s.TNextPlot = s.DtPlot;
        fakeKernel().fixedCourant = 0.8; // between 0.9 CourantNumber and CourantNumber: Dt stays
        return s;
    }

    // The step that would cross TStop is shortened to end on it, and the
    // state at TStop is the last row; the snapshots before it keep their
    // spacing, and a TStop on a snapshot time gives one row, not two.
    TEST_F(TimeStepTest, TheRunEndsExactlyAtItsStopTimeWithALastRow)
    {
        struct Case {
            const char* what;
            double tStop;
            long steps; // accepted, the shortened one included
            long rows; // NStoredStates at the end
        };
        const Case cases[] = {
            { "between two steps", 11.0 / 512, 6, 3 },
            { "on a step between snapshots", 5.0 / 256, 5, 3 },
            { "on a snapshot time", 8.0 / 256, 8, 3 },
            { "within the first step", 1.0 / 1024, 1, 2 },
        };
        for (const auto& c : cases) {
            SCOPED_TRACE(c.what);
            auto s = exactClock(running(100, "Orvane"));
            s.TStop = c.tStop;
            long reported = 0;
            const auto t = stepper.runTickSteps(s, 100, {}, [&](const ExperimentState& st, const StepReport& r) {
                ++reported;
                EXPECT_TRUE(r.rowStored);
                EXPECT_EQ(r.row, st.NStoredStates - 1);
                EXPECT_EQ(st.StoredTime[r.row], st.TimeNow);
            });
            EXPECT_EQ(t.stepsRun, c.steps);
            EXPECT_TRUE(t.runEnded);
            EXPECT_FALSE(t.historyEnded);
            EXPECT_TRUE(t.spaceTimeDue);
            EXPECT_EQ(reported, c.rows - 1);
            EXPECT_EQ(s.Stopped, 1);
            EXPECT_EQ(s.TimeNow, c.tStop);
            EXPECT_EQ(s.Dt, 1.0 / 256); // the step size in force, not the shortened one
            ASSERT_EQ(s.NStoredStates, c.rows);
            EXPECT_EQ(s.StoredStateShown, c.rows - 1);
            EXPECT_EQ(s.STRowOffset, c.rows * 102);
            for (long r = 1; r + 1 < c.rows; ++r)
                EXPECT_EQ(s.StoredTime[r], r * (4.0 / 256));
            EXPECT_EQ(s.StoredTime[c.rows - 1], c.tStop);
            EXPECT_EQ(s.STRho[(c.rows - 1) * 102 + 50], static_cast<float>(s.Rho[50]));

            // Nothing is left to run: a further tick steps nothing.
            s.Stopped = 0;
            const auto cycles = s.NCycle;
            EXPECT_TRUE(stepper.runTickSteps(s, 5).runEnded);
            EXPECT_EQ(s.NCycle, cycles);
            EXPECT_EQ(s.Stopped, 1);
        }
    }

    // A history too short for the run (the memory limit capped it) ends the
    // run with its last row and says so; it never steps on without storing.
    TEST_F(TimeStepTest, AFullHistoryEndsTheRunWithItsLastRow)
    {
        auto s = exactClock(running(100, "Orvane"));
        s.TStop = 1;
        allocateHistoryRows(s, 3);
        s.StoredTime[0] = 0;
        long stored = 0;
        const auto t = stepper.runTickSteps(
            s, 100, {}, [&](const ExperimentState&, const StepReport& r) { stored += r.rowStored ? 1 : 0; });
        EXPECT_TRUE(t.runEnded);
        EXPECT_TRUE(t.historyEnded);
        EXPECT_FALSE(t.faulted);
        EXPECT_EQ(t.stepsRun, 8);
        EXPECT_EQ(stored, 2);
        EXPECT_EQ(s.Stopped, 1);
        EXPECT_EQ(s.NStoredStates, 3); // rows 0..2
        EXPECT_EQ(s.StoredTime[2], 8.0 / 256);
        EXPECT_EQ(s.TimeNow, 8.0 / 256);
        EXPECT_NE(t.fault.message.find("history is full"), std::string::npos) << t.fault.message;
        EXPECT_NE(t.fault.message.find("t=0.03125"), std::string::npos) << t.fault.message;
    }

    // Begin sizes the history for the run to TStop: at least NPlotsTotal rows,
    // more when TStop needs them, never past the memory limit.
    TEST(RunHistory, RowsCoverTheRunToTStop)
    {
        struct Case {
            const char* what;
            long n, plotsTotal;
            double tStop, dtPlot;
            long rows;
        };
        const Case cases[] = {
            { "NPlotsTotal covers it", 100, 600, 1.5, 1.0 / 400, 602 },
            { "TStop past NPlotsTotal (Test 7)", 100, 600, 2.0, 1.0 / 400, 802 },
            { "TStop within the first interval (Test 4)", 100, 600, 1.0, 2.1, 600 },
            { "a few rows only", 100, 3, 5.0 / 64, 1.0 / 64, 7 },
            { "past the memory limit", 5000, 600, 2.0, 1.0 / 4000, 33554431 / 5002 },
            { "no snapshot clock yet", 100, 600, 1.0, 0.0, 600 },
        };
        for (const auto& c : cases) {
            SCOPED_TRACE(c.what);
            ExperimentState s;
            s.NGridCells = c.n;
            s.NPlotsTotal = c.plotsTotal;
            s.TStop = c.tStop;
            s.DtPlot = c.dtPlot;
            EXPECT_EQ(RunHistoryRows(s), c.rows);
        }
    }

    // A time step that has collapsed halts the run before the next step with a
    // message naming the time, the cycle and the cell that limits the step.
    TEST_F(TimeStepTest, ACollapsedTimeStepHaltsTheRun)
    {
        struct Case {
            const char* what;
            double tStop, dt;
            const char* says;
        };
        const Case cases[] = {
            { "below 1e-9 of TStop", 1.0, 0.9e-9, "below 1E-09 of the stop time" },
            { "more than 1e8 steps left", 1.0, 0.99e-8, "more than 100000000 steps" },
        };
        for (const auto& c : cases) {
            SCOPED_TRACE(c.what);
            auto s = running(100, "Orvane");
            s.TStop = c.tStop;
            s.VX[37] = 50; // the fastest cell
            s.Dt = c.dt;
            const auto before = s;
            const auto t = stepper.runTickSteps(s, 5);
            EXPECT_TRUE(t.faulted);
            EXPECT_EQ(t.stepsRun, 0);
            EXPECT_EQ(s.Stopped, 1);
            EXPECT_EQ(s.TimeNow, before.TimeNow);
            EXPECT_EQ(s.NCycle, before.NCycle);
            const std::string& m = t.fault.message;
            EXPECT_NE(m.find(c.says), std::string::npos) << m;
            EXPECT_NE(m.find("t=0 (cycle " + std::to_string(before.NCycle) + ")"), std::string::npos) << m;
            EXPECT_NE(m.find("Cell 37 "), std::string::npos) << m;
        }
        // Just above both limits the run steps on.
        auto s = running(100, "Orvane");
        s.TStop = 1;
        s.Dt = 1.01e-8;
        EXPECT_EQ(stepper.advance(s).outcome, AttemptResult::Accepted);
    }

    TEST_F(TimeStepTest, SpaceTimeRepaintEveryThousandOverNRows)
    {
        auto s = exactClock(running(100, "Orvane")); // every 10th row
        s.TStop = 100;
        long due = 0, stored = 0;
        stepper.runTickSteps(s, 4 * 25, {}, [&](const ExperimentState& st, const StepReport& r) {
            ++stored;
            if (r.spaceTimeDue) {
                ++due;
                EXPECT_EQ(st.NStoredStates % 10, 0);
            }
        });
        EXPECT_EQ(stored, 25);
        EXPECT_EQ(due, 2); // at 10 and 20 stored rows
    }

    TEST_F(TimeStepTest, MeterCountsRepetitionsAndCells)
    {
        auto s = running(100, "Orvane");
        s.MeterOn = 1;
        fakeKernel().fixedCourant = 0.8;
        fakeKernel().opsPerCall = 40000;
        ASSERT_EQ(stepper.attempt(s), AttemptResult::Accepted);
        EXPECT_EQ(stepper.lastRepetitions(), 801);
        EXPECT_EQ(fakeKernel().calls, 801);
        EXPECT_EQ(stepper.lastCounts()[0], 40000LL * 801);
        EXPECT_DOUBLE_EQ(s.MflopsTotal, 40000.0 * 801 * 1e-6);
        EXPECT_GT(s.MeterSeconds, 0.0);
        EXPECT_EQ(s.MflopRate, s.MflopsTotal / s.MeterSeconds);

        const auto texts = FlopMeterTexts(s, stepper.lastCounts(), stepper.lastRepetitions());
        EXPECT_EQ(texts.buttons[0], "Mflop/s");
        EXPECT_EQ(texts.buttons[4], "400");
        EXPECT_EQ(texts.label,
            "flops / cell = 400,    adds / cell = 1,    mults / cell = 2,    cvmgms / cell = 4,    "
            "recips / cell = 3,    sqrts / cell = 11.0,    exps / cell = 7,    ");

        // Without the meter: one call, no totals.
        s.MeterOn = 0;
        s.MflopsTotal = 0;
        fakeKernel().calls = 0;
        ASSERT_EQ(stepper.attempt(s), AttemptResult::Accepted);
        EXPECT_EQ(fakeKernel().calls, 1);
        EXPECT_EQ(s.MflopsTotal, 0.0);
    }

    TEST(FlopMeter, NoRateBeforeAnyTimeWasMeasured)
    {
        ExperimentState s;
        s.NGridCells = 100;
        OpCounts c {};
        c[0] = 1000;
        UpdateFlopMeter(s, 0.0, c);
        EXPECT_EQ(s.MflopRate, 0.0);
        EXPECT_EQ(FlopMeterTexts(s, c, 1).buttons[1], "-");
        UpdateFlopMeter(s, 0.5, c);
        EXPECT_DOUBLE_EQ(s.MflopRate, 0.002 / 0.5);
        EXPECT_EQ(FlopMeterTexts(s, c, 1).buttons[1], "0");
    }

    // Two threads give the very same run as one, bit for bit, whether the
    // second thread takes every step or only those where it pays.
    TEST_F(TimeStepTest, TwoThreadsEqualOneThread)
    {
        for (const bool always : { true, false })
            for (const char* scheme : { "Orvane", "Orvane32", "Mixtal32", "Sorvi" }) {
                SCOPED_TRACE(scheme);
                SCOPED_TRACE(always ? "every step on two threads" : "two threads while they pay");
                // Strips of equal length, an odd number of them, a short last one.
                for (const long n : std::string(scheme) == "Mixtal32" ? std::vector<long> { 5000, 4099 }
                                                                      : std::vector<long> { 1000, 301 }) {
                    SCOPED_TRACE(n);
                    auto one = running(n, scheme);
                    auto two = one;
                    TimeStep a(1), b(2);
                    a.setSchemeLookup(testing::findFakeScheme);
                    b.setSchemeLookup(testing::findFakeScheme);
                    b.setSecondThreadAlways(always);
                    const auto ta = a.runTickSteps(one, 30);
                    const auto tb = b.runTickSteps(two, 30);
                    ASSERT_FALSE(ta.faulted);
                    EXPECT_EQ(ta.stepsRun, tb.stepsRun);
                    EXPECT_EQ(a.lastCounts(), b.lastCounts());
                    EXPECT_EQ(one.Dt, two.Dt);
                    EXPECT_EQ(one.TimeNow, two.TimeNow);
                    EXPECT_EQ(one.NStoredStates, two.NStoredStates);
                    for (const auto& [x, y] : { std::pair { &one.Rho, &two.Rho }, { &one.P, &two.P },
                             { &one.VX, &two.VX }, { &one.FSmoke, &two.FSmoke } })
                        EXPECT_EQ(
                            std::memcmp(x->ptr(x->lower()), y->ptr(y->lower()), sizeof(double) * x->size()), 0);
                    EXPECT_EQ(std::memcmp(one.STP.ptr(0), two.STP.ptr(0), sizeof(float) * one.STP.size()), 0);
                    if (one.Rho2.size() > 0) { // the fluid arrays of a two-fluid scheme
                        EXPECT_EQ(std::memcmp(one.Rho2.ptr(1), two.Rho2.ptr(1), sizeof(double) * n), 0);
                    }
                }
            }
    }

    TEST_F(TimeStepTest, BudgetEndsTheTickEarlyWithoutChangingTheSteps)
    {
        auto a = running(300, "Orvane");
        auto b = a;
        const auto whole = stepper.runTickSteps(a, 6);
        EXPECT_EQ(whole.stepsRun, 6);
        long total = 0;
        while (total < 6) {
            const auto t = stepper.runTickSteps(b, 6 - total, std::chrono::nanoseconds(1));
            ASSERT_EQ(t.stepsRun, 1);
            EXPECT_EQ(t.outOfTime, total < 5);
            total += t.stepsRun;
        }
        EXPECT_EQ(a.TimeNow, b.TimeNow);
        EXPECT_EQ(a.Dt, b.Dt);
        for (long i = 1; i <= 300; ++i)
            ASSERT_EQ(a.Rho[i], b.Rho[i]);
    }

    TEST_F(TimeStepTest, TickRunsStepsPerTickThenFillsAndWidens)
    {
        auto s = running(100, "Orvane");
        s.MultiplePlots = 1;
        s.TNextPlot = 1; // no snapshot in this tick
        const auto t = RunTick(s, stepper);
        EXPECT_EQ(t.stepsRun, 3);
        EXPECT_EQ(s.MultiplePlots, 0);
        EXPECT_EQ(s.Rho[-1], s.Rho[1]); // continuation ghost cells after the steps

        s.Stopped = 1;
        const auto cycle = s.NCycle;
        EXPECT_EQ(RunTick(s, stepper).stepsRun, 0);
        EXPECT_EQ(s.NCycle, cycle);
    }

    // A fault leaves the grid as it was, also when the second thread runs the
    // strip that failed (strips from the back: cell 290 of 300) and the first
    // has moved its own cells into the grid had the attempt been accepted.
    TEST_F(TimeStepTest, FaultsLeaveTheGridAndStopTheRun)
    {
        struct Case {
            const char* what;
            double fixedCourant;
            long nanCell;
            const char* scheme;
            int threads;
        };
        const Case cases[] = {
            { "NaN Courant", std::nan(""), -1, "Orvane", 1 },
            { "non-finite new state", 0.5, 37, "Orvane", 1 },
            { "non-finite new state, single", 0.5, 205, "Lentor32", 1 },
            { "non-finite new state in the last strip, two threads", 0.5, 290, "Orvane", 2 },
            { "non-finite new state in the last strip, single, two threads", 0.5, 290, "Orvane32", 2 },
            { "endless rejection", 2.0, -1, "Orvane", 1 },
        };
        for (const auto& c : cases) {
            SCOPED_TRACE(c.what);
            testing::resetFakeKernel();
            TimeStep stepper(c.threads);
            stepper.setSchemeLookup(testing::findFakeScheme);
            stepper.setSecondThreadAlways(true);
            auto s = running(300, c.scheme);
            fakeKernel().fixedCourant = c.fixedCourant;
            fakeKernel().nanCell = c.nanCell;
            const auto before = s;
            const auto t = stepper.runTickSteps(s, 5);
            EXPECT_TRUE(t.faulted);
            EXPECT_EQ(t.stepsRun, 0);
            EXPECT_EQ(s.Stopped, 1);
            EXPECT_EQ(s.TimeNow, before.TimeNow);
            EXPECT_EQ(s.Dt, before.Dt);
            EXPECT_GT(t.fault.cycle, before.NCycle);
            EXPECT_NE(t.fault.message.find("cycle"), std::string::npos);
            if (c.nanCell > 0) {
                EXPECT_NE(t.fault.message.find("cell " + std::to_string(c.nanCell) + " "), std::string::npos);
            }
            for (long i = 1; i <= 300; ++i) {
                ASSERT_EQ(s.Rho[i], before.Rho[i]);
                ASSERT_EQ(s.VX[i], before.VX[i]);
            }
        }
        EXPECT_EQ(fakeKernel().calls, TimeStep::kMaxRejections * 3); // three strips, 60 attempts
    }

    // One fast cell in the last strip rejects the attempt: with two threads
    // neither moves its cells into the grid.
    TEST_F(TimeStepTest, ARejectionInTheLastStripLeavesEveryCell)
    {
        for (const int threads : { 1, 2 }) {
            SCOPED_TRACE(threads);
            TimeStep stepper(threads);
            stepper.setSchemeLookup(testing::findFakeScheme);
            stepper.setSecondThreadAlways(true);
            auto s = running(300, "Orvane32");
            s.Dt = 1e-3;
            s.VX[295] = 400; // Courant 120 there, below 1 elsewhere
            const auto before = s;
            ASSERT_EQ(stepper.attempt(s), AttemptResult::Rejected);
            for (long i = 1; i <= 300; ++i) {
                ASSERT_EQ(s.Rho[i], before.Rho[i]) << i;
                ASSERT_EQ(s.P[i], before.P[i]) << i;
                ASSERT_EQ(s.VX[i], before.VX[i]) << i;
            }
        }
    }

    TEST_F(TimeStepTest, UnknownSchemeOrNoTimeStepIsNeverRun)
    {
        auto s = running(50, "Orvane");
        s.SchemeName = "Quux";
        auto t = stepper.runTickSteps(s, 3);
        EXPECT_TRUE(t.faulted);
        EXPECT_NE(t.fault.message.find("Quux"), std::string::npos);
        EXPECT_EQ(fakeKernel().calls, 0);

        s.SchemeName = "Orvane";
        s.Stopped = 0;
        s.Dt = 0;
        t = stepper.runTickSteps(s, 3);
        EXPECT_TRUE(t.faulted);
        EXPECT_EQ(s.TimeNow, 0.0);
        EXPECT_EQ(fakeKernel().calls, 0);
    }

} // namespace
} // namespace tamrel
