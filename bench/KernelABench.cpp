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
        StripDriver d(lentorRow());
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
    StripDriver d(scheme);
    d.fillGhosts(g);
    const double dt = d.stableDt(g, 0.8);
    const long v = scheme.longestStrip;
    const long m = (n + v - 1) / v;
    const long len = (n + m - 1) / m;
    std::vector<StripCall<float>> calls(static_cast<std::size_t>(m));
    for (long j = 0; j < m; ++j)
        calls[static_cast<std::size_t>(j)].load(g, j * len, std::min(len, n - j * len), d.constants(), dt, false);
    tamrel::kernels::KLong counters[8] = {};
    float courant = 0;
    for (auto& c : calls)
        c.call(scheme, courant, counters);
    for (auto _ : state) {
        float cfl = 0;
        tamrel::kernels::KLong scratch[8] = {};
        for (auto& c : calls) {
            if (afterPainting)
                setUpperVectorState(true);
            c.call(scheme, cfl, scratch);
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

// A whole step through the test driver: ghost cells, float copies, strips,
// floors. The difference to kernelOnly is the driver's share of a test run.
void throughDriver(benchmark::State& state, const SchemeInfo& scheme)
{
    Grid g = developedTest1();
    StripDriver d(scheme);
    const double dt = d.stableDt(g, 0.8);
    for (auto _ : state) {
        Grid copy = g;
        benchmark::DoNotOptimize(d.attempt(copy, dt).courant);
    }
    state.SetItemsProcessed(state.iterations() * g.n);
}

void BM_Sorvi(benchmark::State& state)
{
    kernelOnly(state, sorviRow());
}
void BM_Lentor32(benchmark::State& state)
{
    kernelOnly(state, lentorRow());
}
void BM_SorviAfterPainting(benchmark::State& state)
{
    kernelOnly(state, sorviRow(), true);
}
void BM_Lentor32AfterPainting(benchmark::State& state)
{
    kernelOnly(state, lentorRow(), true);
}
void BM_SorviStepThroughDriver(benchmark::State& state)
{
    throughDriver(state, sorviRow());
}
void BM_Lentor32StepThroughDriver(benchmark::State& state)
{
    throughDriver(state, lentorRow());
}
BENCHMARK(BM_Sorvi);
BENCHMARK(BM_Lentor32);
BENCHMARK(BM_SorviAfterPainting);
BENCHMARK(BM_Lentor32AfterPainting);
BENCHMARK(BM_SorviStepThroughDriver);
BENCHMARK(BM_Lentor32StepThroughDriver);

} // namespace
