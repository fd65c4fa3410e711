// SPDX-License-Identifier: GPL-3.0-or-later
// The convergence study of all five schemes on a small sound wave over the
// ladder 32..2048 cells, with one run at a time and with two (both cores).

#include <benchmark/benchmark.h>

#include <optional>
#include <string>

#include "compare/ConvergenceStudy.h"
#include "presets/SoundWave.h"
#include "run/DefaultProblem.h"

namespace {

using namespace tamrel;

std::optional<ExperimentState> soundWave(const std::string& scheme, long n, bool mirrored, std::string&)
{
    ExperimentState s;
    StartUpState(s);
    s.NGridCells = static_cast<Long>(n);
    s.SchemeName = scheme;
    AllocateArrays(s);
    SetUpDefaultProblem(s);
    RefreshTimeScales(s);
    s.RPlusAmplitude = mirrored ? -1e-3 : 1e-3;
    s.RMinusAmplitude = 0;
    s.R0Amplitude = 0;
    s.U0 = 0;
    StartSoundWaveExperiment(s);
    SetUpSoundWaveState(s);
    return s;
}

void BM_SoundWaveStudy(benchmark::State& state)
{
    const int threads = static_cast<int>(state.range(0));
    const std::vector<std::string> schemes { "Orvane", "Orvane32", "Lentor32", "Mixtal32", "Sorvi" };
    const std::vector<long> ladder { 32, 64, 128, 256, 512, 1024, 2048 };
    for (auto _ : state) {
        const compare::StudyResult r = compare::RunConvergenceStudy(schemes, ladder, soundWave, threads);
        benchmark::DoNotOptimize(r.rows.data());
        if (r.rows.size() != schemes.size() * ladder.size())
            state.SkipWithError("the study did not finish");
    }
}
BENCHMARK(BM_SoundWaveStudy)->Arg(1)->Arg(2)->Unit(benchmark::kSecond)->Iterations(1)->UseRealTime();

} // namespace
