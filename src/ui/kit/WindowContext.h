// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the panels of the window share: the window itself (where each panel
// finds its controls by name), the experiment record, the dialogs, the
// window's options, and the other panels, which a panel reaches only
// through their public operations.

#include <optional>
#include <string>

#include "ui/kit/Dialogs.h"
#include "state/ExperimentState.h"

class QWidget;

namespace tamrel {

struct WindowOptions {
    // The start-up name; without it the name prompt is shown.
    std::optional<std::string> studentName;
    // About how long one tick takes, its time steps and the paints after
    // them: the steps get what the last tick's paints left of it and leave
    // the rest of their count to the next tick (run/TickPacer.h; 0: no
    // budget, the plain tick). A comparison's tick steps for this long.
    double tickBudgetSeconds = 0.028;
    // Threads for the strips of a time step (with 2 the second takes part
    // only while it makes the steps faster).
    int threads = 2;
};

struct Panels;

struct WindowContext {
    QWidget& window;
    ExperimentState& state;
    Dialogs& dialogs;
    const WindowOptions& options;
    Panels& panels;
};

} // namespace tamrel
