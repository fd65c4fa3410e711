// Speed of the PPM kernels alone: every strip of a 5000-cell Test 1 state,
// as the time step cuts it (100-cell strips for Orvane, 200 for Orvane32),
// one call per strip per iteration. Items are cell updates.

#include <benchmark/benchmark.h>

#include <vector>

#include "kernels/StripDriver.h"
#include "kernels/KernelContract.h"

namespace {

using namespace tamrel::testing;
using tamrel::kernels::EntryKind;

Grid test1Grid(int n)
{
    Grid g = Grid::uniform(n);
    g.setTwoStates({1.0, 1.0, 0.75, 0}, {0.125, 0.1, 0, 0}, 0.3);
    return g;
}

template <class Real>
void runStrips(benchmark::State& state, const SchemeInfo& scheme)
{
    const int n = 5000;
    Grid g = test1Grid(n);
    StripDriver d(scheme);
    d.fillGhosts(g);
    const double dt = d.stableDt(g, 0.8);
    const long v = scheme.longestStrip;
    const long m = (n + v - 1) / v;
    const long len = (n + m - 1) / m;
    std::vector<StripCall<Real>> calls(static_cast<std::size_t>(m));
    for (long j = 0; j < m; ++j)
        calls[static_cast<std::size_t>(j)].load(g, j * len, std::min(len, n - j * len), d.constants(), dt,
            scheme.multifluid);
    // Operations of one pass over the grid, from the kernel's own counters.
    tamrel::kernels::KLong counters[8] = {};
    Real courant = 0;
    for (auto& c : calls)
        c.call(scheme, courant, counters);
    for (auto _ : state) {
        Real cfl = 0;
        tamrel::kernels::KLong scratch[8] = {};
        for (auto& c : calls)
            c.call(scheme, cfl, scratch);
        benchmark::DoNotOptimize(cfl);
    }
    state.SetItemsProcessed(state.iterations() * n);
    state.counters["flops/cell"] = static_cast<double>(counters[0]) / n;
    state.counters["sqrt/cell"] = static_cast<double>(counters[5]) / n;
    state.counters["div/cell"] = static_cast<double>(counters[3]) / n;
}

void BM_Orvane64(benchmark::State& state)
{
    SchemeInfo s = schemeRow("Orvane", EntryKind::Orvane64, false, 100, true);
    s.orvane64 = &ORVANE64;
    runStrips<double>(state, s);
}
BENCHMARK(BM_Orvane64);

void BM_Orvane32(benchmark::State& state)
{
    SchemeInfo s = schemeRow("Orvane32", EntryKind::Orvane32, true, 200, true);
    s.orvane32 = &ORVANE32;
    runStrips<float>(state, s);
}
BENCHMARK(BM_Orvane32);

} // namespace
