// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Step 8 of the PPM strip: the conservative update
//   U_c' = U_c - (Dt/dx) (F_{c+1/2} - F_{c-1/2})
// of cells 1..L, done as increments of the primitives
// (kernels/common/CellUpdate.h) so that single precision never subtracts two
// total energies.
//
// Contract: reads the fluxes and the loaded cells, writes the outputs of cells
// 1..L, each cell's Courant number (|u| + c) Dt/dx into sFlat and its check
// into sCheck; branch-free.

#include "kernels/common/CellUpdate.h"
#include "kernels/common/KernelMath.h"
#include "kernels/ppm/PpmScratch.h"

namespace tamrel::kernels::ppm {

// Outputs of one strip, element 0 at strip cell 1-B.
template <class T> struct PpmOutputs {
    T* rho;
    T* p;
    T* u;
    T* v;
    T* s;
};

// Step 8. The conservative update of cells 1..L (c = B .. B+L-1) as
// increments of the primitives (kernels/common/CellUpdate.h). The rounding of
// rho' (recovered exactly: rho' - rho is exact for |dRho| <= rho) is moved
// into the acoustic field: p' gets c^2 (rho' - (rho + dRho)), so the rounding
// is stored as an isentropic perturbation, which propagates and is damped,
// and not as an entropy perturbation, which in slow flow stays in place and
// adds up step after step. Writes the outputs, each cell's Courant number
// into sFlat (free by now) and its check into sCheck: 0 for a sound cell, NaN
// for a non-finite result, 1 for a non-positive density.
template <class T>
void ppmUpdate(const PpmScratch<T>& w, const PpmOutputs<T>& out, const PpmParams<T>& k, int L, int B)
{
    const T* __restrict r_ = w[sRho];
    const T* __restrict u_ = w[sU];
    const T* __restrict p_ = w[sP];
    const T* __restrict v_ = w[sV];
    const T* __restrict s_ = w[sS];
    const T* __restrict dtdx = w[sDtdx];
    const T* __restrict cs = w[sCs];
    const T* __restrict fm = w[sFM];
    const T* __restrict fu = w[sFU];
    const T* __restrict fe = w[sFE];
    const T* __restrict fv = w[sFV];
    const T* __restrict fs = w[sFS];
    T* __restrict cfl = w[sFlat];
    T* __restrict check = w[sCheck];
    T* __restrict oRho = out.rho;
    T* __restrict oP = out.p;
    T* __restrict oU = out.u;
    T* __restrict oV = out.v;
    T* __restrict oS = out.s;
    const T gm1 = k.gamma - T(1);
#pragma GCC ivdep
    for (int c = B; c < B + L; ++c) {
        const T kk = dtdx[c];
        const T rc = r_[c];
        const EulerFlux<T, 2> fl { fm[c - 1], fu[c - 1], fe[c - 1], { fv[c - 1], fs[c - 1] } };
        const EulerFlux<T, 2> fr { fm[c], fu[c], fe[c], { fv[c], fs[c] } };
        const CellIncrements<T, 2> d = cellIncrements(fl, fr, kk);
        const T rn = rc + d.dRho;
        const T roundOff = (rn - rc) - d.dRho;
        const T rf = kmax(rn, k.floor);
        const T cc = cs[c];
        const PrimitiveCell<T, 2> now { rc, u_[c], p_[c], { v_[c], s_[c] } };
        const PrimitiveCell<T, 2> next = applyIncrements<true>(now, d, rf, gm1, (cc * cc) * roundOff);
        const T pn = kmax(next.p, k.floor);
        oRho[c] = rf;
        oU[c] = next.u;
        oV[c] = next.phi[0];
        oS[c] = next.phi[1];
        oP[c] = pn;
        const T all = (rf + next.u) + (next.phi[0] + next.phi[1]) + pn;
        check[c] = (all - all) + kselect(rn > T(0), T(0), T(1));
        cfl[c] = (kabs(u_[c]) + cs[c]) * kk;
    }
}

} // namespace tamrel::kernels::ppm
