// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A right-running simple acoustic wave of the isentropic gas and its exact
// solution before any shock forms: the Riemann invariant
// J- = u - 2c/(gamma-1) is uniform, so u and c are constant along each
// C+ characteristic x = xi + (u(xi) + c(xi)) t (Courant and Friedrichs,
// "Supersonic Flow and Shock Waves", sec. 40). With rho0 (1 + eps sin 2 pi x)
// at t = 0 on a periodic unit grid, the wave steepens only by O(eps) per
// crossing, so convergence rates measured against this solution are those
// of the scheme, not of the linearisation.

#include <cmath>
#include <numbers>

#include "kernels/GridRun.h"

namespace tamrel::testing {

struct SimpleWave {
    double eps = 1e-2, rho0 = 1.0, p0 = 1.0, gamma = 1.4;

    double c0() const { return std::sqrt(gamma * p0 / rho0); }

    Primitive initial(double x) const
    {
        const double rho = rho0 * (1.0 + eps * std::sin(2.0 * std::numbers::pi * x));
        const double c = c0() * std::pow(rho / rho0, 0.5 * (gamma - 1.0));
        return { rho, p0 * std::pow(rho / rho0, gamma), 2.0 / (gamma - 1.0) * (c - c0()), 0.0 };
    }

    Primitive at(double x, double t) const
    {
        // Newton on xi + (u + c)(xi) t = x, started from the linear answer.
        double xi = x - c0() * t;
        for (int it = 0; it < 50; ++it) {
            const double h = 1e-7;
            const double g = xi + speed(xi) * t - x;
            const double dg = 1.0 + (speed(xi + h) - speed(xi - h)) / (2 * h) * t;
            const double step = g / dg;
            xi -= step;
            if (std::fabs(step) < 1e-15)
                break;
        }
        return initial(xi);
    }

    // Cell averages by 5-point Gauss-Legendre quadrature (the solution is smooth).
    Primitive average(double xa, double xb, double t) const
    {
        static const double node[5]
            = { 0.0, -0.5384693101056831, 0.5384693101056831, -0.9061798459386640, 0.9061798459386640 };
        static const double weight[5] = { 0.5688888888888889, 0.4786286704993665, 0.4786286704993665,
            0.2369268850561891, 0.2369268850561891 };
        Primitive sum { 0, 0, 0, 0 };
        for (int k = 0; k < 5; ++k) {
            const Primitive w = at(0.5 * (xa + xb) + 0.5 * (xb - xa) * node[k], t);
            sum.rho += 0.5 * weight[k] * w.rho;
            sum.p += 0.5 * weight[k] * w.p;
            sum.vx += 0.5 * weight[k] * w.vx;
        }
        return sum;
    }

    Grid grid(int n) const
    {
        Grid g = Grid::uniform(n, 0.0, 1.0);
        for (int i = 1; i <= n; ++i)
            g.set(i, average(g.at(g.x, i), g.at(g.x, i + 1), 0.0));
        return g;
    }

    // L1 density error of g at time t.
    double l1Error(const Grid& g, double t) const
    {
        double e = 0;
        for (int i = 1; i <= g.n; ++i)
            e += std::fabs(g.at(g.rho, i) - average(g.at(g.x, i), g.at(g.x, i + 1), t).rho) * g.dx(i);
        return e;
    }

private:
    double speed(double xi) const
    {
        const Primitive w = initial(xi);
        return w.vx + std::sqrt(gamma * w.p / w.rho);
    }
};

} // namespace tamrel::testing
