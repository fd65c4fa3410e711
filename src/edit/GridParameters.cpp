// SPDX-License-Identifier: GPL-3.0-or-later
#include "edit/GridParameters.h"
#include "kernels/SchemeTable.h"
#include "run/PlotRanges.h"
#include "run/SnapshotInterval.h"

#include <algorithm>
#include <cmath>

#include "common/Format.h"
#include "common/Rounding.h"

namespace tamrel {

namespace {

    std::string plainNumber(double v)
    {
        return formatGeneral(v);
    }

} // namespace

// ---------------------------------------------------------------------------
// Grid layout

std::int64_t PlotsTotalFor(double plotsPerPeriod, double periods)
{
    const double k = std::nearbyint(plotsPerPeriod * periods);
    if (!std::isfinite(k))
        return k < 0 ? INT64_MIN : INT64_MAX;
    if (k >= 9.0e18)
        return INT64_MAX;
    if (k <= -9.0e18)
        return INT64_MIN;
    return static_cast<std::int64_t>(k);
}

std::int64_t MaxPlotsTotal(Long nGridCells)
{
    return maxHistoryRows(nGridCells);
}

bool HistoryFits(Long nGridCells, std::int64_t plotsTotal)
{
    return nGridCells >= 0 && plotsTotal >= 0 && plotsTotal <= MaxPlotsTotal(nGridCells);
}

std::int64_t MaxRunPlotsTotal(Long nGridCells)
{
    return MaxPlotsTotal(nGridCells) - kRunExtraRows;
}

bool RunHistoryFits(Long nGridCells, std::int64_t plotsTotal)
{
    return nGridCells >= 0 && plotsTotal >= 0 && plotsTotal <= MaxRunPlotsTotal(nGridCells);
}

void ResizeGridArrays(ExperimentState& s)
{
    const Long n = s.NGridCells;
    s.NPlotsTotal = roundToLong(static_cast<double>(s.NPlotsPerPeriod) * s.Periods);
    allocateGridArrays(s);
    if (kernels::twoFluidScheme(s.SchemeName))
        allocateMultifluidArrays(s);
    allocateHistory(s);

    s.NGridCellsD = n;
    s.NSTValues = static_cast<Long>(static_cast<std::int64_t>(n + 2) * s.NPlotsTotal);

    s.DX = 1.0 / n;
    s.X[0] = -s.DX;
    s.X[1] = 0;
    for (long i = 2; i <= n + 2; ++i)
        s.X[i] = s.X[i - 1] + s.DX;
    // The accumulated sum drifts; the grid must end exactly at 1.
    s.X[n + 1] = 1;
}

void MoveSelectedCellsToGrid(ExperimentState& s)
{
    const Long n = s.NGridCells;
    const Long nSel = s.NSelected;
    if (s.MSelected.upper() < nSel + 1)
        resizeSelectedKeep(s);

    if (nSel > 1) {
        for (Long j = 1; j <= nSel; ++j) {
            // The cell that contains the position: the last edge left of it.
            Long c = 1;
            for (Long k = n; k >= 1; --k) {
                if (s.X[k] < s.XSelected[j]) {
                    c = k;
                    break;
                }
            }
            Long m = std::min(c, n - nSel + j);
            if (m < 1)
                m = 1;
            // Several entries can fall into one cell of a coarse grid; each
            // must still come after the one before, or the table would stop
            // increasing.
            if (m <= s.MSelected[j - 1])
                m = s.MSelected[j - 1] + 1;
            if (m > n)
                m = n;
            s.MSelected[j] = m;
        }
    } else if (nSel == 1) {
        // A lone entry has no neighbours to make room for; it only has to
        // stay on the grid.
        s.MSelected[1] = std::clamp<Long>(s.MSelected[1], 1, n);
    }
    s.MSelected[nSel + 1] = n + 1;
}

// ---------------------------------------------------------------------------
// Parameter boxes

GridSizeResult GridSizeTextChanged(ExperimentState& s, std::string_view text)
{
    if (!s.isReady())
        return { GridSizeOutcome::PutBack, plainNumber(s.NGridCells) };
    const auto typed = parseNumber(text);
    if (!typed || *typed < kMinGridCells || *typed < s.NSelected || !(*typed > 0))
        return {};

    s.Stopped = 1;
    const Long oldN = s.NGridCells;
    const double a = s.X[1];
    const double b = s.X[oldN + 1];
    const double g = *typed / oldN;

    Long n = roundToLong(*typed);
    n = std::min({ n, s.NGridCellsMax, kMaxRunGridCells });
    s.NGridCells = n;

    // The edges are recomputed up to N+1; keep room for X(N+2) as well.
    if (g > 1 || s.X.upper() < stateUpper(n))
        s.X.resizeKeep(-6, std::max(s.X.upper(), stateUpper(n)));
    s.NGridCellsD = n;
    for (long i = 2; i <= n; ++i)
        s.X[i] = s.X[i - 1] + (b - a) / n;
    s.X[n + 1] = b;

    s.MCurrent = idiv(n, 2);
    if (s.StoredTime.empty())
        s.StoredTime.allocate(0, 1);
    s.StoredTime[0] = s.TimeNow;
    s.STRowOffset = 0;
    s.NStoredStates = 0;
    s.MultiplePlots = 0;
    s.StoredStateShown = 0;

    // The table must hold entries 0..N+2 of the new grid, whose cells can
    // now be selected.
    resizeSelectedKeep(s);
    MoveSelectedCellsToGrid(s);

    return { s.RiemannPlots != 0 ? GridSizeOutcome::RebuildSoundWave : GridSizeOutcome::RebuildGrid, {} };
}

BoxResult PeriodsTextChanged(ExperimentState& s, std::string_view text)
{
    if (!s.isReady())
        return { BoxOutcome::PutBack, plainNumber(s.Periods) };
    const auto v = parseNumber(text);
    if (!v || !(*v > 0))
        return {};
    const std::int64_t k = PlotsTotalFor(static_cast<double>(s.NPlotsPerPeriod), *v);
    if (k < 1 || !RunHistoryFits(s.NGridCells, k))
        return {};

    // A new run length is the user's: it replaces a stop time the problem
    // brought. Writing the value in force again (as a rebuild does) keeps it.
    if (*v != s.Periods || s.ProblemTStop <= 0) {
        s.Periods = *v;
        s.ProblemTStop = 0;
        s.TStop = s.Periods * s.TimeUnit;
        SetSnapshotInterval(s);
    }
    s.NPlotsTotal = static_cast<Long>(k);
    resizeHistoryKeep(s);
    return { BoxOutcome::Applied, {} };
}

BoxResult PlotsPerPeriodTextChanged(ExperimentState& s, std::string_view text)
{
    if (!s.isReady())
        return { BoxOutcome::PutBack, plainNumber(s.NPlotsPerPeriod) };
    const auto v = parseNumber(text);
    if (!v || !(*v > 0))
        return {};
    // A rate that rounds to 0 would make DtPlot infinite.
    const Long rate = roundToLong(*v);
    if (rate < 1)
        return {};
    const std::int64_t k = PlotsTotalFor(static_cast<double>(rate), s.Periods);
    if (k < 1 || !RunHistoryFits(s.NGridCells, k))
        return {};

    s.NPlotsPerPeriod = rate;
    s.NPlotsTotal = static_cast<Long>(k);
    resizeHistoryKeep(s);
    SetSnapshotInterval(s);
    return { BoxOutcome::Applied, {} };
}

BoxResult CourantTextChanged(ExperimentState& s, std::string_view text)
{
    if (s.Stopped == 0)
        return { BoxOutcome::PutBack, plainNumber(s.CourantNumber) };
    const auto v = parseNumber(text);
    if (!v || !(*v >= kMinCourantNumber && *v < 1))
        return {};
    s.CourantNumber = *v;
    return { BoxOutcome::Applied, {} };
}

BoxResult MSecTextChanged(ExperimentState& s, std::string_view text)
{
    const auto v = parseNumber(text);
    if (!v || !(*v > 0))
        return {};
    s.MSec = std::clamp(roundToLong(*v), s.MSecMin, s.MSecMax);
    if (*v != static_cast<double>(s.MSec))
        return { BoxOutcome::Corrected, formatPattern(s.MSec, "###0") };
    return { BoxOutcome::Applied, {} };
}

// ---------------------------------------------------------------------------
// Cell and value editors

Long CellBarLargeChange(Long nGridCells)
{
    return std::max<Long>(1, roundToLong(nGridCells / 25.0));
}

std::optional<Long> CellNumberFromText(const ExperimentState& s, std::string_view text)
{
    const auto v = parseNumber(text);
    if (!v || !(*v > 0))
        return std::nullopt;
    const Long m = roundToLong(*v);
    if (m < 1 || m > s.NGridCells)
        return std::nullopt;
    return m;
}

double BarToValue(int value, int barMin, int barMax, double lo, double hi)
{
    if (barMax == barMin)
        return 0.5 * (lo + hi);
    return lo + (hi - lo) * (value - barMin) / (barMax - barMin);
}

int ValueToBar(double v, int barMin, int barMax, double lo, double hi)
{
    const int middle = roundToLong(0.5 * (static_cast<double>(barMin) + barMax));
    if (hi == lo)
        return middle;
    const double pos = std::nearbyint(static_cast<double>(barMax - barMin) * (v - lo) / (hi - lo) + barMin);
    if (std::isnan(pos))
        return middle;
    // A scroll bar cannot take a position off its track.
    const double clamped = std::clamp(
        pos, static_cast<double>(std::min(barMin, barMax)), static_cast<double>(std::max(barMin, barMax)));
    return static_cast<int>(clamped);
}

bool DensityTextChanged(ExperimentState& s, std::string_view text)
{
    const auto v = parseNumber(text);
    if (!v || !(*v > 0))
        return false;
    s.RhoCurrent = *v < s.RhoFloor ? s.RhoFloor : *v;
    WidenRange(s.RhoCurrent, s.RhoMin, s.RhoMax, true);
    return true;
}

bool PressureTextChanged(ExperimentState& s, std::string_view text)
{
    const auto v = parseNumber(text);
    if (!v)
        return false;
    s.PCurrent = *v < s.PFloor ? s.PFloor : *v;
    WidenRange(s.PCurrent, s.PMin, s.PMax, true);
    return true;
}

bool VelocityTextChanged(ExperimentState& s, std::string_view text)
{
    const auto v = parseNumber(text);
    if (!v)
        return false;
    s.VXCurrent = (*v > -s.VXEpsilon && *v < s.VXEpsilon) ? 0.0 : *v;
    WidenRange(s.VXCurrent, s.VXMin, s.VXMax, false);
    return true;
}

} // namespace tamrel
