// SPDX-License-Identifier: GPL-3.0-or-later
#include "kernels/riemann/ExactRiemann.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace tamrel::kernels {

namespace {
    constexpr double kInf = std::numeric_limits<double>::infinity();
    constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();
    // A positive pressure below any the lab produces; a gas at zero pressure
    // (with density) is treated as this cold, so its sound speed stays defined.
    constexpr double kColdPressure = 1e-300;

    bool finite(const FlowState& w)
    {
        return std::isfinite(w.rho) && std::isfinite(w.u) && std::isfinite(w.p) && std::isfinite(w.uy);
    }
    // f(p) = fL(p) + fR(p) + du (Toro eq 4.5) and its derivative.
    riemann::PressureFunction<double> pressureFunction(double p, const riemann::GasState<double>& L,
        const riemann::GasState<double>& R, const riemann::GasConstants<double>& g)
    {
        riemann::NoTally none;
        const auto fl = riemann::prefun(p, L, g, none), fr = riemann::prefun(p, R, g, none);
        return { fl.f + fr.f + (R.u - L.u), fl.fd + fr.fd };
    }

    // Whether p solves f(p) = 0 to the solver's accuracy: f changes sign
    // within a relative 1e-9 of p.
    bool solvesStar(double p, const riemann::GasState<double>& L, const riemann::GasState<double>& R,
        const riemann::GasConstants<double>& g)
    {
        if (!(p > 0) || !std::isfinite(p))
            return false;
        return pressureFunction(p * (1 - 1e-9), L, R, g).f <= 0
            && pressureFunction(p * (1 + 1e-9), L, R, g).f >= 0;
    }

    // The star pressure of states far apart (densities or pressures many
    // decades apart), where Newton in p from a guess can stall at the
    // smallest iterate: f rises from -margin < 0 at p = 0 to +infinity, so a
    // bracket is found by decades and narrowed by Newton in log p, with a
    // bisection in log p whenever a step leaves the bracket.
    double robustStarPressure(const riemann::GasState<double>& L, const riemann::GasState<double>& R,
        const riemann::GasConstants<double>& g)
    {
        double lo = std::min(L.p, R.p), hi = std::max(L.p, R.p);
        while (pressureFunction(lo, L, R, g).f > 0 && lo > 1e-300)
            lo *= 1e-10;
        while (pressureFunction(hi, L, R, g).f < 0 && hi < 1e300)
            hi *= 1e10;
        double x = 0.5 * (std::log(lo) + std::log(hi));
        for (int it = 0; it < 400; ++it) {
            const double p = std::exp(x);
            const auto f = pressureFunction(p, L, R, g);
            if (f.f < 0)
                lo = p;
            else
                hi = p;
            // Newton in x = log p: df/dx = p f'(p).
            double next = x - f.f / (p * f.fd);
            if (!(next > std::log(lo) && next < std::log(hi)))
                next = 0.5 * (std::log(lo) + std::log(hi));
            const bool done = std::fabs(next - x) <= 1e-15 * std::max(1.0, std::fabs(x)) || hi <= lo * (1 + 4e-16);
            x = next;
            if (done)
                break;
        }
        return std::exp(x);
    }

} // namespace

ConservedSums conservedOver(const FlowState& w, double width, double gamma)
{
    const double m = w.rho * width;
    return { m, m * w.u, (w.p / (gamma - 1) + 0.5 * w.rho * w.u * w.u) * width, m * w.uy, w.u * width };
}

FlowState stateOfSums(const ConservedSums& sums, double width, double gamma)
{
    if (!(sums.mass > 0)) // vacuum alone
        return { 0, sums.velocity / width, 0, 0 };
    const double u = sums.momentum / sums.mass;
    // The energy left after the kinetic energy of the mean flow; never
    // below 0 (the mean flow holds at most all of it), but rounding in a
    // cell of nearly pure kinetic energy could take it there.
    const double internal = std::max(0.0, sums.energy - 0.5 * sums.momentum * u);
    return { sums.mass / width, u, (gamma - 1) * internal / width, sums.transverse / sums.mass };
}

