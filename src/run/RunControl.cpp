// SPDX-License-Identifier: GPL-3.0-or-later
#include "run/RunControl.h"

#include <algorithm>
#include <cmath>
#include <iterator>

#include "common/Format.h"
#include "common/Rounding.h"
#include "kernels/SchemeTable.h"
#include "run/BoundaryFill.h"
#include "run/PlotRanges.h"
#include "run/SnapshotRow.h"

namespace tamrel {

namespace {

    void startHistory(ExperimentState& s)
    {
        allocateHistoryRows(s, RunHistoryRows(s));
        s.StoredTime[0] = 0.0;
    }

    // The grid arrays a run's start is made of, each with its kept copy.
    template <class F> void forRunStartArrays(ExperimentState& s, F f)
    {
        using S = ExperimentState;
        using K = S::RunStartGrid;
        f(s.X, s.RunStart.X);
        f(s.Rho, s.RunStart.Rho);
        f(s.P, s.RunStart.P);
        f(s.VX, s.RunStart.VX);
        f(s.VY, s.RunStart.VY);
        f(s.FSmoke, s.RunStart.FSmoke);
        f(s.SoundSpeedSq, s.RunStart.SoundSpeedSq);
        f(s.SoundSpeed, s.RunStart.SoundSpeed);
        BoundedArray<double> S::*fluid[] = { &S::Rho1, &S::P1, &S::Rho2, &S::P2, &S::FFrac, &S::FFracX, &S::FFracY,
            &S::FFracXX, &S::FFracXY, &S::FFracYY };
        BoundedArray<double> K::*kept[] = { &K::Rho1, &K::P1, &K::Rho2, &K::P2, &K::FFrac, &K::FFracX, &K::FFracY,
            &K::FFracXX, &K::FFracXY, &K::FFracYY };
        for (std::size_t i = 0; i < std::size(fluid); ++i)
            f(s.*fluid[i], s.RunStart.*kept[i]);
    }

    void keepRunStart(ExperimentState& s)
    {
        forRunStartArrays(s, [](const BoundedArray<double>& grid, BoundedArray<double>& kept) { kept = grid; });
        s.RunStart.NGridCells = s.NGridCells;
        s.RunStart.Dt = s.Dt;
        s.RunStart.DtOld = s.DtOld;
    }

