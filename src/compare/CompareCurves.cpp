// SPDX-License-Identifier: GPL-3.0-or-later
#include "compare/CompareCurves.h"

#include <algorithm>
#include <cmath>

#include "kernels/SchemeTable.h"
#include "plots/LinePlotFrame.h"
#include "plots/LinePlots.h"
#include "run/SnapshotRow.h"

namespace tamrel::compare {

namespace {

    double log10Plot(double v)
    {
        return std::log(v) * (1.0 / std::log(10.0));
    }

    // Cells 0..N+1 of a stored row in plain values.
    bool rowCells(const ExperimentState& s, long row, std::vector<double>& rho, std::vector<double>& p,
        std::vector<double>& vx)
    {
        if (row < 0 || row >= s.NStoredStates || !SnapshotRowFits(s, row))
            return false;
        const long n = s.NGridCells;
        const long o = row * (n + 2);
        rho.resize(static_cast<std::size_t>(n + 2));
        p.resize(rho.size());
        vx.resize(rho.size());
        for (long i = 0; i <= n + 1; ++i) {
            const auto k = static_cast<std::size_t>(i);
            rho[k] = StoredPlainValue(s, StoredField::Rho, o + i);
            p[k] = StoredPlainValue(s, StoredField::P, o + i);
            vx[k] = StoredPlainValue(s, StoredField::VX, o + i);
        }
        return true;
    }

    const std::vector<double>& pick(const CellValues& d, CurvePicture q)
    {
        return q == CurvePicture::Density ? d.rho : q == CurvePicture::Pressure ? d.p : d.vx;
    }

} // namespace

tamrel::PlotDrawing RowCurve(
    const ExperimentState& shown, const ExperimentState& run, long row, CurvePicture q, double W, double H)
{
    tamrel::PlotDrawing d;
    const long n = shown.NGridCells;
    if (run.NGridCells != n || !shown.X.contains(n + 1))
        return d;
    std::vector<double> rho, p, vx;
    if (!rowCells(run, row, rho, p, vx))
        return d;
    std::vector<double> v(rho.size());
    double ymin = 0, ymax = 0;
    const bool sound = shown.RiemannPlots != 0;
    const bool logs = shown.LogPlots != 0;
    switch (q) {
    case CurvePicture::Density:
        if (sound) {
            v = RiemannInvariant(rho, p, vx, shown.Gamma, +1);
            ymin = shown.RPlusPlotMin;
            ymax = shown.RPlusPlotMax;
        } else {
            for (std::size_t i = 0; i < v.size(); ++i)
                v[i] = logs ? log10Plot(rho[i]) : rho[i];
            ymin = logs ? log10Plot(shown.RhoMin) : shown.RhoMin;
            ymax = logs ? log10Plot(shown.RhoMax) : shown.RhoMax;
        }
        break;
    case CurvePicture::Pressure:
        if (shown.PlotFVSmoke != 0 && kernels::twoFluidScheme(shown.SchemeName))
            return d;
        if (sound) {
            for (std::size_t i = 0; i < v.size(); ++i)
                v[i] = p[i] / std::pow(rho[i], shown.Gamma);
            ymin = shown.EntropyPlotMin;
            ymax = shown.EntropyPlotMax;
        } else {
            for (std::size_t i = 0; i < v.size(); ++i)
                v[i] = logs ? log10Plot(p[i]) : p[i];
            ymin = logs ? log10Plot(shown.PMin) : shown.PMin;
            ymax = logs ? log10Plot(shown.PMax) : shown.PMax;
        }
        break;
    case CurvePicture::Velocity:
        if (sound) {
            v = RiemannInvariant(rho, p, vx, shown.Gamma, -1);
            ymin = shown.RMinusPlotMin;
            ymax = shown.RMinusPlotMax;
        } else {
            v = vx;
            ymin = shown.VXMin;
            ymax = shown.VXMax;
        }
        break;
    }
    const LinePlotFrame frame(shown.X, n, W, H, ymin, ymax);
    if (frame.drawable())
        frame.drawCellCurve(d, v);
    return d;
}

double DifferenceSpan(const RowDifference& d, CurvePicture q)
{
    double m = 0;
    for (const CellValues& c : d.minusReference)
        for (double v : pick(c, q))
            if (std::isfinite(v))
                m = std::max(m, std::fabs(v));
    return m > 0 ? 1.1 * m : 1.0;
}

tamrel::PlotDrawing DifferenceCurve(
    const ExperimentState& shown, const CellValues& d, CurvePicture q, double span, double W, double H)
{
    tamrel::PlotDrawing out;
    const std::vector<double>& cells = pick(d, q);
    const long n = shown.NGridCells;
    if (cells.size() != static_cast<std::size_t>(n) || n < 1 || !shown.X.contains(n + 1))
        return out;
    std::vector<double> v(static_cast<std::size_t>(n + 2));
    std::copy(cells.begin(), cells.end(), v.begin() + 1);
    v.front() = cells.front();
    v.back() = cells.back();
    const LinePlotFrame frame(shown.X, n, W, H, -span, span);
    if (frame.drawable())
        frame.drawCellCurve(out, v);
    return out;
}

tamrel::PlotDrawing ZeroLine(double span, double W, double H)
{
    tamrel::PlotDrawing out;
    const auto y = static_cast<std::int32_t>(std::lround(span * H / (2 * span)));
    out.polylines.push_back({ { 0, y }, { static_cast<std::int32_t>(std::lround(W)), y } });
    return out;
}

} // namespace tamrel::compare
