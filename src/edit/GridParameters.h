// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The grid and its run parameters: laying out the cell edges, moving the
// selected cells to a new grid, and the rules of the five parameter boxes
// (grid size, time units, snapshot rate, Courant number, milliseconds) and of
// the cell and value editors. Each box rule takes the state and the box's
// text, applies what the text changes and tells the window what it must do
// next (put the old value back, show a corrected text, rebuild the grid).
// Nothing here touches a widget.

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "state/ExperimentState.h"

namespace tamrel {

// The time step's scratch arrays end at index 5007, so no grid that reaches a
// run may have more than 5000 cells; the grid-size box caps there.
inline constexpr Long kMaxRunGridCells = 5000;
inline constexpr Long kMinGridCells = 6;
// Courant numbers from this one up to (not including) 1. A smaller one makes
// the time step so short that a run on the largest grid would take hours.
inline constexpr double kMinCourantNumber = 0.01;
// The allowed range in words, for refusals.
inline constexpr const char* kCourantRangeText = "from 0.01 to below 1";

// ---------------------------------------------------------------------------
// Grid layout

// Reallocates, all zero, the state and kernel-result families (and the
// multifluid members under "Mixtal32") for N = NGridCells, and the history
// for NPlotsTotal = NPlotsPerPeriod * Periods rounded half-even, which is
// computed first. NGridCellsD = N, NSTValues = (N+2)*NPlotsTotal, DX = 1/N,
// X(0) = -DX, X(1) = 0, X(i) = X(i-1) + DX up to N+2, then X(N+1) = 1 exactly.
void ResizeGridArrays(ExperimentState& s);

// The most snapshot rows a history of N+2 cells per row may have.
std::int64_t MaxPlotsTotal(Long nGridCells);

// Whether a history of `plotsTotal` rows of N+2 cells stays within the
// memory limit of the eight float arrays (and so within a Long index).
bool HistoryFits(Long nGridCells, std::int64_t plotsTotal);

// The history a run of `plotsTotal` snapshot rows allocates at Begin: those
// rows and the few a run to TStop adds (the row at TStop and the roundings of
// the snapshot clock). Whether it fits the memory limit, and the most
// snapshot rows for which it does.
inline constexpr std::int64_t kRunExtraRows = 3;
bool RunHistoryFits(Long nGridCells, std::int64_t plotsTotal);
std::int64_t MaxRunPlotsTotal(Long nGridCells);

// Snapshot rows for a rate and a number of time units: the rate times the
// units rounded half-even (64-bit, so an absurd product is seen as such).
std::int64_t PlotsTotalFor(double plotsPerPeriod, double periods);

// Moves the table of selected cells onto the current grid X (1..N+1) by the
// entries' positions XSelected: each entry goes to the cell containing its
// position, capped at N - NSelected + j so that the later entries find room,
// and at least one past the previous entry. The right end entry becomes cell
// N+1. A table with one entry only has that entry kept within 1..N.
void MoveSelectedCellsToGrid(ExperimentState& s);

// ---------------------------------------------------------------------------
// Parameter boxes

enum class BoxOutcome {
    Ignored, // the text changes nothing (incomplete, not a number, refused)
    PutBack, // a run forbids the change: the box must show `text` again
    Applied, // the state took the value
    Corrected, // the state took a corrected value: the box must show `text`
};

struct BoxResult {
    BoxOutcome outcome = BoxOutcome::Ignored;
    std::string text; // for PutBack and Corrected
};

enum class GridSizeOutcome {
    Ignored, // nothing changed, the text stays as typed
    PutBack, // not Ready: the box must show `text` (the current N)
    RebuildGrid, // the table was moved: run RebuildGridState
    RebuildSoundWave, // a sound wave is loaded: ResizeGridArrays, then rebuild the wave
};

struct GridSizeResult {
    GridSizeOutcome outcome = GridSizeOutcome::Ignored;
    std::string text; // for PutBack
};

// txtNGridCells_Change. Accepts a number of at least 6, at least NSelected;
// stops the run, sets NGridCells to it rounded half-even (at most 5000),
// lays out the new edges between the old ends, MCurrent = N \ 2, clears the
// stored-state bookkeeping, resizes the table to 0..N+2 and moves the
// selected cells. The window then sets hsbMSelected's range
// (CellBarLargeChange), puts MCurrent back to N \ 2, and rebuilds.
GridSizeResult GridSizeTextChanged(ExperimentState& s, std::string_view text);

// txtNPeriods_Change. A positive number of time units whose history has at
// least one row and fits the memory limit: Periods, TStop = Periods*TimeUnit,
// NPlotsTotal, and the history resized keeping its rows. The window then
// updates the problem description when the outcome is Applied.
BoxResult PeriodsTextChanged(ExperimentState& s, std::string_view text);

// txtNPlotsPerPeriod_Change. A rate that rounds to at least 1 and whose
// history has at least one row and fits the memory limit: NPlotsPerPeriod,
// NPlotsTotal, history resized keeping its rows, DtPlot = TimeUnit/rate,
// Dt lowered to DtPlot, TNextPlot = DtPlot.
BoxResult PlotsPerPeriodTextChanged(ExperimentState& s, std::string_view text);

// txtCourantNumber_Change: a number from kMinCourantNumber to below 1 becomes
// the target Courant number; while a run is in progress the box gets the
// current value back.
BoxResult CourantTextChanged(ExperimentState& s, std::string_view text);

// txtMSec_Change: a positive number rounded half-even and kept within
// MSecMin..MSecMax; when that differs from the typed number the box must show
// the corrected value ("###0"). The window then sets the timer interval.
BoxResult MSecTextChanged(ExperimentState& s, std::string_view text);

// ---------------------------------------------------------------------------
// Cell and value editors

// LargeChange of hsbMSelected: N / 25 rounded half-even, at least 1.
Long CellBarLargeChange(Long nGridCells);

// The cell a text in txtMSelected names: its number rounded half-even, or
// nullopt when the text is not a number, not above 0, rounds to 0 or lies
// beyond N, so that the current cell always stays within 1..N.
std::optional<Long> CellNumberFromText(const ExperimentState& s, std::string_view text);

// Scroll bar position to value: lo + (hi - lo) (value - barMin) / (barMax -
// barMin); a bar without travel (barMin = barMax) gives the middle of the range.
double BarToValue(int value, int barMin, int barMax, double lo, double hi);

// Value to scroll bar position: (barMax - barMin)(v - lo)/(hi - lo) + barMin
// rounded half-even and kept on the bar; a range without span (lo = hi)
// gives the bar's middle.
int ValueToBar(double v, int barMin, int barMax, double lo, double hi);

// The value boxes' rules, shared by txtDensity_Change and its pressure and
// velocity twins up to the point where the window moves the bar. Each
// returns true when the text was taken:
// the current value is set and the plot range widened by 5 % of its span on
// the side the value reached or crossed. The window then moves the bar
// itself when its FromScroll flag is 0 and no run is in progress.
//   Density: numbers not above 0 are ignored; below RhoFloor -> RhoFloor;
//            the minimum does not fall below 0.
//   Pressure: below PFloor (zero and negatives too) -> PFloor; the minimum
//            does not fall below 0.
//   Velocity: |v| < VXEpsilon -> 0; no clamp.
bool DensityTextChanged(ExperimentState& s, std::string_view text);
bool PressureTextChanged(ExperimentState& s, std::string_view text);
bool VelocityTextChanged(ExperimentState& s, std::string_view text);

} // namespace tamrel
