// SPDX-License-Identifier: GPL-3.0-or-later
// The two-fluid kernel MIXTAL: a fluid-2 slab carried around a periodic
// grid stays sharp, bounded and conserved, with pressure and velocity
// uniform when the fluids differ; with one fluid it matches the PPM kernel.

#include <gtest/gtest.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

#include "PpmTestSupport.h"
#include "kernels/KernelRows.h"

namespace {

using namespace tamrel::testing;
namespace kernels = tamrel::kernels;

const SchemeInfo& mixtalRow()
{
    return schemeRow("Mixtal32");
}

// 100 cells at rho 1, p 1, u 1; cells 26..75 hold fluid 2 (density ratio2).
Grid slabGrid(double ratio2)
{
    Grid g = Grid::uniform(100);
    for (int i = 1 - g.b; i <= g.n + g.b; ++i) {
        const bool inside = i >= 26 && i <= 75;
        g.set(i, { inside ? ratio2 : 1.0, 1.0, 1.0, 0.0 });
        g.at(g.fluid[kRho1], i) = 1.0;
        g.at(g.fluid[kRho2], i) = ratio2;
        g.at(g.fluid[kP1], i) = 1.0;
        g.at(g.fluid[kP2], i) = 1.0;
        g.at(g.fluid[kF], i) = inside ? 1.0 : 0.0;
        g.at(g.fluid[kFXX], i) = inside ? 1.0 / 12 : 0.0;
        g.at(g.fluid[kFYY], i) = inside ? 1.0 / 12 : 0.0;
        g.at(g.smoke, i) = g.at(g.fluid[kF], i);
    }
    return g;
}

double fluid2Volume(const Grid& g)
{
    double v = 0;
    for (int i = 1; i <= g.n; ++i)
        v += g.at(g.fluid[kF], i) * g.dx(i);
    return v;
}

struct SlabCase {
    const char* name;
    double gamma2, ratio2;
};

class MixtalSlab : public ::testing::TestWithParam<SlabCase> { };

TEST_P(MixtalSlab, CarriedOnceAroundStaysSharpBoundedAndConserved)
{
    const SlabCase sc = GetParam();
    KernelConstants k;
    k.gamma2 = sc.gamma2;
    k.rhoRatio2 = sc.ratio2;
    Grid g = slabGrid(sc.ratio2);
    const double v0 = fluid2Volume(g);
    GridRun d(mixtalRow(), k, Boundary::Periodic);
    const RunStats st = d.run(g, 0.8, 1.0); // u = 1 on a unit domain: once around
    ASSERT_FALSE(st.fault);
    EXPECT_NEAR(fluid2Volume(g), v0, 1e-6 * v0);
    int mixed = 0;
    for (int i = 1; i <= g.n; ++i) {
        const double f = g.at(g.fluid[kF], i);
        EXPECT_GE(f, 0.0);
        EXPECT_LE(f, 1.0);
        // Each interface (back at x = 0.25 and 0.75) lies within one cell.
        const double x = g.centre(i);
        if (x < 0.235 || x > 0.765 || (x > 0.265 && x < 0.735)) {
            EXPECT_NEAR(f, (x > 0.25 && x < 0.75) ? 1.0 : 0.0, 1e-5) << "cell " << i;
        }
        if (f > 1e-5 && f < 1 - 1e-5)
            ++mixed;
        EXPECT_NEAR(g.at(g.smoke, i), f, 0.0);
        EXPECT_NEAR(g.at(g.fluid[kFYY], i), f / 12, 1e-7);
        // Pressure and velocity stay uniform across the interfaces.
        EXPECT_NEAR(g.at(g.p, i), 1.0, 0.01) << "cell " << i;
        EXPECT_NEAR(g.at(g.vx, i), 1.0, 0.01) << "cell " << i;
        EXPECT_NEAR(g.at(g.fluid[kP1], i), g.at(g.p, i), 1e-6);
        // The mixture density is made of the fluid densities.
        const double mix = f * g.at(g.fluid[kRho2], i) + (1 - f) * g.at(g.fluid[kRho1], i);
        EXPECT_NEAR(g.at(g.rho, i), mix, 1e-4 * mix) << "cell " << i;
    }
    EXPECT_LE(mixed, 2);
}

INSTANTIATE_TEST_SUITE_P(Fluids, MixtalSlab,
    ::testing::Values(SlabCase { "same gas", 1.4, 1.0 }, SlabCase { "gamma 1.67, twice as dense", 1.67, 2.0 }),
    [](const auto& info) { return info.index == 0 ? std::string("SameGas") : std::string("DifferentGas"); });

TEST(Mixtal, OneFluidTest1MatchesThePpmKernel)
{
    const SchemeInfo& o32 = schemeRow("Orvane32");
    const ShockTube& tube = shockTube(1);
    Grid g = shockTubeGrid(tube, 400);
    for (int i = 1 - g.b; i <= g.n + g.b; ++i) {
        g.at(g.fluid[kRho1], i) = g.at(g.rho, i);
        g.at(g.fluid[kRho2], i) = g.at(g.rho, i);
        g.at(g.fluid[kP1], i) = g.at(g.p, i);
        g.at(g.fluid[kP2], i) = g.at(g.p, i);
    }
    GridRun d(mixtalRow(), {}, Boundary::Outflow);
    const RunStats st = d.run(g, 0.8, tube.tStop);
    ASSERT_FALSE(st.fault);
    const double mix = l1Density(g, exactDensity(g, tube, tube.tStop));
    const double ppm = shockTubeL1(o32, 1);
    EXPECT_NEAR(mix, ppm, 0.10 * ppm);
    EXPECT_GT(st.counters[0], 0);
    EXPECT_EQ(st.counters[0],
        st.counters[1] + st.counters[2] + st.counters[3] + st.counters[4] + st.counters[5] + st.counters[6]
            + st.counters[7]);
    for (int i = 1; i <= g.n; ++i)
        EXPECT_EQ(g.at(g.fluid[kF], i), 0.0);
}

// Uniform gas around a disturbance: a slab of a denser fluid 2 of another
// gamma with mixed cells at its edges, a pressure blip beside it, VY through
// -0, and a slab of fluid 2 as dense as fluid 1, whose edges only gamma
// marks, on cells of three widths (each a sum of powers of two, so that every
// edge and width is exact). Most blocks of the strip lie in uniform gas of
// one fluid, which the kernel passes through without reconstructing,
// solving, forming the expansion flux or updating each cell on its own, in
// cells of every width. Moved by s cells around the periodic grid, widths
// and all, the blocks begin at other cells of the disturbance; the new state
// must move with it, to the last bit, whether the gas moves or rests.
class MixtalUniformGas : public ::testing::TestWithParam<double> { };

TEST_P(MixtalUniformGas, GivesTheSameBitsWhereverTheDisturbanceLies)
{
    const double u = GetParam();
    KernelConstants k;
    k.gamma2 = 1.67;
    k.rhoRatio2 = 3.0;
    auto widthOf = [](int j) { return (j % 3 == 0 ? 1.25 : (j % 3 == 1 ? 0.75 : 1.0)) / 256; };
    auto disturbed = [&](int s) {
        Grid g = Grid::uniform(240, 0.0, 240.0 / 256);
        auto was = [&](int i) { return ((i - 1 - s) % g.n + g.n) % g.n + 1; }; // the cell before the move
        g.at(g.x, 1 - g.b) = 0;
        for (int i = 1 - g.b; i <= g.n + g.b; ++i)
            g.at(g.x, i + 1) = g.at(g.x, i) + widthOf(was(i));
        for (int i = 1 - g.b; i <= g.n + g.b; ++i) {
            const int j = was(i);
            const bool inside = j >= 101 && j <= 150;
            const bool light = j >= 196 && j <= 215; // fluid 2 as dense as fluid 1: only gamma changes
            const double f = j == 100 ? 0.25 : (j == 151 ? 0.6 : (inside || light ? 1.0 : 0.0));
            const double fx = j == 100 ? 0.5 * 0.25 * 0.75 : (j == 151 ? -0.5 * 0.6 * 0.4 : 0.0);
            const double rho2 = light ? 1.0 : 3.0;
            const double rho = (1 - f) * 1.0 + f * rho2;
            const bool blip = j >= 170 && j <= 172; // a squeezed pocket of gas: a shock forms at either side
            g.set(i, { rho, blip ? 2.0 : 1.0, blip ? u - 0.5 : u, j < 125 ? -0.0 : 0.0 });
            g.at(g.fluid[kRho1], i) = 1.0;
            g.at(g.fluid[kRho2], i) = rho2;
            g.at(g.fluid[kP1], i) = g.at(g.p, i);
            g.at(g.fluid[kP2], i) = g.at(g.p, i);
            g.at(g.fluid[kF], i) = f;
            g.at(g.fluid[kFX], i) = fx;
            g.at(g.fluid[kFXX], i) = f >= 1 ? 1.0 / 12 : 0.0;
            g.at(g.fluid[kFYY], i) = f / 12;
            g.at(g.smoke, i) = f;
        }
        return g;
    };
    Grid ref = disturbed(0);
    GridRun first(mixtalRow(), k, Boundary::Periodic);
    const double dt = first.stableDt(ref, 0.8);
    ASSERT_TRUE(first.attempt(ref, dt).accepted);
    for (int s = 1; s <= 17; ++s) {
        SCOPED_TRACE(s);
        Grid g = disturbed(s);
        GridRun d(mixtalRow(), k, Boundary::Periodic);
        ASSERT_TRUE(d.attempt(g, dt).accepted);
        std::vector<std::vector<double>*> moved { &g.rho, &g.p, &g.vx, &g.vy, &g.smoke };
        std::vector<const std::vector<double>*> was { &ref.rho, &ref.p, &ref.vx, &ref.vy, &ref.smoke };
        for (int q = 0; q < kernels::kFluidArrays; ++q) {
            moved.push_back(&g.fluid[static_cast<std::size_t>(q)]);
            was.push_back(&ref.fluid[static_cast<std::size_t>(q)]);
        }
        for (std::size_t q = 0; q < moved.size(); ++q)
            for (int i = 1; i <= g.n; ++i) {
                const int j = (i - 1 + s) % g.n + 1;
                ASSERT_EQ(std::bit_cast<std::uint64_t>(g.at(*moved[q], j)),
                    std::bit_cast<std::uint64_t>(ref.at(*was[q], i)))
                    << "array " << q << ", cell " << i;
            }
    }
}

INSTANTIATE_TEST_SUITE_P(Flows, MixtalUniformGas, ::testing::Values(0.3, 0.0));

TEST(Mixtal, NonFiniteFractionGivesNaNCourant)
{
    Grid g = slabGrid(2.0);
    g.at(g.fluid[kFX], 40) = std::numeric_limits<double>::quiet_NaN();
    GridRun d(mixtalRow(), {}, Boundary::Periodic);
    const StepOutcome o = d.attempt(g, 1e-3);
    EXPECT_TRUE(std::isnan(o.courant));
}

// The geometry's operation count depends on where each slab lies: a strip
// whose cells hold every kind of slab (empty, full, inside, at either edge),
// interfaces that move fluid 2 both ways, and a cell whose fluid 1 would come
// out below the floor, counts exactly what its counting run executes.
TEST(Mixtal, CountsEveryPathOfTheGeometry)
{
    Grid g = Grid::uniform(16);
    const struct {
        double f, fx;
    } slabs[] = { { 0, 0 }, { 1, 1.0 / 12 }, { 0.25, 0 }, { 0.5, -0.125 }, { 0.5, 0.125 }, { 0.3, 0.1 }, { 1, 0 },
        { 0.6, -0.05 }, { 1e-9, 0 }, { 1 - 1e-9, 0 }, { 0.5, 0.125 }, { 0.4, -0.1 } };
    for (int i = 1 - g.b; i <= g.n + g.b; ++i) {
        const auto& sl = slabs[static_cast<std::size_t>((i + 12) % 12)];
        g.set(i, { 1.0 + 0.2 * std::sin(i), 1.0 + 0.1 * std::cos(i), 0.8 * std::sin(0.7 * i), 0.0 });
        g.at(g.fluid[kRho1], i) = 1.0;
        g.at(g.fluid[kRho2], i)
            = i == 7 ? 40.0 : 2.0; // fluid 2 much denser than the mixture: fluid 1 at the floor
        g.at(g.fluid[kP1], i) = g.at(g.p, i);
        g.at(g.fluid[kP2], i) = g.at(g.p, i);
        g.at(g.fluid[kF], i) = sl.f;
        g.at(g.fluid[kFX], i) = sl.fx;
        g.at(g.smoke, i) = sl.f;
    }
    const SchemeInfo& row = mixtalRow();
    OneStrip<float> c = wholeGridStrip<float>(row, g, 0.9, Boundary::Periodic);
    KLong counters[8] = {};
    float courant = 0;
    const auto run = c.call(row, courant, counters);
    float countedCourant = 0;
    const auto counting = c.pack(row, &countedCourant, nullptr);
    const kernels::OpCount counted = row.single.count(counting);
    const std::uint64_t kinds[8] = { counted.total(), counted.add, counted.mul, counted.div, counted.merge,
        counted.sqrt, counted.sqrt2, counted.exp };
    for (int k = 0; k < 8; ++k)
        EXPECT_EQ(static_cast<std::uint32_t>(counters[k]), static_cast<std::uint32_t>(kinds[k]))
            << "counter " << k + 1;
    EXPECT_EQ(countedCourant, courant);
    const auto a = resultsOf(row, c, run), b = resultsOf(row, c, counting);
    for (std::size_t q = 0; q < a.size(); ++q)
        EXPECT_TRUE(sameBits(a[q], b[q])) << "result " << q;
}

} // namespace
