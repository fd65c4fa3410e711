// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Several schemes on copies of one set-up, side by side. Each copy carries
// its own scheme, time step and Courant control; all of them keep the set-up's
// snapshot schedule (a row when a multiple of DtPlot has passed, the last one
// at the stop time), so row r of every copy belongs to the same snapshot time
// within one time step of its scheme. The copies advance concurrently, one
// thread each, and never share data: each one's rows are those a run of its
// scheme alone would store.

#include <atomic>
#include <optional>
#include <string>
#include <vector>

#include "state/ExperimentState.h"

namespace tamrel::compare {

inline constexpr int kMinSchemes = 2;
inline constexpr int kMaxSchemes = 5;

// Why a choice of `picked` schemes in the comparison dialog does nothing
// (a sentence), or "" when it acts: 2 to 5 make a comparison, fewer end the
// one there is; fewer when there is none would change nothing, since Begin
// runs the scheme in force (`schemeInForce`) anyway.
std::string SchemeChoiceRefusal(std::size_t picked, bool comparing, const std::string& schemeInForce);

struct SchemeRun {
    ExperimentState state; // a Ready copy of the set-up with its SchemeName; the run's record afterwards
    long acceptedSteps = 0;
    double seconds = 0; // wall-clock time of this run's thread
    bool finished = false; // reached its stop time
    std::string failure; // why it did not ("" when finished, or when cancelled)
};

// Why these copies cannot run side by side (a sentence), or nothing: 2 to 5
// copies, every scheme known and named once (letter case ignored), all Ready,
// with the same grid size, snapshot interval and stop time.
std::optional<std::string> CheckSideBySide(const std::vector<SchemeRun>& runs);

// Begins every copy and advances each on a thread of its own until it reaches
// its stop time, fails, or `cancel` becomes true (checked before every step).
// Returns false when some copy did not finish; each says why in `failure`.
bool RunSideBySide(std::vector<SchemeRun>& runs, const std::atomic<bool>* cancel = nullptr);

// Runs one copy to its end on the calling thread, as RunSideBySide does for each.
void RunToEnd(SchemeRun& run, const std::atomic<bool>* cancel = nullptr);

} // namespace tamrel::compare
