// SPDX-License-Identifier: GPL-3.0-or-later
// The exact Riemann solver against published star states, against itself
// (point samples vs closed-form cell averages, mirror symmetry) and against
// the conservation laws it must satisfy.

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "kernels/riemann/ExactRiemann.h"

namespace tamrel::kernels {
namespace {

    struct StarCase {
        const char* name;
        FlowState left, right;
        double pStar, uStar, rhoStarL, rhoStarR;
    };

    // Toro, "Riemann Solvers and Numerical Methods", Table 4.3 (gamma = 1.4).
    const StarCase kToroTable[] = {
        { "Sod", { 1.0, 0.0, 1.0 }, { 0.125, 0.0, 0.1 }, 0.30313, 0.92745, 0.42632, 0.26557 },
        { "123", { 1.0, -2.0, 0.4 }, { 1.0, 2.0, 0.4 }, 0.00189, 0.00000, 0.02185, 0.02185 },
        { "blastLeft", { 1.0, 0.0, 1000.0 }, { 1.0, 0.0, 0.01 }, 460.894, 19.5975, 0.57506, 5.99924 },
        { "blastRight", { 1.0, 0.0, 0.01 }, { 1.0, 0.0, 100.0 }, 46.0950, -6.19633, 5.99242, 0.57511 },
        { "collision", { 5.99924, 19.5975, 460.894 }, { 5.99242, -6.19633, 46.0950 }, 1691.64, 8.68975, 14.2823,
            31.0426 },
    };

    TEST(ExactRiemann, MatchesToroStarStates)
    {
        for (const StarCase& c : kToroTable) {
            SCOPED_TRACE(c.name);
            const ExactRiemann rs(c.left, c.right, 1.4);
            ASSERT_TRUE(rs.valid());
            ASSERT_FALSE(rs.vacuumGenerated());
            auto near = [](double got, double want) {
                return std::fabs(got - want) <= 6e-5 * std::max(1.0, std::fabs(want));
            };
            EXPECT_PRED2(near, rs.starPressure(), c.pStar);
            EXPECT_PRED2(near, rs.starVelocity(), c.uStar);
            EXPECT_PRED2(near, rs.starDensityLeft(), c.rhoStarL);
            EXPECT_PRED2(near, rs.starDensityRight(), c.rhoStarR);
            EXPECT_LE(rs.iterations(), 8);
        }
    }

    // Cell averages in closed form hold the mass, momentum and energy of a
    // fine midpoint quadrature of the point samples (which errs by at most
    // jump/sub in a cell with a jump): a cell's velocity and pressure are
    // those of its conserved averages, not the averages of u and p. And the
    // averages conserve mass: what the domain holds changes only by the flux
    // through its ends.
    TEST(ExactRiemann, CellAveragesHoldTheConservedQuantitiesAndConserveMass)
    {
        const struct {
            FlowState l, r;
            double t;
        } cases[] = {
            { { 1.0, 0.75, 1.0 }, { 0.125, 0.0, 0.1 }, 0.2 }, // modified Sod
            { { 1.0, -2.0, 0.4 }, { 1.0, 2.0, 0.4 }, 0.15 }, // two strong rarefactions
            { { 1.0, -4.0, 0.4 }, { 1.0, 4.0, 0.4 }, 0.1 }, // generated vacuum
            { { 1.0, 0.0, 1.0 }, { 0.0, 0.0, 0.0 }, 0.1 }, // vacuum on the right
            { { 0.0, 0.0, 0.0 }, { 1.0, 0.0, 1.0 }, 0.1 }, // vacuum on the left
            { { 5.99924, 19.5975, 460.894 }, { 5.99242, -6.19633, 46.095 }, 0.035 },
        };
        const double gamma = 1.4;
        const int n = 200, sub = 2000;
        const double x0 = 0.5, xa = -1.0, xb = 2.0;
        std::vector<double> edges(n + 1);
        for (int i = 0; i <= n; ++i)
            edges[i] = xa + (xb - xa) * i / n;
        auto energy = [&](const FlowState& w) { return w.p / (gamma - 1) + 0.5 * w.rho * w.u * w.u; };
        for (const auto& c : cases) {
            const ExactRiemann rs(c.l, c.r, gamma);
            const auto avg = rs.cellAverages(x0, c.t, edges);
            ASSERT_EQ(avg.size(), static_cast<std::size_t>(n));
            const double rhoMax = std::max({ c.l.rho, c.r.rho, rs.starDensityLeft(), rs.starDensityRight() });
            const double pMax = std::max({ c.l.p, c.r.p, rs.starPressure() });
            const double uMax = std::max({ std::fabs(c.l.u), std::fabs(c.r.u), 5.0 });
            const double eMax = pMax / (gamma - 1) + 0.5 * rhoMax * uMax * uMax;
            double mass = 0;
            for (int i = 0; i < n; ++i) {
                double rho = 0, m = 0, e = 0;
                for (int k = 0; k < sub; ++k) {
                    const double x = edges[i] + (edges[i + 1] - edges[i]) * (k + 0.5) / sub;
                    const FlowState w = rs.at(x, x0, c.t);
                    rho += w.rho / sub;
                    m += w.rho * w.u / sub;
                    e += energy(w) / sub;
                }
                EXPECT_NEAR(avg[i].rho, rho, rhoMax / sub) << "cell " << i;
                EXPECT_NEAR(avg[i].rho * avg[i].u, m, 2 * rhoMax * uMax / sub) << "cell " << i;
                EXPECT_NEAR(energy(avg[i]), e, 2 * eMax / sub) << "cell " << i;
                mass += avg[i].rho * (edges[i + 1] - edges[i]);
            }
            const double inflow = c.t * (c.l.rho * c.l.u - c.r.rho * c.r.u);
            EXPECT_NEAR(mass, c.l.rho * (x0 - xa) + c.r.rho * (xb - x0) + inflow, 1e-11);
        }
    }

