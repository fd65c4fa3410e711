// SPDX-License-Identifier: GPL-3.0-or-later
#include "compare/Difference.h"

#include <cmath>

#include "state/StoredHistory.h"

namespace tamrel::compare {

namespace {

    CellValues minus(const CellValues& a, const CellValues& b)
    {
        CellValues d;
        if (a.rho.size() != b.rho.size())
            return d;
        const std::size_t n = a.rho.size();
        d.rho.resize(n);
        d.p.resize(n);
        d.vx.resize(n);
        for (std::size_t i = 0; i < n; ++i) {
            d.rho[i] = a.rho[i] - b.rho[i];
            d.p[i] = a.p[i] - b.p[i];
            d.vx[i] = a.vx[i] - b.vx[i];
        }
        return d;
    }

    CellValues exactCells(const exact::ExactSolution& e, double t)
    {
        const exact::ExactCells c = e.cellAverages(t);
        CellValues v;
        if (c.rho.size() < 2)
            return v;
        v.rho.assign(c.rho.begin() + 1, c.rho.end() - 1);
        v.p.assign(c.p.begin() + 1, c.p.end() - 1);
        v.vx.assign(c.u.begin() + 1, c.u.end() - 1);
        return v;
    }

    double rowTime(const ExperimentState& s, long row)
    {
        return s.StoredTime.contains(row) ? s.StoredTime[row] : 0.0;
    }

    bool rowStored(const ExperimentState& s, long row)
    {
        return row < s.NStoredStates && HistoryHoldsRow(s, row);
    }

} // namespace

CellValues StoredRowValues(const ExperimentState& s, long row)
{
    CellValues v;
    const StoredCells c = StoredRowCells(s, row);
    if (c.empty())
        return v;
    // Cells 1..N of the row's 0..N+1.
    auto inner = [](const std::vector<double>& a) { return std::vector<double>(a.begin() + 1, a.end() - 1); };
    v.rho = inner(c.rho);
    v.p = inner(c.p);
    v.vx = inner(c.vx);
    return v;
}

RowDifference DifferenceAtRow(
    const std::vector<const ExperimentState*>& runs, const exact::ExactSolution* exact, long row)
{
    RowDifference d;
    d.minusReference.resize(runs.size());
    if (runs.empty())
        return d;
    bool useExact = exact && exact->available();
    for (const ExperimentState* s : runs)
        useExact = useExact && (!rowStored(*s, row) || exact->validAt(rowTime(*s, row)));
    d.reference = useExact ? ReferenceKind::Exact : ReferenceKind::FirstScheme;
    const CellValues first = StoredRowValues(*runs.front(), row);
    for (std::size_t k = 0; k < runs.size(); ++k) {
        const ExperimentState& s = *runs[k];
        const CellValues v = StoredRowValues(s, row);
        if (v.rho.empty())
            continue;
        d.minusReference[k] = minus(v, useExact ? exactCells(*exact, rowTime(s, row)) : first);
    }
    return d;
}

} // namespace tamrel::compare
