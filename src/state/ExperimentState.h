// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The one record of the whole experiment: problem, run, history, control
// cells, display settings and annotation. The window owns it; every handler,
// set-up and the time step read and change it in place. Field names follow
// the physics (Rho, P, VX) and the lab's conventions: a leading N is a count,
// M a cell number, ST a history array, Min/Max a plot range, New a kernel output.
//
// Cells 1..N are the grid, 0 and N+1 the boundary cells stored with every
// snapshot, 1-B..0 and N+1..N+B ghost cells filled before each kernel call.
// X(i) is the left edge of cell i; the grid spans X(1) .. X(N+1).

#include <cstdint>
#include <string>

#include "common/BoundedArray.h"
#include "state/BoundaryCodes.h"

namespace tamrel {

using Long = std::int32_t;

struct ExperimentState {
    // --- Problem and grid -------------------------------------------------
    Long NGridCells = 100;
    double NGridCellsD = 100.0;
    Long NGridCellsMax = 5001;
    double DX = 0.01;
    Long NBdy = 6;
    Long MnBdry = kReflectingBoundary; // boundary codes of state/BoundaryCodes.h
    Long MxBdry = kReflectingBoundary;
    double Gamma = 1.4;
    double Gamma1 = 1.4;
    double Gamma2 = 1.4;
    double RhoRatio2 = 1.0;
    double SoundSpeed0 = 1.0;
    Long NSmokeStreams = 1;

    // --- Grid arrays (state family, -6 .. (N\3)*10+7) ------------------------
    BoundedArray<double> X, Rho, P, VX, VY, FSmoke;
    BoundedArray<double> Rho1, P1, Rho2, P2, FFrac, FFracX, FFracY, FFracXX, FFracXY, FFracYY;

    // --- Kernel results (-6 .. N+7) -----------------------------------------
    BoundedArray<double> VYNew, FSmokeNew, SoundSpeedSq, SoundSpeed;
    BoundedArray<double> Rho1New, P1New, Rho2New, P2New, FFracNew, FFracXNew, FFracYNew, FFracXXNew, FFracXYNew,
        FFracYYNew;

    // --- Time and run parameters --------------------------------------------
    double TimeNow = 0;
    double Dt = 0;
    double DtOld = 0;
    double CourantNumber = 0.85;
    double Periods = 1.5;
    Long NPlotsPerPeriod = 400;
    Long NPlotsTotal = 600;
    double TimeUnit = 0;
    double TStop = 0;
    // The stop time the loaded problem brings with it (a shock-tube test, a
    // set-up file that names one); 0 when the run lasts Periods time units.
    // A new grid size keeps it, since it is physical time, not time units.
    double ProblemTStop = 0;
    double DtPlot = 0;
    double TNextPlot = 0;
    Long NCycle = 0;
    Long MSec = 5;
    Long MSecMin = 1;
    Long MSecMax = 2000;
    Long NDifferenceScheme = 3;

    // --- Kernel constants ---------------------------------------------------
    std::string SchemeName = "Orvane";
    double Difcon = 0.3;
    double Shkjmp = 0.2;
    double Wavhaf = 1.0;
    double RhoFloor = 1e-8;
    double KernelFloor = 1e-8;
    double PFloor = 1e-8;
    double VXEpsilon = 1e-8;

    // --- Snapshot history (0 .. (N+2)*K) ------------------------------------
    BoundedArray<float> STRho, STP, STVX, STVY, STFSmoke, STRPlus, STRMinus, STEntropy;
    Long NSTValues = 0;
    Long STRowOffset = 0;
    Long NStoredStates = 0;
    // One entry per history row (the rows a history of K rows can hold).
    BoundedArray<double> StoredTime;
    Long StoredStateShown = 0;

    // --- The run's starting grid ----------------------------------------------
    // Begin keeps the grid it starts from, in full precision, so that Restart
    // brings back exactly that state (the history holds single precision only)
    // and the run after Restart is the run after the set-up, bit for bit.
    struct RunStartGrid {
        Long NGridCells = 0; // 0: nothing kept
        BoundedArray<double> X, Rho, P, VX, VY, FSmoke, SoundSpeedSq, SoundSpeed;
        BoundedArray<double> Rho1, P1, Rho2, P2, FFrac, FFracX, FFracY, FFracXX, FFracXY, FFracYY;
        double Dt = 0, DtOld = 0;
    };
    RunStartGrid RunStart;

