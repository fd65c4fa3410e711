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

// cmdGetTitle_Click's state part: IDAndTitle = the reply exactly as typed
// (an empty or cancelled reply included), TitleEntered = 1. Returns the new
// caption of the label.
std::string ApplyTitleAnswer(ExperimentState& s, std::string_view reply);

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
// state from entry 5, the jump at the left edge of the cell of entry 3.
std::string TwoStateDescriptionText(const ExperimentState& s, std::string_view date, std::string_view time);

// UpdateProblemDescription: the new caption of the label, or nullopt when
// the label is to be left alone. After a sound-wave set-up (RiemannPlots 1)
// the sound-wave layout; otherwise the three-state layout for six selected
// cells and the two-state layout for four.
std::optional<std::string> UpdateProblemDescriptionText(
    const ExperimentState& s, std::string_view currentCaption, std::string_view date, std::string_view time);

} // namespace tamrel
