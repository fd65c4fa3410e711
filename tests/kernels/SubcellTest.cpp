// SPDX-License-Identifier: GPL-3.0-or-later
// QUELMAR1D: sub-cell samples of the fluid-2 fraction.

#include <gtest/gtest.h>

#include <algorithm>
#include <vector>

#include "kernels/common/FluidSlab.h"
#include "kernels/subcell/Quelmar.h"

namespace {

namespace kernels = tamrel::kernels;
using tamrel::kernels::KLong;

// Four cells (B = 2 ghost cells each side): full, empty, half with the
// moment on the right, a quarter slab placed off-centre to the left.
TEST(Subcell, SamplesFollowFractionAndMoment)
{
    const KLong n = 4, b = 2, a = 8;
    std::vector<float> f { 0, 0, 1, 0, 0.5f, 0.25f, 0, 0 };
    std::vector<float> fx { 0, 0, 0, 0, 0.5f * 0.25f, 0.25f * -0.25f, 0, 0 };
    std::vector<float> fxx(8, 0.0f);
    std::vector<float> q(static_cast<std::size_t>(n * a), -1.0f);
    const float tol = 1e-5f;
    QUELMAR1D(f.data(), fx.data(), fxx.data(), q.data(), &tol, &n, &b, &a);
    for (int k = 0; k < a; ++k) {
        EXPECT_FLOAT_EQ(q[k], 1.0f);
        EXPECT_FLOAT_EQ(q[a + k], 0.0f);
        EXPECT_FLOAT_EQ(q[2 * a + k], k < a / 2 ? 0.0f : 1.0f);
    }
    for (int i = 0; i < n; ++i) {
        double sum = 0;
        for (int k = 0; k < a; ++k) {
            const float v = q[static_cast<std::size_t>(i * a + k)];
            EXPECT_GE(v, 0.0f);
            EXPECT_LE(v, 1.0f);
            sum += v;
        }
        EXPECT_NEAR(sum / a, f[static_cast<std::size_t>(i + b)], 1e-6);
    }
    // The quarter slab centred a quarter cell left of the centre covers
    // [0.125, 0.375]: sub-cells 1 and 2 full, none right of the centre.
    EXPECT_FLOAT_EQ(q[3 * a + 1], 1.0f);
    EXPECT_FLOAT_EQ(q[3 * a + 2], 1.0f);
    EXPECT_FLOAT_EQ(q[3 * a + 5], 0.0f);
}

// The sub-cell plot shows the slab the kernel moves: one placement, the
// kernel's tolerances. A slab the moments put a hair from a cell edge touches
// it in the plot as in the kernel, and a fraction the kernel calls empty (or
// full) is drawn empty (or full).
TEST(FluidSlab, ThePlotDrawsTheSlabTheKernelMoves)
{
    const struct {
        const char* what;
        double f, fx;
        double a, b; // the slab, in cell widths
    } cases[] = {
        { "inside", 0.25, -0.0625, 0.125, 0.375 },
        { "a hair from the right edge", 0.5, 0.125 - 2e-6, 0.5, 1.0 },
        { "a hair from the left edge", 0.5, -0.125 + 2e-6, 0.0, 0.5 },
        { "nearly empty", 5e-8, 0.0, 0.5, 0.5 },
        { "a sliver the kernel keeps", 5e-6, 0.0, 0.5 - 2.5e-6, 0.5 + 2.5e-6 },
        { "nearly full", 1 - 5e-8, 0.0, 0.0, 1.0 },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        const kernels::Slab<double> s = kernels::placeSlab(c.f, c.fx);
        EXPECT_NEAR(s.a, c.a, 1e-12);
        EXPECT_NEAR(s.b, c.b, 1e-12);
        const KLong n = 1, b = 1, parts = 8;
        const std::vector<float> f { 0, float(c.f), 0 }, fx { 0, float(c.fx), 0 }, fxx(3, 0.0f);
        std::vector<float> q(static_cast<std::size_t>(parts), -1.0f);
        const float tolerance = 0;
        QUELMAR1D(f.data(), fx.data(), fxx.data(), q.data(), &tolerance, &n, &b, &parts);
        const kernels::Slab<double> drawn = kernels::placeSlab(double(float(c.f)), double(float(c.fx)));
        for (int k = 0; k < parts; ++k) {
            const double lo = double(k) / parts, hi = double(k + 1) / parts;
            const double cover = std::max(0.0, std::min(drawn.b, hi) - std::max(drawn.a, lo)) * parts;
            EXPECT_NEAR(q[static_cast<std::size_t>(k)], cover, 1e-6) << "sub-cell " << k;
        }
    }
}

} // namespace
