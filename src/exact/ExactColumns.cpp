// SPDX-License-Identifier: GPL-3.0-or-later
#include "exact/ExactColumns.h"

#include <cmath>
#include <cstdio>

namespace tamrel::exact {

namespace {

    std::string num17(double v)
    {
        if (std::isnan(v))
            return "nan";
        char buf[64];
        std::snprintf(buf, sizeof buf, "%.17g", v);
        return buf;
    }

    std::string shortNum(double v)
    {
        char buf[32];
        std::snprintf(buf, sizeof buf, "%.6g", v);
        return buf;
    }

    ExactSolution solve(const ExperimentState& s, std::string& why)
    {
        InitialGrid g;
        if (!ReadInitialGrid(s, g, why))
            return {};
        ExactSolution sol = ExactSolution::Of(g);
        why = sol.reason();
        return sol;
    }

} // namespace

ExactColumns::ExactColumns(const ExperimentState& s)
{
    solution_ = solve(s, note_);
}

bool ExactColumns::at(double t)
{
    valid_ = solution_.validAt(t);
    if (!solution_.available()) {
        valid_ = false;
        return false; // note_ holds the reason from the start
    }
    if (!valid_) {
        note_ = "the exact solution holds until t=" + shortNum(solution_.validUntil());
        return false;
    }
    note_.clear();
    solution_.cellAverages(t, cells_);
    return true;
}

std::string ExactColumns::cell(long i) const
{
    if (!valid_ || i < 1 || static_cast<std::size_t>(i) + 1 >= cells_.rho.size())
        return ",nan,nan,nan";
    const auto k = static_cast<std::size_t>(i);
    std::string out;
    for (double v : { cells_.rho[k], cells_.p[k], cells_.u[k] })
        out.append(1, ',').append(num17(v));
    return out;
}

std::string ExactColumns::summary(const ExperimentState& s) const
{
    L1Distance d { NAN, NAN, NAN };
    if (valid_)
        d = L1FromExact(s, cells_);
    std::string out("l1_rho=");
    out.append(num17(d.rho)).append(" l1_vx=").append(num17(d.u)).append(" l1_p=").append(num17(d.p));
    return out;
}

} // namespace tamrel::exact
