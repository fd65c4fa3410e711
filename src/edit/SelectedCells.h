// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The table of selected (control) cells and the grid interpolated between
// them. Entries 1..NSelected are the selected cells, strictly increasing in
// 1..N; entry 0 is the left end entry (cell 0) and entry NSelected+1 the
// right end entry (cell N+1). Between two consecutive entries density,
// pressure and velocity run on a straight line in the cell number.
//
// These are the state changes behind Select, Deselect, Reset and the grid
// rebuild; the window reads its boxes, calls them, and adds the problem
// description and the repaint.

#include <vector>

#include "state/ExperimentState.h"

namespace tamrel {

// Offset of an entry's position from the cell edge it sits next to: two
// adjacent selected cells lie 2e-7 apart across their common edge, which
// lets the positions find the cells again on another grid.
inline constexpr double kSelectedEdgeOffset = 1e-7;

// Position of an entry for cell m whose previous entry is cell previousCell:
// m = 1 -> X(1) + 1e-7; m = N -> X(N+1) - 1e-7; m = previousCell + 1 ->
// X(m) + 1e-7; otherwise X(m+1) - 1e-7 (tested in this order).
double SelectedCellPosition(const ExperimentState& s, Long m, Long previousCell);

// Writing cell i with (rho, p, u): Rho, P, VX, VY = 0, FSmoke = 0, and under
// "Mixtal32" Rho1 = rho, Rho2 = rho * RhoRatio2, P1 = P2 = p, fractions 0.
void WriteCellValues(ExperimentState& s, long i, double rho, double p, double u);

// SoundSpeedSq(i) = P(i) * Gamma / Rho(i) and SoundSpeed(i) its root; a cell
// without a positive density gets 0 rather than a division by zero.
void SetCellSoundSpeed(ExperimentState& s, long i);

enum class SelectStatus {
    Selected,
    NotReady, // a run is in progress or the time is not zero: nothing done
    BadDensity, // the density is not above 0: nothing done
    BadValue, // a value is not finite: nothing done
    BadCell, // m lies outside 1..N: nothing done
};

// Select's state change: widen the plot ranges to the values without a
// margin, remove any entry of cell m, set the current values and cell, then
// build the table (empty table) or insert the entry, write cell m, refill the
// cells between it and its neighbouring entries, set the sound speed of m,
// and copy cell 1 to cell 0 / cell N to N+1 when m is an end cell. The
// window follows a Selected result with FinishSelectionEdit, shows m and the
// values in the boxes, updates the description and repaints.
SelectStatus SelectCellState(ExperimentState& s, Long m, double rho, double p, double u);

// Deselect's state change: removes the last entry 1..NSelected of cell m
// and refills the cells between the entries either side of the gap (Rho, P,
// VX and the sound speed only). MCurrent becomes m when m is a grid cell.
// Returns whether an entry was removed. Whether or not, the window follows
// it with FinishSelectionEdit, the description and the repaint.
bool DeselectCellState(ExperimentState& s, Long m);

// The tail every selection edit shares: smoke streams, then the sound speeds
// and time step estimate. Returns EstimateTimeStep's answer (false: the
// state has no defined time step, Dt and the sound speeds were kept).
bool FinishSelectionEdit(ExperimentState& s);

// The cells Reset deselects, in the order it deselects them: entries
// NSelected-1 down to 2 of the table (so entries 1 and NSelected stay).
// Empty when not Ready or when there are at most two entries. The window
// puts each into txtMSelected and deselects it.
std::vector<Long> ResetDeselectCells(const ExperimentState& s);

// Reset's state change without the boxes: deselects the cells of
// ResetDeselectCells in order and finishes with FinishSelectionEdit when
// anything was removed. Returns whether the table changed.
bool ResetSelectedCells(ExperimentState& s);

// ---------------------------------------------------------------------------
// Rebuilding the grid from the table

// The rebuild's first fill: cells 0..N-1 written with the values of entry 0, cells N
// and N+1 with the values of entry 1, each with its sound speed.
void PrefillGridFromTable(ExperimentState& s);

// The rebuild's fresh run: MCurrent = N \ 2, StoredTime(0) = TimeNow, Stopped = 1,
// and STRowOffset, NStoredStates, MultiplePlots, StoredStateShown 0.
void ResetRebuildRunState(ExperimentState& s);

// Running extremes of the replayed table, started from entry 1.
struct ReplayRanges {
    double PMin = 0, PMax = 0;
    double VXMin = 0, VXMax = 0;
    double RhoMin = 0, RhoMax = 0;
};

ReplayRanges BeginReplayRanges(const ExperimentState& s);

// The rebuild's replay of entry k (MCurrent = MSelected(k)): the
// pressure, velocity and density of the entry become the current values and
// those of its cell, VY and FSmoke of the cell 0, and each plot range is the
// running extremes widened by 5 % of their span (5 % of the maximum, or for
// velocity 5 % of the sound speed of cell 1, when the span is 0). The
// window then shows the values in the boxes and replays Select.
void ReplayEntryValues(ExperimentState& s, ReplayRanges& ranges, Long k);

// The rebuild's time scales: sound speeds of cells 0..N+1, Dt at a tenth of the
// Courant number (signal crossing time, starting from DX / SoundSpeed0),
// TimeUnit = 1 / SoundSpeed(1), TStop, DtPlot = TNextPlot = TimeUnit /
// NPlotsPerPeriod, Dt capped at DtPlot. The rebuild then stores history
// row 0 with StoreSnapshotRow(s, 0).
void ComputeRebuildTimeScales(ExperimentState& s);

} // namespace tamrel
