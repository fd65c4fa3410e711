// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The convergence study's plot as a picture file: PNG through QPainter, SVG
// as the drawing's own text.

#include <QImage>
#include <string>

#include "compare/StudyPlot.h"

namespace tamrel {

// The drawing as the PNG shows it.
QImage StudyPlotImage(const compare::StudyPlotDrawing& d);

// Writes `d` to `path` as PNG, or as SVG when `svg`; false when it cannot.
bool SaveStudyPlot(const compare::StudyPlotDrawing& d, const std::string& path, bool svg);

} // namespace tamrel