ExactRiemann::ExactRiemann(const FlowState& left, const FlowState& right, double gamma)
    : left_(left)
    , right_(right)
{
    valid_ = finite(left) && finite(right) && std::isfinite(gamma) && gamma > 1.0;
    if (!valid_)
        return;
    g_ = riemann::GasConstants<double>::make(gamma);
    leftVacuum_ = !(left.rho > 0);
    rightVacuum_ = !(right.rho > 0);
    L_ = { std::max(left.rho, 0.0), left.u, std::max(left.p, kColdPressure), 0.0 };
    R_ = { std::max(right.rho, 0.0), right.u, std::max(right.p, kColdPressure), 0.0 };
    if (!leftVacuum_)
        L_.c = std::sqrt(gamma * L_.p / L_.rho);
    if (!rightVacuum_)
        R_.c = std::sqrt(gamma * R_.p / R_.rho);

    if (leftVacuum_ || rightVacuum_) {
        star_.vacuum = true;
    } else {
        riemann::NoTally none;
        star_ = riemann::solveStar(L_, R_, g_, riemann::defaultLimits<double>(), none);
        if (!star_.vacuum && !solvesStar(star_.p, L_, R_, g_)) {
            star_.p = robustStarPressure(L_, R_, g_);
            const auto fl = riemann::prefun(star_.p, L_, g_, none), fr = riemann::prefun(star_.p, R_, g_, none);
            star_.u = riemann::starVelocity(L_, R_, fl, fr);
            star_.converged = solvesStar(star_.p, L_, R_, g_);
        }
        if (!star_.vacuum) {
            rhoStarL_ = star_.p <= L_.p ? riemann::starDensityRarefaction(L_, star_.p, g_)
                                        : riemann::starDensityShock(L_, star_.p, g_);
            rhoStarR_ = star_.p <= R_.p ? riemann::starDensityRarefaction(R_, star_.p, g_)
                                        : riemann::starDensityShock(R_, star_.p, g_);
        }
    }
    buildSegments();
}

void ExactRiemann::addSegment(double lo, double hi, Piece piece, const FlowState& w)
{
    if (hi > lo || (lo == -kInf && hi == kInf))
        segments_.push_back({ lo, hi, piece, w });
}

void ExactRiemann::buildSegments()
{
    const FlowState vacL { 0, 0, 0, left_.uy }, vacR { 0, 0, 0, right_.uy };
    // The undisturbed states as given (a cold gas keeps its zero pressure).
    const FlowState wl { L_.rho, L_.u, std::max(left_.p, 0.0), left_.uy };
    const FlowState wr { R_.rho, R_.u, std::max(right_.p, 0.0), right_.uy };
    if (leftVacuum_ && rightVacuum_) {
        addSegment(-kInf, kInf, Piece::Vacuum, FlowState {});
        return;
    }
    if (rightVacuum_) { // Toro sec 4.6.1
        const double head = L_.u - L_.c, front = L_.u + g_.g4 * L_.c;
        addSegment(-kInf, head, Piece::Constant, wl);
        addSegment(head, front, Piece::LeftFan, wl);
        addSegment(front, kInf, Piece::Vacuum, vacR);
        return;
    }
    if (leftVacuum_) { // Toro sec 4.6.2
        const double front = R_.u - g_.g4 * R_.c, head = R_.u + R_.c;
        addSegment(-kInf, front, Piece::Vacuum, vacL);
        addSegment(front, head, Piece::RightFan, wr);
        addSegment(head, kInf, Piece::Constant, wr);
        return;
    }
    if (star_.vacuum) { // Toro sec 4.6.3
        const auto v = riemann::vacuumFronts(L_, R_, g_);
        addSegment(-kInf, v.headL, Piece::Constant, wl);
        addSegment(v.headL, v.frontL, Piece::LeftFan, wl);
        addSegment(v.frontL, v.frontR, Piece::Vacuum, vacL);
        addSegment(v.frontR, v.headR, Piece::RightFan, wr);
        addSegment(v.headR, kInf, Piece::Constant, wr);
        return;
    }
    const double ps = star_.p, us = star_.u;
    const FlowState starL { rhoStarL_, us, ps, left_.uy }, starR { rhoStarR_, us, ps, right_.uy };
    if (ps <= L_.p) {
        const double head = riemann::rarefactionHead(L_, false);
        const double tail = std::min(riemann::rarefactionTail(L_, ps, us, g_, false), us);
        addSegment(-kInf, head, Piece::Constant, wl);
        addSegment(head, tail, Piece::LeftFan, wl);
        addSegment(tail, us, Piece::Constant, starL);
    } else {
        const double shock = std::min(riemann::shockSpeed(L_, ps, g_, false), us);
        addSegment(-kInf, shock, Piece::Constant, wl);
        addSegment(shock, us, Piece::Constant, starL);
    }
    if (ps <= R_.p) {
        const double tail = std::max(riemann::rarefactionTail(R_, ps, us, g_, true), us);
        const double head = riemann::rarefactionHead(R_, true);
        addSegment(us, tail, Piece::Constant, starR);
        addSegment(tail, head, Piece::RightFan, wr);
        addSegment(head, kInf, Piece::Constant, wr);
    } else {
        const double shock = std::max(riemann::shockSpeed(R_, ps, g_, true), us);
        addSegment(us, shock, Piece::Constant, starR);
        addSegment(shock, kInf, Piece::Constant, wr);
    }
}

FlowState ExactRiemann::evaluate(const Segment& seg, double s) const
{
    switch (seg.piece) {
    case Piece::Constant:
        return seg.w;
    case Piece::Vacuum:
        return { 0, s, 0, seg.w.uy };
    case Piece::LeftFan:
    case Piece::RightFan: {
        const bool right = seg.piece == Piece::RightFan;
        const auto w = riemann::fanState(right ? R_ : L_, s, g_, right);
        return { w.rho, w.u, w.p, seg.w.uy };
    }
    }
    return {};
}

