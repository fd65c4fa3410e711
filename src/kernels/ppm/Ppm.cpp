// SPDX-License-Identifier: GPL-3.0-or-later
// No multiply and add may be fused into one rounding: every copy of the
// update below then computes exactly the operations the counters report, on
// every processor. (The kernels are built without errno for square roots and
// without trapping comparisons, so that the inner loops vectorise: see
// CMakeLists.txt.)
#pragma GCC optimize("fp-contract=off")

#include "kernels/ppm/Ppm.h"

#include <array>
#include <cstdint>
#include <vector>

#include "common/VectorCopies.h"
#include "kernels/common/BlockTally.h"
#include "kernels/common/Counted.h"
#include "kernels/common/StripCall.h"
#include "kernels/common/UniformShortcut.h"
#include "kernels/ppm/PpmStrip.h"

namespace tamrel::kernels::ppm {

static_assert(kSlotCount <= kWorkPerCell, "PPM scratch must fit in Work");

namespace {

    // Blocks of the operation tally. Every loop of the strip update is
    // branch-free, so its operations are a constant per strip cell (all L+2B
    // of them), per updated cell (1..L) and per call, besides one two-shock
    // solution per interface the solver runs on and one expansion flux per
    // interface it is computed for; a non-positive new density adds one more
    // merge (the Courant number raised to 1).
    // A cell traced from flat parabolas (uniform gas around it) does the
    // FlatCell block's work instead of part of its StripCell work; that
    // block's cost is the difference, negative (it wraps, and wraps back when
    // the blocks are added up).
    enum class Block : int { Call, StripCell, UpdatedCell, FlatCell, Solve, Expansion, RaisedCourant, End };
    constexpr int kBlockCount = static_cast<int>(Block::End);
    using Tally = BlockTally<kBlockCount>;

    // The operations of one two-shock solution.
    OpCount measureSolve()
    {
        using C = Counted<double>;
        const riemann::TwoShockSide<C> left { C(1.0), C(0.3), C(1.0), C(1.4), C(1.2) };
        const riemann::TwoShockSide<C> right { C(0.5), C(-0.2), C(0.4), C(1.4), C(1.2) };
        return measureOps([&] { (void)riemann::twoShockState<C>(left, right, C(1e-8)); });
    }

    // The operations of one expansion flux where it is computed: the flux and
    // the test whether the interface expands.
    OpCount measureExpansion()
    {
        using C = Counted<double>;
        const ExpansionSide<C> left { C(1.0), C(-0.3), C(1.0), C(1.4), C(2.5) };
        const ExpansionSide<C> right { C(0.5), C(0.2), C(0.4), C(1.4), C(2.5) };
        const FluxNeighbours<C> q { C(1), C(0.5), C(-0.3), C(0.2), C(2.5), C(1.0), C(0), C(0), C(0), C(1), C(0),
            C(0), C(0), C(1) };
        return measureOps([&] {
            (void)expandingFlux<C>(left, right, C(0), q);
            (void)kmin(C(1), C(0.4));
        });
    }

    // The operations of one strip update on Counted numbers, on a smooth
    // synthetic state (the loops are branch-free, so any sound state gives
    // the same count) or on uniform gas, without its two-shock solutions and
    // expansion fluxes; and how many of its cells were traced flat.
    struct StripMeasure {
        OpCount rest;
        int flat = 0;
    };
    StripMeasure measureStrip(int L, int B, bool uniform = false)
    {
        using C = Counted<double>;
        const int n = L + 2 * B;
        std::vector<C> x(n + 1), rho(n), p(n), u(n), v(n), s(n);
        std::vector<C> o(5 * (n + 1));
        std::vector<C> work(static_cast<std::size_t>(kSlotCount) * (n + 1));
        for (int c = 0; c <= n; ++c)
            x[c] = C(0.01 * c);
        for (int c = 0; c < n; ++c) {
            rho[c] = C(uniform ? 1.0 : 1.0 + 0.1 * c);
            p[c] = C(uniform ? 1.0 : 1.0 + 0.05 * c * c);
            u[c] = C(uniform ? 0.3 : 0.3 - 0.02 * c);
            v[c] = C(0.1);
            s[c] = C(uniform ? 0 : c % 2);
        }
        const PpmParams<C> k { C(0.001), C(1.4), C(1e-8), C(0.3), C(0.2), C(1.0) };
        const PpmOutputs<C> out { &o[0], &o[n + 1], &o[2 * (n + 1)], &o[3 * (n + 1)], &o[4 * (n + 1)] };
        PpmVerdict<C> verdict {};
        const OpCount all = measureOps([&] {
            verdict = ppmStrip<C>(PpmScratch<C> { work.data(), n }, x.data(), rho.data(), p.data(), u.data(),
                v.data(), s.data(), out, k, L, B);
        });
        const OpCount solve = measureSolve();
        const OpCount expansion = measureExpansion();
        OpCount rest;
        using K = std::uint64_t OpCount::*;
        for (K q : { &OpCount::add, &OpCount::mul, &OpCount::div, &OpCount::merge, &OpCount::sqrt, &OpCount::sqrt2,
                 &OpCount::exp })
            rest.*q = all.*q - solve.*q * static_cast<std::uint64_t>(verdict.solved)
                - expansion.*q * static_cast<std::uint64_t>(verdict.expanded);
        return { rest, verdict.flat };
    }

