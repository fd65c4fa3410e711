// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Stand-in kernels for testing the time step without the real schemes. Each
// honours the kernel contract: it reads its strip (checking the argument
// layout as it goes), writes a simple neighbour-averaging update of cells
// 1..L, raises Courant and counts operations. What it reports is set through
// fakeKernel() by the test.

#include <array>
#include <atomic>
#include <cmath>
#include <limits>
#include <string_view>

#include "kernels/ArgumentForms.h"
#include "kernels/SchemeTable.h"

namespace tamrel::testing {

using kernels::KLong;

struct FakeKernelConfig {
    // Courant reported: fixedCourant when not negative (NaN too), otherwise
    // courantPerDt * Dt.
    double fixedCourant = -1;
    double courantPerDt = 0;
    // Added to counter 1 by every call; counters 2..8 get 1..7 per cell.
    KLong opsPerCall = 0;
    // Smoothing weight of the update q + k (q(i-1) - 2 q(i) + q(i+1)).
    double k = 0.05;
    // When >= 0, the new density of this grid cell is NaN.
    long nanCell = -1;
    // Check the argument layout (zero VZ and VZ3).
    bool checkLayout = true;
    std::atomic<long> calls { 0 };
    std::atomic<long> layoutErrors { 0 };
};

inline FakeKernelConfig& fakeKernel()
{
    static FakeKernelConfig c;
    return c;
}

inline void resetFakeKernel()
{
    auto& c = fakeKernel();
    c.fixedCourant = -1;
    c.courantPerDt = 0;
    c.opsPerCall = 0;
    c.k = 0.05;
    c.nanCell = -1;
    c.checkLayout = true;
    c.calls = 0;
    c.layoutErrors = 0;
}

// A strip array holds its cells in column (0, 0), the column a kernel reads;
// VZ3 is zero there. Returns that column.
template <class Real> const Real* checkStrip3(const Real* a, KLong L, KLong B, bool zero = false)
{
    const long col = L + 2 * B;
    const Real* column = a + kernels::strip3Index(1 - B, 0, 0, L, B);
    if (!fakeKernel().checkLayout || !zero)
        return column;
    for (long i = 0; i < col; ++i)
        if (column[i] != Real(0)) {
            ++fakeKernel().layoutErrors;
            break;
        }
    return column;
}

// The update of one quantity over cells 1..L; q and out point at cell 1-B.
template <class Real> void smooth(const Real* q, Real* out, KLong L, KLong B)
{
    const Real k = static_cast<Real>(fakeKernel().k);
    for (long i = 1; i <= L; ++i) {
        const long e = i + B - 1;
        out[e] = q[e] + k * (q[e - 1] - Real(2) * q[e] + q[e + 1]);
    }
}

// Everything but the layout checks; the strip's first grid cell is found from
// X (uniform test grids start at 0 with width dx).
template <class Real>
void fakeCore(const Real* x, const Real* rho, const Real* p, const Real* vx, const Real* vy, const Real* smoke,
    Real* rhoN, Real* pN, Real* vxN, Real* vyN, Real* smokeN, const Real* dt, Real* courant, const Real* gamma,
    KLong L, KLong B, KLong* counters)
{
    auto& f = fakeKernel();
    ++f.calls;
    smooth(rho, rhoN, L, B);
    smooth(p, pN, L, B);
    smooth(vx, vxN, L, B);
    smooth(vy, vyN, L, B);
    if (smoke != nullptr)
        smooth(smoke, smokeN, L, B);
    if (f.nanCell >= 0) {
        // x[B] is the left edge of strip cell 1; the grid starts at 0.
        const double dx = static_cast<double>(x[B + 1] - x[B]);
        const long first = std::lround(static_cast<double>(x[B]) / dx) + 1;
        const long i = f.nanCell - first + 1;
        if (i >= 1 && i <= L)
            rhoN[i + B - 1] = std::numeric_limits<Real>::quiet_NaN();
    }
    Real c = 0;
    if (f.fixedCourant >= 0 || std::isnan(f.fixedCourant)) {
        c = static_cast<Real>(f.fixedCourant);
    } else if (f.courantPerDt > 0) {
        c = static_cast<Real>(f.courantPerDt * static_cast<double>(*dt));
    } else {
        for (long i = 1; i <= L; ++i) {
            const long e = i + B - 1;
            const Real cs = std::sqrt(*gamma * p[e] / rho[e]);
            const Real v = (std::fabs(vx[e]) + cs) * *dt / (x[e + 1] - x[e]);
            if (v > c)
                c = v;
        }
    }
    if (std::isnan(c) || std::isnan(*courant))
        *courant = c + *courant;
    else if (c > *courant)
        *courant = c;
    counters[0] += f.opsPerCall;
    for (int k = 1; k < 8; ++k)
        counters[k] += k * L;
}

template <class Real>
void fakeOrvane(const Real* X, const Real* Rho3, const Real* P3, const Real* VX3, const Real* VY3, const Real* VZ3,
    const Real* FSmoke, Real* RhoNew, Real* PNew, Real* VXNew, Real* VYNew, Real*, Real* FSmokeNew, const Real* Dt,
    Real* Courant, const Real* Gamma, const Real*, const Real*, const Real*, const Real*, const Real*, const Real*,
    const Real*, const KLong* L, const KLong* B, KLong* Counters)
{
    checkStrip3(VZ3, *L, *B, true);
    fakeCore(X, checkStrip3(Rho3, *L, *B), checkStrip3(P3, *L, *B), checkStrip3(VX3, *L, *B),
        checkStrip3(VY3, *L, *B), FSmoke, RhoNew, PNew, VXNew, VYNew, FSmokeNew, Dt, Courant, Gamma, *L, *B,
        Counters);
}

inline void fakeLentor(const float* X, const float* Rho, const float* P, const float* VX, const float* VY,
    const float* VZ, const float* FSmoke, float* RhoNew, float* PNew, float* VXNew, float* VYNew, float*,
    float* FSmokeNew, const float* Dt, float* Courant, const float* Gamma, const float*, const float*,
    const float*, const float*, const KLong* L, const KLong* B, KLong* Counters)
{
    for (long i = 0; i < *L + 2 * *B; ++i)
        if (VZ[i] != 0.0f)
            ++fakeKernel().layoutErrors;
    fakeCore(
        X, Rho, P, VX, VY, FSmoke, RhoNew, PNew, VXNew, VYNew, FSmokeNew, Dt, Courant, Gamma, *L, *B, Counters);
}

inline void fakeSorvi(const float* X, const float* Rho_1, const float* Rho_2, const float*, const float*,
    const float* Rho_5, const float* P_1, const float*, const float*, const float*, const float* P_5,
    const float* VX_1, const float*, const float*, const float*, const float* VX_5, const float* VY_1,
    const float*, const float*, const float*, const float*, const float*, const float* VY_7, const float* VZ3_1,
    const float*, const float*, const float*, const float*, const float*, const float* VZ3_7, float* RhoNew,
    float* PNew, float* VXNew, float* VYNew, float*, const float* Dt, float* Courant, const float* Gamma,
    const float*, const float*, const float*, const float*, const KLong* L, const KLong* B, KLong* Counters)
{
    if (Rho_1 != Rho_2 || Rho_1 != Rho_5 || P_1 != P_5 || VX_1 != VX_5 || VY_1 != VY_7 || VZ3_1 != VZ3_7)
        ++fakeKernel().layoutErrors;
    checkStrip3(VZ3_1, *L, *B, true);
    fakeCore<float>(X, Rho_1, P_1, VX_1, VY_1, nullptr, RhoNew, PNew, VXNew, VYNew, nullptr, Dt, Courant, Gamma,
        *L, *B, Counters);
}

inline void fakeMixtal(const float* X, const float* Rho3, const float* P3, const float* VX3, const float* VY3,
    const float* VZ3, const float* FSmoke, const float* Rho1, const float* Rho2, const float* P1, const float* P2,
    const float* FFrac, const float* FFracX, const float* FFracY, const float* FFracXX, const float* FFracXY,
    const float* FFracYY, float* RhoNew, float* PNew, float* VXNew, float* VYNew, float* FSmokeNew, float* Rho1New,
    float* Rho2New, float* P1New, float* P2New, float* FFracNew, float* FFracXNew, float* FFracYNew,
    float* FFracXXNew, float* FFracXYNew, float* FFracYYNew, const float* Dt, float* Courant, const float* Gamma,
    const float*, const float*, const float*, const float*, const float*, const float*, const float*, const float*,
    const float*, const float*, const KLong* L, const KLong* B, KLong* Counters, const KLong*)
{
    checkStrip3(VZ3, *L, *B, true);
    fakeCore(X, checkStrip3(Rho3, *L, *B), checkStrip3(P3, *L, *B), checkStrip3(VX3, *L, *B),
        checkStrip3(VY3, *L, *B), FSmoke, RhoNew, PNew, VXNew, VYNew, FSmokeNew, Dt, Courant, Gamma, *L, *B,
        Counters);
    const float* in[10] = { Rho1, Rho2, P1, P2, FFrac, FFracX, FFracY, FFracXX, FFracXY, FFracYY };
    float* out[10]
        = { Rho1New, Rho2New, P1New, P2New, FFracNew, FFracXNew, FFracYNew, FFracXXNew, FFracXYNew, FFracYYNew };
    for (int q = 0; q < 10; ++q)
        smooth(in[q], out[q], *L, *B);
}

// The schemes of the table with fake entry points: each row is the real one
// (name, precision, fluids, smoke, strip length, ghost cells) with its entry
// swapped for the fake of its argument list. Entry is a template that gives
// the entry point to use for a fake one (the fake itself, or a wrapper).
template <template <auto> class Entry> std::array<kernels::SchemeInfo, 5> fakeSchemeRows()
{
    using namespace kernels;
    const auto faked = [](std::string_view name, StripEntry<float> single, StripEntry<double> dbl) {
        SchemeInfo row = *findScheme(name);
        row.single = single;
        row.dbl = dbl;
        return row;
    };
    return { {
        faked("Orvane", {}, stripArraysEntry<double, Entry<&fakeOrvane<double>>::value>(nullptr)),
        faked("Orvane32", stripArraysEntry<float, Entry<&fakeOrvane<float>>::value>(nullptr), {}),
        faked("Lentor32", slicesEntry<Entry<&fakeLentor>::value>(nullptr), {}),
        faked("Mixtal32", twoFluidEntry<Entry<&fakeMixtal>::value>(nullptr), {}),
        faked("Sorvi", repeatedEntry<Entry<&fakeSorvi>::value>(nullptr), {}),
    } };
}

// The fake entry point itself.
template <auto Fn> struct Itself {
    static constexpr auto value = Fn;
};

inline const kernels::SchemeInfo* findFakeScheme(std::string_view name)
{
    static const auto rows = fakeSchemeRows<Itself>();
    return kernels::findSchemeIn(rows, name);
}

} // namespace tamrel::testing
