// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The grayscale space-time image: every stored snapshot of one variable
// becomes a band of pixel rows (the first snapshot at the bottom, the latest
// at the top) and every cell a band of pixel columns; gray levels run from 5
// (smallest stored value) to 250 (largest).
//
// Two ways to fill the picture, chosen by its size against the history:
//  * box average when both directions shrink (NS > H+1 and N > W+1): every
//    pixel is the area-weighted mean of the stored values it covers;
//  * coverage blending otherwise: each snapshot and cell is written over
//    the pixels it covers, partly covered edge pixels blended with what is
//    already there.
// Positions advance by repeated addition of the step, whole parts are
// truncated toward zero, and every stored gray level or blend goes to the
// nearest whole number, halves to even. The fast paths below give exactly
// the pixels of a literal pixel-by-pixel reading of those rules.

#include <cstddef>
#include <cstdint>
#include <optional>
#include <span>
#include <vector>

namespace tamrel {

// Bytes in one scan line of an 8-bit image `width` pixels wide: the width
// rounded up to a multiple of 4.
long ScanAlign(long width);

// An 8-bit gray image, bottom-up: scan line 0 is the bottom row, scan line k
// starts at bits[k * stride]. Palette index i is the gray (i, i, i).
struct GrayImage {
    int width = 0;
    int height = 0;
    int stride = 0;
    std::vector<std::uint8_t> bits;
};

// A black image of the given size with stride ScanAlign(width).
GrayImage MakeGrayImage(int width, int height);

// The work raster of a paint: pixel (row r, column c), r = 1..H from the
// bottom and c = 1..W from the left, plus one spare row (H+1) and one spare
// column (W+1) for partly covered trailing rows and columns.
class GrayRaster {
public:
    GrayRaster() = default;
    GrayRaster(int width, int height) { reset(width, height); }

    // All zero, (W+1) x (H+1) values; a non-positive size gives an empty raster.
    void reset(int width, int height);

    int width() const { return width_; }
    int height() const { return height_; }
    bool empty() const { return values_.empty(); }

    std::int32_t& at(int r, int c) { return values_[index(r, c)]; }
    std::int32_t at(int r, int c) const { return values_[index(r, c)]; }
    // Row r's values, columns 1..W+1 (element 0 is column 1).
    std::int32_t* row(int r) { return values_.data() + index(r, 1); }
    const std::int32_t* row(int r) const { return values_.data() + index(r, 1); }

private:
    std::size_t index(int r, int c) const
    {
        return static_cast<std::size_t>(r - 1) * static_cast<std::size_t>(width_ + 1)
            + static_cast<std::size_t>(c - 1);
    }
    int width_ = 0;
    int height_ = 0;
    std::vector<std::int32_t> values_;
};

struct GrayRange {
    double vmin = 0;
    double vmax = 0;
};

// Smallest and largest value of cells 1..N over snapshots 0..NS-1; the
// value of cell j in snapshot s is data[s*rowLen + j]. Rows the data does
// not hold are not read. Nothing to scan gives {0, 0}.
GrayRange FindMinMax(std::span<const float> data, long N, long NS, long rowLen);

// The linear map from a stored value to its gray level:
//   top = max(vmax, vmin*1.00000001 + 1e-10), scale = 245 / (top - vmin),
//   gray(v) = [scale * (v - vmin)] + 5.
// When every value is the same negative number, top falls on vmin and the
// scale would be infinite; the scale is then 0, so every pixel is 5.
struct GrayScale {
    double vmin = 0;
    double scale = 0;
    static GrayScale forRange(GrayRange range);
};

enum class GrayMethod { BoxAverage, CoverageBlending };
GrayMethod ChooseGrayMethod(int W, int H, long N, long NS);

// Fill `raster` (reset to W x H) with the gray levels of the history and
// return the data range (from FindMinMax). Needs rowLen >= N+2 (the box
// average may read cell N+1); otherwise, or for an empty picture or
// history, the raster is left empty. Rows the data does not hold are not read.
GrayRange FillGrayRaster(
    std::span<const float> data, GrayRaster& raster, int W, int H, long N, long NS, long rowLen);

// Write the raster into the bottom-up image at zoom f = min(bmW / W, bmH / H):
// each pixel becomes f x f, bytes right of f*W and scan lines from f*H up are
// black. With f = 0 (picture larger than the image) the image is all black.
// The picture shows scan lines height-1 (top) down to height-H, columns 0..W-1.
void CopyRasterToDib(const GrayRaster& raster, GrayImage& image);

// The whole drawing of one image: a fresh raster, FillGrayRaster, then
// CopyRasterToDib. Returns the data range, or nothing (and the image is left
// as it was) when there is nothing to draw.
std::optional<GrayRange> DrawSpaceTimeImage(
    std::span<const float> data, long N, long NS, long rowLen, int W, int H, GrayImage& image);

} // namespace tamrel
