// SPDX-License-Identifier: GPL-3.0-or-later
// Operation counts: the counting type counts what it should, and every
// scheme reports in its Counters exactly what its counting run of the same
// strip executes, on every code path (shocks, fans, vacuum, floors).

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

#include "kernels/KernelRows.h"
#include "kernels/ShockTubeCases.h"
#include "kernels/common/Counted.h"
#include "kernels/lentor/LentorKernel.h"
#include "kernels/sorvi/SorviKernel.h"

namespace tamrel::testing {
namespace {

    using kernels::Counted;
    using kernels::OpCount;
    using kernels::OpCountScope;

    TEST(Counted, CountsEachOperationByKindAndComputesTheSameValues)
    {
        using C = Counted<float>;
        OpCountScope scope;
        const C a(1.5f), b(-2.0f);
        C r = a + b - a * b / (a + C(1));
        r = kmax(r, kmin(a, b)) + kabs(b) + kselect(a < b, a, b);
        r = r + ksqrt(a) + kpow(a, b);
        const float fa = 1.5f, fb = -2.0f;
        float fr = fa + fb - fa * fb / (fa + 1.0f);
        fr = std::max(fr, std::min(fa, fb)) + std::fabs(fb) + (fa < fb ? fa : fb);
        fr = fr + std::sqrt(fa) + std::pow(fa, fb);
        EXPECT_EQ(r.value(), fr);
        const OpCount& n = scope.counts();
        EXPECT_EQ(n.add, 7u);
        EXPECT_EQ(n.mul, 1u);
        EXPECT_EQ(n.div, 1u);
        EXPECT_EQ(n.merge, 4u);
        EXPECT_EQ(n.sqrt, 1u);
        EXPECT_EQ(n.exp, 1u);
        EXPECT_EQ(n.total(), 15u);
        {
            OpCountScope inner; // hides its operations from the outer scope
            (void)(a + b);
            EXPECT_EQ(inner.counts().add, 1u);
        }
        EXPECT_EQ(scope.counts().add, 7u);
    }

    // kpow answers a base of 1 without the library call; the answer must be
    // the library's for every exponent, NaN and infinities included.
    TEST(KernelMath, PowerOfOneIsTheLibrarysAnswer)
    {
        const double inf = std::numeric_limits<double>::infinity(), nan = std::nan("");
        for (const double y : { 0.0, -0.0, 1.0 / 7.0, -2.5, 1e30, inf, -inf, nan }) {
            EXPECT_EQ(std::bit_cast<std::uint64_t>(kernels::kpow(1.0, y)),
                std::bit_cast<std::uint64_t>(std::pow(1.0, y)))
                << y;
            const float f = static_cast<float>(y);
            EXPECT_EQ(std::bit_cast<std::uint32_t>(kernels::kpow(1.0f, f)),
                std::bit_cast<std::uint32_t>(std::pow(1.0f, f)))
                << y;
        }
    }

    TEST(Counted, CountersWrapInsteadOfOverflowing)
    {
        KLong c[8] = { 2147483000, 0, 0, 0, 0, 0, 0, 0 };
        OpCount n;
        n.add = 1000;
        kernels::addToCounters(c, n);
        EXPECT_EQ(c[0], static_cast<KLong>(2147483000u + 1000u));
        EXPECT_EQ(c[1], 1000);
    }

    // The strips the comparison runs on: between them every block of the
    // kernels runs, shocks and fans of the exact solver, the two-rarefaction
    // and two-shock guesses, vacuum generation and the floors.
    struct CountCase {
        const char* name;
        Primitive left, right;
    };
    const CountCase kCountCases[] = {
        { "shock tube", { 1.0, 1.0, 0.75, 0.3 }, { 0.125, 0.1, 0.0, -1.0 } },
        { "two rarefactions", { 1.0, 0.4, -2.0, 0 }, { 1.0, 0.4, 2.0, 0 } },
        { "colliding cold flows", { 1.0, 1e-6, 1.0, 0 }, { 1.0, 1e-6, -1.0, 0 } },
        { "vacuum generated", { 1.0, 0.1, -5.0, 0 }, { 0.5, 0.1, 5.0, 0 } },
        { "at the floors", { 1e-8, 1e-8, -3.0, 0 }, { 2.0, 5.0, 3.0, 0 } },
        { "strong blast", { 1.0, 1000.0, -19.59745, 0 }, { 1.0, 0.01, -19.59745, 0 } },
    };

    // A case on a grid of n cells with b ghost cells, the smoke (and a
    // two-fluid scheme's fluid 2) on the right.
    Grid countGrid(const SchemeInfo& row, const CountCase& cc, int n = 24, int b = 6)
    {
        Grid g = Grid::uniform(n, 0.0, 1.0, b);
        g.setTwoStates(cc.left, cc.right, 0.5);
        for (int i = 1 - b; i <= n + b; ++i)
            g.at(g.smoke, i) = g.centre(i) > 0.5 ? 1.0 : 0.0;
        prepareFor(row, g);
        return g;
    }

