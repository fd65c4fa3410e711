// SPDX-License-Identifier: GPL-3.0-or-later
#include "edit/RebuildGrid.h"

#include <algorithm>

#include "common/Format.h"
#include "edit/GridParameters.h"
#include "edit/SelectedCells.h"
#include "run/SmokeStreams.h"
#include "run/SnapshotRow.h"

namespace tamrel {

void ShowCourantNumber(ExperimentState& s, ShownBoxes& shown, const char* pattern)
{
    const std::string text = formatPattern(s.CourantNumber, pattern);
    if (text == shown.courant)
        return;
    shown.courant = text;
    CourantTextChanged(s, text);
}

namespace {
    // One entry replayed: the cell's values shown in the boxes with their
    // decimals, read back, kept at the floors, and selected again.
    void replayEntry(ExperimentState& s, ReplayRanges& ranges, Long k)
    {
        s.MCurrent = s.MSelected[k];
        ReplayEntryValues(s, ranges, k);
        const std::string p = formatPattern(s.PCurrent, "0.0000##");
        PressureTextChanged(s, p);
        const std::string rho = formatPattern(s.RhoCurrent, "#0.0000##");
        DensityTextChanged(s, rho);
        const std::string u = formatPattern(s.VXCurrent, "#0.0000##");
        VelocityTextChanged(s, u);
        const auto rv = parseNumber(rho), pv = parseNumber(p), uv = parseNumber(u);
        if (!rv || !pv || !uv)
            return;
        const double r = std::max(*rv, s.RhoFloor);
        const double pp = std::max(*pv, s.PFloor);
        if (!(pp > 0))
            return;
        if (SelectCellState(s, s.MCurrent, r, pp, *uv) == SelectStatus::Selected)
            FinishSelectionEdit(s);
    }
} // namespace

void RebuildGridFromTable(ExperimentState& s, ShownBoxes& shown, const SoundWaveBuilder& buildSoundWave)
{
    ResizeGridArrays(s);
    PrefillGridFromTable(s);
    SetUpSmokeStreams(s);
    ShowCourantNumber(s, shown, "#0.0#");
    // A new grid size reaches the box, whose handler moves the table and
    // rebuilds before this rebuild goes on.
    EnterGridSize(s, shown, formatGeneral(s.NGridCells), buildSoundWave);
    ResetRebuildRunState(s);
    if (s.NSelected >= 1) {
        ReplayRanges ranges = BeginReplayRanges(s);
        for (Long k = 1; k <= s.NSelected; ++k)
            replayEntry(s, ranges, k);
        PeriodsTextChanged(s, formatGeneral(s.Periods));
        PlotsPerPeriodTextChanged(s, formatGeneral(static_cast<double>(s.NPlotsPerPeriod)));
        SetUpSmokeStreams(s);
    }
    ComputeRebuildTimeScales(s);
    StoreSnapshotRow(s, 0);
}

bool EnterGridSize(
    ExperimentState& s, ShownBoxes& shown, const std::string& text, const SoundWaveBuilder& buildSoundWave)
{
    if (text == shown.gridSize)
        return false;
    shown.gridSize = text;
    const GridSizeResult r = GridSizeTextChanged(s, text);
    switch (r.outcome) {
    case GridSizeOutcome::Ignored:
        return false;
    case GridSizeOutcome::PutBack:
        shown.gridSize = r.text;
        return false;
    case GridSizeOutcome::RebuildGrid:
        s.MCurrent = s.NGridCells / 2;
        RebuildGridFromTable(s, shown, buildSoundWave);
        return true;
    case GridSizeOutcome::RebuildSoundWave:
        s.MCurrent = s.NGridCells / 2;
        ResizeGridArrays(s);
        if (buildSoundWave)
            buildSoundWave(s);
        EnterGridSize(s, shown, formatGeneral(s.NGridCells), buildSoundWave);
        return true;
    }
    return false;
}

} // namespace tamrel
