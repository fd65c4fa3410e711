// SPDX-License-Identifier: GPL-3.0-or-later
// The pressure picture's smoke mode: samples per cell, the boundary fill
// of the fraction and its moments, the call of the sub-cell profile and the
// curve drawn from it.

#include <gtest/gtest.h>

#include <vector>

#include "PlotFixture.h"
#include "kernels/common/FluidSlab.h"
#include "plots/LinePlots.h"

using namespace tamrel;
using tamrel::test::allPoints;
using tamrel::test::gridState;
using tamrel::test::keptDensityPlot;
using tamrel::test::keptPressurePlot;
using tamrel::test::keptVelocityPlot;

TEST(SmokeSamplesPerCell, CapsTheCurveNearFourThousandPoints)
{
    const std::pair<Long, Long> cases[] = {
        { 1, 64 },
        { 62, 64 },
        { 63, 32 },
        { 125, 32 },
        { 126, 16 },
        { 250, 16 },
        { 251, 8 },
        { 500, 8 },
        { 501, 4 },
        { 1000, 4 },
        { 1001, 2 },
        { 2000, 2 },
        { 2001, 1 },
        { 5001, 1 },
    };
    for (const auto& [n, a] : cases)
        EXPECT_EQ(SmokeSamplesPerCell(n), a) << "N = " << n;
}

namespace {

ExperimentState smokeState(long n)
{
    auto s = gridState(n);
    s.SchemeName = "Mixtal32";
    s.PlotFVSmoke = 1;
    allocateMultifluidArrays(s);
    for (long i = 1; i <= n; ++i) {
        s.FFrac[i] = i;
        s.FFracX[i] = 10.0 * i;
        s.FFracXX[i] = 100.0 * i;
    }
    return s;
}

} // namespace

TEST(SmokePlot, ThePaintFillsItsOwnGhostCellsAndLeavesTheRecordsAsTheyWere)
{
    const long n = 8, b = 6;
    for (const Long mn : { 1, 2, 4 }) {
        SCOPED_TRACE(mn);
        auto s = smokeState(n);
        s.MnBdry = mn;
        for (long i = 1; i <= b; ++i) {
            s.X[1 - i] = s.X[n + 1 + i] = -7;
            s.FFrac[1 - i] = s.FFrac[n + i] = -7;
        }
        const ExperimentState before = s;
        keptPressurePlot(s, 1024, 1000, [](const float*, const float*, const float*, float* Q, const float*,
                                             const kernels::KLong* n, const kernels::KLong*, const kernels::KLong* a) {
            for (kernels::KLong k = 0; k < *n * *a; ++k)
                Q[k] = 0.5f;
        });
        for (long i = 1; i <= b; ++i) {
            EXPECT_EQ(s.X[1 - i], before.X[1 - i]) << i;
            EXPECT_EQ(s.X[n + 1 + i], before.X[n + 1 + i]) << i;
            EXPECT_EQ(s.FFrac[1 - i], before.FFrac[1 - i]) << i;
            EXPECT_EQ(s.FFrac[n + i], before.FFrac[n + i]) << i;
        }
    }
}

namespace {

// A stand-in for the sub-cell profile: records its arguments and returns
// fluid 2 in the left half of the grid, none in the right half.
struct ProfileCall {
    int calls = 0;
    std::vector<float> s1, s3;
    float tolerance = 0;
    kernels::KLong n = 0, b = 0, a = 0;
};
ProfileCall lastCall;

void fakeProfile(const float* S1, const float* S2, const float* S3, float* Q, const float* Tolerance,
    const kernels::KLong* N, const kernels::KLong* B, const kernels::KLong* A)
{
    (void)S2;
    ++lastCall.calls;
    const long cells = *N + 2 * *B;
    lastCall.s1.assign(S1, S1 + cells);
    lastCall.s3.assign(S3, S3 + cells);
    lastCall.tolerance = *Tolerance;
    lastCall.n = *N;
    lastCall.b = *B;
    lastCall.a = *A;
    const long count = static_cast<long>(*N) * *A;
    for (long k = 0; k < count; ++k)
        Q[k] = k < count / 2 ? 1.0f : 0.0f;
}

} // namespace

