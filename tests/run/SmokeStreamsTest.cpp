// SPDX-License-Identifier: GPL-3.0-or-later
// Smoke streams and the fluid-2 streams of the multifluid scheme.

#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "kernels/SchemeTable.h"
#include "run/SmokeStreams.h"

namespace tamrel {
namespace {

    ExperimentState gridOf(long n, const std::string& scheme = "Orvane")
    {
        ExperimentState s;
        s.NGridCells = static_cast<Long>(n);
        s.SchemeName = scheme;
        allocateGridArrays(s);
        if (kernels::twoFluidScheme(s.SchemeName))
            allocateMultifluidArrays(s);
        for (long i = -6; i <= stateUpper(n); ++i) {
            s.FSmoke[i] = 7.0; // anything the layout must overwrite, or keep outside 1..N
            s.Rho[i] = 1.0;
            if (kernels::twoFluidScheme(s.SchemeName))
                s.Rho2[i] = 2.0;
        }
        return s;
    }

    std::string pattern(const ExperimentState& s)
    {
        std::string p;
        for (long i = 1; i <= s.NGridCells; ++i)
            p += s.FSmoke[i] == 1.0 ? '1' : (s.FSmoke[i] == 0.0 ? '0' : '?');
        return p;
    }

    std::string repeat(const std::string& unit, int times)
    {
        std::string r;
        for (int k = 0; k < times; ++k)
            r += unit;
        return r;
    }

    TEST(SmokeStreams, LayoutTable)
    {
        struct Case {
            long n, streams;
            std::string expected;
        };
        const Case cases[] = {
            { 100, 1, std::string(25, '0') + std::string(50, '1') + std::string(25, '0') },
            { 100, 10, repeat("0011111000", 10) },
            { 100, 30, repeat("0110", 25) }, // period raised to the minimum width 4
            { 101, 10, repeat("0011111000", 10) + "0" },
            { 3, 1, "010" }, // period capped at N
            { 8, 0, "00000000" }, // no streams at all
            { 8, -2, "00000000" },
        };
        for (const auto& c : cases) {
            auto s = gridOf(c.n);
            s.NSmokeStreams = static_cast<Long>(c.streams);
            SetUpSmokeStreams(s);
            EXPECT_EQ(pattern(s), c.expected) << "N=" << c.n << " streams=" << c.streams;
            EXPECT_EQ(s.FSmoke[0], 7.0);
            EXPECT_EQ(s.FSmoke[c.n + 1], 7.0);
        }
    }

    TEST(SmokeStreams, OneCellGridIsLeftAlone)
    {
        auto s = gridOf(1);
        SetUpSmokeStreams(s);
        EXPECT_EQ(s.FSmoke[1], 7.0);
    }

    TEST(SmokeStreams, MultifluidStreamsAreFluidTwo)
    {
        auto s = gridOf(100, "Mixtal32");
        s.NSmokeStreams = 10;
        SetUpSmokeStreams(s);
        for (long i = 1; i <= 100; ++i) {
            const bool stream = s.FSmoke[i] == 1.0;
            EXPECT_EQ(s.FFrac[i], stream ? 1.0 : 0.0) << i;
            EXPECT_EQ(s.FFracXX[i], stream ? 1.0 / 12 : 0.0) << i;
            EXPECT_EQ(s.FFracYY[i], stream ? 1.0 / 12 : 0.0) << i;
            EXPECT_EQ(s.FFracX[i] + s.FFracY[i] + s.FFracXY[i], 0.0);
            EXPECT_EQ(s.Rho[i], stream ? 2.0 : 1.0) << i;
        }
        EXPECT_EQ(s.Rho[0], 1.0);
    }

} // namespace
} // namespace tamrel
