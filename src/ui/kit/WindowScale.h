// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The window at any size: the designed layout (twips, 15 to a pixel at 96
// dots per inch) is the layout at scale 1, and at scale s every control's
// place, size and font are s times their designed ones. Each control keeps
// its designed rectangle and font size; applyLayoutScale places them all
// afresh. A control that moves between designed places (the space-time
// picture, small or big) is placed with placeInTwips, so a later change of
// scale keeps it where it is.

#include <QRect>
#include <QSize>

class QFont;
class QWidget;

namespace tamrel {

// The designed client area in twips (the exact-solution strip included).
inline constexpr int kClientWidthTwips = 15000;
inline constexpr int kClientHeightTwips = 11760;
// The smallest scale the window goes down to: the smallest caption is still
// about 8 pixels high there.
inline constexpr double kMinimumLayoutScale = 0.75;

// The rectangle of a designed rectangle at scale s (pixels). At scale 1 each
// of left, top, width and height is rounded on its own, as the layout
// always was.
QRect scaledTwipsRect(const QRect& twips, double s);
// The designed client area's size at scale s.
QSize scaledClientSize(double s);

// The scale in force for a control of the client area (1 until set).
double layoutScale(const QWidget& control);
// Place a control at its designed rectangle at the scale in force, and keep
// the rectangle for later changes of scale.
void placeInTwips(QWidget& control, const QRect& twips);
// Give a control its designed font (its pixel size is scaled from now on).
void setDesignedFont(QWidget& control, const QFont& font);
// Every control of `client` to scale s: places and fonts.
void applyLayoutScale(QWidget& client, double s);

// The menu bar, its menus and the status line lie outside the client area
// but follow its scale: their fonts are s times the ones they were made
// with, never below this many pixels, where a menu item or a message is
// still easy to read.
inline constexpr int kLegibleBarPixels = 10;
// A bar's font at scale s (the first call keeps its font's pixel size as the
// designed one). Returns the scale its font is at (the legible floor makes
// it larger than s where the designed font is small).
double scaleBarFont(QWidget& bar, double s);

// The largest scale at which the client area fits `available` (width and
// height left for it), never below the minimum scale.
double fittingScale(const QSize& available);

} // namespace tamrel
