// SPDX-License-Identifier: GPL-3.0-or-later
// The exact solution in the program's output: --exact columns and L1 figures,
// --waves on the space-time PNG, and tamrel --riemann.

#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTextStream>
#include <cmath>
#include <cstdlib>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "ProgramProcess.h"
#include "kernels/riemann/ExactRiemann.h"

namespace {

using namespace tamrel::testing;

using ExactBatchTest = ProgramFolderTest;

} // namespace

// Test 1 on 200 cells: the exact columns are the solver's cell averages at
// the run's end (and at each row's time in the history), and the summary's
// L1 figures are sum |numerical - exact| dx over those columns.
TEST_F(ExactBatchTest, ExactColumnsAndL1Figures)
{
    const Outcome o
        = batch({ "--test", "1", "--cells", "200", "--exact", "--out", "r.csv", "--history", "h.csv" });
    ASSERT_EQ(o.exitCode, 0) << o.err;
    const auto lines = linesOf(path("r.csv"));
    ASSERT_EQ(lines.size(), 202u);
    EXPECT_EQ(lines[1], "cell,x,rho,p,vx,vy,smoke,rho_exact,p_exact,vx_exact");
    const double t = summaryValue(o.out, "time");
    ASSERT_GT(t, 0.19);

    const tamrel::kernels::ExactRiemann rs({ 1.0, 0.75, 1.0 }, { 0.125, 0.0, 0.1 }, 1.4);
    double l1rho = 0, l1u = 0, l1p = 0;
    for (int i = 1; i <= 200; ++i) {
        const auto row = numbersOf(lines[static_cast<std::size_t>(i + 1)]);
        ASSERT_EQ(row.size(), 10u);
        const double x = row[1];
        const double a = x - 0.0025, b = x + 0.0025;
        const double e[2] = { a, b };
        const auto want = rs.cellAverages(0.3, t, e)[0];
        EXPECT_NEAR(row[7], want.rho, 1e-12) << i;
        EXPECT_NEAR(row[8], want.p, 1e-12) << i;
        EXPECT_NEAR(row[9], want.u, 1e-12) << i;
        l1rho += std::fabs(row[2] - row[7]) * 0.005;
        l1p += std::fabs(row[3] - row[8]) * 0.005;
        l1u += std::fabs(row[4] - row[9]) * 0.005;
    }
    EXPECT_NEAR(summaryValue(o.out, "l1_rho"), l1rho, 1e-12);
    EXPECT_NEAR(summaryValue(o.out, "l1_vx"), l1u, 1e-12);
    EXPECT_NEAR(summaryValue(o.out, "l1_p"), l1p, 1e-12);
    EXPECT_GT(l1rho, 1e-4); // a scheme is not the exact solution
    EXPECT_LT(l1rho, 1e-2);

    // History: row 0 is the initial state itself, a later row its own time's solution.
    const auto history = linesOf(path("h.csv"));
    EXPECT_EQ(history[1], "row,time,cell,x,rho,p,vx,vy,smoke,rho_exact,p_exact,vx_exact");
    const auto first = numbersOf(history[2]);
    EXPECT_EQ(first[9], 1.0);
    EXPECT_EQ(first[11], 0.75);
    const auto later = numbersOf(history[2 + 200 * 5 + 99]); // row 5, cell 100
    const double e[2] = { later[3] - 0.0025, later[3] + 0.0025 };
    EXPECT_NEAR(later[9], rs.cellAverages(0.3, later[1], e)[0].rho, 1e-12);
}

// The start-up blast between walls holds only briefly: past that time the
// exact values are nan and the reason goes to the error stream.
TEST_F(ExactBatchTest, PastItsTimeTheExactValuesAreNan)
{
    const Outcome o = batch({ "--exact", "--out", "r.csv" });
    ASSERT_EQ(o.exitCode, 0) << o.err;
    EXPECT_NE(o.out.find(" l1_rho=nan l1_vx=nan l1_p=nan\n"), std::string::npos) << o.out;
    EXPECT_NE(o.err.find("the exact solution holds until t=0.00267261"), std::string::npos) << o.err;
    const auto lines = linesOf(path("r.csv"));
    ASSERT_GT(lines.size(), 2u);
    EXPECT_EQ(lines[2].substr(lines[2].size() - 12), ",nan,nan,nan");
}

