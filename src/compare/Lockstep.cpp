// SPDX-License-Identifier: GPL-3.0-or-later
#include "compare/Lockstep.h"


#include "common/Threading.h"
#include "run/BoundaryFill.h"
#include "run/PlotRanges.h"
#include "run/RunControl.h"
#include "run/RunStatus.h"
#include "run/TimeStep.h"

namespace tamrel::compare {

namespace {

    void advanceOne(SchemeRun& run, TimeStep& stepper, long rows, std::chrono::steady_clock::time_point deadline)
    {
        ExperimentState& s = run.state;
        const auto start = std::chrono::steady_clock::now();
        const bool timed = deadline != std::chrono::steady_clock::time_point {};
        while (s.Stopped == 0 && s.NStoredStates < rows) {
            if (timed && std::chrono::steady_clock::now() >= deadline)
                break;
            const StepReport r = stepper.advance(s);
            if (r.outcome != AttemptResult::Accepted) {
                s.Stopped = 1;
                run.failure
                    = r.fault.message.empty() ? "the run with " + s.SchemeName + " failed" : r.fault.message;
                break;
            }
            ++run.acceptedSteps;
            if (r.historyEnded) {
                run.failure = r.fault.message;
                break;
            }
        }
        FillGhostCells(s);
        WidenPlotRanges(s);
        run.finished = s.Stopped != 0 && run.failure.empty() && ReachedStopTime(s);
        run.seconds += std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    }

} // namespace

bool LockstepConcurrent()
{
    return threading::hardwareThreads() >= 2;
}

LockstepTick AdvanceLockstep(std::vector<SchemeRun>& runs, const std::vector<TimeStep*>& steppers, long rows,
    std::chrono::steady_clock::time_point deadline, bool concurrent)
{
    if (concurrent && runs.size() > 1) {
        std::vector<threading::thread> threads;
        threads.reserve(runs.size());
        for (std::size_t k = 0; k < runs.size(); ++k)
            threads.emplace_back([&, k] { advanceOne(runs[k], *steppers[k], rows, deadline); });
        for (threading::thread& t : threads)
            t.join();
    } else {
        for (std::size_t k = 0; k < runs.size(); ++k)
            advanceOne(runs[k], *steppers[k], rows, deadline);
    }
    LockstepTick t;
    t.rows = runs.empty() ? 0 : runs.front().state.NStoredStates;
    t.ended = true;
    for (const SchemeRun& run : runs) {
        t.rows = std::min<long>(t.rows, run.state.NStoredStates);
        t.ended = t.ended && run.state.Stopped != 0;
        if (t.failure.empty() && !run.failure.empty())
            t.failure = run.failure;
    }
    return t;
}

} // namespace tamrel::compare
