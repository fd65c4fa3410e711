// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The run's state as the status line tells it (Ready, Running, Halted,
// Finished, with the time against TStop, the cycle, the scheme and the grid
// size), and which buttons would do nothing in it, with the reason their
// tool tips give instead.

#include <string>
#include <vector>

#include "state/ExperimentState.h"

namespace tamrel {

enum class RunPhase {
    Ready, // no run yet: time 0, not stepping
    Running, // the metronome's ticks advance the state
    Halted, // paused before TStop; Continue goes on
    Finished, // stopped at TStop; Restart runs again
};

RunPhase PhaseOf(const ExperimentState& s);

// Whether a stopped run reached its stop time: a time short of TStop by a
// rounding counts as reached, one halted earlier (or not a number) does not.
bool ReachedStopTime(const ExperimentState& s);
const char* PhaseName(RunPhase phase);

// "Running   t = 0.1 of 0.2   cycle 57   Orvane   100 cells".
std::string RunStatusText(const ExperimentState& s);

// The buttons whose use depends on the run's state: whether each would act
// now, and if not, why not and what to do instead.
struct ButtonUse {
    std::string name; // the control's name
    bool acts;
    std::string why; // "" when it acts
};
// Set-ups (the problem loaders among them: the test buttons cmdTest1 ..
// cmdTest<testButtons>, Sound Wave, Read Setup) act only in Ready; Continue
// only on a halted run; Plot FVSmoke only under a two-fluid scheme.
std::vector<ButtonUse> ButtonUses(const ExperimentState& s, int testButtons);

} // namespace tamrel