    TEST(ExactRiemann, MirrorImageProblemGivesMirrorImageSolution)
    {
        const FlowState l { 1.0, 0.75, 1.0, 0.3 }, r { 0.125, -0.2, 0.1, -1.0 };
        const ExactRiemann a(l, r, 1.4);
        const ExactRiemann b({ r.rho, -r.u, r.p, r.uy }, { l.rho, -l.u, l.p, l.uy }, 1.4);
        for (double s = -3.0; s <= 3.0; s += 0.01) {
            const FlowState wa = a.sample(s), wb = b.sample(-s);
            EXPECT_NEAR(wa.rho, wb.rho, 1e-12);
            EXPECT_NEAR(wa.u, -wb.u, 1e-12);
            EXPECT_NEAR(wa.p, wb.p, 1e-12);
        }
    }

    TEST(ExactRiemann, GeneratedVacuumHasZeroDensityBetweenItsFronts)
    {
        const double g = 1.4;
        const FlowState l { 1.0, -4.0, 0.4 }, r { 1.0, 4.0, 0.4 };
        const ExactRiemann rs(l, r, g);
        ASSERT_TRUE(rs.vacuumGenerated());
        const double c = std::sqrt(g * 0.4);
        const double frontL = -4.0 + 2.0 * c / (g - 1.0);
        EXPECT_EQ(rs.sample(0.0).rho, 0.0);
        EXPECT_EQ(rs.sample(0.0).p, 0.0);
        EXPECT_NEAR(rs.sample(frontL - 1e-9).rho, 0.0, 1e-6);
        EXPECT_DOUBLE_EQ(rs.sample(-4.0 - c - 1e-9).rho, 1.0);
        // The velocity is continuous through the front into the vacuum.
        EXPECT_NEAR(rs.sample(frontL - 1e-9).u, frontL, 1e-6);
    }

    // Cold gas (zero pressure) colliding at speed u: the strong-shock limit,
    // rho* = rho (gamma+1)/(gamma-1) and p* = rho u^2 (gamma+1)/2, shocks moving
    // out at u/(rho*/rho - 1); the undisturbed gas keeps its zero pressure.
    TEST(ExactRiemann, ColdGasCollisionReachesTheStrongShockLimit)
    {
        const ExactRiemann rs({ 1.0, 1.0, 0.0 }, { 1.0, -1.0, 0.0 }, 1.4);
        ASSERT_TRUE(rs.valid());
        EXPECT_NEAR(rs.starPressure(), 1.2, 1e-9);
        EXPECT_NEAR(rs.starVelocity(), 0.0, 1e-12);
        EXPECT_NEAR(rs.starDensityLeft(), 6.0, 1e-9);
        EXPECT_NEAR(rs.sample(0.19).rho, 6.0, 1e-9);
        EXPECT_EQ(rs.sample(0.21).rho, 1.0);
        EXPECT_EQ(rs.sample(0.21).p, 0.0);
    }

    TEST(ExactRiemann, TransverseVelocityFollowsTheContact)
    {
        const ExactRiemann rs({ 1.0, 0.75, 1.0, 1.0 }, { 0.125, 0.0, 0.1, -8.0 }, 1.4);
        EXPECT_EQ(rs.sample(rs.starVelocity() - 1e-9).uy, 1.0);
        EXPECT_EQ(rs.sample(rs.starVelocity() + 1e-9).uy, -8.0);
        // ... and leaves the other variables as without it.
        const ExactRiemann plain({ 1.0, 0.75, 1.0 }, { 0.125, 0.0, 0.1 }, 1.4);
        EXPECT_EQ(rs.starPressure(), plain.starPressure());
    }

    TEST(ExactRiemann, InvalidInputGivesNaNRatherThanGarbage)
    {
        const double nan = std::nan("");
        for (const auto& [l, g] : { std::pair { FlowState { nan, 0, 1 }, 1.4 },
                 std::pair { FlowState { 1, 0, 1 }, 1.0 }, std::pair { FlowState { 1, INFINITY, 1 }, 1.4 } }) {
            const ExactRiemann rs(l, { 1, 0, 1 }, g);
            EXPECT_FALSE(rs.valid());
            EXPECT_TRUE(std::isnan(rs.sample(0.0).rho));
            const double edges[] = { 0.0, 0.5, 1.0 };
            EXPECT_TRUE(std::isnan(rs.cellAverages(0.5, 0.1, edges)[0].rho));
        }
    }

    TEST(ExactRiemann, AtTimeZeroGivesTheInitialJump)
    {
        const ExactRiemann rs({ 1.0, 0.0, 1.0 }, { 0.125, 0.0, 0.1 }, 1.4);
        const double edges[] = { 0.0, 0.25, 0.5, 0.75 };
        const auto avg = rs.cellAverages(0.4, 0.0, edges);
        EXPECT_DOUBLE_EQ(avg[0].rho, 1.0);
        EXPECT_DOUBLE_EQ(avg[1].rho, 0.6 * 1.0 + 0.4 * 0.125);
        EXPECT_DOUBLE_EQ(avg[2].rho, 0.125);
        // The cut cell's pressure is that of its energy: the gas at rest
        // holds p/(gamma-1) on each side, so the pressure is the mean too.
        EXPECT_DOUBLE_EQ(avg[1].p, 0.6 * 1.0 + 0.4 * 0.1);
    }

} // namespace
} // namespace tamrel::kernels
