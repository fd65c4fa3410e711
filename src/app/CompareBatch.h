// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Batch runs of several schemes: side by side (--schemes) and the
// convergence study (--convergence).

#include <functional>
#include <string>

#include "app/BatchOptions.h"
#include "compare/StudyPlot.h"

namespace tamrel {

namespace batch {
    class BatchOutputs;
}

// The schemes of --schemes side by side on one problem, with the outputs
// staged already. Exit status as runSessionBatch.
int runComparisonBatch(const BatchOptions& o, batch::BatchOutputs& outputs);

// Draws the study's plot into `path` (SVG when `svg`, else PNG); false when
// it cannot. Only a study asked for --plot calls it.
using SaveStudyPlotFile = std::function<bool(const compare::StudyPlotDrawing&, const std::string& path, bool svg)>;

// tamrel --convergence: checks, runs the study, writes --out and --plot.
// Exit status: 0 done, 1 a run or an output failed, 2 refused (nothing run).
int runConvergenceBatch(const BatchOptions& o, const SaveStudyPlotFile& savePlot);

} // namespace tamrel
