// SPDX-License-Identifier: GPL-3.0-or-later
// What every scheme must get exactly right (or right to round-off): uniform
// flow, contacts, passive scalars, conservation and mirror symmetry; and the
// reconstruction and slope limiters the kernels are built from.

#include <gtest/gtest.h>

#include <cmath>

#include "kernels/KernelRows.h"
#include "kernels/ShockTubeCases.h"
#include "kernels/common/SlopeLimiters.h"
#include "kernels/lentor/LentorKernel.h"

namespace tamrel::testing {
namespace {

    class KernelExactness : public ::testing::TestWithParam<SchemeInfo> { };

    // A value as the scheme stores it.
    double stored(const SchemeInfo& row, double v)
    {
        return row.singlePrecision() ? double(float(v)) : v;
    }

    TEST_P(KernelExactness, UniformFlowStaysExactlyUniform)
    {
        const SchemeInfo row = GetParam();
        Grid g = Grid::uniform(50);
        const Primitive w { 0.7, 2.3, -0.4, 0.25 };
        // A two-fluid scheme's smoke is its fraction: all fluid 2.
        const double smoke = row.twoFluid ? 1.0 : 0.625;
        for (int i = 1 - g.b; i <= g.n + g.b; ++i) {
            g.set(i, w);
            g.at(g.smoke, i) = smoke;
        }
        prepareFor(row, g);
        GridRun d(row, {}, Boundary::Periodic);
        for (int step = 0; step < 10; ++step)
            ASSERT_TRUE(d.attempt(g, d.stableDt(g, 0.8)).accepted);
        for (int i = 1; i <= g.n; ++i) {
            EXPECT_EQ(g.at(g.rho, i), stored(row, w.rho));
            EXPECT_EQ(g.at(g.p, i), stored(row, w.p));
            EXPECT_EQ(g.at(g.vx, i), stored(row, w.vx));
            EXPECT_EQ(g.at(g.vy, i), stored(row, w.vy));
            EXPECT_EQ(g.at(g.smoke, i), row.carriesSmoke ? smoke : 0.0);
        }
    }

    // A density jump (and a shear) moving with the flow at uniform pressure is a
    // contact: pressure and velocity must stay uniform, only the density and the
    // passive scalars move. Stationary (u = 0) and moving contacts.
    TEST_P(KernelExactness, ContactKeepsPressureAndVelocityUniform)
    {
        for (double u : { 0.0, 0.6, -1.3 }) {
            SCOPED_TRACE(u);
            Grid g = Grid::uniform(64);
            for (int i = 1; i <= g.n; ++i) {
                const double x = g.centre(i);
                const bool inside = x > 0.3 && x < 0.6;
                g.set(i,
                    { inside ? 0.2 : 1.0 + 0.3 * std::sin(6.283185307179586 * x), 1.5, u, inside ? 1.0 : -2.0 });
                g.at(g.smoke, i) = inside ? 1.0 : 0.0;
            }
            prepareFor(GetParam(), g);
            GridRun d(GetParam(), {}, Boundary::Periodic);
            const RunStats st = d.run(g, 0.8, 0.3);
            ASSERT_FALSE(st.fault);
            double massMoved = 0;
            for (int i = 1; i <= g.n; ++i) {
                EXPECT_NEAR(g.at(g.p, i), 1.5, 3e-6) << "cell " << i;
                EXPECT_NEAR(g.at(g.vx, i), u, 3e-6) << "cell " << i;
                massMoved += std::fabs(g.at(g.rho, i) - 1.0);
            }
            EXPECT_GT(massMoved, 1.0);
        }
    }

