// SPDX-License-Identifier: GPL-3.0-or-later
// What a lab sheet's checks measure: the cell that holds a point, the
// crossing of a level nearest a place, the exact fronts a problem has (and
// those it has not), and the width of a smeared jump.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/sheets/SheetMeasures.h"
#include "exact/InitialGrid.h"

namespace tamrel::sheets {
namespace {

    // A grid of equal cells on [0, 1] with the given densities.
    ExperimentState gridOf(const std::vector<double>& rho, const char* scheme = "Orvane")
    {
        ExperimentState s;
        const long n = static_cast<long>(rho.size());
        s.NGridCells = n;
        s.SchemeName = scheme;
        for (auto* a : { &s.X, &s.Rho, &s.P, &s.VX, &s.FFrac })
            a->allocate(0, n + 1);
        for (long i = 1; i <= n + 1; ++i)
            s.X[i] = static_cast<double>(i - 1) / static_cast<double>(n);
        for (long i = 1; i <= n; ++i) {
            s.Rho[i] = rho[static_cast<std::size_t>(i - 1)];
            s.FFrac[i] = i % 2;
        }
        return s;
    }

    // Two constant states (rho, u, p) meeting at x0 on 100 cells of [0, 1].
    exact::ExactSolution twoStates(double x0, kernels::FlowState l, kernels::FlowState r)
    {
        exact::InitialGrid g;
        for (int i = 0; i <= 100; ++i)
            g.edges.push_back(i / 100.0);
        for (int i = 0; i < 100; ++i) {
            const bool left = (i + 0.5) / 100.0 < x0;
            g.rho.push_back(left ? l.rho : r.rho);
            g.u.push_back(left ? l.u : r.u);
            g.p.push_back(left ? l.p : r.p);
        }
        return exact::ExactSolution::Of(g);
    }

    TEST(SheetMeasures, TheCellThatHoldsAPoint)
    {
        const ExperimentState s = gridOf({ 1, 2, 3, 4, 5 });
        EXPECT_EQ(CellValueAt(s, 0.0, Variable::Density), 1);
        EXPECT_EQ(CellValueAt(s, 0.2, Variable::Density), 2); // an edge belongs to the cell on its right
        EXPECT_EQ(CellValueAt(s, 0.5, Variable::Density), 3);
        EXPECT_EQ(CellValueAt(s, 1.0, Variable::Density), 5); // ... but the grid's right end to the last cell
        EXPECT_FALSE(CellValueAt(s, -0.01, Variable::Density));
        EXPECT_FALSE(CellValueAt(s, 1.01, Variable::Density));
        // The fraction is fluid 2's only under the two-fluid scheme.
        EXPECT_FALSE(CellValueAt(s, 0.5, Variable::Fraction));
        EXPECT_EQ(Fluid2Volume(s), 0);
        const ExperimentState two = gridOf({ 1, 2, 3, 4, 5 }, "Mixtal32");
        EXPECT_EQ(CellValueAt(two, 0.5, Variable::Fraction), 1);
        EXPECT_DOUBLE_EQ(Fluid2Volume(two), 0.6);
    }

    TEST(SheetMeasures, TheCrossingNearestAPlace)
    {
        const ExperimentState s = gridOf({ 1, 0, 0, 1, 1 });
        // Crossings of 0.5 at 0.2 and 0.6, read between cell centres.
        EXPECT_DOUBLE_EQ(*CrossingNearest(s, Variable::Density, 0.5, 0.0), 0.2);
        EXPECT_DOUBLE_EQ(*CrossingNearest(s, Variable::Density, 0.5, 0.9), 0.6);
        EXPECT_DOUBLE_EQ(*CrossingNearest(s, Variable::Density, 0.25, 0.9), 0.55);
        EXPECT_FALSE(CrossingNearest(s, Variable::Density, 2, 0.5));
        // A cell exactly on the level is the crossing, at its centre.
        EXPECT_DOUBLE_EQ(*CrossingNearest(gridOf({ 1, 0.5, 0 }), Variable::Density, 0.5, 0), 0.5);
    }

    TEST(SheetMeasures, ExactFrontsAndTheWavesAProblemLacks)
    {
        // Test 1: a fan to the left, the contact, a shock to the right.
        const exact::ExactSolution sod = twoStates(0.3, { 1, 0.75, 1 }, { 0.125, 0, 0.1 });
        std::string why;
        const auto shock = FindExactFront(sod, Wave::Shock, 0.2, why);
        ASSERT_TRUE(shock) << why;
        EXPECT_NEAR(shock->position, 0.3 + 2.153234368 * 0.2, 1e-8);
        EXPECT_NEAR(shock->leftDensity, 0.3397002349, 1e-8);
        EXPECT_EQ(shock->rightDensity, 0.125);
        EXPECT_EQ(FindExactFront(sod, Wave::RightShock, 0.2, why)->position, shock->position);
        const auto contact = FindExactFront(sod, Wave::Contact, 0.2, why);
        ASSERT_TRUE(contact) << why;
        EXPECT_NEAR(contact->position, 0.3 + 1.360905519 * 0.2, 1e-8);
        EXPECT_NEAR(contact->midDensity(), 0.5 * (0.5798666875 + 0.3397002349), 1e-8);

        const struct {
            const char* what;
            exact::ExactSolution sol;
            Wave wave;
            const char* why;
        } lacking[] = {
            { "Test 1", sod, Wave::LeftShock, "no left shock" },
            { "Test 3", twoStates(0.5, { 1, -2, 0.4 }, { 1, 2, 0.4 }), Wave::Shock, "no shock" },
            { "Test 3", twoStates(0.5, { 1, -2, 0.4 }, { 1, 2, 0.4 }), Wave::Contact, "no density jump" },
            { "Test 6", twoStates(0.4, { 5.99924, 19.5975, 460.894 }, { 5.99242, -6.19633, 46.095 }), Wave::Shock,
                "two shocks" },
            { "a vacuum", twoStates(0.5, { 1, -5, 0.4 }, { 1, 5, 0.4 }), Wave::Contact, "vacuum" },
            { "no grid", exact::ExactSolution {}, Wave::Contact, "no exact Riemann solution" },
        };
        for (const auto& c : lacking) {
            SCOPED_TRACE(std::string(c.what) + ", " + waveName(c.wave));
            std::string reason;
            EXPECT_FALSE(FindExactFront(c.sol, c.wave, 0.1, reason));
            EXPECT_NE(reason.find(c.why), std::string::npos) << reason;
        }
    }

    TEST(SheetMeasures, TheWidthOfASmearedContact)
    {
        // A contact at rest at 0.5 (1.4 | 1.0), smeared over cells 5 and 6
        // of ten: 10 percent of the jump is crossed at 0.39, 90 at 0.61.
        const exact::ExactSolution sol = twoStates(0.5, { 1.4, 0, 1 }, { 1.0, 0, 1 });
        const ExperimentState s = gridOf({ 1.4, 1.4, 1.4, 1.4, 1.3, 1.1, 1.0, 1.0, 1.0, 1.0 });
        std::string why;
        const auto width = MeasureWidth(s, sol, Wave::Contact, why);
        ASSERT_TRUE(width) << why;
        EXPECT_NEAR(*width, 0.22, 1e-12);
        EXPECT_NEAR(*MeasureFront(s, sol, Wave::Contact, 0, why), 0.5, 1e-12);
        EXPECT_FALSE(MeasureWidth(s, sol, Wave::Shock, why));
    }

} // namespace
} // namespace tamrel::sheets
