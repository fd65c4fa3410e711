// SPDX-License-Identifier: GPL-3.0-or-later
#include "compare/SideBySide.h"

#include <chrono>

#include "common/Threading.h"
#include "kernels/SchemeTable.h"
#include "run/RunControl.h"
#include "run/RunStatus.h"
#include "run/TimeStep.h"

namespace tamrel::compare {

std::string SchemeChoiceRefusal(std::size_t picked, bool comparing, const std::string& schemeInForce)
{
    if (picked >= static_cast<std::size_t>(kMinSchemes) || comparing)
        return {};
    return "A comparison takes " + std::to_string(kMinSchemes) + " to " + std::to_string(kMaxSchemes)
        + " schemes: with " + (picked == 0 ? std::string("none") : std::string("one"))
        + " there is nothing to compare, and Begin runs the scheme in force, " + schemeInForce
        + ".  Choose the scheme with the scheme button.";
}

std::optional<std::string> CheckSideBySide(const std::vector<SchemeRun>& runs)
{
    if (runs.size() < static_cast<std::size_t>(kMinSchemes) || runs.size() > static_cast<std::size_t>(kMaxSchemes))
        return "a comparison takes 2 to 5 schemes, not " + std::to_string(runs.size());
    const ExperimentState& first = runs.front().state;
    for (std::size_t i = 0; i < runs.size(); ++i) {
        const ExperimentState& s = runs[i].state;
        if (!kernels::findScheme(s.SchemeName))
            return "unknown scheme '" + s.SchemeName + "'";
        for (std::size_t j = 0; j < i; ++j)
            if (kernels::findScheme(runs[j].state.SchemeName) == kernels::findScheme(s.SchemeName))
                return "the scheme " + s.SchemeName + " is named twice";
        if (!s.isReady())
            return "the copy for " + s.SchemeName + " is not ready to begin";
        if (s.NGridCells != first.NGridCells || s.DtPlot != first.DtPlot || s.TStop != first.TStop)
            return "the copy for " + s.SchemeName + " is not the same set-up as the first";
    }
    return std::nullopt;
}

void RunToEnd(SchemeRun& run, const std::atomic<bool>* cancel)
{
    ExperimentState& s = run.state;
    const auto start = std::chrono::steady_clock::now();
    run.finished = false;
    run.failure.clear();
    if (BeginRun(s) != BeginStatus::Started) {
        run.failure = "the run with " + s.SchemeName + " could not begin";
        return;
    }
    // One thread per copy: the copies themselves fill the cores.
    TimeStep stepper(1);
    while (s.Stopped == 0) {
        if (cancel && cancel->load(std::memory_order_relaxed)) {
            s.Stopped = 1;
            break;
        }
        const StepReport r = stepper.advance(s);
        if (r.outcome != AttemptResult::Accepted) {
            s.Stopped = 1;
            run.failure = r.fault.message.empty() ? "the run with " + s.SchemeName + " failed" : r.fault.message;
            break;
        }
        ++run.acceptedSteps;
        if (r.historyEnded) {
            run.failure = r.fault.message;
            break;
        }
    }
    run.seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    run.finished = run.failure.empty() && !(cancel && cancel->load()) && ReachedStopTime(s);
    if (!run.finished && run.failure.empty() && !(cancel && cancel->load()))
        run.failure = "the run with " + s.SchemeName + " stopped before its stop time";
}

bool RunSideBySide(std::vector<SchemeRun>& runs, const std::atomic<bool>* cancel)
{
    std::vector<threading::thread> threads;
    threads.reserve(runs.size());
    for (SchemeRun& run : runs)
        threads.emplace_back([&run, cancel] { RunToEnd(run, cancel); });
    for (threading::thread& t : threads)
        t.join();
    bool all = true;
    for (const SchemeRun& run : runs)
        all = all && run.finished;
    return all;
}

} // namespace tamrel::compare
