// SPDX-License-Identifier: GPL-3.0-or-later
#include "app/CompareBatch.h"

#include <chrono>
#include <cstdio>
#include <fstream>
#include <optional>
#include <vector>

#include "app/BatchFiles.h"
#include "app/BatchSession.h"
#include "common/StagedFile.h"
#include "compare/SideBySide.h"
#include "exact/ExactColumns.h"

namespace tamrel {

namespace {

    using namespace batch;

    // One file for all schemes: each scheme's run line, then the rows of
    // every scheme in turn, each led by the scheme's name.
    template <class WriteRows>
    bool writeAll(const std::string& path, const std::vector<compare::SchemeRun>& runs, const std::string& header,
        std::vector<std::optional<exact::ExactColumns>>& exact, WriteRows writeRows)
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        if (!out)
            return false;
        for (const compare::SchemeRun& r : runs)
            writeRunLine(out, r.state);
        out << "scheme," << header << "\n";
        for (std::size_t k = 0; k < runs.size(); ++k)
            writeRows(out, runs[k].state, exact[k] ? &*exact[k] : nullptr, runs[k].state.SchemeName + ",");
        out.close();
        return !out.fail();
    }

} // namespace

int runComparisonBatch(const BatchOptions& o, BatchOutputs& outputs)
{
    std::vector<compare::SchemeRun> runs;
    for (const std::string& scheme : o.schemes) {
        std::string why;
        std::optional<ExperimentState> s = prepareRun(o, scheme, o.cells, why);
        if (!s)
            return fail(why);
        runs.emplace_back();
        runs.back().state = std::move(*s);
    }
    reportSetupOverrides(runs.front().state, o);
    if (const auto refusal = compare::CheckSideBySide(runs))
        return fail(*refusal);
    // Each copy's exact solution from its own initial grid, in double precision.
    std::vector<std::optional<exact::ExactColumns>> exact(runs.size());
    if (o.exact)
        for (std::size_t k = 0; k < runs.size(); ++k)
            exact[k].emplace(runs[k].state);

    compare::RunSideBySide(runs);
    for (const compare::SchemeRun& r : runs)
        if (!r.finished)
            return fail(r.failure, kRunFailed);

    if (const StagedFile* f = outputs.file("--out");
        f && !writeAll(f->temporaryPath(), runs, finalStateHeader(o.exact), exact, writeFinalStateRows))
        return fail("cannot write '" + f->target() + "'", kRunFailed);
    if (const StagedFile* f = outputs.file("--history");
        f && !writeAll(f->temporaryPath(), runs, historyHeader(o.exact), exact, writeHistoryRows))
        return fail("cannot write '" + f->target() + "'", kRunFailed);
    if (const auto failure = outputs.commit())
        return fail(*failure, kRunFailed);

    for (std::size_t k = 0; k < runs.size(); ++k) {
        const compare::SchemeRun& r = runs[k];
        const ExperimentState& s = r.state;
        const double updates = static_cast<double>(r.acceptedSteps) * s.NGridCells;
        std::printf("scheme=%s time=%s cycles=%d snapshots=%d seconds=%.6f cell_updates_per_second=%.0f",
            s.SchemeName.c_str(), num17(s.TimeNow).c_str(), s.NCycle, s.NStoredStates, r.seconds,
            r.seconds > 0 ? updates / r.seconds : 0.0);
        if (exact[k]) {
            exact[k]->at(s.TimeNow);
            std::printf(" %s", exact[k]->summary(s).c_str());
        }
        std::printf("\n");
        if (exact[k] && !exact[k]->valid())
            std::fprintf(stderr, "tamrel: %s: no exact values at t=%s: %s\n", s.SchemeName.c_str(),
                num17(s.TimeNow).c_str(), exact[k]->note().c_str());
    }
    return 0;
}

} // namespace tamrel
