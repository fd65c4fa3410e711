// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/window/SheetReportBatch.h"

#include "common/Format.h"
#include "state/ExperimentState.h"
#include "ui/window/BatchSupport.h"
#include "ui/kit/Controls.h"
#include "ui/window/ReportExport.h"
#include "ui/kit/ScriptedDialogs.h"
#include "ui/window/SheetCheckBatch.h"
#include "ui/window/frmTamrel.h"

namespace tamrel {

std::optional<std::string> writeSheetReport(const sheets::LabSheet& sheet, const std::string& name,
    const report::ReportSheet& graded, const std::string& path)
{
    BatchOptions o = batchOptionsOf(sheet);
    o.name = name;
    if (!sheet.scheme.empty())
        o.scheme = sheet.scheme;
    o.cells = sheet.cells;
    ScriptedDialogs dialogs;
    WindowOptions options;
    options.studentName = name;
    options.tickBudgetSeconds = 0;
    options.threads = 1;
    frmTamrel w(dialogs, options);
    if (auto refusal = batch::setRunValues(w, dialogs, o))
        return refusal;
    if (auto refusal = batch::loadProblem(w, dialogs, o))
        return refusal;
    const ExperimentState& s = w.record();
    press(w, "cmdBegin");
    while (s.Stopped == 0 && !w.runFaulted())
        w.tick();
    if (w.runFaulted() || s.TimeNow < s.TStop * (1 - 1e-12))
        return dialogs.messages.empty() ? "the run stopped at time " + formatGeneral(s.TimeNow)
                                        : dialogs.messages.back();
    // The space-time picture as the window first shows it: density, small.
    w.showSpaceTime("Density", false);
    return exportReport(w, s, path, std::vector<report::ReportSheet> { graded });
}

} // namespace tamrel
