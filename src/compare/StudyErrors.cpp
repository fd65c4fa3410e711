#include "compare/StudyErrors.h"

#include <cmath>
#include <cstdio>

#include "plots/LinePlots.h"

namespace tamrel::compare {

namespace {

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
            return "the sound wave has no exact linear solution: " + e.reason();
    } else if (e.kind() != exact::ExactKind::Riemann) {
        return "the problem has no exact reference: "
            + (e.available() ? "it is not a Riemann problem" : e.reason());
    }
    if (!e.validAt(s.TStop))
        return "the exact reference holds only until t=" + shortNum(e.validUntil())
            + ", before the stop time t=" + shortNum(s.TStop);
    return std::nullopt;
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
