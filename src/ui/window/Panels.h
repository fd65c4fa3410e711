// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The window's panels, one for each subsystem's controls. A panel owns its
// controls (found in the layout by name) and their handlers, reads and
// changes the record through the core's functions, and reaches another
// panel only through that panel's public operations, never its widgets.

#include "ui/kit/WindowContext.h"
#include "ui/compare/ComparePanel.h"
#include "ui/edit/CellEditorsPanel.h"
#include "ui/edit/ParametersPanel.h"
#include "ui/edit/SelectedCellsPanel.h"
#include "ui/exact/ExactPanel.h"
#include "ui/plots/LinePlotsPanel.h"
#include "ui/plots/ReplayPanel.h"
#include "ui/presets/PresetsPanel.h"
#include "ui/run/RunPanel.h"
#include "ui/setupfile/SetupFilePanel.h"
#include "ui/spacetime/SpaceTimePanel.h"

namespace tamrel {

struct Panels {
    // Binds every panel to its controls, which buildControls has made.
    Panels(QWidget& window, ExperimentState& state, Dialogs& dialogs, const WindowOptions& options);
    Panels(const Panels&) = delete;
    Panels& operator=(const Panels&) = delete;

    WindowContext context;
    RunPanel run;
    LinePlotsPanel plots;
    ReplayPanel replay;
    SpaceTimePanel spaceTime;
    PresetsPanel presets;
    CellEditorsPanel editors;
    SelectedCellsPanel selection;
    ParametersPanel parameters;
    SetupFilePanel setupFile;
    ExactPanel exact;
    ComparePanel compare;
};

} // namespace tamrel
