#pragma once
// Scheme-table rows for the kernels of this test folder, built here so the
// tests link only the entry points they call, and the strip-level helpers
// the kernel tests share.

#include <cstring>
#include <ostream>
#include <string>
#include <vector>

#include "kernels/SchemeTable.h"
#include "kernels/StripDriver.h"
#include "kernels/common/StripSupport.h"

namespace tamrel::testing {

inline kernels::SchemeInfo sorviRow()
{
    kernels::SchemeInfo s { "Sorvi", kernels::EntryKind::Sorvi, true, 200, false, false, false };
    s.sorvi = &SORVI;
    return s;
}

inline kernels::SchemeInfo lentorRow()
{
    kernels::SchemeInfo s { "Lentor32", kernels::EntryKind::Lentor, true, 200, false, true, false };
    s.lentor = &LENTOR32;
    return s;
}

} // namespace tamrel::testing

namespace tamrel::kernels {
// Test logs name the scheme instead of dumping the row's bytes.
inline void PrintTo(const SchemeInfo& s, std::ostream* os) { *os << s.name; }
} // namespace tamrel::kernels

namespace tamrel::testing {

// The finite-volume kernels of this folder, for tests that hold for each.
inline std::vector<kernels::SchemeInfo> godunovTypeKernels()
{
    return { sorviRow(), lentorRow() };
}

// The StripIO view of a loaded strip call (what the entry points build).
inline kernels::StripIO<float> stripIO(StripCall<float>& c)
{
    using IO = kernels::StripIO<float>;
    IO io;
    const long b = c.B;
    io.x = IO::atCellZero(c.x.data(), b);
    io.rho = IO::atCellZero(c.rho.data(), b);
    io.p = IO::atCellZero(c.p.data(), b);
    io.vx = IO::atCellZero(c.vx.data(), b);
    io.vy = IO::atCellZero(c.vy.data(), b);
    io.smoke = IO::atCellZero(c.smoke.data(), b);
    io.rhoNew = IO::atCellZero(c.rhoNew.data(), b);
    io.pNew = IO::atCellZero(c.pNew.data(), b);
    io.vxNew = IO::atCellZero(c.vxNew.data(), b);
    io.vyNew = IO::atCellZero(c.vyNew.data(), b);
    io.smokeNew = IO::atCellZero(c.smokeNew.data(), b);
    io.dt = c.dt;
    io.gamma = c.gamma;
    io.rhoFloor = c.rhoFloor;
    io.kernelFloor = c.kernelFloor;
    io.pFloor = c.pFloor;
    io.L = c.L;
    io.B = c.B;
    return io;
}

// One strip covering the whole of g, ghosts filled, with Dt at Courant cfl.
inline StripCall<float> wholeGridStrip(
    Grid& g, double cfl, Boundary bc = Boundary::Outflow, const KernelConstants& k = {})
{
    StripDriver d(sorviRow(), k, bc);
    d.fillGhosts(g);
    StripCall<float> c;
    c.load(g, 0, g.n, k, d.stableDt(g, cfl), false);
    return c;
}

inline bool sameBits(const std::vector<float>& a, const std::vector<float>& b)
{
    return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(float)) == 0;
}

} // namespace tamrel::testing
