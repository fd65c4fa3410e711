// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The eight built-in shock tubes: two uniform states meeting at XJump on the
// domain XL..XR, run with continuation boundaries until TStop. Loading one
// rebuilds the whole initial state on the current grid (NGridCells, Gamma,
// CourantNumber, Periods, NPlotsPerPeriod and the scheme stay as they are).

#include <array>
#include <string>

#include "state/Boundaries.h"
#include "state/ExperimentState.h"

namespace tamrel {

// One two-state Riemann problem, the twelve values in their fixed order.
struct ShockTubeTest {
    double RhoL, PL, UxL, UyL; // left state: density, pressure, x- and transverse velocity
    double RhoR, PR, UxR, UyR; // right state
    double XL, XJump, XR; // left end, initial discontinuity, right end
    double TStop; // stop time of the problem
};

inline constexpr int kShockTubeTestCount = 8;

// Tests 1 to 8 at indices 0 to 7. Test 2 is Test 1 with a transverse shear;
// Tests 5 and 8 have pressure jumps of five and two and a half decades.
inline constexpr std::array<ShockTubeTest, kShockTubeTestCount> kShockTubeTests { {
    { 1.0, 1.0, 0.75, 0, 0.125, 0.1, 0, 0, 0, 0.3, 1.0, 0.2 },
    { 1.0, 1.0, 0.75, 1.0, 0.125, 0.1, 0, -8.0, 0, 0.3, 1.0, 0.2 },
    { 1.0, 0.4, -2.0, 0, 1.0, 0.4, 2.0, 0, 0, 0.5, 1.0, 0.15 },
    { 1.0, 0.000001, 1.0, 0, 1.0, 0.000001, -1.0, 0, 0, 0.5, 1.0, 1.0 },
    { 1.0, 1000.0, -19.59745, 0, 1.0, 0.01, -19.59745, 0, 0, 0.8, 1.0, 0.012 },
    { 5.99924, 460.894, 19.5975, 0, 5.99242, 46.095, -6.19633, 0, 0, 0.4, 1.0, 0.035 },
    { 1.4, 1.0, 0.1, 0, 1.0, 1.0, 0.1, 0, 0, 0.5, 1.0, 2.0 },
    { 0.1261192, 782.929, 8.904703, 0, 6.591493, 3.154487, 2.265421, 0, 0, 0.8, 1.0, 0.0078 },
} };

// Boundary type every test runs with on both ends: continuation.
inline constexpr Long kShockTubeBoundaryType = kContinuationBoundary;

// Test `number` (1..8); numbers outside that range give test 1.
const ShockTubeTest& shockTubeTest(int number);

// Button caption "Test N" and tooltip "Click here to set up for Test N.".
std::string shockTubeTestCaption(int number);
std::string shockTubeTestToolTip(int number);

// The state part of loading a test: arrays re-created for the current N and
// scheme; grid X from XL to XR; left state in cells 0..MCurrent and right
// state in MCurrent+1..N+1, MCurrent being the cell the jump lies in (a
// cell cut exactly in half takes the right state); four selected cells
// around the ends and the jump; plot ranges; SoundSpeed0; sound speeds; the
// multifluid arrays under "Mixtal32"; smoke streams; history row 0; the
// first time step at a tenth of the Courant number, capped at the new
// snapshot interval; TimeUnit = 1/SoundSpeed(1), TStop and ProblemTStop the
// test's stop time, DtPlot = TNextPlot = SnapshotInterval; MSec 5 in
// 1..2000; DtOld = Dt. Nothing of the problem loaded before enters.
//
// The history arrays are re-created empty while NStoredStates, TimeNow and
// StoredTime keep their values: rows above 0 read back as zero density and
// are refused by RestoreSnapshotRow. MnBdry and MxBdry are not touched here.
void SetUpShockTubeState(ExperimentState& s, const ShockTubeTest& t);

// cmdTestN_Click's state part: both boundary types to continuation, then
// SetUpShockTubeState with test `number` (1..8).
void ApplyShockTubeTest(ExperimentState& s, int number);

} // namespace tamrel
