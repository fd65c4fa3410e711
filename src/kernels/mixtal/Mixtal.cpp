// SPDX-License-Identifier: GPL-3.0-or-later
// No multiply and add may be fused into one rounding: the kernel must compute
// exactly the operations its counting run counts.
#pragma GCC optimize("fp-contract=off")

#include "kernels/mixtal/Mixtal.h"

#include <array>
#include <bit>
#include <cstdint>
#include <limits>
#include <memory>
#include <type_traits>
#include <vector>

#include "kernels/common/BlockTally.h"
#include "kernels/common/CellUpdate.h"
#include "kernels/common/Counted.h"
#include "kernels/common/FluidSlab.h"
#include "kernels/common/StripCall.h"
#include "kernels/ppm/PpmStrip.h"

namespace tamrel::kernels::mixtal {

namespace {

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

    // --- The blocks -------------------------------------------------------

    // 1/(g-1) of fluid 1 and its change to fluid 2's: the mixture has
    // theta = th1 + dth f.
    template <class T> struct Closure {
        T th1, dth;
    };
    template <class T> Closure<T> closureOf(T gamma1, T gamma2)
    {
        const T th1 = T(1) / (gamma1 - T(1));
        return { th1, T(1) / (gamma2 - T(1)) - th1 };
    }

    // A cell's fraction (clamped to [0, 1]) and the ratio of specific heats of
    // its mixture: theta, gamma = 1 + 1/theta and (gamma+1)/(2 gamma).
    template <class T> struct MixedCell {
        T f, theta, gam, gfac;
    };
    template <class T> MixedCell<T> mixedCell(T fraction, const Closure<T>& cl)
    {
        MixedCell<T> m;
        m.f = kmax(T(0), kmin(T(1), fraction));
        m.theta = cl.th1 + cl.dth * m.f;
        m.gam = T(1) + T(1) / m.theta;
        m.gfac = T(0.5) + T(0.5) / m.gam;
        return m;
    }

    // The slab [a, b] of a cell of width x1 - x0 moved for dt by the velocity
    // that is linear across the cell from uL at its left edge to uR at its
    // right one (cell-local coordinates keep the rounding of a fraction near
    // float epsilon).
    template <class T> Slab<T> movedSlab(const Slab<T>& s, T x0, T x1, T dt, T uL, T uR)
    {
        const T k0 = dt / (x1 - x0);
        return { s.a + k0 * (uL + (uR - uL) * s.a), s.b + k0 * (uL + (uR - uL) * s.b) };
    }

    // The fluid-2 volume v2 that crosses an interface moving at uf in dt,
    // from the moved slab [a, b] of the upwind cell (from x0 to x1), and the
    // volume the interface sweeps.
    template <class T> struct Crossing {
        T v2, swept;
    };
    template <class T> Crossing<T> crossingVolume(T uf, T dt, T a, T b, T x0, T x1, bool fromLeft)
    {
        return { choose<T>(
                     fromLeft, [&] { return kmax(T(0), b - kmax(a, T(1))) * (x1 - x0); },
                     [&] { return kmax(T(0), kmin(b, T(0)) - a) * (x1 - x0); }),
            choose<T>(
                fromLeft, [&] { return uf * dt; }, [&] { return -uf * dt; }) };
    }
    template <class T> T crossingFraction(T v2, T swept)
    {
        return kmin(T(1), v2 / swept);
    }

    // theta of the gas crossing, and the fluid-2 mass crossing (signed).
    template <class T> struct CrossingFlow {
        T theta, m2;
    };
    template <class T> CrossingFlow<T> crossingFlow(const Closure<T>& cl, T fbar, T rho2Up, T v2, bool fromLeft)
    {
        const T m = rho2Up * v2;
        return { cl.th1 + cl.dth * fbar, fromLeft ? m : -m };
    }

    // Width of a neighbour in units of this cell.
    template <class T> T widthRatio(T x0, T x1, T dx)
    {
        return (x1 - x0) / dx;
    }

    // The part [lo, hi] of this cell (in its widths) that the moved slab of a
    // neighbour covers; offset is where the neighbour starts, scale its width.
    template <class T> Slab<T> pieceBounds(T offset, T scale, const Slab<T>& moved)
    {
        return { kmax(offset + moved.a * scale, T(0)), kmin(offset + moved.b * scale, T(1)) };
    }

    // Volume, first and second moments about the centre of the fluid 2 in a
    // cell, in its widths.
    template <class T> struct Moments {
        T vol, m1, m2;
    };
    // The piece [lo, hi] added to m: its volume, and with WithMoments its
    // moments.
    template <bool WithMoments, class T> void addPiece(Moments<T>& m, T lo, T hi)
    {
        m.vol = m.vol + (hi - lo);
        if constexpr (WithMoments) {
            const T half(0.5);
            const T dl = lo - half, dh = hi - half;
            m.m1 = m.m1 + half * (dh * dh - dl * dl);
            m.m2 = m.m2 + (dh * dh * dh - dl * dl * dl) / T(3);
        }
    }

    // The piece [lo, hi] added to m where it is not empty (hi > lo).
    template <bool WithMoments, class T> void addPieceIfAny(Moments<T>& m, T lo, T hi, std::int64_t& added)
    {
        const bool any = hi > lo;
        added += any;
        if constexpr (kPlain<T>) {
            Moments<T> n = m;
            addPiece<WithMoments>(n, lo, hi);
            m.vol = any ? n.vol : m.vol;
            m.m1 = any ? n.m1 : m.m1;
            m.m2 = any ? n.m2 : m.m2;
        } else if (any) {
            addPiece<WithMoments>(m, lo, hi);
        }
    }

    // Rounding must not turn a full or an empty cell into a mixed one.
    template <class T> T roundedFraction(T vol, T tol)
    {
        return vol >= T(1) - tol ? T(1) : (vol <= tol ? T(0) : vol);
    }

    // The hydrodynamic update of a cell from the increments of its conserved
    // quantities: U' formed directly, since the pressure takes theta of the
    // new fraction, p = (E - m u / 2) / theta (VY is passive, see PpmStrip.h).
    template <class T> struct HydroCell {
        T rhoNew, rho, u, v, p;
        bool positive; // the new density before its floor
    };
    template <class T>
    HydroCell<T> hydroUpdate(T rc, T uc, T vc, T ec, const CellIncrements<T, 1>& d, T thetaNew, T floor)
    {
        const T half(0.5);
        const T rn = rc + d.dRho;
        const T mn = rc * uc + d.dM;
        const T en = ec + d.dE;
        const T vn = rc * vc + d.dPhi[0];
        const T rf = kmax(rn, floor);
        const T ir = T(1) / rf;
        const T un = mn * ir;
        return { rn, rf, un, vn * ir, kmax((en - half * mn * un) / thetaNew, floor), rn > T(0) };
    }

    template <class T> T fluid2Mass(T f, T rho2, T dx, T m2Left, T m2Right)
    {
        return f * rho2 * dx - (m2Right - m2Left);
    }

