// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Where a cell's fluid 2 lies, from its fraction and first moment: one slab of
// width f (the fraction, in cell widths) whose centroid sits FFracX / f cell
// widths from the cell centre, kept inside the cell. The two-fluid kernel
// moves this slab and the sub-cell profile of the smoke plot draws it, so both
// place it with this one function.
//
// A fraction within kSlabFractionTolerance of 0 or 1 is an empty or a full
// cell. A slab that the moments put within kSlabEdgeTolerance (in cell widths)
// of a cell edge touches that edge: the gap is rounding of the moments, and
// left open it would put a sliver of fluid 1 between the slab and the fluid 2
// of the next cell.

#include "kernels/common/KernelMath.h"

namespace tamrel::kernels {

inline constexpr double kSlabFractionTolerance = 1e-7;
inline constexpr double kSlabEdgeTolerance = 1e-5;

// The slab from a to b, in cell widths from the cell's left edge.
template <class T> struct Slab {
    T a, b;
};

// The ways a slab is placed, as reported to an operation tally.
enum class SlabPlacement { Empty, Full, Inside, AtLeftEdge, AtRightEdge };

// The slab of a cell with fraction f (in [0, 1]) and first moment fx (about
// the cell centre, in cell-width units). onPlacement(SlabPlacement) is told
// which way it went.
template <class T, class OnPlacement> inline Slab<T> placeSlab(T f, T fx, OnPlacement&& onPlacement)
{
    const T half(0.5);
    const T tol(kSlabFractionTolerance);
    const T edge(kSlabEdgeTolerance);
    if (f <= tol) {
        onPlacement(SlabPlacement::Empty);
        return { half, half };
    }
    if (f >= T(1) - tol) {
        onPlacement(SlabPlacement::Full);
        return { T(0), T(1) };
    }
    const T h = half * f;
    const T xi = kmax(h - half, kmin(half - h, fx / f));
    const T a = half + xi - h;
    const T b = half + xi + h;
    if (a < edge) {
        onPlacement(SlabPlacement::AtLeftEdge);
        return { T(0), f };
    }
    if (b > T(1) - edge) {
        onPlacement(SlabPlacement::AtRightEdge);
        return { T(1) - f, T(1) };
    }
    onPlacement(SlabPlacement::Inside);
    return { a, b };
}

template <class T> inline Slab<T> placeSlab(T f, T fx)
{
    return placeSlab(f, fx, [](SlabPlacement) {});
}

} // namespace tamrel::kernels
