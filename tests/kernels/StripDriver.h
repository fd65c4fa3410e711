#pragma once
// A minimal stand-in for the time step, for kernel tests: it owns a whole
// grid in double precision, fills its ghost cells (outflow, periodic or
// reflecting), cuts it into strips no longer than the scheme's longest strip,
// builds every strip's arguments exactly as the contract lays them out (1-D
// slices starting at strip cell 1-B, 25-column strip arrays, New outputs of
// L+2B+1 cells, Work), calls the entry point, and copies cells 1..L back with
// the density/pressure floors. Single-precision schemes get float copies of
// the grid and the constants, as in the real program.
//
// Each strip's arrays are separate vectors of exactly the length the contract
// promises (state slices L+2B, X L+2B+1), so a kernel that reads outside its
// strip is caught by the sanitizers.
//
//     Grid g = Grid::uniform(400, 0.0, 1.0);
//     g.setTwoStates(left, right, 0.3);
//     StripDriver d(lentorRow, {}, Boundary::Outflow);
//     RunStats s = d.run(g, 0.8, 0.2);

#include <algorithm>
#include <array>
#include <cmath>
#include <cstdint>
#include <limits>
#include <type_traits>
#include <vector>

#include "kernels/KernelContract.h"
#include "kernels/SchemeTable.h"

namespace tamrel::testing {

using kernels::EntryKind;
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

// Cells 1-B .. N+B+1 of every field (X(i) is the left edge of cell i).
struct Grid {
    int n = 0;
    int b = 6;
    std::vector<double> x, rho, p, vx, vy, smoke;
    // The two-fluid fields (used by the multifluid scheme only).
    std::array<std::vector<double>, 10> fluid; // Rho1 Rho2 P1 P2 FFrac FFracX FFracY FFracXX FFracXY FFracYY

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

