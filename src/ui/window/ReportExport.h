// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// File -> Export Report and --report: the lab report as a PDF and, from the
// same HTML text, an .html file beside it whose pictures are carried inside
// it. The pictures are those the window shows, with their axes and legends.

#include <optional>
#include <string>
#include <vector>

#include "app/report/ReportHtml.h"
#include "app/sheets/SheetGrade.h"

class QWidget;

namespace tamrel {

struct ExperimentState;

// The report's content from `window` (its description, L1 readout, the
// comparison on show, the lab sheet open beside it); the pictures named
// "plots.png" and "spacetime.png".
report::ReportContent reportContentOf(const QWidget& window, const ExperimentState& s);

// The lab sheet's questions, the answers as typed and, once checked, every
// check's and answer's result.
report::ReportSheet reportSheetOf(
    const sheets::LabSheet& sheet, const std::vector<std::string>& answers, const sheets::SheetGrade* grade);

// The .html file that goes with a report named `path` ("report.pdf" ->
// "report.html"); `path` itself when it names an .html file.
std::string reportHtmlPath(const std::string& path);

// Writes the report of `window` to `path`: a PDF and the .html beside it, or
// the .html alone when `path` ends in .html. `sheets` stand in for the sheet
// window's (a batch check's). Nothing, or why not (and then no file changed).
std::optional<std::string> exportReport(const QWidget& window, const ExperimentState& s, const std::string& path,
    const std::optional<std::vector<report::ReportSheet>>& sheets = std::nullopt);

} // namespace tamrel
