// QUELMAR1D: sub-cell samples of the fluid-2 fraction.

#include <gtest/gtest.h>

#include <vector>

#include "kernels/SchemeTable.h"

namespace {

using tamrel::kernels::KLong;

// Four cells (B = 2 ghost cells each side): full, empty, half with the
// moment on the right, a quarter slab placed off-centre to the left.
TEST(Subcell, SamplesFollowFractionAndMoment)
{
    const KLong n = 4, b = 2, a = 8;
    std::vector<float> f{0, 0, 1, 0, 0.5f, 0.25f, 0, 0};
    std::vector<float> fx{0, 0, 0, 0, 0.5f * 0.25f, 0.25f * -0.25f, 0, 0};
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

} // namespace
