#include "run/PlotRanges.h"

#include <cmath>

namespace tamrel {

namespace {

    // Push the range 5 percent of its span beyond v when v reaches an end.
    inline void widen(double v, double& lo, double& hi, bool clampAtZero)
    {
        if (v >= hi)
            hi = 1.05 * v - 0.05 * lo;
        if (v <= lo) {
            lo = 1.05 * v - 0.05 * hi;
            if (clampAtZero && lo < 0)
                lo = 0;
        }
    }

} // namespace

void FitPlotRanges(ExperimentState& s)
{
    const long n = s.NGridCells;
    s.RhoMin = s.RhoMax = s.Rho[1];
    s.PMin = s.PMax = s.P[1];
    s.VXMin = s.VXMax = s.VX[1];
    for (long i = 0; i <= n + 1; ++i) {
        widen(s.Rho[i], s.RhoMin, s.RhoMax, true);
        widen(s.P[i], s.PMin, s.PMax, true);
        widen(s.VX[i], s.VXMin, s.VXMax, false);
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
        widen(s.Rho[i], s.RhoMin, s.RhoMax, true);
        widen(s.P[i], s.PMin, s.PMax, true);
        widen(s.VX[i], s.VXMin, s.VXMax, false);
    }
}

} // namespace tamrel
