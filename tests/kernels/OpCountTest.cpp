// Operation counts: the counting type counts what it should, and each
// kernel reports in its Counters exactly what a counting run of the same
// strip executes, on every code path (shocks, fans, vacuum, floors).

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

#include "kernels/KernelRows.h"
#include "kernels/ShockTubeCases.h"
#include "kernels/lentor/LentorKernel.h"
#include "kernels/opcount/Counted.h"
#include "kernels/sorvi/SorviKernel.h"

namespace tamrel::testing {
namespace {

    using kernels::Counted;
    using kernels::KLong;
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

    TEST(Counted, CountersWrapInsteadOfOverflowing)
    {
        KLong c[8] = { 2147483000, 0, 0, 0, 0, 0, 0, 0 };
        OpCount n;
        n.add = 1000;
        kernels::addToCounters(c, n);
        EXPECT_EQ(c[0], static_cast<KLong>(2147483000u + 1000u));
        EXPECT_EQ(c[1], 1000);
    }

    // The strips the comparison runs on: between them every block of both
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

    struct CountingRun {
        OpCount counted, tallied;
        std::vector<std::uint64_t> hits; // per block
    };

    template <class Body> void expectCountsMatch(const kernels::SchemeInfo& row, Body countingRun)
    {
        std::vector<std::uint64_t> hits;
        for (const CountCase& cc : kCountCases) {
            SCOPED_TRACE(cc.name);
            Grid g = Grid::uniform(24);
            g.setTwoStates(cc.left, cc.right, 0.5);
            StripCall<float> c = wholeGridStrip(g, 0.7);
            KLong counters[8] = {};
            float courant = 0;
            c.call(row, courant, counters);
            ASSERT_FALSE(std::isnan(courant));

            StripCall<float> copy = c;
            const CountingRun run = countingRun(copy);
            const OpCount& counted = run.counted;
            EXPECT_EQ(run.tallied, counted) << "the block costs times the hits are the operations run";
            hits.resize(run.hits.size());
            for (std::size_t b = 0; b < hits.size(); ++b)
                hits[b] += run.hits[b];
            const std::uint64_t kinds[8] = { counted.total(), counted.add, counted.mul, counted.div, counted.merge,
                counted.sqrt, counted.sqrt2, counted.exp };
            for (int k = 0; k < 8; ++k)
                EXPECT_EQ(static_cast<std::uint64_t>(counters[k]), kinds[k]) << "counter " << k + 1;
            EXPECT_EQ(counters[0],
                counters[1] + counters[2] + counters[3] + counters[4] + counters[5] + counters[6] + counters[7]);
            // The counting run computed the same results.
            EXPECT_TRUE(sameBits(copy.rhoNew, c.rhoNew));
            EXPECT_TRUE(sameBits(copy.pNew, c.pNew));
            EXPECT_TRUE(sameBits(copy.vyNew, c.vyNew));
        }
        for (std::size_t b = 0; b < hits.size(); ++b)
            EXPECT_GT(hits[b], 0u) << "block " << b << " never ran: the cases miss a path";
    }

    TEST(OpCounts, SorviReportsWhatACountingRunExecutes)
    {
        expectCountsMatch(sorviRow(), [](StripCall<float>& c) {
            using C = Counted<float>;
            kernels::sorvi::Tally tally;
            OpCountScope scope;
            C* work = kernels::threadScratch<C>(static_cast<std::size_t>(kernels::sorvi::scratchSize(c.L)));
            kernels::sorvi::runStrip<C>(stripIO(c), work, tally);
            return CountingRun { scope.counts(), tally.ops(kernels::sorvi::blockCosts()),
                { tally.hits.begin(), tally.hits.end() } };
        });
    }

    TEST(OpCounts, LentorReportsWhatACountingRunExecutes)
    {
        expectCountsMatch(lentorRow(), [](StripCall<float>& c) {
            using C = Counted<float>;
            kernels::lentor::Tally tally;
            OpCountScope scope;
            C* work = kernels::threadScratch<C>(static_cast<std::size_t>(kernels::lentor::scratchSize(c.L)));
            kernels::lentor::runStrip<C>(stripIO(c), work, tally);
            return CountingRun { scope.counts(), tally.ops(kernels::lentor::blockCosts()),
                { tally.hits.begin(), tally.hits.end() } };
        });
    }

    // The exact solver's Newton iteration takes more steps for harder problems,
    // and Sorvi's counts follow: they are not a constant per cell.
    TEST(OpCounts, SorviCountsGrowWithTheWorkOfTheExactSolver)
    {
        auto perCell = [](const Primitive& l, const Primitive& r) {
            Grid g = Grid::uniform(20);
            g.setTwoStates(l, r, 0.5);
            StripCall<float> c = wholeGridStrip(g, 0.5);
            KLong counters[8] = {};
            float courant = 0;
            c.call(sorviRow(), courant, counters);
            return counters[0];
        };
        const KLong uniform = perCell({ 1, 1, 0, 0 }, { 1, 1, 0, 0 });
        const KLong blast = perCell({ 1, 1000, 0, 0 }, { 1, 0.01, 0, 0 });
        EXPECT_GT(blast, uniform);
    }

} // namespace
} // namespace tamrel::testing
