// SPDX-License-Identifier: GPL-3.0-or-later
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
// kernels' operation counts. The update of a cell from its fluxes is in
// CellUpdate.h.

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

} // namespace tamrel::kernels
