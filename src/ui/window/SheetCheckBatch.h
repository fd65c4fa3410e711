// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// tamrel --check SHEET.json...: every sheet is read and its problem set up
// before anything runs; then each sheet's runs, one line per check.

#include <string>
#include <vector>

#include "app/BatchOptions.h"
#include "app/sheets/LabSheet.h"

namespace tamrel {

// The batch options that set up a sheet's problem as `tamrel --batch` would
// (the grid size goes to batch::prepareRun on its own).
BatchOptions batchOptionsOf(const sheets::LabSheet& sheet);

// Exit status: 0 every check passed; 1 a check failed (or its run did);
// 2 a sheet that cannot be read, or whose problem cannot answer one of its
// checks (nothing has run then; the line names the sheet and the key).
int runSheetChecks(const std::vector<std::string>& files, char* program);

} // namespace tamrel