    template <class T> T cellCourant(T running, T u, T c, T dtdx)
    {
        return kmax(running, (kabs(u) + c) * dtdx);
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
    // PpmStrip.h), runs of one whole state (those, the first moment and the
    // fluid densities), each a count of changes from cell 0, and the count of
    // cells holding fluid 2 up to each cell.
    struct CellRuns {
        std::vector<std::int32_t> hydro, all, fluid2;
        int n = 0;
        bool dtdxFit = false; // Dt/dx finite and not negative in every cell

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
        bool sameAll(int lo, int hi) const { return lo >= 0 && hi < n && all[lo] == all[hi]; }
        // No cell of lo .. hi-1 holds fluid 2.
        bool noFluid2(int lo, int hi) const
        {
            return fluid2[static_cast<std::size_t>(hi - 1)]
                == (lo > 0 ? fluid2[static_cast<std::size_t>(lo - 1)] : 0);
        }
    };

    // Step 1: load the strip (cells 1-B .. L+B) with its mixture, as PPM
    // wants it in the first slots.
    template <class T, class TallyT>
    void loadStrip(
        const MixtalIO& io, const SlotScratch<T>& w, const Closure<T>& cl, CellRuns& runs, TallyT& tally)
    {
        const long first = 1 - io.s.B; // cell of element 0
        const int n = w.n;
        const float* __restrict ix = io.s.x + first;
        const float* __restrict irho = io.s.rho + first;
        const float* __restrict ip = io.s.p + first;
        const float* __restrict iu = io.s.vx + first;
        const float* __restrict iv = io.s.vy + first;
        const float* __restrict ifx = io.fracX + first;
        const float* __restrict ir1 = io.rho1 + first;
        const float* __restrict ir2 = io.rho2 + first;
        const float* __restrict ifr = io.frac + first;
        T* __restrict x = w[mX];
        T* __restrict f = w[mF];
        T* __restrict theta = w[sTheta];
        T* __restrict gam = w[sGam];
        T* __restrict gfac = w[sGfac];
        for (int c = 0; c <= n; ++c)
            x[c] = T(ix[c]);
        // The mixture of each cell; a block of cells of one fraction (to the
        // last bit) forms it once.
        auto put = [&](int c, const MixedCell<T>& m) {
            f[c] = m.f;
            theta[c] = m.theta;
            gam[c] = m.gam;
            gfac[c] = m.gfac;
        };
        std::uint64_t mixed = 0;
        for (int b0 = 0; b0 < n; b0 += kBlock) {
            const int b1 = b0 + kBlock < n ? b0 + kBlock : n;
            if (oneValue(ifr, b0, b1)) {
                const MixedCell<T> m = mixedCell(T(ifr[b0]), cl);
                for (int c = b0; c < b1; ++c)
                    put(c, m);
                mixed += 1;
                continue;
            }
#pragma GCC ivdep
            for (int c = b0; c < b1; ++c)
                put(c, mixedCell(T(ifr[c]), cl));
            mixed += static_cast<std::uint64_t>(b1 - b0);
        }
        tally.hit(Block::LoadCell, mixed);

        // Where the state changes from the cell before, and which cells hold
        // fluid 2; then the counts.
        std::int32_t* __restrict hydro = runs.hydro.data();
        std::int32_t* __restrict all = runs.all.data();
        std::int32_t* __restrict fluid2 = runs.fluid2.data();
        auto bits = [](float v) { return std::bit_cast<std::uint32_t>(v); };
        hydro[0] = 0;
        all[0] = 0;
#pragma GCC ivdep
        for (int c = 1; c < n; ++c) {
            const std::uint32_t h = (bits(irho[c]) ^ bits(irho[c - 1])) | (bits(ip[c]) ^ bits(ip[c - 1]))
                | (bits(iu[c]) ^ bits(iu[c - 1])) | (bits(iv[c]) ^ bits(iv[c - 1]))
                | (bits(ifr[c]) ^ bits(ifr[c - 1]));
            const std::uint32_t a = (bits(ifx[c]) ^ bits(ifx[c - 1])) | (bits(ir1[c]) ^ bits(ir1[c - 1]))
                | (bits(ir2[c]) ^ bits(ir2[c - 1]));
            hydro[c] = h != 0;
            all[c] = (h | a) != 0;
        }
        const double tol = kSlabFractionTolerance;
#pragma GCC ivdep
        for (int c = 0; c < n; ++c)
            fluid2[c] = !(double(plainValue(f[c])) <= tol);
        std::int32_t h = 0, a = 0, k = 0;
        for (int c = 0; c < n; ++c) {
            h += hydro[c];
            a += all[c];
            k += fluid2[c];
            hydro[c] = h;
            all[c] = a;
            fluid2[c] = k;
        }
    }

    // How often each way of placing a slab was taken.
    struct SlabPaths {
        std::int64_t empty = 0, full = 0, atLeft = 0, atRight = 0, inside = 0;
    };

    // The slab of a cell (kernels/common/FluidSlab.h), its way counted. The
    // counting type takes placeSlab's branches; plain numbers form the
    // candidates of every way and select the one placeSlab takes.
    template <class T> Slab<T> cellSlab(T f, T fx, SlabPaths& n)
    {
        if constexpr (kPlain<T>) {
            const T half(0.5);
            const T tol(kSlabFractionTolerance);
            const T edge(kSlabEdgeTolerance);
            const bool empty = f <= tol;
            const bool full = !empty & (f >= T(1) - tol);
            const T h = half * f;
            const T xi = kmax(h - half, kmin(half - h, fx / f));
            const T a = half + xi - h;
            const T b = half + xi + h;
            const bool placed = !empty & !full;
            const bool atLeft = placed & (a < edge);
            const bool atRight = placed & !(a < edge) & (b > T(1) - edge);
            const bool inside = placed & !atLeft & !atRight;
            n.empty += empty;
            n.full += full;
            n.atLeft += atLeft;
            n.atRight += atRight;
            n.inside += inside;
            const T sa = empty ? half : (inside ? a : (atRight ? T(1) - f : T(0)));
            const T sb = empty ? half : (inside ? b : (atLeft ? f : T(1)));
            return { sa, sb };
        } else {
            return placeSlab(f, fx, [&](SlabPlacement p) {
                n.empty += p == SlabPlacement::Empty;
                n.full += p == SlabPlacement::Full;
                n.atLeft += p == SlabPlacement::AtLeftEdge;
                n.atRight += p == SlabPlacement::AtRightEdge;
                n.inside += p == SlabPlacement::Inside;
            });
        }
    }

    // a[lo .. hi) all finite and not negative (the sign bit clear, below
    // infinity).
    template <class T> bool finiteNotNegative(const T* a, int lo, int hi)
    {
        const std::uint64_t infinity = bitsOf(std::numeric_limits<double>::infinity());
        int unfit = 0;
        for (int c = lo; c < hi; ++c)
            unfit |= bitsOf(a[c]) >= infinity;
        return unfit == 0;
    }

    // Cells lo .. hi-1 all full of fluid 2 (their clamped fractions at least
    // 1 less the tolerance).
    template <class T> bool onlyFluid2(const T* f, int lo, int hi)
    {
        const double full = 1.0 - kSlabFractionTolerance;
        int any = 0;
        for (int c = lo; c < hi; ++c)
            any |= !(double(plainValue(f[c])) >= full);
        return any == 0;
    }

    // An empty slab [a, a] adds no piece to any cell it is moved over and no
    // fluid 2 crosses an interface from it, wherever a lies: blocks of empty
    // cells do not move their slabs.
    inline constexpr double kUnmovedEmptySlab = 0.5;

    // Step 3: the fluid-2 slab of each cell 0..L+1 (c = B-1 .. B+L), moved
    // by the contact velocities of its interfaces. The outermost cells lack
    // their outer interface solution: their slab moves with the inner one.
    template <class T, class TallyT>
    void moveSlabs(
        const MixtalIO& io, const SlotScratch<T>& w, T dt, int L, int B, const CellRuns& runs, TallyT& tally)
    {
        const T* __restrict x = w[mX];
        const T* __restrict us = w[sSU]; // contact velocity at c+1/2
        const T* __restrict f = w[mF];
        const float* __restrict fx = io.fracX + (1 - io.s.B);
        T* __restrict ma = w[mA];
        T* __restrict mb = w[mB];
        SlabPaths n;
        auto move = [&](int c, T uL, T uR) {
            const Slab<T> moved = movedSlab(cellSlab(f[c], T(fx[c]), n), x[c], x[c + 1], dt, uL, uR);
            ma[c] = moved.a;
            mb[c] = moved.b;
        };
        move(B - 1, us[B - 1], us[B - 1]);
        std::uint64_t moved = 2;
        for (int b0 = B; b0 < B + L; b0 += kBlock) {
            const int b1 = b0 + kBlock < B + L ? b0 + kBlock : B + L;
            if (runs.noFluid2(b0, b1)) {
                for (int c = b0; c < b1; ++c) {
                    ma[c] = T(kUnmovedEmptySlab);
                    mb[c] = T(kUnmovedEmptySlab);
                }
                continue;
            }
#pragma GCC ivdep
            for (int c = b0; c < b1; ++c)
                move(c, us[c - 1], us[c]);
            moved += static_cast<std::uint64_t>(b1 - b0);
        }
        move(B + L, us[B + L - 1], us[B + L - 1]);
        tally.hit(Block::SlabEmpty, static_cast<std::uint64_t>(n.empty));
        tally.hit(Block::SlabFull, static_cast<std::uint64_t>(n.full));
        tally.hit(Block::SlabAtLeftEdge, static_cast<std::uint64_t>(n.atLeft));
        tally.hit(Block::SlabAtRightEdge, static_cast<std::uint64_t>(n.atRight));
        tally.hit(Block::SlabInside, static_cast<std::uint64_t>(n.inside));
        tally.hit(Block::SlabMove, moved);
    }

    // Step 4: what crosses each interface 1/2 .. L+1/2: theta of the gas (for
    // the energy flux) and the fluid-2 mass. The fluid comes from the upwind
    // cell: both neighbours are read and the upwind one selected.
    template <class T, class TallyT>
    void crossings(const MixtalIO& io, const SlotScratch<T>& w, const Closure<T>& cl, T dt, int L, int B,
        const CellRuns& runs, TallyT& tally)
    {
        const T* __restrict x = w[mX];
        const T* __restrict us = w[sSU];
        const T* __restrict ma = w[mA];
        const T* __restrict mb = w[mB];
        const float* __restrict r2 = io.rho2 + (1 - io.s.B);
        T* __restrict thetaFace = w[mThetaFace];
        T* __restrict m2 = w[mM2];
        std::int64_t fractions = 0;
        std::uint64_t volumes = 0;
        auto crossing = [&](int c) {
            const T uf = us[c];
            const bool fromLeft = uf >= T(0);
            auto upwind = [&](const auto* a) {
                return choose<T>(
                    fromLeft, [&] { return T(a[c]); }, [&] { return T(a[c + 1]); });
            };
            const Crossing<T> cr
                = crossingVolume(uf, dt, upwind(ma), upwind(mb), upwind(x), upwind(x + 1), fromLeft);
            const bool swept = cr.swept > T(0);
            fractions += swept;
            const T fbar = choose<T>(
                swept, [&] { return crossingFraction(cr.v2, cr.swept); }, [] { return T(0); });
            const CrossingFlow<T> flow = crossingFlow(cl, fbar, upwind(r2), cr.v2, fromLeft);
            thetaFace[c] = flow.theta;
            m2[c] = flow.m2;
        };
        // Between two empty cells the volume and the fraction crossing are +0
        // (an empty slab, an interface that moves it or not); only the flow of
        // fluid 1 and its theta remain.
        auto emptyCrossing = [&](int c) {
            const T uf = us[c];
            const bool fromLeft = uf >= T(0);
            const T r2Up = choose<T>(
                fromLeft, [&] { return T(r2[c]); }, [&] { return T(r2[c + 1]); });
            const CrossingFlow<T> flow = crossingFlow(cl, T(0), r2Up, T(0), fromLeft);
            thetaFace[c] = flow.theta;
            m2[c] = flow.m2;
        };
        for (int b0 = B - 1; b0 < B + L; b0 += kBlock) {
            const int b1 = b0 + kBlock < B + L ? b0 + kBlock : B + L;
            if (runs.noFluid2(b0, b1 + 1)) {
#pragma GCC ivdep
                for (int c = b0; c < b1; ++c)
                    emptyCrossing(c);
                continue;
            }
#pragma GCC ivdep
            for (int c = b0; c < b1; ++c)
                crossing(c);
            volumes += static_cast<std::uint64_t>(b1 - b0);
        }
        tally.hit(Block::CrossingFraction, static_cast<std::uint64_t>(fractions));
        tally.hit(Block::Crossing, volumes);
        tally.hit(Block::EmptyCrossing, static_cast<std::uint64_t>(L + 1) - volumes);
    }

    // How often the data-dependent blocks of the landed fluid ran.
    struct LandingPaths {
        std::int64_t pieces = 0; // with their moments
        std::int64_t volumes = 0; // cells whose landed volume alone was formed
        std::int64_t volumePieces = 0; // pieces added to those
    };

    // The moved slabs of cells c-1, c, c+1 inside cell c: its new fluid-2
    // volume and (WithMoments) moments, in its widths. The left neighbour
    // ends, the right one starts, at this cell's edge. Pieces counts the
    // pieces added.
    template <bool WithMoments, class T>
    Moments<T> landedFluid(
        const T* __restrict x, const T* __restrict ma, const T* __restrict mb, int c, T dx, std::int64_t& pieces)
    {
        Moments<T> m { T(0), T(0), T(0) };
        const T left = widthRatio(x[c - 1], x[c], dx);
        const Slab<T> pl = pieceBounds(-left, left, Slab<T> { ma[c - 1], mb[c - 1] });
        addPieceIfAny<WithMoments>(m, pl.a, pl.b, pieces);
        const Slab<T> pc = pieceBounds(T(0), T(1), Slab<T> { ma[c], mb[c] });
        addPieceIfAny<WithMoments>(m, pc.a, pc.b, pieces);
        const T right = widthRatio(x[c + 1], x[c + 2], dx);
        const Slab<T> pr = pieceBounds(T(1), right, Slab<T> { ma[c + 1], mb[c + 1] });
        addPieceIfAny<WithMoments>(m, pr.a, pr.b, pieces);
        return m;
    }

    // The densities of the two fluids in a cell of new fraction fn and
    // mixture density rf. A cell of one fluid has that fluid's density; in a
    // cell without fluid k, Rhok keeps its value.
    template <class T> struct FluidDensities {
        T rho1, rho2;
    };
    // How often the data-dependent blocks of the fluid densities ran.
    struct DensityPaths {
        std::int64_t rho2Mixed = 0, complement = 0, rho1Mixed = 0, oneAtFloor = 0;
    };
    template <class T>
    FluidDensities<T> fluidDensities(T fn, T rf, T mass2, T dx, T r1Old, T r2Old, T floor, T tol, DensityPaths& n)
    {
        const bool full = fn >= T(1);
        const bool mixed2 = !full & (fn > tol);
        n.rho2Mixed += mixed2;
        T rho2 = choose<T>(
            mixed2, [&] { return mass2 / (fn * dx); }, [&] { return full ? rf : r2Old; });
        rho2 = kmax(rho2, floor);
        const bool notEmpty = !(fn <= T(0));
        n.complement += notEmpty;
        const T rest = choose<T>(
            notEmpty, [&] { return T(1) - fn; }, [] { return T(0); });
        const bool mixed1 = notEmpty & (rest > tol);
        n.rho1Mixed += mixed1;
        T rho1 = choose<T>(
            mixed1, [&] { return (rf - fn * rho2) / (T(1) - fn); }, [&] { return notEmpty ? r1Old : rf; });
        // Where the fraction and the mixture density disagree so much that
        // fluid 1 would need a density below the floor, fluid 2 gives way:
        // the mixture rule rho = f rho2 + (1 - f) rho1 always holds.
        const bool low = (rho1 < floor) & (fn > tol);
        n.complement += low;
        const T restLow = choose<T>(
            low, [&] { return T(1) - fn; }, [] { return T(0); });
        const bool atFloor = low & (restLow > tol);
        n.oneAtFloor += atFloor;
        rho2 = choose<T>(
            atFloor, [&] { return kmax((rf - (T(1) - fn) * floor) / fn, floor); }, [&] { return rho2; });
        rho1 = atFloor ? floor : rho1;
        return { kmax(rho1, floor), rho2 };
    }

    template <class T> float out(T v)
    {
        return static_cast<float>(plainValue(v));
    }

    // The largest of v[0..n) and 0, none of them NaN. Eight running maxima,
    // so that the loop runs on whole vectors: the largest value of a set does
    // not depend on the order it is looked for in.
    template <class T> double largestOf(const T* v, int n)
    {
        constexpr int kLanes = 8;
        double lane[kLanes] = {};
        int c = 0;
        for (; c + kLanes <= n; c += kLanes)
            for (int k = 0; k < kLanes; ++k)
                lane[k] = kmax(lane[k], double(plainValue(v[c + k])));
        for (; c < n; ++c)
            lane[0] = kmax(lane[0], double(plainValue(v[c])));
        double largest = 0;
        for (double m : lane)
            largest = kmax(largest, m);
        return largest;
    }

    // Step 6: the new state of cells 1..L (c = B .. B+L-1). Each cell's
    // Courant number goes to sFlat (free by now); the largest is found after
    // the loop (the order of a largest value does not matter: kmax drops NaN).
    template <class T, class TallyT>
    Verdict<T> updateCells(const MixtalIO& io, const SlotScratch<T>& w, const Closure<T>& cl, T floor, int L,
        int B, const CellRuns& runs, TallyT& tally)
    {
        const T tol(kSlabFractionTolerance);
        const T* __restrict x = w[mX];
        const T* __restrict ma = w[mA];
        const T* __restrict mb = w[mB];
        const T* __restrict r_ = w[sRho];
        const T* __restrict u_ = w[sU];
        const T* __restrict v_ = w[sV];
        const T* __restrict e_ = w[sE];
        const T* __restrict dtdx = w[sDtdx];
        const T* __restrict cs = w[sCs];
        const T* __restrict fm = w[sFM];
        const T* __restrict fu = w[sFU];
        const T* __restrict fe = w[sFE];
        const T* __restrict fv = w[sFV];
        const T* __restrict f = w[mF];
        const float* __restrict r1 = io.rho1 + (1 - io.s.B);
        const float* __restrict r2 = io.rho2 + (1 - io.s.B);
        const T* __restrict m2 = w[mM2];
        T* __restrict cfl = w[sFlat];
        // The outputs indexed like the scratch (strip cell i = c - B + 1).
        const long shift = 1 - B;
        const StripIO<float>& s = io.s;
        float* __restrict oRho = s.rhoNew + shift;
        float* __restrict oP = s.pNew + shift;
        float* __restrict oU = s.vxNew + shift;
        float* __restrict oV = s.vyNew + shift;
        float* __restrict oSmoke = s.smokeNew + shift;
        float* __restrict oR1 = io.fluidNew[0] + shift;
        float* __restrict oR2 = io.fluidNew[1] + shift;
        float* __restrict oP1 = io.fluidNew[2] + shift;
        float* __restrict oP2 = io.fluidNew[3] + shift;
        float* __restrict oF = io.fluidNew[4] + shift;
        float* __restrict oFX = io.fluidNew[5] + shift;
        float* __restrict oFY = io.fluidNew[6] + shift;
        float* __restrict oFXX = io.fluidNew[7] + shift;
        float* __restrict oFXY = io.fluidNew[8] + shift;
        float* __restrict oFYY = io.fluidNew[9] + shift;
        LandingPaths landing;
        DensityPaths densities;
        std::int64_t fullCells = 0, notPositive = 0, notFinite = 0;
        auto update = [&](int c) {
            const T dx = x[c + 1] - x[c];
            const Moments<T> m = landedFluid<true>(x, ma, mb, c, dx, landing.pieces);
            const T fn = roundedFraction(m.vol, tol);

            const T kk = dtdx[c];
            const EulerFlux<T, 1> fl { fm[c - 1], fu[c - 1], fe[c - 1], { fv[c - 1] } };
            const EulerFlux<T, 1> fr { fm[c], fu[c], fe[c], { fv[c] } };
            const HydroCell<T> h
                = hydroUpdate(r_[c], u_[c], v_[c], e_[c], cellIncrements(fl, fr, kk), cl.th1 + cl.dth * fn, floor);
            notPositive += !h.positive;
            const T r2c(r2[c]);
            const T mass2 = fluid2Mass(f[c], r2c, dx, m2[c - 1], m2[c]);
            const FluidDensities<T> d = fluidDensities(fn, h.rho, mass2, dx, T(r1[c]), r2c, floor, tol, densities);

            const bool full = fn >= T(1);
            fullCells += full;
            const T m2Out = choose<T>(
                full, [] { return T(1) / T(12); }, [&] { return m.m2; });
            const float pn = out(h.p);
            oRho[c] = out(h.rho);
            oP[c] = pn;
            oU[c] = out(h.u);
            oV[c] = out(h.v);
            oSmoke[c] = out(fn);
            oF[c] = out(fn);
            oFX[c] = out(full ? T(0) : m.m1);
            oFY[c] = 0.0f;
            oFXX[c] = out(m2Out);
            oFXY[c] = 0.0f;
            oFYY[c] = out(fn / T(12));
            oR1[c] = out(d.rho1);
            oR2[c] = out(d.rho2);
            oP1[c] = pn;
            oP2[c] = pn;
            notFinite += !(kfinite(h.rho) & kfinite(h.u) & kfinite(h.v) & kfinite(h.p) & kfinite(d.rho1)
                & kfinite(d.rho2) & kfinite(fn));
            cfl[c] = cellCourant(T(0), u_[c], cs[c], kk);
        };
        // A block of uniform gas whose fluxes are one on both sides of every
        // cell: the increments are Dt/dx times +0, +0 for any finite Dt/dx
        // not negative, so the hydrodynamics give every cell the new state of
        // the first, whatever its width. So do the fluids where no cell holds
        // a fraction between 0 and 1 after the step: without fluid 2 in the
        // block and its neighbours none lands in it (its moments and new
        // fraction are +0); in a block of fluid 2 whose every new volume
        // rounds to 1, the moments are those of a full cell and the fluid
        // densities those of the cell before. Only the Courant number is
        // each cell's own.
        //
        // The fluxes through the interfaces of cells b0 .. b1-1 come from
        // cells b0-5 .. b1+4 (the traced states of their neighbours, three
        // cells each way, and the slabs moved by the contact velocities
        // either side); with those one state, only the theta of the gas
        // crossing may differ, where fluid 2 crosses (its fraction carries
        // the rounding of each cell's width): the energy fluxes are compared.
        auto oneHydroState = [&](int b0, int b1) { return runs.dtdxFit && runs.sameAll(b0 - 5, b1 + 4); };
        auto allFull = [&](int b0, int b1) {
            if (!onlyFluid2(f, b0 - 1, b1 + 1) || !oneValue(fe, b0 - 1, b1))
                return false;
            int partial = 0;
#pragma GCC ivdep
            for (int c = b0; c < b1; ++c) {
                const T dx = x[c + 1] - x[c];
                const Moments<T> m = landedFluid<false>(x, ma, mb, c, dx, landing.volumePieces);
                partial |= !(m.vol >= T(1) - tol);
            }
            landing.volumes += b1 - b0;
            return partial == 0;
        };
        auto oneState = [&](int b0, int b1) {
            return oneHydroState(b0, b1) && (runs.noFluid2(b0 - 1, b1 + 1) || allFull(b0, b1));
        };
        std::uint64_t updated = 0;
        int lastEmpty = -1; // the cell an empty block updated last
        for (int b0 = B; b0 < B + L; b0 += kBlock) {
            const int b1 = b0 + kBlock < B + L ? b0 + kBlock : B + L;
            if (oneState(b0, b1)) {
                // An empty block of the state the last one had gets its new
                // state as well (the state and the fluxes depend on the cells
                // alone there).
                int from = b0;
                if (lastEmpty >= 0 && runs.sameAll(lastEmpty, b0) && runs.noFluid2(b0, b0 + 1)) {
                    from = lastEmpty;
                } else {
                    update(b0);
                    updated += 1;
                    if (runs.noFluid2(b0, b0 + 1))
                        lastEmpty = b0;
                }
                for (float* o : { oRho, oP, oU, oV, oSmoke, oF, oFX, oFY, oFXX, oFXY, oFYY, oR1, oR2, oP1, oP2 }) {
                    const float value = o[from];
                    for (int c = b0; c < b1; ++c)
                        o[c] = value;
                }
#pragma GCC ivdep
                for (int c = from == b0 ? b0 + 1 : b0; c < b1; ++c)
                    cfl[c] = cellCourant(T(0), u_[c], cs[c], dtdx[c]);
                continue;
            }
#pragma GCC ivdep
            for (int c = b0; c < b1; ++c)
                update(c);
            updated += static_cast<std::uint64_t>(b1 - b0);
        }
        const auto landed = updated + static_cast<std::uint64_t>(landing.volumes);
        tally.hit(Block::NeighbourScale, 2 * landed);
        tally.hit(Block::PieceBounds, 3 * landed);
        tally.hit(Block::PieceMoments, static_cast<std::uint64_t>(landing.pieces));
        tally.hit(Block::PieceVolume, static_cast<std::uint64_t>(landing.volumePieces));
        tally.hit(Block::FullVolumeTest, static_cast<std::uint64_t>(landing.volumes));
        tally.hit(Block::Rho2Mixed, static_cast<std::uint64_t>(densities.rho2Mixed));
        tally.hit(Block::FractionComplement, static_cast<std::uint64_t>(densities.complement));
        tally.hit(Block::Rho1Mixed, static_cast<std::uint64_t>(densities.rho1Mixed));
        tally.hit(Block::FluidOneAtFloor, static_cast<std::uint64_t>(densities.oneAtFloor));
        tally.hit(Block::FullCellMoment, static_cast<std::uint64_t>(fullCells));
        tally.hit(Block::UpdateCell, updated);
        tally.hit(Block::CopiedUpdate, static_cast<std::uint64_t>(L) - updated);
        T courant(largestOf(cfl + B, L));
        if (notPositive > 0) {
            tally.hit(Block::RaisedCourant);
            courant = kmax(courant, T(1));
        }
        const float largest = out(courant);
        return { largest, notFinite == 0 && kfinite(largest) };
    }

    // The whole strip: T is double, or Counted<double> to count.
    template <class T, class TallyT> Verdict<T> stripBody(const MixtalIO& io, T* scratch, TallyT& tally)
    {
        const int L = static_cast<int>(io.s.L), B = static_cast<int>(io.s.B);
        const SlotScratch<T> w { scratch, L + 2 * B };
        tally.hit(Block::Call);
        const Closure<T> cl = closureOf(T(io.gamma1), T(io.gamma2));
        const T dt(io.s.dt);
        const T floor(kernelFloorOf(double(io.s.kernelFloor)));
        const PpmParams<T> k { dt, T(io.gamma1), floor, T(io.difcon * float(kDifconScale)), T(io.shkjmp),
            T(io.wavhaf) };

        CellRuns runs(w.n);
        loadStrip(io, w, cl, runs, tally);
        // Step 2: PPM's reconstruction, tracing and interface solutions with
        // each cell's own gamma.
        const long first = 1 - io.s.B; // cell of element 0
        ppmLoad<true>(w, w[mX], io.s.rho + first, io.s.p + first, io.s.vx + first, io.s.vy + first, w[mF], k);
        runs.dtdxFit = finiteNotNegative(w[sDtdx], 0, w.n);
        const SkippedWork done = ppmInterfaceSolutions<true>(w, k, L, B, runs.forPpm());
        moveSlabs(io, w, dt, L, B, runs, tally);
        crossings(io, w, cl, dt, L, B, runs, tally);
        // Step 5: the fluxes, the energy flux with theta of the gas crossing.
        int copiedFluxes = 0;
        const int expanded = ppmFluxes<true, T>(w, k, w[mThetaFace], B - 1, B + L, runs.forPpm(), &copiedFluxes);
        tally.hit(Block::HydroCall);
        tally.hit(Block::HydroStripCell, static_cast<std::uint64_t>(L + 2 * B));
        tally.hit(Block::HydroUpdatedCell, static_cast<std::uint64_t>(L));
        tally.hit(Block::FlatCell, static_cast<std::uint64_t>(done.flat));
        tally.hit(Block::CopiedTrace, static_cast<std::uint64_t>(done.copied));
        tally.hit(Block::Solve, static_cast<std::uint64_t>(done.solved));
        tally.hit(Block::Expansion, static_cast<std::uint64_t>(expanded));
        tally.hit(Block::CopiedFlux, static_cast<std::uint64_t>(copiedFluxes));
        tally.hit(Block::UnslopedCell, static_cast<std::uint64_t>(done.unsloped));
        tally.hit(Block::UninterpolatedCell, static_cast<std::uint64_t>(done.uninterpolated));
        tally.hit(Block::UnflattenedCell, static_cast<std::uint64_t>(done.unflattened));
        // One call is the hydrodynamics' own (wraps to -1 without a call).
        tally.hit(Block::MoreInterpolationCalls, static_cast<std::uint64_t>(done.interpolationCalls) - 1);
        return updateCells(io, w, cl, floor, L, B, runs, tally);
    }

    // The strip in double, built for the widest vectors of the processor as
    // the one-gas PPM strip is (kernels/ppm/Ppm.cpp): an AVX-512, an AVX2 and
    // a baseline copy, the whole body inlined into each, the one the
    // processor runs picked at load time. All compute the same numbers.
#if defined(__clang__)
#define TAMREL_MIXTAL_WIDEST gnu::flatten
#else
#define TAMREL_MIXTAL_WIDEST gnu::target_clones("avx512f", "avx2", "default"), gnu::flatten
#endif
    [[TAMREL_MIXTAL_WIDEST]] Verdict<double> stripWidest(const MixtalIO& io, double* scratch, Tally& tally)
    {
        return stripBody<double>(io, scratch, tally);
    }

    template <class T, class TallyT>
    StripOutcome<float> runStrip(const MixtalIO& io, T* scratch, TallyT& tally, OpCount (*ops)(const TallyT&))
    {
        Verdict<T> v;
        if constexpr (std::is_same_v<T, double>)
            v = stripWidest(io, scratch, tally);
        else
            v = stripBody<T>(io, scratch, tally);
        return { stripCourant(v.courant, v.finite), ops(tally) };
    }

    // --- Operation counts ----------------------------------------------------

    // The operations of one interface through the two-shock solver, each
    // side with its own gamma.
    OpCount measureSolve()
    {
        using C = Counted<double>;
        const int n = 2;
        std::vector<C> scratch(static_cast<std::size_t>(kMixSlotCount) * (n + 1), C(1.0));
        const SlotScratch<C> w { scratch.data(), n };
        for (int c = 0; c <= n; ++c) {
            w[sGam][c] = C(1.4);
            w[sGfac][c] = C(6.0 / 7.0);
        }
        w[sLRho][1] = C(0.5);
        w[sLP][1] = C(0.4);
        const PpmParams<C> k { C(0.001), C(1.4), C(1e-8), C(0.03), C(0.2), C(1.0) };
        // Less what a call costs without an interface.
        const OpCount one = measureOps([&] { (void)ppmRiemann<true>(w, k, 0, 1); });
        const OpCount none = measureOps([&] { (void)ppmRiemann<true>(w, k, 0, 0); });
        OpCount solve;
        using K = std::uint64_t OpCount::*;
        for (K q : { &OpCount::add, &OpCount::mul, &OpCount::div, &OpCount::merge, &OpCount::sqrt, &OpCount::sqrt2,
                 &OpCount::exp })
            solve.*q = one.*q - none.*q;
        return solve;
    }

    // What an interface whose flux is copied does not do: the sampled flux
    // and the test whether the flow expands (negative: it wraps, and wraps
    // back when the blocks are added up).
    OpCount measureCopiedFlux()
    {
        using C = Counted<double>;
        const int n = 2;
        std::vector<C> scratch(static_cast<std::size_t>(kMixSlotCount) * (n + 1), C(1.0));
        const SlotScratch<C> w { scratch.data(), n };
        const PpmParams<C> k { C(0.001), C(1.4), C(1e-8), C(0.03), C(0.2), C(1.0) };
        const OpCount one = measureOps([&] { (void)ppmFluxes<true, C>(w, k, w[mThetaFace], 0, 1); });
        const OpCount none = measureOps([&] { (void)ppmFluxes<true, C>(w, k, w[mThetaFace], 0, 0); });
        OpCount saved;
        using K = std::uint64_t OpCount::*;
        for (K q : { &OpCount::add, &OpCount::mul, &OpCount::div, &OpCount::merge, &OpCount::sqrt, &OpCount::sqrt2,
                 &OpCount::exp })
            saved.*q = none.*q - one.*q;
        return saved;
    }

    // What a cell whose slopes, interface values or flattening coefficient
    // are not formed does not do (negative, as above): each step on cell 3 of
    // a strip of six.
    struct ReconstructionCosts {
        OpCount unsloped, uninterpolated, unflattened;
        OpCount interpolationCall; // what a call of the interface values costs besides its cells
    };
    ReconstructionCosts measureReconstruction()
    {
        using C = Counted<double>;
        const int n = 6;
        std::vector<C> scratch(static_cast<std::size_t>(kMixSlotCount) * (n + 1), C(1.0));
        const SlotScratch<C> w { scratch.data(), n };
        const PpmParams<C> k { C(0.001), C(1.4), C(1e-8), C(0.03), C(0.2), C(1.0) };
        // One cell less: what one cell costs, negative.
        auto less = [](const OpCount& one, const OpCount& two) {
            OpCount r;
            using K = std::uint64_t OpCount::*;
            for (K q : { &OpCount::add, &OpCount::mul, &OpCount::div, &OpCount::merge, &OpCount::sqrt,
                     &OpCount::sqrt2, &OpCount::exp })
                r.*q = one.*q - two.*q;
            return r;
        };
        const OpCount interpolateOne = measureOps([&] { ppmInterfaces(w, 4, 3); });
        const OpCount interpolateTwo = measureOps([&] { ppmInterfaces(w, 4, 4); });
        return { less(measureOps([&] { ppmSlopes(w, 4, 2); }), measureOps([&] { ppmSlopes(w, 4, 3); })),
            less(interpolateOne, interpolateTwo),
            less(measureOps([&] { ppmFlattening(w, k, 4, 2); }), measureOps([&] { ppmFlattening(w, k, 4, 3); })),
            less(interpolateOne, less(interpolateTwo, interpolateOne)) };
    }

    // The operations of one expansion flux where it is computed: the flux and
    // the test whether the interface expands.
    OpCount measureExpansion()
    {
        using C = Counted<double>;
        const ExpansionSide<C> left { C(1.0), C(-0.3), C(1.0), C(1.4), C(2.5) };
        const ExpansionSide<C> right { C(0.5), C(0.2), C(0.4), C(1.67), C(1.5) };
        const FluxNeighbours<C> q { C(1), C(0.5), C(-0.3), C(0.2), C(2.5), C(1.0), C(0), C(0), C(0), C(1), C(0),
            C(0), C(0), C(1) };
        return measureOps([&] {
            (void)expandingFlux<C>(left, right, C(0), q);
            (void)kmin(C(1), C(0.4));
        });
    }

    // The hydrodynamic steps on Counted numbers for a strip of L cells, on a
    // smooth synthetic state or on uniform gas, without their two-shock
    // solutions and expansion fluxes; and how many cells were traced flat and
    // how many of those copied their traced states.
    struct HydroMeasure {
        OpCount rest;
        int flat = 0, copied = 0;
    };
    HydroMeasure measureHydro(int L, int B, bool uniform = false)
    {
        using C = Counted<double>;
        const int n = L + 2 * B;
        std::vector<C> scratch(static_cast<std::size_t>(kMixSlotCount) * (n + 1));
        const SlotScratch<C> w { scratch.data(), n };
        std::vector<C> rho(n + 1), p(n + 1), u(n + 1), v(n + 1);
        for (int c = 0; c <= n; ++c) {
            w[mX][c] = C(0.01 * c);
            rho[c] = C(uniform ? 1.0 : 1.0 + 0.1 * c);
            p[c] = C(uniform ? 1.0 : 1.0 + 0.05 * c * c);
            u[c] = C(uniform ? 0.3 : 0.3 - 0.02 * c);
            v[c] = C(0.1);
            w[mF][c] = C(0.5);
            w[sTheta][c] = C(2.5);
            w[sGam][c] = C(1.4);
            w[sGfac][c] = C(6.0 / 7.0);
            w[mThetaFace][c] = C(2.5);
        }
        const PpmParams<C> k { C(0.001), C(1.4), C(1e-8), C(0.03), C(0.2), C(1.0) };
        SkippedWork done;
        int expanded = 0;
        const OpCount all = measureOps([&] {
            ppmLoad<true>(w, w[mX], rho.data(), p.data(), u.data(), v.data(), w[mF], k);
            done = ppmInterfaceSolutions<true>(w, k, L, B);
            expanded = ppmFluxes<true, C>(w, k, w[mThetaFace], B - 1, B + L);
        });
        const OpCount solve = measureSolve(), expansion = measureExpansion();
        OpCount rest;
        using K = std::uint64_t OpCount::*;
        for (K q : { &OpCount::add, &OpCount::mul, &OpCount::div, &OpCount::merge, &OpCount::sqrt, &OpCount::sqrt2,
                 &OpCount::exp })
            rest.*q = all.*q - solve.*q * static_cast<std::uint64_t>(done.solved)
                - expansion.*q * static_cast<std::uint64_t>(expanded);
        return { rest, done.flat, done.copied };
    }

    const std::array<OpCount, kBlockCount>& blockCosts()
    {
        static const std::array<OpCount, kBlockCount> costs = [] {
            std::array<OpCount, kBlockCount> t {};
            auto cost = [&](Block b) -> OpCount& { return t[static_cast<int>(b)]; };
            using C = Counted<double>;
            const C one(1), half(0.5), tiny(1e-9);
            const Closure<C> cl { C(2.5), C(-1.0) };

            // The hydrodynamics: three strip shapes give its three parts, and
            // the same shapes of uniform gas the changes of the flat and the
            // copied cells (u flat and v copied in one, y and z in the other).
            const OpCount a = measureHydro(1, kGhostCells).rest, b = measureHydro(2, kGhostCells).rest,
                          c = measureHydro(1, kGhostCells + 1).rest;
            const HydroMeasure ua = measureHydro(1, kGhostCells, true), ub = measureHydro(2, kGhostCells, true);
            const std::int64_t u = ua.flat, v = ua.copied, y = ub.flat, z = ub.copied, det = u * z - v * y;
            using K = std::uint64_t OpCount::*;
            for (K q : { &OpCount::add, &OpCount::mul, &OpCount::div, &OpCount::merge, &OpCount::sqrt,
                     &OpCount::sqrt2, &OpCount::exp }) {
                const std::uint64_t perCell = (c.*q - a.*q) / 2, perUpdated = b.*q - a.*q - perCell;
                cost(Block::HydroStripCell).*q = perCell;
                cost(Block::HydroUpdatedCell).*q = perUpdated;
                cost(Block::HydroCall).*q = a.*q - perCell * (1 + 2 * kGhostCells) - perUpdated;
                const auto changeA = static_cast<std::int64_t>(ua.rest.*q - a.*q);
                const auto changeB = static_cast<std::int64_t>(ub.rest.*q - b.*q);
                cost(Block::FlatCell).*q = static_cast<std::uint64_t>((changeA * z - changeB * v) / det);
                cost(Block::CopiedTrace).*q = static_cast<std::uint64_t>((u * changeB - y * changeA) / det);
            }
            cost(Block::Solve) = measureSolve();
            cost(Block::CopiedFlux) = measureCopiedFlux();
            const ReconstructionCosts r = measureReconstruction();
            cost(Block::UnslopedCell) = r.unsloped;
            cost(Block::UninterpolatedCell) = r.uninterpolated;
            cost(Block::UnflattenedCell) = r.unflattened;
            cost(Block::MoreInterpolationCalls) = r.interpolationCall;
            cost(Block::Expansion) = measureExpansion();

            cost(Block::Call) = measureOps([&] { (void)closureOf(C(1.4), C(1.67)); });
            cost(Block::LoadCell) = measureOps([&] { (void)mixedCell(half, cl); });
            // Each way of placing a slab, from a fraction and moment that take it.
            const struct {
                Block block;
                double f, fx;
            } placements[] = { { Block::SlabEmpty, 0.0, 0.0 }, { Block::SlabFull, 1.0, 0.0 },
                { Block::SlabInside, 0.25, 0.0 }, { Block::SlabAtLeftEdge, 0.5, -0.125 },
                { Block::SlabAtRightEdge, 0.5, 0.125 } };
            for (const auto& p : placements)
                cost(p.block) = measureOps([&] { (void)placeSlab(C(p.f), C(p.fx)); });
            cost(Block::SlabMove) = measureOps([&] {
                (void)movedSlab(Slab<C> { half, one }, C(0), one, one, one, one);
            });
            cost(Block::Crossing) = measureOps([&] {
                const Crossing<C> cr = crossingVolume(one, one, half, one, C(0), one, true);
                (void)crossingFlow(cl, half, one, cr.v2, true);
            });
            cost(Block::EmptyCrossing) = measureOps([&] { (void)crossingFlow(cl, C(0), one, C(0), true); });
            cost(Block::CrossingFraction) = measureOps([&] { (void)crossingFraction(half, one); });
            cost(Block::NeighbourScale) = measureOps([&] { (void)widthRatio(C(0), one, one); });
            cost(Block::PieceBounds) = measureOps([&] { (void)pieceBounds(C(0), one, Slab<C> { half, one }); });
            cost(Block::PieceMoments) = measureOps([&] {
                Moments<C> m { C(0), C(0), C(0) };
                addPiece<true>(m, C(0), one);
            });
            cost(Block::PieceVolume) = measureOps([&] {
                Moments<C> m { C(0), C(0), C(0) };
                addPiece<false>(m, C(0), one);
            });
            cost(Block::FullVolumeTest) = measureOps([&] {
                (void)(one - C(0)); // the cell's width
                (void)(one - tiny);
            });
            cost(Block::UpdateCell) = measureOps([&] {
                const C dx = one - C(0);
                const C fn = roundedFraction(half, tiny);
                const EulerFlux<C, 1> f { one, one, one, { one } };
                (void)hydroUpdate(one, one, one, one, cellIncrements(f, f, one), cl.th1 + cl.dth * fn, tiny);
                (void)fluid2Mass(one, one, dx, one, one);
                (void)kmax(one, tiny); // the floors of rho2 and rho1
                (void)kmax(one, tiny);
                (void)(fn / C(12)); // FFracYY
                (void)cellCourant(C(0), one, one, one);
            });
            cost(Block::CopiedUpdate) = measureOps([&] { (void)cellCourant(C(0), one, one, one); });
            cost(Block::Rho2Mixed) = measureOps([&] { (void)(half / (half * one)); });
            cost(Block::FractionComplement) = measureOps([&] { (void)(one - half); });
            cost(Block::Rho1Mixed) = measureOps([&] { (void)((one - half * one) / (one - half)); });
            cost(Block::FluidOneAtFloor)
                = measureOps([&] { (void)kmax((one - (one - half) * tiny) / half, tiny); });
            cost(Block::FullCellMoment) = measureOps([&] { (void)(one / C(12)); });
            cost(Block::RaisedCourant) = measureOps([&] { (void)kmax(half, one); });
            return t;
        }();
        return costs;
    }

    OpCount tallied(const Tally& t)
    {
        return t.ops(blockCosts());
    }

    // Counts nothing: the counting run counts by executing.
    struct NoCount {
        template <class B> void hit(B, std::uint64_t = 1) { }
    };

    MixtalIO unpackMixtal(const float* X, const float* Rho3, const float* P3, const float* VX3, const float* VY3,
        const float* Rho1, const float* Rho2, const float* FFrac, const float* FFracX, float* RhoNew, float* PNew,
        float* VXNew, float* VYNew, float* FSmokeNew, const std::array<float*, kFluidArrays>& fluidNew,
        const float* Dt, const float* Gamma, const float* RhoFloor, const float* KernelFloor, const float* PFloor,
        const float* Gamma1, const float* Gamma2, const float* Difcon, const float* Shkjmp, const float* Wavhaf,
        const KLong* L, const KLong* B, bool stripArrays)
    {
        const long l = *L, b = *B;
        auto column = [&](const float* a) { return stripArrays ? stripColumn(a, l, b) : a; };
        MixtalIO io;
        // The fraction is the smoke: FSmoke itself is not read.
        io.s = unpackStrip<float>(X, column(Rho3), column(P3), column(VX3), column(VY3), nullptr, RhoNew, PNew,
            VXNew, VYNew, FSmokeNew, Dt, Gamma, RhoFloor, KernelFloor, PFloor, L, B);
        io.rho1 = atCellZero(Rho1, b);
        io.rho2 = atCellZero(Rho2, b);
        io.frac = atCellZero(FFrac, b);
        io.fracX = atCellZero(FFracX, b);
        for (int q = 0; q < kFluidArrays; ++q)
            io.fluidNew[q] = atCellZero(fluidNew[q], b);
        io.gamma1 = *Gamma1;
        io.gamma2 = *Gamma2;
        io.difcon = *Difcon;
        io.shkjmp = *Shkjmp;
        io.wavhaf = *Wavhaf;
        return io;
    }

    // The checks of every kernel, and those of the two fluids.
    // The four fluid columns finite over the stencil, in one pass built for
    // the widest vectors.
    [[TAMREL_MIXTAL_WIDEST]] bool fluidsFinite(const MixtalIO& io)
    {
        const long lo = 1 - kGhostCells, hi = io.s.L + kGhostCells;
        using Bits = FloatBits<float>;
        const float* __restrict r1 = io.rho1;
        const float* __restrict r2 = io.rho2;
        const float* __restrict f = io.frac;
        const float* __restrict fx = io.fracX;
        Bits::Word bad = 0;
        for (long i = lo; i <= hi; ++i)
            bad |= Bits::nonFinite(r1[i]) | Bits::nonFinite(r2[i]) | Bits::nonFinite(f[i])
                | Bits::nonFinite(fx[i]);
        return bad == 0;
    }

    bool fluidsValid(const MixtalIO& io)
    {
        return io.gamma1 > 1.0f && io.gamma2 > 1.0f && fluidsFinite(io);
    }

    template <class Body> void runMixtalCall(const MixtalIO& io, float* courant, KLong* counters, Body&& body)
    {
        runStripCall(io.s, kGhostCells, courant, counters, [&](const StripIO<float>&) {
            if (!fluidsValid(io))
                return StripOutcome<float> { faultCourant<float>(), OpCount {} };
            return body();
        });
    }

} // namespace

OpCount countStrip(const StripArgs<float>& a)
{
    const KernelScalars<float>& k = *a.k;
    std::array<float*, kFluidArrays> fluidNew;
    for (int q = 0; q < kFluidArrays; ++q)
        fluidNew[q] = a.out[kFirstFluidNew + q];
    const MixtalIO io
        = unpackMixtal(a.x, a.rho, a.p, a.vx, a.vy, a.fluid[0], a.fluid[1], a.fluid[4], a.fluid[5], a.out[kRhoNew],
            a.out[kPNew], a.out[kVXNew], a.out[kVYNew], a.out[kSmokeNew], fluidNew, &k.dt, &k.gamma, &k.rhoFloor,
            &k.kernelFloor, &k.pFloor, &k.gamma1, &k.gamma2, &k.difcon, &k.shkjmp, &k.wavhaf, &a.L, &a.B, false);
    OpCount executed;
    runMixtalCall(io, a.courant, nullptr, [&] {
        using C = Counted<double>;
        std::vector<C> scratch(static_cast<std::size_t>(kMixSlotCount) * (io.s.L + 2 * io.s.B + 1));
        NoCount none;
        OpCountScope scope;
        const StripOutcome<float> r = runStrip<C>(
            io, scratch.data(), none, +[](const NoCount&) { return OpCount {}; });
        executed = scope.counts();
        return StripOutcome<float> { r.courant, executed };
    });
    return executed;
}

} // namespace tamrel::kernels::mixtal

using namespace tamrel::kernels;

void MIXTAL(const float* X, const float* Rho3, const float* P3, const float* VX3, const float* VY3,
    const float* /*VZ3*/, const float* /*FSmoke*/, const float* Rho1, const float* Rho2, const float* /*P1*/,
    const float* /*P2*/, const float* FFrac, const float* FFracX, const float* /*FFracY*/,
    const float* /*FFracXX*/, const float* /*FFracXY*/, const float* /*FFracYY*/, float* RhoNew, float* PNew,
    float* VXNew, float* VYNew, float* FSmokeNew, float* Rho1New, float* Rho2New, float* P1New, float* P2New,
    float* FFracNew, float* FFracXNew, float* FFracYNew, float* FFracXXNew, float* FFracXYNew, float* FFracYYNew,
    const float* Dt, float* Courant, const float* Gamma, const float* RhoFloor, const float* KernelFloor,
    const float* PFloor, const float* /*VXEpsilon*/, const float* Gamma1, const float* Gamma2,
    const float* /*RhoRatio2*/, const float* Difcon, const float* Shkjmp, const float* Wavhaf, const KLong* L,
    const KLong* B, KLong* Counters, const KLong* /*Cycle*/)
{
    const std::array<float*, kFluidArrays> fluidNew { Rho1New, Rho2New, P1New, P2New, FFracNew, FFracXNew,
        FFracYNew, FFracXXNew, FFracXYNew, FFracYYNew };
    const mixtal::MixtalIO io = mixtal::unpackMixtal(X, Rho3, P3, VX3, VY3, Rho1, Rho2, FFrac, FFracX, RhoNew,
        PNew, VXNew, VYNew, FSmokeNew, fluidNew, Dt, Gamma, RhoFloor, KernelFloor, PFloor, Gamma1, Gamma2, Difcon,
        Shkjmp, Wavhaf, L, B, true);
    mixtal::runMixtalCall(io, Courant, Counters, [&] {
        // Double inside: the geometry of the fraction needs the extra digits
        // to conserve the fluid-2 volume to 1e-6 over many steps. The scratch
        // belongs to this call alone.
        const auto size = static_cast<std::size_t>(mixtal::kMixSlotCount) * (io.s.L + 2 * io.s.B + 1);
        // Left unset: every slot is written before it is read.
        const auto scratch = std::unique_ptr<double[]>(new double[size]);
        mixtal::Tally tally;
        return mixtal::runStrip<double>(io, scratch.get(), tally, &mixtal::tallied);
    });
}
