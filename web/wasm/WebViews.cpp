// SPDX-License-Identifier: GPL-3.0-or-later
#include "WebViews.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <optional>
#include <span>

#include "exact/ExactPlots.h"
#include "plots/LinePlots.h"
#include "spacetime/SpaceTimeVariables.h"

namespace tamrel::web {

namespace {

    std::string g3(double v)
    {
        char buf[32];
        std::snprintf(buf, sizeof buf, "%.3g", v);
        return buf;
    }

    std::string num17(double v)
    {
        char buf[32];
        std::snprintf(buf, sizeof buf, "%.17g", v);
        return buf;
    }

    // Values v[0..N+1] of a plot for the grid, as its paint plots them.
    std::vector<double> gridValues(const ExperimentState& s, exact::PlotPicture which)
    {
        const long n = s.NGridCells;
        std::vector<double> v(static_cast<std::size_t>(n + 2));
        if (s.RiemannPlots != 0 && which != exact::PlotPicture::Pressure)
            return RiemannInvariant(s, which == exact::PlotPicture::Density ? 1 : -1);
        for (long i = 0; i <= n + 1; ++i) {
            const auto k = static_cast<std::size_t>(i);
            switch (which) {
            case exact::PlotPicture::Density:
                v[k] = s.Rho[i];
                break;
            case exact::PlotPicture::Pressure:
                v[k] = s.RiemannPlots != 0 ? s.P[i] / std::pow(s.Rho[i], s.Gamma) : s.P[i];
                break;
            case exact::PlotPicture::Velocity:
                v[k] = s.VX[i];
                break;
            }
        }
        return v;
    }

    // The y-range the window's paint of the picture uses: the record's plot
    // range, or for a sound wave the adaptive range the paint fits to the
    // invariants (velocities, against the sound speed of cell 1) and to the
    // entropy, opened where it is within rounding of a constant.
    void plotRange(const ExperimentState& s, exact::PlotPicture which, const std::vector<double>& v, double& ymin,
        double& ymax)
    {
        if (s.RiemannPlots == 0) {
            exact::PlotRange(s, which, ymin, ymax);
            return;
        }
        if (which == exact::PlotPicture::Pressure) {
            AdaptiveRange(v, true, ymin, ymax);
            OpenRoundingSpan(ymin, ymax, std::max(std::fabs(ymin), std::fabs(ymax)));
            return;
        }
        AdaptiveRange(v, false, ymin, ymax);
        const double c1 = std::sqrt(s.Gamma * s.P[1] / s.Rho[1]);
        OpenRoundingSpan(ymin, ymax, std::max({ std::fabs(ymin), std::fabs(ymax), std::isfinite(c1) ? c1 : 0.0 }));
    }

} // namespace

const double* WebViews::plots(const ExperimentState& s)
{
    const long n = s.NGridCells;
    const auto N = static_cast<std::size_t>(n);
    const double nan = std::numeric_limits<double>::quiet_NaN();
    plots_.assign(7 * N + 6, nan);
    for (long i = 1; i <= n; ++i)
        plots_[static_cast<std::size_t>(i - 1)] = 0.5 * (s.X[i] + s.X[i + 1]);

    const exact::ExactSolution& sol = tracker_.update(s);
    const double time = exact::ShownTime(s);
    const bool valid = sol.validAt(time);
    if (valid)
        sol.cellAverages(time, cells_);

    const exact::PlotPicture pictures[3]
        = { exact::PlotPicture::Density, exact::PlotPicture::Pressure, exact::PlotPicture::Velocity };
    for (std::size_t p = 0; p < 3; ++p) {
        const std::vector<double> v = gridValues(s, pictures[p]);
        for (std::size_t i = 0; i < N; ++i)
            plots_[(1 + p) * N + i] = v[i + 1];
        plotRange(s, pictures[p], v, plots_[7 * N + 2 * p], plots_[7 * N + 2 * p + 1]);
        if (!valid)
            continue;
        if (const auto e = exact::ExactPlotValues(s, pictures[p], cells_); e && e->size() >= N + 1)
            for (std::size_t i = 0; i < N; ++i)
                plots_[(4 + p) * N + i] = (*e)[i + 1];
    }

    if (!sol.available()) {
        readout_ = "No exact solution: " + sol.reason() + ".";
    } else if (!valid) {
        readout_ = "Exact solution (" + sol.shape() + ") holds until t=" + g3(sol.validUntil())
            + "; not drawn at t=" + g3(time) + ".";
    } else {
        const exact::L1Distance d = exact::L1FromExact(s, cells_);
        readout_ = "Exact (" + sol.shape() + ").  L1 at t=" + g3(time) + ":  rho " + g3(d.rho) + "   vx " + g3(d.u)
            + "   p " + g3(d.p);
    }
    return plots_.data();
}

const std::uint8_t* WebViews::spaceTime(const ExperimentState& s, std::string_view variable, int W, int H)
{
    // Four bytes a pixel must stay far inside a 32-bit size.
    constexpr int kLargest = 4096;
    if (s.NStoredStates <= 1 || W <= 0 || H <= 0 || W > kLargest || H > kLargest)
        return nullptr;
    const SpaceTimeVariable* var = FindSpaceTimeVariable(EffectiveSpaceTimeVariable(s, variable));
    if (var == nullptr)
        return nullptr;
    const BoundedArray<float>& history = s.*(var->history);
    if (history.empty())
        return nullptr;
    const long n = s.NGridCells;
    const std::span<const float> data(history.ptr(history.lower()), static_cast<std::size_t>(history.size()));
    if (image_.width != W || image_.height != H)
        image_ = MakeGrayImage(W, H);
    const auto range = DrawSpaceTimeImage(data, n, s.NStoredStates, n + 2, W, H, image_);
    if (!range)
        return nullptr;
    range_ = { range->vmin, range->vmax };
    // The image is bottom-up: its top row is scan line H-1.
    rgba_.resize(static_cast<std::size_t>(W) * static_cast<std::size_t>(H) * 4);
    std::uint8_t* out = rgba_.data();
    for (int row = 0; row < H; ++row) {
        const std::uint8_t* line = image_.bits.data() + static_cast<std::size_t>(H - 1 - row) * image_.stride;
        for (int c = 0; c < W; ++c, out += 4) {
            out[0] = out[1] = out[2] = line[c];
            out[3] = 255;
        }
    }
    return rgba_.data();
}

std::string FinalStateCsv(const ExperimentState& s)
{
    std::string out = "# time=" + num17(s.TimeNow) + " scheme=" + s.SchemeName
        + " cells=" + std::to_string(s.NGridCells) + " cycles=" + std::to_string(s.NCycle)
        + " snapshots=" + std::to_string(s.NStoredStates) + "\ncell,x,rho,p,vx,vy,smoke\n";
    for (long i = 1; i <= s.NGridCells; ++i)
        out += std::to_string(i) + ',' + num17(0.5 * (s.X[i] + s.X[i + 1])) + ',' + num17(s.Rho[i]) + ','
            + num17(s.P[i]) + ',' + num17(s.VX[i]) + ',' + num17(s.VY[i]) + ',' + num17(s.FSmoke[i]) + '\n';
    return out;
}

} // namespace tamrel::web