    // What a call adds to the Counters is what the scheme's counting run of the
    // same strip executes, and the counting run computes the same results.
    template <class Real> void expectCountsMatch(const SchemeInfo& row, OneStrip<Real> c, KLong preloaded)
    {
        KLong counters[8] = { preloaded, preloaded, 0, 0, 0, 0, 0, 0 }; // counters accumulate
        Real courant = 0;
        const kernels::StripArgs<Real> run = c.call(row, courant, counters);
        ASSERT_FALSE(std::isnan(courant));
        const auto results = resultsOf(row, c, run);

        Real countedCourant = 0;
        const kernels::StripArgs<Real> counting = c.pack(row, &countedCourant, nullptr);
        const OpCount counted = row.entry<Real>().count(counting);
        EXPECT_GT(counted.total(), 0u);
        const std::uint64_t kinds[8] = { counted.total(), counted.add, counted.mul, counted.div, counted.merge,
            counted.sqrt, counted.sqrt2, counted.exp };
        for (int k = 0; k < 8; ++k)
            EXPECT_EQ(static_cast<std::uint32_t>(counters[k]),
                static_cast<std::uint32_t>(kinds[k] + (k < 2 ? static_cast<std::uint64_t>(preloaded) : 0)))
                << "counter " << k + 1;
        EXPECT_EQ(countedCourant, courant);
        const auto countedResults = resultsOf(row, c, counting);
        for (std::size_t q = 0; q < results.size(); ++q)
            EXPECT_TRUE(sameBits(countedResults[q], results[q])) << "result " << q;
    }

    class OpCounts : public ::testing::TestWithParam<SchemeInfo> { };

    TEST_P(OpCounts, CountersAreWhatTheCountingRunExecutes)
    {
        const SchemeInfo row = GetParam();
        withPrecision(row, [&]<class Real>() {
            for (const CountCase& cc : kCountCases) {
                SCOPED_TRACE(cc.name);
                Grid g = countGrid(row, cc);
                expectCountsMatch(row, wholeGridStrip<Real>(row, g, 0.7), 0);
            }
            // A long tube: whole blocks of it lie in uniform gas, which
            // kernels may pass through more cheaply.
            Grid wide = countGrid(row, kCountCases[0], 90);
            expectCountsMatch(row, wholeGridStrip<Real>(row, wide, 0.7), 0);
            // A short strip inside a grid, and the fewest ghost cells the
            // scheme reads.
            Grid g = countGrid(row, kCountCases[0], 60);
            GridRun d(row);
            d.fillGhosts(g);
            expectCountsMatch(row, OneStrip<Real>(g, 17, 23, {}, d.stableDt(g, 0.7)), 5);
            Grid narrow = countGrid(row, kCountCases[0], 30, row.ghostCells);
            GridRun dn(row);
            dn.fillGhosts(narrow);
            expectCountsMatch(row, OneStrip<Real>(narrow, 0, 30, {}, dn.stableDt(narrow, 0.7)), 5);
        });
    }

    INSTANTIATE_TEST_SUITE_P(Kernels, OpCounts, ::testing::ValuesIn(kernelRows()), rowName);

    // The cases run every block of the Sorvi and Lentor32 tallies, so the
    // comparison above checks each block's cost.
    template <class Tally, class Run> void expectEveryBlockRuns(const SchemeInfo& row, Run run)
    {
        std::vector<std::uint64_t> hits;
        for (const CountCase& cc : kCountCases) {
            Grid g = countGrid(row, cc);
            OneStrip<float> c = wholeGridStrip<float>(row, g, 0.7);
            float courant = 0;
            const kernels::StripArgs<float> a = c.pack(row, &courant, nullptr);
            const auto& k = *a.k;
            const kernels::StripIO<float> io = kernels::unpackStrip(a.x, a.rho, a.p, a.vx, a.vy, a.smoke,
                a.out[kernels::kRhoNew], a.out[kernels::kPNew], a.out[kernels::kVXNew], a.out[kernels::kVYNew],
                a.out[kernels::kSmokeNew], &k.dt, &k.gamma, &k.rhoFloor, &k.kernelFloor, &k.pFloor, &a.L, &a.B);
            Tally tally;
            run(io, a.work, tally);
            hits.resize(tally.hits.size());
            for (std::size_t b = 0; b < hits.size(); ++b)
                hits[b] += tally.hits[b];
        }
        for (std::size_t b = 0; b < hits.size(); ++b)
            EXPECT_GT(hits[b], 0u) << "block " << b << " never ran: the cases miss a path";
    }

    TEST(OpCountCases, RunEveryBlockOfSorviAndLentor)
    {
        expectEveryBlockRuns<kernels::sorvi::Tally>(
            schemeRow("Sorvi"), [](const kernels::StripIO<float>& io, float* work, kernels::sorvi::Tally& t) {
                (void)kernels::sorvi::runStrip<float>(io, work, t);
            });
        expectEveryBlockRuns<kernels::lentor::Tally>(
            schemeRow("Lentor32"), [](const kernels::StripIO<float>& io, float* work, kernels::lentor::Tally& t) {
                (void)kernels::lentor::runStrip<float>(io, work, t);
            });
    }

    // The exact solver's Newton iteration takes more steps for harder problems,
    // and Sorvi's counts follow: they are not a constant per cell.
    TEST(OpCounts, SorviCountsGrowWithTheWorkOfTheExactSolver)
    {
        auto perCell = [](const Primitive& l, const Primitive& r) {
            Grid g = Grid::uniform(20);
            g.setTwoStates(l, r, 0.5);
            OneStrip<float> c = wholeGridStrip<float>(schemeRow("Sorvi"), g, 0.5);
            KLong counters[8] = {};
            float courant = 0;
            c.call(schemeRow("Sorvi"), courant, counters);
            return counters[0];
        };
        const KLong uniform = perCell({ 1, 1, 0, 0 }, { 1, 1, 0, 0 });
        const KLong blast = perCell({ 1, 1000, 0, 0 }, { 1, 0.01, 0, 0 });
        EXPECT_GT(blast, uniform);
    }

} // namespace
} // namespace tamrel::testing
