// SPDX-License-Identifier: GPL-3.0-or-later
#include "compare/ConvergenceOrder.h"

#include <cmath>
#include <limits>

namespace tamrel::compare {

namespace {

    bool usable(double e)
    {
        return std::isfinite(e) && e > 0;
    }

} // namespace

double LocalOrder(long n0, double e0, long n1, double e1)
{
    if (!usable(e0) || !usable(e1) || n0 <= 0 || n1 <= 0 || n0 == n1)
        return std::numeric_limits<double>::quiet_NaN();
    return std::log(e0 / e1) / std::log(static_cast<double>(n1) / static_cast<double>(n0));
}

double FittedOrder(const std::vector<long>& cells, const std::vector<double>& errors)
{
    double sx = 0, sy = 0, sxx = 0, sxy = 0;
    int m = 0;
    for (std::size_t i = 0; i < cells.size() && i < errors.size(); ++i) {
        if (!usable(errors[i]) || cells[i] <= 0)
            continue;
        const double x = std::log(static_cast<double>(cells[i]));
        const double y = std::log(errors[i]);
        sx += x;
        sy += y;
        sxx += x * x;
        sxy += x * y;
        ++m;
    }
    // Centred sums: the spread of log(cells) about its mean.
    const double den = sxx - sx * sx / m;
    if (m < 2 || !(den > 1e-12))
        return std::numeric_limits<double>::quiet_NaN();
    const double slope = (sxy - sx * sy / m) / den;
    return -slope;
}

} // namespace tamrel::compare
