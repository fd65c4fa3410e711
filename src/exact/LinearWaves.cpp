// SPDX-License-Identifier: GPL-3.0-or-later
#include "exact/LinearWaves.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdio>
#include <numbers>

namespace tamrel::exact {

namespace {

    using cplx = std::complex<double>;

    std::string shortNumber(double v)
    {
        char buf[32];
        std::snprintf(buf, sizeof buf, "%.2g", v);
        return buf;
    }

} // namespace

std::optional<LinearWaves> LinearWaves::Of(const InitialGrid& g, std::string& why)
{
    const long n = g.cells();
    if (g.left != Boundary::Periodic || g.right != Boundary::Periodic) {
        why = "not a periodic grid";
        return std::nullopt;
    }
    if (n < 2) {
        why = "no grid";
        return std::nullopt;
    }
    const auto N = static_cast<std::size_t>(n);
    const double length = g.xRight() - g.xLeft();
    const double h = length / static_cast<double>(n);
    for (std::size_t i = 0; i < N; ++i)
        if (std::fabs(g.edges[i + 1] - g.edges[i] - h) > 1e-9 * h) {
            why = "cells of unequal width";
            return std::nullopt;
        }

    LinearWaves w;
    double sr = 0, su = 0, sp = 0;
    for (std::size_t i = 0; i < N; ++i) {
        sr += g.rho[i];
        su += g.u[i];
        sp += g.p[i];
    }
    w.rho0_ = sr / static_cast<double>(n);
    w.u0_ = su / static_cast<double>(n);
    w.p0_ = sp / static_cast<double>(n);
    w.c0_ = std::sqrt(g.gamma * w.p0_ / w.rho0_);
    w.length_ = length;
    const double z0 = w.rho0_ * w.c0_, c2 = w.c0_ * w.c0_;

    double amp = 0;
    std::vector<cplx> plus(N), minus(N), entropy(N);
    for (std::size_t i = 0; i < N; ++i) {
        const double dr = g.rho[i] - w.rho0_, du = g.u[i] - w.u0_, dp = g.p[i] - w.p0_;
        amp = std::max({ amp, std::fabs(dr) / w.rho0_, std::fabs(dp) / w.p0_, std::fabs(du) / w.c0_ });
        plus[i] = du + dp / z0;
        minus[i] = du - dp / z0;
        entropy[i] = dr - dp / c2;
    }
    w.amplitude_ = amp;
    if (!(amp < kAmplitudeLimit)) {
        why = "relative amplitude " + shortNumber(amp) + " is too large for the linear solution (below 0.01)";
        return std::nullopt;
    }
    auto dft = std::make_shared<Dft>(N);
    dft->forward(plus);
    dft->forward(minus);
    dft->forward(entropy);
    w.dft_ = std::move(dft);
    w.plus_ = std::move(plus);
    w.minus_ = std::move(minus);
    w.entropy_ = std::move(entropy);
    w.keepModes();
    return w;
}

void LinearWaves::keepModes()
{
    const std::size_t N = plus_.size();
    // Size of mode k in the cell values, relative to the mean state.
    struct Size {
        std::size_t k;
        double size;
    };
    std::vector<Size> sizes;
    for (std::size_t k = 0; 2 * k <= N; ++k) {
        const double weight = (k == 0 || 2 * k == N ? 1.0 : 2.0) / static_cast<double>(N);
        const double a = weight * std::max(std::abs(plus_[k]), std::abs(minus_[k])) / c0_;
        const double e = weight * std::abs(entropy_[k]) / rho0_;
        sizes.push_back({ k, std::max(a, e) });
    }
    std::sort(sizes.begin(), sizes.end(), [](const Size& a, const Size& b) { return a.size < b.size; });
    double dropped = 0;
    std::size_t first = 0;
    while (first < sizes.size() && dropped + sizes[first].size <= 1e-15) {
        dropped += sizes[first].size;
        ++first;
    }
    modes_.clear();
    for (std::size_t i = first; i < sizes.size(); ++i)
        modes_.push_back(sizes[i].k);
    std::sort(modes_.begin(), modes_.end());
    sparse_ = modes_.size() <= kSparseModes;
    if (sparse_) {
        auto roots = std::make_shared<std::vector<cplx>>(N);
        for (std::size_t m = 0; m < N; ++m)
            (*roots)[m]
                = std::polar(1.0, 2.0 * std::numbers::pi * static_cast<double>(m) / static_cast<double>(N));
        roots_ = std::move(roots);
    }
}

void LinearWaves::cellAverages(
    double t, std::vector<double>& rho, std::vector<double>& u, std::vector<double>& p) const
{
    const std::size_t N = plus_.size();
    rho.resize(N);
    u.resize(N);
    p.resize(N);
    const double z0 = rho0_ * c0_, c2 = c0_ * c0_;
    // Distances travelled, taken modulo the grid's length so the phases
    // stay accurate however long the run.
    auto travelled = [&](double speed) { return std::fmod(speed * t, length_); };
    const double dPlus = travelled(u0_ + c0_), dMinus = travelled(u0_ - c0_), dZero = travelled(u0_);

    // Mode k of a field moved by d turns by exp(-2 pi i k' d / L), k' the
    // signed wave number; the shortest mode of an even grid keeps its real
    // part. The turns of k = 0..N/2 come by repeated multiplication, put
    // right from the exact value every 32 modes.
    auto turns = [&](double d) {
        std::vector<cplx> t(N / 2 + 1);
        const double angle = -2.0 * std::numbers::pi * d / length_;
        const cplx step = std::polar(1.0, angle);
        for (std::size_t k = 0; k < t.size(); ++k)
            t[k] = k % 32 == 0 ? std::polar(1.0, angle * static_cast<double>(k)) : t[k - 1] * step;
        if (N % 2 == 0)
            t[N / 2] = cplx(t[N / 2].real(), 0.0);
        return t;
    };
    const auto tPlus = turns(dPlus), tMinus = turns(dMinus), tZero = turns(dZero);
    auto turn = [&](const std::vector<cplx>& t, std::size_t k) { return 2 * k <= N ? t[k] : std::conj(t[N - k]); };

    auto fields = [&](std::size_t k, cplx& du, cplx& dp, cplx& dr) {
        const cplx a = plus_[k] * turn(tPlus, k);
        const cplx b = minus_[k] * turn(tMinus, k);
        du = 0.5 * (a + b);
        dp = 0.5 * z0 * (a - b);
        dr = entropy_[k] * turn(tZero, k) + dp / c2;
    };

    if (sparse_) {
        // Mode by mode: a mode k of a real field adds (2/N) Re(X_k e^{2 pi i k j / N})
        // to cell j (1/N for k = 0 and k = N/2).
        std::fill(rho.begin(), rho.end(), rho0_);
        std::fill(u.begin(), u.end(), u0_);
        std::fill(p.begin(), p.end(), p0_);
        const std::vector<cplx>& roots = *roots_;
        for (std::size_t k : modes_) {
            cplx du, dp, dr;
            fields(k, du, dp, dr);
            const double weight = (k == 0 || 2 * k == N ? 1.0 : 2.0) / static_cast<double>(N);
            du *= weight;
            dp *= weight;
            dr *= weight;
            for (std::size_t j = 0, m = 0; j < N; ++j, m = (m + k) % N) {
                const cplx e = roots[m];
                u[j] += du.real() * e.real() - du.imag() * e.imag();
                p[j] += dp.real() * e.real() - dp.imag() * e.imag();
                rho[j] += dr.real() * e.real() - dr.imag() * e.imag();
            }
        }
        return;
    }

    std::vector<cplx> up(N), r(N);
    for (std::size_t k = 0; k < N; ++k) {
        cplx du, dp, dr;
        fields(k, du, dp, dr);
        // Both fields are real, so one transform carries them: du in the
        // real part, dp in the imaginary part.
        up[k] = du + cplx(0, 1) * dp;
        r[k] = dr;
    }
    dft_->inverse(up);
    dft_->inverse(r);
    for (std::size_t i = 0; i < N; ++i) {
        u[i] = u0_ + up[i].real();
        p[i] = p0_ + up[i].imag();
        rho[i] = rho0_ + r[i].real();
    }
}

} // namespace tamrel::exact
