#pragma once
// The window is laid out in twips, 15 to a pixel at 96 dots per inch.

#include <QRect>

namespace tamrel {

inline constexpr int kTwipsPerPixel = 15;

inline int twipsToPixels(int twips) { return (twips + kTwipsPerPixel / 2) / kTwipsPerPixel; }

inline QRect twipsRect(int left, int top, int width, int height)
{
    return QRect(twipsToPixels(left), twipsToPixels(top), twipsToPixels(width), twipsToPixels(height));
}

} // namespace tamrel