    // The kept start back in the grid, when it belongs to this grid (same
    // size, the same arrays allocated).
    bool restoreRunStart(ExperimentState& s)
    {
        if (s.RunStart.NGridCells != s.NGridCells || s.RunStart.NGridCells <= 0)
            return false;
        bool fits = true;
        forRunStartArrays(s, [&](const BoundedArray<double>& grid, const BoundedArray<double>& kept) {
            fits = fits && grid.lower() == kept.lower() && grid.upper() == kept.upper()
                && grid.empty() == kept.empty();
        });
        if (!fits)
            return false;
        forRunStartArrays(s, [](BoundedArray<double>& grid, const BoundedArray<double>& kept) { grid = kept; });
        s.Dt = s.RunStart.Dt;
        s.DtOld = s.RunStart.DtOld;
        return true;
    }

} // namespace

std::string BeginRefusal(const ExperimentState& s, BeginStatus status)
{
    switch (status) {
    case BeginStatus::UnknownScheme: {
        const auto rows = kernels::allSchemes();
        std::string list;
        for (std::size_t i = 0; i < rows.size(); ++i)
            list += (i == 0 ? "" : i + 1 == rows.size() ? " or " : ", ") + std::string(rows[i].name);
        return "The scheme \"" + s.SchemeName + "\" is not one of " + list
            + ".  Choose a scheme with the scheme button, then press Begin.";
    }
    case BeginStatus::MissingFluids:
        return "The two-fluid arrays of " + s.SchemeName
            + " are missing.  Choose the scheme again with the scheme button, then press Begin.";
    case BeginStatus::Started:
    case BeginStatus::NotAtTimeZero:
        break;
    }
    return {};
}

std::string ContinueRefusal(const ExperimentState& s)
{
    if (!SnapshotRowHoldsState(s, s.NStoredStates - 1))
        return {};
    switch (ContinueStatusOf(s)) {
    case ContinueStatus::RunOver:
        return "The run is over: it has reached its stop time t=" + formatGeneral(s.TStop)
            + ".  Restart goes back to the start.";
    case ContinueStatus::HistoryFull:
        return "The history is full at t=" + formatGeneral(s.StoredTime[s.NStoredStates - 1])
            + ": the run cannot go on storing its snapshots.  Restart goes back to the start.";
    case ContinueStatus::Continued:
    case ContinueStatus::NotBegun:
    case ContinueStatus::NoStoredRow:
        break;
    }
    return {};
}

BeginStatus BeginRun(ExperimentState& s)
{
    if (s.TimeNow != 0)
        return BeginStatus::NotAtTimeZero;
    if (kernels::findScheme(s.SchemeName) == nullptr)
        return BeginStatus::UnknownScheme;
    if (kernels::twoFluidScheme(s.SchemeName) && !s.FFracYYNew.contains(s.NGridCells + s.NBdy + 1))
        return BeginStatus::MissingFluids;

    keepRunStart(s);
    s.NCycle = 0;
    startHistory(s);
    FillBoundaryCellsForBegin(s);
    StoreSnapshotRow(s, 0);
    s.DtOld = s.Dt;
    s.STRowOffset = s.NGridCells + 2;
    FitPlotRanges(s);
    s.NStoredStates = 1;
    s.StoredStateShown = 0;
    s.Stopped = 0;
    return BeginStatus::Started;
}

void PauseRun(ExperimentState& s)
{
    s.Stopped = 1;
}

long RunHistoryRows(const ExperimentState& s)
{
    double rows = s.NPlotsTotal;
    if (s.DtPlot > 0 && s.TStop > 0) {
        // Row 0, a row at every snapshot time before TStop, the row at TStop,
        // and one to spare for the roundings of the snapshot clock.
        const double toStop = std::ceil(s.TStop / s.DtPlot) + 2;
        if (toStop > rows)
            rows = toStop; // also when not finite: the limit below caps it
    }
    const double most = static_cast<double>(maxHistoryRows(s.NGridCells));
    if (!(rows <= most))
        rows = most;
    return std::max(1L, static_cast<long>(rows));
}

ContinueStatus ContinueStatusOf(const ExperimentState& s)
{
    if (s.TimeNow == 0)
        return ContinueStatus::NotBegun;
    if (s.NStoredStates <= 0)
        return ContinueStatus::NoStoredRow;
    const long newest = s.NStoredStates - 1;
    const double from = s.StoredTime.contains(newest) ? s.StoredTime[newest] : s.TimeNow;
    if (!(from < s.TStop) || !(s.TimeNow < s.TStop))
        return ContinueStatus::RunOver;
    if (!SnapshotRowFits(s, s.NStoredStates) || !s.StoredTime.contains(s.NStoredStates))
        return ContinueStatus::HistoryFull;
    return ContinueStatus::Continued;
}

bool ContinueRunState(ExperimentState& s, const std::function<void()>& showStoredRow)
{
    if (ContinueStatusOf(s) != ContinueStatus::Continued)
        return false;
    s.StoredStateShown = s.NStoredStates - 1;
    if (s.StoredTime.contains(s.StoredStateShown))
        s.TimeNow = s.StoredTime[s.StoredStateShown];
    if (showStoredRow)
        showStoredRow();
    s.Stopped = 0;
    return true;
}

bool ContinueRun(ExperimentState& s, const std::function<void()>& showStoredRow)
{
    const long newest = s.NStoredStates - 1;
    if (!SnapshotRowHoldsState(s, newest))
        return false;
    const double haltedTime = s.TimeNow;
    if (!ContinueRunState(s, showStoredRow))
        return false;
    const bool gridHoldsNewest = s.STRowOffset == (s.NGridCells + 2) * newest;
    if (!gridHoldsNewest)
        s.TimeNow = haltedTime;
    return true;
}

void RederiveFluidArrays(ExperimentState& s)
{
    const long n = s.NGridCells;
    if (!kernels::twoFluidScheme(s.SchemeName) || !s.FFracYY.contains(n + 1))
        return;
    for (long i = 0; i <= n + 1; ++i) {
        const double f = s.FSmoke[i];
        const double rho = s.Rho[i];
        // A stream cell holds fluid 2's density; Rho1 goes back to the
        // density the set-up started from.
        const bool stream = f >= 0.5 && s.RhoRatio2 != 0;
        s.Rho1[i] = stream ? rho / s.RhoRatio2 : rho;
        s.Rho2[i] = stream ? rho : rho * s.RhoRatio2;
        s.P1[i] = s.P[i];
        s.P2[i] = s.P[i];
        s.FFrac[i] = f;
        s.FFracX[i] = 0.0;
        s.FFracY[i] = 0.0;
        s.FFracXX[i] = f / 12.0;
        s.FFracXY[i] = 0.0;
        s.FFracYY[i] = f / 12.0;
    }
}

RestartStatus RestartRun(ExperimentState& s)
{
    const long n = s.NGridCells;
    // Ready: no step has run since the set-up, so the grid and Dt are its own.
    const bool atStart = s.isReady();
    s.TNextPlot = s.DtPlot;
    s.TimeNow = 0;
    s.NCycle = 0;
    s.MflopsTotal = 0;
    s.MeterSeconds = 0;
    s.Stopped = 1;

    const bool exact = atStart || restoreRunStart(s);
    const bool restored = exact || RestoreSnapshotRowUnchecked(s, 0);
    if (restored && !exact) {
        // Without the kept start, the single-precision row 0 stands in.
        // Restart's estimate uses Gamma in every cell and the outer
        // interfaces as they stand.
        double w = (s.X[2] - s.X[1]) / s.SoundSpeed0;
        for (long k = 0; k <= n + 1; ++k) {
            s.SoundSpeedSq[k] = s.P[k] * s.Gamma / s.Rho[k];
            s.SoundSpeed[k] = std::sqrt(s.SoundSpeedSq[k]);
            const double sig
                = std::max(std::fabs(s.VX[k] + s.SoundSpeed[k]), std::fabs(s.VX[k] - s.SoundSpeed[k]));
            const double t = (s.X[k + 1] - s.X[k]) / sig;
            if (t < w)
                w = t;
        }
        const double dt = s.CourantNumber * 0.1 * w;
        if (dt > 0 && std::isfinite(dt))
            s.Dt = dt;
        s.DtOld = s.Dt;
        RederiveFluidArrays(s);
    }

    startHistory(s);
    StoreSnapshotRow(s, 0);
    s.STRowOffset = n + 2;
    FitPlotRanges(s);
    s.NStoredStates = 1;
    s.StoredStateShown = 0;
    if (s.DtPlot > 0 && s.Dt > s.DtPlot)
        s.Dt = s.DtPlot;
    s.DtOld = s.Dt;
    return restored ? RestartStatus::Restored : RestartStatus::KeptGrid;
}

long StepsPerTick(const ExperimentState& s)
{
    long n = s.NGridCells / 30;
    if (s.RiemannPlots == 1 && s.RhoMax < 1.08 && s.Dt > 0)
        n = roundToLong(0.1 / s.Dt);
    return n < 1 ? 1 : n;
}

} // namespace tamrel
