// SPDX-License-Identifier: GPL-3.0-or-later
#include "run/SmokeStreams.h"
#include "common/Rounding.h"
#include "kernels/SchemeTable.h"

namespace tamrel {

namespace {

    void setFractions(ExperimentState& s, long i, bool full)
    {
        s.FFrac[i] = full ? 1.0 : 0.0;
        s.FFracX[i] = 0.0;
        s.FFracY[i] = 0.0;
        // 1/12: second moment of a uniformly filled cell of unit width.
        s.FFracXX[i] = full ? 1.0 / 12.0 : 0.0;
        s.FFracXY[i] = 0.0;
        s.FFracYY[i] = full ? 1.0 / 12.0 : 0.0;
    }

} // namespace

void SetUpSmokeStreams(ExperimentState& s)
{
    const long n = s.NGridCells;
    const bool fluids = kernels::twoFluidScheme(s.SchemeName) && s.FFrac.contains(n) && s.Rho2.contains(n);

    if (s.NSmokeStreams <= 0) {
        if (n <= 1)
            return;
        for (long i = 1; i <= n; ++i) {
            s.FSmoke[i] = 0.0;
            if (fluids)
                setFractions(s, i, false);
        }
        return;
    }

    long w = n / s.NSmokeStreams;
    if (w < 4)
        w = 4;
    if (w > n)
        w = n;
    const long width = w / 2;
    if (width <= 0)
        return;
    const long periods = n / w;
    const long before = (w - width) / 2;
    const long after = w - before - width;

    // One walk lays out both patterns, so they coincide cell for cell.
    long i = 1;
    auto lay = [&](long count, bool stream) {
        for (long c = 0; c < count; ++c, ++i) {
            s.FSmoke[i] = stream ? 1.0 : 0.0;
            if (fluids) {
                setFractions(s, i, stream);
                if (stream)
                    s.Rho[i] = s.Rho2[i];
            }
        }
    };
    for (long k = 0; k < periods; ++k) {
        lay(before, false);
        lay(width, true);
        lay(after, false);
    }
    lay(n + 1 - i, false);
}

std::string SmokeStreamsRefusal(double value)
{
    if (roundToLong(value) >= 1)
        return {};
    return "at least 1 stream; the value before is kept.";
}

} // namespace tamrel
