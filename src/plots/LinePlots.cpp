// SPDX-License-Identifier: GPL-3.0-or-later
#include "plots/LinePlots.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <utility>

#include "common/Format.h"
#include "kernels/SchemeTable.h"
#include "kernels/common/FluidSlab.h"
#include "plots/LinePlotFrame.h"
#include "state/Boundaries.h"

namespace tamrel {

namespace {

    constexpr const char* kRangePattern = "##0.0####";
    constexpr const char* kRiemannRangePattern = "##0.0######";

    std::size_t ix(long i)
    {
        return static_cast<std::size_t>(i);
    }

    // Base-10 logarithm the way the plots take it: ln v times 1/ln 10.
    double log10Plot(double v)
    {
        return std::log(v) * (1.0 / std::log(10.0));
    }

    bool cellInArrays(const ExperimentState& s, long m)
    {
        return s.Rho.contains(m) && s.P.contains(m) && s.VX.contains(m);
    }

    // v[i] = f(cell i), i = 0..N+1.
    template <class F> std::vector<double> cellValues(const ExperimentState& s, F f)
    {
        const long n = s.NGridCells;
        std::vector<double> v(ix(n + 2));
        for (long i = 0; i <= n + 1; ++i)
            v[ix(i)] = f(i);
        return v;
    }

    bool gridReadable(const ExperimentState& s)
    {
        const long n = s.NGridCells;
        return n >= 1 && s.X.contains(1) && s.X.contains(n + 1) && cellInArrays(s, 0) && cellInArrays(s, n + 1);
    }

    void setAxes(LinePlotPaint& out, const ExperimentState& s, double ymin, double ymax)
    {
        out.axes.shown = true;
        out.axes.xmin = 0;
        out.axes.xmax = s.X[s.NGridCells + 1];
        out.axes.ymin = ymin;
        out.axes.ymax = ymax;
    }

    // Curve, control-cell marks and current-cell mark of a plot of cell values.
    void drawCells(LinePlotPaint& out, const ExperimentState& s, const std::vector<double>& v, double W, double H,
        double ymin, double ymax, bool controlMarks)
    {
        const LinePlotFrame frame(s.X, s.NGridCells, W, H, ymin, ymax);
        frame.drawCellCurve(out.drawing, v);
        if (frame.drawable())
            setAxes(out, s, ymin, ymax);
        if (controlMarks) {
            for (long t = 1; t <= s.NSelected; ++t)
                if (s.MSelected.contains(t))
                    frame.markCell(out.drawing, s.MSelected[t], v, true);
        }
        frame.markCell(out.drawing, s.MCurrent, v, false);
    }

    // The current cell's values and their texts; `smokePressure` replaces the
    // pressure in smoke mode. A current cell outside the arrays keeps the
    // values the record already has.
    void readout(LinePlotPaint& out, const ExperimentState& s, const double* smokePressure = nullptr)
    {
        const long m = s.MCurrent;
        out.currentCell = s.MCurrent;
        double rho = s.RhoCurrent, p = s.PCurrent, vx = s.VXCurrent;
        if (cellInArrays(s, m)) {
            p = smokePressure ? *smokePressure : s.P[m];
            rho = s.Rho[m];
            vx = s.VX[m];
            out.fit.RhoCurrent = rho;
            out.fit.VXCurrent = vx;
            out.fit.PCurrent = p;
        } else if (smokePressure) {
            p = *smokePressure;
            out.fit.PCurrent = p;
        }
        out.pressureText = formatPattern(p, "0.0000##");
        out.densityText = formatPattern(rho, "#0.00####");
        out.velocityText = formatPattern(vx, "#0.00####");
    }

    void setRange(LinePlotPaint& out, double lo, double hi, const char* pattern)
    {
        out.rangeMinText = formatPattern(lo, pattern);
        out.rangeMaxText = formatPattern(hi, pattern);
    }

    // Sound-wave range of R+ or R-. The invariants are velocities, measured
    // against the sound speed of cell 1; a range within rounding of a
    // constant is opened to the rounding span, an empty one by PFloor.
    void riemannRange(const ExperimentState& s, const std::vector<double>& v, double& ymin, double& ymax)
    {
        AdaptiveRange(v, false, ymin, ymax);
        const double c1 = std::sqrt(s.Gamma * s.P[1] / s.Rho[1]);
        OpenRoundingSpan(ymin, ymax, std::max({ std::fabs(ymin), std::fabs(ymax), std::isfinite(c1) ? c1 : 0.0 }));
        if (ymax == ymin)
            ymax = ymin + s.PFloor;
    }

