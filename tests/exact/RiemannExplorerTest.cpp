// SPDX-License-Identifier: GPL-3.0-or-later
// The Riemann explorer's table and curves, its key=value line, and the
// states it refuses.

#include <gtest/gtest.h>

#include <cmath>
#include <string>

#include "exact/RiemannExplorer.h"

namespace tamrel {
namespace {

    using kernels::FlowState;

    // Test 1: a rarefaction to the left, a shock to the right.
    TEST(RiemannExplorer, ShockAndRarefactionTable)
    {
        const auto r = exact::ExploreRiemann({ 1.0, 0.75, 1.0 }, { 0.125, 0.0, 0.1 }, 1.4, 0.3, 0.0, 1.0);
        ASSERT_TRUE(r.ok) << r.reason;
        EXPECT_FALSE(r.vacuum);
        EXPECT_NEAR(r.pStar, 0.466293566840, 1e-9);
        EXPECT_NEAR(r.uStar, 1.36090551909, 1e-9);
        EXPECT_NEAR(r.rhoStarLeft, 0.579866687480, 1e-9);
        EXPECT_NEAR(r.rhoStarRight, 0.339700234902, 1e-9);
        EXPECT_STREQ(r.leftWaveName(), "rarefaction");
        EXPECT_STREQ(r.rightWaveName(), "shock");

        const double c = std::sqrt(1.4);
        const double head = 0.75 - c, tail = r.uStar - c * std::pow(r.pStar, 0.2 / 1.4);
        const double cR = std::sqrt(1.4 * 0.1 / 0.125);
        const double shock = cR * std::sqrt(2.4 / 2.8 * r.pStar / 0.1 + 0.4 / 2.8);
        EXPECT_NEAR(r.waves.left[0], head, 1e-12);
        EXPECT_NEAR(r.waves.left[1], tail, 1e-9);
        EXPECT_NEAR(r.waves.right[0], shock, 1e-9);
        EXPECT_NEAR(r.waves.contact, r.uStar, 0.0);
        // The fan's head reaches x = 0, the contact and the shock x = 1.
        EXPECT_EQ(r.leftArrival.end, -1);
        EXPECT_NEAR(r.leftArrival.time, 0.3 / (c - 0.75), 1e-12);
        EXPECT_EQ(r.contactArrival.end, +1);
        EXPECT_NEAR(r.contactArrival.time, 0.7 / r.uStar, 1e-12);
        EXPECT_EQ(r.rightArrival.end, +1);
        EXPECT_NEAR(r.rightArrival.time, 0.7 / shock, 1e-9);

        // Curves: a rarefaction branch from p = 0 to pK and a shock branch
        // above, the two sides crossing at the star state.
        ASSERT_EQ(r.leftCurve.size(), 2u);
        EXPECT_FALSE(r.leftCurve[0].shock);
        EXPECT_TRUE(r.leftCurve[1].shock);
        EXPECT_DOUBLE_EQ(r.leftCurve[0].points.front().second, 0.0);
        EXPECT_NEAR(r.leftCurve[0].points.front().first, 0.75 + 5 * c, 1e-12); // uL + 2cL/(gamma-1)
        EXPECT_DOUBLE_EQ(r.leftCurve[0].points.back().second, 1.0);
        EXPECT_DOUBLE_EQ(r.leftCurve[0].points.back().first, 0.75);
        EXPECT_NEAR(exact::WaveCurveVelocity(r.left, 1.4, -1, r.pStar), r.uStar, 1e-10);
        EXPECT_NEAR(exact::WaveCurveVelocity(r.right, 1.4, +1, r.pStar), r.uStar, 1e-10);
        EXPECT_LT(r.uLow, 0.0);
        EXPECT_GT(r.uHigh, r.uStar);

        EXPECT_EQ(exact::RiemannKeyValues(r),
            "p_star=0.4662935668 u_star=1.360905519 rho_star_left=0.5798666875 rho_star_right=0.3397002349 "
            "left_wave=rarefaction left_speeds=-0.4332159566,0.2998706663 right_wave=shock "
            "right_speeds=2.153234368 contact_speed=1.360905519 vacuum=0");
    }

    // Two gases leaving each other faster than sound can follow: the curves
    // end at p = 0 without meeting, and a vacuum opens between the fans.
    TEST(RiemannExplorer, VacuumPair)
    {
        const auto r = exact::ExploreRiemann({ 1.0, -4.0, 0.4 }, { 1.0, 4.0, 0.4 }, 1.4, 0.5, 0.0, 1.0);
        ASSERT_TRUE(r.ok) << r.reason;
        EXPECT_TRUE(r.vacuum);
        const double c = std::sqrt(1.4 * 0.4);
        EXPECT_NEAR(r.waves.vacuumLeft, -4 + 5 * c, 1e-12);
        EXPECT_NEAR(r.waves.vacuumRight, 4 - 5 * c, 1e-12);
        EXPECT_LT(r.leftCurve[0].points.front().first, r.rightCurve[0].points.front().first);
        EXPECT_LE(r.uLow, -4.0);
        EXPECT_GE(r.uHigh, 4.0);
        EXPECT_EQ(r.pStar, 0.0);
        EXPECT_TRUE(std::isnan(r.uStar));
        // The vacuum's left edge moves left, and reaches x = 0 after the fan's head.
        EXPECT_EQ(r.contactArrival.end, -1);
        EXPECT_NEAR(r.contactArrival.time, 0.5 / (4 - 5 * c), 1e-12);
        EXPECT_NEAR(r.leftArrival.time, 0.5 / (4 + c), 1e-12);
        const std::string kv = exact::RiemannKeyValues(r);
        EXPECT_NE(kv.find("p_star=0 u_star=nan"), std::string::npos) << kv;
        EXPECT_NE(kv.find("left_wave=rarefaction left_speeds=-4.748331477,-0.2583426132"), std::string::npos)
            << kv;
        EXPECT_NE(kv.find("right_speeds=4.748331477,0.2583426132"), std::string::npos) << kv;
        EXPECT_NE(
            kv.find("contact_speed=nan vacuum=1 vacuum_speeds=-0.2583426132,0.2583426132"), std::string::npos)
            << kv;
    }

