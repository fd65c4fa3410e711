// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The "Bdrys" button's two prompts and the rule that turns their answers
// into boundary types. Codes offered: 4 periodic, 1 reflecting,
// 2 continuation; any other whole number is stored as typed.

#include <optional>
#include <string>
#include <string_view>

#include "state/ExperimentState.h"

namespace tamrel {

inline constexpr std::string_view kBoundaryCodesText = "4=periodic, 1=reflecting, 2=continuation";
inline constexpr std::string_view kLeftBoundaryPromptText
    = "Type the value of the left boundary condition type:  ";
inline constexpr std::string_view kRightBoundaryPromptText
    = "Type the value of the right boundary condition type:  ";
inline constexpr std::string_view kLeftBoundaryTitle = "Get MnBdry";
inline constexpr std::string_view kRightBoundaryTitle = "Get MxBdry";
// Both prompts stand at (3000, 3000) twips from the screen's top left.
inline constexpr int kBoundaryPromptLeftTwips = 3000;
inline constexpr int kBoundaryPromptTopTwips = 3000;

// What an input prompt shows: its text, title and default answer.
struct BoundaryPrompt {
    std::string prompt;
    std::string title;
    std::string defaultAnswer;
};

// The types can be chosen only in Ready (no run, time exactly 0).
bool BoundaryTypesEditable(const ExperimentState& s);

BoundaryPrompt LeftBoundaryPrompt(const ExperimentState& s);
BoundaryPrompt RightBoundaryPrompt(const ExperimentState& s);

// An answer read as a whole number (rounded half-even); nullopt when the
// prompt was cancelled, the answer is empty or not a number.
std::optional<Long> BoundaryAnswerCode(const std::optional<std::string>& answer);

// The left answer: MnBdry takes the code (a missing code keeps the type in
// force). When MnBdry is then 4 (periodic), MxBdry becomes 4 too and false
// is returned: no second prompt. Otherwise true: ask for the right end.
bool ApplyLeftBoundaryAnswer(ExperimentState& s, const std::optional<std::string>& answer);

// The right answer: MxBdry takes the code, or keeps its type.
void ApplyRightBoundaryAnswer(ExperimentState& s, const std::optional<std::string>& answer);

} // namespace tamrel
