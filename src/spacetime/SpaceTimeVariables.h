// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The variables the space-time picture can show, in the order of the list
// lstGrayVariable: each names its history array and, for the transverse
// velocity and the smoke, the state fields that keep the range last drawn.

#include <span>
#include <string_view>

#include "state/ExperimentState.h"

namespace tamrel {

struct SpaceTimeVariable {
    std::string_view listText;
    BoundedArray<float> ExperimentState::*history;
    double ExperimentState::*keptMin; // null: the range is not kept
    double ExperimentState::*keptMax;
};

// "Density", "Pressure", "Velocity", "R+", "R-", "R0 (Entropy)", "VY", "FSmoke".
std::span<const SpaceTimeVariable> SpaceTimeVariables();

// The entry whose list text is `text` exactly; null when none is.
const SpaceTimeVariable* FindSpaceTimeVariable(std::string_view text);

// The list text the picture really draws: under a scheme that carries no
// smoke, "FSmoke" shows "Density" instead.
std::string_view EffectiveSpaceTimeVariable(const ExperimentState& s, std::string_view listText);

} // namespace tamrel