    // The transverse velocity and the smoke are carried with the contact and
    // nothing else: Test 2 is Test 1 with a shear added, and its density,
    // pressure and velocity are those of Test 1 bit for bit; the shear stays
    // within its initial values and jumps where the contact is. A passive
    // smoke rides with the shear; a two-fluid scheme's smoke is its fluid-2
    // fraction, which stays sharp at the contact.
    TEST_P(KernelExactness, PassiveScalarsRideTheContactAndChangeNothingElse)
    {
        const SchemeInfo row = GetParam();
        const ShockTube& t1 = shockTubes()[0];
        const ShockTube& t2 = shockTubes()[1];
        Grid a = shockTubeGrid(t1, 200), b = shockTubeGrid(t2, 200);
        for (int i = 1 - b.b; i <= b.n + b.b; ++i)
            b.at(b.smoke, i) = b.at(b.vy, i) > 0 ? 1.0 : 0.0;
        prepareFor(row, a);
        prepareFor(row, b);
        GridRun da(row), db(row);
        ASSERT_FALSE(da.run(a, 0.8, t1.tStop).fault);
        ASSERT_FALSE(db.run(b, 0.8, t2.tStop).fault);
        const double contact = t1.xJump
            + kernels::ExactRiemann({ 1.0, 0.75, 1.0 }, { 0.125, 0.0, 0.1 }, 1.4).starVelocity() * t1.tStop;
        for (int i = 1; i <= a.n; ++i) {
            EXPECT_EQ(a.at(a.rho, i), b.at(b.rho, i)) << "cell " << i;
            EXPECT_EQ(a.at(a.p, i), b.at(b.p, i)) << "cell " << i;
            EXPECT_EQ(a.at(a.vx, i), b.at(b.vx, i)) << "cell " << i;
            const double vy = b.at(b.vy, i), smoke = b.at(b.smoke, i);
            EXPECT_GE(vy, -8.0 - 1e-5);
            EXPECT_LE(vy, 1.0 + 1e-5);
            const double x = b.centre(i);
            if (x < contact - 0.15) {
                EXPECT_NEAR(vy, 1.0, 5e-3) << "cell " << i;
            }
            if (x > contact + 0.15) {
                EXPECT_NEAR(vy, -8.0, 5e-3) << "cell " << i;
            }
            if (row.carriesSmoke) {
                EXPECT_GE(smoke, -1e-6);
                EXPECT_LE(smoke, 1.0 + 1e-6);
            }
            if (row.carriesSmoke && !row.twoFluid) {
                EXPECT_NEAR(smoke, (8.0 + vy) / 9.0, 1e-4) << "smoke and shear ride the same contact";
            }
            if (row.twoFluid && std::fabs(x - contact) > 0.01) {
                EXPECT_NEAR(smoke, x < contact ? 1.0 : 0.0, 1e-6) << "cell " << i;
            }
        }
    }

    // Mass, momentum, energy and the passive scalars' amounts are conserved on a
    // periodic grid cut into several strips, shocks and all. (A two-fluid
    // scheme's smoke is a volume fraction, not a passive scalar.)
    TEST_P(KernelExactness, ConservesOnAPeriodicGrid)
    {
        SchemeInfo row = GetParam();
        row.longestStrip = 20;
        Grid g = Grid::uniform(97);
        for (int i = 1; i <= g.n; ++i) {
            const double x = g.centre(i);
            g.set(i,
                { x < 0.5 ? 1.0 : 0.2, x > 0.25 && x < 0.4 ? 10.0 : 0.5, 0.5 * std::sin(6.283185307179586 * x),
                    0.3 - x });
            g.at(g.smoke, i) = x > 0.7 ? 1.0 : 0.0;
        }
        prepareFor(row, g);
        auto totals = [](const Grid& gr) {
            std::array<double, 5> t {};
            for (int i = 1; i <= gr.n; ++i) {
                const Primitive w = gr.get(i);
                const double dx = gr.dx(i);
                t[0] += w.rho * dx;
                t[1] += w.rho * w.vx * dx;
                t[2] += (w.p / 0.4 + 0.5 * w.rho * w.vx * w.vx) * dx;
                t[3] += w.rho * w.vy * dx;
                t[4] += w.rho * gr.at(gr.smoke, i) * dx;
            }
            return t;
        };
        const auto before = totals(g);
        GridRun d(row, {}, Boundary::Periodic);
        const RunStats st = d.run(g, 0.8, 0.15);
        ASSERT_FALSE(st.fault);
        ASSERT_GT(st.steps, 30);
        const auto after = totals(g);
        const char* names[] = { "mass", "momentum", "energy", "rho vy", "rho smoke" };
        const double tol = row.singlePrecision() ? 3e-6 : 1e-13;
        for (int k = 0; k < (row.carriesSmoke && !row.twoFluid ? 5 : 4); ++k)
            EXPECT_NEAR(after[k], before[k], tol * std::max(1.0, std::fabs(before[k]))) << names[k];
    }

