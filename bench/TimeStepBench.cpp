// SPDX-License-Identifier: GPL-3.0-or-later
// Cell updates per second through the whole time step (ghost cells, strips,
// kernel, acceptance, snapshots) on a 5000-cell shock tube: the classic test
// with a moving left state (RhoL 1, PL 1, UxL 0.75 | RhoR 0.125, PR 0.1,
// jump at 0.3, continuation boundaries), for every scheme and 1 thread, 2
// threads on every step, or threads:0, the default choice (two threads only
// while they pay, measured as the run goes).
// "Stand-in" is a kernel that only smooths its strip: the cost of the time
// step's own work around the kernel.

#include <functional>
#include <string>
#include <thread>

#include <benchmark/benchmark.h>

#include "kernels/SchemeTable.h"
#include "run/FakeKernels.h"
#include "run/RunControl.h"
#include "run/RunTestStates.h"
#include "run/StripPool.h"
#include "run/TimeStep.h"

namespace {

using namespace tamrel;

constexpr long kCells = 5000;

void runSteps(benchmark::State& st, const std::string& scheme, TimeStep& stepper)
{
    auto start = testing::shockTubeState(kCells, scheme, 0.3, 1.0, 1.0, 0.75, 0.125, 0.1);
    start.NPlotsTotal = 50; // keep the history small; later rows are skipped
    if (BeginRun(start) != BeginStatus::Started) {
        st.SkipWithError("Begin refused the scheme");
        return;
    }
    // Far beyond the 2000 steps between restarts, and near enough that the
    // time step does not count as collapsed against it.
    start.TStop = 100.0;
    auto s = start;
    long steps = 0;
    for (auto _ : st) {
        const auto r = stepper.advance(s);
        if (r.outcome != AttemptResult::Accepted) {
            st.SkipWithError(r.fault.message.c_str());
            return;
        }
        // Start over before the waves reach the ends.
        if (++steps % 2000 == 0) {
            st.PauseTiming();
            s = start;
            st.ResumeTiming();
        }
    }
    st.counters["cells/s"]
        = benchmark::Counter(static_cast<double>(st.iterations()) * kCells, benchmark::Counter::kIsRate);
}

int threadsOf(long arg)
{
    return arg == 0 ? 2 : static_cast<int>(arg);
}

void BM_TimeStep(benchmark::State& st)
{
    const auto schemes = kernels::allSchemes();
    const auto& scheme = schemes[static_cast<std::size_t>(st.range(0))];
    st.SetLabel(std::string(scheme.name));
    TimeStep stepper(threadsOf(st.range(1)));
    stepper.setSecondThreadAlways(st.range(1) == 2);
    runSteps(st, std::string(scheme.name), stepper);
}

void BM_TimeStepStandIn(benchmark::State& st)
{
    testing::resetFakeKernel();
    testing::fakeKernel().fixedCourant = 0.8;
    testing::fakeKernel().checkLayout = false;
    const char* names[] = { "Orvane", "Orvane32", "Mixtal32" };
    const std::string name = names[st.range(0)];
    st.SetLabel(name + " stand-in");
    TimeStep stepper(threadsOf(st.range(1)));
    stepper.setSecondThreadAlways(st.range(1) == 2);
    stepper.setSchemeLookup(testing::findFakeScheme);
    runSteps(st, name, stepper);
}

// The fixed cost of sharing a step with the worker: one hand-over and wait,
// against starting and joining a fresh thread.
void BM_StripPoolRoundTrip(benchmark::State& st)
{
    StripPool pool;
    long sum = 0;
    const std::function<void(int)> task = [&](int slot) { benchmark::DoNotOptimize(sum += slot); };
    for (auto _ : st)
        pool.runPair(task);
}

void BM_ThreadPerStep(benchmark::State& st)
{
    long sum = 0;
    for (auto _ : st) {
        std::thread worker([&] { benchmark::DoNotOptimize(sum + 1); });
        benchmark::DoNotOptimize(sum);
        worker.join();
    }
}

void schemeArgs(benchmark::internal::Benchmark* b)
{
    for (long k = 0; k < static_cast<long>(kernels::allSchemes().size()); ++k)
        for (long threads : { 1, 2, 0 })
            b->Args({ k, threads });
}

} // namespace

// Real time: a second thread shows only on the wall clock.
BENCHMARK(BM_TimeStep)
    ->Apply(schemeArgs)
    ->ArgNames({ "scheme", "threads" })
    ->UseRealTime()
    ->Unit(benchmark::kMicrosecond);
BENCHMARK(BM_StripPoolRoundTrip)->UseRealTime();
BENCHMARK(BM_ThreadPerStep)->UseRealTime();
BENCHMARK(BM_TimeStepStandIn)
    ->ArgsProduct({ { 0, 1, 2 }, { 1, 2 } })
    ->ArgNames({ "scheme", "threads" })
    ->UseRealTime()
    ->Unit(benchmark::kMicrosecond);