TEST(SmokePlot, CallsTheProfileOnceWithTheFilledFractionAndItsMoments)
{
    lastCall = {};
    auto s = smokeState(8);
    s.MnBdry = 1;
    s.MxBdry = 1;
    keptPressurePlot(s, 1024, 1000, &fakeProfile);
    ASSERT_EQ(lastCall.calls, 1);
    // The kernel's own fraction tolerance: the plot places slabs as it does.
    EXPECT_EQ(lastCall.tolerance, static_cast<float>(kernels::kSlabFractionTolerance));
    EXPECT_EQ(lastCall.n, 8);
    EXPECT_EQ(lastCall.b, 6);
    EXPECT_EQ(lastCall.a, 64);
    // Cells -5..14, reflected at both walls.
    const std::vector<float> expected = { 6, 5, 4, 3, 2, 1, 1, 2, 3, 4, 5, 6, 7, 8, 8, 7, 6, 5, 4, 3 };
    EXPECT_EQ(lastCall.s1, expected);
    EXPECT_EQ(lastCall.s3[0], 600.0f);
}

TEST(SmokePlot, DrawsEverySubCellFromTheLeftEdgeToTheLastCentre)
{
    lastCall = {};
    auto s = smokeState(8); // 64 samples per cell, 512 in all
    s.MCurrent = 3;
    s.NSelected = 1;
    s.MSelected[1] = 6;
    // 1024 units over 512 sub-cells: sub-cell k is centred at 2k - 1.
    const auto paint = keptPressurePlot(s, 1024, 1000, &fakeProfile);
    const auto pts = allPoints(paint.drawing);
    ASSERT_EQ(pts.size(), 513u);
    EXPECT_EQ(pts[0], (PlotPoint { 0, 0 })); // horizontal start at the first sample
    EXPECT_EQ(pts[1], (PlotPoint { 1, 0 })); // fluid 2 only: top edge
    EXPECT_EQ(pts[256], (PlotPoint { 511, 0 }));
    EXPECT_EQ(pts[257], (PlotPoint { 513, 1000 })); // no fluid 2: bottom edge
    EXPECT_EQ(pts[512], (PlotPoint { 1023, 1000 })); // ends at the last centre, not the right edge

    // Marks sit on a cell's last sub-cell: cell 3 -> sub-cell 192, cell 6 -> 384.
    ASSERT_EQ(paint.drawing.outlined.size(), 1u);
    EXPECT_EQ(paint.drawing.outlined[0], (PlotRect { 383 - 50, 0 - 50, 100, 100 }));
    ASSERT_EQ(paint.drawing.filled.size(), 1u);
    EXPECT_EQ(paint.drawing.filled[0], (PlotRect { 767 - 50, 1000 - 50, 100, 100 }));

    // The readout's pressure is the smoke at the current cell's mark.
    EXPECT_EQ(s.PCurrent, 1.0);
    EXPECT_EQ(paint.pressureText, "1.0000");
    EXPECT_EQ(paint.caption, "FVSmoke");
    EXPECT_EQ(paint.rangeMinText, "0.0");
    EXPECT_EQ(paint.rangeMaxText, "1.0");
}

TEST(SmokePlot, WithoutAProfileOrItsArraysDrawsNoCurve)
{
    auto s = smokeState(8);
    s.MCurrent = 2;
    s.FFrac[2] = 0.25;
    auto paint = keptPressurePlot(s, 1024, 1000, nullptr);
    EXPECT_TRUE(paint.drawing.empty());
    EXPECT_EQ(paint.caption, "FVSmoke");
    EXPECT_EQ(s.PCurrent, 0.25);

    auto bare = gridState(8); // multifluid arrays never allocated
    bare.SchemeName = "Mixtal32";
    bare.PlotFVSmoke = 1;
    lastCall = {};
    paint = keptPressurePlot(bare, 1024, 1000, &fakeProfile);
    EXPECT_EQ(lastCall.calls, 0);
    EXPECT_TRUE(paint.drawing.empty());
}

TEST(SmokePlot, BoundaryCellAsCurrentCellHasNoMark)
{
    auto s = smokeState(8);
    s.MCurrent = 0;
    s.FFrac[1] = 0.75;
    s.MnBdry = 1;
    const auto paint = keptPressurePlot(s, 1024, 1000, &fakeProfile);
    EXPECT_TRUE(paint.drawing.outlined.empty());
    EXPECT_EQ(s.PCurrent, 0.75); // boundary cell 0 reflects cell 1
}
