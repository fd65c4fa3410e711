// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// tamrel --check SHEET.json...: every sheet is read and its problem set up
// before anything runs; then each sheet's runs, one line per check.

#include <optional>
#include <string>
#include <vector>

#include "app/BatchOptions.h"
#include "app/sheets/LabSheet.h"

namespace tamrel {

// The batch options that set up a sheet's problem as `tamrel --batch` would
// (the grid size goes to batch::prepareRun on its own).
BatchOptions batchOptionsOf(const sheets::LabSheet& sheet);

// With `answers` (a file of the student's answers to the one sheet), the
// questions that ask for a number are graded too; without, the output says
// only the checks were.
// Exit status: 0 every check (and answer) passed; 1 one failed (or a run
// did); 2 a sheet or answers file that cannot be read, or a problem that
// cannot answer one of its checks (nothing has run then; the line names the
// file and the key).
// With `report` (one sheet), the lab report of the sheet's run, its answers
// and its results is written there, as the student `studentName`.
int runSheetChecks(const std::vector<std::string>& files, char* program,
    const std::optional<std::string>& answers = {}, const std::optional<std::string>& report = {},
    const std::string& studentName = "Lab sheet");

} // namespace tamrel
