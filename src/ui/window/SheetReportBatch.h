// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// `tamrel --check SHEET --report FILE`: the sheet's run, in a window of its
// own that nobody sees, and the lab report of it with the graded sheet.

#include <optional>
#include <string>

#include "app/report/ReportHtml.h"
#include "app/sheets/LabSheet.h"

namespace tamrel {

// Runs `sheet`'s problem with its scheme and grid to its stop time as the
// student `name` and writes the report with `graded` to `path`; nothing, or
// why not.
std::optional<std::string> writeSheetReport(const sheets::LabSheet& sheet, const std::string& name,
    const report::ReportSheet& graded, const std::string& path);

} // namespace tamrel
