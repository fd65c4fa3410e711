// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The axes drawn over the pictures, apart from their designed drawings: for
// a line plot its variable, the time of the state shown, light ticks with
// values along x and y, and a legend of the overlaid times; for the
// space-time picture an x axis, a time axis and a gray scale bar with the
// variable's range. `unit` is the pixels of one designed pixel (the
// window's scale, or an export's), so text and ticks grow with the picture.

#include <QColor>
#include <QRectF>
#include <QString>
#include <vector>

#include "plots/PlotAxes.h"

class QPainter;

namespace tamrel {

struct LegendEntry {
    QString text;
    QColor colour;
};

// The ticks, the title and the time (or the legend of overlaid states) over a
// line plot; the title and the legend go where the `curves` (in fractions of
// the area, see QuietestPlace) cover the least.
void paintLinePlotAxes(QPainter& p, const QRectF& area, const PlotAxes& axes, const QString& timeText,
    const std::vector<LegendEntry>& legend, double unit, const std::vector<std::vector<PlotCurvePoint>>& curves = {});

struct SpaceTimeAxes {
    bool shown = false;
    QString variable;
    double xmax = 1; // grid from 0 to xmax across
    double tmax = 0; // time of the top row (the bottom row is time 0)
    double vmin = 0, vmax = 0; // the values of gray levels 5 and 250
};

void paintSpaceTimeAxes(QPainter& p, const QRectF& area, const SpaceTimeAxes& axes, double unit);

} // namespace tamrel
