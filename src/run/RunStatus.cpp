#include "run/RunStatus.h"

#include "common/Format.h"
#include "run/RunControl.h"

namespace tamrel {

RunPhase PhaseOf(const ExperimentState& s)
{
    if (s.Stopped == 0)
        return RunPhase::Running;
    if (s.TimeNow == 0)
        return RunPhase::Ready;
    // Halted where Continue can go on; finished at TStop or with a full history.
    return ContinueStatusOf(s) == ContinueStatus::Continued ? RunPhase::Halted : RunPhase::Finished;
}

const char* PhaseName(RunPhase phase)
{
    switch (phase) {
    case RunPhase::Ready:
        return "Ready";
    case RunPhase::Running:
        return "Running";
    case RunPhase::Halted:
        return "Halted";
    case RunPhase::Finished:
        return "Finished";
    }
    return "";
}

std::string RunStatusText(const ExperimentState& s)
{
    return std::string(PhaseName(PhaseOf(s))) + "   t = " + formatPattern(s.TimeNow, "#0.0####") + " of "
        + formatPattern(s.TStop, "#0.0####") + "   cycle " + std::to_string(s.NCycle) + "   " + s.SchemeName
        + "   " + std::to_string(s.NGridCells) + " cells";
}

std::vector<ButtonUse> ButtonUses(const ExperimentState& s)
{
    const RunPhase phase = PhaseOf(s);
    const bool ready = phase == RunPhase::Ready;
    // Why a set-up command does nothing outside Ready.
    std::string setUpWhy;
    if (phase == RunPhase::Running)
        setUpWhy = "A run is going on: press Pause, then Restart, to set up a problem.";
    else if (!ready)
        setUpWhy = "Set-ups act before a run only: press Restart first.";

    std::string beginWhy;
    if (s.TimeNow != 0)
        beginWhy = phase == RunPhase::Running
            ? "The run is going on: Pause halts it."
            : "The run has begun: press Continue to go on, or Restart to run again.";
    if (phase == RunPhase::Finished)
        beginWhy = "The run is over: press Restart to run again.";

    std::string continueWhy;
    if (phase == RunPhase::Running) {
        continueWhy = "The run is going on.";
    } else {
        switch (ContinueStatusOf(s)) {
        case ContinueStatus::Continued:
            break;
        case ContinueStatus::NoStoredRow:
            continueWhy = "There is no run to continue: press Begin.";
            break;
        case ContinueStatus::RunOver:
            continueWhy = "The run is over at TStop: press Restart to run again.";
            break;
        case ContinueStatus::HistoryFull:
            continueWhy = "The history is full: press Restart to run again.";
            break;
        }
    }

    const std::string pauseWhy = phase == RunPhase::Running ? "" : "No run is going on.";

    std::vector<ButtonUse> uses {
        { "cmdBegin", beginWhy.empty(), beginWhy },
        { "cmdPause", pauseWhy.empty(), pauseWhy },
        { "cmdContinue", continueWhy.empty(), continueWhy },
        { "cmdRestart", true, {} },
    };
    for (const char* setUp : { "cmdSoundWave", "cmdSelect", "cmdReset", "cmdBoundaryConditionType",
             "cmdNumericalScheme", "cmdGetDiffConsts" })
        uses.push_back({ setUp, ready, setUpWhy });
    return uses;
}

} // namespace tamrel
