// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What every step of the two-fluid strip shares: the scratch slots it adds to
// PPM's, the blocks of its operation tally, the arguments of a call, and the
// runs of one state the load finds, so that later loops may form the numbers
// of a block of one kind once and copy them (the same numbers from the same
// inputs, to the last bit).
//
// Index convention: as PPM's (kernels/ppm/PpmScratch.h), c = i + B - 1 for
// strip cell i.

#include <array>
#include <bit>
#include <cstdint>
#include <type_traits>
#include <vector>

#include "kernels/StripArgs.h"
#include "kernels/common/BlockTally.h"
#include "kernels/common/Counted.h"
#include "kernels/common/StripCall.h"
#include "kernels/mixtal/Mixtal.h"
#include "kernels/ppm/PpmStrip.h"

namespace tamrel::kernels::mixtal {

using namespace ppm;

// Extra scratch slots after the PPM ones.
enum MixSlot : int {
    mX = kSlotCount,
    mF,
    mA, // moved fluid-2 slab of each cell, from ...
    mB, // ... to, in its own cell's widths
    mThetaFace, // 1/(g-1) of the gas crossing each interface
    mM2, // fluid-2 mass crossing each interface (per unit area)
    kMixSlotCount
};

// Blocks of the operation tally: the hydrodynamics (costs per strip cell,
// per updated cell and per call, like the one-gas kernel's, besides one
// two-shock solution per interface the solver runs on, one expansion flux
// per interface it is computed for, and the changes of a cell traced from
// flat parabolas and of one whose traced states were copied, negative:
// they wrap, and wrap back when the blocks are added up), and the pieces
// of the fluid geometry, whose paths depend on the data.
enum class Block : int {
    Call,
    LoadCell,
    HydroCall,
    HydroStripCell,
    HydroUpdatedCell,
    FlatCell,
    CopiedTrace,
    CopiedFlux,
    UnslopedCell,
    UninterpolatedCell,
    UnflattenedCell,
    MoreInterpolationCalls,
    Solve,
    Expansion,
    SlabEmpty,
    SlabFull,
    SlabInside,
    SlabAtLeftEdge,
    SlabAtRightEdge,
    SlabMove,
    Crossing,
    EmptyCrossing,
    CrossingFraction,
    NeighbourScale,
    PieceBounds,
    PieceMoments,
    PieceVolume,
    FullVolumeTest,
    UpdateCell,
    CopiedUpdate,
    Rho2Mixed,
    FractionComplement,
    Rho1Mixed,
    FluidOneAtFloor,
    FullCellMoment,
    RaisedCourant,
    End
};
constexpr int kBlockCount = static_cast<int>(Block::End);
using Tally = BlockTally<kBlockCount>;

// --- Choices the data makes -------------------------------------------
//
// The geometry's blocks depend on the data. Plain numbers form every
// candidate and select one, so that the loops over cells have no branch
// and vectorise; the counting type forms only the one taken, so that it
// counts what a cell of these data executes. Both give the same numbers.

template <class T> inline constexpr bool kPlain = std::is_floating_point_v<T>;

// a() where c holds, else b().
template <class T, class A, class B> inline T choose(bool c, A&& a, B&& b)
{
    if constexpr (kPlain<T>) {
        const T x = a();
        const T y = b();
        return c ? x : y;
    } else {
        return c ? a() : b();
    }
}

// --- Blocks of cells ----------------------------------------------------
//
// The loops over cells go in blocks of kBlock where a block of one kind
// (one fraction, or no fluid 2 in uniform gas) can form its numbers once
// and copy them: the same numbers from the same inputs, to the last bit.

inline constexpr int kBlock = kRiemannBlock;

template <class T> std::uint64_t bitsOf(T v)
{
    using P = decltype(plainValue(v));
    using Word = std::conditional_t<sizeof(P) == 8, std::uint64_t, std::uint32_t>;
    return std::bit_cast<Word>(plainValue(v));
}

// a[lo .. hi) all hold one number, to the last bit (-0 and +0 differ).
template <class T> bool oneValue(const T* a, int lo, int hi)
{
    const std::uint64_t first = bitsOf(a[lo]);
    std::uint64_t differ = 0;
    for (int c = lo + 1; c < hi; ++c)
        differ |= bitsOf(a[c]) ^ first;
    return differ == 0;
}

// --- The strip ----------------------------------------------------------

// The arguments of a call in cell-0 view, and the constants.
struct MixtalIO {
    StripIO<float> s;
    const float *rho1, *rho2, *frac, *fracX; // at cell 0
    std::array<float*, kFluidArrays> fluidNew; // at cell 0
    float gamma1, gamma2, difcon, shkjmp, wavhaf;
};

template <class T> struct Verdict {
    float courant;
    bool finite;
};

// What the load learns about the strip's cells, so that the later loops
// need not compare them again: runs of one hydrodynamic state (density,
// pressure, velocities and fraction: the gas PPM sees; see StateRuns in
// PpmScratch.h), runs of one whole state (those, the first moment and the
// fluid densities), each a count of changes from cell 0, and the count of
// cells holding fluid 2 up to each cell.
struct CellRuns {
    std::vector<std::int32_t> hydro, all, fluid2;
    int n = 0;
    bool dtdxFit = false; // Dt/dx finite and not negative in every cell
    // The runs may stand in for the work of a block (the uniform-gas
    // shortcut, kernels/common/UniformShortcut.h); off, no block is one.
    bool shortcut = true;

    explicit CellRuns(int cells)
        : hydro(static_cast<std::size_t>(cells))
        , all(static_cast<std::size_t>(cells))
        , fluid2(static_cast<std::size_t>(cells))
        , n(cells)
    {
    }
    // The hydrodynamic runs for PPM, where Dt/dx lets them be used.
    StateRuns forPpm() const { return dtdxFit ? StateRuns { hydro.data(), n } : StateRuns {}; }
    // Cells lo .. hi hold one whole state.
    bool sameAll(int lo, int hi) const { return shortcut && lo >= 0 && hi < n && all[lo] == all[hi]; }
    // No cell of lo .. hi-1 holds fluid 2.
    bool noFluid2(int lo, int hi) const
    {
        return shortcut
            && fluid2[static_cast<std::size_t>(hi - 1)] == (lo > 0 ? fluid2[static_cast<std::size_t>(lo - 1)] : 0);
    }
};

} // namespace tamrel::kernels::mixtal
