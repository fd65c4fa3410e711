// SPDX-License-Identifier: GPL-3.0-or-later
#include "presets/ShockTubeTests.h"

#include <algorithm>
#include <cmath>

#include "common/Rounding.h"
#include "kernels/SchemeTable.h"
#include "run/EstimateTimeStep.h"
#include "run/SmokeStreams.h"
#include "run/SnapshotInterval.h"
#include "run/SnapshotRow.h"

namespace tamrel {

namespace {

    // The eight history arrays, empty, for the present N and K. The stored
    // times and the count of stored rows are left as they are.
    void recreateHistory(ExperimentState& s)
    {
        const long values = static_cast<long>(s.NGridCells + 2) * s.NPlotsTotal;
        for (auto* a : { &s.STRho, &s.STP, &s.STVX, &s.STVY, &s.STFSmoke, &s.STRPlus, &s.STRMinus, &s.STEntropy })
            a->allocate(0, values);
        s.NSTValues = static_cast<Long>(values);
        if (s.StoredTime.empty())
            s.StoredTime.allocate(0, std::max<long>(1, s.NPlotsTotal));
    }

    // Fastest signal speed of a cell, |u| + c written as the two characteristics.
    double signalSpeed(double vx, double c)
    {
        return std::max(std::fabs(c + vx), std::fabs(vx - c));
    }

    // Re-create the arrays for this grid and scheme (contents discarded).
    void recreateArrays(ExperimentState& s, bool fluids)
    {
        allocateGridArrays(s);
        if (fluids)
            allocateMultifluidArrays(s);
        recreateHistory(s);
        // All five control-cell arrays share bounds, so XSelected follows the others.
        resizeSelectedKeep(s);
    }

    // Grid geometry, accumulated from the left end, with the outer cell
    // edges extrapolated.
    void layOutGrid(ExperimentState& s, const ShockTubeTest& t)
    {
        const long n = s.NGridCells;
        s.NGridCellsD = static_cast<double>(n);
        s.DX = (t.XR - t.XL) / static_cast<double>(n);
        s.X[1] = t.XL;
        s.X[n + 1] = t.XR;
        for (long i = 2; i <= n; ++i)
            s.X[i] = s.X[i - 1] + s.DX;
        s.X[0] = 2 * s.X[1] - s.X[2];
        s.X[n + 2] = 2 * s.X[n + 1] - s.X[n];
    }

    // The cell the jump lies in. The 0.00001 tips a jump through a cell's
    // middle to the right state and keeps one on a cell edge on that edge.
    // A jump outside the domain keeps one cell of each state, so the
    // selected cells stay in increasing order.
    long jumpCell(const ExperimentState& s, const ShockTubeTest& t)
    {
        const long n = s.NGridCells;
        const long m = roundToLong((t.XJump - t.XL) * s.NGridCellsD / (t.XR - t.XL) - 0.00001);
        return std::clamp<long>(m, 1, std::max<long>(1, n - 1));
    }

    // Selected cells: the two ends and the two cells either side of the jump.
    void selectTestCells(ExperimentState& s, const ShockTubeTest& t, long m)
    {
        const long n = s.NGridCells;
        s.NSelected = 4;
        const long cells[6] = { 0, 1, m, m + 1, n, n + 1 };
        const double xs[6]
            = { t.XL - 1e-7, t.XL + 1e-7, t.XJump - 1e-7, t.XJump + 1e-7, t.XR - 1e-7, t.XR + 1e-7 };
        for (long k = 0; k < 6; ++k) {
            const bool left = k < 3;
            s.MSelected[k] = static_cast<Long>(cells[k]);
            s.XSelected[k] = xs[k];
            s.RhoSelected[k] = left ? t.RhoL : t.RhoR;
            s.PSelected[k] = left ? t.PL : t.PR;
            s.VXSelected[k] = left ? t.UxL : t.UxR;
        }
    }

    // A positive quantity (density, pressure): the left state in cells
    // 0..m, the right in m+1..N+1; its plot range gets 5 percent headroom
    // above the larger state, 5 percent of the maximum below the smaller,
    // never below zero.
    void fillPositive(ExperimentState& s, long m, BoundedArray<double>& a, double left, double right,
        double& current, double& lo, double& hi)
    {
        const long n = s.NGridCells;
        current = left;
        hi = 1.05 * left;
        lo = left - 0.05 * hi;
        for (long i = 0; i <= m; ++i)
            a[i] = left;
        current = right;
        if (1.05 * right > hi)
            hi = 1.05 * right;
        if (right - 0.05 * hi < lo)
            lo = right - 0.05 * hi;
        if (lo < 0)
            lo = 0;
        for (long i = m + 1; i <= n + 1; ++i)
            a[i] = right;
    }

    // The two states, the reference sound speed (the faster of the two
    // states), and velocities whose range gets 5 percent of that sound speed
    // either side and is not clamped.
    void fillTwoStates(ExperimentState& s, const ShockTubeTest& t, long m)
    {
        const long n = s.NGridCells;
        fillPositive(s, m, s.Rho, t.RhoL, t.RhoR, s.RhoCurrent, s.RhoMin, s.RhoMax);
        fillPositive(s, m, s.P, t.PL, t.PR, s.PCurrent, s.PMin, s.PMax);

        s.SoundSpeed0 = std::sqrt(s.Gamma * std::max(t.PL / t.RhoL, t.PR / t.RhoR));

        s.VXCurrent = t.UxL;
        s.VXMin = t.UxL - 0.05 * s.SoundSpeed0;
        s.VXMax = t.UxL + 0.05 * s.SoundSpeed0;
        for (long i = 0; i <= m; ++i) {
            s.VX[i] = t.UxL;
            s.VY[i] = t.UyL;
        }
        s.VXCurrent = t.UxR;
        s.VXMin = std::min(s.VXMin, t.UxR - 0.05 * s.SoundSpeed0);
        s.VXMax = std::max(s.VXMax, t.UxR + 0.05 * s.SoundSpeed0);
        for (long i = m + 1; i <= n + 1; ++i) {
            s.VX[i] = t.UxR;
            s.VY[i] = t.UyR;
        }
    }

