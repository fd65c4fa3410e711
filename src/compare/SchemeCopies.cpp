// SPDX-License-Identifier: GPL-3.0-or-later
#include "compare/SchemeCopies.h"

#include <algorithm>
#include <utility>

#include "kernels/SchemeTable.h"
#include "run/SchemeChoice.h"

namespace tamrel::compare {

namespace {

    constexpr BoundedArray<float> ExperimentState::*kHistory[] = { &ExperimentState::STRho, &ExperimentState::STP,
        &ExperimentState::STVX, &ExperimentState::STVY, &ExperimentState::STFSmoke, &ExperimentState::STRPlus,
        &ExperimentState::STRMinus, &ExperimentState::STEntropy };

} // namespace

std::string SchemeNamesText()
{
    return kernels::schemeNamesPhrase(kernels::allSchemes(), " and ");
}

SchemeNames CheckSchemeNames(const std::vector<std::string>& names)
{
    SchemeNames out;
    for (const std::string& name : names) {
        const kernels::SchemeInfo* k = kernels::findScheme(name);
        if (!k) {
            out.refusal = "\"" + name + "\" is not a scheme name.  Choose from " + SchemeNamesText()
                + ".  The comparison is left as it was.";
            return out;
        }
        if (std::find(out.schemes.begin(), out.schemes.end(), std::string(k->name)) != out.schemes.end()) {
            out.refusal
                = "The scheme " + std::string(k->name) + " is named twice.  The comparison is left as it was.";
            return out;
        }
        out.schemes.emplace_back(k->name);
    }
    if (out.schemes.size() > static_cast<std::size_t>(kMaxSchemes))
        out.refusal = "A comparison takes 2 to 5 schemes, not " + std::to_string(out.schemes.size())
            + ".  The comparison is left as it was.";
    return out;
}

std::vector<SchemeRun> MakeSchemeCopies(const ExperimentState& setUp, const std::vector<std::string>& schemes)
{
    std::vector<SchemeRun> copies(schemes.size());
    if (schemes.empty())
        return copies;
    ExperimentState& first = copies.front().state;
    first = setUp;
    for (auto member : kHistory)
        (first.*member).release();
    first.StoredTime.release();
    for (std::size_t k = 1; k < schemes.size(); ++k)
        copies[k].state = first;
    for (std::size_t k = 0; k < schemes.size(); ++k)
        TakeScheme(copies[k].state, schemes[k]);
    return copies;
}

LockstepTick AdvanceWithGrid(ExperimentState& grid, std::vector<SchemeRun>& runs,
    const std::vector<TimeStep*>& steppers, GridLockstep& at, std::chrono::steady_clock::time_point deadline,
    bool concurrent)
{
    std::swap(grid, runs.front().state);
    if (at.gridEnded)
        runs.front().state.Stopped = 1;
    const LockstepTick t = AdvanceLockstep(runs, steppers, at.commonRows + 1, deadline, concurrent);
    std::swap(grid, runs.front().state);
    at.commonRows = t.rows;
    at.gridEnded = grid.Stopped != 0;
    if (!t.failure.empty() || t.ended) {
        grid.Stopped = 1;
        for (SchemeRun& r : runs)
            r.state.Stopped = 1;
    } else {
        // The grid waits for the others shown as going on, so the ticks come.
        grid.Stopped = 0;
    }
    return t;
}

ExperimentState HistoryDifference(const ExperimentState& a, const ExperimentState& b)
{
    ExperimentState d = a;
    for (auto member : kHistory) {
        BoundedArray<float>& x = d.*member;
        const BoundedArray<float>& y = b.*member;
        for (long i = x.lower(); i <= x.upper(); ++i)
            if (y.contains(i))
                x[i] -= y[i];
    }
    d.NStoredStates = std::min(d.NStoredStates, b.NStoredStates);
    return d;
}

} // namespace tamrel::compare
