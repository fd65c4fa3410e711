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

template <class T>
struct EosConstants {
    T gamma, gm1, rgm1, gOverGm1; // gamma, gamma-1, 1/(gamma-1), gamma/(gamma-1)

    static EosConstants make(T gamma)
    {
        const T gm1 = gamma - T(1);
        const T rgm1 = T(1) / gm1;
        return {gamma, gm1, rgm1, gamma * rgm1};
    }
};

template <class T, int NP>
struct PrimitiveCell {
    T rho, u, p;
    std::array<T, NP> phi;
};

// Flux of mass, momentum, energy and of every rho*phi through an interface.
template <class T, int NP>
struct EulerFlux {
    T mass, mom, energy;
    std::array<T, NP> phi;
};

template <class T>
inline T totalEnergy(T rho, T u, T p, const EosConstants<T>& e)
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

template <class T, int NP>
struct UpdatedCell {
    PrimitiveCell<T, NP> w;
    bool finite; // the conserved results were finite before any floor
};

// The conservative update of one cell, U + dtdx (F(i-1/2) - F(i+1/2)),
// back to primitives with the floors. A cell whose new density is not above
// rhoFloor is emptied to (rhoFloor, 0, pFloor) and keeps its passive
// scalars: a momentum divided by a floor density would be an arbitrary
// velocity that only ruins the next time step.
template <class T, int NP>
inline UpdatedCell<T, NP> updateCell(const PrimitiveCell<T, NP>& w, const EulerFlux<T, NP>& fl,
    const EulerFlux<T, NP>& fr, T dtdx, T rhoFloor, T pFloor, const EosConstants<T>& e)
{
    const T mass = w.rho + dtdx * (fl.mass - fr.mass);
    const T mom = w.rho * w.u + dtdx * (fl.mom - fr.mom);
    const T energy = totalEnergy(w.rho, w.u, w.p, e) + dtdx * (fl.energy - fr.energy);
    bool finite = kfinite(mass) && kfinite(mom) && kfinite(energy);
    const bool empty = !(mass > rhoFloor);
    UpdatedCell<T, NP> r;
    r.w.rho = kselect(empty, rhoFloor, mass);
    const T rrho = T(1) / r.w.rho;
    r.w.u = kselect(empty, T(0), mom * rrho);
    r.w.p = kselect(empty, pFloor, kmax(pFloor, e.gm1 * (energy - T(0.5) * mom * r.w.u)));
    for (int k = 0; k < NP; ++k) {
        const T q = w.rho * w.phi[k] + dtdx * (fl.phi[k] - fr.phi[k]);
        finite = finite && kfinite(q);
        r.w.phi[k] = kselect(empty, w.phi[k], q * rrho);
    }
    r.finite = finite;
    return r;
}

} // namespace tamrel::kernels
