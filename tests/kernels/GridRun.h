// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Kernel tests on a plain grid, run by the program's own time step: a Grid
// holds cells 1-B .. N+B+1 of every field in double precision, and GridRun
// hands it to TimeStep::attempt as an experiment state (ghost cells from the
// boundary type, strips of the scheme's length packed as the contract lays
// them out, Single copies for the float schemes, the kernel's Courant number,
// floors after acceptance), then takes the new cells back. The tests choose
// the time step themselves, so that a run lands exactly on a stop time.
//
// OneStrip calls a scheme's entry point on a single strip, packed by the same
// kernels::StripPacker the time step uses, for tests of the call itself.
//
//     Grid g = Grid::uniform(400, 0.0, 1.0);
//     g.setTwoStates(left, right, 0.3);
//     GridRun d(row, {}, Boundary::Outflow);
//     RunStats s = d.run(g, 0.8, 0.2);

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <limits>
#include <string_view>
#include <vector>

#include "kernels/SchemeTable.h"
#include "kernels/StripArgs.h"
#include "run/BoundaryFill.h"
#include "run/DefaultProblem.h"
#include "run/TimeStep.h"
#include "state/ExperimentState.h"

namespace tamrel::testing {

using kernels::KLong;
using kernels::SchemeInfo;

enum class Boundary { Outflow, Periodic, Reflecting };

// The kernel constants of the experiment state, at their start-up values.
struct KernelConstants {
    double gamma = 1.4;
    double rhoFloor = 1e-8;
    double kernelFloor = 1e-8;
    double pFloor = 1e-8;
    double vxEpsilon = 1e-8;
    double difcon = 0.3;
    double shkjmp = 0.2;
    double wavhaf = 1.0;
    double gamma1 = 1.4;
    double gamma2 = 1.4;
    double rhoRatio2 = 1.0;
};

struct Primitive {
    double rho = 1, p = 1, vx = 0, vy = 0;
};

// The two-fluid fields of a grid, in the order of the kernel's argument list.
enum Fluid { kRho1, kRho2, kP1, kP2, kF, kFX, kFY, kFXX, kFXY, kFYY };

// Cells 1-B .. N+B+1 of every field (X(i) is the left edge of cell i).
struct Grid {
    int n = 0;
    int b = 6;
    std::vector<double> x, rho, p, vx, vy, smoke;
    // The two-fluid fields (used by the two-fluid scheme only).
    std::array<std::vector<double>, kernels::kFluidArrays> fluid;

    static Grid uniform(int n, double xl = 0.0, double xr = 1.0, int b = 6)
    {
        Grid g;
        g.n = n;
        g.b = b;
        const std::size_t size = static_cast<std::size_t>(n + 2 * b + 1);
        for (auto* v : { &g.x, &g.rho, &g.p, &g.vx, &g.vy, &g.smoke })
            v->assign(size, 0.0);
        for (auto& v : g.fluid)
            v.assign(size, 0.0);
        const double dx = (xr - xl) / n;
        for (int i = 1 - b; i <= n + b + 1; ++i)
            g.x[g.k(i)] = xl + (i - 1) * dx;
        g.x[g.k(n + 1)] = xr;
        std::fill(g.rho.begin(), g.rho.end(), 1.0);
        std::fill(g.p.begin(), g.p.end(), 1.0);
        return g;
    }

    std::size_t k(int i) const { return static_cast<std::size_t>(i + b - 1); }
    double& at(std::vector<double>& v, int i) { return v[k(i)]; }
    double at(const std::vector<double>& v, int i) const { return v[k(i)]; }
    double dx(int i) const { return x[k(i + 1)] - x[k(i)]; }
    double centre(int i) const { return 0.5 * (x[k(i)] + x[k(i + 1)]); }

    void set(int i, const Primitive& w)
    {
        rho[k(i)] = w.rho;
        p[k(i)] = w.p;
        vx[k(i)] = w.vx;
        vy[k(i)] = w.vy;
    }
    Primitive get(int i) const { return { rho[k(i)], p[k(i)], vx[k(i)], vy[k(i)] }; }

