// SPDX-License-Identifier: GPL-3.0-or-later
// Speed of each scheme's kernel alone: every strip of a 5000-cell Test 1
// state, cut as the time step cuts it (100-cell strips for Orvane, 200 for
// Orvane32 ...) and packed as it packs them, one call per strip per
// iteration. Items are cell updates; the operation counts are the kernels'
// own.

#include <benchmark/benchmark.h>

#include <string>
#include <vector>

#include "kernels/KernelRows.h"
#include "kernels/ShockTubeCases.h"

namespace {

using namespace tamrel::testing;

template <class Real> void runStrips(benchmark::State& state, const SchemeInfo& scheme)
{
    const int n = 5000;
    Grid g = shockTubeGrid(shockTubes()[0], n);
    prepareFor(scheme, g);
    GridRun d(scheme);
    d.fillGhosts(g);
    const double dt = d.stableDt(g, 0.8);
    std::vector<OneStrip<Real>> strips;
    for (const auto& st : tamrel::TimeStep::planStrips(n, scheme.longestStrip))
        strips.emplace_back(g, st.start, st.length, d.constants(), dt);
    // Packed once: the loop times the entry points alone. Operations of one
    // pass over the grid, from the kernel's own counters.
    KLong counters[8] = {};
    Real courant = 0;
    std::vector<tamrel::kernels::StripArgs<Real>> args;
    for (auto& c : strips)
        args.push_back(c.call(scheme, courant, counters));
    Real cfl = 0;
    KLong scratch[8] = {};
    for (auto& a : args) {
        a.courant = &cfl;
        a.counters = scratch;
    }
    const auto run = scheme.entry<Real>().run;
    for (auto _ : state) {
        cfl = 0;
        for (const auto& a : args)
            run(a);
        benchmark::DoNotOptimize(cfl);
    }
    state.SetItemsProcessed(state.iterations() * n);
    state.counters["flops/cell"] = static_cast<double>(counters[0]) / n;
    state.counters["sqrt/cell"] = static_cast<double>(counters[5]) / n;
    state.counters["div/cell"] = static_cast<double>(counters[3]) / n;
}

void BM_Kernel(benchmark::State& state)
{
    const SchemeInfo& scheme = tamrel::kernels::allSchemes()[static_cast<std::size_t>(state.range(0))];
    state.SetLabel(std::string(scheme.name));
    if (scheme.singlePrecision())
        runStrips<float>(state, scheme);
    else
        runStrips<double>(state, scheme);
}
BENCHMARK(BM_Kernel)->DenseRange(0, static_cast<int>(tamrel::kernels::allSchemes().size()) - 1)->ArgName("scheme");

} // namespace