FlowState ExactRiemann::sample(double s) const
{
    if (!valid_ || std::isnan(s))
        return { kNaN, kNaN, kNaN, kNaN };
    for (const Segment& seg : segments_)
        if (s < seg.hi)
            return evaluate(seg, s);
    return evaluate(segments_.back(), s);
}

FlowState ExactRiemann::at(double x, double x0, double t) const
{
    if (t <= 0) {
        if (!valid_)
            return { kNaN, kNaN, kNaN, kNaN };
        return x < x0 ? left_ : right_;
    }
    return sample((x - x0) / t);
}

ConservedSums ExactRiemann::integrate(const Segment& seg, double a, double b) const
{
    const double w = b - a;
    switch (seg.piece) {
    case Piece::Constant:
        return conservedOver(seg.w, w, g_.gamma);
    case Piece::Vacuum:
        return { 0, 0, 0, 0, 0.5 * (a + b) * w };
    case Piece::LeftFan:
    case Piece::RightFan: {
        // c(S) = g5 (cK + g7 (uK - S)) on the left, g5 (cK + g7 (S - uK)) on
        // the right; with r = c/cK, dS = cK dr / beta, rho = rhoK r^g4 and
        // p = pK r^g3, and the fan's invariant u +- g4 c = uK +- g4 cK makes
        // u = A + B r: rho, rho u, rho u^2 and p integrate to powers of r.
        const bool right = seg.piece == Piece::RightFan;
        const riemann::GasState<double>& K = right ? R_ : L_;
        const double beta = (right ? 1.0 : -1.0) * g_.g5 * g_.g7;
        auto ratio = [&](double s) {
            const double du = right ? s - K.u : K.u - s;
            return std::max(0.0, g_.g5 * (K.c + g_.g7 * du) / K.c);
        };
        const double ra = ratio(a), rb = ratio(b);
        const double scale = K.c / beta;
        // The integral over [a, b] of r^n.
        auto powers = [&](double n) { return scale * (std::pow(rb, n + 1) - std::pow(ra, n + 1)) / (n + 1); };
        const double A = right ? K.u - g_.g4 * K.c : K.u + g_.g4 * K.c;
        const double B = right ? g_.g4 * K.c : -g_.g4 * K.c;
        const double r0 = powers(g_.g4), r1 = powers(g_.g4 + 1), r2 = powers(g_.g4 + 2);
        const double mass = K.rho * r0;
        const double momentum = K.rho * (A * r0 + B * r1);
        const double kinetic = 0.5 * K.rho * (A * A * r0 + 2 * A * B * r1 + B * B * r2);
        const double pressure = K.p * powers(g_.g3);
        const double u0 = right ? g_.g5 * (g_.g7 * K.u - K.c) : g_.g5 * (K.c + g_.g7 * K.u);
        const double velocity = u0 * w + g_.g5 * 0.5 * (a + b) * w;
        return { mass, momentum, pressure / (g_.gamma - 1) + kinetic, mass * seg.w.uy, velocity };
    }
    }
    return {};
}

std::vector<FlowState> ExactRiemann::cellAverages(double x0, double t, std::span<const double> edges) const
{
    std::vector<FlowState> out(edges.size() > 1 ? edges.size() - 1 : 0);
    for (std::size_t i = 0; i < out.size(); ++i) {
        const double xa = edges[i], xb = edges[i + 1];
        if (!valid_ || !(xb > xa)) {
            out[i] = valid_ ? at(0.5 * (xa + xb), x0, t) : FlowState { kNaN, kNaN, kNaN, kNaN };
            continue;
        }
        // A cell within one constant state holds that state as it stands.
        ConservedSums sum;
        double span = xb - xa;
        if (t <= 0) {
            const double wl = std::clamp(x0 - xa, 0.0, span);
            if (wl == span || wl == 0) {
                out[i] = wl == span ? left_ : right_;
                continue;
            }
            sum += conservedOver(left_, wl, g_.gamma);
            sum += conservedOver(right_, span - wl, g_.gamma);
        } else {
            const double sa = (xa - x0) / t, sb = (xb - x0) / t;
            span = sb - sa;
            int parts = 0;
            const Segment* only = nullptr;
            for (const Segment& seg : segments_) {
                const double lo = std::max(sa, seg.lo), hi = std::min(sb, seg.hi);
                if (hi > lo) {
                    sum += integrate(seg, lo, hi);
                    ++parts;
                    only = &seg;
                }
            }
            if (parts == 1 && only->piece == Piece::Constant) {
                out[i] = only->w;
                continue;
            }
        }
        out[i] = stateOfSums(sum, span, g_.gamma);
    }
    return out;
}

} // namespace tamrel::kernels
