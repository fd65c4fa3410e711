// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The one-line caption under an exported picture and at the head of a
// report: who ran what, with which scheme, to what time, on how many cells.

#include <string>
#include <vector>

#include "app/BatchOptions.h"
#include "state/ExperimentState.h"

namespace tamrel::report {

struct CaptionFacts {
    std::string name; // the student's name ("" leaves it out)
    std::string problem; // "Test 1", "Sound wave", a set-up file's name
    std::vector<std::string> schemes; // one, or the schemes of a comparison
    double time = 0;
    long cells = 0;
};

// "A. Student, Test 1, Orvane, t=0.2, 400 cells". Line breaks and tabs in a
// typed name or title become blanks, so the caption stays on one line.
std::string CaptionLine(const CaptionFacts& facts);

// The facts of `s` under `name` and `problem`, with its own scheme unless a
// comparison names `schemes`.
CaptionFacts CaptionFactsOf(
    const ExperimentState& s, const std::string& problem, const std::vector<std::string>& schemes = {});

// The problem a batch run sets up, as a caption names it.
std::string BatchProblemName(const BatchOptions& o);

// One line of `text`: every run of control characters as one blank, no
// blanks at either end.
std::string OneLine(const std::string& text);

} // namespace tamrel::report
