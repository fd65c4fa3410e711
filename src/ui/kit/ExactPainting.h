// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Drawing the exact solution with Qt: the colours and pens of each kind of
// wave, and the space-time picture with its waves as a PNG.

#include <QColor>
#include <QImage>
#include <string>
#include <vector>

#include "exact/WavePattern.h"

class QPainter;

namespace tamrel {

// The colour of the exact solution on the line plots.
QColor ExactCurveColour();

// Draw wave polylines (picture pixels) with one pen per kind: shocks red,
// the contact blue, fan heads and tails orange, the characteristics inside
// a fan thin orange, vacuum edges magenta.
void PaintWavePattern(QPainter& painter, const std::vector<exact::WavePolyline>& lines);

} // namespace tamrel
