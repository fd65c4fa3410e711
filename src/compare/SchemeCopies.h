// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The window's comparison of schemes, without the window: the check of the
// chosen names, the copies of the set-up each scheme runs on, the tick that
// advances the grid's own run in step with the copies, and the difference of
// two runs' histories.

#include <chrono>
#include <string>
#include <vector>

#include "compare/Lockstep.h"
#include "compare/SideBySide.h"
#include "state/ExperimentState.h"

namespace tamrel {
class TimeStep;
}

namespace tamrel::compare {

// Every scheme of the table: "A, B, C and D".
std::string SchemeNamesText();

// The chosen names as the table spells them, or why they make no choice
// (a name that is no scheme, one named twice, more than kMaxSchemes); the
// reason ends with "The comparison is left as it was."
struct SchemeNames {
    std::vector<std::string> schemes;
    std::string refusal;
};
SchemeNames CheckSchemeNames(const std::vector<std::string>& names);

// A Ready copy of the set-up for each scheme, without the set-up's history
// (Begin makes every copy one of its own); the set-up is only read, and its
// history copied once at most.
std::vector<SchemeRun> MakeSchemeCopies(const ExperimentState& setUp, const std::vector<std::string>& schemes);

// Where a comparison shown in the window stands between its ticks.
struct GridLockstep {
    long commonRows = 0; // rows every run holds
    bool gridEnded = false; // the grid's run reached its stop time; others may not have
};

// One tick of a comparison whose first run is `grid` itself (runs[0] is
// an empty place the grid takes during the steps). A grid whose run ended
// before the others waits, stopped, until every run has; between ticks the
// grid shows as running until the comparison ends or a run fails, and then
// the grid and every copy are stopped.
LockstepTick AdvanceWithGrid(ExperimentState& grid, std::vector<SchemeRun>& runs,
    const std::vector<TimeStep*>& steppers, GridLockstep& at, std::chrono::steady_clock::time_point deadline,
    bool concurrent);

// Run `a`'s record with its history minus `b`'s, over the rows both hold:
// what the space-time picture shows for the difference of two runs.
ExperimentState HistoryDifference(const ExperimentState& a, const ExperimentState& b);

} // namespace tamrel::compare
