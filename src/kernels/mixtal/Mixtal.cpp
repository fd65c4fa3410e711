#include "kernels/mixtal/Mixtal.h"

#include <algorithm>
#include <limits>
#include <vector>

#include "kernels/opcount/Counted.h"
#include "kernels/ppm/PpmStrip.h"

namespace tamrel::kernels::mixtal {

namespace {

// Float in and out, double inside: the geometry of the fraction needs the
// extra digits to conserve the fluid-2 volume to 1e-6 over many steps.
using T = Counted<double>;
using namespace ppm;

// Fractions closer than this to 0 or 1 count as an empty or a full cell.
constexpr double kFractionTolerance = 1e-7;

// A slab closer than this (in cell widths) to a cell edge touches it.
constexpr double kEdgeTolerance = 1e-5;

// Extra scratch slots after the PPM ones.
enum MixSlot : int {
    mX = kSlotCount, mRho, mP, mU, mV, mF, mFX, mR1, mR2,
    mA, mB,          // moved fluid-2 slab of each cell
    mThetaFace, mM2, // 1/(g-1) of the gas crossing, fluid-2 mass crossing (per unit area)
    kMixSlotCount
};

} // namespace

void mixtal(const float* X, const float* Rho3, const float* P3, const float* VX3, const float* VY3,
    const float* FSmoke, const float* Rho1, const float* Rho2, const float* FFrac, const float* FFracX,
    float* RhoNew, float* PNew, float* VXNew, float* VYNew, float* FSmokeNew, float* Rho1New, float* Rho2New,
    float* P1New, float* P2New, float* FFracNew, float* FFracXNew, float* FFracYNew, float* FFracXXNew,
    float* FFracXYNew, float* FFracYYNew, float dtIn, float* Courant, float kernelFloor, float gamma1,
    float gamma2, float difcon, float shkjmp, float wavhaf, int L, int B, KLong* Counters)
{
    constexpr float kNaN = std::numeric_limits<float>::quiet_NaN();
    if (L < 1 || B < kMinGhostCells || !(dtIn > 0.0f) || !(gamma1 > 1.0f) || !(gamma2 > 1.0f)) {
        *Courant = kNaN;
        return;
    }
    (void)FSmoke; // the fraction itself is the smoke
    const int n = L + 2 * B;
    thread_local std::vector<T> buffer;
    buffer.resize(static_cast<std::size_t>(kMixSlotCount) * (n + 1));
    const PpmScratch<T> w{buffer.data(), n};
    const long column = strip3Index(1 - B, 0, 0, L, B);

    OpCountScope scope;
    const T dt(dtIn);
    const T floor(std::max(double(kernelFloor), double(std::numeric_limits<float>::min())));
    const PpmParams<T> k{dt, T(gamma1), floor, T(difcon * float(kDifconScale)), T(shkjmp), T(wavhaf)};
    const T th1 = T(1) / (T(gamma1) - T(1));
    const T dth = T(1) / (T(gamma2) - T(1)) - th1;
    const T tol(kFractionTolerance);

    T* x = w[mX];
    T *rho = w[mRho], *p = w[mP], *u = w[mU], *v = w[mV];
    T *f = w[mF], *fx = w[mFX], *r1 = w[mR1], *r2 = w[mR2];
    T* theta = w[sTheta];
    T* gam = w[sGam];
    T* gfac = w[sGfac];
    bool inputsOk = true;
    for (int c = 0; c <= n; ++c)
        x[c] = T(X[c]);
    for (int c = 0; c < n; ++c) {
        rho[c] = T(Rho3[column + c]);
        p[c] = T(P3[column + c]);
        u[c] = T(VX3[column + c]);
        v[c] = T(VY3[column + c]);
        fx[c] = T(FFracX[c]);
        r1[c] = T(Rho1[c]);
        r2[c] = T(Rho2[c]);
        inputsOk = inputsOk && kfinite(FFrac[c]) && kfinite(FFracX[c]) && kfinite(Rho1[c]) && kfinite(Rho2[c]);
        const T fc = kmax(T(0), kmin(T(1), T(FFrac[c])));
        f[c] = fc;
        theta[c] = th1 + dth * fc;
        gam[c] = T(1) + T(1) / theta[c];
        gfac[c] = T(0.5) + T(0.5) / gam[c];
    }
    inputsOk = ppmLoad<true>(w, x, rho, p, u, v, f, k) && inputsOk;
    ppmInterfaceSolutions<true>(w, k, L, B);

    // Fluid-2 slabs of cells 0..L+1, moved by the interface velocities, in
    // units of their own cell's width from its left edge (cell-local
    // coordinates keep the rounding of a fraction near float epsilon).
    const T* us = w[sSU]; // contact velocity at c+1/2
    T* sa = w[mA];
    T* sb = w[mB];
    const T half(0.5);
    const T edge(kEdgeTolerance);
    for (int c = B - 1; c <= B + L; ++c) {
        const T dx = x[c + 1] - x[c];
        const T fc = f[c];
        T a, b;
        if (fc <= tol) {
            a = b = half;
        } else if (fc >= T(1) - tol) {
            a = T(0);
            b = T(1);
        } else {
            const T h = half * fc;
            const T xi = kmax(h - half, kmin(half - h, fx[c] / fc));
            a = half + xi - h;
            b = half + xi + h;
            // A slab that the moments put within rounding of a cell edge
            // touches it: otherwise a sliver of fluid 1 would be left
            // between it and the fluid 2 next door.
            if (a < edge) {
                a = T(0);
                b = fc;
            } else if (b > T(1) - edge) {
                a = T(1) - fc;
                b = T(1);
            }
        }
        // The outermost cells lack their outer interface solution: their
        // slab moves with the inner one.
        const T uL = c > B - 1 ? us[c - 1] : us[c];
        const T uR = c < B + L ? us[c] : us[c - 1];
        const T k0 = dt / dx;
        sa[c] = a + k0 * (uL + (uR - uL) * a);
        sb[c] = b + k0 * (uL + (uR - uL) * b);
    }

    // What crosses each interface 1/2 .. L+1/2.
    T* thetaFace = w[mThetaFace];
    T* m2 = w[mM2];
    for (int c = B - 1; c < B + L; ++c) {
        const T uf = us[c];
        const bool right = uf >= T(0);
        T v2, swept, r2up;
        if (right) {
            v2 = kmax(T(0), sb[c] - kmax(sa[c], T(1))) * (x[c + 1] - x[c]);
            swept = uf * dt;
            r2up = r2[c];
        } else {
            v2 = kmax(T(0), kmin(sb[c + 1], T(0)) - sa[c + 1]) * (x[c + 2] - x[c + 1]);
            swept = -uf * dt;
            r2up = r2[c + 1];
        }
        const T fbar = swept > T(0) ? kmin(T(1), v2 / swept) : T(0);
        thetaFace[c] = th1 + dth * fbar;
        m2[c] = right ? r2up * v2 : -(r2up * v2);
    }
    ppmFluxes<true, T>(w, k, thetaFace, B - 1, B + L);

    const T* r_ = w[sRho];
    const T* u_ = w[sU];
    const T* v_ = w[sV];
    const T* e_ = w[sE];
    const T* dtdx = w[sDtdx];
    const T* cs = w[sCs];
    const T *fm = w[sFM], *fu = w[sFU], *fe = w[sFE], *fv = w[sFV];
    bool nonPositive = false, notFinite = false;
    T courant(0);
    for (int c = B; c < B + L; ++c) {
        // New fraction and moments: the moved slabs of c-1, c, c+1 inside c,
        // in units of this cell (the neighbours' widths scale by their ratio).
        const T dx = x[c + 1] - x[c];
        T vol(0), m1(0), m2c(0);
        for (int j = c - 1; j <= c + 1; ++j) {
            const T scale = j == c ? T(1) : (x[j + 1] - x[j]) / dx;
            // The left neighbour ends, the right one starts, at this cell's edge.
            const T offset = j < c ? -scale : (j > c ? T(1) : T(0));
            const T lo = kmax(offset + sa[j] * scale, T(0)), hi = kmin(offset + sb[j] * scale, T(1));
            if (hi > lo) {
                const T dl = lo - half, dh = hi - half;
                vol = vol + (hi - lo);
                m1 = m1 + half * (dh * dh - dl * dl);
                m2c = m2c + (dh * dh * dh - dl * dl * dl) / T(3);
            }
        }
        // Rounding must not turn a full or an empty cell into a mixed one.
        const T fn = vol >= T(1) - tol ? T(1) : (vol <= tol ? T(0) : vol);

        const T kk = dtdx[c];
        const T rc = r_[c];
        const T rn = rc - kk * (fm[c] - fm[c - 1]);
        const T mn = rc * u_[c] - kk * (fu[c] - fu[c - 1]);
        const T en = e_[c] - kk * (fe[c] - fe[c - 1]);
        const T vn = rc * v_[c] - kk * (fv[c] - fv[c - 1]);
        nonPositive = nonPositive || !(rn > T(0));
        const T rf = kmax(rn, floor);
        const T ir = T(1) / rf;
        const T un = mn * ir;
        const T vv = vn * ir;
        const T thetaNew = th1 + dth * fn;
        // The energy is p/(g-1) + rho u^2/2: VY is passive (see PpmStrip.h).
        const T pn = kmax((en - half * mn * un) / thetaNew, floor);

        // Fluid densities.
        const T mass2 = f[c] * r2[c] * dx - (m2[c] - m2[c - 1]);
        // A cell of one fluid has that fluid's density.
        T rho2 = fn >= T(1) ? rf : (fn > tol ? mass2 / (fn * dx) : r2[c]);
        rho2 = kmax(rho2, floor);
        T rho1 = fn <= T(0) ? rf : (T(1) - fn > tol ? (rf - fn * rho2) / (T(1) - fn) : r1[c]);
        // Where the fraction and the mixture density disagree so much that
        // fluid 1 would need a density below the floor, fluid 2 gives way:
        // the mixture rule rho = f rho2 + (1 - f) rho1 always holds.
        if (rho1 < floor && fn > tol && T(1) - fn > tol) {
            rho1 = floor;
            rho2 = kmax((rf - (T(1) - fn) * rho1) / fn, floor);
        }
        rho1 = kmax(rho1, floor);

        RhoNew[c] = static_cast<float>(plainValue(rf));
        PNew[c] = static_cast<float>(plainValue(pn));
        VXNew[c] = static_cast<float>(plainValue(un));
        VYNew[c] = static_cast<float>(plainValue(vv));
        FSmokeNew[c] = static_cast<float>(plainValue(fn));
        FFracNew[c] = static_cast<float>(plainValue(fn));
        FFracXNew[c] = static_cast<float>(plainValue(fn >= T(1) ? T(0) : m1));
        FFracYNew[c] = 0.0f;
        FFracXXNew[c] = static_cast<float>(plainValue(fn >= T(1) ? T(1) / T(12) : m2c));
        FFracXYNew[c] = 0.0f;
        FFracYYNew[c] = static_cast<float>(plainValue(fn / T(12)));
        Rho1New[c] = static_cast<float>(plainValue(rho1));
        Rho2New[c] = static_cast<float>(plainValue(rho2));
        P1New[c] = PNew[c];
        P2New[c] = PNew[c];
        notFinite = notFinite || !kfinite(rf) || !kfinite(un) || !kfinite(vv) || !kfinite(pn) || !kfinite(rho1) ||
            !kfinite(rho2) || !kfinite(fn);
        courant = kmax(courant, (kabs(u_[c]) + cs[c]) * kk);
    }
    if (nonPositive)
        courant = kmax(courant, T(1));
    addToCounters(Counters, scope.counts());
    const float cfl = static_cast<float>(plainValue(courant));
    if (!inputsOk || notFinite || !kfinite(cfl))
        *Courant = kNaN;
    else if (!(*Courant != *Courant) && *Courant < cfl)
        *Courant = cfl;
}

} // namespace tamrel::kernels::mixtal

