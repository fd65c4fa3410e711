// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The conservative update of one cell, U' = U + dtdx (F(i-1/2) - F(i+1/2)),
// written once for every kernel.
//
// The changes of mass, momentum, energy and of each rho*phi come first
// (cellIncrements). A one-gas kernel then forms the new primitives from them
// as increments (applyIncrements), so that single precision loses no more
// than the rounding of the new values themselves:
//     rho' = rho + dRho,   u' = u + (dM - u dRho) / rho',
//     p' = p + (gamma-1) (dE - (rho u (u' - u) + dM u') / 2),
//     phi' = phi + (d(rho phi) - phi dRho) / rho',
// the same update as forming U', then u = m/rho and p = (gamma-1)(E - m u/2),
// but never subtracting two large energies. A kernel may add to p' the
// pressure that stores the rounding of rho' as an acoustic perturbation
// (the PPM kernels do). The two-fluid kernel forms U' itself from the same
// increments, since its pressure needs the ratio of specific heats of the
// new mixture.

#include <array>

#include "kernels/common/EulerState.h"
#include "kernels/common/KernelMath.h"

namespace tamrel::kernels {

template <class T, int NP> struct CellIncrements {
    T dRho, dM, dE;
    std::array<T, NP> dPhi;
};

// dtdx (F(i-1/2) - F(i+1/2)) of every conserved quantity; fl and fr are the
// fluxes through the cell's left and right interfaces.
template <class T, int NP>
inline CellIncrements<T, NP> cellIncrements(const EulerFlux<T, NP>& fl, const EulerFlux<T, NP>& fr, T dtdx)
{
    CellIncrements<T, NP> d;
    d.dRho = dtdx * (fl.mass - fr.mass);
    d.dM = dtdx * (fl.mom - fr.mom);
    d.dE = dtdx * (fl.energy - fr.energy);
    for (int k = 0; k < NP; ++k)
        d.dPhi[k] = dtdx * (fl.phi[k] - fr.phi[k]);
    return d;
}

// The new velocity, pressure and passive scalars of a one-gas cell w from its
// increments, given its new density rhoNew (the caller's floor on it already
// applied); gm1 is gamma - 1. With AcousticRounding, pRounding is added to
// the pressure change.
template <bool AcousticRounding, class T, int NP>
inline PrimitiveCell<T, NP> applyIncrements(
    const PrimitiveCell<T, NP>& w, const CellIncrements<T, NP>& d, T rhoNew, T gm1, T pRounding = T(0))
{
    PrimitiveCell<T, NP> r;
    r.rho = rhoNew;
    const T ir = T(1) / rhoNew;
    const T du = (d.dM - w.u * d.dRho) * ir;
    r.u = w.u + du;
    for (int k = 0; k < NP; ++k)
        r.phi[k] = w.phi[k] + (d.dPhi[k] - w.phi[k] * d.dRho) * ir;
    const T work = gm1 * (d.dE - T(0.5) * (w.rho * w.u * du + d.dM * r.u));
    if constexpr (AcousticRounding)
        r.p = w.p + (work + pRounding);
    else
        r.p = w.p + work;
    return r;
}

template <class T, int NP> struct UpdatedCell {
    PrimitiveCell<T, NP> w;
    bool finite; // the conserved results were finite before any floor
};

// The whole update of a one-gas cell with the caller's floors. A cell whose
// new density is not above rhoFloor is emptied to (rhoFloor, 0, pFloor) and
// keeps its passive scalars: a momentum divided by a floor density would be
// an arbitrary velocity that only ruins the next time step.
template <class T, int NP>
inline UpdatedCell<T, NP> updateCell(const PrimitiveCell<T, NP>& w, const EulerFlux<T, NP>& fl,
    const EulerFlux<T, NP>& fr, T dtdx, T rhoFloor, T pFloor, const EosConstants<T>& e)
{
    const CellIncrements<T, NP> d = cellIncrements(fl, fr, dtdx);
    const T rho = w.rho + d.dRho;
    // The tests are joined with & rather than &&: no branch, so a loop of
    // updates runs on whole vectors.
    bool finite = kfinite(rho) & kfinite(d.dM) & kfinite(d.dE);
    const bool empty = !(rho > rhoFloor);
    const PrimitiveCell<T, NP> n = applyIncrements<false>(w, d, kselect(empty, rhoFloor, rho), e.gm1);
    finite = finite & (empty | kfinite(n.p));
    UpdatedCell<T, NP> r;
    r.w.rho = n.rho;
    r.w.u = kselect(empty, T(0), n.u);
    r.w.p = kselect(empty, pFloor, kmax(pFloor, n.p));
    for (int k = 0; k < NP; ++k) {
        finite = finite & kfinite(d.dPhi[k]);
        r.w.phi[k] = kselect(empty, w.phi[k], n.phi[k]);
    }
    r.finite = finite;
    return r;
}

} // namespace tamrel::kernels
