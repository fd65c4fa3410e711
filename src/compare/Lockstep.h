// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A comparison shown as it goes: the copies of a side-by-side run advanced a
// tick at a time, every copy up to the same snapshot row, so the window can
// show all of them at one snapshot time after each tick. Each copy advances
// on a thread of its own (on one thread in turn when `concurrent` is false)
// with its own time step, and never touches another's data: its rows are
// those a run of its scheme alone would store.

#include <chrono>
#include <memory>
#include <string>
#include <vector>

#include "compare/SideBySide.h"

namespace tamrel {
class TimeStep;
}

namespace tamrel::compare {

struct LockstepTick {
    long rows = 0; // rows every copy holds
    bool ended = false; // every copy has stopped (its stop time, or a fault)
    std::string failure; // the first copy's reason for failing, or ""
};

// Advances each running copy until it holds `rows` snapshot rows, stops, or
// `deadline` has passed (a zero deadline: no limit). Ghost cells are filled
// and the plot ranges widened after the steps, as a tick of a single run does.
LockstepTick AdvanceLockstep(std::vector<SchemeRun>& runs, const std::vector<TimeStep*>& steppers, long rows,
    std::chrono::steady_clock::time_point deadline, bool concurrent);

// Whether this machine has the cores to run the copies at once.
bool LockstepConcurrent();

} // namespace tamrel::compare
