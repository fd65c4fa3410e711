// SPDX-License-Identifier: GPL-3.0-or-later
// What the boundary types put into the ghost cells and outer interfaces.

#include <gtest/gtest.h>

#include "state/Boundaries.h"

namespace tamrel {
namespace {

    constexpr long kN = 8, kB = 6;

    // Cells 1..8 of width 1/8 hold i in `q`; every ghost cell and ghost
    // interface holds junk.
    struct Grid {
        ExperimentState s;
        BoundedArray<double> x { 1 - kB, kN + 1 + kB };
        BoundedArray<double> q { 1 - kB, kN + kB };
    };

    Grid numbered(Long left, Long right)
    {
        Grid g;
        g.s.NGridCells = kN;
        g.s.NBdy = kB;
        g.s.MnBdry = left;
        g.s.MxBdry = right;
        for (long i = 1 - kB; i <= kN + 1 + kB; ++i)
            g.x[i] = i >= 1 && i <= kN + 1 ? (i - 1) / double(kN) : -99;
        for (long i = 1 - kB; i <= kN + kB; ++i)
            g.q[i] = i >= 1 && i <= kN ? i : -99;
        return g;
    }

    TEST(Boundaries, GhostCellsFollowTheTypesOfBothEnds)
    {
        const double dx = 1.0 / kN;
        struct Case {
            Long mn, mx;
            BoundaryKind left, right;
        };
        using K = BoundaryKind;
        for (const Case& c : {
                 Case { 4, 1, K::Periodic, K::Periodic }, // periodic on the left rules both ends
                 Case { 4, 2, K::Periodic, K::Periodic },
                 Case { 1, 1, K::Reflecting, K::Reflecting },
                 Case { 2, 2, K::Continuation, K::Continuation },
                 Case { 2, 4, K::Continuation, K::Continuation }, // periodic only on the right continues
                 Case { 1, 4, K::Reflecting, K::Continuation },
                 Case { 3, 1, K::Continuation, K::Reflecting }, // a code typed at the prompt continues
             }) {
            SCOPED_TRACE(::testing::Message() << "MnBdry " << c.mn << " MxBdry " << c.mx);
            Grid g = numbered(c.mn, c.mx);
            EXPECT_EQ(LeftBoundaryKind(g.s), c.left);
            EXPECT_EQ(RightBoundaryKind(g.s), c.right);
            FillGhostEdges(g.s, g.x);
            FillGhostValues(g.s, g.q, -1.0);
            for (long k = 1; k <= kB; ++k) {
                SCOPED_TRACE(k);
                // Interfaces: every case keeps the uniform spacing here.
                EXPECT_NEAR(g.x[1 - k], -k * dx, 1e-12);
                EXPECT_NEAR(g.x[kN + 1 + k], 1 + k * dx, 1e-12);
                const double left = c.left == K::Periodic ? kN + 1 - k : c.left == K::Reflecting ? -k : 1;
                const double right = c.right == K::Periodic ? k : c.right == K::Reflecting ? -(kN + 1 - k) : kN;
                EXPECT_EQ(g.q[1 - k], left);
                EXPECT_EQ(g.q[kN + k], right);
            }
        }
    }

    TEST(Boundaries, InterfacesOfAnUnevenGridAreMirroredOrShifted)
    {
        // Edges 0, 1, 3, 6, 10: cell widths 1, 2, 3, 4.
        ExperimentState s;
        s.NGridCells = 4;
        s.NBdy = 2;
        BoundedArray<double> x(-1, 7);
        const double edges[] = { 0, 1, 3, 6, 10 };
        for (long i = 1; i <= 5; ++i)
            x[i] = edges[i - 1];
        struct Case {
            Long mn, mx;
            double x0, xm1, x6, x7;
        };
        for (const Case& c : {
                 Case { 4, 4, -4, -7, 11, 13 }, // the far end's cells, shifted by the length 10
                 Case { 1, 1, -1, -3, 14, 17 }, // mirrored at X(1) and X(5)
                 Case { 2, 2, -1, -2, 14, 18 }, // the end cell's width repeated
             }) {
            SCOPED_TRACE(c.mn);
            s.MnBdry = c.mn;
            s.MxBdry = c.mx;
            FillGhostEdges(s, x);
            EXPECT_DOUBLE_EQ(x[0], c.x0);
            EXPECT_DOUBLE_EQ(x[-1], c.xm1);
            EXPECT_DOUBLE_EQ(x[6], c.x6);
            EXPECT_DOUBLE_EQ(x[7], c.x7);
        }
    }

    TEST(Boundaries, TheCodesTheLabOffers)
    {
        for (const Long code : { kReflectingBoundary, kContinuationBoundary, kPeriodicBoundary })
            EXPECT_TRUE(IsOfferedBoundaryCode(code)) << code;
        for (const Long code : { 0, 3, 5, -1 })
            EXPECT_FALSE(IsOfferedBoundaryCode(code)) << code;
    }

} // namespace
} // namespace tamrel
