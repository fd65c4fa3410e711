// Square roots in the inner loops must not set errno, and comparisons must
// not be assumed to trap, or the compiler keeps the loops scalar (a call per
// square root, branches for the selects) instead of vectorising them. No
// multiply and add may be fused into one rounding: every copy of the update
// below then computes exactly the operations the counters report, on every
// processor.
#pragma GCC optimize("no-math-errno", "no-trapping-math", "fp-contract=off")

#include "kernels/ppm/Ppm.h"

#include <algorithm>
#include <array>
#include <cstdint>
#include <limits>
#include <vector>

#include "kernels/opcount/Counted.h"
#include "kernels/ppm/PpmStrip.h"

namespace tamrel::kernels::ppm {

static_assert(kSlotCount <= kWorkPerCell, "PPM scratch must fit in Work");

namespace {

// The operations of one strip update on Counted numbers, on a smooth
// synthetic state (the loops are branch-free, so any valid state gives the
// same count).
OpCount measureStrip(int L, int B)
{
    using C = Counted<double>;
    const int n = L + 2 * B;
    std::vector<C> x(n + 1), rho(n), p(n), u(n), v(n), s(n);
    std::vector<C> o(5 * (n + 1));
    std::vector<C> work(static_cast<std::size_t>(kSlotCount) * (n + 1));
    for (int c = 0; c <= n; ++c)
        x[c] = C(0.01 * c);
    for (int c = 0; c < n; ++c) {
        rho[c] = C(1.0 + 0.1 * c);
        p[c] = C(1.0 + 0.05 * c * c);
        u[c] = C(0.3 - 0.02 * c);
        v[c] = C(0.1);
        s[c] = C(c % 2);
    }
    const PpmParams<C> k{C(0.001), C(1.4), C(1e-8), C(0.3), C(0.2), C(1.0)};
    const PpmOutputs<C> out{&o[0], &o[n + 1], &o[2 * (n + 1)], &o[3 * (n + 1)], &o[4 * (n + 1)]};
    bool fault = false;
    return measureOps([&] {
        ppmStrip<C>(PpmScratch<C>{work.data(), n}, x.data(), rho.data(), p.data(), u.data(), v.data(), s.data(),
            out, k, L, B, fault);
    });
}

using Kinds = std::array<std::int64_t, 7>;

Kinds kinds(const OpCount& c)
{
    return {static_cast<std::int64_t>(c.add), static_cast<std::int64_t>(c.mul), static_cast<std::int64_t>(c.div),
        static_cast<std::int64_t>(c.merge), static_cast<std::int64_t>(c.sqrt), static_cast<std::int64_t>(c.sqrt2),
        static_cast<std::int64_t>(c.exp)};
}

// cost(L, B) = perCell * (L + 2B) + perUpdated * L + fixed.
struct CostModel {
    Kinds perCell{}, perUpdated{}, fixed{};

