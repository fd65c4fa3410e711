// SPDX-License-Identifier: GPL-3.0-or-later
// Exact cell averages of a whole grid, as the overlay computes them at every
// repaint: one jump (Test 1), three states between walls (the start-up
// blast), two fans (Test 3) and a small sound wave (linear waves).

#include <benchmark/benchmark.h>

#include <string>

#include "exact/ExactSolution.h"
#include "exact/InitialGrid.h"
#include "presets/ShockTubeTests.h"
#include "presets/SoundWave.h"
#include "run/DefaultProblem.h"

namespace {

using namespace tamrel;

ExperimentState startUp(long n)
{
    ExperimentState s;
    StartUpState(s);
    s.NGridCells = n;
    AllocateArrays(s);
    SetUpDefaultProblem(s);
    RefreshTimeScales(s);
    return s;
}

exact::ExactSolution solutionOf(const ExperimentState& s)
{
    exact::InitialGrid g;
    std::string why;
    exact::ReadInitialGrid(s, g, why);
    return exact::ExactSolution::Of(g);
}

void run(benchmark::State& state, const ExperimentState& s, double t)
{
    const auto sol = solutionOf(s);
    exact::ExactCells cells;
    for (auto _ : state) {
        sol.cellAverages(t, cells);
        benchmark::DoNotOptimize(cells.rho.data());
    }
    state.SetItemsProcessed(state.iterations() * s.NGridCells);
}

void BM_ExactTest1(benchmark::State& state)
{
    ExperimentState s = startUp(state.range(0));
    ApplyShockTubeTest(s, 1);
    run(state, s, 0.2);
}

void BM_ExactTest3(benchmark::State& state)
{
    ExperimentState s = startUp(state.range(0));
    ApplyShockTubeTest(s, 3);
    run(state, s, 0.15);
}

void BM_ExactBlast(benchmark::State& state)
{
    const ExperimentState s = startUp(state.range(0));
    run(state, s, 0.002);
}

void BM_ExactSoundWave(benchmark::State& state)
{
    ExperimentState s = startUp(state.range(0));
    s.RPlusAmplitude = 0.005;
    StartSoundWaveExperiment(s);
    SetUpSoundWaveState(s);
    run(state, s, 0.37);
}

// The whole detection: reading the grid, finding its shape, solving.
void BM_ExactDetect(benchmark::State& state)
{
    ExperimentState s = startUp(state.range(0));
    ApplyShockTubeTest(s, 1);
    for (auto _ : state) {
        auto sol = solutionOf(s);
        benchmark::DoNotOptimize(sol);
    }
}

} // namespace

BENCHMARK(BM_ExactTest1)->Arg(5000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ExactTest3)->Arg(5000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ExactBlast)->Arg(5000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ExactSoundWave)->Arg(5000)->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_ExactDetect)->Arg(5000)->Unit(benchmark::kMicrosecond);
