// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <algorithm>

#include "presets/TestPictures.h"

using namespace tamrel;

namespace {

unsigned channel(std::uint32_t px, int shift)
{
    return (px >> shift) & 0xFFu;
}

// Luminance of a pixel laid over a light button face (0xF0F0F0).
double luminanceOnButton(std::uint32_t px)
{
    const double a = channel(px, 24) / 255.0;
    auto over = [&](int shift) { return channel(px, shift) * a + 240 * (1 - a); };
    return 0.299 * over(16) + 0.587 * over(8) + 0.114 * over(0);
}

// Topmost row, within columns [x0, x1), of a clearly red pixel (the
// pressure line), or -1.
int topRedRow(const TestPicture& pic, int x0, int x1)
{
    for (int y = 0; y < pic.height; ++y)
        for (int x = x0; x < x1; ++x) {
            const std::uint32_t px = pic.pixel(x, y);
            if (channel(px, 24) > 0x60 && channel(px, 16) > channel(px, 8) + 60)
                return y;
        }
    return -1;
}

} // namespace

TEST(TestPictures, EveryTestHasItsOwnPalePicture)
{
    std::vector<TestPicture> pics;
    for (int n = 1; n <= 8; ++n) {
        TestPicture pic = RenderTestPicture(n);
        ASSERT_EQ(pic.width, 194);
        ASSERT_EQ(pic.height, 82);
        ASSERT_EQ(pic.argb.size(), 194u * 82u);
        long drawn = 0;
        double darkest = 255;
        for (std::uint32_t px : pic.argb) {
            drawn += channel(px, 24) > 0;
            darkest = std::min(darkest, luminanceOnButton(px));
        }
        EXPECT_GT(drawn, 194 * 82 / 4) << "test " << n;
        // Pale: a black caption keeps its contrast everywhere.
        EXPECT_GE(darkest, 140) << "test " << n;
        for (std::size_t k = 0; k < pics.size(); ++k)
            EXPECT_NE(pic.argb, pics[k].argb) << "tests " << k + 1 << " and " << n;
        pics.push_back(std::move(pic));
    }
}

TEST(TestPictures, BothPressuresVisibleAcrossLargeJumps)
{
    // Tests 5 and 8 differ by five and two and a half decades in pressure;
    // the low side must stand clear of the bottom edge, below the high side.
    for (int n : { 1, 5, 6, 8 }) {
        const TestPicture pic = RenderTestPicture(n);
        const ShockTubeTest& t = shockTubeTest(n);
        const int xJump = static_cast<int>(pic.width * (t.XJump - t.XL) / (t.XR - t.XL));
        const int left = topRedRow(pic, 4, std::max(5, xJump - 6));
        const int right = topRedRow(pic, xJump + 6, pic.width - 4);
        ASSERT_GE(left, 0) << n;
        ASSERT_GE(right, 0) << n;
        EXPECT_LT(left, right) << n; // higher pressure on the left: nearer the top
        EXPECT_LT(right, pic.height * 9 / 10) << n;
    }
}

TEST(TestPictures, OtherSizesAndDegenerateSizes)
{
    const TestPicture small = RenderTestPicture(shockTubeTest(3), 97, 41);
    EXPECT_EQ(small.argb.size(), 97u * 41u);
    EXPECT_TRUE(std::any_of(small.argb.begin(), small.argb.end(), [](std::uint32_t p) { return p != 0; }));

    const TestPicture tiny = RenderTestPicture(shockTubeTest(3), 4, 3);
    EXPECT_EQ(tiny.argb.size(), 12u);
    const TestPicture none = RenderTestPicture(shockTubeTest(3), -1, 10);
    EXPECT_EQ(none.width, 0);
    EXPECT_TRUE(none.argb.empty());
}
