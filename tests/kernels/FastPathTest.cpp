// SPDX-License-Identifier: GPL-3.0-or-later
// Every scheme's fast paths give the bits of its plain path. The plain path is
// the baseline copy of the strip update with the uniform-gas shortcut off:
// every cell reconstructed, every interface solved. The fast paths are each
// copy built for the vector units that this processor runs
// (common/VectorCopies.h), with the shortcut off and on. Each scheme runs the
// lab's eight tests (smoke on the right of the jump, which the two-fluid
// scheme takes as fluid 2 of another gamma and density), a front of smoke
// and shear carried by uniform gas, and a sound wave, a few dozen steps on a grid of several strips, through the
// program's own time step; the grids must agree to the last bit, and so must the largest Courant number. Copies at
// one setting of the shortcut do the same work, so their operation counters must agree as well.

#include <gtest/gtest.h>

#include <bit>
#include <cstdint>
#include <cstring>
#include <string>
#include <vector>

#include "common/VectorCopies.h"
#include "kernels/GridRun.h"
#include "kernels/KernelRows.h"
#include "kernels/ShockTubeCases.h"
#include "kernels/SimpleWave.h"
#include "kernels/common/UniformShortcut.h"

namespace tamrel::testing {
namespace {

    constexpr int kCells = 250; // two and a half double strips, a float strip and a part
    constexpr long kSteps = 30;

    struct FastCase {
        std::string name;
        Grid grid;
        Boundary boundary;
        double tStop;
    };

    std::vector<FastCase> fastCases(const kernels::SchemeInfo& row)
    {
        std::vector<FastCase> cases;
        for (const ShockTube& t : shockTubes()) {
            Grid g = shockTubeGrid(t, kCells);
            for (int i = 1 - g.b; i <= kCells + g.b; ++i)
                g.at(g.smoke, i) = g.centre(i) < t.xJump ? 0.0 : 1.0;
            prepareFor(row, g, 2.0);
            cases.push_back({ "Test " + std::to_string(t.number), g, Boundary::Outflow, t.tStop });
        }
        // A front of smoke and shear carried by uniform gas: the interfaces
        // at the front see one density, velocity and pressure on both
        // sides, so the shortcut must take the passive scalars from upwind.
        for (double u : { -0.5, 0.5 }) {
            Grid g = Grid::uniform(kCells);
            for (int i = 1 - g.b; i <= kCells + g.b; ++i) {
                const bool right = g.centre(i) >= 0.5;
                g.set(i, { 1.0, 1.0, u, right ? 1.0 : 0.0 });
                g.at(g.smoke, i) = right ? 1.0 : 0.0;
            }
            prepareFor(row, g, 2.0);
            cases.push_back(
                { u < 0 ? "front, flow to the left" : "front, flow to the right", g, Boundary::Outflow, 0.4 });
        }
        SimpleWave wave;
        wave.eps = 1e-3;
        Grid g = wave.grid(kCells);
        prepareFor(row, g, 2.0);
        cases.push_back({ "sound wave", g, Boundary::Periodic, 0.5 });
        return cases;
    }

    struct Path {
        VectorCopy copy;
        bool shortcut;
    };

    std::string pathName(const Path& p)
    {
        const char* copy = p.copy == VectorCopy::Avx512 ? "AVX-512"
            : p.copy == VectorCopy::Avx2                ? "AVX2"
                                                        : "baseline";
        return std::string(copy) + (p.shortcut ? " copy, shortcut on" : " copy, shortcut off");
    }

    // The copy and the shortcut return to their defaults when a test ends.
    struct PathChoice {
        explicit PathChoice(const Path& p)
        {
            chooseVectorCopy(p.copy);
            kernels::setUniformShortcut(p.shortcut);
        }
        ~PathChoice()
        {
            resetVectorCopy();
            kernels::setUniformShortcut(true);
        }
        PathChoice(const PathChoice&) = delete;
        PathChoice& operator=(const PathChoice&) = delete;
    };

    struct Outcome {
        Grid grid;
        RunStats stats;
    };