    // The mirror image of a problem (x -> 1 - x, u -> -u) evolves into the
    // mirror image of its solution. (Pressure varies everywhere: where the
    // pressures on both sides of a cell are equal, PPM's flattening takes the
    // left neighbour's coefficient, which only its mirror image does not.)
    TEST_P(KernelExactness, MirrorImageEvolvesIntoTheMirrorImage)
    {
        auto setUp = [](bool mirrored) {
            Grid g = Grid::uniform(80);
            for (int i = 1; i <= g.n; ++i) {
                const double x = mirrored ? 1.0 - g.centre(i) : g.centre(i);
                const double sign = mirrored ? -1.0 : 1.0;
                g.set(i,
                    { x < 0.3 ? 1.0 : 0.125 + 0.1 * x, x < 0.3 ? 1.0 - 0.3 * x : 0.1 + 0.05 * x,
                        sign * (x < 0.3 ? 0.75 : -0.2), 0.5 });
            }
            return g;
        };
        Grid a = setUp(false), b = setUp(true);
        GridRun da(GetParam()), db(GetParam());
        for (int step = 0; step < 25; ++step) {
            const double dt = da.stableDt(a, 0.8);
            ASSERT_TRUE(da.attempt(a, dt).accepted);
            ASSERT_TRUE(db.attempt(b, dt).accepted);
        }
        for (int i = 1; i <= a.n; ++i) {
            const int j = a.n + 1 - i;
            EXPECT_NEAR(a.at(a.rho, i), b.at(b.rho, j), 2e-6) << "cell " << i;
            EXPECT_NEAR(a.at(a.p, i), b.at(b.p, j), 2e-6) << "cell " << i;
            EXPECT_NEAR(a.at(a.vx, i), -b.at(b.vx, j), 4e-6) << "cell " << i;
        }
    }

    INSTANTIATE_TEST_SUITE_P(Kernels, KernelExactness, ::testing::ValuesIn(kernelRows()), rowName);

    // Piecewise-linear reconstruction reproduces linear data: with no time to
    // evolve, the face values are the line's values at the cell edges, on equal
    // and on unequal cells (dyadic numbers, so exactly).
    TEST(LentorReconstruction, ReproducesLinearData)
    {
        using Cell = kernels::PrimitiveCell<float, 2>;
        const auto e = kernels::EosConstants<float>::make(1.4f);
        auto line = [](float a, float b, float x) { return a + b * x; };
        const struct {
            float dxm, dx0, dxp;
        } grids[] = { { 0.25f, 0.25f, 0.25f }, { 0.5f, 1.0f, 0.5f }, { 1.0f, 0.5f, 2.0f } };
        for (const auto& gr : grids) {
            const float xm = -0.5f * (gr.dxm + gr.dx0), xp = 0.5f * (gr.dx0 + gr.dxp); // centres, cell 0 at 0
            auto at = [&](float x) {
                return Cell { line(1.0f, 0.5f, x), line(0.25f, -0.125f, x), line(2.0f, 0.25f, x),
                    { line(0.0f, 1.0f, x), line(0.5f, 0.0625f, x) } };
            };
            const auto f = kernels::lentor::reconstructCell(
                at(xm), at(0.0f), at(xp), gr.dxm, gr.dx0, gr.dxp, 0.0f, 1e-8f, 0.0f, 1e-8f, e);
            const Cell l = at(-0.5f * gr.dx0), r = at(0.5f * gr.dx0);
            EXPECT_EQ(f.left.rho, l.rho);
            EXPECT_EQ(f.right.rho, r.rho);
            EXPECT_EQ(f.left.u, l.u);
            EXPECT_EQ(f.right.u, r.u);
            EXPECT_EQ(f.left.p, l.p);
            EXPECT_EQ(f.right.p, r.p);
            EXPECT_EQ(f.left.phi[0], l.phi[0]);
            EXPECT_EQ(f.right.phi[1], r.phi[1]);
        }
    }

