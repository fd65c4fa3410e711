// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// An animated GIF built in memory through giflib: one palette of up to 255
// colours for every frame (the last entry is kept for "unchanged"), frames
// given as palette indices, each stored as the rectangle in which it
// differs from the frame before, the rest left transparent.

#include <array>
#include <cstdint>
#include <optional>
#include <string>
#include <vector>

namespace tamrel {

class GifWriter {
public:
    static constexpr int kTransparent = 255;
    using Rgb = std::array<std::uint8_t, 3>;

    // A screen of `width` x `height`, looping for ever.
    GifWriter(int width, int height, const std::vector<Rgb>& palette);
    ~GifWriter();
    GifWriter(const GifWriter&) = delete;
    GifWriter& operator=(const GifWriter&) = delete;

    // One frame, width*height indices below the palette's size, shown for
    // `centiseconds`. False when giflib refused it (error() says why).
    bool addFrame(const std::vector<std::uint8_t>& indices, int centiseconds);
    // Ends the file; its bytes, or nothing when giflib failed.
    std::optional<std::vector<std::uint8_t>> finish();
    const std::string& error() const { return error_; }

private:
    bool fail(int code);

    void* gif_ = nullptr; // GifFileType
    int width_, height_;
    std::vector<std::uint8_t> bytes_;
    std::vector<std::uint8_t> previous_;
    std::string error_;
};

} // namespace tamrel