    // The two-fluid fields of a single gas, as a set-up makes them for the
    // multifluid scheme: fluid 1 is the gas, fluid 2 has rhoRatio2 times its
    // density at the same pressure, and no cell holds fluid 2 yet.
    void fillFluidsFromSingleGas(double rhoRatio2)
    {
        for (std::size_t e = 0; e < rho.size(); ++e) {
            fluid[0][e] = rho[e];
            fluid[1][e] = rho[e] * rhoRatio2;
            fluid[2][e] = p[e];
            fluid[3][e] = p[e];
            for (int f = 4; f < 10; ++f)
                fluid[static_cast<std::size_t>(f)][e] = 0.0;
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
    std::array<KLong, 8> counters {};
    bool accepted = false;
};

struct RunStats {
    long steps = 0; // accepted steps
    long retries = 0; // attempts rejected for Courant >= 1
    long floorHits = 0; // cells raised to RhoFloor or PFloor after a step
    bool fault = false; // a NaN Courant or a non-finite value in the grid
    double time = 0; // time reached
    double maxCourant = 0;
    std::array<std::int64_t, 8> counters {}; // summed over accepted and rejected attempts
};

// The arguments of one strip call, in the precision of the scheme.
template <class Real> struct StripCall {
    long L = 0, B = 0;
    std::vector<Real> x, rho, p, vx, vy, vz, smoke;
    std::vector<Real> rho3, p3, vx3, vy3, vz3;
    std::array<std::vector<Real>, 10> fluid;
    std::vector<Real> rhoNew, pNew, vxNew, vyNew, smokeNew, work;
    std::array<std::vector<Real>, 10> fluidNew;
    Real dt = 0, gamma = 0, rhoFloor = 0, kernelFloor = 0, pFloor = 0, vxEpsilon = 0;
    Real difcon = 0, shkjmp = 0, wavhaf = 0, gamma1 = 0, gamma2 = 0, rhoRatio2 = 0;
    KLong cycle = 0;

    // Strip of length len after s cells of grid g.
    void load(const Grid& g, long s, long len, const KernelConstants& c, double dtStep, bool multifluid)
    {
        L = len;
        B = g.b;
        const long n1 = L + 2 * B;
        // Storage is reused from call to call (a driver runs thousands).
        auto slice = [&](std::vector<Real>& out, const std::vector<double>& v, long count) {
            out.resize(static_cast<std::size_t>(count));
            for (long e = 0; e < count; ++e)
                out[static_cast<std::size_t>(e)] = static_cast<Real>(v[g.k(static_cast<int>(s + 1 - B + e))]);
        };
        auto strip3 = [&](std::vector<Real>& out, const std::vector<Real>& oneD) {
            out.resize(static_cast<std::size_t>(kernels::strip3Size(L, B)));
            for (long col = 0; col < 25; ++col)
                std::copy(oneD.begin(), oneD.begin() + n1, out.begin() + col * n1);
        };
        slice(x, g.x, n1 + 1);
        slice(rho, g.rho, n1);
        slice(p, g.p, n1);
        slice(vx, g.vx, n1);
        slice(vy, g.vy, n1);
        slice(smoke, g.smoke, n1);
        vz.assign(static_cast<std::size_t>(n1), Real(0));
        strip3(rho3, rho);
        strip3(p3, p);
        strip3(vx3, vx);
        strip3(vy3, vy);
        vz3.assign(static_cast<std::size_t>(kernels::strip3Size(L, B)), Real(0));
        for (int f = 0; f < 10; ++f) {
            if (multifluid)
                slice(fluid[f], g.fluid[f], n1);
            else
                fluid[f].clear();
            fluidNew[f].assign(multifluid ? static_cast<std::size_t>(n1 + 1) : 0, Real(0));
        }
        for (auto* v : { &rhoNew, &pNew, &vxNew, &vyNew, &smokeNew })
            v->assign(static_cast<std::size_t>(n1 + 1), Real(0));
        work.assign(static_cast<std::size_t>(kernels::kWorkPerCell * (n1 + 1)), Real(0));
        dt = static_cast<Real>(dtStep);
        gamma = static_cast<Real>(c.gamma);
        rhoFloor = static_cast<Real>(c.rhoFloor);
        kernelFloor = static_cast<Real>(c.kernelFloor);
        pFloor = static_cast<Real>(c.pFloor);
        vxEpsilon = static_cast<Real>(c.vxEpsilon);
        difcon = static_cast<Real>(c.difcon);
        shkjmp = static_cast<Real>(c.shkjmp);
        wavhaf = static_cast<Real>(c.wavhaf);
        gamma1 = static_cast<Real>(c.gamma1);
        gamma2 = static_cast<Real>(c.gamma2);
        rhoRatio2 = static_cast<Real>(c.rhoRatio2);
    }

    // Calls the scheme's entry point once; Courant and the counters accumulate.
    void call(const SchemeInfo& s, Real& courant, KLong* counters)
    {
        const KLong l = static_cast<KLong>(L), b = static_cast<KLong>(B);
        if constexpr (std::is_same_v<Real, double>) {
            if (s.kind == EntryKind::Orvane64)
                s.orvane64(x.data(), rho3.data(), p3.data(), vx3.data(), vy3.data(), vz3.data(), smoke.data(),
                    rhoNew.data(), pNew.data(), vxNew.data(), vyNew.data(), work.data(), smokeNew.data(), &dt,
                    &courant, &gamma, &rhoFloor, &kernelFloor, &pFloor, &vxEpsilon, &difcon, &shkjmp, &wavhaf, &l,
                    &b, counters);
        } else {
            auto fd = [&](int f) { return fluid[f].data(); };
            auto fn = [&](int f) { return fluidNew[f].data(); };
            switch (s.kind) {
            case EntryKind::Orvane32:
                s.orvane32(x.data(), rho3.data(), p3.data(), vx3.data(), vy3.data(), vz3.data(), smoke.data(),
                    rhoNew.data(), pNew.data(), vxNew.data(), vyNew.data(), work.data(), smokeNew.data(), &dt,
                    &courant, &gamma, &rhoFloor, &kernelFloor, &pFloor, &vxEpsilon, &difcon, &shkjmp, &wavhaf, &l,
                    &b, counters);
                break;
            case EntryKind::Lentor:
                s.lentor(x.data(), rho.data(), p.data(), vx.data(), vy.data(), vz.data(), smoke.data(),
                    rhoNew.data(), pNew.data(), vxNew.data(), vyNew.data(), work.data(), smokeNew.data(), &dt,
                    &courant, &gamma, &rhoFloor, &kernelFloor, &pFloor, &vxEpsilon, &l, &b, counters);
                break;
            case EntryKind::Mixtal:
                s.mixtal(x.data(), rho3.data(), p3.data(), vx3.data(), vy3.data(), vz3.data(), smoke.data(), fd(0),
                    fd(1), fd(2), fd(3), fd(4), fd(5), fd(6), fd(7), fd(8), fd(9), rhoNew.data(), pNew.data(),
                    vxNew.data(), vyNew.data(), smokeNew.data(), fn(0), fn(1), fn(2), fn(3), fn(4), fn(5), fn(6),
                    fn(7), fn(8), fn(9), &dt, &courant, &gamma, &rhoFloor, &kernelFloor, &pFloor, &vxEpsilon,
                    &gamma1, &gamma2, &rhoRatio2, &difcon, &shkjmp, &wavhaf, &l, &b, counters, &cycle);
                break;
            case EntryKind::Sorvi: {
                const Real *r = rho.data(), *pp = p.data(), *u = vx.data(), *v = vy.data(), *z = vz3.data();
                s.sorvi(x.data(), r, r, r, r, r, pp, pp, pp, pp, pp, u, u, u, u, u, v, v, v, v, v, v, v, z, z, z,
                    z, z, z, z, rhoNew.data(), pNew.data(), vxNew.data(), vyNew.data(), work.data(), &dt, &courant,
                    &gamma, &rhoFloor, &kernelFloor, &pFloor, &vxEpsilon, &l, &b, counters);
                break;
            }
            default:
                break;
            }
        }
    }
};

class StripDriver {
public:
    StripDriver(const SchemeInfo& scheme, KernelConstants constants = {}, Boundary boundary = Boundary::Outflow)
        : scheme_(scheme)
        , c_(constants)
        , bc_(boundary)
    {
    }

    const KernelConstants& constants() const { return c_; }

    // Ghost cells 1-B..0 and N+1..N+B (X included), as the time step fills them.
    void fillGhosts(Grid& g) const
    {
        const int n = g.n;
        std::vector<std::vector<double>*> fields { &g.rho, &g.p, &g.vx, &g.vy, &g.smoke };
        for (auto& f : g.fluid)
            fields.push_back(&f);
        const double len = g.at(g.x, n + 1) - g.at(g.x, 1);
        for (int k = 1; k <= g.b; ++k) {
            switch (bc_) {
            case Boundary::Periodic:
                g.at(g.x, 1 - k) = g.at(g.x, n + 1 - k) - len;
                g.at(g.x, n + 1 + k) = g.at(g.x, 1 + k) + len;
                for (auto* f : fields) {
                    g.at(*f, n + k) = g.at(*f, k);
                    g.at(*f, 1 - k) = g.at(*f, n + 1 - k);
                }
                break;
            case Boundary::Reflecting:
                g.at(g.x, 1 - k) = 2 * g.at(g.x, 1) - g.at(g.x, 1 + k);
                g.at(g.x, n + 1 + k) = 2 * g.at(g.x, n + 1) - g.at(g.x, n + 1 - k);
                for (auto* f : fields) {
                    g.at(*f, 1 - k) = g.at(*f, k);
                    g.at(*f, n + k) = g.at(*f, n + 1 - k);
                }
                g.at(g.vx, 1 - k) = -g.at(g.vx, k);
                g.at(g.vx, n + k) = -g.at(g.vx, n + 1 - k);
                break;
            case Boundary::Outflow:
                g.at(g.x, 1 - k) = g.at(g.x, 2 - k) - g.at(g.x, 2) + g.at(g.x, 1);
                g.at(g.x, n + 1 + k) = g.at(g.x, n + k) + g.at(g.x, n + 1) - g.at(g.x, n);
                for (auto* f : fields) {
                    g.at(*f, 1 - k) = g.at(*f, 1);
                    g.at(*f, n + k) = g.at(*f, n);
                }
                break;
            }
        }
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

    // One attempt of a step of dt: ghosts, strips, kernel calls. If the
    // kernel's Courant number is finite and below 1 (and commit is set) the
    // new cells 1..N replace the old ones, with the floors of the time step.
    StepOutcome attempt(Grid& g, double dt, bool commit = true, long* floorHits = nullptr)
    {
        fillGhosts(g);
        return scheme_.singlePrecision ? attemptIn<float>(g, dt, commit, floorHits)
                                       : attemptIn<double>(g, dt, commit, floorHits);
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
            const StepOutcome o = attempt(g, d, true, &st.floorHits);
            for (int k = 0; k < 8; ++k)
                st.counters[k] += o.counters[k];
            if (std::isnan(o.courant)) {
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
            if (!allFinite(g)) {
                st.fault = true;
                return st;
            }
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
    template <class Real> StepOutcome attemptIn(Grid& g, double dt, bool commit, long* floorHits)
    {
        StepOutcome out;
        const long n = g.n, v = scheme_.longestStrip;
        const long m = (n + v - 1) / v;
        const long len = (n + m - 1) / m;
        Real courant = 0;
        std::vector<double> rhoN(static_cast<std::size_t>(n + 1)), pN(rhoN), vxN(rhoN), vyN(rhoN), smN(rhoN);
        std::array<std::vector<double>, 10> fluidN;
        for (auto& f : fluidN)
            f.assign(static_cast<std::size_t>(n + 1), 0.0);
        StripCall<Real>& call = callFor<Real>();
        for (long j = 0; j < m; ++j) {
            const long s = j * len;
            const long l = std::min(len, n - s);
            call.load(g, s, l, c_, dt, scheme_.multifluid);
            call.call(scheme_, courant, out.counters.data());
            const long o = call.B - 1; // element of strip cell i is i + B - 1
            for (long i = 1; i <= l; ++i) {
                const auto e = static_cast<std::size_t>(i + o);
                const auto gi = static_cast<std::size_t>(s + i);
                rhoN[gi] = call.rhoNew[e];
                pN[gi] = call.pNew[e];
                vxN[gi] = call.vxNew[e];
                vyN[gi] = call.vyNew[e];
                smN[gi] = scheme_.carriesSmoke ? static_cast<double>(call.smokeNew[e]) : 0.0;
                if (scheme_.multifluid)
                    for (int f = 0; f < 10; ++f)
                        fluidN[f][gi] = call.fluidNew[f][e];
            }
        }
        out.courant = static_cast<double>(courant);
        out.accepted = std::isfinite(out.courant) && out.courant < 1.0;
        if (!commit || !out.accepted)
            return out;
        for (int i = 1; i <= n; ++i) {
            const auto gi = static_cast<std::size_t>(i);
            double r = rhoN[gi], p = pN[gi], u = vxN[gi], w = vyN[gi];
            if (r < c_.rhoFloor) {
                r = c_.rhoFloor;
                if (floorHits)
                    ++*floorHits;
            }
            if (p < c_.pFloor) {
                p = c_.pFloor;
                if (floorHits)
                    ++*floorHits;
            }
            if (std::fabs(u) < c_.vxEpsilon)
                u = 0;
            if (std::fabs(w) < c_.vxEpsilon)
                w = 0;
            g.set(i, { r, p, u, w });
            g.at(g.smoke, i) = smN[gi];
            if (scheme_.multifluid) {
                for (int f = 0; f < 10; ++f)
                    g.at(g.fluid[f], i) = fluidN[f][gi];
                g.at(g.smoke, i) = fluidN[4][gi]; // both FSmoke and FFrac take FFracNew
            }
        }
        return out;
    }

    template <class Real> StripCall<Real>& callFor()
    {
        if constexpr (std::is_same_v<Real, float>)
            return callF_;
        else
            return callD_;
    }

    SchemeInfo scheme_;
    KernelConstants c_;
    Boundary bc_;
    StripCall<float> callF_;
    StripCall<double> callD_;
};

// Rows of the scheme table for tests that link only some entry points.
inline SchemeInfo schemeRow(std::string_view name, EntryKind kind, bool single, int longestStrip, bool smoke)
{
    SchemeInfo s { name, kind, single, longestStrip,
        kind == EntryKind::Orvane64 || kind == EntryKind::Orvane32 || kind == EntryKind::Mixtal, smoke,
        kind == EntryKind::Mixtal };
    return s;
}

} // namespace tamrel::testing
