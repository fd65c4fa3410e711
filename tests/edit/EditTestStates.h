// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// States the edit and set-up file tests start from, and the grid rebuild as
// the window's change cascade performs it, without the boxes.

#include <initializer_list>
#include <vector>

#include "edit/GridParameters.h"
#include "edit/SelectedCells.h"
#include "run/DefaultProblem.h"
#include "run/SmokeStreams.h"
#include "run/SnapshotRow.h"
#include "state/ExperimentState.h"

namespace tamrel::testing {

// The start-up state (default problem, 100 cells) with an empty table.
inline ExperimentState emptyTableState()
{
    ExperimentState s;
    StartUpState(s);
    s.NSelected = 0;
    return s;
}

struct CellValues {
    Long m;
    double rho, p, u;
};

// The start-up state with the table built by selecting the cells in order.
inline ExperimentState selectedState(std::initializer_list<CellValues> cells)
{
    ExperimentState s = emptyTableState();
    for (const auto& c : cells)
        SelectCellState(s, c.m, c.rho, c.p, c.u);
    FinishSelectionEdit(s);
    return s;
}

// RebuildGridState's state changes in order: new arrays, prefill, smoke,
// run bookkeeping, the replay of every entry through Select, the time scales
// and history row 0.
inline void rebuildWithoutBoxes(ExperimentState& s)
{
    ResizeGridArrays(s);
    PrefillGridFromTable(s);
    SetUpSmokeStreams(s);
    ResetRebuildRunState(s);
    if (s.NSelected >= 1) {
        ReplayRanges ranges = BeginReplayRanges(s);
        for (Long k = 1; k <= s.NSelected; ++k) {
            ReplayEntryValues(s, ranges, k);
            SelectCellState(s, s.MSelected[k], s.RhoSelected[k], s.PSelected[k], s.VXSelected[k]);
            FinishSelectionEdit(s);
        }
        SetUpSmokeStreams(s);
    }
    ComputeRebuildTimeScales(s);
    StoreSnapshotRow(s, 0);
}

inline std::vector<Long> tableCells(const ExperimentState& s)
{
    std::vector<Long> cells;
    for (Long j = 0; j <= s.NSelected + 1; ++j)
        cells.push_back(s.MSelected[j]);
    return cells;
}

} // namespace tamrel::testing
