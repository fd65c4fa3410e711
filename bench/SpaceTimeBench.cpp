// SPDX-License-Identifier: GPL-3.0-or-later
// One space-time paint (fill of the raster and copy into the bottom-up
// image) for the histories and picture sizes the lab meets.

#include <benchmark/benchmark.h>

#include <cmath>
#include <vector>

#include "spacetime/SpaceTimeImage.h"

namespace {

// A shock-tube-like history: a step that moves and a smooth wave.
std::vector<float> makeHistory(long N, long NS)
{
    std::vector<float> d(static_cast<std::size_t>((N + 2) * NS));
    for (long s = 0; s < NS; ++s)
        for (long j = 0; j <= N + 1; ++j) {
            const double x = static_cast<double>(j) / N;
            const double front = 0.5 + 0.3 * static_cast<double>(s) / NS;
            d[static_cast<std::size_t>(s * (N + 2) + j)]
                = static_cast<float>((x < front ? 1.0 : 0.125) + 0.05 * std::sin(40 * x + 0.01 * s));
        }
    return d;
}

void BM_SpaceTimePaint(benchmark::State& state)
{
    const long N = state.range(0), NS = state.range(1);
    const int W = static_cast<int>(state.range(2)), H = static_cast<int>(state.range(3));
    const auto data = makeHistory(N, NS);
    tamrel::GrayImage image = tamrel::MakeGrayImage(W, H);
    for (auto _ : state) {
        auto range = tamrel::DrawSpaceTimeImage(data, N, NS, N + 2, W, H, image);
        benchmark::DoNotOptimize(range);
        benchmark::DoNotOptimize(image.bits.data());
    }
    state.SetLabel(
        tamrel::ChooseGrayMethod(W, H, N, NS) == tamrel::GrayMethod::BoxAverage ? "box average" : "coverage");
}

} // namespace

// cells, snapshots, width, height
BENCHMARK(BM_SpaceTimePaint)
    ->Args({ 5000, 2000, 969, 437 })
    ->Args({ 5000, 2000, 449, 189 })
    ->Args({ 100, 600, 969, 437 })
    ->Args({ 100, 600, 449, 189 })
    ->Args({ 5000, 400, 969, 437 })
    ->Args({ 5000, 96, 449, 189 })
    ->Args({ 501, 20, 449, 189 })
    ->Unit(benchmark::kMillisecond);
