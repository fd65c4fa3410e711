// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A batch run that draws pictures (--spacetime, --plots): the window class
// is created offscreen and driven with scripted dialog answers, through the
// same set-up procedures, handlers and tick as the window, and paints them.

#include "app/BatchOptions.h"

namespace tamrel {

// Returns the process exit status, as runSessionBatch: 0 a finished run with every output
// written; 1 a run that failed (non-finite state, stopped before its stop
// time) or whose outputs could not be written; 2 a refused problem, value or
// output path (nothing run). Outputs are written in full or not at all: on
// any status but 0 no output file is created or changed.
// `program` is the program's name for Qt, which the run starts only after
// the checks that need no window.
int runPictureBatch(const BatchOptions& options, char* program);

} // namespace tamrel