    // The cost of a strip is costs[StripCell] (L + 2B) + costs[UpdatedCell] L
    // + costs[Call]: three strip shapes give the three.
    const std::array<OpCount, kBlockCount>& blockCosts()
    {
        static const std::array<OpCount, kBlockCount> costs = [] {
            const OpCount a = measureStrip(1, kMinGhostCells).rest;
            const OpCount b = measureStrip(2, kMinGhostCells).rest;
            const OpCount c = measureStrip(1, kMinGhostCells + 1).rest;
            const StripMeasure flat = measureStrip(1, kMinGhostCells, true);
            using K = std::uint64_t OpCount::*;
            const K kinds[] = { &OpCount::add, &OpCount::mul, &OpCount::div, &OpCount::merge, &OpCount::sqrt,
                &OpCount::sqrt2, &OpCount::exp };
            std::array<OpCount, kBlockCount> t {};
            auto cost = [&](Block blk) -> OpCount& { return t[static_cast<int>(blk)]; };
            for (K q : kinds) {
                // Unsigned arithmetic: a negative per-call part wraps and
                // wraps back when the blocks are added up.
                const std::uint64_t perCell = (c.*q - a.*q) / 2;
                const std::uint64_t perUpdated = b.*q - a.*q - perCell;
                cost(Block::StripCell).*q = perCell;
                cost(Block::UpdatedCell).*q = perUpdated;
                cost(Block::Call).*q = a.*q - perCell * (1 + 2 * kMinGhostCells) - perUpdated;
                const auto change = static_cast<std::int64_t>(flat.rest.*q - a.*q);
                cost(Block::FlatCell).*q = static_cast<std::uint64_t>(change / flat.flat);
            }
            using C = Counted<double>;
            cost(Block::Solve) = measureSolve();
            cost(Block::Expansion) = measureExpansion();
            cost(Block::RaisedCourant) = measureOps([] { (void)kmax(C(0.5), C(1)); });
            return t;
        }();
        return costs;
    }

    // The strip update built for the widest vectors of the processor
    // (common/VectorCopies.h): an AVX-512, an AVX2 and a baseline copy of the
    // whole update, the widest the processor runs picked per call. The copies
    // compute the same numbers, only more cells go through each instruction;
    // the division and square root units of wide vectors are what the Riemann
    // solver and the tracing wait on.
    TAMREL_VECTOR_COPIES(PpmVerdict<double>, stripWidest,
        (const PpmScratch<double>& w, const double* x, const double* rho, const double* p, const double* u,
            const double* v, const double* s, const PpmOutputs<double>& out, const PpmParams<double>& k, int L,
            int B),
        (w, x, rho, p, u, v, s, out, k, L, B), ppmStrip<double>)

    TAMREL_VECTOR_COPIES(PpmVerdict<float>, stripWidest,
        (const PpmScratch<float>& w, const float* x, const float* rho, const float* p, const float* u,
            const float* v, const float* s, const PpmOutputs<float>& out, const PpmParams<float>& k, int L, int B),
        (w, x, rho, p, u, v, s, out, k, L, B), ppmStrip<float>)

    // Element 0 of an array of the strip at cell 1-B.
    template <class P> P* fromFirstGhost(P* cellZero, long B)
    {
        return cellZero == nullptr ? nullptr : cellZero - (B - 1);
    }

    template <class Real> struct ShockConstants {
        Real difcon, shkjmp, wavhaf;
    };

    template <class T, class Real> PpmParams<T> paramsOf(const StripIO<Real>& io, const ShockConstants<Real>& sc)
    {
        return { T(io.dt), T(io.gamma), T(kernelFloorOf(io.kernelFloor)), T(sc.difcon * Real(kDifconScale)),
            T(sc.shkjmp), T(sc.wavhaf), uniformShortcut() };
    }

