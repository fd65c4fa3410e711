// SPDX-License-Identifier: GPL-3.0-or-later
// No multiply and add may be fused into one rounding: the counting runs must
// execute the operations the kernel does.
#pragma GCC optimize("fp-contract=off")

#include "kernels/mixtal/MixtalCosts.h"

#include <array>
#include <cstdint>
#include <vector>

#include "kernels/common/Counted.h"
#include "kernels/mixtal/MixtalStrip.h"

namespace tamrel::kernels::mixtal {

namespace {

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

    // Long: one table, a line or two per block of the tally.
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

} // namespace

OpCount tallied(const Tally& t)
{
    return t.ops(blockCosts());
}

} // namespace tamrel::kernels::mixtal