// --waves colours the PNG where the exact waves run; without it the
// picture stays gray.
TEST_F(ExactBatchTest, WavesAreDrawnIntoTheSpaceTimePicture)
{
    ASSERT_EQ(batch({ "--test", "1", "--cells", "200", "--spacetime", "plain.png" }).exitCode, 0);
    const Outcome o = batch({ "--test", "1", "--cells", "200", "--spacetime", "waves.png", "--waves" });
    ASSERT_EQ(o.exitCode, 0) << o.err;
    const QImage plain(path("plain.png")), waves(path("waves.png"));
    ASSERT_EQ(plain.size(), waves.size());
    EXPECT_TRUE(plain.isGrayscale());
    long coloured = 0;
    for (int y = 0; y < waves.height(); ++y)
        for (int x = 0; x < waves.width(); ++x) {
            const QColor c = waves.pixelColor(x, y);
            coloured += c.red() != c.green() || c.green() != c.blue();
        }
    EXPECT_GT(coloured, waves.height()); // every line runs the picture's height or leaves by a side
    // Off the lines the picture is the plain one: the top-left corner is left state.
    EXPECT_EQ(waves.pixelColor(2, 2).red(), plain.pixelColor(2, 2).red());
    // --waves needs a picture to draw into.
    const Outcome refused = batch({ "--test", "1", "--waves" });
    EXPECT_EQ(refused.exitCode, 2);
    EXPECT_NE(refused.err.find("--waves needs --spacetime"), std::string::npos) << refused.err;
}

TEST_F(ExactBatchTest, RiemannPrintsTheStarStateAndTheWaves)
{
    const Outcome o = runTamrel({ "--riemann", "1,0.75,1,0.125,0,0.1" }, folder.path());
    ASSERT_EQ(o.exitCode, 0) << o.err;
    EXPECT_EQ(o.out,
        "p_star=0.4662935668 u_star=1.360905519 rho_star_left=0.5798666875 rho_star_right=0.3397002349 "
        "left_wave=rarefaction left_speeds=-0.4332159566,0.2998706663 right_wave=shock right_speeds=2.153234368 "
        "contact_speed=1.360905519 vacuum=0\n");
    // States far apart: the true star state (p* = 6.145, u* = 1.870e12).
    const Outcome far = runTamrel({ "--riemann", "1,0,1e23,1e-24,0,1" }, folder.path());
    ASSERT_EQ(far.exitCode, 0) << far.err;
    EXPECT_EQ(far.out.rfind("p_star=6.145392781 u_star=1.869572751e+12 ", 0), 0u) << far.out;
    const Outcome vac = runTamrel({ "--riemann=1,-4,0.4,1,4,0.4,1.4" }, folder.path());
    ASSERT_EQ(vac.exitCode, 0) << vac.err;
    EXPECT_NE(vac.out.find(" vacuum=1 "), std::string::npos) << vac.out;

    const struct {
        QStringList arguments;
        const char* named;
    } bad[] = {
        { { "--riemann", "1,0,1,0,0,1" }, "the right density rhoR must be positive, not 0" },
        { { "--riemann", "1,0,-1,1,0,1" }, "the left pressure pL must be positive, not -1" },
        { { "--riemann", "1,0,1,1,0" }, "six or seven comma-separated values" },
        { { "--riemann", "1,0,1,1,0,1", "--batch" }, "--riemann stands alone" },
        // Outside the range the explorer carries: refused, not printed as nan.
        { { "--riemann", "1e-300,0,1e-300,1,0,1" },
            "lies outside the range the explorer solves, 1e-100 to 1e+100" },
        { { "--riemann", "1,0,1e300,1,0,1e-300" }, "lies outside the range the explorer solves" },
        { { "--riemann", "1e100,1e100,1e100,1e100,-1e100,1e100" },
            "the states lie outside the range the explorer solves" },
    };
    for (const auto& b : bad) {
        SCOPED_TRACE(b.arguments.join(' ').toStdString());
        const Outcome r = runTamrel(b.arguments, folder.path());
        EXPECT_EQ(r.exitCode, 2);
        EXPECT_NE(r.err.find(b.named), std::string::npos) << r.err;
        EXPECT_EQ(r.out, "");
    }
}
