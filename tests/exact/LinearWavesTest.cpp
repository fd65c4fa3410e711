// SPDX-License-Identifier: GPL-3.0-or-later
// The linearised solution of a periodic disturbance: the transform it rests
// on, sinusoids carried at their own speeds, and the sound-wave set-up.

#include <gtest/gtest.h>

#include <cmath>
#include <complex>
#include <numbers>
#include <vector>

#include "ExactTestStates.h"
#include "exact/ExactPlots.h"
#include "exact/Fourier.h"
#include "exact/LinearWaves.h"

namespace tamrel {
namespace {

    using cplx = std::complex<double>;
    constexpr double kPi = std::numbers::pi;

    TEST(Fourier, MatchesTheDefiningSumForAnyLength)
    {
        for (std::size_t n : { 1u, 2u, 3u, 7u, 12u, 64u, 100u, 243u }) {
            SCOPED_TRACE(n);
            std::vector<cplx> x(n);
            for (std::size_t j = 0; j < n; ++j)
                x[j] = cplx(std::sin(1.3 * j + 0.2), std::cos(0.7 * j * j));
            std::vector<cplx> want(n);
            for (std::size_t k = 0; k < n; ++k)
                for (std::size_t j = 0; j < n; ++j)
                    want[k] += x[j] * std::polar(1.0, -2 * kPi * static_cast<double>((j * k) % n) / n);
            const exact::Dft dft(n);
            auto got = x;
            dft.forward(got);
            for (std::size_t k = 0; k < n; ++k)
                ASSERT_LT(std::abs(got[k] - want[k]), 1e-11 * n) << k;
            dft.inverse(got);
            for (std::size_t j = 0; j < n; ++j)
                ASSERT_LT(std::abs(got[j] - x[j]), 1e-12 * n) << j;
        }
    }

    // Cell averages of sin(k x) over [a, b].
    double sinAverage(double k, double a, double b)
    {
        return (std::cos(k * a) - std::cos(k * b)) / (k * (b - a));
    }

    // A periodic grid on [0, 1] holding the cell averages of an R+ wave of
    // wave number m (amplitude eps), an R- wave of wave number 3 and an
    // entropy wave of wave number 2, about (rho0, u0, p0), shifted by their
    // own speeds for time t.
    exact::InitialGrid threeWaves(long n, double t, double u0)
    {
        const double g = 1.4, rho0 = 1.3, p0 = 0.9, c0 = std::sqrt(g * p0 / rho0), z0 = rho0 * c0;
        const double eps = 1e-3;
        exact::InitialGrid grid;
        grid.gamma = g;
        grid.left = grid.right = exact::Boundary::Periodic;
        for (long i = 0; i <= n; ++i)
            grid.edges.push_back(static_cast<double>(i) / n);
        for (long i = 0; i < n; ++i) {
            auto avg = [&](double waveNumber, double speed) {
                const double k = 2 * kPi * waveNumber;
                return sinAverage(k, grid.edges[i] - speed * t, grid.edges[i + 1] - speed * t);
            };
            const double wp = eps * avg(1, u0 + c0), wm = 0.5 * eps * avg(3, u0 - c0), e = 0.3 * eps * avg(2, u0);
            const double du = 0.5 * (wp + wm), dp = 0.5 * z0 * (wp - wm);
            grid.u.push_back(u0 + du);
            grid.p.push_back(p0 + dp);
            grid.rho.push_back(rho0 + e + dp / (c0 * c0));
        }
        return grid;
    }

    TEST(LinearWaves, CarryEachFieldAtItsOwnSpeed)
    {
        // Odd, even and power-of-two grids; times that shift by fractions of
        // a cell and by many periods.
        for (long n : { 64L, 100L, 243L, 5000L }) {
            for (double t : { 0.013, 0.5, 7.77 }) {
                SCOPED_TRACE(::testing::Message() << n << " cells, t=" << t);
                const double u0 = -0.4;
                std::string why;
                const auto lin = exact::LinearWaves::Of(threeWaves(n, 0.0, u0), why);
                ASSERT_TRUE(lin) << why;
                const exact::InitialGrid want = threeWaves(n, t, u0);
                std::vector<double> rho, u, p;
                lin->cellAverages(t, rho, u, p);
                for (long i = 0; i < n; ++i) {
                    ASSERT_NEAR(rho[i], want.rho[i], 1e-13) << i;
                    ASSERT_NEAR(u[i], want.u[i], 1e-13) << i;
                    ASSERT_NEAR(p[i], want.p[i], 1e-13) << i;
                }
            }
        }
    }

    TEST(LinearWaves, OfferedForSmallPeriodicDisturbancesOnly)
    {
        std::string why;
        auto grid = threeWaves(100, 0.0, 0.0);
        EXPECT_TRUE(exact::LinearWaves::Of(grid, why));
        grid.left = grid.right = exact::Boundary::Continuation;
        EXPECT_FALSE(exact::LinearWaves::Of(grid, why));
        EXPECT_EQ(why, "not a periodic grid");
        grid.left = grid.right = exact::Boundary::Periodic;
        grid.p[17] *= 1.02;
        EXPECT_FALSE(exact::LinearWaves::Of(grid, why));
        EXPECT_EQ(why, "relative amplitude 0.02 is too large for the linear solution (below 0.01)");
    }

    // The lab's own sound wave: a small R+ wave on 100 cells and nothing in
    // R-. After the time R+ needs to go once round the grid, the R+ the plots
    // show is back where it was (to second order in the amplitude) and R-
    // stays flat.
    TEST(LinearWaves, SoundWaveSetUpCarriesRPlusRound)
    {
        ExperimentState s = testing::soundWaveState(0.002, 100);
        const auto sol = testing::solutionOf(s);
        ASSERT_EQ(sol.kind(), exact::ExactKind::Linear) << sol.reason();
        EXPECT_EQ(sol.validUntil(), exact::ExactSolution::kForever);
        const auto* lin = sol.linear();
        const double round = 1.0 / (lin->meanVelocity() + lin->soundSpeed());
        ASSERT_GT(round, 0.0);
        const auto at0 = sol.cellAverages(0.0), later = sol.cellAverages(round);
        const auto plus0 = *exact::ExactPlotValues(s, exact::PlotPicture::Density, at0);
        const auto plus1 = *exact::ExactPlotValues(s, exact::PlotPicture::Density, later);
        const auto minus0 = *exact::ExactPlotValues(s, exact::PlotPicture::Velocity, at0);
        const auto minus1 = *exact::ExactPlotValues(s, exact::PlotPicture::Velocity, later);
        double plusMoved = 0, plusSize = 0, minusSize = 0, minusLater = 0;
        for (long i = 1; i <= 100; ++i) {
            plusMoved = std::max(plusMoved, std::fabs(plus1[i] - plus0[i]));
            plusSize = std::max(plusSize, std::fabs(plus0[i]));
            minusSize = std::max(minusSize, std::fabs(minus0[i]));
            minusLater = std::max(minusLater, std::fabs(minus1[i]));
        }
        EXPECT_LT(plusMoved, 1e-6);
        EXPECT_NEAR(plusSize, 0.002, 1e-5);
        // R- is flat on the grid, and the linear solution keeps it so to the
        // order it holds (the amplitude squared).
        EXPECT_LT(minusSize, 1e-12);
        EXPECT_LT(minusLater, 0.002 * 0.002);
        // Boundary cells are the periodic copies.
        EXPECT_EQ(later.p[0], later.p[100]);
        EXPECT_EQ(later.p[101], later.p[1]);
    }

} // namespace
} // namespace tamrel
