// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The grid rebuilt from the table of selected cells, as a set-up file or a
// new grid size leaves it: a fresh grid, the prefill, each entry replayed
// through the value boxes (so a value takes the decimals the boxes show)
// and selected again, the run length and snapshot rate entered again, the
// time scales and history row 0. Nothing here touches a widget: `shown`
// stands for what the grid-size and Courant boxes show, since entering a
// text a box already shows changes nothing.

#include <functional>
#include <string>

#include "state/ExperimentState.h"

namespace tamrel {

struct ShownBoxes {
    std::string gridSize; // the text txtNGridCells shows
    std::string courant; // the text txtCourantNumber shows
};

// The Courant number shown in a box with `pattern`: a text the box does not
// show yet is entered, and so rounded to the box's decimals.
void ShowCourantNumber(ExperimentState& s, ShownBoxes& shown, const char* pattern);

// Builds the sound wave on the present grid (the presets' rule, which this
// layer cannot see).
using SoundWaveBuilder = std::function<void(ExperimentState&)>;

// The whole rebuild. A set-up file whose grid size differs from the one the
// box shows rebuilds once more on the way, as the box's own handler does.
void RebuildGridFromTable(ExperimentState& s, ShownBoxes& shown, const SoundWaveBuilder& buildSoundWave);

// A new grid size typed into the box, and what it sets off: the table moved
// and the grid rebuilt, or a sound wave built again on the new grid. False
// when the size was not taken (the state is unchanged then).
bool EnterGridSize(
    ExperimentState& s, ShownBoxes& shown, const std::string& text, const SoundWaveBuilder& buildSoundWave);

} // namespace tamrel
