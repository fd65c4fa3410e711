// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Ready-to-run experiment states for the run tests and the time-step benchmark.

#include <cmath>
#include <string>

#include "kernels/SchemeTable.h"
#include "run/DefaultProblem.h"
#include "run/EstimateTimeStep.h"
#include "run/SmokeStreams.h"
#include "run/SnapshotRow.h"
#include "state/ExperimentState.h"

namespace tamrel::testing {

// A Riemann problem on n cells of the unit interval with continuation
// boundaries: (RhoL, PL, UxL) left of `jump`, (RhoR, PR, 0) right of it, smoke
// streams, the fluid arrays under "Mixtal32", the time step, the time scales
// and history row 0: ready for Begin. Defaults are the classic test with a
// moving left state.
inline ExperimentState shockTubeState(long n, const std::string& scheme, double jump = 0.3, double rhoL = 1.0,
    double pL = 1.0, double uL = 0.75, double rhoR = 0.125, double pR = 0.1)
{
    ExperimentState s;
    StartUpState(s);
    s.NGridCells = static_cast<Long>(n);
    s.SchemeName = scheme;
    s.RhoRatio2 = 2.0;
    AllocateArrays(s);
    s.MnBdry = 2;
    s.MxBdry = 2;
    s.NGridCellsD = static_cast<double>(n);
    s.DX = 1.0 / s.NGridCellsD;
    for (long i = 1; i <= n + 1; ++i)
        s.X[i] = static_cast<double>(i - 1) * s.DX;
    s.X[0] = 2 * s.X[1] - s.X[2];
    s.X[n + 2] = 2 * s.X[n + 1] - s.X[n];
    for (long i = 0; i <= n + 1; ++i) {
        const bool left = (static_cast<double>(i) - 0.5) * s.DX < jump;
        s.Rho[i] = left ? rhoL : rhoR;
        s.P[i] = left ? pL : pR;
        s.VX[i] = left ? uL : 0.0;
        s.VY[i] = 0.0;
        s.FSmoke[i] = 0.0;
        if (kernels::twoFluidScheme(s.SchemeName)) {
            s.Rho1[i] = s.Rho[i];
            s.Rho2[i] = s.Rho[i] * s.RhoRatio2;
            s.P1[i] = s.P[i];
            s.P2[i] = s.P[i];
        }
    }
    s.SoundSpeed0 = std::sqrt(s.Gamma * std::max(pL / rhoL, pR / rhoR));
    SetUpSmokeStreams(s);
    EstimateTimeStep(s);
    RefreshTimeScales(s);
    StoreSnapshotRow(s, 0, RowGamma::PerCell);
    return s;
}

} // namespace tamrel::testing
