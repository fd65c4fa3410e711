// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The paint of the space-time picture without the window: draws the
// history of the variable named by the list into the image the picture
// uses (the big one while BigSpaceTime, else the small one) and says what
// else the window shows. The window then shows the top-left W x H pixels
// of the image (it is bottom-up: scan line height-1 is the top row).

#include <optional>
#include <string>
#include <string_view>

#include "spacetime/SpaceTimeImage.h"
#include "state/ExperimentState.h"

namespace tamrel {

struct SpaceTimePaint {
    // False: nothing was drawn (fewer than two stored snapshots, or a list
    // text that names no variable) and the picture keeps what it showed.
    bool drawn = false;
    // Fewer than two stored snapshots: there is no run to show (a problem
    // just loaded, or Restart), and the picture is cleared rather than left
    // showing the run before.
    bool noRun = false;
    double vmin = 0; // range of the stored values drawn
    double vmax = 0;
    // The record's fields that keep [vmin, vmax] (VYGrayMin/Max,
    // FSmokeGrayMin/Max); null when the variable's range is not kept.
    double ExperimentState::*keptMin = nullptr;
    double ExperimentState::*keptMax = nullptr;
    // Set when the list must show another item ("Density" for "FSmoke"
    // under "Sorvi"); the image is already drawn for that item. Selecting
    // it in the list repaints once more, which does no harm.
    std::optional<std::string> replacementListText;
    // While BigSpaceTime: the caption of lblVelocityPlot (the variable drawn)
    // and the texts of txtVelocityMin / txtVelocityMax (vmin and vmax).
    std::optional<std::string> velocityLabelCaption;
    std::optional<std::string> velocityMinText;
    std::optional<std::string> velocityMaxText;
};

// W, H: the picture's drawing size in pixels. Reads the record only.
SpaceTimePaint PaintSpaceTime(const ExperimentState& s, std::string_view listText, int W, int H, GrayImage& image);

// "VY" and "FSmoke" keep the range drawn in VYGrayMin/Max and
// FSmokeGrayMin/Max: the window has the record keep it after each paint.
void KeepSpaceTimeRange(ExperimentState& s, const SpaceTimePaint& paint);

} // namespace tamrel
