// SPDX-License-Identifier: GPL-3.0-or-later
// The argument contract of every scheme's entry point: where the results go,
// what Courant number comes back, that inputs stay as they were, and how bad
// calls are reported. (Operation counts: OpCountTest.cpp.)

#include <gtest/gtest.h>

#include <cmath>
#include <functional>
#include <limits>
#include <thread>

#include "kernels/KernelRows.h"

namespace tamrel::testing {
namespace {

    // Smooth variation, a contact, a shock-like jump, shear and smoke (for a
    // two-fluid scheme: fluid 2 right of the middle).
    Grid lumpyGrid(const SchemeInfo& row, int n)
    {
        Grid g = Grid::uniform(n, 0.0, 1.0);
        for (int i = 1 - g.b; i <= n + g.b; ++i) {
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
        prepareFor(row, g);
        return g;
    }

    class KernelContract : public ::testing::TestWithParam<SchemeInfo> { };

    // Cutting the grid into strips of 1, 5 or 36 cells gives the update of one
    // strip: every kernel reads its cells and their ghosts at the right offsets
    // and writes cells 1..L of each New array. (Lentor32 measures pressures
    // from each strip's smallest one, which moves the rounding, hence the
    // tolerance.)
    TEST_P(KernelContract, ResultsDoNotDependOnTheStripCut)
    {
        const SchemeInfo row = GetParam();
        Grid ref = lumpyGrid(row, 37);
        GridRun whole(row);
        const double dt = whole.stableDt(ref, 0.8);
        const auto outcome = whole.attempt(ref, dt);
        ASSERT_TRUE(outcome.accepted);
        const double tol = row.singlePrecision() ? 2e-6 : 1e-13;
        for (int longest : { 1, 5, 36 }) {
            SCOPED_TRACE(longest);
            SchemeInfo cut = row;
            cut.longestStrip = longest;
            Grid g = lumpyGrid(row, 37);
            GridRun d(cut);
            const auto o = d.attempt(g, dt);
            EXPECT_EQ(o.courant, outcome.courant);
            for (int i = 1; i <= g.n; ++i) {
                EXPECT_NEAR(g.at(g.rho, i), ref.at(ref.rho, i), tol * ref.at(ref.rho, i)) << "cell " << i;
                EXPECT_NEAR(g.at(g.p, i), ref.at(ref.p, i), tol * ref.at(ref.p, i)) << "cell " << i;
                EXPECT_NEAR(g.at(g.vx, i), ref.at(ref.vx, i), tol * 10) << "cell " << i;
                EXPECT_NEAR(g.at(g.vy, i), ref.at(ref.vy, i), tol * 10) << "cell " << i;
                EXPECT_NEAR(g.at(g.smoke, i), ref.at(ref.smoke, i), tol * 10) << "cell " << i;
            }
        }
    }

    // The values of every input array of a call, to see that a call leaves
    // them alone.
    template <class Real> std::vector<std::vector<Real>> inputsOf(const kernels::StripArgs<Real>& a)
    {
        const long cells = a.L + 2 * a.B;
        const long s3 = kernels::strip3Size(a.L, a.B);
        std::vector<std::vector<Real>> v;
        auto take = [&](const Real* p, long count) {
            if (p != nullptr)
                v.emplace_back(p, p + count);
        };
        take(a.x, cells + 1);
        for (const Real* p : { a.rho, a.p, a.vx, a.vy, a.vz, a.smoke })
            take(p, cells);
        for (const Real* p : { a.rho3, a.p3, a.vx3, a.vy3, a.vz3 })
            take(p, s3);
        for (const Real* p : a.fluid)
            take(p, cells);
        return v;
    }

    TEST_P(KernelContract, WritesEveryCellOfTheStripAndLeavesInputsAsTheyWere)
    {
        const SchemeInfo row = GetParam();
        withPrecision(row, [&]<class Real>() {
            Grid g = lumpyGrid(row, 30);
            OneStrip<Real> c = wholeGridStrip<Real>(row, g, 0.8);
            Real courant = 0;
            KLong counters[8] = {};
            const kernels::StripArgs<Real> a = c.pack(row, &courant, counters);
            // Results and scratch must not be read before they are written.
            const Real nan = std::numeric_limits<Real>::quiet_NaN();
            const long edges = a.L + 2 * a.B + 1;
            for (Real* o : a.out)
                std::fill(o, o + edges, nan);
            std::fill(a.work, a.work + kernels::kWorkPerCell * edges, nan);
            const auto k = c.k;
            const auto before = inputsOf(a);
            row.entry<Real>().run(a);
            for (const auto& result : resultsOf(row, c, a))
                for (long i = 1; i <= c.L; ++i)
                    EXPECT_TRUE(std::isfinite(result[static_cast<std::size_t>(i - 1)])) << "cell " << i;
            const auto after = inputsOf(a);
            ASSERT_EQ(after.size(), before.size());
            for (std::size_t q = 0; q < after.size(); ++q)
                EXPECT_TRUE(sameBits(after[q], before[q])) << "input " << q;
            EXPECT_EQ(std::memcmp(&k, &c.k, sizeof k), 0);
        });
    }

    // A scheme that takes strip arrays reads their column (j, k) = (0, 0)
    // only: NaN in the other 24 columns changes nothing.
    TEST_P(KernelContract, ReadsOnlyTheFirstColumnOfStripArrays)
    {
        const SchemeInfo row = GetParam();
        withPrecision(row, [&]<class Real>() {
            if (!row.entry<Real>().stripArrays)
                GTEST_SKIP() << "1-D slices";
            Grid g = lumpyGrid(row, 30);
            OneStrip<Real> c = wholeGridStrip<Real>(row, g, 0.8);
            Real c1 = 0, c2 = 0;
            KLong counters[8] = {};
            const auto clean = resultsOf(row, c, c.call(row, c1, counters));
            const kernels::StripArgs<Real> a = c.pack(row, &c2, counters);
            const long cells = a.L + 2 * a.B, column = kernels::strip3Index(1 - a.B, 0, 0, a.L, a.B);
            for (const Real* p : { a.rho3, a.p3, a.vx3, a.vy3 })
                for (long e = 0; e < kernels::strip3Size(a.L, a.B); ++e)
                    if (e < column || e >= column + cells)
                        const_cast<Real*>(p)[e] = std::numeric_limits<Real>::quiet_NaN();
            row.entry<Real>().run(a);
            EXPECT_EQ(c2, c1);
            const auto spoiled = resultsOf(row, c, a);
            for (std::size_t q = 0; q < clean.size(); ++q)
                EXPECT_TRUE(sameBits(spoiled[q], clean[q])) << "result " << q;
        });
    }

    // The time step passes only the optional inputs a scheme's row says it
    // reads (the smoke, each fluid array); the others come as null.
    TEST_P(KernelContract, ReadsOnlyTheInputsItsRowNames)
    {
        const SchemeInfo row = GetParam();
        withPrecision(row, [&]<class Real>() {
            const std::uint32_t reads = row.entry<Real>().reads;
            if (reads == kernels::kReadsAll)
                GTEST_SKIP() << "reads every input";
            Grid g = lumpyGrid(row, 30);
            OneStrip<Real> c = wholeGridStrip<Real>(row, g, 0.8);
            Real c1 = 0, c2 = 0;
            KLong counters[8] = {};
            const auto all = resultsOf(row, c, c.call(row, c1, counters));
            kernels::StripArgs<Real> a = c.pack(row, &c2, counters);
            if (!(reads & kernels::kReadsSmoke))
                a.smoke = nullptr;
            for (int q = 0; q < kernels::kFluidArrays; ++q)
                if (!(reads & (kernels::kReadsFluid << q)))
                    a.fluid[static_cast<std::size_t>(q)] = nullptr;
            row.entry<Real>().run(a);
            EXPECT_EQ(c2, c1);
            const auto named = resultsOf(row, c, a);
            for (std::size_t q = 0; q < all.size(); ++q)
                EXPECT_TRUE(sameBits(named[q], all[q])) << "result " << q;
        });
    }

    // Courant = max over cells 1..L of (|u| + c) Dt/dx; it only ever rises
    // across strips, and a NaN from an earlier strip stays.
    TEST_P(KernelContract, CourantIsTheLargestCellCourantNumber)
    {
        const SchemeInfo row = GetParam();
        withPrecision(row, [&]<class Real>() {
            Grid g = lumpyGrid(row, 40);
            OneStrip<Real> c = wholeGridStrip<Real>(row, g, 0.5);
            // Ghost cells faster than any real cell must not count.
            for (long e = 0; e < c.B; ++e)
                c.vx[static_cast<std::size_t>(e)] = Real(50);
            double expect = 0;
            for (long i = 1; i <= c.L; ++i) {
                const auto e = static_cast<std::size_t>(i + c.B - 1);
                const double dx = double(c.x[e + 1]) - double(c.x[e]);
                expect = std::max(expect,
                    (std::fabs(double(c.vx[e])) + std::sqrt(1.4 * double(c.p[e]) / double(c.rho[e])))
                        * double(c.k.dt) / dx);
            }
            KLong counters[8] = {};
            Real courant = 0;
            c.call(row, courant, counters);
            EXPECT_NEAR(courant, expect, 2e-6 * expect);

            Real higher = Real(0.9);
            c.call(row, higher, counters);
            EXPECT_EQ(higher, Real(0.9));
            Real faulted = std::numeric_limits<Real>::quiet_NaN();
            c.call(row, faulted, counters);
            EXPECT_TRUE(std::isnan(faulted));
        });
    }

    // A non-finite value among the cells the kernel reads, a bad constant or
    // too few ghost cells is a fault: Courant becomes NaN and nothing is
    // counted. A strip of no cells is no work.
    TEST_P(KernelContract, ReportsBadCallsAsNaNCourant)
    {
        const SchemeInfo row = GetParam();
        withPrecision(row, [&]<class Real>() {
            const Real nan = std::numeric_limits<Real>::quiet_NaN();
            const Real inf = std::numeric_limits<Real>::infinity();
            struct Breakage {
                const char* what;
                std::function<void(OneStrip<Real>&)> apply;
                bool twoFluidOnly = false;
            };
            const std::vector<Breakage> cases {
                { "NaN density in cell 1", [&](OneStrip<Real>& c) { c.rho[c.B] = nan; } },
                { "infinite pressure in ghost cell 0", [&](OneStrip<Real>& c) { c.p[c.B - 1] = inf; } },
                { "NaN velocity in cell L+1", [&](OneStrip<Real>& c) { c.vx[c.L + c.B] = nan; } },
                { "NaN shear", [&](OneStrip<Real>& c) { c.vy[c.B + 3] = nan; } },
                { "NaN edge", [&](OneStrip<Real>& c) { c.x[c.B + 2] = nan; } },
                { "edges out of order", [](OneStrip<Real>& c) { std::swap(c.x[c.B + 2], c.x[c.B + 3]); } },
                { "NaN Dt", [&](OneStrip<Real>& c) { c.k.dt = nan; } },
                { "negative Dt", [](OneStrip<Real>& c) { c.k.dt = -c.k.dt; } },
                { "gamma 1", [](OneStrip<Real>& c) { c.k.gamma = Real(1); } },
                { "no ghost cells", [](OneStrip<Real>& c) { c.B = 0; } },
                { "NaN fraction", [&](OneStrip<Real>& c) { c.fluid[kF][c.B + 4] = nan; }, true },
                { "infinite moment", [&](OneStrip<Real>& c) { c.fluid[kFX][c.B - 1] = inf; }, true },
                { "gamma of fluid 2 below 1", [](OneStrip<Real>& c) { c.k.gamma2 = Real(0.5); }, true },
            };
            for (const Breakage& b : cases) {
                if (b.twoFluidOnly && !row.twoFluid)
                    continue;
                SCOPED_TRACE(b.what);
                Grid g = lumpyGrid(row, 20);
                OneStrip<Real> c = wholeGridStrip<Real>(row, g, 0.8);
                b.apply(c);
                Real courant = 0;
                KLong counters[8] = {};
                c.call(row, courant, counters);
                EXPECT_TRUE(std::isnan(courant));
                for (KLong k : counters)
                    EXPECT_EQ(k, 0);
            }
            Grid g = lumpyGrid(row, 20);
            OneStrip<Real> c = wholeGridStrip<Real>(row, g, 0.8);
            c.L = 0;
            Real courant = Real(0.25);
            KLong counters[8] = {};
            c.call(row, courant, counters);
            EXPECT_EQ(courant, Real(0.25));
            EXPECT_EQ(counters[0], 0);
        });
    }

    // A step so long that the update overflows is a step to repeat with a
    // smaller Dt, not a fault.
    TEST_P(KernelContract, AnOverflowingStepAsksForARetryNotAFault)
    {
        const SchemeInfo row = GetParam();
        withPrecision(row, [&]<class Real>() {
            Grid g = lumpyGrid(row, 20);
            OneStrip<Real> c = wholeGridStrip<Real>(row, g, 0.8);
            c.k.dt = Real(1e36);
            Real courant = 0;
            KLong counters[8] = {};
            c.call(row, courant, counters);
            EXPECT_FALSE(std::isnan(courant));
            EXPECT_GE(courant, Real(1));
        });
    }

    // Two threads calling the entry point at once on their own strips (as the
    // time step does) get what one thread gets.
    TEST_P(KernelContract, ConcurrentCallsOnSeparateStripsAgreeWithSequentialOnes)
    {
        const SchemeInfo row = GetParam();
        withPrecision(row, [&]<class Real>() {
            Grid g = lumpyGrid(row, 60);
            const OneStrip<Real> proto = wholeGridStrip<Real>(row, g, 0.8);
            OneStrip<Real> seq = proto;
            Real cs = 0;
            KLong ks[8] = {};
            const auto expected = resultsOf(row, seq, seq.call(row, cs, ks));
            OneStrip<Real> a = proto, b = proto;
            Real ca = 0, cb = 0;
            KLong ka[8] = {}, kb[8] = {};
            std::vector<std::vector<Real>> ra, rb;
            auto work = [&](OneStrip<Real>& s, Real& c, KLong* k, std::vector<std::vector<Real>>& r) {
                for (int rep = 0; rep < 50; ++rep)
                    r = resultsOf(row, s, s.call(row, c, k));
            };
            std::thread t([&] { work(b, cb, kb, rb); });
            work(a, ca, ka, ra);
            t.join();
            for (std::size_t q = 0; q < expected.size(); ++q) {
                EXPECT_TRUE(sameBits(ra[q], expected[q])) << "result " << q;
                EXPECT_TRUE(sameBits(rb[q], expected[q])) << "result " << q;
            }
            EXPECT_EQ(ca, cs);
            EXPECT_EQ(cb, cs);
            EXPECT_EQ(ka[0], static_cast<KLong>(50u * static_cast<std::uint32_t>(ks[0])));
            EXPECT_EQ(kb[0], static_cast<KLong>(50u * static_cast<std::uint32_t>(ks[0])));
        });
    }

    INSTANTIATE_TEST_SUITE_P(Kernels, KernelContract, ::testing::ValuesIn(kernelRows()), rowName);

} // namespace
} // namespace tamrel::testing
