// SPDX-License-Identifier: GPL-3.0-or-later
// Scan lines and the copy of the raster into the bottom-up 8-bit image.

#include <gtest/gtest.h>

#include "spacetime/SpaceTimeImage.h"

using namespace tamrel;

TEST(ScanAlign, RoundsTheWidthUpToWholeWords)
{
    const std::pair<long, long> cases[]
        = { { 449, 452 }, { 452, 452 }, { 1, 4 }, { 969, 972 }, { 0, 0 }, { 4, 4 }, { 5, 8 } };
    for (const auto& [w, bytes] : cases)
        EXPECT_EQ(ScanAlign(w), bytes) << w;
    const GrayImage img = MakeGrayImage(449, 189);
    EXPECT_EQ(img.stride, 452);
    EXPECT_EQ(img.bits.size(), 452u * 189u);
}

namespace {

GrayRaster smallRaster()
{
    GrayRaster r(3, 2);
    const int v[2][3] = { { 10, 20, 30 }, { 40, 50, 60 } };
    for (int row = 1; row <= 2; ++row)
        for (int c = 1; c <= 3; ++c)
            r.at(row, c) = v[row - 1][c - 1];
    return r;
}

std::vector<std::uint8_t> scanLine(const GrayImage& img, int k)
{
    const auto* p = img.bits.data() + static_cast<std::size_t>(k) * img.stride;
    return { p, p + img.stride };
}

} // namespace

TEST(CopyRasterToDib, ZoomsWholePixelsBottomUpAndBlackensTheRest)
{
    GrayImage img = MakeGrayImage(7, 5); // zoom min(7 div 3, 5 div 2) = 2, stride 8
    std::fill(img.bits.begin(), img.bits.end(), 0xEE);
    CopyRasterToDib(smallRaster(), img);
    const std::vector<std::uint8_t> bottom = { 10, 10, 20, 20, 30, 30, 0, 0 };
    const std::vector<std::uint8_t> top = { 40, 40, 50, 50, 60, 60, 0, 0 };
    EXPECT_EQ(scanLine(img, 0), bottom);
    EXPECT_EQ(scanLine(img, 1), bottom);
    EXPECT_EQ(scanLine(img, 2), top);
    EXPECT_EQ(scanLine(img, 3), top);
    EXPECT_EQ(scanLine(img, 4), std::vector<std::uint8_t>(8, 0)); // above f*H
}

TEST(CopyRasterToDib, APictureLargerThanItsImageLeavesItBlackWithoutOverrunning)
{
    GrayImage img = MakeGrayImage(2, 9); // narrower than the raster: zoom 0
    std::fill(img.bits.begin(), img.bits.end(), 0xEE);
    CopyRasterToDib(smallRaster(), img);
    EXPECT_EQ(img.bits, std::vector<std::uint8_t>(4 * 9, 0));

    GrayImage damaged; // a size with no pixels behind it
    damaged.width = 6;
    damaged.height = 4;
    CopyRasterToDib(smallRaster(), damaged);
    EXPECT_EQ(damaged.stride, 8);
    ASSERT_EQ(damaged.bits.size(), 32u);
    EXPECT_EQ(damaged.bits[0], 10);
}

TEST(DrawSpaceTimeImage, PutsTheFirstSnapshotAtTheBottom)
{
    const long N = 4, NS = 3;
    std::vector<float> data(static_cast<std::size_t>((N + 2) * NS));
    for (long s = 0; s < NS; ++s)
        for (long j = 0; j <= N + 1; ++j)
            data[static_cast<std::size_t>(s * (N + 2) + j)] = static_cast<float>(s);
    GrayImage img = MakeGrayImage(8, 6);
    const auto range = DrawSpaceTimeImage(data, N, NS, N + 2, 8, 6, img);
    ASSERT_TRUE(range.has_value());
    EXPECT_EQ(range->vmin, 0);
    EXPECT_EQ(range->vmax, 2);
    EXPECT_EQ(scanLine(img, 0)[0], 5);
    EXPECT_EQ(scanLine(img, 5)[7], 250);

    GrayImage untouched = MakeGrayImage(8, 6);
    untouched.bits[0] = 99;
    EXPECT_FALSE(DrawSpaceTimeImage(data, N, 0, N + 2, 8, 6, untouched).has_value());
    EXPECT_EQ(untouched.bits[0], 99);
}