    // Lowers tmin to the signal crossing time of cell i.
    void lowerCrossingTime(const ExperimentState& s, long i, double& tmin)
    {
        tmin = std::min(tmin, (s.X[i + 1] - s.X[i]) / signalSpeed(s.VX[i], s.SoundSpeed[i]));
    }

    // Sound speeds of cells 0..N+1 and the shortest signal crossing time,
    // starting from cell 1's width over the reference sound speed.
    double soundSpeedsAndCrossingTime(ExperimentState& s)
    {
        const long n = s.NGridCells;
        double tmin = (s.X[2] - s.X[1]) / s.SoundSpeed0;
        for (long i = 0; i <= n + 1; ++i) {
            s.SoundSpeedSq[i] = s.P[i] * s.Gamma / s.Rho[i];
            s.SoundSpeed[i] = std::sqrt(s.SoundSpeedSq[i]);
            lowerCrossingTime(s, i, tmin);
        }
        return tmin;
    }

    // Multifluid: the whole gas is fluid 1 until the streams are laid out;
    // fluid 2 carries RhoRatio2 times the density at the same pressure.
    void fillFluidsFromGas(ExperimentState& s, double& tmin)
    {
        const long n = s.NGridCells;
        for (long i = 0; i <= n + 1; ++i) {
            s.Rho1[i] = s.Rho[i];
            s.Rho2[i] = s.Rho[i] * s.RhoRatio2;
            s.P1[i] = s.P[i];
            s.P2[i] = s.P[i];
            s.FSmoke[i] = 0;
            for (auto* f : { &s.FFrac, &s.FFracX, &s.FFracY, &s.FFracXX, &s.FFracXY, &s.FFracYY })
                (*f)[i] = 0;
            s.SoundSpeedSq[i] = s.Gamma1 * s.P[i] / s.Rho[i];
            s.SoundSpeed[i] = std::sqrt(s.SoundSpeedSq[i]);
            lowerCrossingTime(s, i, tmin);
        }
    }

    void mixedGammaSoundSpeeds(ExperimentState& s, double& tmin)
    {
        for (long j = 1; j <= s.NGridCells + 1; ++j) {
            s.SoundSpeedSq[j] = CellGamma(s, j) * s.P[j] / s.Rho[j];
            s.SoundSpeed[j] = std::sqrt(s.SoundSpeedSq[j]);
            lowerCrossingTime(s, j, tmin);
        }
    }

    // The first step at a tenth of the target Courant number; the time
    // scales, from the time sound in cell 1 takes to cross unit length; the
    // test's own stop time, which a new grid size keeps; the metronome pace;
    // then the step capped at the snapshot interval. Nothing of the problem
    // loaded before enters, so a test starts the same whatever ran before.
    void setTimeScales(ExperimentState& s, const ShockTubeTest& t, double tmin)
    {
        s.Dt = s.CourantNumber * 0.1 * tmin;

        s.TimeUnit = 1.0 / s.SoundSpeed[1];
        s.TStop = t.TStop;
        s.ProblemTStop = t.TStop;
        SetSnapshotInterval(s);

        s.MSec = 5;
        s.MSecMin = 1;
        s.MSecMax = 2000;

        CapFirstTimeStep(s);
    }

} // namespace

const ShockTubeTest& shockTubeTest(int number)
{
    if (number < 1 || number > kShockTubeTestCount)
        number = 1;
    return kShockTubeTests[static_cast<std::size_t>(number - 1)];
}

std::string shockTubeTestCaption(int number)
{
    return "Test " + std::to_string(number);
}

std::string shockTubeTestToolTip(int number)
{
    return "Click here to set up for Test " + std::to_string(number) + ".";
}

void SetUpShockTubeState(ExperimentState& s, const ShockTubeTest& t)
{
    const bool fluids = kernels::twoFluidScheme(s.SchemeName);
    recreateArrays(s, fluids);
    layOutGrid(s, t);
    const long m = jumpCell(s, t);
    s.MCurrent = static_cast<Long>(m);
    selectTestCells(s, t, m);
    fillTwoStates(s, t, m);

    double tmin = soundSpeedsAndCrossingTime(s);
    if (fluids)
        fillFluidsFromGas(s, tmin);
    SetUpSmokeStreams(s);

    // History row 0 with each cell's own gamma. Under the multifluid scheme
    // the streams changed density and gamma, so the sound speeds of cells
    // 1..N+1 are taken again with the mixed gamma.
    if (fluids)
        mixedGammaSoundSpeeds(s, tmin);
    StoreSnapshotRow(s, 0, RowGamma::PerCell);

    setTimeScales(s, t, tmin);
}

void ApplyShockTubeTest(ExperimentState& s, int number)
{
    s.MnBdry = kShockTubeBoundaryType;
    s.MxBdry = kShockTubeBoundaryType;
    SetUpShockTubeState(s, shockTubeTest(number));
}

} // namespace tamrel
