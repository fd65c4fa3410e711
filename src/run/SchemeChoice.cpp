// SPDX-License-Identifier: GPL-3.0-or-later
#include "run/SchemeChoice.h"

#include "kernels/SchemeTable.h"
#include "run/EstimateTimeStep.h"
#include "run/SmokeStreams.h"

namespace tamrel {

bool TakeScheme(ExperimentState& s, std::string_view name)
{
    const kernels::SchemeInfo* scheme = kernels::findScheme(name);
    if (!scheme)
        return false;
    s.SchemeName = std::string(scheme->name);
    if (!scheme->twoFluid)
        return true;
    allocateMultifluidArrays(s);
    for (long i = 0; i <= s.NGridCells + 1; ++i) {
        s.Rho1[i] = s.Rho[i];
        s.Rho2[i] = s.Rho[i] * s.RhoRatio2;
        s.P1[i] = s.P[i];
        s.P2[i] = s.P[i];
        s.FSmoke[i] = 0;
    }
    SetUpSmokeStreams(s);
    EstimateTimeStep(s);
    return true;
}

} // namespace tamrel
