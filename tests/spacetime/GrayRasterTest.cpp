// SPDX-License-Identifier: GPL-3.0-or-later
// Filling the space-time raster: the fast fill against the literal rules,
// and the behaviours a student sees.

#include <gtest/gtest.h>

#include <cmath>
#include <random>

#include "LiteralRaster.h"
#include "spacetime/SpaceTimeImage.h"

using namespace tamrel;
using tamrel::test::literalFill;

namespace {

// A history of NS snapshots of cells 0..N+1, value f(s, j).
template <class F> std::vector<float> history(long N, long NS, F f)
{
    std::vector<float> d(static_cast<std::size_t>((N + 2) * NS));
    for (long s = 0; s < NS; ++s)
        for (long j = 0; j <= N + 1; ++j)
            d[static_cast<std::size_t>(s * (N + 2) + j)] = static_cast<float>(f(s, j));
    return d;
}

// Compares every picture pixel of the fast fill with the literal rules.
void expectSameAsLiteral(const std::vector<float>& data, int W, int H, long N, long NS)
{
    GrayRaster fast;
    const GrayRange range = FillGrayRaster(data, fast, W, H, N, NS, N + 2);
    auto ref = literalFill(data, W, H, N, NS, N + 2);
    ASSERT_EQ(range.vmin, ref.vmin);
    ASSERT_EQ(range.vmax, ref.vmax);
    ASSERT_EQ(ChooseGrayMethod(W, H, N, NS) == GrayMethod::BoxAverage, ref.boxAverage);
    for (int r = 1; r <= H; ++r)
        for (int c = 1; c <= W; ++c)
            ASSERT_EQ(fast.at(r, c), ref.raster.at(r, c))
                << "row " << r << " column " << c << " (W " << W << " H " << H << " N " << N << " NS " << NS
                << (ref.boxAverage ? ", box average)" : ", coverage)");
}

} // namespace

TEST(FillGrayRaster, MatchesTheLiteralRulesOnManySmallCases)
{
    std::mt19937 rng(20240611);
    std::uniform_real_distribution<double> value(-3, 7);
    std::uniform_int_distribution<int> level(0, 4);
    for (int k = 0; k < 3000; ++k) {
        const int W = 1 + static_cast<int>(rng() % 14);
        const int H = 1 + static_cast<int>(rng() % 14);
        // Sizes cluster around the thresholds N = W+1 and NS = H+1.
        const long N = std::max<long>(1, W + static_cast<long>(rng() % 9) - 3 + (k % 3 == 0 ? 20 : 0));
        const long NS = std::max<long>(1, H + static_cast<long>(rng() % 9) - 3 + (k % 4 == 0 ? 25 : 0));
        std::vector<float> data;
        switch (k % 3) {
        case 0:
            data = history(N, NS, [&](long, long) { return value(rng); });
            break;
        // Few distinct levels: blends land on exact halves.
        case 1:
            data = history(N, NS, [&](long, long) { return level(rng); });
            break;
        default:
            data = history(N, NS, [&](long s, long j) { return std::sin(0.3 * j + 0.7 * s); });
            break;
        }
        expectSameAsLiteral(data, W, H, N, NS);
        if (HasFatalFailure())
            return;
    }
}

TEST(FillGrayRaster, MatchesTheLiteralRulesAtThePictureSizes)
{
    struct Size {
        int W, H;
        long N, NS;
    };
    const Size sizes[] = {
        { 449, 189, 501, 20 }, // more cells than columns, few snapshots: coverage
        { 449, 189, 501, 300 }, // both shrink: box average
        { 969, 437, 2000, 1000 }, // a large box average
        { 449, 189, 2300, 400 }, // four or five whole cells a column
        { 449, 189, 100, 600 }, // few cells, many snapshots: coverage
        { 969, 437, 100, 2 },
        { 449, 189, 5000, 96 }, // Test 1 at 5000 cells, small picture: coverage
        { 449, 189, 1796, 150 }, // four cells a pixel column: the columns' chains side by side
        { 969, 437, 5000, 438 }, // NS = H+1: still coverage
        { 969, 437, 5000, 439 },
        { 449, 189, 450, 2000 }, // N = W+1: coverage
        { 449, 189, 451, 2000 },
    };
    std::mt19937 rng(7);
    std::uniform_real_distribution<double> value(0.1, 10);
    for (const auto& z : sizes) {
        const auto data = history(z.N, z.NS, [&](long s, long j) {
            return j < z.N / 3 ? 1.0 + 0.001 * s : value(rng); // a plateau and noise
        });
        expectSameAsLiteral(data, z.W, z.H, z.N, z.NS);
    }
}

TEST(FillGrayRaster, TwoSnapshotsSplitThePictureWithAnEqualMixOnTheStraddlingRow)
{
    const long N = 4;
    const auto data = history(N, 2, [](long s, long) { return s == 0 ? 0.0 : 1.0; });
    GrayRaster raster;
    FillGrayRaster(data, raster, 8, 189, N, 2, N + 2);
    for (int c = 1; c <= 8; ++c) {
        for (int r = 1; r <= 94; ++r)
            ASSERT_EQ(raster.at(r, c), 5) << r; // snapshot 0 at the bottom
        EXPECT_EQ(raster.at(95, c), 128); // (5 + 250) / 2 = 127.5, halves to even
        for (int r = 96; r <= 189; ++r)
            ASSERT_EQ(raster.at(r, c), 250) << r; // the latest at the top
    }
}

