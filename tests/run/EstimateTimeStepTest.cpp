// SPDX-License-Identifier: GPL-3.0-or-later
// The time-step estimate and its refusals.

#include <cmath>
#include <functional>

#include <gtest/gtest.h>

#include "run/EstimateTimeStep.h"
#include "run/RunTestStates.h"

namespace tamrel {
namespace {

    // Gas at rest, density 1, pressure 1, on 20 uniform cells.
    ExperimentState restingGas(const std::string& scheme = "Orvane")
    {
        auto s = testing::shockTubeState(20, scheme, 0.5, 1, 1, 0, 1, 1);
        s.DtPlot = 1.0;
        return s;
    }

    TEST(EstimateTimeStep, UniformGasAtRest)
    {
        struct Case {
            double soundSpeed0, courant, dtPlot, expected;
        };
        const double dx = 1.0 / 20, c = std::sqrt(1.4);
        const Case cases[] = {
            { 1.0, 0.85, 1.0, 0.85 * 0.1 * (dx / c) }, // the gas is faster than SoundSpeed0
            { 2.0, 0.85, 1.0, 0.85 * 0.1 * (dx / 2) }, // SoundSpeed0 is faster
            { 1.0, 0.5, 1.0, 0.5 * 0.1 * (dx / c) }, { 1.0, 0.85, 1e-4, 1e-4 }, // capped at DtPlot
        };
        for (const auto& k : cases) {
            auto s = restingGas();
            s.SoundSpeed0 = k.soundSpeed0;
            s.CourantNumber = k.courant;
            s.DtPlot = k.dtPlot;
            ASSERT_TRUE(EstimateTimeStep(s));
            EXPECT_NEAR(s.Dt, k.expected, 1e-15) << k.soundSpeed0 << " " << k.courant;
            EXPECT_DOUBLE_EQ(s.SoundSpeed[7], c);
            EXPECT_DOUBLE_EQ(s.SoundSpeedSq[0], 1.4);
        }
    }

    TEST(EstimateTimeStep, FirstStepCappedAtTheSnapshotInterval)
    {
        struct Case {
            double dt, dtPlot, expected;
        };
        const Case cases[] = { { 2e-3, 1e-3, 1e-3 }, { 1e-4, 1e-3, 1e-4 }, { 1e-3, 1e-3, 1e-3 } };
        for (const auto& k : cases) {
            ExperimentState s;
            s.Dt = k.dt;
            s.DtPlot = k.dtPlot;
            s.DtOld = 42;
            CapFirstTimeStep(s);
            EXPECT_EQ(s.Dt, k.expected) << k.dt;
            EXPECT_EQ(s.DtOld, k.expected) << k.dt;
        }
    }

    TEST(EstimateTimeStep, RewritesTheOuterInterfaces)
    {
        auto s = restingGas();
        s.X[0] = 42;
        s.X[22] = -42;
        s.X[2] = 0.04; // an edited grid: cell 1 twice as wide
        ASSERT_TRUE(EstimateTimeStep(s));
        EXPECT_DOUBLE_EQ(s.X[0], -0.04);
        EXPECT_DOUBLE_EQ(s.X[22], 1.05);
    }

    TEST(EstimateTimeStep, MovingGasUsesTheFasterCharacteristic)
    {
        auto s = restingGas();
        for (long i = 0; i <= 21; ++i)
            s.VX[i] = -3.0;
        ASSERT_TRUE(EstimateTimeStep(s));
        EXPECT_NEAR(s.Dt, 0.085 * (0.05 / (3 + std::sqrt(1.4))), 1e-15);
    }

    TEST(EstimateTimeStep, MixedGammaUnderTheMultifluidScheme)
    {
        auto s = restingGas("Mixtal32");
        s.Gamma1 = 1.6;
        s.Gamma2 = 1.2;
        for (long i = 0; i <= 21; ++i) {
            s.FSmoke[i] = 0.0;
            s.Rho1[i] = s.Rho[i];
        }
        s.FSmoke[5] = 1.0; // all fluid 2 of twice the density
        s.Rho[5] = 2.0;
        s.Rho2[5] = 2.0;
        ASSERT_TRUE(EstimateTimeStep(s));
        EXPECT_DOUBLE_EQ(s.SoundSpeedSq[4], 1.6); // Rho1 Gamma1 / Rho = Gamma1
        EXPECT_DOUBLE_EQ(s.SoundSpeedSq[5], 1.2 * 0.5); // Gamma2 P / Rho
        EXPECT_DOUBLE_EQ(CellGamma(s, 5), 1.2);
    }

    TEST(EstimateTimeStep, UndefinedStatesLeaveEverythingAsItWas)
    {
        const std::pair<const char*, std::function<void(ExperimentState&)>> cases[] = {
            { "zero SoundSpeed0", [](ExperimentState& s) { s.SoundSpeed0 = 0; } },
            { "negative SoundSpeed0", [](ExperimentState& s) { s.SoundSpeed0 = -1; } },
            { "zero density", [](ExperimentState& s) { s.Rho[7] = 0; } },
            { "negative density", [](ExperimentState& s) { s.Rho[0] = -1; } },
            { "zero pressure at rest", [](ExperimentState& s) { s.P[21] = 0; } },
            { "negative pressure", [](ExperimentState& s) { s.P[3] = -0.5; } },
            { "NaN velocity", [](ExperimentState& s) { s.VX[3] = std::nan(""); } },
        };
        for (const auto& [name, spoil] : cases) {
            auto s = restingGas();
            s.Dt = 0.123;
            spoil(s);
            const auto before = s;
            EXPECT_FALSE(EstimateTimeStep(s)) << name;
            EXPECT_EQ(s.Dt, 0.123) << name;
            for (long i = 0; i <= 21; ++i)
                ASSERT_TRUE(std::isnan(before.SoundSpeed[i]) || s.SoundSpeed[i] == before.SoundSpeed[i]) << name;
            EXPECT_EQ(s.X[0], before.X[0]) << name;
        }
    }

    TEST(EstimateTimeStep, MultifluidWithoutFluidDensitiesIsRefused)
    {
        auto s = restingGas("Mixtal32");
        for (long i = 0; i <= 21; ++i)
            s.Rho1[i] = s.Rho2[i] = 0.0; // mixed gamma 0: no sound speed
        s.Dt = 0.5;
        EXPECT_FALSE(EstimateTimeStep(s));
        EXPECT_EQ(s.Dt, 0.5);
    }

} // namespace
} // namespace tamrel
