#pragma once
// A convergence study's table as CSV (scheme, cells, the three errors, the
// local order, seconds and cell updates per second), the same file from the
// command line and from the window's study dialog.

#include <string>

#include "compare/ConvergenceStudy.h"

namespace tamrel {

// The order as the table gives it: four decimals, or "nan".
std::string studyOrderText(double q);
// False when the file cannot be written.
bool writeStudyCsv(const compare::StudyResult& r, const std::string& path);
// A path whose name ends in .svg (any letter case) asks for SVG.
bool endsWithSvg(const std::string& path);

} // namespace tamrel
