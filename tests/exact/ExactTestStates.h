// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Records set up the way the window sets them up, and their exact solutions.

#include <gtest/gtest.h>

#include <string>

#include "exact/ExactSolution.h"
#include "exact/InitialGrid.h"
#include "presets/ShockTubeTests.h"
#include "presets/SoundWave.h"
#include "run/DefaultProblem.h"
#include "run/RunControl.h"
#include "run/TimeStep.h"

namespace tamrel::testing {

// Shock-tube test `k` loaded on a grid of n cells.
inline ExperimentState shockTubeState(int k, long n = 100)
{
    ExperimentState s;
    StartUpState(s);
    s.NGridCells = n;
    AllocateArrays(s);
    ApplyShockTubeTest(s, k);
    return s;
}

// The start-up default problem (1000 | 0.01 | 100 between walls) on n cells.
inline ExperimentState defaultState(long n = 100)
{
    ExperimentState s;
    StartUpState(s);
    s.NGridCells = n;
    AllocateArrays(s);
    SetUpDefaultProblem(s);
    RefreshTimeScales(s);
    return s;
}

// The sound-wave experiment with an R+ wave of amplitude a and mean velocity u0.
inline ExperimentState soundWaveState(double a, long n = 100, double u0 = -1.0)
{
    ExperimentState s;
    StartUpState(s);
    s.NGridCells = n;
    AllocateArrays(s);
    SetUpDefaultProblem(s);
    RefreshTimeScales(s);
    s.RPlusAmplitude = a;
    s.RMinusAmplitude = 0;
    s.R0Amplitude = 0;
    s.U0 = u0;
    StartSoundWaveExperiment(s);
    SetUpSoundWaveState(s);
    return s;
}

inline exact::ExactSolution solutionOf(const ExperimentState& s)
{
    exact::InitialGrid g;
    std::string why;
    EXPECT_TRUE(exact::ReadInitialGrid(s, g, why)) << why;
    return exact::ExactSolution::Of(g);
}

// Begin and tick until the run ends (or `ticks` ticks have run).
inline void runToEnd(ExperimentState& s, int ticks = 100000)
{
    ASSERT_EQ(BeginRun(s), BeginStatus::Started);
    TimeStep stepper(1);
    for (int k = 0; k < ticks && s.Stopped == 0; ++k)
        ASSERT_FALSE(RunTick(s, stepper).faulted);
}

} // namespace tamrel::testing