    void paintSmoke(LinePlotPaint& out, const ExperimentState& s, double W, double H,
        kernels::SubcellProfileEntry* subcellProfile)
    {
        const long n = s.NGridCells;
        const long b = s.NBdy;
        const Long a = SmokeSamplesPerCell(static_cast<Long>(n));
        const long count = static_cast<long>(a) * n;

        std::vector<float> q;
        SmokeColumns filled;
        if (subcellProfile && n >= 1 && FillSmokeColumns(s, filled)) {
            std::vector<float> s1(ix(n + 2 * b)), s2(ix(n + 2 * b)), s3(ix(n + 2 * b));
            for (long i = 1 - b; i <= n + b; ++i) {
                s1[ix(i + b - 1)] = static_cast<float>(filled.fraction[i]);
                s2[ix(i + b - 1)] = static_cast<float>(filled.slope[i]);
                s3[ix(i + b - 1)] = static_cast<float>(filled.curvature[i]);
            }
            q.assign(ix(count), 0.0f);
            // The profile places each slab as the kernel does, with the
            // kernel's own tolerances.
            const float tolerance = static_cast<float>(kernels::kSlabFractionTolerance);
            const kernels::KLong kn = static_cast<kernels::KLong>(n);
            const kernels::KLong kb = static_cast<kernels::KLong>(b);
            const kernels::KLong ka = a;
            subcellProfile(s1.data(), s2.data(), s3.data(), q.data(), &tolerance, &kn, &kb, &ka);
        }

        const LinePlotFrame frame(s.X, n, W, H, 0.0, 1.0);
        if (frame.drawable())
            setAxes(out, s, 0.0, 1.0);
        out.axes.variable = "fluid-2 volume fraction";
        // Sub-cell k (1-based) spans [(k-1) dx, k dx]; its point is its centre.
        std::vector<std::pair<double, double>> pts;
        auto subPoint = [&](long k) {
            const double L = s.X[n + 1] - s.X[1];
            const double dx = L / static_cast<double>(count);
            const double left = static_cast<double>(k - 1) * dx;
            const double right = static_cast<double>(k) * dx;
            return std::pair<double, double>(frame.xOf(0.5 * (left + right)), frame.yOf(q[ix(k - 1)]));
        };
        const bool haveProfile = !q.empty();
        if (haveProfile) {
            pts.reserve(ix(count + 1));
            pts.emplace_back(0.0, frame.yOf(q[0]));
            for (long k = 1; k <= count; ++k)
                pts.push_back(subPoint(k));
            frame.drawPolyline(out.drawing, pts);

            // A cell's point is that of its last sub-cell.
            auto cellPoint = [&](long m, std::pair<double, double>& p) {
                const long k = m * a;
                if (m < 1 || m > n)
                    return false;
                p = subPoint(k);
                return true;
            };
            std::pair<double, double> p;
            if (ControlMarksShown(s)) {
                for (long t = 1; t <= s.NSelected; ++t)
                    if (s.MSelected.contains(t) && cellPoint(s.MSelected[t], p))
                        frame.markFilled(out.drawing, p.first, p.second);
            }
            if (cellPoint(s.MCurrent, p))
                frame.markOutlined(out.drawing, p.first, p.second);
        }

        // The readout shows the smoke value at the current cell's mark. Without
        // a profile, or for a boundary cell, which has no sub-cells, the cell's
        // own fraction stands in.
        const long m = s.MCurrent;
        double smoke = s.PCurrent;
        if (haveProfile && m >= 1 && m <= n)
            smoke = q[ix(m * a - 1)];
        else if (filled.fraction.contains(m))
            smoke = filled.fraction[m];
        else if (s.FFrac.contains(m))
            smoke = s.FFrac[m];
        readout(out, s, &smoke);
        setRange(out, 0.0, 1.0, kRangePattern);
        out.caption = "FVSmoke";
    }

} // namespace

void KeepPlotFit(ExperimentState& s, const PlotFit& fit)
{
    const std::pair<const std::optional<double>*, double*> fields[] = {
        { &fit.RPlusPlotMin, &s.RPlusPlotMin },
        { &fit.RPlusPlotMax, &s.RPlusPlotMax },
        { &fit.EntropyPlotMin, &s.EntropyPlotMin },
        { &fit.EntropyPlotMax, &s.EntropyPlotMax },
        { &fit.RMinusPlotMin, &s.RMinusPlotMin },
        { &fit.RMinusPlotMax, &s.RMinusPlotMax },
        { &fit.RhoMin, &s.RhoMin },
        { &fit.PMin, &s.PMin },
        { &fit.RhoCurrent, &s.RhoCurrent },
        { &fit.PCurrent, &s.PCurrent },
        { &fit.VXCurrent, &s.VXCurrent },
    };
    for (const auto& [from, to] : fields)
        if (*from)
            *to = **from;
}

bool ControlMarksShown(const ExperimentState& s)
{
    return s.Stopped == 1 && s.StoredStateShown == 0 && s.RiemannPlots == 0;
}

Long SmokeSamplesPerCell(Long n)
{
    const long nl = n;
    long a = 64;
    if (64 * nl > 4000)
        a = 32;
    for (int k = 0; k < 5; ++k)
        if (a * nl > 4000)
            a /= 2;
    return static_cast<Long>(a);
}

bool FillSmokeColumns(const ExperimentState& s, SmokeColumns& out)
{
    const long n = s.NGridCells;
    const long b = s.NBdy;
    if (n < 1 || b < 0 || b > n)
        return false;
    const std::pair<const BoundedArray<double>*, BoundedArray<double>*> columns[]
        = { { &s.FFrac, &out.fraction }, { &s.FFracX, &out.slope }, { &s.FFracXX, &out.curvature } };
    for (const auto& [from, to] : columns)
        if (!from->contains(1 - b) || !from->contains(n + b))
            return false;
    for (const auto& [from, to] : columns) {
        to->allocate(1 - b, n + b);
        for (long i = 1; i <= n; ++i)
            (*to)[i] = (*from)[i];
        FillGhostValues(s, *to);
    }
    return true;
}

namespace {

