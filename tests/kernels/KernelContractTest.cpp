// The argument contract of the Sorvi and Lentor32 entry points: where the
// results go, what Courant number comes back, that inputs stay as they were,
// and how bad calls are reported. (Operation counts: OpCountTest.cpp.)

#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <thread>

#include "kernels/KernelRows.h"

namespace tamrel::testing {
namespace {

    using kernels::KLong;
    using kernels::SchemeInfo;

    // Smooth variation, a contact, a shock-like jump, shear and smoke.
    Grid lumpyGrid(int n)
    {
        Grid g = Grid::uniform(n, 0.0, 1.0);
        for (int i = 1; i <= n; ++i) {
            const double x = g.centre(i);
            Primitive w { 1.0 + 0.3 * std::sin(7 * x), 1.0 + 0.2 * std::cos(5 * x), 0.4 * std::sin(3 * x),
                0.2 - x };
            if (x > 0.4)
                w.rho *= 0.3;
            if (x > 0.7) {
                w.p *= 8.0;
                w.vx -= 1.0;
            }
            g.set(i, w);
            g.at(g.smoke, i) = x > 0.5 ? 1.0 : 0.0;
        }
        return g;
    }

    class KernelContract : public ::testing::TestWithParam<SchemeInfo> { };

    std::string kernelName(const ::testing::TestParamInfo<SchemeInfo>& p)
    {
        return std::string(p.param.name);
    }

    // Cutting the grid into strips of 1, 5 or 200 cells gives the update of one
    // strip: every kernel reads its cells and their ghosts at the right offsets
    // and writes cells 1..L of each New array. (Lentor32 measures pressures from
    // each strip's smallest one, which moves the rounding, hence the tolerance.)
    TEST_P(KernelContract, ResultsDoNotDependOnTheStripCut)
    {
        const SchemeInfo row = GetParam();
        Grid ref = lumpyGrid(37);
        StripDriver whole(row);
        const double dt = whole.stableDt(ref, 0.8);
        const auto outcome = whole.attempt(ref, dt);
        ASSERT_TRUE(outcome.accepted);
        for (int longest : { 1, 5, 36 }) {
            SCOPED_TRACE(longest);
            SchemeInfo cut = row;
            cut.longestStrip = longest;
            Grid g = lumpyGrid(37);
            StripDriver d(cut);
            const auto o = d.attempt(g, dt);
            EXPECT_EQ(o.courant, outcome.courant);
            for (int i = 1; i <= g.n; ++i) {
                const double tol = row.kind == kernels::EntryKind::Sorvi ? 0.0 : 2e-6;
                EXPECT_NEAR(g.at(g.rho, i), ref.at(ref.rho, i), tol * ref.at(ref.rho, i)) << "cell " << i;
                EXPECT_NEAR(g.at(g.p, i), ref.at(ref.p, i), tol * ref.at(ref.p, i)) << "cell " << i;
                EXPECT_NEAR(g.at(g.vx, i), ref.at(ref.vx, i), tol * 10) << "cell " << i;
                EXPECT_NEAR(g.at(g.vy, i), ref.at(ref.vy, i), tol * 10) << "cell " << i;
                EXPECT_NEAR(g.at(g.smoke, i), ref.at(ref.smoke, i), tol * 10) << "cell " << i;
            }
        }
    }

    TEST_P(KernelContract, WritesEveryCellOfTheStripAndLeavesInputsAsTheyWere)
    {
        Grid g = lumpyGrid(30);
        StripCall<float> c = wholeGridStrip(g, 0.8);
        const float nan = std::numeric_limits<float>::quiet_NaN();
        for (auto* v : { &c.rhoNew, &c.pNew, &c.vxNew, &c.vyNew, &c.smokeNew })
            std::fill(v->begin(), v->end(), nan);
        std::fill(c.work.begin(), c.work.end(), nan); // scratch must not be read before written
        const StripCall<float> before = c;
        float courant = 0;
        KLong counters[8] = {};
        c.call(GetParam(), courant, counters);
        for (long i = 1; i <= c.L; ++i) {
            const auto e = static_cast<std::size_t>(i + c.B - 1);
            EXPECT_TRUE(std::isfinite(c.rhoNew[e]) && std::isfinite(c.pNew[e]) && std::isfinite(c.vxNew[e])
                && std::isfinite(c.vyNew[e]))
                << "cell " << i;
            if (GetParam().carriesSmoke) {
                EXPECT_TRUE(std::isfinite(c.smokeNew[e])) << "cell " << i;
            }
        }
        for (auto [now, was] : { std::pair { &c.x, &before.x }, { &c.rho, &before.rho }, { &c.p, &before.p },
                 { &c.vx, &before.vx }, { &c.vy, &before.vy }, { &c.vz, &before.vz }, { &c.smoke, &before.smoke },
                 { &c.vz3, &before.vz3 } })
            EXPECT_TRUE(sameBits(*now, *was));
        EXPECT_EQ(c.dt, before.dt);
        EXPECT_EQ(c.gamma, before.gamma);
        EXPECT_EQ(c.rhoFloor, before.rhoFloor);
        EXPECT_EQ(c.kernelFloor, before.kernelFloor);
        EXPECT_EQ(c.pFloor, before.pFloor);
    }