    // A reconstruction that would put a face below the floor falls back to the
    // cell's own values on both faces.
    TEST(LentorReconstruction, FallsBackToFirstOrderWhereAFaceWouldBeUnphysical)
    {
        using Cell = kernels::PrimitiveCell<float, 2>;
        const auto e = kernels::EosConstants<float>::make(1.4f);
        const Cell wm { 1e-6f, 0.0f, 1.0f, { 0, 0 } }, w0 { 0.5f, 0.0f, 1.0f, { 0, 0 } },
            wp { 1.0f, 0.0f, 1.0f, { 0, 0 } };
        // Slope 0.5 from the MC limiter would be fine; a strong expansion in the
        // half step empties the left face.
        const Cell fast { 0.5f, 3.0f, 1.0f, { 0, 0 } };
        const auto ok
            = kernels::lentor::reconstructCell(wm, w0, wp, 1.0f, 1.0f, 1.0f, 0.0f, 1e-8f, 0.0f, 1e-8f, e);
        EXPECT_NE(ok.left.rho, w0.rho);
        const Cell wpFast { 1.0f, 6.0f, 1.0f, { 0, 0 } };
        const auto bad
            = kernels::lentor::reconstructCell(wm, fast, wpFast, 1.0f, 1.0f, 1.0f, 0.9f, 1e-8f, 0.0f, 1e-8f, e);
        EXPECT_EQ(bad.left.rho, fast.rho);
        EXPECT_EQ(bad.right.rho, fast.rho);
        EXPECT_EQ(bad.left.u, fast.u);
        EXPECT_EQ(bad.right.p, fast.p);
    }

    TEST(SlopeLimiters, AreZeroAtExtremaExactOnLinesAndBounded)
    {
        const struct {
            float a, b, mc, vanLeer;
        } cases[] = {
            { 1.0f, 1.0f, 1.0f, 1.0f }, // linear data: the common slope
            { -0.25f, -0.25f, -0.25f, -0.25f },
            { 1.0f, 3.0f, 2.0f, 1.5f }, // central slope, capped at twice the smaller
            { 3.0f, 1.0f, 2.0f, 1.5f },
            { 1.0f, 100.0f, 2.0f, 200.0f / 101.0f },
            { -1.0f, -3.0f, -2.0f, -1.5f },
            { 1.0f, -1.0f, 0.0f, 0.0f }, // extremum
            { 0.0f, 1.0f, 0.0f, 0.0f }, // flat on one side
            { 0.0f, 0.0f, 0.0f, 0.0f },
        };
        for (const auto& c : cases) {
            EXPECT_FLOAT_EQ(kernels::mcSlope(c.a, c.b), c.mc) << c.a << ", " << c.b;
            EXPECT_FLOAT_EQ(kernels::vanLeerSlope(c.a, c.b), c.vanLeer) << c.a << ", " << c.b;
            EXPECT_EQ(kernels::mcSlope(c.a, c.b), kernels::mcSlope(c.b, c.a));
        }
    }

} // namespace
} // namespace tamrel::testing