    template <class Real> StripOutcome<Real> outcomeOf(const PpmVerdict<Real>& v, int L, int B)
    {
        Tally tally;
        tally.hit(Block::Call);
        tally.hit(Block::StripCell, static_cast<std::uint64_t>(L + 2 * B));
        tally.hit(Block::UpdatedCell, static_cast<std::uint64_t>(L));
        tally.hit(Block::FlatCell, static_cast<std::uint64_t>(v.flat));
        tally.hit(Block::Solve, static_cast<std::uint64_t>(v.solved));
        tally.hit(Block::Expansion, static_cast<std::uint64_t>(v.expanded));
        if (!v.positive)
            tally.hit(Block::RaisedCourant);
        return { stripCourant(v.courant, v.finite), tally.ops(blockCosts()) };
    }

    // The strip in the precision of the call, Work as scratch.
    template <class Real>
    StripOutcome<Real> runStrip(const StripIO<Real>& io, Real* work, const ShockConstants<Real>& sc)
    {
        const int L = static_cast<int>(io.L), B = static_cast<int>(io.B);
        const long b = io.B;
        const PpmOutputs<Real> out { fromFirstGhost(io.rhoNew, b), fromFirstGhost(io.pNew, b),
            fromFirstGhost(io.vxNew, b), fromFirstGhost(io.vyNew, b), fromFirstGhost(io.smokeNew, b) };
        const PpmVerdict<Real> v = stripWidest(PpmScratch<Real> { work, L + 2 * B }, fromFirstGhost(io.x, b),
            fromFirstGhost(io.rho, b), fromFirstGhost(io.p, b), fromFirstGhost(io.vx, b), fromFirstGhost(io.vy, b),
            fromFirstGhost(io.smoke, b), out, paramsOf<Real>(io, sc), L, B);
        return outcomeOf(v, L, B);
    }

    // The same strip on the counting type; the outputs are written back in
    // the call's precision.
    template <class Real>
    StripOutcome<Real> countStripOps(const StripIO<Real>& io, const ShockConstants<Real>& sc, OpCount& executed)
    {
        using C = Counted<Real>;
        const int L = static_cast<int>(io.L), B = static_cast<int>(io.B), n = L + 2 * B;
        auto counted = [&](const Real* cellZero, int count) {
            std::vector<C> v(static_cast<std::size_t>(count));
            const Real* first = fromFirstGhost(cellZero, B);
            for (int e = 0; e < count; ++e)
                v[static_cast<std::size_t>(e)] = C(first[e]);
            return v;
        };
        const auto x = counted(io.x, n + 1), rho = counted(io.rho, n), p = counted(io.p, n), u = counted(io.vx, n),
                   v = counted(io.vy, n), s = counted(io.smoke, n);
        std::vector<C> o(static_cast<std::size_t>(5 * (n + 1)));
        std::vector<C> work(static_cast<std::size_t>(kSlotCount) * (n + 1));
        const PpmOutputs<C> out { &o[0], &o[n + 1], &o[2 * (n + 1)], &o[3 * (n + 1)], &o[4 * (n + 1)] };
        PpmVerdict<C> verdict {};
        executed = measureOps([&] {
            verdict = ppmStrip<C>(PpmScratch<C> { work.data(), n }, x.data(), rho.data(), p.data(), u.data(),
                v.data(), s.data(), out, paramsOf<C>(io, sc), L, B);
        });
        Real* dst[5] = { io.rhoNew, io.pNew, io.vxNew, io.vyNew, io.smokeNew };
        for (int q = 0; q < 5; ++q)
            for (int i = 1; i <= L; ++i)
                dst[q][i] = o[static_cast<std::size_t>(q * (n + 1) + i + B - 1)].value();
        return outcomeOf(PpmVerdict<Real> { verdict.courant.value(), verdict.finite, verdict.positive,
                             verdict.flat, verdict.solved, verdict.expanded },
            L, B);
    }

} // namespace

template <std::floating_point Real>
void orvane(const Real* X, const Real* Rho3, const Real* P3, const Real* VX3, const Real* VY3, const Real* /*VZ3*/,
    const Real* FSmoke, Real* RhoNew, Real* PNew, Real* VXNew, Real* VYNew, Real* Work, Real* FSmokeNew,
    const Real* Dt, Real* Courant, const Real* Gamma, const Real* RhoFloor, const Real* KernelFloor,
    const Real* PFloor, const Real* /*VXEpsilon*/, const Real* Difcon, const Real* Shkjmp, const Real* Wavhaf,
    const KLong* L, const KLong* B, KLong* Counters)
{
    const long l = *L, b = *B;
    const StripIO<Real> io = unpackStrip(X, stripColumn(Rho3, l, b), stripColumn(P3, l, b), stripColumn(VX3, l, b),
        stripColumn(VY3, l, b), FSmoke, RhoNew, PNew, VXNew, VYNew, FSmokeNew, Dt, Gamma, RhoFloor, KernelFloor,
        PFloor, L, B);
    const ShockConstants<Real> sc { *Difcon, *Shkjmp, *Wavhaf };
    runStripCall(io, kMinGhostCells, Courant, Counters,
        [&](const StripIO<Real>& s) { return runStrip<Real>(s, Work, sc); });
}

template <class Real> OpCount countStrip(const StripArgs<Real>& a)
{
    const KernelScalars<Real>& k = *a.k;
    const StripIO<Real> io
        = unpackStrip(a.x, a.rho, a.p, a.vx, a.vy, a.smoke, a.out[kRhoNew], a.out[kPNew], a.out[kVXNew],
            a.out[kVYNew], a.out[kSmokeNew], &k.dt, &k.gamma, &k.rhoFloor, &k.kernelFloor, &k.pFloor, &a.L, &a.B);
    const ShockConstants<Real> sc { k.difcon, k.shkjmp, k.wavhaf };
    OpCount executed;
    runStripCall(io, kMinGhostCells, a.courant, nullptr,
        [&](const StripIO<Real>& s) { return countStripOps<Real>(s, sc, executed); });
    return executed;
}

template void orvane<double>(const double*, const double*, const double*, const double*, const double*,
    const double*, const double*, double*, double*, double*, double*, double*, double*, const double*, double*,
    const double*, const double*, const double*, const double*, const double*, const double*, const double*,
    const double*, const KLong*, const KLong*, KLong*);
template void orvane<float>(const float*, const float*, const float*, const float*, const float*, const float*,
    const float*, float*, float*, float*, float*, float*, float*, const float*, float*, const float*, const float*,
    const float*, const float*, const float*, const float*, const float*, const float*, const KLong*, const KLong*,
    KLong*);
template OpCount countStrip<double>(const StripArgs<double>&);
template OpCount countStrip<float>(const StripArgs<float>&);

} // namespace tamrel::kernels::ppm

