// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Which problem a record holds, as a convergence study sets it up again at
// other grid sizes: one of the tests, or the sound wave with its answers.

#include <optional>
#include <string>

#include "app/BatchOptions.h"
#include "state/ExperimentState.h"

namespace tamrel {

// The problem loaded in `s` as the command line would ask for it (a test or
// a sound wave with its answers, and the run boxes' values); nothing (and
// `why`) when it is neither. Each candidate is set up afresh on the record's
// grid size and scheme, as the study would set it up, and compared with the
// record's initial cells: the record itself is only read.
std::optional<BatchOptions> StudyProblemOf(const ExperimentState& s, std::string& why);

} // namespace tamrel
