// SPDX-License-Identifier: GPL-3.0-or-later
#include "run/SnapshotInterval.h"

#include <algorithm>
#include <cmath>

namespace tamrel {

double SnapshotInterval(double timeUnit, Long plotsPerUnit, double tStop)
{
    double dt = plotsPerUnit > 0 && timeUnit > 0 ? timeUnit / plotsPerUnit : 0.0;
    const double least = tStop / kLeastRunSnapshots;
    if (tStop > 0 && std::isfinite(tStop) && (!(dt > 0) || least < dt))
        dt = least;
    return dt;
}

long SpaceTimeRepaintRows(long cells)
{
    return std::max(1L, 1000L / std::max(1L, cells));
}

bool SpaceTimeRepaintDue(long rowsBefore, long rowsAfter, long cells)
{
    const long every = SpaceTimeRepaintRows(cells);
    return rowsAfter > rowsBefore && rowsAfter / every > std::max(0L, rowsBefore) / every;
}

void SetSnapshotInterval(ExperimentState& s)
{
    s.DtPlot = SnapshotInterval(s.TimeUnit, s.NPlotsPerPeriod, s.TStop);
    s.TNextPlot = s.DtPlot;
    if (s.DtPlot > 0 && s.Dt > s.DtPlot)
        s.Dt = s.DtPlot;
}

} // namespace tamrel
