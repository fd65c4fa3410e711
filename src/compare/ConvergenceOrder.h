// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The order of convergence of an error table: error ~ C cells^-q.

#include <vector>

namespace tamrel::compare {

// q from two resolutions: log(e0 / e1) / log(n1 / n0). NaN when either error
// is not positive and finite or the resolutions are equal.
double LocalOrder(long n0, double e0, long n1, double e1);

// q fitted by least squares of log(error) against log(cells) over the
// entries whose error is positive and finite: minus the slope of the line.
// NaN with fewer than two such entries at different resolutions.
double FittedOrder(const std::vector<long>& cells, const std::vector<double>& errors);

} // namespace tamrel::compare
