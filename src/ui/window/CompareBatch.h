// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Batch runs of several schemes: side by side (--schemes) and the
// convergence study (--convergence).

#include "app/BatchOptions.h"

namespace tamrel {

namespace batch {
    class BatchOutputs;
}

// The schemes of --schemes side by side on one problem, with the outputs
// staged already; the application object exists. Exit status as runBatch.
int runComparisonBatch(const BatchOptions& o, batch::BatchOutputs& outputs);

// tamrel --convergence: checks, runs the study, writes --out and --plot.
// Exit status: 0 done, 1 a run or an output failed, 2 refused (nothing run).
int runConvergenceBatch(const BatchOptions& o, char* program);

} // namespace tamrel
