// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Records for the comparison tests, set up the way the window sets them up
// with a given scheme in force.

#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>

#include "presets/ShockTubeTests.h"
#include "presets/SoundWave.h"
#include "run/DefaultProblem.h"
#include "run/RunControl.h"
#include "run/TimeStep.h"

namespace tamrel::testing {

inline ExperimentState freshState(const std::string& scheme, long n)
{
    ExperimentState s;
    StartUpState(s);
    s.NGridCells = static_cast<Long>(n);
    s.SchemeName = scheme;
    AllocateArrays(s);
    return s;
}

// Shock-tube test k on n cells, loaded with `scheme` in force.
inline ExperimentState testState(const std::string& scheme, int k, long n)
{
    ExperimentState s = freshState(scheme, n);
    ApplyShockTubeTest(s, k);
    return s;
}

// The sound-wave experiment with an R+ wave of amplitude a.
inline ExperimentState waveState(const std::string& scheme, double a, long n)
{
    ExperimentState s = freshState(scheme, n);
    SetUpDefaultProblem(s);
    RefreshTimeScales(s);
    s.RPlusAmplitude = a;
    s.RMinusAmplitude = 0;
    s.R0Amplitude = 0;
    StartSoundWaveExperiment(s);
    SetUpSoundWaveState(s);
    return s;
}

// Three cells and two stored rows (no run behind them); row r of cell i
// holds base + r + i/10 (density), twice that (pressure) and r - i
// (velocity), density and pressure as log10 while `logs`.
inline ExperimentState historyOf(double base, double time1, bool logs = false)
{
    ExperimentState s;
    s.NGridCells = 3;
    s.NPlotsTotal = 2;
    s.LogPlots = logs ? 1 : 0;
    allocateGridArrays(s);
    allocateHistory(s);
    for (long i = 1; i <= 4; ++i)
        s.X[i] = (i - 1) / 3.0;
    for (long r = 0; r < 2; ++r)
        for (long i = 0; i <= 4; ++i) {
            const double rho = base + r + i / 10.0;
            s.STRho[r * 5 + i] = static_cast<float>(logs ? std::log10(rho) : rho);
            s.STP[r * 5 + i] = static_cast<float>(logs ? std::log10(2 * rho) : 2 * rho);
            s.STVX[r * 5 + i] = static_cast<float>(r - i);
        }
    s.NStoredStates = 2;
    s.StoredTime[0] = 0;
    s.StoredTime[1] = time1;
    return s;
}

// A run as the window's metronome makes it: Begin, then ticks until it ends.
inline void tickToEnd(ExperimentState& s, int threads = 2)
{
    ASSERT_EQ(BeginRun(s), BeginStatus::Started);
    TimeStep stepper(threads);
    while (s.Stopped == 0)
        ASSERT_FALSE(RunTick(s, stepper).faulted);
}

// The first `rows` rows of a history array agree bit for bit.
inline bool sameRows(const BoundedArray<float>& a, const BoundedArray<float>& b, long rows, long n)
{
    const long count = rows * (n + 2);
    for (long k = 0; k < count; ++k)
        if (std::memcmp(&a[k], &b[k], sizeof(float)) != 0)
            return false;
    return true;
}

} // namespace tamrel::testing
