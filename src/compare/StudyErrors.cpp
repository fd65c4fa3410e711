// SPDX-License-Identifier: GPL-3.0-or-later
#include "compare/StudyErrors.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "kernels/SchemeTable.h"
#include "plots/LinePlots.h"

namespace tamrel::compare {

namespace {

    // How many roundings of the state's size, per square root of the steps,
    // the floor allows (measured: "Orvane32" and "Sorvi" on waves of 1e-4
    // and 1e-3 stop converging within a factor 2 of it).
    constexpr double kFloorRoundings = 1;

    std::string shortNum(double v)
    {
        char buf[32];
        std::snprintf(buf, sizeof buf, "%.6g", v);
        return buf;
    }

    double l1(const ExperimentState& s, const std::vector<double>& num, const std::vector<double>& ex)
    {
        double sum = 0;
        for (long i = 1; i <= s.NGridCells; ++i) {
            const auto k = static_cast<std::size_t>(i);
            sum += std::abs(num[k] - ex[k]) * (s.X[i + 1] - s.X[i]);
        }
        return sum;
    }

    std::vector<double> cells(const BoundedArray<double>& a, long n)
    {
        std::vector<double> v(static_cast<std::size_t>(n + 2));
        for (long i = 0; i <= n + 1; ++i)
            v[static_cast<std::size_t>(i)] = a[i];
        return v;
    }

