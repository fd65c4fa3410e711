// SPDX-License-Identifier: GPL-3.0-or-later
// Speed of the Sorvi and Lentor32 kernels alone, and of the strip driver
// around them: every 200-cell strip of a 5000-cell grid holding Test 1 at
// t = 0.1 (shock, contact and fan developed, so the exact solver of Sorvi
// iterates as in a real run), one call per strip per iteration. Items are
// cell updates; the operation counts are the kernels' own.
//
// The "AfterPainting" variants enter every pass with the upper halves of the
// YMM registers in use, as the program's kernels do: the window paints
// between steps, and Qt 6.4's AVX2 fill behind QImage::fill returns without
// VZEROUPPER (glibc's AVX-512 string functions never clear them either). In
// that state each call from SSE code into a VEX-encoded libm function (the
// powf of Sorvi's exact solver) pays a state transition.

#include <benchmark/benchmark.h>

#include <vector>

#include "kernels/KernelRows.h"
#include "kernels/ShockTubeCases.h"

namespace {

using namespace tamrel::testing;

const Grid& developedTest1()
{
    static const Grid g = [] {
        Grid grid = shockTubeGrid(shockTubes()[0], 5000);
        GridRun d(schemeRow("Lentor32"));
        d.run(grid, 0.8, 0.1);
        return grid;
    }();
    return g;
}

// Writes all ones to YMM15, leaving the upper vector state in use; or
// clears that state again, so that it does not leak into other benchmarks.
void setUpperVectorState(bool inUse)
{
#if defined(__x86_64__)
    static const bool avx2 = __builtin_cpu_supports("avx2") != 0;
    if (avx2 && inUse)
        asm volatile("vpcmpeqd %%ymm15, %%ymm15, %%ymm15" ::: "xmm15");
    else if (avx2)
        asm volatile("vzeroupper");
#endif
}

void kernelOnly(benchmark::State& state, const SchemeInfo& scheme, bool afterPainting = false)
{
    Grid g = developedTest1();
    const int n = g.n;
    GridRun d(scheme);
    d.fillGhosts(g);
    const double dt = d.stableDt(g, 0.8);
    std::vector<OneStrip<float>> calls;
    for (const auto& st : tamrel::TimeStep::planStrips(n, scheme.longestStrip))
        calls.emplace_back(g, st.start, st.length, d.constants(), dt);
    tamrel::kernels::KLong counters[8] = {};
    float courant = 0;
    std::vector<tamrel::kernels::StripArgs<float>> args;
    for (auto& c : calls)
        args.push_back(c.call(scheme, courant, counters));
    float cfl = 0;
    tamrel::kernels::KLong scratch[8] = {};
    for (auto& a : args) {
        a.courant = &cfl;
        a.counters = scratch;
    }
    const auto run = scheme.single.run;
    for (auto _ : state) {
        cfl = 0;
        for (const auto& a : args) {
            if (afterPainting)
                setUpperVectorState(true);
            run(a);
        }
        benchmark::DoNotOptimize(cfl);
    }
    if (afterPainting)
        setUpperVectorState(false);
    state.SetItemsProcessed(state.iterations() * n);
    state.counters["flops/cell"] = static_cast<double>(counters[0]) / n;
    state.counters["sqrt/cell"] = static_cast<double>(counters[5]) / n;
    state.counters["exp/cell"] = static_cast<double>(counters[7]) / n;
    state.counters["Mflop/s"] = benchmark::Counter(
        static_cast<double>(counters[0]) * 1e-6, benchmark::Counter::kIsIterationInvariantRate);
}

// A whole step through the time step as the kernel tests run it: the grid
// into an experiment state, ghost cells, float copies, strips, floors, and
// back. The difference to kernelOnly is the share of a test run outside the
// kernel.
void throughDriver(benchmark::State& state, const SchemeInfo& scheme)
{
    Grid g = developedTest1();
    GridRun d(scheme);
    const double dt = d.stableDt(g, 0.8);
    for (auto _ : state) {
        Grid copy = g;
        benchmark::DoNotOptimize(d.attempt(copy, dt).courant);
    }
    state.SetItemsProcessed(state.iterations() * g.n);
}

void BM_Sorvi(benchmark::State& state)
{
    kernelOnly(state, schemeRow("Sorvi"));
}
void BM_Lentor32(benchmark::State& state)
{
    kernelOnly(state, schemeRow("Lentor32"));
}
void BM_SorviAfterPainting(benchmark::State& state)
{
    kernelOnly(state, schemeRow("Sorvi"), true);
}
void BM_Lentor32AfterPainting(benchmark::State& state)
{
    kernelOnly(state, schemeRow("Lentor32"), true);
}
void BM_SorviStepThroughDriver(benchmark::State& state)
{
    throughDriver(state, schemeRow("Sorvi"));
}
void BM_Lentor32StepThroughDriver(benchmark::State& state)
{
    throughDriver(state, schemeRow("Lentor32"));
}
BENCHMARK(BM_Sorvi);
BENCHMARK(BM_Lentor32);
BENCHMARK(BM_SorviAfterPainting);
BENCHMARK(BM_Lentor32AfterPainting);
BENCHMARK(BM_SorviStepThroughDriver);
BENCHMARK(BM_Lentor32StepThroughDriver);

} // namespace
