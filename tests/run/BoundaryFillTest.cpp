// SPDX-License-Identifier: GPL-3.0-or-later
// Ghost cells and outer interfaces for each boundary type.

#include <gtest/gtest.h>

#include "kernels/SchemeTable.h"
#include "run/BoundaryFill.h"
#include "run/RunTestStates.h"

namespace tamrel {
namespace {

    constexpr long kN = 8, kB = 6;

    // Cell i holds i in Rho, 10 i in P, i + 0.5 in VX, -i in VY, 100 i in the
    // fluid moment FFracXY; ghost cells hold junk.
    ExperimentState numbered(Long left, Long right, const std::string& scheme = "Orvane")
    {
        auto s = testing::shockTubeState(kN, scheme);
        s.MnBdry = left;
        s.MxBdry = right;
        for (long i = -6; i <= kN + 7; ++i) {
            const bool real = i >= 1 && i <= kN;
            s.Rho[i] = real ? i : -99;
            s.P[i] = real ? 10.0 * i : -99;
            s.VX[i] = real ? i + 0.5 : -99;
            s.VY[i] = real ? -i : -99;
            if (kernels::twoFluidScheme(s.SchemeName))
                s.FFracXY[i] = real ? 100.0 * i : -99;
        }
        return s;
    }

    TEST(BoundaryFill, Periodic)
    {
        auto s = numbered(4, 1); // periodic on the left makes both sides periodic
        FillGhostCells(s);
        for (long k = 1; k <= kB; ++k) {
            const long inside = (k - 1) % kN + 1;
            EXPECT_EQ(s.Rho[kN + k], s.Rho[inside]) << k;
            EXPECT_EQ(s.VX[kN + k], s.VX[inside]) << k;
            EXPECT_EQ(s.Rho[1 - k], s.Rho[kN + 1 - k]) << k;
            EXPECT_DOUBLE_EQ(s.X[1 - k], s.X[kN + 1 - k] - 1.0) << k;
            EXPECT_DOUBLE_EQ(s.X[kN + 1 + k], s.X[1 + k] + 1.0) << k;
        }
    }

    TEST(BoundaryFill, ReflectingWallsMirrorAndNegateVelocity)
    {
        auto s = numbered(1, 1);
        FillGhostCells(s);
        for (long k = 1; k <= kB; ++k) {
            EXPECT_EQ(s.Rho[1 - k], k);
            EXPECT_EQ(s.P[1 - k], 10.0 * k);
            EXPECT_EQ(s.VX[1 - k], -(k + 0.5));
            EXPECT_EQ(s.VY[1 - k], -k); // copied, not negated
            EXPECT_EQ(s.Rho[kN + k], kN + 1 - k);
            EXPECT_EQ(s.VX[kN + k], -(kN + 1 - k + 0.5));
            EXPECT_DOUBLE_EQ(s.X[1 - k], -s.X[1 + k]);
            EXPECT_DOUBLE_EQ(s.X[kN + 1 + k], 2.0 - s.X[kN + 1 - k]);
        }
    }

    TEST(BoundaryFill, ContinuationCopiesTheEdgeCell)
    {
        auto s = numbered(2, 3); // any type but 1 and 4 continues
        FillGhostCells(s);
        const double dx = 1.0 / kN;
        for (long k = 1; k <= kB; ++k) {
            EXPECT_EQ(s.Rho[1 - k], 1.0);
            EXPECT_EQ(s.VX[1 - k], 1.5);
            EXPECT_EQ(s.Rho[kN + k], kN);
            EXPECT_EQ(s.VX[kN + k], kN + 0.5);
            EXPECT_NEAR(s.X[1 - k], -k * dx, 1e-15);
            EXPECT_NEAR(s.X[kN + 1 + k], 1 + k * dx, 1e-15);
        }
    }

    TEST(BoundaryFill, MixedSidesAndFluidArrays)
    {
        auto s = numbered(1, 2, "Mixtal32");
        FillGhostCells(s);
        EXPECT_EQ(s.VX[0], -1.5); // reflecting left
        EXPECT_EQ(s.VX[kN + 3], kN + 0.5); // continuation right
        EXPECT_EQ(s.FFracXY[-2], 300.0); // fluid moments are filled and copied
        EXPECT_EQ(s.FFracXY[kN + 6], 100.0 * kN);
    }

    TEST(BoundaryFill, BeginFillsTheTwoBoundaryCells)
    {
        auto s = numbered(2, 2);
        FillBoundaryCellsForBegin(s);
        EXPECT_EQ(s.Rho[0], 1.0);
        EXPECT_EQ(s.VX[0], -1.5);
        EXPECT_EQ(s.VX[kN + 1], -(kN + 0.5));
        EXPECT_EQ(s.VY[kN + 1], -kN);

        s.RiemannPlots = 1;
        FillBoundaryCellsForBegin(s);
        EXPECT_EQ(s.Rho[0], kN);
        EXPECT_EQ(s.VX[0], kN + 0.5);
        EXPECT_EQ(s.Rho[kN + 1], 1.0);
        EXPECT_EQ(s.VX[kN + 1], 1.5);
    }

} // namespace
} // namespace tamrel
