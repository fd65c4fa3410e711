// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A lab sheet against its problem: whether the problem can answer every
// check (before anything runs), then the runs and the measured checks.

#include <atomic>
#include <functional>
#include <map>
#include <optional>
#include <string>
#include <vector>

#include "app/sheets/LabSheet.h"
#include "compare/ConvergenceStudy.h"
#include "state/ExperimentState.h"

namespace tamrel::sheets {

// The Ready records of the sheet's problem and grid, one for each scheme its
// runs use, by the scheme's name.
using ReadyRecords = std::map<std::string, ExperimentState>;

// The schemes whose runs the sheet needs: its own, then those its checks
// name (a convergence ladder prepares its own runs).
std::vector<std::string> SchemesToRun(const LabSheet& sheet);

// Why the problem, set up in `ready`, cannot answer one of the sheet's checks, or nothing: an
// L1 error or a convergence ladder without an exact reference up to TStop, a
// front the exact solution does not have, a point outside the grid or a time
// outside 0..TStop, the fluid-2 fraction under a one-fluid scheme.
std::optional<SheetRefusal> CheckAgainstProblem(const LabSheet& sheet, const ReadyRecords& ready);

struct CheckResult {
    const Check* check = nullptr;
    bool pass = false;
    double measured = 0; // NaN when nothing could be measured
    std::string note; // why nothing was measured; for an order check each scheme's order
    int direction = 0; // a front: +1 when the exact wave moves right, -1 left, 0 standing or unknown
    double cellWidth = 0; // the grid's cell width, where the check ran on one grid
};

// Called after each finished run: runs done, runs in all (an order check's
// ladder counts each of its runs).
using SheetProgress = std::function<void(int done, int total)>;

// Runs the sheet's problem from `ready` to TStop (and to every earlier time a
// value check asks for), once for each scheme, and measures each check; an order check runs its
// ladder through `prepare` (`threads` runs at a time). A run that fails
// fails the checks that needed it. `cancel`, looked at between steps, stops
// the run in progress and leaves the checks not yet measured failed with
// the note "cancelled".
std::vector<CheckResult> RunSheetChecks(const LabSheet& sheet, const ReadyRecords& ready,
    const compare::PrepareStudyRun& prepare, int threads, const std::atomic<bool>* cancel = nullptr,
    const SheetProgress& progress = {});

// What a check asks, in words: "density in the cell at x=0.5 at t=TStop:
// 0.42 within 0.01"; without `values`, only what is measured ("density in
// the cell at x=0.5 at t=TStop"), for a sheet whose values stay hidden until
// it is checked.
std::string DescribeCheck(const Check& c, bool values = true);

// "PASS  name  measured=...  expected=...  tolerance=..." for one check.
std::string CheckLine(const CheckResult& r);

} // namespace tamrel::sheets
