// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cmath>

#include "compare/CompareTestStates.h"
#include "compare/Difference.h"
#include "exact/InitialGrid.h"
#include "state/ExperimentState.h"

namespace tamrel::testing {
namespace {

    TEST(Difference, WithoutAnExactSolutionEachSchemeIsTakenAgainstTheFirst)
    {
        const ExperimentState a = historyOf(1.0, 0.10), b = historyOf(1.5, 0.11), c = historyOf(0.75, 0.12);
        const compare::RowDifference d = compare::DifferenceAtRow({ &a, &b, &c }, nullptr, 1);
        EXPECT_EQ(d.reference, compare::ReferenceKind::FirstScheme);
        ASSERT_EQ(d.minusReference.size(), 3u);
        for (std::size_t i = 0; i < 3; ++i) {
            EXPECT_EQ(d.minusReference[0].rho[i], 0.0);
            EXPECT_FLOAT_EQ(d.minusReference[1].rho[i], 0.5);
            EXPECT_FLOAT_EQ(d.minusReference[1].p[i], 1.0);
            EXPECT_NEAR(d.minusReference[2].rho[i], -0.25, 1e-6);
            EXPECT_NEAR(d.minusReference[2].p[i], -0.5, 1e-6);
            EXPECT_EQ(d.minusReference[2].vx[i], 0.0);
        }
        // A row that was not stored has no values.
        EXPECT_TRUE(compare::DifferenceAtRow({ &a, &b }, nullptr, 2).minusReference[1].rho.empty());
    }

    TEST(Difference, StoredLogarithmsComeBackAsPlainValues)
    {
        const ExperimentState plain = historyOf(1.0, 0.1), logged = historyOf(1.0, 0.1, true);
        const compare::CellValues p = compare::StoredRowValues(plain, 1), l = compare::StoredRowValues(logged, 1);
        ASSERT_EQ(l.rho.size(), 3u);
        for (std::size_t i = 0; i < 3; ++i) {
            EXPECT_NEAR(l.rho[i], p.rho[i], 1e-6);
            EXPECT_NEAR(l.p[i], p.p[i], 1e-6);
        }
    }

    // With an exact solution that holds at every row time, every scheme -
    // the first too - is taken against it at its own row time.
    TEST(Difference, TheExactSolutionIsTheReferenceWhereItHolds)
    {
        exact::InitialGrid g; // a uniform gas at rest: the exact solution keeps it
        g.edges = { 0, 1 / 3.0, 2 / 3.0, 1 };
        g.rho = { 1.25, 1.25, 1.25 };
        g.u = { 0, 0, 0 };
        g.p = { 2, 2, 2 };
        const exact::ExactSolution e = exact::ExactSolution::Of(g);
        ASSERT_TRUE(e.available()) << e.reason();

        const ExperimentState a = historyOf(1.0, 0.10), b = historyOf(1.5, 0.11);
        const compare::RowDifference d = compare::DifferenceAtRow({ &a, &b }, &e, 1);
        EXPECT_EQ(d.reference, compare::ReferenceKind::Exact);
        for (std::size_t i = 0; i < 3; ++i) {
            EXPECT_NEAR(d.minusReference[0].rho[i], 2.0 + 0.1 * (i + 1) - 1.25, 1e-6);
            EXPECT_NEAR(d.minusReference[1].rho[i], 2.5 + 0.1 * (i + 1) - 1.25, 1e-6);
            EXPECT_NEAR(d.minusReference[1].p[i], 5.0 + 0.2 * (i + 1) - 2, 1e-6);
            EXPECT_NEAR(d.minusReference[1].vx[i], 1.0 - (i + 1.0), 1e-6);
        }
    }

} // namespace
} // namespace tamrel::testing