void MIXTAL(const float* X, const float* Rho3, const float* P3, const float* VX3, const float* VY3,
    const float* /*VZ3*/, const float* FSmoke, const float* Rho1, const float* Rho2, const float* /*P1*/,
    const float* /*P2*/, const float* FFrac, const float* FFracX, const float* /*FFracY*/,
    const float* /*FFracXX*/, const float* /*FFracXY*/, const float* /*FFracYY*/, float* RhoNew, float* PNew,
    float* VXNew, float* VYNew, float* FSmokeNew, float* Rho1New, float* Rho2New, float* P1New, float* P2New,
    float* FFracNew, float* FFracXNew, float* FFracYNew, float* FFracXXNew, float* FFracXYNew, float* FFracYYNew,
    const float* Dt, float* Courant, const float* /*Gamma*/, const float* /*RhoFloor*/, const float* KernelFloor,
    const float* /*PFloor*/, const float* /*VXEpsilon*/, const float* Gamma1, const float* Gamma2,
    const float* /*RhoRatio2*/, const float* Difcon, const float* Shkjmp, const float* Wavhaf,
    const tamrel::kernels::KLong* L, const tamrel::kernels::KLong* B, tamrel::kernels::KLong* Counters,
    const tamrel::kernels::KLong* /*Cycle*/)
{
    tamrel::kernels::mixtal::mixtal(X, Rho3, P3, VX3, VY3, FSmoke, Rho1, Rho2, FFrac, FFracX, RhoNew, PNew, VXNew,
        VYNew, FSmokeNew, Rho1New, Rho2New, P1New, P2New, FFracNew, FFracXNew, FFracYNew, FFracXXNew, FFracXYNew,
        FFracYYNew, *Dt, Courant, *KernelFloor, *Gamma1, *Gamma2, *Difcon, *Shkjmp, *Wavhaf, *L, *B, Counters);
}
