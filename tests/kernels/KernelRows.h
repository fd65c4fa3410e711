// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The rows every shared kernel table runs: the schemes of the program's table
// and the test-only sixth scheme (tests/schemes), which joins each table by
// being one more row here.

#include <gtest/gtest.h>

#include <cstring>
#include <ostream>
#include <string>
#include <vector>

#include "kernels/GridRun.h"
#include "kernels/SchemeTable.h"
#include "schemes/rusanov/Rusanov.h"

namespace tamrel::kernels {
// Test logs name the scheme instead of dumping the row's bytes.
inline void PrintTo(const SchemeInfo& s, std::ostream* os)
{
    *os << s.name;
}
} // namespace tamrel::kernels

namespace tamrel::testing {

inline std::vector<kernels::SchemeInfo> kernelRows()
{
    std::vector<kernels::SchemeInfo> rows(kernels::allSchemes().begin(), kernels::allSchemes().end());
    rows.push_back(rusanovRow());
    return rows;
}

// The row of a scheme of the program by name.
inline const kernels::SchemeInfo& schemeRow(std::string_view name)
{
    return *kernels::findScheme(name);
}

inline std::string rowName(const ::testing::TestParamInfo<kernels::SchemeInfo>& p)
{
    return std::string(p.param.name);
}

} // namespace tamrel::testing

namespace tamrel::testing {

// Calls f.template operator()<Real>() with the row's precision.
template <class F> void withPrecision(const kernels::SchemeInfo& row, F&& f)
{
    if (row.singlePrecision())
        f.template operator()<float>();
    else
        f.template operator()<double>();
}

// What a grid needs for the row: a two-fluid scheme gets its fluid arrays,
// the smoke (0 or 1) marking the cells of fluid 2.
inline void prepareFor(const kernels::SchemeInfo& row, Grid& g, double rhoRatio2 = 1.0)
{
    if (row.twoFluid)
        g.fillFluidsFromSmoke(rhoRatio2);
}

// One strip covering the whole of g, ghosts filled by the time step's rule,
// with Dt at Courant number cfl.
template <class Real>
OneStrip<Real> wholeGridStrip(const kernels::SchemeInfo& row, Grid& g, double cfl, Boundary bc = Boundary::Outflow,
    const KernelConstants& k = {})
{
    GridRun d(row, k, bc);
    d.fillGhosts(g);
    return OneStrip<Real>(g, 0, g.n, k, d.stableDt(g, cfl));
}

template <class Real> bool sameBits(const std::vector<Real>& a, const std::vector<Real>& b)
{
    return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(Real)) == 0;
}

// The results a call wrote: density, pressure, velocity, VY, and the smoke and
// fluid results where the scheme has them, cells 1..L each.
template <class Real>
std::vector<std::vector<Real>> resultsOf(
    const kernels::SchemeInfo& row, const OneStrip<Real>& c, const kernels::StripArgs<Real>& a)
{
    std::vector<std::vector<Real>> r;
    const int last
        = row.twoFluid ? kernels::kResultCount : (row.carriesSmoke ? kernels::kSmokeNew + 1 : kernels::kSmokeNew);
    for (int q = 0; q < last; ++q)
        r.push_back(c.result(a, q));
    return r;
}

} // namespace tamrel::testing
