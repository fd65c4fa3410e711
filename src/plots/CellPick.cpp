// SPDX-License-Identifier: GPL-3.0-or-later
#include "plots/CellPick.h"

#include <cmath>

namespace tamrel {

Long PickCell(const BoundedArray<double>& X, long N, double W, double pointerX)
{
    if (N < 1 || !X.contains(1) || !X.contains(N + 1))
        return 0;
    const double xscale = W / (X[N + 1] - X[1]);
    if (!std::isfinite(xscale) || xscale == 0)
        return 0;
    const double xi = pointerX / xscale;
    for (long i = N; i >= 1; --i)
        if (xi >= X[i])
            return static_cast<Long>(i);
    return 0;
}

} // namespace tamrel
