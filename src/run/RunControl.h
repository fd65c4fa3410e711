// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Begin, Pause, Continue and Restart as operations on the record; the window
// adds the widget updates (captions, boxes, repaints) around them.

#include <functional>
#include <string>

#include "state/ExperimentState.h"

namespace tamrel {

enum class BeginStatus {
    Started, // history reallocated, row 0 stored, Stopped = 0
    NotAtTimeZero, // TimeNow is not exactly 0: nothing changed
    UnknownScheme, // SchemeName is none of the five schemes: nothing changed
    MissingFluids, // a two-fluid scheme without its fluid arrays: nothing changed
};

// Begin (Ready -> Running): history reallocated (RunHistoryRows rows), boundary cells 0 and N+1
// filled (periodic while RiemannPlots, otherwise reflected), row 0 stored,
// DtOld = Dt, STRowOffset = N+2, plot ranges fitted, NStoredStates = 1,
// StoredTime(0) = 0, NCycle = 0 (a run counts its own cycles), Stopped = 0.
// The grid it starts from is kept, in full precision, for Restart. Dt,
// TNextPlot and the meter totals are
// left. The window then shows SchemeName on the scheme button and rebuilds
// the problem description.
BeginStatus BeginRun(ExperimentState& s);

// What Begin says when it does not start ("" for Started and NotAtTimeZero,
// where it says nothing).
std::string BeginRefusal(const ExperimentState& s, BeginStatus status);

// Pause: Stopped = 1, nothing else.
void PauseRun(ExperimentState& s);

enum class ContinueStatus {
    Continued, // the run goes on
    NotBegun, // the time is 0 (after a set-up or Restart): Begin starts a run, Continue has none
    NoStoredRow, // NStoredStates 0: no row to go on from
    RunOver, // the newest row or the time is at or past TStop: nothing is left to run
    HistoryFull, // the history holds no further row: going on would store nothing
};

// What Continue would do now, without doing it.
ContinueStatus ContinueStatusOf(const ExperimentState& s);

// What Continue says when a finished run or a full history is not taken on
// ("" otherwise: the button goes on, or does nothing without a word).
std::string ContinueRefusal(const ExperimentState& s);

// Continue from the newest stored row: StoredStateShown = NStoredStates - 1,
// TimeNow = its stored time; then `showStoredRow` (the window writes
// StoredStateShown into its stored-state box, whose handler may restore that
// row while the run is still halted); then Stopped = 0. Unless
// ContinueStatusOf says Continued it does nothing and returns false.
bool ContinueRunState(ExperimentState& s, const std::function<void()>& showStoredRow = {});

// Continue as the button does it. A set-up loaded after a run empties the
// rows above 0 while their count stays: the run goes on only from a newest
// row that holds a state (otherwise false, nothing changed). Then
// ContinueRunState. Showing the row restores it into the grid only when the
// stored-state box showed another number (STRowOffset then stands at that
// row); when the grid still holds the state it had when the run halted, the
// run goes on at the time the grid belongs to rather than at the row's
// earlier time, exactly as if it had never been paused.
bool ContinueRun(ExperimentState& s, const std::function<void()>& showStoredRow = {});

// Rows of a run's history: enough for row 0, every snapshot time before TStop
// and the row at TStop, and at least NPlotsTotal, within the memory limit
// of the history (maxHistoryRows).
long RunHistoryRows(const ExperimentState& s);

enum class RestartStatus {
    Restored, // row 0 back in the grid, new Dt
    KeptGrid, // row 0 held no valid state: the grid and Dt were kept
};

// Restart (any state -> Ready): TNextPlot = DtPlot, TimeNow 0, NCycle 0,
// meter totals 0, Stopped = 1. The grid and Dt become those the run began
// from, exactly (the start Begin kept), so a run after Restart repeats the run
// after the set-up bit for bit; in Ready they are the set-up's already and
// stay. Only without a kept start of this grid: row 0 back into Rho, P, VX,
// VY, FSmoke of cells 0..N+1 with sound speeds from Gamma and Dt at a tenth
// of the target Courant number, and under a two-fluid scheme the fluid arrays
// derived again (see RederiveFluidArrays). Then the history reallocated, row 0 stored again,
// STRowOffset = N+2, plot ranges fitted, NStoredStates = 1, Dt capped at
// DtPlot, DtOld = Dt. The window then shows the time, the stored-state range
// 0..0 and the Courant number and repaints the plots.
RestartStatus RestartRun(ExperimentState& s);

// The multifluid arrays of cells 0..N+1 from Rho, P and the fluid-2 fraction
// FSmoke, as a set-up lays them out: P1 = P2 = P; outside the streams
// Rho1 = Rho and Rho2 = Rho * RhoRatio2; a full stream cell (whose density is
// fluid 2's) has Rho2 = Rho and Rho1 = Rho / RhoRatio2; fractions FFrac = f,
// FFracXX = FFracYY = f/12, first moments and FFracXY 0.
void RederiveFluidArrays(ExperimentState& s);

// Time steps per tick: N \ 30; for a small sound wave (RiemannPlots 1 and
// RhoMax < 1.08) 0.1 / Dt rounded half-even; at least 1.
long StepsPerTick(const ExperimentState& s);

} // namespace tamrel
