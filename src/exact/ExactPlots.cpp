// SPDX-License-Identifier: GPL-3.0-or-later
#include "exact/ExactPlots.h"

#include <cmath>
#include <cstddef>

#include "kernels/SchemeTable.h"
#include "plots/LinePlotFrame.h"
#include "plots/LinePlots.h"

namespace tamrel::exact {

namespace {

    std::size_t ix(long i)
    {
        return static_cast<std::size_t>(i);
    }

    // The plots' base-10 logarithm: ln v times 1/ln 10.
    double log10Plot(double v)
    {
        return std::log(v) * (1.0 / std::log(10.0));
    }

    bool smokeShown(const ExperimentState& s)
    {
        return s.PlotFVSmoke != 0 && kernels::twoFluidScheme(s.SchemeName);
    }

    template <class F> std::vector<double> map(const std::vector<double>& a, F f)
    {
        std::vector<double> v(a.size());
        for (std::size_t i = 0; i < a.size(); ++i)
            v[i] = f(i);
        return v;
    }

} // namespace

std::optional<std::vector<double>> ExactPlotValues(
    const ExperimentState& s, PlotPicture which, const ExactCells& e)
{
    if (e.rho.size() != ix(s.NGridCells + 2))
        return std::nullopt;
    const bool riemann = s.RiemannPlots != 0, logs = s.LogPlots != 0;
    switch (which) {
    case PlotPicture::Density:
        if (riemann)
            return RiemannInvariant(e.rho, e.p, e.u, s.Gamma, +1);
        if (logs)
            return map(e.rho, [&](std::size_t i) { return log10Plot(e.rho[i]); });
        return e.rho;
    case PlotPicture::Pressure:
        if (smokeShown(s))
            return std::nullopt;
        if (riemann)
            return map(e.p, [&](std::size_t i) { return e.p[i] / std::pow(e.rho[i], s.Gamma); });
        if (logs)
            return map(e.p, [&](std::size_t i) { return log10Plot(e.p[i]); });
        return e.p;
    case PlotPicture::Velocity:
        if (riemann)
            return RiemannInvariant(e.rho, e.p, e.u, s.Gamma, -1);
        return e.u;
    }
    return std::nullopt;
}

void PlotRange(const ExperimentState& s, PlotPicture which, double& ymin, double& ymax)
{
    const bool riemann = s.RiemannPlots != 0, logs = s.LogPlots != 0;
    switch (which) {
    case PlotPicture::Density:
        if (riemann) {
            ymin = s.RPlusPlotMin;
            ymax = s.RPlusPlotMax;
        } else if (logs) {
            // The bottom the plot itself uses: the plain minimum a run's
            // widening leaves may be 0.
            ymin = log10Plot(LogPlotBottom(s, s.Rho, s.RhoMax));
            ymax = log10Plot(s.RhoMax);
        } else {
            ymin = s.RhoMin;
            ymax = s.RhoMax;
        }
        return;
    case PlotPicture::Pressure:
        if (riemann) {
            ymin = s.EntropyPlotMin;
            ymax = s.EntropyPlotMax;
        } else if (logs) {
            ymin = log10Plot(LogPlotBottom(s, s.P, s.PMax));
            ymax = log10Plot(s.PMax);
        } else {
            ymin = s.PMin;
            ymax = s.PMax;
        }
        return;
    case PlotPicture::Velocity:
        if (riemann) {
            ymin = s.RMinusPlotMin;
            ymax = s.RMinusPlotMax;
        } else {
            ymin = s.VXMin;
            ymax = s.VXMax;
        }
        return;
    }
}

PlotDrawing ExactOverlayDrawing(
    const ExperimentState& s, PlotPicture which, const ExactCells& e, double W, double H)
{
    PlotDrawing d;
    const auto v = ExactPlotValues(s, which, e);
    if (!v)
        return d;
    double ymin = 0, ymax = 0;
    PlotRange(s, which, ymin, ymax);
    const LinePlotFrame frame(s.X, s.NGridCells, W, H, ymin, ymax);
    frame.drawCellCurve(d, *v);
    return d;
}

L1Distance L1FromExact(const std::vector<double>& edges, const std::vector<double>& rho,
    const std::vector<double>& u, const std::vector<double>& p, const ExactCells& e)
{
    L1Distance d;
    const std::size_t n = rho.size();
    if (edges.size() != n + 1 || u.size() != n || p.size() != n || e.rho.size() != n + 2)
        return { NAN, NAN, NAN };
    for (std::size_t i = 0; i < n; ++i) {
        const double dx = edges[i + 1] - edges[i];
        d.rho += std::fabs(rho[i] - e.rho[i + 1]) * dx;
        d.u += std::fabs(u[i] - e.u[i + 1]) * dx;
        d.p += std::fabs(p[i] - e.p[i + 1]) * dx;
    }
    return d;
}

L1Distance L1FromExact(const ExperimentState& s, const ExactCells& e)
{
    const long n = s.NGridCells;
    if (n < 1 || !s.X.contains(1) || !s.X.contains(n + 1) || !s.Rho.contains(n) || !s.P.contains(n)
        || !s.VX.contains(n) || !s.Rho.contains(1) || e.rho.size() != ix(n + 2))
        return { NAN, NAN, NAN };
    L1Distance d;
    for (long i = 1; i <= n; ++i) {
        const double dx = s.X[i + 1] - s.X[i];
        d.rho += std::fabs(s.Rho[i] - e.rho[ix(i)]) * dx;
        d.u += std::fabs(s.VX[i] - e.u[ix(i)]) * dx;
        d.p += std::fabs(s.P[i] - e.p[ix(i)]) * dx;
    }
    return d;
}

} // namespace tamrel::exact
