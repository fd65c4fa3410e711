// SPDX-License-Identifier: GPL-3.0-or-later
#include "run/EstimateTimeStep.h"
#include "kernels/SchemeTable.h"

#include <cmath>
#include <vector>

namespace tamrel {

double CellGamma(const ExperimentState& s, long i)
{
    if (!kernels::twoFluidScheme(s.SchemeName))
        return s.Gamma;
    return ((s.Rho2[i] * s.Gamma2 - s.Rho1[i] * s.Gamma1) * s.FSmoke[i] + s.Rho1[i] * s.Gamma1) / s.Rho[i];
}

bool EstimateTimeStep(ExperimentState& s)
{
    const long n = s.NGridCells;
    if (!(s.SoundSpeed0 > 0) || !std::isfinite(s.SoundSpeed0))
        return false;
    if (kernels::twoFluidScheme(s.SchemeName) && (!s.Rho1.contains(n + 1) || !s.Rho2.contains(n + 1)))
        return false;

    // The outer interfaces as they will be written, then everything into
    // locals: an undefined cell must leave the record as it was.
    const double x0 = 2 * s.X[1] - s.X[2];
    const double xEnd = 2 * s.X[n + 1] - s.X[n];
    auto xAt = [&](long i) { return i == 0 ? x0 : (i == n + 2 ? xEnd : s.X[i]); };

    std::vector<double> csq(static_cast<std::size_t>(n + 2));
    double w = (s.X[2] - s.X[1]) / s.SoundSpeed0;
    for (long i = 0; i <= n + 1; ++i) {
        const double rho = s.Rho[i];
        const double p = s.P[i];
        if (!(rho > 0) || !(p > 0) || !std::isfinite(rho) || !std::isfinite(p))
            return false;
        double c2;
        if (kernels::twoFluidScheme(s.SchemeName)) {
            const double g = CellGamma(s, i);
            if (!(g > 0) || !std::isfinite(g))
                return false;
            c2 = g * p / rho;
        } else {
            c2 = p * s.Gamma / rho;
        }
        const double c = std::sqrt(c2);
        const double sig = std::max(std::fabs(s.VX[i] + c), std::fabs(s.VX[i] - c));
        if (!(sig > 0) || !std::isfinite(sig))
            return false;
        csq[static_cast<std::size_t>(i)] = c2;
        const double t = (xAt(i + 1) - xAt(i)) / sig;
        if (t < w)
            w = t;
    }
    double dt = s.CourantNumber * 0.1 * w;
    if (!(dt > 0) || !std::isfinite(dt))
        return false;
    // DtPlot is 0 only before the time scales were first derived; a cap at 0
    // would freeze the run, so only a positive DtPlot caps.
    if (s.DtPlot > 0 && dt > s.DtPlot)
        dt = s.DtPlot;

    s.X[0] = x0;
    s.X[n + 2] = xEnd;
    for (long i = 0; i <= n + 1; ++i) {
        s.SoundSpeedSq[i] = csq[static_cast<std::size_t>(i)];
        s.SoundSpeed[i] = std::sqrt(s.SoundSpeedSq[i]);
    }
    s.Dt = dt;
    return true;
}

void CapFirstTimeStep(ExperimentState& s)
{
    if (s.Dt > s.DtPlot)
        s.Dt = s.DtPlot;
    s.DtOld = s.Dt;
}

StepLimit LimitingCell(const ExperimentState& s)
{
    StepLimit limit;
    const long n = s.NGridCells;
    for (long i = 1; i <= n; ++i) {
        const double rho = s.Rho[i];
        const double p = s.P[i];
        if (!(rho > 0) || !(p > 0))
            continue;
        const double g = kernels::twoFluidScheme(s.SchemeName) && s.Rho1.contains(i) ? CellGamma(s, i) : s.Gamma;
        const double c = std::sqrt(g * p / rho);
        const double t = (s.X[i + 1] - s.X[i]) / (std::fabs(s.VX[i]) + c);
        if (limit.cell == 0 || t < limit.crossingTime) {
            limit.cell = i;
            limit.x = 0.5 * (s.X[i] + s.X[i + 1]);
            limit.rho = rho;
            limit.p = p;
            limit.u = s.VX[i];
            limit.soundSpeed = c;
            limit.crossingTime = t;
        }
    }
    return limit;
}

} // namespace tamrel
