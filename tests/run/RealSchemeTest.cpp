// SPDX-License-Identifier: GPL-3.0-or-later
// The time step with the real schemes: the default blast between reflecting
// walls keeps its mass, two threads give the run of one, bit for bit, and
// two copies of an experiment advanced in turn give the run of one alone.

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "RunTestStates.h"
#include "kernels/SchemeTable.h"
#include "run/DefaultProblem.h"
#include "run/RunControl.h"
#include "run/TimeStep.h"

namespace tamrel {
namespace {

    double mass(const ExperimentState& s)
    {
        double m = 0;
        for (long i = 1; i <= s.NGridCells; ++i)
            m += s.Rho[i] * (s.X[i + 1] - s.X[i]);
        return m;
    }

    // The default problem (pressures 1000 | 0.01 | 100, reflecting walls) under
    // the given scheme, begun.
    ExperimentState defaultRun(const std::string& scheme)
    {
        ExperimentState s;
        StartUpState(s);
        s.SchemeName = scheme;
        AllocateArrays(s);
        SetUpDefaultProblem(s);
        RefreshTimeScales(s);
        EXPECT_EQ(BeginRun(s), BeginStatus::Started);
        return s;
    }

    TEST(RealSchemes, MassIsKeptBetweenReflectingWalls)
    {
        for (const auto& k : kernels::allSchemes()) {
            const std::string name(k.name);
            SCOPED_TRACE(name);
            auto s = defaultRun(name);
            const double m0 = mass(s);
            TimeStep stepper;
            for (int tick = 0; tick < 20; ++tick) {
                const auto t = RunTick(s, stepper);
                ASSERT_FALSE(t.faulted) << t.fault.message;
            }
            EXPECT_GT(s.TimeNow, 0.0);
            EXPECT_GT(s.NStoredStates, 1);
            EXPECT_LT(s.P[20], 1000.0); // the blast has moved
            const double tolerance = k.singlePrecision() ? 1e-5 : 1e-12;
            EXPECT_NEAR(mass(s), m0, tolerance * m0);
        }
    }

    TEST(RealSchemes, TwoThreadsEqualOneThread)
    {
        for (const auto& k : kernels::allSchemes()) {
            const std::string name(k.name);
            SCOPED_TRACE(name);
            auto one = testing::shockTubeState(k.twoFluid ? 5000 : 1000, name);
            ASSERT_EQ(BeginRun(one), BeginStatus::Started);
            one.MeterOn = 1; // repetitions and counters too
            auto two = one;
            TimeStep a(1), b(2);
            const auto ta = a.runTickSteps(one, 12);
            const auto tb = b.runTickSteps(two, 12);
            ASSERT_FALSE(ta.faulted) << ta.fault.message;
            ASSERT_EQ(ta.stepsRun, tb.stepsRun);
            EXPECT_EQ(a.lastCounts(), b.lastCounts());
            EXPECT_EQ(one.Dt, two.Dt);
            EXPECT_EQ(one.NCycle, two.NCycle);
            for (const auto& [x, y] : { std::pair { &one.Rho, &two.Rho }, { &one.P, &two.P }, { &one.VX, &two.VX },
                     { &one.FSmoke, &two.FSmoke } })
                EXPECT_EQ(std::memcmp(x->ptr(x->lower()), y->ptr(y->lower()), sizeof(double) * x->size()), 0);
        }
    }

    // The stored rows of a run and their times, as bytes.
    std::vector<unsigned char> historyBytes(const ExperimentState& s)
    {
        std::vector<unsigned char> b;
        auto add = [&](const void* p, std::size_t n) {
            const auto* c = static_cast<const unsigned char*>(p);
            b.insert(b.end(), c, c + n);
        };
        const long values = (s.NGridCells + 2) * static_cast<long>(s.NStoredStates);
        for (const auto* h :
            { &s.STRho, &s.STP, &s.STVX, &s.STVY, &s.STFSmoke, &s.STRPlus, &s.STRMinus, &s.STEntropy })
            add(h->ptr(0), sizeof(float) * static_cast<std::size_t>(values));
        add(s.StoredTime.ptr(0), sizeof(double) * static_cast<std::size_t>(s.NStoredStates));
        add(&s.TimeNow, sizeof s.TimeNow);
        add(&s.Dt, sizeof s.Dt);
        return b;
    }

    // An experiment is a value: two copies of a begun run, advanced tick by
    // tick in turn by one time step (and each by a time step of its own),
    // store the very rows that one copy advanced alone stores. Nothing of one
    // run lives on in the time step or in a kernel to change the other.
    TEST(RealSchemes, CopiesAdvancedInTurnEachGiveTheRunAlone)
    {
        for (const auto& k : kernels::allSchemes()) {
            const std::string name(k.name);
            SCOPED_TRACE(name);
            ExperimentState start = testing::shockTubeState(k.twoFluid ? 600 : 300, name);
            ASSERT_EQ(BeginRun(start), BeginStatus::Started);

            ExperimentState alone = start;
            TimeStep own;
            for (int tick = 0; tick < 12; ++tick)
                ASSERT_FALSE(RunTick(alone, own).faulted);

            ExperimentState a = start, b = start, c = start;
            TimeStep shared(2), forC;
            for (int tick = 0; tick < 12; ++tick) {
                ASSERT_FALSE(RunTick(a, shared).faulted);
                ASSERT_FALSE(RunTick(b, shared).faulted);
                ASSERT_FALSE(RunTick(c, forC).faulted);
            }
            ASSERT_GT(alone.NStoredStates, 2);
            EXPECT_EQ(historyBytes(a), historyBytes(alone));
            EXPECT_EQ(historyBytes(b), historyBytes(alone));
            EXPECT_EQ(historyBytes(c), historyBytes(alone));
        }
    }

} // namespace
} // namespace tamrel
