// SPDX-License-Identifier: GPL-3.0-or-later
#include "exact/GridShape.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace tamrel::exact {

namespace {

    bool same(double a, double b, double scale)
    {
        return std::fabs(a - b) <= 1e-12 * scale;
    }

} // namespace

GridShape ScanPlateaus(const InitialGrid& g, long maxPlateaus)
{
    GridShape shape;
    const long n = g.cells();
    for (long i = 1; i <= n; ++i) {
        const auto k = static_cast<std::size_t>(i - 1);
        const double rho = g.rho[k], u = g.u[k], p = g.p[k];
        if (!(rho > 0) || !(p > 0) || !std::isfinite(rho) || !std::isfinite(p) || !std::isfinite(u)) {
            shape.badCell = i;
            return shape;
        }
        if (!shape.plateaus.empty()) {
            Plateau& last = shape.plateaus.back();
            // Velocities compare on the scale of the sound speed, which is
            // what a difference in velocity means to the flow.
            const double c = std::sqrt(g.gamma * std::max(p, last.p) / std::min(rho, last.rho));
            if (same(rho, last.rho, std::max(rho, last.rho)) && same(p, last.p, std::max(p, last.p))
                && same(u, last.u, std::max({ c, std::fabs(u), std::fabs(last.u) }))) {
                last.last = i;
                continue;
            }
            if (static_cast<long>(shape.plateaus.size()) > maxPlateaus) {
                shape.complete = false;
                return shape;
            }
        }
        shape.plateaus.push_back({ i, i, rho, u, p });
    }
    if (static_cast<long>(shape.plateaus.size()) > maxPlateaus)
        shape.complete = false;
    return shape;
}

std::string ShapeReason(const InitialGrid& g, const GridShape& shape)
{
    if (shape.badCell != 0) {
        const auto k = static_cast<std::size_t>(shape.badCell - 1);
        const std::string cell = "cell " + std::to_string(shape.badCell);
        if (!std::isfinite(g.rho[k]) || !std::isfinite(g.p[k]) || !std::isfinite(g.u[k]))
            return cell + " holds a value that is not finite";
        if (!(g.rho[k] > 0))
            return cell + " has no positive density (a vacuum has no exact overlay)";
        return cell + " has no positive pressure";
    }
    if (g.cells() < 1)
        return "no grid";
    if (!shape.complete) {
        const Plateau& extra = shape.plateaus.back();
        return "not two or three constant states: another state starts at cell " + std::to_string(extra.first);
    }
    return {};
}

} // namespace tamrel::exact
