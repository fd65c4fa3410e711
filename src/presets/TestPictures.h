// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The pictures behind the captions of the eight shock-tube buttons: each
// test's initial state drawn small and pale, so the black caption over it
// stays readable. Density is a filled area, pressure a red step line,
// velocity green arrows (x-velocity along the grid, transverse velocity
// upward), the jump a faint dashed line. Density and pressure each use their
// own scale: linear from zero, or logarithmic when the two states differ by
// more than a factor of 20 (the strong shocks of Tests 5 and 8).

#include <cstdint>
#include <vector>

#include "presets/ShockTubeTests.h"

namespace tamrel {

// A row-major image, row 0 at the top, each pixel 0xAARRGGBB with straight
// (not premultiplied) alpha; transparent where nothing is drawn, so the
// button face shows through.
struct TestPicture {
    int width = 0;
    int height = 0;
    std::vector<std::uint32_t> argb;

    std::uint32_t pixel(int x, int y) const { return argb[static_cast<std::size_t>(y) * width + x]; }
};

// The buttons are 97 x 41 pixels; the pictures are drawn at twice that.
inline constexpr int kTestButtonWidth = 97;
inline constexpr int kTestButtonHeight = 41;
inline constexpr int kTestPictureWidth = 2 * kTestButtonWidth;
inline constexpr int kTestPictureHeight = 2 * kTestButtonHeight;

// Picture of any two-state problem at the given size (sizes below 8 x 8
// give an empty image of that size).
TestPicture RenderTestPicture(
    const ShockTubeTest& t, int width = kTestPictureWidth, int height = kTestPictureHeight);

// Picture of test `number` (1..kShockTubeTestCount) at the button's doubled size.
TestPicture RenderTestPicture(int number);

} // namespace tamrel
