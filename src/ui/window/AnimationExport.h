// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// File -> Export Animation and --animation: the run as an animated GIF, one
// frame for every stored snapshot, as the replay bar would show them: the
// three line plots (and, when asked, the space-time picture with a line at
// the frame's time) over the caption line. The colours are those the
// pictures use: the most common ones of a few sample frames make the
// palette, and every other colour takes its nearest entry. A frame after
// the first stores only what changed, so a long run stays small.

#include <functional>
#include <optional>
#include <string>

class QWidget;

namespace tamrel {

struct ExperimentState;

struct AnimationChoice {
    double framesPerSecond = 10;
    bool spaceTime = false; // the space-time picture under the plots
    // The plots as the window shows them (its Axes switch and overlays), or
    // as a batch run draws them: axes, and the exact solution only when asked.
    bool asShown = true;
    bool exact = false;
};

// Frame rates the dialog takes: whole or decimal, from 0.5 to 50 per second
// (a GIF's delay is counted in hundredths of a second).
inline constexpr double kMinFramesPerSecond = 0.5;
inline constexpr double kMaxFramesPerSecond = 50;

// Called after each frame; returning false cancels (nothing is written).
using AnimationProgress = std::function<bool(int done, int total)>;

// Writes the animation of the run in `window` to `path`; nothing, or why
// not (cancelled: "cancelled"). The replay ends on the snapshot shown
// before, and the grid holds the values it held before.
std::optional<std::string> exportAnimation(QWidget& window, const ExperimentState& s, const std::string& path,
    const AnimationChoice& choice, const AnimationProgress& progress = {});

} // namespace tamrel
