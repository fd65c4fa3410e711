// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A convergence study's table as CSV (scheme, cells, the three errors, the
// local order, seconds and cell updates per second), the same file from the
// command line and from the window's study dialog.

#include <string>

#include "compare/ConvergenceStudy.h"

namespace tamrel {

// The order as the table gives it: four decimals, or "nan".
std::string studyOrderText(double q);
// A row's local order, with " (floor)" when its error lies at the rounding
// floor and the fit leaves it out.
std::string studyRowOrderText(const compare::StudyRow& row);
// A scheme's fitted order, naming the cells left out at the rounding floor:
// "2.9876", "2.9876 (256, 512 cells at the single-precision floor, not fitted)".
std::string studyFitText(const compare::StudyResult& r, const std::string& scheme);
// The command line's line for one scheme: scheme= fitted_order= step_orders=
// (each step's local order, from the second resolution on) and, when some
// rows lie at the rounding floor, floored_cells= (left out of the fit).
std::string studySummaryLine(const compare::StudyResult& r, const std::string& scheme);
// False when the file cannot be written.
bool writeStudyCsv(const compare::StudyResult& r, const std::string& path);
// A path whose name ends in .svg (any letter case) asks for SVG.
bool endsWithSvg(const std::string& path);

} // namespace tamrel
