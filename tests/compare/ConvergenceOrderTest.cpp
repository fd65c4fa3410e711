// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cmath>
#include <limits>

#include "compare/ConvergenceOrder.h"

namespace tamrel::testing {
namespace {

    const std::vector<long> kLadder { 32, 64, 128, 256 };

    std::vector<double> powerLaw(double q, const std::vector<double>& logNoise = { 0, 0, 0, 0 })
    {
        std::vector<double> e;
        for (std::size_t i = 0; i < kLadder.size(); ++i)
            e.push_back(3.0 * std::pow(static_cast<double>(kLadder[i]), -q) * std::exp(logNoise[i]));
        return e;
    }

    TEST(ConvergenceOrder, AnExactPowerLawGivesItsExponent)
    {
        for (double q : { 0.5, 1.0, 2.0, 3.7 }) {
            EXPECT_NEAR(compare::FittedOrder(kLadder, powerLaw(q)), q, 1e-12) << q;
            const auto e = powerLaw(q);
            EXPECT_NEAR(compare::LocalOrder(64, e[1], 128, e[2]), q, 1e-12) << q;
        }
    }

    // log e = log C - q log n + noise with log n = (5, 6, 7, 8) ln 2: the
    // least-squares slope moves by sum((x - mean) noise) / sum((x - mean)^2),
    // while a line through the two ends would move by (noise_4 - noise_1) / (3 ln 2).
    TEST(ConvergenceOrder, TheFitIsLeastSquaresOverTheWholeTable)
    {
        const double a = 0.1;
        EXPECT_NEAR(compare::FittedOrder(kLadder, powerLaw(2, { a, -a, -a, a })), 2.0, 1e-12);
        EXPECT_NEAR(compare::FittedOrder(kLadder, powerLaw(2, { a, -a, a, -a })),
            2.0 + 2 * a / (5 * std::log(2.0)), 1e-12);
    }

    TEST(ConvergenceOrder, UnusableErrorsAreLeftOut)
    {
        const double nan = std::numeric_limits<double>::quiet_NaN();
        std::vector<double> e = powerLaw(1.5);
        e[1] = 0;
        e[3] = nan;
        EXPECT_NEAR(compare::FittedOrder(kLadder, e), 1.5, 1e-12);

        EXPECT_TRUE(std::isnan(compare::FittedOrder({ 32 }, { 1e-3 })));
        EXPECT_TRUE(std::isnan(compare::FittedOrder({ 64, 64 }, { 1e-3, 2e-3 })));
        EXPECT_TRUE(std::isnan(compare::FittedOrder(kLadder, { -1, 0, nan, 1e-3 })));
        EXPECT_TRUE(std::isnan(compare::LocalOrder(32, 0, 64, 1e-3)));
        EXPECT_TRUE(std::isnan(compare::LocalOrder(64, 1e-3, 64, 1e-4)));
    }

} // namespace
} // namespace tamrel::testing