TEST(FillGrayRaster, MoreCellsThanColumnsWithFewSnapshotsKeepsTheLastCellOfAColumn)
{
    // N = 501 on 449 columns after 20 snapshots: coverage blending, not the
    // area mean. A step from 0 to 1 after cell 250.
    const long N = 501;
    ASSERT_EQ(ChooseGrayMethod(449, 189, N, 20), GrayMethod::CoverageBlending);
    const auto data = history(N, 20, [](long, long j) { return j <= 250 ? 0.0 : 1.0; });
    GrayRaster raster;
    FillGrayRaster(data, raster, 449, 189, N, 20, N + 2);
    // Cell 250 ends at 250 * 449/501 = 224.05, so 5 % of column 225 is low;
    // cells 251 and 252 cover the rest and are the last to reach it. A row
    // inside a band shows the last cell's value there, not the area mean 238.
    const int row = 5; // inside the first band (9.45 rows)
    for (int c = 1; c <= 224; ++c)
        ASSERT_EQ(raster.at(row, c), 5) << c;
    for (int c = 225; c <= 449; ++c)
        ASSERT_EQ(raster.at(row, c), 250) << c;
}

TEST(FillGrayRaster, ShrinkingBothWaysGivesAreaWeightedMeans)
{
    // 5 cells on 2 columns (2.5 each) and 7 snapshots on 2 rows (3.5 each).
    const long N = 5, NS = 7;
    const int W = 2, H = 2;
    ASSERT_EQ(ChooseGrayMethod(W, H, N, NS), GrayMethod::BoxAverage);
    auto f = [](long s, long j) { return static_cast<double>(j * j) + 3.0 * s; };
    const auto data = history(N, NS, f);
    GrayRaster raster;
    const GrayRange range = FillGrayRaster(data, raster, W, H, N, NS, N + 2);
    EXPECT_EQ(range.vmin, f(0, 1));
    EXPECT_EQ(range.vmax, f(NS - 1, N));
    const double scale = 245 / (range.vmax - range.vmin);
    for (int r = 1; r <= H; ++r)
        for (int c = 1; c <= W; ++c) {
            // Exact overlap of the pixel with every stored value's unit square.
            double sum = 0;
            for (long s = 0; s < NS; ++s)
                for (long j = 1; j <= N; ++j) {
                    const double oy = std::max(0.0, std::min(r * 3.5, s + 1.0) - std::max((r - 1) * 3.5, 1.0 * s));
                    const double ox = std::max(0.0, std::min(c * 2.5, 1.0 * j) - std::max((c - 1) * 2.5, j - 1.0));
                    sum += f(s, j) * ox * oy;
                }
            const double mean = sum / (2.5 * 3.5);
            EXPECT_EQ(raster.at(r, c), std::lround(scale * (mean - range.vmin)) + 5) << r << "," << c;
        }
}

TEST(FillGrayRaster, EqualValuesGiveTheDarkestLevelEverywhere)
{
    struct Case {
        double value;
        long N, NS;
        int W, H;
    };
    const Case cases[] = {
        { 0.0, 10, 5, 40, 30 }, // coverage
        { 2.5, 10, 5, 40, 30 }, { -3.0, 10, 5, 40, 30 }, // top falls on vmin: the scale is kept finite
        { -3.0, 100, 80, 20, 10 }, // the same with the box average
        { -1e6, 100, 80, 20, 10 }, { -0.001, 10, 5, 40, 30 }, // small enough for the 1e-10 to keep a span
    };
    for (const auto& c : cases) {
        const auto data = history(c.N, c.NS, [&](long, long) { return c.value; });
        GrayRaster raster;
        const GrayRange range = FillGrayRaster(data, raster, c.W, c.H, c.N, c.NS, c.N + 2);
        EXPECT_EQ(range.vmin, static_cast<float>(c.value));
        EXPECT_EQ(range.vmax, static_cast<float>(c.value));
        for (int r = 1; r <= c.H; ++r)
            for (int col = 1; col <= c.W; ++col)
                ASSERT_EQ(raster.at(r, col), 5) << "value " << c.value << " at " << r << "," << col;
    }
}

TEST(FindMinMax, ScansCellsOneToNOfTheStoredSnapshotsOnly)
{
    const long N = 9;
    auto data = history(N, 4, [](long s, long j) { return 10.0 * s + j; });
    data[0] = -100; // cell 0 of snapshot 0
    data[static_cast<std::size_t>(N + 1)] = 500; // cell N+1
    const GrayRange r = FindMinMax(data, N, 3, N + 2); // snapshot 3 not stored yet
    EXPECT_EQ(r.vmin, 1);
    EXPECT_EQ(r.vmax, 29);

    // A short array: only the rows it holds are read.
    const std::vector<float> shortData(data.begin(), data.begin() + 2 * (N + 2));
    EXPECT_EQ(FindMinMax(shortData, N, 4, N + 2).vmax, 19);
    EXPECT_EQ(FindMinMax(data, 0, 4, N + 2).vmax, 0);
}

TEST(FillGrayRaster, NothingToDrawLeavesTheRasterEmpty)
{
    const auto data = history(5, 3, [](long s, long j) { return s + j; });
    GrayRaster raster;
    FillGrayRaster(data, raster, 0, 10, 5, 3, 7);
    EXPECT_TRUE(raster.empty());
    FillGrayRaster(data, raster, 10, 10, 5, 0, 7);
    EXPECT_TRUE(raster.empty());
    FillGrayRaster(data, raster, 10, 10, 5, 3, 6); // rows too short for cell N+1
    EXPECT_TRUE(raster.empty());
}
