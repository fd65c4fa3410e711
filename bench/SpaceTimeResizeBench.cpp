// SPDX-License-Identifier: GPL-3.0-or-later
// A resize of the window re-rasterises the space-time picture from the whole
// history at the picture's new size: a fresh image of that size and one
// paint. Histories at 5000 cells (2000 rows, and the most rows the history
// holds at that size); pictures small and big at the designed size, at scale
// 1.4, and big at scale 1 on a screen of pixel ratio 2.

#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "spacetime/SpaceTimeImage.h"
#include "state/ExperimentState.h"

namespace {

std::vector<float> shockHistory(long N, long NS)
{
    std::vector<float> d(static_cast<std::size_t>((N + 2) * NS));
    for (long s = 0; s < NS; ++s)
        for (long j = 0; j <= N + 1; ++j) {
            const double x = static_cast<double>(j) / N;
            const double front = 0.3 + 0.5 * static_cast<double>(s) / NS;
            d[static_cast<std::size_t>(s * (N + 2) + j)] = static_cast<float>(x < front ? 1.0 : 0.125);
        }
    return d;
}

void BM_SpaceTimeResize(benchmark::State& state)
{
    const long N = 5000;
    const long NS = state.range(0) > 0 ? state.range(0) : static_cast<long>(tamrel::maxHistoryRows(N));
    const int W = static_cast<int>(state.range(1)), H = static_cast<int>(state.range(2));
    static std::vector<float> data;
    static long made = 0;
    if (made != NS) {
        data = shockHistory(N, NS);
        made = NS;
    }
    for (auto _ : state) {
        tamrel::GrayImage image = tamrel::MakeGrayImage(W, H);
        auto range = tamrel::DrawSpaceTimeImage(data, N, NS, N + 2, W, H, image);
        benchmark::DoNotOptimize(range);
        benchmark::DoNotOptimize(image.bits.data());
    }
    state.counters["rows"] = static_cast<double>(NS);
}

} // namespace

// rows (0: the most the history holds at 5000 cells), width, height
BENCHMARK(BM_SpaceTimeResize)
    ->Args({ 2000, 449, 189 }) // small, designed size
    ->Args({ 2000, 631, 266 }) // small at scale 1.4
    ->Args({ 2000, 969, 437 }) // big, designed size
    ->Args({ 2000, 1361, 614 }) // big at scale 1.4
    ->Args({ 2000, 1938, 874 }) // big at pixel ratio 2
    ->Args({ 0, 631, 266 })
    ->Args({ 0, 1361, 614 })
    ->Args({ 0, 1938, 874 })
    ->Unit(benchmark::kMillisecond);
