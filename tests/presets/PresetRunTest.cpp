// SPDX-License-Identifier: GPL-3.0-or-later
// Every preset run to its end through the program's run path (Begin, then
// ticks): the run ends exactly at its stop time, with the final state as the
// last history row, and the snapshots before it at their usual spacing.

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <string>

#include "edit/GridParameters.h"
#include "presets/ShockTubeTests.h"
#include "presets/SoundWave.h"
#include "run/DefaultProblem.h"
#include "run/RunControl.h"
#include "run/TimeStep.h"

namespace tamrel {
namespace {

    struct Preset {
        std::string name;
        std::function<void(ExperimentState&)> load; // on the grid of NGridCells cells
    };

    std::vector<Preset> presets()
    {
        std::vector<Preset> all;
        for (int k = 1; k <= kShockTubeTestCount; ++k)
            all.push_back({ "Test " + std::to_string(k), [k](ExperimentState& s) { ApplyShockTubeTest(s, k); } });
        all.push_back({ "sound wave", [](ExperimentState& s) {
                           ResizeGridArrays(s);
                           StartSoundWaveExperiment(s);
                           SetUpSoundWaveState(s);
                       } });
        all.push_back({ "default problem", [](ExperimentState& s) {
                           AllocateArrays(s);
                           SetUpDefaultProblem(s);
                           RefreshTimeScales(s);
                       } });
        return all;
    }

    TEST(PresetRuns, EveryPresetEndsExactlyAtItsStopTime)
    {
        for (long n : { 100, 400 }) {
            for (const Preset& p : presets()) {
                SCOPED_TRACE(p.name + " on " + std::to_string(n) + " cells");
                ExperimentState s;
                StartUpState(s);
                s.NGridCells = static_cast<Long>(n);
                p.load(s);
                ASSERT_GT(s.TStop, 0.0);
                ASSERT_EQ(BeginRun(s), BeginStatus::Started);
                TimeStep stepper;
                for (long tick = 0; tick < 100000 && s.Stopped == 0; ++tick) {
                    const TickReport t = RunTick(s, stepper);
                    ASSERT_FALSE(t.faulted) << t.fault.message;
                    ASSERT_FALSE(t.historyEnded) << t.fault.message;
                }
                ASSERT_EQ(s.Stopped, 1);
                EXPECT_EQ(s.TimeNow, s.TStop);
                const long last = s.NStoredStates - 1;
                EXPECT_EQ(s.StoredTime[last], s.TStop);
                // One row per snapshot time before TStop (a TStop on a
                // snapshot time to within the clock's roundings may fall on
                // either side), each a snapshot interval after the one before.
                const double intervals = s.TStop / s.DtPlot;
                EXPECT_NEAR(static_cast<double>(last - 1), std::ceil(intervals) - 1, 1.0);
                EXPECT_LE(static_cast<double>(last - 1), std::ceil(intervals));
                for (long r = 1; r < last; ++r)
                    ASSERT_GE(s.StoredTime[r], r * s.DtPlot * (1 - 1e-9)) << "row " << r;
                // Enough rows to show the run, Test 4's cold gas too.
                EXPECT_GE(s.NStoredStates, 100);
            }
        }
    }

} // namespace
} // namespace tamrel