    TEST(RiemannExplorer, RefusesStatesAndNamesThem)
    {
        const struct {
            FlowState l, r;
            double gamma;
            const char* reason;
        } cases[] = {
            { { 0.0, 0, 1 }, { 1, 0, 1 }, 1.4, "left density must be positive" },
            { { 1, 0, 1 }, { 1, 0, -2 }, 1.4, "right pressure must be positive" },
            { { 1, NAN, 1 }, { 1, 0, 1 }, 1.4, "left state has a value that is not a finite number" },
            { { 1, 0, 1 }, { 1, 0, 1 }, 1.0, "gamma must exceed 1" },
        };
        for (const auto& c : cases) {
            const auto r = exact::ExploreRiemann(c.l, c.r, c.gamma);
            EXPECT_FALSE(r.ok);
            EXPECT_EQ(r.reason, c.reason);
        }
    }

    // States many decades apart, where Newton in p from the usual guess
    // stalls at its smallest iterate: the star state of a 50-digit bisection
    // of the same pressure function, and every number finite.
    TEST(RiemannExplorer, SolvesStatesFarApart)
    {
        const struct {
            FlowState l, r;
            double pStar, uStar;
        } cases[] = {
            { { 1, 0, 1e23 }, { 1e-24, 0, 1 }, 6.14539278108, 1.86957275109e12 },
            { { 1, 0, 1e24 }, { 1e-24, 0, 1 }, 44.0821457443, 5.91229224274e12 },
            { { 1e-24, 0, 1 }, { 1, 0, 1e23 }, 6.14539278108, -1.86957275109e12 },
            { { 1, 0, 1e100 }, { 1e-100, 0, 1e-100 }, 42.0, 5.9160797831e50 },
            { { 1e-100, 0, 1e-100 }, { 1e100, 0, 1e100 }, 4.41359436212e-99, -5.9160797831 },
        };
        for (const auto& c : cases) {
            const auto r = exact::ExploreRiemann(c.l, c.r, 1.4);
            SCOPED_TRACE(exact::RiemannKeyValues(r));
            ASSERT_TRUE(r.ok) << r.reason;
            EXPECT_NEAR(r.pStar, c.pStar, 1e-9 * c.pStar);
            EXPECT_NEAR(r.uStar, c.uStar, 1e-9 * std::fabs(c.uStar));
            EXPECT_EQ(exact::RiemannKeyValues(r).find("nan"), std::string::npos);
            EXPECT_EQ(exact::RiemannKeyValues(r).find("inf"), std::string::npos);
        }
        // Within the range, but two streams of 1e100 colliding would need a
        // star pressure past what a double holds: refused with the range.
        const auto r = exact::ExploreRiemann({ 1e100, 1e100, 1e100 }, { 1e100, -1e100, 1e100 }, 1.4);
        EXPECT_FALSE(r.ok);
        EXPECT_NE(r.reason.find("outside the range the explorer solves (densities and pressures from 1e-100 to "
                                "1e+100"),
            std::string::npos)
            << r.reason;
    }

    TEST(RiemannExplorer, ParsesTheCommandLineStates)
    {
        FlowState l, r;
        double g = 0;
        std::string error;
        ASSERT_TRUE(exact::ParseRiemannStates("1,0.75,1,0.125,0,0.1", l, r, g, error)) << error;
        EXPECT_EQ(l.u, 0.75);
        EXPECT_EQ(r.p, 0.1);
        EXPECT_EQ(g, 1.4);
        ASSERT_TRUE(exact::ParseRiemannStates("1,0,1,1,0,1,1.67", l, r, g, error));
        EXPECT_EQ(g, 1.67);
        const struct {
            const char* text;
            const char* error;
        } bad[] = {
            { "1,0,1,1,0", "--riemann needs six or seven comma-separated values: rhoL,uL,pL,rhoR,uR,pR[,gamma]" },
            { "1,0,1,1,0,1,", "--riemann: gamma '' is not a number" },
            { "1,x,1,1,0,1", "--riemann: uL 'x' is not a number" },
            { "1,0,1,-0.5,0,1", "--riemann: the right density rhoR must be positive, not -0.5" },
            { "1,0,0,1,0,1", "--riemann: the left pressure pL must be positive, not 0" },
            { "1,0,1,1,0,1,0.9", "--riemann: gamma must exceed 1, not 0.9" },
        };
        for (const auto& b : bad) {
            SCOPED_TRACE(b.text);
            EXPECT_FALSE(exact::ParseRiemannStates(b.text, l, r, g, error));
            EXPECT_EQ(error, b.error);
        }
    }

} // namespace
} // namespace tamrel
