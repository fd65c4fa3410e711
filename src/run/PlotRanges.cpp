// SPDX-License-Identifier: GPL-3.0-or-later
#include "run/PlotRanges.h"

#include <cmath>

namespace tamrel {

void FitPlotRanges(ExperimentState& s)
{
    const long n = s.NGridCells;
    s.RhoMin = s.RhoMax = s.Rho[1];
    s.PMin = s.PMax = s.P[1];
    s.VXMin = s.VXMax = s.VX[1];
    for (long i = 0; i <= n + 1; ++i) {
        WidenRange(s.Rho[i], s.RhoMin, s.RhoMax, true);
        WidenRange(s.P[i], s.PMin, s.PMax, true);
        WidenRange(s.VX[i], s.VXMin, s.VXMax, false);
    }
    if (s.RhoMax == s.RhoMin) {
        const double t = 0.05 * s.RhoMax;
        s.RhoMax = s.RhoMax + t;
        s.RhoMin = s.RhoMin - t;
    }
    if (s.PMax == s.PMin) {
        const double t = 0.05 * s.PMax;
        s.PMax = s.PMax + t;
        s.PMin = s.PMin - t;
    }
    if (s.VXMax == s.VXMin) {
        const double c = std::sqrt(s.P[1] * s.Gamma / s.Rho[1]);
        s.VXMax = s.VXMax + 0.05 * c;
        s.VXMin = s.VXMin - 0.05 * c;
    }
}

void WidenPlotRanges(ExperimentState& s)
{
    const long n = s.NGridCells;
    for (long i = 1; i <= n; ++i) {
        WidenRange(s.Rho[i], s.RhoMin, s.RhoMax, true);
        WidenRange(s.P[i], s.PMin, s.PMax, true);
        WidenRange(s.VX[i], s.VXMin, s.VXMax, false);
    }
}

} // namespace tamrel
