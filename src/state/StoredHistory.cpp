// SPDX-License-Identifier: GPL-3.0-or-later
#include "state/StoredHistory.h"

#include <cmath>
#include <cstddef>

namespace tamrel {

float StoredValueOf(const ExperimentState& s, double plain)
{
    return static_cast<float>(s.LogPlots != 0 ? std::log10(plain) : plain);
}

double PlainStoredValue(const ExperimentState& s, float stored)
{
    static const double ln10 = std::log(10.0);
    return s.LogPlots != 0 ? std::exp(static_cast<double>(stored) * ln10) : static_cast<double>(stored);
}

bool HistoryHoldsRow(const ExperimentState& s, long row)
{
    const long n = s.NGridCells;
    if (row < 0)
        return false;
    const long last = row * (n + 2) + n + 1;
    if (last > static_cast<long>(s.NSTValues))
        return false;
    for (const auto* a : { &s.STRho, &s.STP, &s.STVX, &s.STVY, &s.STFSmoke, &s.STRPlus, &s.STRMinus, &s.STEntropy })
        if (!a->contains(last) || !a->contains(row * (n + 2)))
            return false;
    return true;
}

StoredCells StoredRowCells(const ExperimentState& s, long row)
{
    StoredCells c;
    if (row >= static_cast<long>(s.NStoredStates) || !HistoryHoldsRow(s, row))
        return c;
    const long n = s.NGridCells;
    const long o = row * (n + 2);
    const auto cells = static_cast<std::size_t>(n + 2);
    c.rho.resize(cells);
    c.p.resize(cells);
    c.vx.resize(cells);
    for (long j = 0; j <= n + 1; ++j) {
        const auto k = static_cast<std::size_t>(j);
        c.rho[k] = PlainStoredValue(s, s.STRho[o + j]);
        c.p[k] = PlainStoredValue(s, s.STP[o + j]);
        c.vx[k] = s.STVX[o + j];
    }
    return c;
}

} // namespace tamrel