    Outcome runOn(const kernels::SchemeInfo& row, const FastCase& fc, const Path& path)
    {
        const PathChoice choice(path);
        KernelConstants k;
        k.gamma2 = 1.67;
        Outcome o { fc.grid, {} };
        GridRun run(row, k, fc.boundary);
        o.stats = run.run(o.grid, 0.8, fc.tStop, kSteps);
        return o;
    }

    // The first field and cell where two grids differ in a bit, or "".
    std::string firstDifference(const Grid& a, const Grid& b)
    {
        const std::vector<double>* fieldsA[] = { &a.rho, &a.p, &a.vx, &a.vy, &a.smoke };
        const std::vector<double>* fieldsB[] = { &b.rho, &b.p, &b.vx, &b.vy, &b.smoke };
        const char* names[] = { "rho", "p", "vx", "vy", "smoke" };
        auto compare = [&](const std::vector<double>& x, const std::vector<double>& y, const std::string& name) {
            for (std::size_t e = 0; e < x.size(); ++e)
                if (std::bit_cast<std::uint64_t>(x[e]) != std::bit_cast<std::uint64_t>(y[e]))
                    return name + " at cell " + std::to_string(static_cast<long>(e) + 1 - a.b);
            return std::string();
        };
        for (int q = 0; q < 5; ++q)
            if (std::string d = compare(*fieldsA[q], *fieldsB[q], names[q]); !d.empty())
                return d;
        for (std::size_t q = 0; q < a.fluid.size(); ++q)
            if (std::string d = compare(a.fluid[q], b.fluid[q], "fluid array " + std::to_string(q)); !d.empty())
                return d;
        return {};
    }

    class FastPath : public ::testing::TestWithParam<kernels::SchemeInfo> { };

    TEST_P(FastPath, EveryCopyAndTheShortcutGiveThePlainBits)
    {
        const kernels::SchemeInfo& row = GetParam();
        const Path plain { VectorCopy::Baseline, false };
        for (const FastCase& fc : fastCases(row)) {
            const Outcome reference = runOn(row, fc, plain);
            ASSERT_FALSE(reference.stats.fault) << fc.name;
            ASSERT_EQ(reference.stats.steps, kSteps) << fc.name;
            for (bool shortcut : { false, true }) {
                const Outcome baseline = runOn(row, fc, { VectorCopy::Baseline, shortcut });
                for (VectorCopy copy : { VectorCopy::Baseline, VectorCopy::Avx2, VectorCopy::Avx512 }) {
                    if (!processorRuns(copy))
                        continue;
                    const Path path { copy, shortcut };
                    const Outcome o = runOn(row, fc, path);
                    const std::string where = fc.name + ", " + pathName(path);
                    EXPECT_EQ(firstDifference(reference.grid, o.grid), "") << where;
                    EXPECT_EQ(std::bit_cast<std::uint64_t>(reference.stats.maxCourant),
                        std::bit_cast<std::uint64_t>(o.stats.maxCourant))
                        << where;
                    EXPECT_EQ(o.stats.steps, kSteps) << where;
                    EXPECT_EQ(baseline.stats.counters, o.stats.counters) << where;
                }
            }
        }
    }

    INSTANTIATE_TEST_SUITE_P(Schemes, FastPath,
        ::testing::ValuesIn(kernels::allSchemes().begin(), kernels::allSchemes().end()), rowName);

    // The shortcut must have work to skip in these runs, or the test above
    // would hold nothing to the plain path: the shock tubes' uniform gas
    // ahead of the waves lets each PPM scheme skip or copy work.
    TEST(FastPathCases, TheShortcutSkipsWorkOnTheShockTubes)
    {
        for (const char* scheme : { "Orvane", "Mixtal32" }) {
            const kernels::SchemeInfo& row = schemeRow(scheme);
            const FastCase fc = fastCases(row).front();
            const Outcome off = runOn(row, fc, { VectorCopy::Baseline, false });
            const Outcome on = runOn(row, fc, { VectorCopy::Baseline, true });
            EXPECT_NE(off.stats.counters, on.stats.counters) << scheme;
        }
    }

} // namespace
} // namespace tamrel::testing
