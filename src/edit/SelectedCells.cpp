// SPDX-License-Identifier: GPL-3.0-or-later
#include "edit/SelectedCells.h"

#include <algorithm>
#include <cmath>
#include <limits>

#include "common/Rounding.h"
#include "kernels/SchemeTable.h"
#include "run/EstimateTimeStep.h"
#include "run/SmokeStreams.h"
#include "run/SnapshotInterval.h"

namespace tamrel {

namespace {

    // The multifluid companions of a cell holding a single gas: fluid 1 and
    // fluid 2 at the cell's pressure, fluid 2 denser by RhoRatio2, no fraction.
    void writeFluidCompanions(ExperimentState& s, long i)
    {
        if (!kernels::twoFluidScheme(s.SchemeName) || !s.Rho1.contains(i))
            return;
        s.Rho1[i] = s.Rho[i];
        s.Rho2[i] = s.Rho[i] * s.RhoRatio2;
        s.P1[i] = s.P[i];
        s.P2[i] = s.P[i];
        s.FSmoke[i] = 0;
        for (auto* a : { &s.FFrac, &s.FFracX, &s.FFracY, &s.FFracXX, &s.FFracXY, &s.FFracYY })
            (*a)[i] = 0;
    }

    void copyEntry(ExperimentState& s, Long to, Long from)
    {
        s.MSelected[to] = s.MSelected[from];
        s.XSelected[to] = s.XSelected[from];
        s.RhoSelected[to] = s.RhoSelected[from];
        s.PSelected[to] = s.PSelected[from];
        s.VXSelected[to] = s.VXSelected[from];
    }

    void setEntry(ExperimentState& s, Long k, Long cell, double x, double rho, double p, double u)
    {
        s.MSelected[k] = cell;
        s.XSelected[k] = x;
        s.RhoSelected[k] = rho;
        s.PSelected[k] = p;
        s.VXSelected[k] = u;
    }

    // Cells i = from..to rewritten on the line that leaves cell from-1 with the
    // increments given: each cell is its left neighbour plus the step.
    void fillLine(ExperimentState& s, long from, long to, double dRho, double dP, double dU, bool companions)
    {
        for (long i = from; i <= to; ++i) {
            s.P[i] = s.P[i - 1] + dP;
            s.VX[i] = s.VX[i - 1] + dU;
            s.Rho[i] = s.Rho[i - 1] + dRho;
            if (companions) {
                s.VY[i] = 0;
                s.FSmoke[i] = 0;
            }
            SetCellSoundSpeed(s, i);
            if (companions)
                writeFluidCompanions(s, i);
        }
    }

    // Cell `to` takes the seven values of cell `from` (an end cell following its
    // neighbour), with the multifluid companions of a single gas.
    void copyCell(ExperimentState& s, long to, long from)
    {
        s.Rho[to] = s.Rho[from];
        s.P[to] = s.P[from];
        s.VX[to] = s.VX[from];
        s.VY[to] = s.VY[from];
        s.FSmoke[to] = s.FSmoke[from];
        s.SoundSpeedSq[to] = s.SoundSpeedSq[from];
        s.SoundSpeed[to] = s.SoundSpeed[from];
        writeFluidCompanions(s, to);
    }

    // The table must be able to take one more entry than it has.
    void ensureTableRoom(ExperimentState& s)
    {
        const long needed = std::max<long>(s.NSelected + 2, s.NGridCells + 2);
        if (s.MSelected.upper() < needed || s.XSelected.upper() < needed || s.RhoSelected.upper() < needed
            || s.PSelected.upper() < needed || s.VXSelected.upper() < needed) {
            s.MSelected.resizeKeep(0, needed);
            for (auto* a : { &s.XSelected, &s.RhoSelected, &s.PSelected, &s.VXSelected })
                a->resizeKeep(0, std::max(a->upper(), needed));
        }
    }