    // Cells whose centre lies left of xJump take the left state (a jump on a
    // cell edge stays on that edge).
    void setTwoStates(const Primitive& left, const Primitive& right, double xJump)
    {
        for (int i = 1 - b; i <= n + b; ++i)
            set(i, centre(i) < xJump ? left : right);
    }

    // The two-fluid fields of the gas as a set-up makes them: fluid 1 is the
    // gas, fluid 2 has rhoRatio2 times its density at the same pressure, and
    // the smoke of each cell, taken as 0 or 1, says which fluid fills it.
    void fillFluidsFromSmoke(double rhoRatio2)
    {
        for (std::size_t e = 0; e < rho.size(); ++e) {
            const bool two = smoke[e] >= 0.5;
            fluid[kRho1][e] = two ? rho[e] / rhoRatio2 : rho[e];
            fluid[kRho2][e] = two ? rho[e] : rho[e] * rhoRatio2;
            fluid[kP1][e] = p[e];
            fluid[kP2][e] = p[e];
            for (int f = kF; f <= kFYY; ++f)
                fluid[static_cast<std::size_t>(f)][e] = 0.0;
            if (two) {
                fluid[kF][e] = 1.0;
                fluid[kFXX][e] = 1.0 / 12;
                fluid[kFYY][e] = 1.0 / 12;
            }
            smoke[e] = two ? 1.0 : 0.0;
        }
    }

    // Interface that separates the two states of setTwoStates.
    double jumpEdge(double xJump) const
    {
        for (int i = 1; i <= n; ++i)
            if (centre(i) >= xJump)
                return x[k(i)];
        return x[k(n + 1)];
    }
};

struct StepOutcome {
    double courant = 0;
    std::array<std::int64_t, 8> counters {};
    bool accepted = false;
    bool fault = false; // NaN Courant or a non-finite new state
};

struct RunStats {
    long steps = 0; // accepted steps
    long retries = 0; // attempts rejected for Courant >= 1
    long floorHits = 0; // cells at RhoFloor or PFloor after a step
    bool fault = false; // a NaN Courant or a non-finite value in the grid
    double time = 0; // time reached
    double maxCourant = 0;
    std::array<std::int64_t, 8> counters {}; // summed over accepted and rejected attempts
};

class GridRun {
public:
    GridRun(const SchemeInfo& scheme, KernelConstants constants = {}, Boundary boundary = Boundary::Outflow)
        : scheme_(scheme)
        , c_(constants)
        , bc_(boundary)
    {
        // Whatever the name, the time step runs this row (a test may have
        // changed its strip length).
        stepper_.setSchemeLookup([this](std::string_view) { return &scheme_; });
    }
    GridRun(const GridRun&) = delete;
    GridRun& operator=(const GridRun&) = delete;

    const KernelConstants& constants() const { return c_; }
    const SchemeInfo& scheme() const { return scheme_; }

    // Ghost cells 1-B..0 and N+1..N+B (X included), as the time step fills them.
    void fillGhosts(Grid& g)
    {
        load(g);
        FillGhostCells(s_);
        store(g, 1 - g.b, g.n + g.b);
    }

    // Largest stable step for a Courant number cfl: cfl * min dx/(|u|+c).
    double stableDt(const Grid& g, double cfl) const
    {
        double m = std::numeric_limits<double>::infinity();
        for (int i = 1; i <= g.n; ++i) {
            const double c = std::sqrt(c_.gamma * g.at(g.p, i) / g.at(g.rho, i));
            m = std::min(m, g.dx(i) / (std::fabs(g.at(g.vx, i)) + c));
        }
        return cfl * m;
    }

    // One attempt of a step of dt through the time step. An accepted attempt
    // (Courant number below 1, finite results) replaces cells 1..N.
    StepOutcome attempt(Grid& g, double dt, long* floorHits = nullptr)
    {
        load(g);
        s_.Dt = dt;
        const AttemptResult r = stepper_.attempt(s_);
        StepOutcome out;
        out.courant = stepper_.lastCourant();
        for (std::size_t k = 0; k < out.counters.size(); ++k)
            out.counters[k] = stepper_.lastCounts()[k];
        out.accepted = r == AttemptResult::Accepted;
        out.fault = r == AttemptResult::Fault || r == AttemptResult::NoScheme;
        if (!out.accepted)
            return out;
        store(g, 1, g.n);
        if (floorHits != nullptr)
            for (int i = 1; i <= g.n; ++i)
                *floorHits += (s_.Rho[i] == s_.RhoFloor) + (s_.P[i] == s_.PFloor);
        return out;
    }