    static CostModel measure()
    {
        const Kinds a = kinds(measureStrip(1, kMinGhostCells));
        const Kinds b = kinds(measureStrip(2, kMinGhostCells));
        const Kinds c = kinds(measureStrip(1, kMinGhostCells + 1));
        CostModel m;
        for (int q = 0; q < 7; ++q) {
            m.perCell[q] = (c[q] - a[q]) / 2;
            m.perUpdated[q] = b[q] - a[q] - m.perCell[q];
            m.fixed[q] = a[q] - m.perCell[q] * (1 + 2 * kMinGhostCells) - m.perUpdated[q];
        }
        return m;
    }
};

const CostModel& costModel()
{
    static const CostModel model = CostModel::measure();
    return model;
}

// The strip update built for the widest vectors of the processor: the
// compiler makes an AVX-512, an AVX2 and a baseline copy of these functions
// (the whole update inlined into each) and the loader picks the one the
// processor runs. The copies compute the same numbers, only more cells go
// through each instruction; the division and square root units of wide
// vectors are what the Riemann solver and the tracing wait on. Clang cannot
// combine multiversioning with flatten: it builds the baseline copy alone.
#if defined(__clang__)
#define TAMREL_PPM_WIDEST gnu::flatten
#else
#define TAMREL_PPM_WIDEST gnu::target_clones("avx512f", "avx2", "default"), gnu::flatten
#endif
[[TAMREL_PPM_WIDEST]] double stripWidest(
    const PpmScratch<double>& w, const double* x, const double* rho, const double* p, const double* u,
    const double* v, const double* s, const PpmOutputs<double>& out, const PpmParams<double>& k, int L, int B,
    bool& fault)
{
    return ppmStrip<double>(w, x, rho, p, u, v, s, out, k, L, B, fault);
}

[[TAMREL_PPM_WIDEST]] float stripWidest(const PpmScratch<float>& w,
    const float* x, const float* rho, const float* p, const float* u, const float* v, const float* s,
    const PpmOutputs<float>& out, const PpmParams<float>& k, int L, int B, bool& fault)
{
    return ppmStrip<float>(w, x, rho, p, u, v, s, out, k, L, B, fault);
}

} // namespace

OpCount ppmStripCost(int L, int B)
{
    const CostModel& m = costModel();
    std::array<std::uint64_t, 7> t{};
    for (int q = 0; q < 7; ++q)
        t[q] = static_cast<std::uint64_t>(m.perCell[q] * (L + 2 * B) + m.perUpdated[q] * L + m.fixed[q]);
    OpCount c;
    c.add = t[0];
    c.mul = t[1];
    c.div = t[2];
    c.merge = t[3];
    c.sqrt = t[4];
    c.sqrt2 = t[5];
    c.exp = t[6];
    return c;
}

template <std::floating_point Real>
void orvane(const Real* X, const Real* Rho3, const Real* P3, const Real* VX3, const Real* VY3, const Real* /*VZ3*/,
    const Real* FSmoke, Real* RhoNew, Real* PNew, Real* VXNew, Real* VYNew, Real* Work, Real* FSmokeNew,
    const Real* Dt, Real* Courant, const Real* Gamma, const Real* /*RhoFloor*/, const Real* KernelFloor,
    const Real* /*PFloor*/, const Real* /*VXEpsilon*/, const Real* Difcon, const Real* Shkjmp, const Real* Wavhaf,
    const KLong* L, const KLong* B, KLong* Counters)
{
    const int l = *L;
    const int b = *B;
    if (l < 1 || b < kMinGhostCells) {
        *Courant = std::numeric_limits<Real>::quiet_NaN();
        return;
    }
    const int n = l + 2 * b;
    const long column = strip3Index(1 - b, 0, 0, l, b); // column (j, k) = (0, 0)
    const Real floor = std::max(*KernelFloor, std::numeric_limits<Real>::min());
    const PpmParams<Real> k{*Dt, *Gamma, floor, *Difcon * Real(kDifconScale), *Shkjmp, *Wavhaf};
    const PpmOutputs<Real> out{RhoNew, PNew, VXNew, VYNew, FSmokeNew};
    bool fault = false;
    const Real c = stripWidest(PpmScratch<Real>{Work, n}, X, Rho3 + column, P3 + column, VX3 + column,
        VY3 + column, FSmoke, out, k, l, b, fault);
    if (fault || !(*Dt > Real(0)) || *Gamma <= Real(1))
        *Courant = std::numeric_limits<Real>::quiet_NaN();
    else if (!(*Courant != *Courant) && *Courant < c)
        *Courant = c;
    addToCounters(Counters, ppmStripCost(l, b));
}

template void orvane<double>(const double*, const double*, const double*, const double*, const double*,
    const double*, const double*, double*, double*, double*, double*, double*, double*, const double*, double*,
    const double*, const double*, const double*, const double*, const double*, const double*, const double*,
    const double*, const KLong*, const KLong*, KLong*);
template void orvane<float>(const float*, const float*, const float*, const float*, const float*, const float*,
    const float*, float*, float*, float*, float*, float*, float*, const float*, float*, const float*, const float*,
    const float*, const float*, const float*, const float*, const float*, const float*, const KLong*, const KLong*,
    KLong*);

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
