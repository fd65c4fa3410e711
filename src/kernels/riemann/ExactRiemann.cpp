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
} // namespace

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

FlowState ExactRiemann::integrate(const Segment& seg, double a, double b) const
{
    const double w = b - a;
    switch (seg.piece) {
    case Piece::Constant:
        return { seg.w.rho * w, seg.w.u * w, seg.w.p * w, seg.w.uy * w };
    case Piece::Vacuum:
        return { 0, 0.5 * (a + b) * w, 0, seg.w.uy * w };
    case Piece::LeftFan:
    case Piece::RightFan: {
        // c(S) = g5 (cK + g7 (uK - S)) on the left, g5 (cK + g7 (S - uK)) on
        // the right; with r = c/cK, dS = cK dr / beta, rho = rhoK r^g4 and
        // p = pK r^g3 integrate to powers of r. u is linear in S.
        const bool right = seg.piece == Piece::RightFan;
        const riemann::GasState<double>& K = right ? R_ : L_;
        const double beta = (right ? 1.0 : -1.0) * g_.g5 * g_.g7;
        auto ratio = [&](double s) {
            const double du = right ? s - K.u : K.u - s;
            return std::max(0.0, g_.g5 * (K.c + g_.g7 * du) / K.c);
        };
        const double ra = ratio(a), rb = ratio(b);
        const double scale = K.c / beta;
        const double irho = K.rho * scale * (std::pow(rb, g_.g4 + 1) - std::pow(ra, g_.g4 + 1)) / (g_.g4 + 1);
        const double ip = K.p * scale * (std::pow(rb, g_.g3 + 1) - std::pow(ra, g_.g3 + 1)) / (g_.g3 + 1);
        const double u0 = right ? g_.g5 * (g_.g7 * K.u - K.c) : g_.g5 * (K.c + g_.g7 * K.u);
        const double iu = u0 * w + g_.g5 * 0.5 * (a + b) * w;
        return { irho, iu, ip, seg.w.uy * w };
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
        FlowState sum {};
        auto accumulate = [&](const FlowState& part) {
            sum.rho += part.rho;
            sum.u += part.u;
            sum.p += part.p;
            sum.uy += part.uy;
        };
        double span = xb - xa;
        if (t <= 0) {
            const double wl = std::clamp(x0 - xa, 0.0, span);
            accumulate({ left_.rho * wl, left_.u * wl, left_.p * wl, left_.uy * wl });
            const double wr = span - wl;
            accumulate({ right_.rho * wr, right_.u * wr, right_.p * wr, right_.uy * wr });
        } else {
            const double sa = (xa - x0) / t, sb = (xb - x0) / t;
            span = sb - sa;
            for (const Segment& seg : segments_) {
                const double lo = std::max(sa, seg.lo), hi = std::min(sb, seg.hi);
                if (hi > lo)
                    accumulate(integrate(seg, lo, hi));
            }
        }
        out[i] = { sum.rho / span, sum.u / span, sum.p / span, sum.uy / span };
    }
    return out;
}

} // namespace tamrel::kernels
