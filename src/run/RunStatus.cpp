// SPDX-License-Identifier: GPL-3.0-or-later
#include "run/RunStatus.h"

#include "common/Format.h"
#include "kernels/SchemeTable.h"
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

bool ReachedStopTime(const ExperimentState& s)
{
    return s.TimeNow >= s.TStop * (1 - 1e-12);
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

namespace {
    // "Mixtal32" (or "A or B" when the table holds several).
    std::string TwoFluidSchemeNames()
    {
        std::string names;
        for (const kernels::SchemeInfo& k : kernels::allSchemes())
            if (k.twoFluid)
                names += (names.empty() ? "" : " or ") + std::string(k.name);
        return names;
    }
} // namespace

std::vector<ButtonUse> ButtonUses(const ExperimentState& s, int testButtons)
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
    if (phase == RunPhase::Running)
        beginWhy = "The run is going on: Pause halts it.";
    else if (s.TimeNow != 0)
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
        case ContinueStatus::NotBegun:
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
    // Loading a problem, as every other set-up, waits for Ready: a problem
    // loaded into a run would leave the run's history, time and other
    // schemes' copies with the problem before.
    for (const char* setUp : { "cmdSoundWave", "cmdSelect", "cmdReset", "cmdBoundaryConditionType",
             "cmdNumericalScheme", "cmdGetDiffConsts", "cmdReadSetUp" })
        uses.push_back({ setUp, ready, setUpWhy });
    for (int t = 1; t <= testButtons; ++t)
        uses.push_back({ "cmdTest" + std::to_string(t), ready, setUpWhy });

    // FVSmoke is the fluid-2 fraction of a two-fluid scheme.
    const bool twoFluids = kernels::twoFluidScheme(s.SchemeName);
    uses.push_back({ "cmdPlotFVSmoke", twoFluids,
        twoFluids ? std::string()
                  : "FVSmoke is the second fluid's fraction, which only a two-fluid scheme carries: choose "
                + TwoFluidSchemeNames() + " with the scheme button first." });
    return uses;
}

} // namespace tamrel