void ORVANE64(const double* X, const double* Rho3, const double* P3, const double* VX3, const double* VY3,
    const double* VZ3, const double* FSmoke, double* RhoNew, double* PNew, double* VXNew, double* VYNew,
    double* Work, double* FSmokeNew, const double* Dt, double* Courant, const double* Gamma,
    const double* RhoFloor, const double* KernelFloor, const double* PFloor, const double* VXEpsilon,
    const double* Difcon, const double* Shkjmp, const double* Wavhaf, const tamrel::kernels::KLong* L,
    const tamrel::kernels::KLong* B, tamrel::kernels::KLong* Counters)
{
    tamrel::kernels::ppm::orvane<double>(X, Rho3, P3, VX3, VY3, VZ3, FSmoke, RhoNew, PNew, VXNew, VYNew, Work,
        FSmokeNew, Dt, Courant, Gamma, RhoFloor, KernelFloor, PFloor, VXEpsilon, Difcon, Shkjmp, Wavhaf, L, B,
        Counters);
}

void ORVANE32(const float* X, const float* Rho3, const float* P3, const float* VX3, const float* VY3,
    const float* VZ3, const float* FSmoke, float* RhoNew, float* PNew, float* VXNew, float* VYNew, float* Work,
    float* FSmokeNew, const float* Dt, float* Courant, const float* Gamma, const float* RhoFloor,
    const float* KernelFloor, const float* PFloor, const float* VXEpsilon, const float* Difcon,
    const float* Shkjmp, const float* Wavhaf, const tamrel::kernels::KLong* L, const tamrel::kernels::KLong* B,
    tamrel::kernels::KLong* Counters)
{
    tamrel::kernels::ppm::orvane<float>(X, Rho3, P3, VX3, VY3, VZ3, FSmoke, RhoNew, PNew, VXNew, VYNew, Work,
        FSmokeNew, Dt, Courant, Gamma, RhoFloor, KernelFloor, PFloor, VXEpsilon, Difcon, Shkjmp, Wavhaf, L, B,
        Counters);
}
