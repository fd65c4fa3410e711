// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Texts of the title label under the time box: generated descriptions of the
// problem (its parameters, the date, the time of day and the student's name)
// and the rule for when one may replace what the label shows. The caller
// passes the date and time already written in the system's short formats.
// Line breaks are "\r\n".

#include <optional>
#include <string>
#include <string_view>

#include "presets/ShockTubeTests.h"
#include "state/ExperimentState.h"

namespace tamrel {

// Prompt and title of the Get Title dialog.
inline constexpr std::string_view kGetTitlePrompt = "Enter your name, the date, and a title for this experiment:";
inline constexpr std::string_view kGetTitleTitle = "Get ID and Title";

// cmdGetTitle_Click's state part: IDAndTitle = the reply exactly as typed,
// TitleEntered = 1, and the new caption of the label is returned. A cancelled
// or empty reply changes nothing (nullopt): the title typed before stays.
std::optional<std::string> ApplyTitleAnswer(ExperimentState& s, std::optional<std::string_view> reply);

// The label may be overwritten by a generated description: it still shows
// its start-up caption, or the user has not entered a title.
bool isTitleLabelFree(const ExperimentState& s, std::string_view currentCaption);

// Description a shock-tube test writes as it is loaded, from the test's own
// twelve values, Gamma and StudentName.
std::string ShockTubeDescriptionText(
    const ExperimentState& s, const ShockTubeTest& t, std::string_view date, std::string_view time);

// Sound-wave layout: the three amplitudes and u0.
std::string SoundWaveDescriptionText(const ExperimentState& s, std::string_view date, std::string_view time);

// Three-state layout (six selected cells): left, middle and right states
// from selected entries 2, 4 and 5 and the jumps at the left edges of the
// cells of entries 3 and 5.
std::string ThreeStateDescriptionText(const ExperimentState& s, std::string_view date, std::string_view time);

// Two-state layout (four selected cells): left state from entry 2, right
// state from entry 5, the jump at the left edge of the cell of entry 3. A
// transverse velocity on the grid (Test 2's shear) adds UyL and UyR, read
// from cells 1 and N.
std::string TwoStateDescriptionText(const ExperimentState& s, std::string_view date, std::string_view time);

// A hand-made state (any other number of selected cells): how many cells are
// selected, the values at the grid's two ends (cells 1 and N), Gamma, the
// grid size and TStop.
std::string HandMadeDescriptionText(const ExperimentState& s, std::string_view date, std::string_view time);

// A state read from a set-up file: the file's name (without its folder),
// its selected cells, the values at the grid's ends, Gamma, the grid size,
// the boundary types and TStop.
std::string SetupFileDescriptionText(
    const ExperimentState& s, std::string_view fileName, std::string_view date, std::string_view time);

// UpdateProblemDescription: the new caption of the label, or nullopt when
// the label is to be left alone. After a sound-wave set-up (RiemannPlots 1)
// the sound-wave layout; otherwise the three-state layout for six selected
// cells, the two-state layout for four and the hand-made layout for any
// other number, so the label never keeps an earlier problem's values.
std::optional<std::string> UpdateProblemDescriptionText(
    const ExperimentState& s, std::string_view currentCaption, std::string_view date, std::string_view time);

} // namespace tamrel
