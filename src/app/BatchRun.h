// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// tamrel --batch without pictures: a lab session set up from the options,
// run to its end, its files written. No window and no display platform: the
// program starts no Qt for it.

#include "app/BatchOptions.h"

namespace tamrel {

// Whether the run draws a picture (--spacetime, --plots): those are painted
// by the window and go through it.
bool batchDrawsPictures(const BatchOptions& o);

// Returns the process exit status: 0 a finished run with every output
// written; 1 a run that failed (non-finite state, stopped before its stop
// time) or whose outputs could not be written; 2 a refused problem, value or
// output path (nothing run). Outputs are written in full or not at all: on
// any status but 0 no output file is created or changed. --schemes runs the
// comparison.
int runSessionBatch(const BatchOptions& o);

} // namespace tamrel
