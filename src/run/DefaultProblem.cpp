// SPDX-License-Identifier: GPL-3.0-or-later
#include "run/DefaultProblem.h"

#include <algorithm>
#include <cmath>
#include <utility>

#include "common/Rounding.h"
#include "kernels/SchemeTable.h"
#include "run/EstimateTimeStep.h"
#include "run/SmokeStreams.h"
#include "run/SnapshotInterval.h"
#include "run/SnapshotRow.h"
#include "state/Boundaries.h"

namespace tamrel {

void AllocateArrays(ExperimentState& s)
{
    allocateGridArrays(s);
    if (kernels::twoFluidScheme(s.SchemeName))
        allocateMultifluidArrays(s);
    allocateHistory(s);
    resizeSelectedKeep(s);
}

void SetUpDefaultProblem(ExperimentState& s)
{
    const long n = s.NGridCells;
    const long m1 = roundToLong(static_cast<double>(n) / 10.0);
    const long m9 = roundToLong(9.0 * static_cast<double>(n) / 10.0);
    const bool fluids = kernels::twoFluidScheme(s.SchemeName) && s.Rho1.contains(n + 1);

    s.MxBdry = kReflectingBoundary;
    s.MnBdry = kReflectingBoundary;

    s.NGridCellsD = static_cast<double>(n);
    s.DX = 1.0 / s.NGridCellsD;
    s.X[1] = 0.0;
    s.X[n + 1] = 1.0;
    for (long i = 2; i <= n; ++i)
        s.X[i] = s.X[i - 1] + s.DX;

    // Control cells at the walls and on both sides of the two jumps; the
    // positions are those of a 100-cell grid whatever N is.
    const long cells[8] = { 0, 1, m1, m1 + 1, m9, m9 + 1, n, n + 1 };
    const double xs[8] = { -1e-7, 1e-7, 0.0999999, 0.1000001, 0.8999999, 0.9000001, 0.9999999, 1.0000001 };
    for (long k = 0; k < 8; ++k) {
        s.MSelected[k] = static_cast<Long>(cells[k]);
        s.XSelected[k] = xs[k];
    }
    s.NSelected = 6;

    auto fillRegion = [&](long from, long to, double p) {
        for (long i = from; i <= to; ++i) {
            s.Rho[i] = 1.0;
            s.P[i] = p;
            s.VX[i] = 0.0;
            s.VY[i] = 0.0;
            s.FSmoke[i] = 0.0;
            if (fluids) {
                s.Rho1[i] = s.Rho[i];
                s.Rho2[i] = s.Rho[i] * s.RhoRatio2;
                s.P1[i] = s.P[i];
                s.P2[i] = s.P[i];
                for (auto* f : { &s.FFrac, &s.FFracX, &s.FFracY, &s.FFracXX, &s.FFracXY, &s.FFracYY })
                    (*f)[i] = 0.0;
            }
        }
    };
    auto setSelected = [&](long from, long to, double p) {
        for (long k = from; k <= to; ++k) {
            s.RhoSelected[k] = 1.0;
            s.PSelected[k] = p;
            s.VXSelected[k] = 0.0;
        }
    };

    // Left region.
    s.RhoCurrent = 1.0;
    s.PCurrent = 1000.0;
    s.VXCurrent = 0.0;
    fillRegion(0, m1, 1000.0);
    setSelected(0, 2, 1000.0);
    s.RhoMax = 1.05;
    s.PMax = 1050.0;
    s.VXMax = s.SoundSpeed0 < 0 ? 0.0 : 1.05 * s.SoundSpeed0;
    s.VXMin = -s.VXMax;

    // Middle region.
    fillRegion(m1 + 1, m9, 0.01);
    setSelected(3, 4, 0.01);
    s.RhoMin = std::max(0.0, 1.0 - 0.05 * s.RhoMax);
    s.PMin = std::max(0.0, 0.01 - 0.05 * s.PMax);

    // Right region.
    fillRegion(m9 + 1, n + 1, 100.0);
    setSelected(5, 7, 100.0);
    s.RhoMin = std::max(0.0, 1.0 - 0.05 * s.RhoMax);
    s.PMin = std::max(0.0, 100.0 - 0.05 * s.PMax);
    s.PCurrent = 100.0;
    s.MCurrent = static_cast<Long>(m9);

    s.X[0] = 2 * s.X[1] - s.X[2];
    s.X[n + 2] = 2 * s.X[n + 1] - s.X[n];

    // First time step at a tenth of the target Courant number.
    double w = (s.X[2] - s.X[1]) / s.SoundSpeed0;
    for (long i = 0; i <= n + 1; ++i) {
        const double g = fluids ? CellGamma(s, i) : s.Gamma;
        s.SoundSpeedSq[i] = g * s.P[i] / s.Rho[i];
        s.SoundSpeed[i] = std::sqrt(s.SoundSpeedSq[i]);
        const double sig = std::max(std::fabs(s.VX[i] + s.SoundSpeed[i]), std::fabs(s.VX[i] - s.SoundSpeed[i]));
        w = std::min(w, (s.X[i + 1] - s.X[i]) / sig);
    }
    s.Dt = s.CourantNumber * 0.1 * w;

    SetUpSmokeStreams(s);
    StoreSnapshotRow(s, 0, fluids ? RowGamma::PerCell : RowGamma::Uniform);
}

bool RefreshTimeScales(ExperimentState& s)
{
    const double c1 = s.SoundSpeed.contains(1) ? s.SoundSpeed[1] : 0.0;
    if (!(c1 > 0) || !std::isfinite(c1) || s.NPlotsPerPeriod <= 0)
        return false;
    s.TimeUnit = 1.0 / c1;
    s.TStop = s.TimeUnit * s.Periods;
    s.ProblemTStop = 0;
    SetSnapshotInterval(s);
    s.MSecMin = 1;
    s.MSecMax = 2000;
    s.MSec = 5;
    CapFirstTimeStep(s);
    return true;
}

void StartUpState(ExperimentState& s)
{
    std::string title = std::move(s.TitleText);
    std::string student = std::move(s.StudentName);
    s = ExperimentState {};
    s.TitleText = std::move(title);
    s.StudentName = std::move(student);
    s.NPlotsTotal = roundToLong(600.0);
    AllocateArrays(s);
    s.StoredTime[0] = 0.0;
    SetUpDefaultProblem(s);
    RefreshTimeScales(s);
}

} // namespace tamrel
