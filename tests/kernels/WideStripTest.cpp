// SPDX-License-Identifier: GPL-3.0-or-later
// LENTOR32 and SORVI run copies of their strip bodies shaped for the vector
// units; the template bodies stay the reference (and the counting run). The
// copies, each copy built for the vector units that this processor runs
// (common/VectorCopies.h), must give the reference's bits in every result,
// the same Courant number and the same block tally, on the lab's eight tests and a sound wave,
// at several times of each run, so that jumps, fans, contacts, floors and
// smooth flow all pass through the strips. Strip lengths are no multiple of
// a vector and one is shorter than a vector, so the loops' remainders run.

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <string>
#include <vector>

#include "common/VectorCopies.h"
#include "kernels/GridRun.h"
#include "kernels/KernelRows.h"
#include "kernels/ShockTubeCases.h"
#include "kernels/SimpleWave.h"
#include "kernels/lentor/LentorKernel.h"
#include "kernels/sorvi/SorviKernel.h"

namespace tamrel::testing {
namespace {

    using kernels::StripIO;

    struct WideCase {
        std::string name;
        Grid grid;
        Boundary boundary;
        double tStop;
    };

    // The eight tests with smoke on the right of the jump, and a sound wave of
    // amplitude 1e-3 on a periodic grid.
    std::vector<WideCase> wideCases(int n)
    {
        std::vector<WideCase> cases;
        for (const ShockTube& t : shockTubes()) {
            Grid g = shockTubeGrid(t, n);
            for (int i = 1 - g.b; i <= n + g.b; ++i)
                g.at(g.smoke, i) = g.centre(i) < t.xJump ? 0.0 : 1.0;
            cases.push_back({ "Test " + std::to_string(t.number), g, Boundary::Outflow, t.tStop });
        }
        SimpleWave wave;
        wave.eps = 1e-3;
        cases.push_back({ "sound wave", wave.grid(n), Boundary::Periodic, 0.5 });
        return cases;
    }

    // Both bodies on one strip (cells s+1 .. s+len of g): results, Courant
    // number and tallies compared bit for bit.
    template <class Tally, class Reference, class Wide>
    void expectSameStrip(const Grid& g, long s, long len, const KernelConstants& c, double dt,
        long (*scratch)(long), Reference reference, Wide wide, const std::string& where)
    {
        OneStrip<float> strip(g, s, len, c, dt);
        const long L = strip.L, B = strip.B, cells = L + 2 * B;
        std::vector<float> out[2][5];
        for (auto& side : out)
            for (auto& v : side)
                v.assign(static_cast<std::size_t>(cells), -7.0f);
        std::vector<float> work(static_cast<std::size_t>(scratch(L)));
        const kernels::KernelScalars<float>& k = strip.k;
        const KLong kl = L, kb = B;
        float courant[2];
        Tally tally[2];
        for (int w = 0; w < 2; ++w) {
            auto& o = out[w];
            const StripIO<float> io = kernels::unpackStrip(strip.x.data(), strip.rho.data(), strip.p.data(),
                strip.vx.data(), strip.vy.data(), strip.smoke.data(), o[0].data(), o[1].data(), o[2].data(),
                o[3].data(), o[4].data(), &k.dt, &k.gamma, &k.rhoFloor, &k.kernelFloor, &k.pFloor, &kl, &kb);
            courant[w] = w == 0 ? reference(io, work.data(), tally[w]) : wide(io, work.data(), tally[w]);
        }
        ASSERT_EQ(std::bit_cast<std::uint32_t>(courant[0]), std::bit_cast<std::uint32_t>(courant[1])) << where;
        ASSERT_EQ(tally[0].hits, tally[1].hits) << where;
        for (int q = 0; q < 5; ++q)
            for (long e = 0; e < cells; ++e)
                ASSERT_EQ(std::bit_cast<std::uint32_t>(out[0][q][static_cast<std::size_t>(e)]),
                    std::bit_cast<std::uint32_t>(out[1][q][static_cast<std::size_t>(e)]))
                    << where << ", result " << q << ", cell " << e + 1 - B;
    }

    // Each case run by the scheme itself, both bodies compared on the whole
    // grid as one strip and on a short strip at its middle, at the start and
    // after each quarter of the run.
    template <class Tally, class Reference, class Wide>
    void expectCopyEqualsReference(const char* scheme, long (*scratch)(long), Reference reference, Wide wide)
    {
        const KernelConstants c;
        for (WideCase& wc : wideCases(203)) {
            GridRun run(schemeRow(scheme), c, wc.boundary);
            Grid& g = wc.grid;
            for (int quarter = 0; quarter < 4; ++quarter) {
                if (quarter > 0) {
                    ASSERT_FALSE(run.run(g, 0.8, wc.tStop / 4).fault) << wc.name;
                }
                run.fillGhosts(g);
                const double dt = run.stableDt(g, 0.8);
                const std::string where
                    = std::string(scheme) + ", " + wc.name + ", quarter " + std::to_string(quarter);
                expectSameStrip<Tally>(g, 0, g.n, c, dt, scratch, reference, wide, where);
                expectSameStrip<Tally>(
                    g, g.n / 2 - 3, 5, c, dt, scratch, reference, wide, where + ", short strip");
            }
        }
    }

    // The widest copy again when a test ends.
    struct CopyChoice {
        explicit CopyChoice(VectorCopy copy) { chooseVectorCopy(copy); }
        ~CopyChoice() { resetVectorCopy(); }
        CopyChoice(const CopyChoice&) = delete;
        CopyChoice& operator=(const CopyChoice&) = delete;
    };

    // The same with each copy of the wide body the processor runs.
    template <class Tally, class Reference, class Wide>
    void expectWideEqualsReference(const char* scheme, long (*scratch)(long), Reference reference, Wide wide)
    {
        for (VectorCopy copy : { VectorCopy::Avx512, VectorCopy::Avx2, VectorCopy::Baseline }) {
            if (!processorRuns(copy))
                continue;
            SCOPED_TRACE("copy " + std::to_string(static_cast<int>(copy)));
            const CopyChoice choice(copy);
            expectCopyEqualsReference<Tally>(scheme, scratch, reference, wide);
            if (::testing::Test::HasFatalFailure())
                return;
        }
    }

    TEST(WideStrip, Lentor32GivesTheReferenceBits)
    {
        using namespace kernels::lentor;
        expectWideEqualsReference<Tally>(
            "Lentor32", &kernels::lentor::scratchSize<float>,
            [](const StripIO<float>& io, float* work, Tally& t) { return runStrip<float>(io, work, t); },
            [](const StripIO<float>& io, float* work, Tally& t) { return runStripWidest(io, work, t); });
    }

    TEST(WideStrip, SorviGivesTheReferenceBits)
    {
        using namespace kernels::sorvi;
        expectWideEqualsReference<Tally>(
            "Sorvi", &kernels::sorvi::scratchSize<float>,
            [](const StripIO<float>& io, float* work, Tally& t) { return runStrip<float>(io, work, t); },
            [](const StripIO<float>& io, float* work, Tally& t) { return runStripWidest(io, work, t); });
    }

} // namespace
} // namespace tamrel::testing