    // --- Control cells, current cell and plot ranges ------------------------
    Long NSelected = 6;
    BoundedArray<Long> MSelected;
    BoundedArray<double> XSelected, RhoSelected, PSelected, VXSelected;
    Long MCurrent = 90;
    double RhoCurrent = 0, PCurrent = 0, VXCurrent = 0;
    double RhoMin = 0, RhoMax = 0, PMin = 0, PMax = 0, VXMin = 0, VXMax = 0;

    // --- Derived display ranges ---------------------------------------------
    double EntropyPlotMin = 0, EntropyPlotMax = 0;
    double RMinusPlotMin = 0, RMinusPlotMax = 0;
    double RPlusPlotMin = -1, RPlusPlotMax = 1;
    double VYGrayMin = 0, VYGrayMax = 0;
    double FSmokeGrayMin = 0, FSmokeGrayMax = 1;

    // --- Editor interlock flags ---------------------------------------------
    Long RhoFromScroll = 0, PFromScroll = 0, VXFromScroll = 0, MFromScroll = 0;
    Long RhoFromText = 0, PFromText = 0, VXFromText = 0, MFromText = 0;

    // --- Sound-wave parameters ----------------------------------------------
    double RPlusAmplitude = 1.0, RMinusAmplitude = 0, R0Amplitude = 0;
    Long RPlusFrequency = 1, RMinusFrequency = 1, R0Frequency = 1;
    double U0 = -1.0;

    // --- Display and run flags ----------------------------------------------
    Long Stopped = 1;
    Long LogPlots = 0;
    Long RiemannPlots = 0;
    Long PlotFVSmoke = 0;
    Long MultiplePlots = 0;
    Long BigSpaceTime = 0;
    Long TitleEntered = 0;

    // --- Mflop/s meter ------------------------------------------------------
    Long MeterOn = 0;
    double MflopsTotal = 0;
    double MeterSeconds = 0;
    double MflopRate = 0;

    // --- Annotation ---------------------------------------------------------
    std::string TitleText;
    std::string StudentName;
    std::string IDAndTitle;

    // --- Helpers ------------------------------------------------------------
    // Ready: no run in progress and the problem time exactly zero.
    bool isReady() const { return Stopped != 0 && TimeNow == 0; }
};

// The eight single-precision history arrays together may not exceed 1 GiB.
inline constexpr std::int64_t kMaxHistoryBytes = std::int64_t { 1 } << 30;

// The most history rows of N+2 cells that stay within kMaxHistoryBytes (and
// so within a Long index).
inline std::int64_t maxHistoryRows(Long nGridCells)
{
    const std::int64_t row = nGridCells + std::int64_t { 2 } > 1 ? nGridCells + std::int64_t { 2 } : 1;
    // Eight arrays of four-byte floats, indices 0..(N+2)*rows.
    return (kMaxHistoryBytes / (8 * 4) - 1) / row;
}

// Upper bound of the state family for N cells: (N\3)*10+7.
inline long stateUpper(long n)
{
    return (n / 3) * 10 + 7;
}

// (Re)allocate, all zero, the state family (X, Rho, P, VX, VY, FSmoke) and the
// kernel-result family (VYNew, FSmokeNew, SoundSpeedSq, SoundSpeed).
void allocateGridArrays(ExperimentState& s);
// The multifluid members of both families, all zero.
void allocateMultifluidArrays(ExperimentState& s);
// The eight history arrays (0 .. (N+2)*K) and the stored times, all zero;
// sets NSTValues.
void allocateHistory(ExperimentState& s);
// The same for `rows` rows in place of K (a run's history, which may need
// more rows than K to reach TStop).
void allocateHistoryRows(ExperimentState& s, long rows);
// Resize the history to the present K keeping the stored rows.
void resizeHistoryKeep(ExperimentState& s);
// Control-cell arrays to 0 .. N+2 keeping their contents.
void resizeSelectedKeep(ExperimentState& s);

} // namespace tamrel
