// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/window/GifWriter.h"

#include <gif_lib.h>

#include <algorithm>

namespace tamrel {

namespace {

    int appendBytes(GifFileType* gif, const GifByteType* data, int length)
    {
        auto* out = static_cast<std::vector<std::uint8_t>*>(gif->UserData);
        out->insert(out->end(), data, data + length);
        return length;
    }

    GifFileType* file(void* gif)
    {
        return static_cast<GifFileType*>(gif);
    }

} // namespace

GifWriter::GifWriter(int width, int height, const std::vector<Rgb>& palette)
    : width_(width)
    , height_(height)
{
    int code = 0;
    GifFileType* gif = EGifOpen(&bytes_, appendBytes, &code);
    if (!gif) {
        fail(code);
        return;
    }
    gif_ = gif;
    std::vector<GifColorType> colours(256, GifColorType { 255, 255, 255 });
    for (std::size_t k = 0; k < palette.size() && k < kTransparent; ++k)
        colours[k] = GifColorType { palette[k][0], palette[k][1], palette[k][2] };
    ColorMapObject* map = GifMakeMapObject(256, colours.data());
    EGifSetGifVersion(gif, true);
    const bool described = EGifPutScreenDesc(gif, width, height, 8, 0, map) == GIF_OK;
    GifFreeMapObject(map);
    if (!described) {
        fail(gif->Error);
        return;
    }
    // The application block that makes viewers loop the frames for ever.
    static const unsigned char netscape[] = "NETSCAPE2.0";
    const unsigned char loop[] = { 1, 0, 0 };
    if (EGifPutExtensionLeader(gif, APPLICATION_EXT_FUNC_CODE) != GIF_OK
        || EGifPutExtensionBlock(gif, 11, netscape) != GIF_OK || EGifPutExtensionBlock(gif, 3, loop) != GIF_OK
        || EGifPutExtensionTrailer(gif) != GIF_OK)
        fail(gif->Error);
}

GifWriter::~GifWriter()
{
    if (gif_) {
        int code = 0;
        EGifCloseFile(file(gif_), &code);
    }
}

bool GifWriter::fail(int code)
{
    if (error_.empty()) {
        const char* text = GifErrorString(code);
        error_ = text ? text : "giflib error " + std::to_string(code);
    }
    return false;
}

bool GifWriter::addFrame(const std::vector<std::uint8_t>& indices, int centiseconds)
{
    if (!gif_ || !error_.empty())
        return false;
    if (indices.size() != static_cast<std::size_t>(width_) * height_) {
        error_ = "a frame of the wrong size";
        return false;
    }
    // The rectangle that changed since the last frame (all of the first).
    int left = 0, top = 0, right = width_ - 1, bottom = height_ - 1;
    std::vector<std::uint8_t> frame = indices;
    if (!previous_.empty()) {
        left = width_;
        top = height_;
        right = -1;
        bottom = -1;
        for (int y = 0; y < height_; ++y)
            for (int x = 0; x < width_; ++x) {
                const std::size_t i = static_cast<std::size_t>(y) * width_ + x;
                if (indices[i] == previous_[i]) {
                    frame[i] = kTransparent;
                    continue;
                }
                left = std::min(left, x);
                right = std::max(right, x);
                top = std::min(top, y);
                bottom = std::max(bottom, y);
            }
        if (right < 0) // nothing changed: one transparent pixel keeps the frame's time
            left = right = top = bottom = 0;
    }
    GraphicsControlBlock control {};
    control.DisposalMode = DISPOSE_DO_NOT;
    control.UserInputFlag = false;
    control.DelayTime = centiseconds;
    control.TransparentColor = previous_.empty() ? NO_TRANSPARENT_COLOR : kTransparent;
    GifByteType extension[4];
    EGifGCBToExtension(&control, extension);
    GifFileType* gif = file(gif_);
    if (EGifPutExtension(gif, GRAPHICS_EXT_FUNC_CODE, 4, extension) != GIF_OK)
        return fail(gif->Error);
    const int w = right - left + 1, h = bottom - top + 1;
    if (EGifPutImageDesc(gif, left, top, w, h, false, nullptr) != GIF_OK)
        return fail(gif->Error);
    std::vector<GifPixelType> line(static_cast<std::size_t>(w));
    for (int y = top; y <= bottom; ++y) {
        const std::uint8_t* row = frame.data() + static_cast<std::size_t>(y) * width_ + left;
        std::copy(row, row + w, line.begin());
        if (EGifPutLine(gif, line.data(), w) != GIF_OK)
            return fail(gif->Error);
    }
    previous_ = indices;
    return true;
}

std::optional<std::vector<std::uint8_t>> GifWriter::finish()
{
    if (!gif_)
        return std::nullopt;
    int code = 0;
    const bool closed = EGifCloseFile(file(gif_), &code) == GIF_OK;
    gif_ = nullptr;
    if (!closed) {
        fail(code);
        return std::nullopt;
    }
    if (!error_.empty())
        return std::nullopt;
    return std::move(bytes_);
}

} // namespace tamrel
