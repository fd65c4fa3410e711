// SPDX-License-Identifier: GPL-3.0-or-later
// tamrel --convergence: the study's checks, its runs and its files.

#include <algorithm>
#include <cctype>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <fstream>

#include "app/BatchFiles.h"
#include "app/BatchSession.h"
#include "app/CompareBatch.h"
#include "compare/StudyFiles.h"
#include "common/StagedFile.h"
#include "compare/ConvergenceStudy.h"
#include "compare/StudyPlot.h"

namespace tamrel {

namespace {

    using namespace batch;

} // namespace

int runConvergenceBatch(const BatchOptions& o, const SaveStudyPlotFile& savePlot)
{
    removeStagedFilesOnSignals();
    BatchOutputs outputs;
    if (const auto refusal = outputs.stage({ { &o.outFile, "--out" }, { &o.plotFile, "--plot" } }))
        return fail(*refusal);

    // Every run's record is made as a single run of its scheme and grid size
    // would start, in a lab session of its own.
    const compare::PrepareStudyRun prepare
        = [&o](const std::string& scheme, long cells, bool mirrored, std::string& why) {
              return prepareStudyRun(o, scheme, cells, mirrored, why);
          };
    if (const auto refusal = compare::CheckStudyProblem(prepare, o.schemes.front(), o.ladder.front()))
        return fail(*refusal);
    if (const auto warning = compare::StudyProblemWarning(prepare, o.schemes.front(), o.ladder.front()))
        std::fprintf(stderr, "tamrel: warning: %s\n", warning->c_str());

    const auto start = std::chrono::steady_clock::now();
    const compare::StudyResult r = compare::RunConvergenceStudy(o.schemes, o.ladder, prepare, o.threads);
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
    if (!r.failure.empty())
        return fail(r.failure, kRunFailed);

    if (const StagedFile* f = outputs.file("--out"); f && !writeStudyCsv(r, f->temporaryPath()))
        return fail("cannot write '" + f->target() + "'", kRunFailed);
    if (const StagedFile* f = outputs.file("--plot");
        f && !savePlot(compare::LayOutStudyPlot(r), f->temporaryPath(), endsWithSvg(f->target())))
        return fail("cannot write '" + f->target() + "'", kRunFailed);
    if (const auto failure = outputs.commit())
        return fail(*failure, kRunFailed);

    std::vector<std::string> names;
    for (const compare::StudyRow& row : r.rows)
        if (std::find(names.begin(), names.end(), row.scheme) == names.end())
            names.push_back(row.scheme);
    for (const std::string& name : names)
        std::printf("%s\n", studySummaryLine(r, name).c_str());
    std::printf("runs=%zu seconds=%.3f\n", r.rows.size(), seconds);
    return 0;
}

} // namespace tamrel
