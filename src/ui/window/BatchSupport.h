// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A batch run's set-up through an offscreen window, for the runs that draw
// their pictures with the window's painting. The files, the outputs and the
// set-up of a run without a window are the Qt-free ones below.

#include <optional>
#include <string>

#include "app/BatchFiles.h"
#include "app/BatchOptions.h"
#include "app/BatchSession.h"

namespace tamrel {

class frmTamrel;
class ScriptedDialogs;

namespace batch {

    // The scheme and the grid and run boxes, as a user would set them. The
    // boxes ignore a value they refuse; a batch says so instead of running
    // with the value it had.
    std::optional<std::string> setRunValues(frmTamrel& w, ScriptedDialogs& dialogs, const BatchOptions& o);
    std::optional<std::string> loadProblem(frmTamrel& w, ScriptedDialogs& dialogs, const BatchOptions& o);

} // namespace batch
} // namespace tamrel
