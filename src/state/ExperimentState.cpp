// SPDX-License-Identifier: GPL-3.0-or-later
#include "state/ExperimentState.h"

#include <algorithm>

namespace tamrel {

void allocateGridArrays(ExperimentState& s)
{
    const long n = s.NGridCells;
    const long up = stateUpper(n);
    for (auto* a : { &s.X, &s.Rho, &s.P, &s.VX, &s.VY, &s.FSmoke })
        a->allocate(-6, up);
    for (auto* a : { &s.VYNew, &s.FSmokeNew, &s.SoundSpeedSq, &s.SoundSpeed })
        a->allocate(-6, n + 7);
}

void allocateMultifluidArrays(ExperimentState& s)
{
    const long n = s.NGridCells;
    const long up = stateUpper(n);
    for (auto* a :
        { &s.Rho1, &s.P1, &s.Rho2, &s.P2, &s.FFrac, &s.FFracX, &s.FFracY, &s.FFracXX, &s.FFracXY, &s.FFracYY })
        a->allocate(-6, up);
    for (auto* a : { &s.Rho1New, &s.P1New, &s.Rho2New, &s.P2New, &s.FFracNew, &s.FFracXNew, &s.FFracYNew,
             &s.FFracXXNew, &s.FFracXYNew, &s.FFracYYNew })
        a->allocate(-6, n + 7);
}

void allocateHistory(ExperimentState& s)
{
    allocateHistoryRows(s, s.NPlotsTotal);
}

void allocateHistoryRows(ExperimentState& s, long rows)
{
    const long values = static_cast<long>(s.NGridCells + 2) * rows;
    for (auto* a : { &s.STRho, &s.STP, &s.STVX, &s.STVY, &s.STFSmoke, &s.STRPlus, &s.STRMinus, &s.STEntropy })
        a->allocate(0, values);
    s.NSTValues = static_cast<Long>(values);
    // Row 0 keeps its time: callers that store row 0 set it.
    const double t0 = s.StoredTime.empty() ? 0.0 : s.StoredTime[0];
    s.StoredTime.allocate(0, std::max<long>(1, rows));
    s.StoredTime[0] = t0;
}

void resizeHistoryKeep(ExperimentState& s)
{
    const long values = static_cast<long>(s.NGridCells + 2) * s.NPlotsTotal;
    for (auto* a : { &s.STRho, &s.STP, &s.STVX, &s.STVY, &s.STFSmoke, &s.STRPlus, &s.STRMinus, &s.STEntropy })
        a->resizeKeep(0, values);
    s.NSTValues = static_cast<Long>(values);
    s.StoredTime.resizeKeep(0, std::max<long>(1, s.NPlotsTotal));
}

void resizeSelectedKeep(ExperimentState& s)
{
    const long up = s.NGridCells + 2;
    s.MSelected.resizeKeep(0, up);
    for (auto* a : { &s.XSelected, &s.RhoSelected, &s.PSelected, &s.VXSelected })
        a->resizeKeep(0, up);
}

} // namespace tamrel
