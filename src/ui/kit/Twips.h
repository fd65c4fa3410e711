// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The window is laid out in twips, 15 to a pixel at 96 dots per inch.

#include <QPainter>
#include <QRect>
#include <QWidget>

namespace tamrel {

inline constexpr int kTwipsPerPixel = 15;

inline int twipsToPixels(int twips)
{
    return (twips + kTwipsPerPixel / 2) / kTwipsPerPixel;
}

inline QRect twipsRect(int left, int top, int width, int height)
{
    return QRect(twipsToPixels(left), twipsToPixels(top), twipsToPixels(width), twipsToPixels(height));
}

// The sunken 3-D border of a picture area, two shades on the window's face.
inline void drawSunkenFrame(QPainter& p, const QWidget& w)
{
    p.fillRect(w.rect(), w.palette().window());
    p.setPen(w.palette().dark().color());
    p.drawLine(0, 0, w.width() - 1, 0);
    p.drawLine(0, 0, 0, w.height() - 1);
    p.setPen(w.palette().light().color());
    p.drawLine(0, w.height() - 1, w.width() - 1, w.height() - 1);
    p.drawLine(w.width() - 1, 0, w.width() - 1, w.height() - 1);
}

} // namespace tamrel
