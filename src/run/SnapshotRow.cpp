// SPDX-License-Identifier: GPL-3.0-or-later
#include "run/SnapshotRow.h"

#include <cmath>
#include <vector>

#include "kernels/SchemeTable.h"
#include "run/EstimateTimeStep.h"
#include "state/StoredHistory.h"

namespace tamrel {

bool SnapshotRowFits(const ExperimentState& s, long row)
{
    return HistoryHoldsRow(s, row);
}

bool StoreSnapshotRow(ExperimentState& s, long row, RowGamma gamma)
{
    if (!HistoryHoldsRow(s, row))
        return false;
    const long n = s.NGridCells;
    const long o = row * (n + 2);
    const bool perCell
        = gamma == RowGamma::PerCell && kernels::twoFluidScheme(s.SchemeName) && s.Rho1.contains(n + 1);
    auto g = [&](long j) { return perCell ? CellGamma(s, j) : s.Gamma; };

    for (long j = 0; j <= n + 1; ++j) {
        const double rho = s.Rho[j];
        const double p = s.P[j];
        s.STRho[o + j] = StoredValueOf(s, rho);
        s.STP[o + j] = StoredValueOf(s, p);
        s.STEntropy[o + j] = static_cast<float>(p * std::pow(rho, -g(j)));
        s.STVX[o + j] = static_cast<float>(s.VX[j]);
        s.STVY[o + j] = static_cast<float>(s.VY[j]);
        s.STFSmoke[o + j] = static_cast<float>(s.FSmoke[j]);
    }

    // Acoustic Riemann invariants du +- dp/Z, integrated from the left with
    // the mean impedance of neighbouring cells, Z = sqrt(g P Rho).
    double zPrev = std::sqrt(g(0) * s.P[0] * s.Rho[0]);
    double rPlus = 0.0, rMinus = 0.0, sumPlus = 0.0, sumMinus = 0.0;
    s.STRPlus[o] = 0.0f;
    s.STRMinus[o] = 0.0f;
    for (long j = 1; j <= n + 1; ++j) {
        const double z = std::sqrt(g(j) * s.P[j] * s.Rho[j]);
        const double dp = (s.P[j] - s.P[j - 1]) / (0.5 * (z + zPrev));
        const double du = s.VX[j] - s.VX[j - 1];
        rPlus = rPlus + du + dp;
        rMinus = rMinus + du - dp;
        s.STRPlus[o + j] = static_cast<float>(rPlus);
        s.STRMinus[o + j] = static_cast<float>(rMinus);
        sumPlus += rPlus;
        sumMinus += rMinus;
        zPrev = z;
    }
    // Mean over cells 1..N: the sum ran to N+1, so take the last value out.
    const double meanPlus = (sumPlus - rPlus) / static_cast<double>(n);
    const double meanMinus = (sumMinus - rMinus) / static_cast<double>(n);
    for (long j = 0; j <= n + 1; ++j) {
        s.STRPlus[o + j] = static_cast<float>(static_cast<double>(s.STRPlus[o + j]) - meanPlus);
        s.STRMinus[o + j] = static_cast<float>(static_cast<double>(s.STRMinus[o + j]) - meanMinus);
    }
    return true;
}

namespace {

    // Every cell of the row comes back with a positive, finite density and
    // pressure (an emptied row does not).
    bool rowHoldsState(const ExperimentState& s, long row)
    {
        if (!HistoryHoldsRow(s, row))
            return false;
        const long n = s.NGridCells;
        const long o = row * (n + 2);
        for (long j = 0; j <= n + 1; ++j) {
            const double rho = PlainStoredValue(s, s.STRho[o + j]);
            const double p = PlainStoredValue(s, s.STP[o + j]);
            if (!(rho > 0) || !(p > 0) || !std::isfinite(rho) || !std::isfinite(p))
                return false;
        }
        return true;
    }

} // namespace

bool SnapshotRowHoldsState(const ExperimentState& s, long row)
{
    return row < static_cast<long>(s.NStoredStates) && rowHoldsState(s, row);
}

bool RestoreSnapshotRowUnchecked(ExperimentState& s, long row)
{
    if (!rowHoldsState(s, row))
        return false;
    const long n = s.NGridCells;
    const long o = row * (n + 2);
    for (long j = 0; j <= n + 1; ++j) {
        s.Rho[j] = PlainStoredValue(s, s.STRho[o + j]);
        s.P[j] = PlainStoredValue(s, s.STP[o + j]);
        s.VX[j] = s.STVX[o + j];
        s.VY[j] = s.STVY[o + j];
        s.FSmoke[j] = s.STFSmoke[o + j];
    }
    return true;
}

bool RestoreSnapshotRow(ExperimentState& s, long row)
{
    if (row < 0 || row >= static_cast<long>(s.NStoredStates))
        return false;
    return RestoreSnapshotRowUnchecked(s, row);
}

void ConvertRowZero(ExperimentState& s, bool toLog)
{
    const long n = s.NGridCells;
    if (s.STRho.empty() || n + 1 > s.NSTValues)
        return;
    for (long j = 0; j <= n + 1; ++j) {
        for (auto* a : { &s.STRho, &s.STP }) {
            const double v = (*a)[j];
            if (toLog)
                (*a)[j] = v > 0 ? static_cast<float>(std::log10(v)) : (*a)[j];
            else
                (*a)[j] = static_cast<float>(std::pow(10.0, v));
        }
    }
}

void SetLogPlots(ExperimentState& s, Long newLogPlots)
{
    if ((newLogPlots != 0) != (s.LogPlots != 0))
        ConvertRowZero(s, newLogPlots != 0);
    s.LogPlots = newLogPlots;
}

double StoredPlainValue(const ExperimentState& s, StoredField field, long k)
{
    switch (field) {
    case StoredField::Rho:
        return PlainStoredValue(s, s.STRho[k]);
    case StoredField::P:
        return PlainStoredValue(s, s.STP[k]);
    case StoredField::VX:
        return s.STVX[k];
    case StoredField::VY:
        return s.STVY[k];
    case StoredField::FSmoke:
        break;
    }
    return s.STFSmoke[k];
}

bool ShowStoredRow(ExperimentState& s, long row)
{
    if (!SnapshotRowHoldsState(s, row))
        return false;
    s.STRowOffset = static_cast<Long>((s.NGridCells + 2) * row);
    return RestoreSnapshotRow(s, row);
}

} // namespace tamrel