    std::vector<double> entropy(const std::vector<double>& rho, const std::vector<double>& p, double gamma)
    {
        std::vector<double> v(rho.size());
        for (std::size_t i = 0; i < rho.size(); ++i)
            v[i] = p[i] / std::pow(rho[i], gamma);
        return v;
    }

} // namespace

StudyKind StudyKindOf(const ExperimentState& s)
{
    return s.RiemannPlots != 0 ? StudyKind::SoundWave : StudyKind::Riemann;
}

std::optional<std::string> StudyReferenceRefusal(const ExperimentState& s, const exact::ExactSolution& e)
{
    if (StudyKindOf(s) == StudyKind::SoundWave) {
        const double a
            = std::max({ std::abs(s.RPlusAmplitude), std::abs(s.RMinusAmplitude), std::abs(s.R0Amplitude) });
        if (!(a <= kStudyAmplitudeLimit))
            return "a sound wave of amplitude " + shortNum(a)
                + " is not linear, and only a linear wave (amplitudes "
                  "at most "
                + shortNum(kStudyAmplitudeLimit) + ") has an exact reference here";
        if (e.kind() != exact::ExactKind::Linear)
            return "the sound wave has no exact linear solution: "
                + (e.available() ? "its grid is " + e.shape() + ", with no wave to measure (every amplitude is 0)"
                                 : e.reason());
    } else if (e.kind() != exact::ExactKind::Riemann) {
        return "the problem has no exact reference: "
            + (e.available() ? "it is not a Riemann problem" : e.reason());
    }
    if (!e.validAt(s.TStop))
        return "the exact reference holds only until t=" + shortNum(e.validUntil())
            + ", before the stop time t=" + shortNum(s.TStop);
    return std::nullopt;
}

std::array<double, 3> StudyOddErrorsAt(const ExperimentState& plus, const exact::ExactSolution& plusReference,
    const ExperimentState& minus, const exact::ExactSolution& minusReference)
{
    const long n = plus.NGridCells;
    const double gam = plus.Gamma;
    const exact::ExactCells xp = plusReference.cellAverages(plus.TimeNow);
    const exact::ExactCells xm = minusReference.cellAverages(minus.TimeNow);
    const std::vector<double> rp = cells(plus.Rho, n), pp = cells(plus.P, n), up = cells(plus.VX, n);
    const std::vector<double> rm = cells(minus.Rho, n), pm = cells(minus.P, n), um = cells(minus.VX, n);
    // Half the difference of a field between the runs, and between the references.
    auto half = [](const std::vector<double>& a, const std::vector<double>& b) {
        std::vector<double> h(a.size());
        for (std::size_t i = 0; i < a.size(); ++i)
            h[i] = 0.5 * (a[i] - b[i]);
        return h;
    };
    std::array<double, 3> out {};
    for (int k = 0; k < 2; ++k) {
        const int sign = k == 0 ? +1 : -1;
        out[static_cast<std::size_t>(k)]
            = l1(plus, half(RiemannInvariant(rp, pp, up, gam, sign), RiemannInvariant(rm, pm, um, gam, sign)),
                half(RiemannInvariant(xp.rho, xp.p, xp.u, gam, sign),
                    RiemannInvariant(xm.rho, xm.p, xm.u, gam, sign)));
    }
    out[2] = l1(plus, half(entropy(rp, pp, gam), entropy(rm, pm, gam)),
        half(entropy(xp.rho, xp.p, gam), entropy(xm.rho, xm.p, gam)));
    return out;
}

double StudyRoundingFloor(const ExperimentState& s, long steps)
{
    const kernels::SchemeInfo* row = kernels::findScheme(s.SchemeName);
    const double eps = row && row->singlePrecision() ? 0x1p-24 : 0x1p-53;
    const long n = s.NGridCells;
    // The size of the values whose rounding the errors see: the density for
    // a Riemann problem; velocity, sound speed and entropy for a sound wave.
    double size = 0;
    for (long i = 1; i <= n; ++i) {
        const double c = std::sqrt(s.Gamma * std::fabs(s.P[i]) / s.Rho[i]);
        size = std::max(size,
            StudyKindOf(s) == StudyKind::Riemann ? std::fabs(s.Rho[i])
                                                 : std::fabs(s.VX[i]) + c + s.P[i] / std::pow(s.Rho[i], s.Gamma));
    }
    return kFloorRoundings * eps * size * (s.X[n + 1] - s.X[1])
        * std::sqrt(static_cast<double>(std::max(1L, steps)));
}

std::optional<std::string> VelocityFloorWarning(const ExperimentState& s)
{
    if (StudyKindOf(s) != StudyKind::SoundWave)
        return std::nullopt;
    double lo = s.VX[1], hi = s.VX[1];
    for (long i = 1; i <= s.NGridCells; ++i) {
        lo = std::min(lo, s.VX[i]);
        hi = std::max(hi, s.VX[i]);
    }
    const double amplitude = 0.5 * (hi - lo);
    if (!(lo < s.VXEpsilon && hi > -s.VXEpsilon) || !(amplitude > 0)
        || amplitude >= kVelocityFloorMargin * s.VXEpsilon)
        return std::nullopt;
    return "the wave's velocity crosses 0 with an amplitude of only " + shortNum(amplitude)
        + ": after every step the velocity floor sets each |vx| below VXEpsilon = " + shortNum(s.VXEpsilon)
        + " to 0, a cut of more than 1e-4 of the wave near the crossing, which the errors will show (a larger "
          "amplitude or a mean velocity u0 away from 0 avoids it)";
}

std::array<double, 3> StudyErrorsAt(const ExperimentState& s, const exact::ExactSolution& e)
{
    const long n = s.NGridCells;
    const exact::ExactCells x = e.cellAverages(s.TimeNow);
    const std::vector<double> rho = cells(s.Rho, n), p = cells(s.P, n), vx = cells(s.VX, n);
    if (StudyKindOf(s) == StudyKind::Riemann)
        return { l1(s, rho, x.rho), l1(s, vx, x.u), l1(s, p, x.p) };
    return { l1(s, RiemannInvariant(rho, p, vx, s.Gamma, +1), RiemannInvariant(x.rho, x.p, x.u, s.Gamma, +1)),
        l1(s, RiemannInvariant(rho, p, vx, s.Gamma, -1), RiemannInvariant(x.rho, x.p, x.u, s.Gamma, -1)),
        l1(s, entropy(rho, p, s.Gamma), entropy(x.rho, x.p, s.Gamma)) };
}

} // namespace tamrel::compare
