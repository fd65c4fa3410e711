// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Grading a lab sheet: its checks measured on its runs, the numbers a
// student typed for its questions held against what the lab measured (or
// the sheet's exact values), and what to look at when something fails. The
// window's Check and `tamrel --check` both grade through GradeSheet.

#include <atomic>
#include <optional>
#include <string>
#include <vector>

#include "app/sheets/LabSheet.h"
#include "app/sheets/SheetRun.h"

namespace tamrel::sheets {

struct AnswerResult {
    std::size_t question = 0; // its place in the sheet's questions
    std::string typed; // as the student typed it
    std::optional<double> given; // the number read from it
    double reference = 0; // what the lab measured, or the sheet's exact value (NaN when neither is known)
    bool exact = false; // the reference is the sheet's exact value
    double tolerance = 0;
    bool pass = false;
    std::string note; // why it failed, in words ("" when it passed)
};

struct SheetGrade {
    std::vector<CheckResult> checks;
    // One result for each question that asks for a number, when answers
    // were given; none when they were not.
    std::vector<AnswerResult> answers;
    bool answersGiven = false;
    bool cancelled = false;
    bool pass() const;
};

// The number in a typed answer: decimal or exponent notation with blanks
// around it, a decimal comma taken for a point. Nothing for anything else.
std::optional<double> ReadAnswer(const std::string& typed);

// Grades the answer typed for question `q` (which asks for a number)
// against the checks measured on the sheet's run.
AnswerResult GradeAnswer(
    const LabSheet& sheet, std::size_t q, const std::string& typed, const std::vector<CheckResult>& checks);

// Runs and measures every check (RunSheetChecks), then grades `answers`, one
// text for each question in order (missing ones count as not answered), when
// given. A cancelled grading grades nothing.
SheetGrade GradeSheet(const LabSheet& sheet, const ReadyRecords& ready, const compare::PrepareStudyRun& prepare,
    int threads, const std::vector<std::string>* answers, const std::atomic<bool>* cancel = nullptr,
    const SheetProgress& progress = {});

// What to look at when a check failed, built from the measured value minus
// the expected one: "the shock is 0.012 behind the expected position 0.7307:
// more cells or a higher-order scheme". Empty when the check passed.
std::string CheckHint(const CheckResult& r);

// "PASS  question 3  answer=0.73  measured=0.7313  tolerance=0.005" and,
// when it failed, why.
std::string AnswerLine(const AnswerResult& a);

} // namespace tamrel::sheets