    // Cell values through accessors rho(i), p(i), vx(i), i = 0..N+1.
    template <class Rho, class P, class VX>
    std::vector<double> riemannInvariant(long n, double gamma, int sign, Rho rho, P p, VX vx)
    {
        std::vector<double> v(ix(n + 2), 0.0);
        auto z = [&](long i) { return std::sqrt(p(i) * gamma * rho(i)); };
        double zPrev = z(0);
        for (long i = 1; i <= n + 1; ++i) {
            const double zi = z(i);
            const double dp = 2 * (p(i) - p(i - 1)) / (zi + zPrev);
            const double du = vx(i) - vx(i - 1);
            v[ix(i)] = sign > 0 ? v[ix(i - 1)] + dp + du : v[ix(i - 1)] + du - dp;
            zPrev = zi;
        }
        double sum = 0;
        for (long i = 1; i <= n; ++i)
            sum += v[ix(i)];
        const double mean = sum / static_cast<double>(n);
        for (auto& x : v)
            x -= mean;
        return v;
    }

} // namespace

std::vector<double> RiemannInvariant(const ExperimentState& s, int sign)
{
    return riemannInvariant(
        s.NGridCells, s.Gamma, sign, [&](long i) { return s.Rho[i]; }, [&](long i) { return s.P[i]; },
        [&](long i) { return s.VX[i]; });
}

std::vector<double> RiemannInvariant(const std::vector<double>& rho, const std::vector<double>& p,
    const std::vector<double>& vx, double gamma, int sign)
{
    const long n = static_cast<long>(rho.size()) - 2;
    if (n < 1)
        return std::vector<double>(rho.size(), 0.0);
    return riemannInvariant(
        n, gamma, sign, [&](long i) { return rho[ix(i)]; }, [&](long i) { return p[ix(i)]; },
        [&](long i) { return vx[ix(i)]; });
}

void OpenRoundingSpan(double& ymin, double& ymax, double scale)
{
    const double span = kRoundingSpan * scale;
    if (!(span > 0) || !std::isfinite(span) || ymax - ymin >= span)
        return;
    const double mid = 0.5 * (ymin + ymax);
    ymin = mid - 0.5 * span;
    ymax = mid + 0.5 * span;
}

void AdaptiveRange(const std::vector<double>& v, bool liftNegativeMin, double& ymin, double& ymax)
{
    ymin = ymax = v.empty() ? 0.0 : v[0];
    for (std::size_t j = 1; j < v.size(); ++j) {
        if (v[j] >= ymax)
            ymax = 1.05 * v[j] - 0.05 * ymin;
        if (!(v[j] > ymin)) {
            ymin = 1.05 * v[j] - 0.05 * ymax;
            if (liftNegativeMin && ymin < 0)
                ymin = 0;
        }
    }
}

double LogPlotBottom(const ExperimentState& s, const BoundedArray<double>& values, double top)
{
    double lo = top;
    for (long i = 1; i <= s.NGridCells; ++i)
        if (values[i] < lo)
            lo = values[i];
    return lo;
}

LinePlotPaint PaintDensityPlot(const ExperimentState& s, double W, double H)
{
    LinePlotPaint out;
    if (!gridReadable(s)) {
        readout(out, s);
        return out;
    }
    if (s.RiemannPlots != 0) {
        const auto v = RiemannInvariant(s, +1);
        double ymin, ymax;
        riemannRange(s, v, ymin, ymax);
        out.fit.RPlusPlotMin = ymin;
        out.fit.RPlusPlotMax = ymax;
        drawCells(out, s, v, W, H, ymin, ymax, false);
        readout(out, s);
        setRange(out, ymin, ymax, kRiemannRangePattern);
        out.axes.variable = "R+ Riemann invariant";
    } else if (s.LogPlots != 0) {
        const double bottom = LogPlotBottom(s, s.Rho, s.RhoMax);
        out.fit.RhoMin = bottom;
        const auto v = cellValues(s, [&](long i) { return log10Plot(s.Rho[i]); });
        const double ymin = log10Plot(bottom), ymax = log10Plot(s.RhoMax);
        drawCells(out, s, v, W, H, ymin, ymax, ControlMarksShown(s));
        readout(out, s);
        setRange(out, ymin, ymax, kRangePattern);
        out.axes.variable = "log10 density";
    } else {
        const auto v = cellValues(s, [&](long i) { return s.Rho[i]; });
        drawCells(out, s, v, W, H, s.RhoMin, s.RhoMax, ControlMarksShown(s));
        readout(out, s);
        setRange(out, s.RhoMin, s.RhoMax, kRangePattern);
        out.axes.variable = "density";
    }
    return out;
}

LinePlotPaint PaintPressurePlot(
    const ExperimentState& s, double W, double H, kernels::SubcellProfileEntry* subcellProfile)
{
    LinePlotPaint out;
    if (!gridReadable(s)) {
        readout(out, s);
        return out;
    }
    if (s.PlotFVSmoke != 0 && kernels::twoFluidScheme(s.SchemeName)) {
        paintSmoke(out, s, W, H, subcellProfile);
    } else if (s.RiemannPlots != 0) {
        const auto v = cellValues(s, [&](long i) { return s.P[i] / std::pow(s.Rho[i], s.Gamma); });
        double ymin, ymax;
        AdaptiveRange(v, true, ymin, ymax);
        OpenRoundingSpan(ymin, ymax, std::max(std::fabs(ymin), std::fabs(ymax)));
        if (ymax == ymin)
            ymax = 1.05 * ymin;
        out.fit.EntropyPlotMin = ymin;
        out.fit.EntropyPlotMax = ymax;
        drawCells(out, s, v, W, H, ymin, ymax, false);
        readout(out, s);
        setRange(out, ymin, ymax, kRiemannRangePattern);
        out.caption = "P / (Rho^Gamma)";
        out.axes.variable = "entropy P / rho^gamma";
    } else if (s.LogPlots != 0) {
        const double bottom = LogPlotBottom(s, s.P, s.PMax);
        out.fit.PMin = bottom;
        const auto v = cellValues(s, [&](long i) { return log10Plot(s.P[i]); });
        const double ymin = log10Plot(bottom), ymax = log10Plot(s.PMax);
        drawCells(out, s, v, W, H, ymin, ymax, ControlMarksShown(s));
        readout(out, s);
        setRange(out, ymin, ymax, kRangePattern);
        out.caption = "Pressure";
        out.axes.variable = "log10 pressure";
    } else {
        const auto v = cellValues(s, [&](long i) { return s.P[i]; });
        drawCells(out, s, v, W, H, s.PMin, s.PMax, ControlMarksShown(s));
        readout(out, s);
        setRange(out, s.PMin, s.PMax, kRangePattern);
        out.caption = "Pressure";
        out.axes.variable = "pressure";
    }
    return out;
}

LinePlotPaint PaintVelocityPlot(const ExperimentState& s, double W, double H)
{
    LinePlotPaint out;
    if (!gridReadable(s)) {
        readout(out, s);
        return out;
    }
    double ymin, ymax;
    const char* pattern;
    if (s.RiemannPlots != 0) {
        const auto v = RiemannInvariant(s, -1);
        riemannRange(s, v, ymin, ymax);
        out.fit.RMinusPlotMin = ymin;
        out.fit.RMinusPlotMax = ymax;
        drawCells(out, s, v, W, H, ymin, ymax, false);
        pattern = kRiemannRangePattern;
        out.axes.variable = "R- Riemann invariant";
    } else {
        const auto v = cellValues(s, [&](long i) { return s.VX[i]; });
        ymin = s.VXMin;
        ymax = s.VXMax;
        drawCells(out, s, v, W, H, ymin, ymax, ControlMarksShown(s));
        pattern = kRangePattern;
        out.axes.variable = "velocity";
    }
    readout(out, s);
    if (s.BigSpaceTime != 1)
        setRange(out, ymin, ymax, pattern);
    return out;
}

} // namespace tamrel
