// Accuracy and robustness of every scheme, measured the same way:
//  * L1 density error, sum |num - exact| dx, against the exact cell averages
//    at the stop time of shock-tube Tests 1, 3, 5 and 6, on 400 cells at
//    Courant number 0.8 with continuation boundaries;
//  * the convergence of a smooth acoustic wave (relative amplitude 1e-2,
//    carried once across a periodic grid) from 64 to 128 to 256 cells;
//  * all eight shock tubes to their stop times on 6, 100 and 5000 cells
//    without a fault or a non-finite value, counting the cells the floors
//    had to raise.
// The grid is advanced by the strip driver of the kernel tests (strips,
// ghost cells and floors as in the time step, at a fixed Courant number and
// landing exactly on the stop time). A scheme joins every table with one row
// in schemes().

#include <gtest/gtest.h>

#include <cstdio>
#include <string>
#include <vector>

#include "kernels/KernelRows.h"
#include "kernels/ShockTubeCases.h"
#include "kernels/SimpleWave.h"

namespace tamrel::testing {
namespace {

using kernels::EntryKind;
using kernels::SchemeInfo;

struct SchemeCase {
    SchemeInfo row;
    double barFactor;     // L1 bars of the shock tubes, times this
    bool nearOrvane;      // L1 within 10% of "Orvane" on each shock tube
    double minRatio;      // smooth-wave L1 ratio per halving of dx (0: not measured)
};

SchemeInfo orvane64()
{
    SchemeInfo s = schemeRow("Orvane", EntryKind::Orvane64, false, 100, true);
    s.orvane64 = &ORVANE64;
    return s;
}

SchemeInfo orvane32()
{
    SchemeInfo s = schemeRow("Orvane32", EntryKind::Orvane32, true, 200, true);
    s.orvane32 = &ORVANE32;
    return s;
}

const std::vector<SchemeCase>& schemes()
{
    static const std::vector<SchemeCase> all{
        {orvane64(), 1.0, false, 3.5},
        {orvane32(), 1.1, true, 3.5},
        {lentorRow(), 1.5, false, 3.5},
        {sorviRow(), 4.0, false, 1.7},
        // "Mixtal32" joins with {mixtalRow(), 1.1, true, 0.0} once MIXTAL is linked.
    };
    return all;
}

std::string schemeName(const ::testing::TestParamInfo<SchemeCase>& p) { return std::string(p.param.row.name); }

// The four shock tubes measured and their L1 density bars for "Orvane".
struct Bar {
    int test;
    double l1;
};
constexpr Bar kBars[] = {{1, 0.0020}, {3, 0.0045}, {5, 0.011}, {6, 0.13}};

Grid runShockTube(const SchemeInfo& row, const ShockTube& t, int n, RunStats* stats = nullptr)
{
    Grid g = shockTubeGrid(t, n);
    if (row.multifluid)
        g.fillFluidsFromSingleGas(KernelConstants{}.rhoRatio2);
    StripDriver d(row);
    const RunStats st = d.run(g, 0.8, t.tStop);
    if (stats)
        *stats = st;
    return g;
}

double shockTubeL1(const SchemeInfo& row, int test)
{
    const ShockTube& t = shockTubes()[static_cast<std::size_t>(test - 1)];
    RunStats st;
    const Grid g = runShockTube(row, t, 400, &st);
    EXPECT_FALSE(st.fault);
    EXPECT_EQ(st.time, t.tStop);
    return l1DensityError(g, exactAverages(t, g, t.tStop));
}

class SchemeAccuracy : public ::testing::TestWithParam<SchemeCase> {};

TEST_P(SchemeAccuracy, ShockTubeL1ErrorsWithinTheBars)
{
    const SchemeCase& sc = GetParam();
    for (const Bar& b : kBars) {
        SCOPED_TRACE("Test " + std::to_string(b.test));
        const double l1 = shockTubeL1(sc.row, b.test);
        std::printf("[ L1      ] %-9s Test %d  %.5f  (bar %.5f)\n", std::string(sc.row.name).c_str(), b.test, l1,
            sc.barFactor * b.l1);
        EXPECT_LE(l1, sc.barFactor * b.l1);
        if (sc.nearOrvane) {
            const double ref = shockTubeL1(orvane64(), b.test);
            EXPECT_NEAR(l1, ref, 0.10 * ref);
        }
    }
}

// Second-order schemes cut the error about fourfold per halving of the cell
// size on a smooth wave, first-order ones about twofold. The exact solution
// is the simple wave followed along its characteristics, so the wave's slow
// steepening is not mistaken for an error.
TEST_P(SchemeAccuracy, SmoothWaveConvergesAtTheSchemesOrder)
{
    const SchemeCase& sc = GetParam();
    if (sc.minRatio <= 0)
        GTEST_SKIP() << "no smooth-flow bar for this scheme";
    const SimpleWave wave;
    const double t = 1.0 / wave.c0();
    std::vector<double> errors;
    for (int n : {64, 128, 256}) {
        Grid g = wave.grid(n);
        if (sc.row.multifluid)
            g.fillFluidsFromSingleGas(KernelConstants{}.rhoRatio2);
        StripDriver d(sc.row, {}, Boundary::Periodic);
        const RunStats st = d.run(g, 0.8, t);
        ASSERT_FALSE(st.fault);
        errors.push_back(wave.l1Error(g, t));
    }
    std::printf("[ SMOOTH  ] %-9s L1 %.3e %.3e %.3e  ratios %.2f %.2f\n", std::string(sc.row.name).c_str(),
        errors[0], errors[1], errors[2], errors[0] / errors[1], errors[1] / errors[2]);
    EXPECT_GE(errors[0] / errors[1], sc.minRatio);
    EXPECT_GE(errors[1] / errors[2], sc.minRatio);
}

void expectAllShockTubesRun(const SchemeInfo& row, int n)
{
    long floors = 0;
    for (const ShockTube& t : shockTubes()) {
        SCOPED_TRACE("Test " + std::to_string(t.number) + " on " + std::to_string(n) + " cells");
        RunStats st;
        const Grid g = runShockTube(row, t, n, &st);
        EXPECT_FALSE(st.fault);
        EXPECT_EQ(st.time, t.tStop);
        EXPECT_TRUE(StripDriver::allFinite(g));
        floors += st.floorHits;
        if (st.floorHits > 0)
            std::printf("[ FLOORS  ] %-9s Test %d on %d cells: %ld cell floors\n", std::string(row.name).c_str(),
                t.number, n, st.floorHits);
    }
    ::testing::Test::RecordProperty("floorHits" + std::to_string(n), static_cast<int>(floors));
}

TEST_P(SchemeAccuracy, EveryShockTubeRunsOnSixAndOneHundredCells)
{
    for (int n : {6, 100})
        expectAllShockTubesRun(GetParam().row, n);
}

TEST_P(SchemeAccuracy, EveryShockTubeRunsOnFiveThousandCells)
{
    expectAllShockTubesRun(GetParam().row, 5000);
}

INSTANTIATE_TEST_SUITE_P(Schemes, SchemeAccuracy, ::testing::ValuesIn(schemes()), schemeName);

} // namespace
} // namespace tamrel::testing
