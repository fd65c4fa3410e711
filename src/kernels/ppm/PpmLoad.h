// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Step 0 of the PPM strip: the cells' primitives into the scratch.
//
// Contract: x holds the n+1 cell edges, the columns the n cells' primitives,
// already checked finite (kernels/common/StripCall.h). Afterwards sRho, sP are
// the density and pressure raised to the kernel floor, sU, sV, sS the
// velocities and smoke, sDtdx = Dt/dx and sE the total energy
// E = p/(g-1) + rho u^2/2 of each cell (the transverse velocity is passive
// and carries no energy of the gas).

#include "kernels/common/KernelMath.h"
#include "kernels/ppm/PpmScratch.h"

namespace tamrel::kernels::ppm {

// Step 0. Copy the primitives of all n cells from the input columns, raise
// density and pressure to the kernel floor, form the total energy and Dt/dx.
// The caller has checked the inputs (kernels/common/StripCall.h). With
// VarGamma, sTheta must already hold 1/(g-1) of every cell. The columns of
// density, pressure and velocities may be of a narrower type (In), widened
// as they are read.
template <bool VarGamma, class T, class In>
void ppmLoad(const PpmScratch<T>& w, const T* x, const In* rho, const In* p, const In* u, const In* v, const T* s,
    const PpmParams<T>& k)
{
    const int n = w.n;
    T* __restrict r_ = w[sRho];
    T* __restrict u_ = w[sU];
    T* __restrict p_ = w[sP];
    T* __restrict v_ = w[sV];
    T* __restrict s_ = w[sS];
    T* __restrict e_ = w[sE];
    T* __restrict dtdx = w[sDtdx];
    const T* __restrict th = w[sTheta];
    const T theta0 = T(1) / (k.gamma - T(1));
#pragma GCC ivdep
    for (int c = 0; c < n; ++c) {
        const T rc(rho[c]);
        const T pc(p[c]);
        const T uc(u[c]);
        const T dx = x[c + 1] - x[c];
        const T rf = kmax(rc, k.floor);
        const T pf = kmax(pc, k.floor);
        r_[c] = rf;
        p_[c] = pf;
        u_[c] = uc;
        v_[c] = T(v[c]);
        s_[c] = s[c];
        dtdx[c] = k.dt / dx;
        const T theta = VarGamma ? th[c] : theta0;
        e_[c] = pf * theta + T(0.5) * rf * (uc * uc);
    }
}

} // namespace tamrel::kernels::ppm
