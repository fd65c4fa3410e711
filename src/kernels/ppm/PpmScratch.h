// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What every step of the PPM strip update shares: the constants of Colella &
// Woodward (1984, J. Comput. Phys. 54, 174; "CW84"), the scratch slots the
// steps read and write, the parameters of a call, and the bookkeeping of the
// uniform-gas shortcut (runs of one state and the work they let a strip skip).
//
// Index convention of every step: c = 0 .. n-1 numbers the strip's cells from
// the first ghost cell (c = i + B - 1 for strip cell i), n = L + 2B.

#include <cstdint>

#include "kernels/common/Scratch.h"

namespace tamrel::kernels::ppm {

// Constants of CW84, unchanged from the paper.
struct Cw84 {
    static constexpr double kSteepK0 = 0.1; // contact detection, eq 3.2
    static constexpr double kSteepEta1 = 20.0; // eq 1.16
    static constexpr double kSteepEta2 = 0.05;
    static constexpr double kSteepEps = 0.01; // relative density jump for steepening
    static constexpr double kFlatOmega1 = 0.75; // eq A.1
    static constexpr double kFlatOmega2 = 10.0;
};

// Difcon is given in tenths of the CW84 eq 4.5 coefficient K: K = Difcon / 10.
inline constexpr double kDifconScale = 0.1;

// Scratch slots, each an array of n + 1 numbers.
enum Slot : int {
    // primitives, with density and pressure floored
    sRho,
    sU,
    sP,
    sV,
    sS,
    // limited slopes of u, p, vy, smoke
    sDU,
    sDP,
    sDV,
    sDS,
    // their interface values a_{c+1/2}
    sIU,
    sIP,
    sIV,
    sIS,
    // traced state at the left face of cell c (right state of interface c-1/2)
    sLRho,
    sLU,
    sLP,
    sLV,
    sLS,
    // traced state at the right face of cell c (left state of interface c+1/2)
    sRRho,
    sRU,
    sRP,
    sRV,
    sRS,
    // unlimited flattening coefficient, cell sound speed, Dt/dx, total energy
    sFlat,
    sCs,
    sDtdx,
    sE,
    // flattening coefficient applied in each cell
    sFlatCell,
    // interface solution at c+1/2: density, velocity, pressure, and 1 where
    // the gas crossing comes from the left (u* >= 0), else 0
    sSRho,
    sSU,
    sSP,
    sSUp,
    // fluxes at c+1/2
    sFM,
    sFU,
    sFE,
    sFV,
    sFS,
    // per-cell ratio of specific heats, (g+1)/(2g) and 1/(g-1) (variable-gamma use)
    sGam,
    sGfac,
    sTheta,
    // per-cell check of the new state: 0 where a cell is sound (see ppmUpdate)
    sCheck,
    kSlotCount
};

template <class T> struct PpmParams {
    T dt;
    T gamma; // used when the gas has one gamma
    T floor; // smallest density and pressure used inside the kernel
    T difcon; // K of CW84 eq 4.5 (Difcon times kDifconScale)
    T shkjmp; // relative pressure jump that marks a shock for flattening
    T wavhaf; // weight of the flattening
    // The uniform-gas shortcut: blocks whose cells hold one state skip or
    // copy their work (see ppmTrace, ppmRiemann, ppmFluxes), giving the bits
    // of the full work. Off, every cell and interface goes through the full
    // work: the reference the shortcut is held to.
    bool shortcut = true;
};

// The scratch: slot s of a strip of n cells.
template <class T> using PpmScratch = SlotScratch<T>;

// Cells and interfaces go in blocks of this many where uniform gas lets a
// block skip work (see ppmTrace and ppmRiemann).
inline constexpr int kRiemannBlock = 16;

// Where the cells of a strip hold one state, as a caller that has compared
// its inputs knows it: runs[c] counts the changes of state between cell 0 and
// cell c, so cells lo .. hi hold one state (primitives, smoke and gamma, to
// the last bit) where runs[lo] == runs[hi]. The caller also vouches that
// Dt/dx is finite and not negative in every cell. Without runs the trace and
// the solver scan the scratch themselves.
struct StateRuns {
    const std::int32_t* runs = nullptr;
    int n = 0;
    bool known() const { return runs != nullptr; }
    bool same(int lo, int hi) const { return lo >= 0 && hi < n && runs[lo] == runs[hi]; }
};

// How much of the work on a strip uniform gas let it skip.
struct SkippedWork {
    int flat = 0; // cells traced from flat parabolas
    int copied = 0; // of those, cells whose traced states were copied (gamma per cell only)
    int solved = 0; // interfaces the Riemann solver ran on
    // Given the runs of one state: cells whose slopes, interface values and
    // flattening coefficient were not formed (none is read, or it is +0).
    int unsloped = 0, uninterpolated = 0, unflattened = 0;
    int interpolationCalls = 1; // calls of ppmInterfaces
};

} // namespace tamrel::kernels::ppm
