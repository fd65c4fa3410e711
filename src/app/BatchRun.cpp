// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/BatchRun.h"

#include <chrono>
#include <cstdio>
#include <optional>

#include "app/BatchFiles.h"
#include "app/BatchSession.h"
#include "app/CompareBatch.h"
#include "common/StagedFile.h"
#include "exact/ExactColumns.h"
#include "lab/LabSession.h"
#include "run/RunStatus.h"

namespace tamrel {

namespace {

    using namespace batch;

    std::optional<std::string> writeOutputs(
        const ExperimentState& s, const BatchOutputs& outputs, exact::ExactColumns* exact)
    {
        if (const StagedFile* f = outputs.file("--out"); f && !writeFinalState(s, f->temporaryPath(), exact))
            return "cannot write '" + f->target() + "'";
        if (const StagedFile* f = outputs.file("--history"); f && !writeHistory(s, f->temporaryPath(), exact))
            return "cannot write '" + f->target() + "'";
        return std::nullopt;
    }

    void printSummary(const lab::LabSession& session, const BatchOptions& o, double seconds,
        exact::ExactColumns* exact)
    {
        const ExperimentState& s = session.record();
        const double updates = static_cast<double>(session.acceptedSteps()) * s.NGridCells;
        std::printf("time=%s cycles=%d snapshots=%d seconds=%.6f cell_updates_per_second=%.0f",
            num17(s.TimeNow).c_str(), s.NCycle, s.NStoredStates, seconds, seconds > 0 ? updates / seconds : 0.0);
        if (o.meter)
            std::printf(" mflops=%.3f flops_per_cell=%.0f", s.MflopRate, session.meter().flopsPerCell);
        if (exact) {
            exact->at(s.TimeNow);
            std::printf(" %s", exact->summary(s).c_str());
        }
        std::printf("\n");
        if (exact && !exact->valid())
            std::fprintf(
                stderr, "tamrel: no exact values at t=%s: %s\n", num17(s.TimeNow).c_str(), exact->note().c_str());
    }

} // namespace

bool batchDrawsPictures(const BatchOptions& o)
{
    return o.spaceTimeFile || o.plotsFile || o.animationFile;
}

int runSessionBatch(const BatchOptions& o)
{
    removeStagedFilesOnSignals();
    if (o.setupFile)
        if (const auto refusal = checkSetupFile(*o.setupFile))
            return fail(*refusal);
    BatchOutputs outputs;
    if (const auto refusal = outputs.stage(o))
        return fail(*refusal);
    if (!o.schemes.empty())
        return runComparisonBatch(o, outputs);

    lab::LabSession session(o.threads);
    if (const auto refusal = setUpSession(session, o))
        return fail(*refusal);
    const ExperimentState& s = session.record();
    reportSetupOverrides(s, o);

    // The exact solution starts from the loaded grid in double precision
    // (history row 0 keeps it only in single precision).
    std::optional<exact::ExactColumns> exact;
    if (o.exact)
        exact.emplace(s);

    const auto start = std::chrono::steady_clock::now();
    if (const auto refusal = session.begin())
        return fail(*refusal);
    std::optional<std::string> fault;
    while (session.running() && !fault)
        fault = session.tick().fault;
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

    if (session.faulted())
        return fail(fault.value_or("the run failed"), kRunFailed);
    // A run halted before its stop time (and not merely rounded short of it)
    // has no result to write.
    if (!ReachedStopTime(s))
        return fail("the run stopped at time " + num17(s.TimeNow) + ", before its stop time " + num17(s.TStop),
            kRunFailed);

    if (const auto failure = writeOutputs(s, outputs, exact ? &*exact : nullptr))
        return fail(*failure, kRunFailed);
    if (const auto failure = outputs.commit())
        return fail(*failure, kRunFailed);
    printSummary(session, o, seconds, exact ? &*exact : nullptr);
    return 0;
}

} // namespace tamrel