    // Advances g from time 0 to tStop at Courant number cfl (the last step
    // shortened to land on tStop); a rejected attempt is retried with 0.9 dt.
    RunStats run(Grid& g, double cfl, double tStop, long maxAttempts = 10000000)
    {
        RunStats st;
        double dt = 0;
        for (long attempts = 0; st.time < tStop && attempts < maxAttempts; ++attempts) {
            if (dt <= 0)
                dt = stableDt(g, cfl);
            const double d = std::min(dt, tStop - st.time);
            const StepOutcome o = attempt(g, d, &st.floorHits);
            for (int k = 0; k < 8; ++k)
                st.counters[k] += o.counters[k];
            if (o.fault) {
                st.fault = true;
                return st;
            }
            if (!o.accepted) {
                dt = 0.9 * d;
                ++st.retries;
                continue;
            }
            st.maxCourant = std::max(st.maxCourant, o.courant);
            st.time = (d == tStop - st.time) ? tStop : st.time + d;
            ++st.steps;
            dt = 0;
        }
        return st;
    }

    static bool allFinite(const Grid& g)
    {
        for (int i = 1; i <= g.n; ++i)
            if (!std::isfinite(g.at(g.rho, i)) || !std::isfinite(g.at(g.p, i)) || !std::isfinite(g.at(g.vx, i))
                || !std::isfinite(g.at(g.vy, i)) || !std::isfinite(g.at(g.smoke, i)))
                return false;
        return true;
    }

private:
    // The experiment state of g: grid, cells 1..N, boundary types, constants.
    void load(Grid& g)
    {
        if (s_.NGridCells != g.n || s_.X.empty()) {
            s_ = ExperimentState {};
            s_.NGridCells = g.n;
            s_.NPlotsTotal = 2;
            s_.SchemeName = std::string(scheme_.name);
            AllocateArrays(s_);
            if (scheme_.twoFluid && s_.Rho1.empty())
                allocateMultifluidArrays(s_);
        }
        s_.NBdy = g.b;
        const Long type = bc_ == Boundary::Periodic ? 4 : (bc_ == Boundary::Reflecting ? 1 : 2);
        s_.MnBdry = type;
        s_.MxBdry = type;
        s_.Gamma = c_.gamma;
        s_.RhoFloor = c_.rhoFloor;
        s_.KernelFloor = c_.kernelFloor;
        s_.PFloor = c_.pFloor;
        s_.VXEpsilon = c_.vxEpsilon;
        s_.Difcon = c_.difcon;
        s_.Shkjmp = c_.shkjmp;
        s_.Wavhaf = c_.wavhaf;
        s_.Gamma1 = c_.gamma1;
        s_.Gamma2 = c_.gamma2;
        s_.RhoRatio2 = c_.rhoRatio2;
        s_.MeterOn = 0;
        s_.DtPlot = 0;
        for (int i = 1; i <= g.n + 1; ++i)
            s_.X[i] = g.at(g.x, i);
        for (int i = 1; i <= g.n; ++i) {
            for (auto [q, v] : fields(g))
                (*q)[i] = g.at(*v, i);
        }
    }

    // Cells lo..hi of the state back into g (X from lo to hi + 1).
    void store(Grid& g, int lo, int hi)
    {
        for (int i = lo; i <= hi + 1; ++i)
            g.at(g.x, i) = s_.X[i];
        for (int i = lo; i <= hi; ++i)
            for (auto [q, v] : fields(g))
                g.at(*v, i) = (*q)[i];
    }

