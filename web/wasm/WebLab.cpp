// SPDX-License-Identifier: GPL-3.0-or-later
#include "WebLab.h"

#include <chrono>

#include "common/Format.h"
#include "edit/GridParameters.h"
#include "kernels/SchemeTable.h"
#include "presets/ShockTubeTests.h"
#include "presets/SoundWave.h"
#include "run/DefaultProblem.h"
#include "run/RunControl.h"
#include "run/SchemeChoice.h"
#include "run/TimeStep.h"

namespace tamrel::web {

struct WebLab::Impl {
    ExperimentState s;
    TimeStep stepper { 1 };
};

WebLab::WebLab()
    : impl_(std::make_unique<Impl>())
{
    StartUpState(impl_->s);
}

WebLab::~WebLab() = default;

const ExperimentState& WebLab::state() const { return impl_->s; }

bool WebLab::refuse(std::string why)
{
    message_ = std::move(why);
    return false;
}

bool WebLab::setCells(std::string_view text)
{
    ExperimentState& s = impl_->s;
    if (!s.isReady())
        return refuse("The grid size can change only before a run; Restart first.");
    const auto n = parseNumber(text);
    if (!n || *n < kMinGridCells || *n > kMaxRunGridCells)
        return refuse("The number of cells must be a whole number from " + std::to_string(kMinGridCells) + " to "
            + std::to_string(kMaxRunGridCells) + ".");
    GridSizeTextChanged(s, text);
    return true;
}

bool WebLab::setCourant(std::string_view text)
{
    ExperimentState& s = impl_->s;
    const BoxResult r = CourantTextChanged(s, text);
    if (r.outcome == BoxOutcome::Applied || r.outcome == BoxOutcome::Corrected)
        return true;
    return refuse(std::string("The Courant number must lie ") + kCourantRangeText + ".");
}

bool WebLab::setScheme(std::string_view name)
{
    ExperimentState& s = impl_->s;
    if (!s.isReady())
        return refuse("The scheme can change only before a run; Restart first.");
    const kernels::SchemeInfo* scheme = kernels::findScheme(name);
    if (scheme == nullptr)
        return refuse("\"" + std::string(name) + "\" is not a scheme name.");
    s.SchemeName = std::string(scheme->name);
    TakeScheme(s, s.SchemeName);
    return true;
}

bool WebLab::loadTest(int number)
{
    ExperimentState& s = impl_->s;
    if (!s.isReady())
        return refuse("A test is set up only before a run; Restart first.");
    if (number < 1 || number > kShockTubeTestCount)
        return refuse("There is no Test " + std::to_string(number) + ".");
    LeaveSoundWaveView(s);
    ApplyShockTubeTest(s, number);
    return true;
}

bool WebLab::loadSoundWave(const std::string (&answers)[7])
{
    ExperimentState& s = impl_->s;
    if (!s.isReady())
        return refuse("A sound wave is set up only before a run; Restart first.");
    ExperimentState asked;
    asked.Gamma = s.Gamma;
    asked.PFloor = s.PFloor;
    asked.RhoFloor = s.RhoFloor;
    for (std::size_t k = 0; k < kSoundWaveQuestions.size(); ++k) {
        const SoundWaveField f = kSoundWaveQuestions[k].field;
        if (std::string why = SoundWaveAnswerRefusal(f, answers[k]); !why.empty())
            return refuse(why);
        ApplySoundWaveAnswer(asked, f, answers[k]);
    }
    if (std::string why = SoundWaveRefusal(asked); !why.empty())
        return refuse(why);
    for (std::size_t k = 0; k < kSoundWaveQuestions.size(); ++k)
        ApplySoundWaveAnswer(s, kSoundWaveQuestions[k].field, answers[k]);
    StartSoundWaveExperiment(s);
    ResizeGridArrays(s);
    SetUpSoundWaveState(s);
    return true;
}

bool WebLab::begin()
{
    switch (BeginRun(impl_->s)) {
    case BeginStatus::Started:
        acceptedSteps_ = 0;
        return true;
    case BeginStatus::NotAtTimeZero:
        return refuse("The run has begun already: Continue goes on, Restart goes back to the start.");
    case BeginStatus::UnknownScheme:
        return refuse("The scheme \"" + impl_->s.SchemeName + "\" is not one of the lab's schemes.");
    case BeginStatus::MissingFluids:
        return refuse("The two-fluid arrays of " + impl_->s.SchemeName + " are missing.");
    }
    return false;
}

bool WebLab::pause()
{
    if (impl_->s.Stopped != 0)
        return refuse("No run is going.");
    PauseRun(impl_->s);
    return true;
}

bool WebLab::resume()
{
    ExperimentState& s = impl_->s;
    switch (ContinueStatusOf(s)) {
    case ContinueStatus::RunOver:
        return refuse("The run is over: it has reached its stop time t=" + formatGeneral(s.TStop)
            + ".  Restart goes back to the start.");
    case ContinueStatus::HistoryFull:
        return refuse("The history is full: the run cannot go on storing its snapshots.  Restart goes back to "
                      "the start.");
    case ContinueStatus::NotBegun:
        return refuse("No run has begun: Begin starts one.");
    case ContinueStatus::NoStoredRow:
        return refuse("No stored row to go on from.");
    case ContinueStatus::Continued:
        break;
    }
    return ContinueRun(s) || refuse("The run cannot go on.");
}

bool WebLab::restart()
{
    RestartRun(impl_->s);
    acceptedSteps_ = 0;
    return true;
}

TickOutcome WebLab::tick(double budgetMs)
{
    ExperimentState& s = impl_->s;
    const auto budget = std::chrono::nanoseconds(static_cast<long long>(budgetMs * 1e6));
    while (s.Stopped == 0) {
        const auto start = std::chrono::steady_clock::now();
        const TickReport report = RunTick(s, impl_->stepper, budget);
        acceptedSteps_ += report.stepsRun;
        if (report.faulted || report.historyEnded) {
            message_ = report.fault.message;
            return TickOutcome::Faulted;
        }
        if (budget.count() > 0 && std::chrono::steady_clock::now() - start >= budget)
            break;
    }
    s.MultiplePlots = 0;
    return s.Stopped == 0 ? TickOutcome::Running : TickOutcome::Stopped;
}

} // namespace tamrel::web
