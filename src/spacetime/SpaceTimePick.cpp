// SPDX-License-Identifier: GPL-3.0-or-later
#include "spacetime/SpaceTimePick.h"

#include <cmath>

#include "common/Format.h"
#include "common/Rounding.h"
#include "plots/CellPick.h"
#include "run/SnapshotRow.h"

namespace tamrel {

Long PickStoredState(Long NS, double H, double Y)
{
    if (NS < 1 || !(H > 0) || !std::isfinite(Y))
        return 0;
    const Long q = roundToLong(NS - Y * NS / H);
    Long s = q - 1;
    if (s < 1)
        s = 0;
    if (s > NS - 1)
        s = NS - 1;
    return s;
}

SpaceTimePick ApplySpaceTimePick(ExperimentState& s, double W, double H, double x, double y)
{
    SpaceTimePick out;
    if (s.Stopped != 1 || s.NStoredStates <= 1)
        return out;
    H = std::fabs(H);
    if (!(H > 0) || !(W > 0))
        return out;

    const Long row = PickStoredState(s.NStoredStates, H, y);
    const Long m = PickCell(s.X, s.NGridCells, W, x);
    // A damaged row is not loaded; the pick still moves the current cell.
    RestoreSnapshotRow(s, row);

    s.MCurrent = m;
    if (s.Rho.contains(m) && s.P.contains(m) && s.VX.contains(m)) {
        s.RhoCurrent = s.Rho[m];
        s.PCurrent = s.P[m];
        s.VXCurrent = s.VX[m];
    }
    s.StoredStateShown = row;

    out.picked = true;
    out.storedState = row;
    out.cell = m;
    out.densityText = formatPattern(s.RhoCurrent, "##0.0####");
    out.pressureText = formatPattern(s.PCurrent, "##0.0####");
    out.velocityText = formatPattern(s.VXCurrent, "##0.0####");
    out.cellText = formatPattern(m, "###0");
    out.storedStateText = formatPattern(row, "###0");
    return out;
}

} // namespace tamrel