    // Courant = max over cells 1..L of (|u| + c) Dt/dx; it only ever rises
    // across strips, and a NaN from an earlier strip stays.
    TEST_P(KernelContract, CourantIsTheLargestCellCourantNumber)
    {
        Grid g = lumpyGrid(40);
        // Ghost cells faster than any real cell must not count.
        StripCall<float> c = wholeGridStrip(g, 0.5);
        for (long e = 0; e < c.B; ++e)
            c.vx[static_cast<std::size_t>(e)] = 50.0f;
        double expect = 0;
        for (int i = 1; i <= g.n; ++i) {
            const double rho = c.rho[static_cast<std::size_t>(i + c.B - 1)],
                         p = c.p[static_cast<std::size_t>(i + c.B - 1)];
            const double u = c.vx[static_cast<std::size_t>(i + c.B - 1)];
            const double dx = double(c.x[static_cast<std::size_t>(i + c.B)])
                - double(c.x[static_cast<std::size_t>(i + c.B - 1)]);
            expect = std::max(expect, (std::fabs(u) + std::sqrt(1.4 * p / rho)) * double(c.dt) / dx);
        }
        KLong counters[8] = {};
        float courant = 0;
        c.call(GetParam(), courant, counters);
        EXPECT_NEAR(courant, expect, 2e-6 * expect);

        float higher = 0.9f;
        c.call(GetParam(), higher, counters);
        EXPECT_EQ(higher, 0.9f);
        float faulted = std::numeric_limits<float>::quiet_NaN();
        c.call(GetParam(), faulted, counters);
        EXPECT_TRUE(std::isnan(faulted));
    }

    // A non-finite value among the cells the kernel reads, a bad constant or
    // too few ghost cells is a fault: Courant becomes NaN and nothing is counted.
    // A strip of no cells is no work.
    TEST_P(KernelContract, ReportsBadCallsAsNaNCourant)
    {
        const SchemeInfo row = GetParam();
        struct Breakage {
            const char* what;
            void (*apply)(StripCall<float>&);
        };
        const Breakage cases[] = {
            { "NaN density in cell 1",
                [](StripCall<float>& c) { c.rho[c.B] = std::numeric_limits<float>::quiet_NaN(); } },
            { "infinite pressure in ghost cell 0",
                [](StripCall<float>& c) { c.p[c.B - 1] = std::numeric_limits<float>::infinity(); } },
            { "NaN velocity in cell L+1",
                [](StripCall<float>& c) { c.vx[c.L + c.B] = std::numeric_limits<float>::quiet_NaN(); } },
            { "NaN shear", [](StripCall<float>& c) { c.vy[c.B + 3] = std::numeric_limits<float>::quiet_NaN(); } },
            { "NaN edge", [](StripCall<float>& c) { c.x[c.B + 2] = std::numeric_limits<float>::quiet_NaN(); } },
            { "edges out of order", [](StripCall<float>& c) { std::swap(c.x[c.B + 2], c.x[c.B + 3]); } },
            { "NaN Dt", [](StripCall<float>& c) { c.dt = std::numeric_limits<float>::quiet_NaN(); } },
            { "negative Dt", [](StripCall<float>& c) { c.dt = -c.dt; } },
            { "gamma 1", [](StripCall<float>& c) { c.gamma = 1.0f; } },
            { "no ghost cells", [](StripCall<float>& c) { c.B = 0; } },
        };
        for (const Breakage& b : cases) {
            SCOPED_TRACE(b.what);
            Grid g = lumpyGrid(20);
            StripCall<float> c = wholeGridStrip(g, 0.8);
            b.apply(c);
            float courant = 0;
            KLong counters[8] = {};
            c.call(row, courant, counters);
            EXPECT_TRUE(std::isnan(courant));
            for (KLong k : counters)
                EXPECT_EQ(k, 0);
        }
        Grid g = lumpyGrid(20);
        StripCall<float> c = wholeGridStrip(g, 0.8);
        c.L = 0;
        float courant = 0.25f;
        KLong counters[8] = {};
        c.call(row, courant, counters);
        EXPECT_EQ(courant, 0.25f);
        EXPECT_EQ(counters[0], 0);
    }

    // A step so long that the update overflows is a step to repeat with a
    // smaller Dt, not a fault.
    TEST_P(KernelContract, AnOverflowingStepAsksForARetryNotAFault)
    {
        Grid g = lumpyGrid(20);
        StripCall<float> c = wholeGridStrip(g, 0.8);
        c.dt = 1e36f;
        float courant = 0;
        KLong counters[8] = {};
        c.call(GetParam(), courant, counters);
        EXPECT_FALSE(std::isnan(courant));
        EXPECT_GE(courant, 1.0f);
    }

    // Two threads calling the entry point at once on their own strips (as the
    // time step does) get what one thread gets.
    TEST_P(KernelContract, ConcurrentCallsOnSeparateStripsAgreeWithSequentialOnes)
    {
        Grid g = lumpyGrid(60);
        const StripCall<float> proto = wholeGridStrip(g, 0.8);
        StripCall<float> seq = proto;
        float cs = 0;
        KLong ks[8] = {};
        seq.call(GetParam(), cs, ks);
        StripCall<float> a = proto, b = proto;
        float ca = 0, cb = 0;
        KLong ka[8] = {}, kb[8] = {};
        auto work = [&](StripCall<float>& s, float& c, KLong* k) {
            for (int r = 0; r < 50; ++r)
                s.call(GetParam(), c, k);
        };
        std::thread t([&] { work(b, cb, kb); });
        work(a, ca, ka);
        t.join();
        EXPECT_TRUE(sameBits(a.rhoNew, seq.rhoNew));
        EXPECT_TRUE(sameBits(b.rhoNew, seq.rhoNew));
        EXPECT_TRUE(sameBits(b.pNew, seq.pNew));
        EXPECT_EQ(ca, cs);
        EXPECT_EQ(cb, cs);
        EXPECT_EQ(ka[0], 50 * ks[0]);
        EXPECT_EQ(kb[0], 50 * ks[0]);
    }

    INSTANTIATE_TEST_SUITE_P(Kernels, KernelContract, ::testing::ValuesIn(godunovTypeKernels()), kernelName);

} // namespace
} // namespace tamrel::testing