    // The state's fields and the grid's, pairwise.
    std::vector<std::pair<BoundedArray<double>*, std::vector<double>*>> fields(Grid& g)
    {
        std::vector<std::pair<BoundedArray<double>*, std::vector<double>*>> f { { &s_.Rho, &g.rho },
            { &s_.P, &g.p }, { &s_.VX, &g.vx }, { &s_.VY, &g.vy }, { &s_.FSmoke, &g.smoke } };
        if (scheme_.twoFluid) {
            BoundedArray<double>* q[] = { &s_.Rho1, &s_.Rho2, &s_.P1, &s_.P2, &s_.FFrac, &s_.FFracX, &s_.FFracY,
                &s_.FFracXX, &s_.FFracXY, &s_.FFracYY };
            for (int k = 0; k < kernels::kFluidArrays; ++k)
                f.emplace_back(q[k], &g.fluid[static_cast<std::size_t>(k)]);
        }
        return f;
    }

    SchemeInfo scheme_;
    KernelConstants c_;
    Boundary bc_;
    TimeStep stepper_;
    ExperimentState s_;
};

// One strip of a grid, packed for a direct call of a scheme's entry point:
// copies of cells 1-B .. L+B (X to L+B+1) in the scheme's precision, the
// constants, and the packer that lays them out as the time step does. Tests
// may change the copies (and B, L, the constants) before a call.
template <class Real> struct OneStrip {
    long L = 0, B = 0;
    std::vector<Real> x, rho, p, vx, vy, smoke;
    std::array<std::vector<Real>, kernels::kFluidArrays> fluid;
    kernels::KernelScalars<Real> k;
    kernels::StripPacker<Real> packer;

    // The strip of len cells after s cells of g (ghost cells as g has them).
    OneStrip(const Grid& g, long s, long len, const KernelConstants& c, double dt)
        : L(len)
        , B(g.b)
    {
        const long cells = L + 2 * B;
        auto slice = [&](std::vector<Real>& out, const std::vector<double>& v, long count) {
            out.resize(static_cast<std::size_t>(count));
            for (long e = 0; e < count; ++e)
                out[static_cast<std::size_t>(e)] = static_cast<Real>(v[g.k(static_cast<int>(s + 1 - B + e))]);
        };
        slice(x, g.x, cells + 1);
        slice(rho, g.rho, cells);
        slice(p, g.p, cells);
        slice(vx, g.vx, cells);
        slice(vy, g.vy, cells);
        slice(smoke, g.smoke, cells);
        for (int f = 0; f < kernels::kFluidArrays; ++f)
            slice(fluid[static_cast<std::size_t>(f)], g.fluid[static_cast<std::size_t>(f)], cells);
        auto r = [](double v) { return static_cast<Real>(v); };
        k.dt = r(dt);
        k.gamma = r(c.gamma);
        k.rhoFloor = r(c.rhoFloor);
        k.kernelFloor = r(c.kernelFloor);
        k.pFloor = r(c.pFloor);
        k.vxEpsilon = r(c.vxEpsilon);
        k.difcon = r(c.difcon);
        k.shkjmp = r(c.shkjmp);
        k.wavhaf = r(c.wavhaf);
        k.gamma1 = r(c.gamma1);
        k.gamma2 = r(c.gamma2);
        k.rhoRatio2 = r(c.rhoRatio2);
    }

    // The arguments of a call of `scheme` (its strip arrays filled anew).
    kernels::StripArgs<Real> pack(const SchemeInfo& scheme, Real* courant, KLong* counters)
    {
        kernels::GridInputs<Real> in { x.data(), rho.data(), p.data(), vx.data(), vy.data(), smoke.data(), {} };
        for (int f = 0; f < kernels::kFluidArrays; ++f)
            in.fluid[static_cast<std::size_t>(f)] = fluid[static_cast<std::size_t>(f)].data();
        return packer.pack(in, k, 0, L, B, scheme.entry<Real>().stripArrays, scheme.twoFluid, courant, counters);
    }

    // Calls the entry point once; Courant and the counters accumulate.
    kernels::StripArgs<Real> call(const SchemeInfo& scheme, Real& courant, KLong* counters)
    {
        const kernels::StripArgs<Real> a = pack(scheme, &courant, counters);
        scheme.entry<Real>().run(a);
        return a;
    }

    // Result q (kernels::kRhoNew ...) of cells 1..L of the last call.
    std::vector<Real> result(const kernels::StripArgs<Real>& a, int q) const
    {
        const Real* o = a.out[static_cast<std::size_t>(q)] + (B - 1);
        return std::vector<Real>(o + 1, o + L + 1);
    }
};

} // namespace tamrel::testing
