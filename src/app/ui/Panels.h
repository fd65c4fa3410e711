// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The window's panels, one for each subsystem's controls. A panel owns its
// controls (found in the layout by name) and their handlers, reads and
// changes the record through the core's functions, and reaches another
// panel only through that panel's public operations, never its widgets.

#include "app/ui/WindowContext.h"
#include "compare/ui/ComparePanel.h"
#include "edit/ui/CellEditorsPanel.h"
#include "edit/ui/ParametersPanel.h"
#include "edit/ui/SelectedCellsPanel.h"
#include "exact/ui/ExactPanel.h"
#include "plots/ui/LinePlotsPanel.h"
#include "plots/ui/ReplayPanel.h"
#include "presets/ui/PresetsPanel.h"
#include "run/ui/RunPanel.h"
#include "setupfile/ui/SetupFilePanel.h"
#include "spacetime/ui/SpaceTimePanel.h"

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
