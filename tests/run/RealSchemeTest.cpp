// The time step with the real schemes: the default blast between reflecting
// walls keeps its mass, and two threads give the run of one, bit for bit.

#include <cmath>
#include <cstring>
#include <string>

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
            const double tolerance = k.singlePrecision ? 1e-5 : 1e-12;
            EXPECT_NEAR(mass(s), m0, tolerance * m0);
        }
    }

    TEST(RealSchemes, TwoThreadsEqualOneThread)
    {
        for (const auto& k : kernels::allSchemes()) {
            const std::string name(k.name);
            SCOPED_TRACE(name);
            auto one = testing::shockTubeState(k.multifluid ? 5000 : 1000, name);
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

} // namespace
} // namespace tamrel
