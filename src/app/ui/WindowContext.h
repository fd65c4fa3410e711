#pragma once
// What the panels of the window share: the window itself (where each panel
// finds its controls by name), the experiment record, the dialogs, the
// window's options, and the other panels, which a panel reaches only
// through their public operations.

#include <optional>
#include <string>

#include "app/ui/Dialogs.h"
#include "state/ExperimentState.h"

class QWidget;

namespace tamrel {

struct WindowOptions {
    // The start-up name; without it the name prompt is shown.
    std::optional<std::string> studentName;
    // Longest time one tick may spend on time steps before it leaves the
    // rest of its steps to the next tick (0: no budget, the plain tick).
    double tickBudgetSeconds = 0.05;
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