    // The running extremes of the replay take the value.
    void track(double v, double& lo, double& hi)
    {
        if (v < lo)
            lo = v;
        if (v > hi)
            hi = v;
    }

    // The values of entry `from` (not its cell or position) go to entry `to`.
    void copyEntryValues(ExperimentState& s, Long to, Long from)
    {
        s.RhoSelected[to] = s.RhoSelected[from];
        s.PSelected[to] = s.PSelected[from];
        s.VXSelected[to] = s.VXSelected[from];
    }

} // namespace

double SelectedCellPosition(const ExperimentState& s, Long m, Long previousCell)
{
    const Long n = s.NGridCells;
    if (m == 1)
        return s.X[1] + kSelectedEdgeOffset;
    if (m == n)
        return s.X[n + 1] - kSelectedEdgeOffset;
    if (m == previousCell + 1)
        return s.X[m] + kSelectedEdgeOffset;
    return s.X[m + 1] - kSelectedEdgeOffset;
}

void WriteCellValues(ExperimentState& s, long i, double rho, double p, double u)
{
    s.Rho[i] = rho;
    s.P[i] = p;
    s.VX[i] = u;
    s.VY[i] = 0;
    s.FSmoke[i] = 0;
    writeFluidCompanions(s, i);
}

void SetCellSoundSpeed(ExperimentState& s, long i)
{
    if (!(s.Rho[i] > 0)) {
        s.SoundSpeedSq[i] = 0;
        s.SoundSpeed[i] = 0;
        return;
    }
    s.SoundSpeedSq[i] = s.P[i] * s.Gamma / s.Rho[i];
    s.SoundSpeed[i] = std::sqrt(s.SoundSpeedSq[i]);
}

SelectStatus SelectCellState(ExperimentState& s, Long m, double rho, double p, double u)
{
    const Long n = s.NGridCells;
    if (!s.isReady())
        return SelectStatus::NotReady;
    if (m < 1 || m > n)
        return SelectStatus::BadCell;
    if (!std::isfinite(rho) || !std::isfinite(p) || !std::isfinite(u))
        return SelectStatus::BadValue;
    // The sound speed divides by the density.
    if (!(rho > 0))
        return SelectStatus::BadDensity;
    ensureTableRoom(s);

    // The ranges take the values as they are, without a margin.
    if (rho > s.RhoMax)
        s.RhoMax = rho;
    if (rho < s.RhoMin)
        s.RhoMin = rho;
    if (p > s.PMax)
        s.PMax = p;
    if (p < s.PMin)
        s.PMin = p;
    if (u > s.VXMax)
        s.VXMax = u;
    if (u < s.VXMin)
        s.VXMin = u;

    // Selecting a selected cell replaces its values.
    const Long count = s.NSelected;
    for (Long j = 1; j <= count; ++j)
        if (s.MSelected[j] == m)
            DeselectCellState(s, m);

    s.RhoCurrent = rho;
    s.PCurrent = p;
    s.VXCurrent = u;
    s.MCurrent = m;

    Long k;
    if (s.NSelected == 0) {
        // A fresh table: the two ends, cell 1, cell m in between, cell N.
        Long e = 0;
        setEntry(s, e++, 0, s.X[1] - kSelectedEdgeOffset, rho, p, u);
        setEntry(s, e++, 1, s.X[1] + kSelectedEdgeOffset, rho, p, u);
        if (m != 1 && m != n)
            setEntry(s, e++, m, s.X[m + 1] - kSelectedEdgeOffset, rho, p, u);
        setEntry(s, e++, n, s.X[n + 1] - kSelectedEdgeOffset, rho, p, u);
        setEntry(s, e, n + 1, s.X[n + 1] + kSelectedEdgeOffset, rho, p, u);
        s.NSelected = e - 1;
        for (Long j = 0; j <= e; ++j)
            WriteCellValues(s, s.MSelected[j], rho, p, u);
        k = 2;
    } else {
        // Insert after the last entry of a smaller cell (entry 0 at least).
        Long last = 0;
        for (Long j = 0; j <= s.NSelected; ++j)
            if (s.MSelected[j] < m)
                last = j;
        k = last + 1;
        for (Long j = s.NSelected + 1; j >= k; --j)
            copyEntry(s, j + 1, j);
        setEntry(s, k, m, SelectedCellPosition(s, m, s.MSelected[k - 1]), rho, p, u);
        WriteCellValues(s, m, rho, p, u);
        s.NSelected += 1;
    }

    // Left fill, from the entry before up to cell m; the increments are taken
    // once, from the values before the fill.
    // The fills stay on cells 0..N+1 whatever the table says.
    const Long left = std::max<Long>(0, s.MSelected[k - 1]);
    if (m - 1 >= left + 1) {
        const double span = m - left;
        fillLine(
            s, left + 1, m - 1, (rho - s.Rho[left]) / span, (p - s.P[left]) / span, (u - s.VX[left]) / span, true);
    }

    SetCellSoundSpeed(s, m);

    // Right fill, from cell m up to the entry after.
    const Long right = std::min<Long>(n + 1, s.MSelected[k + 1]);
    if (right - 1 >= m + 1) {
        const double span = right - m;
        fillLine(s, m + 1, right - 1, -(rho - s.Rho[right]) / span, -(p - s.P[right]) / span,
            -(u - s.VX[right]) / span, true);
    }

    // The end entries and boundary cells follow an end cell.
    if (m == 1) {
        s.MSelected[0] = 0;
        copyEntryValues(s, 0, 1);
        copyCell(s, 0, 1);
    }
    if (m == n) {
        s.MSelected[s.NSelected + 1] = n + 1;
        copyEntryValues(s, s.NSelected + 1, s.NSelected);
        copyCell(s, n + 1, n);
    }
    return SelectStatus::Selected;
}

bool DeselectCellState(ExperimentState& s, Long m)
{
    if (m >= 1 && m <= s.NGridCells)
        s.MCurrent = m;

    Long k = 0;
    for (Long j = 1; j <= s.NSelected; ++j)
        if (s.MSelected[j] == m)
            k = j;
    if (k == 0)
        return false;

    for (Long j = k; j <= s.NSelected; ++j)
        copyEntry(s, j, j + 1);
    s.NSelected -= 1;
    if (s.NSelected > 0) {
        const Long left = std::max<Long>(0, s.MSelected[k - 1]);
        const Long right = std::min<Long>(s.NGridCells + 1, s.MSelected[k]);
        if (right - 1 >= left + 1) {
            const double span = right - left;
            fillLine(s, left + 1, right - 1, (s.Rho[right] - s.Rho[left]) / span, (s.P[right] - s.P[left]) / span,
                (s.VX[right] - s.VX[left]) / span, false);
        }
    }
    return true;
}

bool FinishSelectionEdit(ExperimentState& s)
{
    SetUpSmokeStreams(s);
    return EstimateTimeStep(s);
}

std::vector<Long> ResetDeselectCells(const ExperimentState& s)
{
    std::vector<Long> cells;
    if (!s.isReady() || s.NSelected <= 2)
        return cells;
    // Deselecting entry i moves only the entries above it, so the entries
    // still to come keep their places.
    for (Long i = s.NSelected - 1; i >= 2; --i)
        cells.push_back(s.MSelected[i]);
    return cells;
}

bool ResetSelectedCells(ExperimentState& s)
{
    bool changed = false;
    for (Long m : ResetDeselectCells(s))
        changed = DeselectCellState(s, m) || changed;
    if (changed)
        FinishSelectionEdit(s);
    return changed;
}

// ---------------------------------------------------------------------------
// Rebuilding the grid from the table

void PrefillGridFromTable(ExperimentState& s)
{
    const Long n = s.NGridCells;
    for (long i = 0; i <= n + 1; ++i) {
        const Long e = i < n ? 0 : 1;
        WriteCellValues(s, i, s.RhoSelected[e], s.PSelected[e], s.VXSelected[e]);
        SetCellSoundSpeed(s, i);
    }
}

void ResetRebuildRunState(ExperimentState& s)
{
    s.MCurrent = idiv(s.NGridCells, 2);
    if (s.StoredTime.empty())
        s.StoredTime.allocate(0, 1);
    s.StoredTime[0] = s.TimeNow;
    s.Stopped = 1;
    s.STRowOffset = 0;
    s.NStoredStates = 0;
    s.MultiplePlots = 0;
    s.StoredStateShown = 0;
}

ReplayRanges BeginReplayRanges(const ExperimentState& s)
{
    ReplayRanges r;
    r.PMin = r.PMax = s.PSelected[1];
    r.VXMin = r.VXMax = s.VXSelected[1];
    r.RhoMin = r.RhoMax = s.RhoSelected[1];
    return r;
}

void ReplayEntryValues(ExperimentState& s, ReplayRanges& r, Long k)
{
    if (k < 1 || k > s.NSelected)
        return;
    const Long m = s.MSelected[k];
    s.MCurrent = m;

    s.PCurrent = s.PSelected[k];
    s.P[m] = s.PCurrent;
    track(s.PCurrent, r.PMin, r.PMax);
    double margin = 0.05 * (r.PMax - r.PMin);
    if (margin <= 0)
        margin = 0.05 * r.PMax;
    s.PMax = r.PMax + margin;
    s.PMin = r.PMin - margin;

    s.VXCurrent = s.VXSelected[k];
    s.VX[m] = s.VXCurrent;
    track(s.VXCurrent, r.VXMin, r.VXMax);
    margin = 0.05 * (r.VXMax - r.VXMin);
    if (margin <= 0) {
        // Velocities all alike: open the range by the sound speed of cell 1.
        const double c2 = s.Rho[1] > 0 ? s.Gamma * s.P[1] / s.Rho[1] : 0.0;
        margin = 0.05 * std::sqrt(std::max(0.0, c2));
    }
    s.VXMax = r.VXMax + margin;
    s.VXMin = r.VXMin - margin;

    s.VY[m] = 0;
    s.FSmoke[m] = 0;

    s.RhoCurrent = s.RhoSelected[k];
    s.Rho[m] = s.RhoCurrent;
    track(s.RhoCurrent, r.RhoMin, r.RhoMax);
    margin = 0.05 * (r.RhoMax - r.RhoMin);
    if (margin <= 0)
        margin = 0.05 * r.RhoMax;
    s.RhoMax = r.RhoMax + margin;
    s.RhoMin = r.RhoMin - margin;
}

void ComputeRebuildTimeScales(ExperimentState& s)
{
    const Long n = s.NGridCells;
    double t = s.SoundSpeed0 > 0 ? s.DX / s.SoundSpeed0 : std::numeric_limits<double>::infinity();
    for (long i = 0; i <= n + 1; ++i) {
        SetCellSoundSpeed(s, i);
        const double sig = std::max(std::fabs(s.VX[i] + s.SoundSpeed[i]), std::fabs(s.VX[i] - s.SoundSpeed[i]));
        t = std::min(t, (s.X[i + 1] - s.X[i]) / sig);
    }
    s.Dt = 0.1 * s.CourantNumber * t;

    // A cell 1 without a sound speed has no time unit of its own; the
    // reference sound speed stands in for it.
    if (s.SoundSpeed[1] > 0 && std::isfinite(s.SoundSpeed[1]))
        s.TimeUnit = 1 / s.SoundSpeed[1];
    else if (s.SoundSpeed0 > 0)
        s.TimeUnit = 1 / s.SoundSpeed0;
    else
        s.TimeUnit = 1;
    // A problem that brought its own stop time (a test) keeps it on any grid.
    s.TStop = s.ProblemTStop > 0 ? s.ProblemTStop : s.TimeUnit * s.Periods;
    SetSnapshotInterval(s);
}

} // namespace tamrel
