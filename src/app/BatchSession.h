// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A batch run's problem set up in a lab session, in the order the batch has
// always set it: the grid size, the scheme, the run length and the snapshot
// rate (the one that lowers the count first), the Courant number, then the
// problem. A value the session refuses stops the batch with the option named.

#include <optional>
#include <string>

#include "app/BatchOptions.h"
#include "state/ExperimentState.h"

namespace tamrel {

namespace lab {
    class LabSession;
}

namespace batch {

    // The scheme and the grid and run values of `o`, then its problem.
    std::optional<std::string> setUpSession(lab::LabSession& session, const BatchOptions& o);

    // The Ready record a single run of `scheme` on `cells` cells (when given)
    // starts from, set up as a batch run sets it up; nothing (and `why`) when
    // it is refused. Any thread may call it.
    std::optional<ExperimentState> prepareRun(
        const BatchOptions& o, const std::string& scheme, std::optional<long> cells, std::string& why);

    // The same problem with a sound wave's three amplitudes negated (the
    // answers not given are the window's defaults): a convergence study's
    // mirrored run.
    BatchOptions mirroredWave(const BatchOptions& o);

    // A study's record maker over prepareRun.
    std::optional<ExperimentState> prepareStudyRun(
        const BatchOptions& o, const std::string& scheme, long cells, bool mirrored, std::string& why);

} // namespace batch
} // namespace tamrel
