#pragma once
// Primitive and conserved variables of the 1-D Euler equations of a
// gamma-law gas, with NP passive scalars phi carried by the flow
//     rho_t + (rho u)_x = 0,  (rho u)_t + (rho u^2 + p)_x = 0,
//     E_t + (u (E + p))_x = 0,  (rho phi)_t + (rho u phi)_x = 0,
// E = p/(gamma-1) + rho u^2/2. The transverse velocity is such a passive
// scalar: it moves with the contact and does not enter the energy, so a
// shear across a contact changes neither density, pressure nor velocity.
//
// Everything is a template over the number type (float, double, or the
// counting type) and branch-free; each function is one block of the
// kernels' operation counts.

#include <array>

#include "kernels/common/KernelMath.h"

namespace tamrel::kernels {

template <class T> struct EosConstants {
    T gamma, gm1, rgm1, gOverGm1; // gamma, gamma-1, 1/(gamma-1), gamma/(gamma-1)

    static EosConstants make(T gamma)
    {
        const T gm1 = gamma - T(1);
        const T rgm1 = T(1) / gm1;
        return { gamma, gm1, rgm1, gamma * rgm1 };
    }
};

template <class T, int NP> struct PrimitiveCell {
    T rho, u, p;
    std::array<T, NP> phi;
};

// Flux of mass, momentum, energy and of every rho*phi through an interface.
template <class T, int NP> struct EulerFlux {
    T mass, mom, energy;
    std::array<T, NP> phi;
};

template <class T> inline T totalEnergy(T rho, T u, T p, const EosConstants<T>& e)
{
    return p * e.rgm1 + T(0.5) * rho * u * u;
}

// The physical flux of a state, the passive scalars upwind values phiUp.
template <class T, int NP>
inline EulerFlux<T, NP> physicalFlux(T rho, T u, T p, const std::array<T, NP>& phiUp, const EosConstants<T>& e)
{
    EulerFlux<T, NP> f;
    f.mass = rho * u;
    f.mom = f.mass * u + p;
    f.energy = u * (p * e.gOverGm1 + T(0.5) * f.mass * u);
    for (int k = 0; k < NP; ++k)
        f.phi[k] = f.mass * phiUp[k];
    return f;
}

template <class T, int NP> struct UpdatedCell {
    PrimitiveCell<T, NP> w;
    bool finite; // the conserved results were finite before any floor
};

// The conservative update of one cell, U + dtdx (F(i-1/2) - F(i+1/2)),
// written as increments of the primitive variables so that single precision
// loses no more than the rounding of the new values themselves: with
// dRho, dM, dE the changes of mass, momentum and energy,
//     rho' = rho + dRho,   u' = u + (dM - u dRho) / rho',
//     p' = p + (gamma-1) (dE - (rho u (u' - u) + dM u') / 2),
//     phi' = phi + (d(rho phi) - phi dRho) / rho',
// which is the same update as forming U', then u = m/rho and
// p = (gamma-1)(E - m u/2), but never subtracts two large energies.
// A cell whose new density is not above rhoFloor is emptied to
// (rhoFloor, 0, pFloor) and keeps its passive scalars: a momentum divided by
// a floor density would be an arbitrary velocity that only ruins the next
// time step.
template <class T, int NP>
inline UpdatedCell<T, NP> updateCell(const PrimitiveCell<T, NP>& w, const EulerFlux<T, NP>& fl,
    const EulerFlux<T, NP>& fr, T dtdx, T rhoFloor, T pFloor, const EosConstants<T>& e)
{
    const T dRho = dtdx * (fl.mass - fr.mass);
    const T dM = dtdx * (fl.mom - fr.mom);
    const T dE = dtdx * (fl.energy - fr.energy);
    const T rho = w.rho + dRho;
    bool finite = kfinite(rho) && kfinite(dM) && kfinite(dE);
    const bool empty = !(rho > rhoFloor);
    UpdatedCell<T, NP> r;
    r.w.rho = kselect(empty, rhoFloor, rho);
    const T rrho = T(1) / r.w.rho;
    const T du = (dM - w.u * dRho) * rrho;
    const T u = w.u + du;
    const T p = w.p + e.gm1 * (dE - T(0.5) * (w.rho * w.u * du + dM * u));
    finite = finite && (empty || kfinite(p));
    r.w.u = kselect(empty, T(0), u);
    r.w.p = kselect(empty, pFloor, kmax(pFloor, p));
    for (int k = 0; k < NP; ++k) {
        const T dq = dtdx * (fl.phi[k] - fr.phi[k]);
        finite = finite && kfinite(dq);
        r.w.phi[k] = kselect(empty, w.phi[k], w.phi[k] + (dq - w.phi[k] * dRho) * rrho);
    }
    r.finite = finite;
    return r;
}

} // namespace tamrel::kernels
