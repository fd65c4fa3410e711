// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The lab report as one HTML text: the student's name and the date, the
// problem and its description, the scheme and every run parameter, the L1
// readout, a comparison or study on show, a lab sheet's questions, answers
// and check results, and last the pictures as the window shows them (the
// text first, so a picture too tall for the rest of a page leaves no gap
// in it). The same
// text becomes the PDF (drawn by the window layer) and the .html file; only
// the pictures' sources differ (resource names for the one, data URIs for
// the other).

#include <string>
#include <utility>
#include <vector>

#include "state/ExperimentState.h"

namespace tamrel::report {

struct ReportPicture {
    std::string title; // "Line plots"
    std::string source; // what <img src> names
    int width = 0; // as drawn on the page, in pixels (0: the picture's own)
};

struct ReportSheet {
    std::string title;
    std::vector<std::pair<std::string, std::string>> questions; // text, the answer as typed
    std::vector<std::pair<std::string, bool>> results; // a check's or answer's line, passed
    bool checked = false;
};

struct ReportContent {
    std::string caption; // the caption line (name, problem, scheme, time, cells)
    std::string name;
    std::string date;
    std::string problem;
    std::string description; // the problem's description as the window shows it
    std::vector<std::pair<std::string, std::string>> parameters;
    std::vector<ReportPicture> pictures;
    std::string l1; // the L1 readout ("" when none is shown)
    std::vector<std::string> study; // a comparison or study on show, a line each
    std::vector<ReportSheet> sheets;
};

// Every parameter of the run in `s`, named as the window names it.
std::vector<std::pair<std::string, std::string>> RunParameters(const ExperimentState& s);

// The report as a whole HTML document; every text from the content is escaped.
std::string ReportHtml(const ReportContent& c);

// `text` with &, <, > and " written as entities.
std::string HtmlEscaped(const std::string& text);

} // namespace tamrel::report
