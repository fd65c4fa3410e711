// SPDX-License-Identifier: GPL-3.0-or-later
#include "exact/ExactSolution.h"

#include <algorithm>
#include <cmath>
#include <cstddef>
#include <cstdio>
#include <span>

#include "exact/GridShape.h"

namespace tamrel::exact {

namespace {

    using kernels::FlowState;

    std::size_t ix(long i)
    {
        return static_cast<std::size_t>(i);
    }

    std::string num(double v)
    {
        char buf[32];
        std::snprintf(buf, sizeof buf, "%.6g", v);
        return buf;
    }

    ExactJump makeJump(JumpPlace place, double x0, const FlowState& l, const FlowState& r, double gamma)
    {
        kernels::ExactRiemann rs(l, r, gamma);
        RiemannWaves w = WavesOf(rs, l, r, gamma);
        return { place, x0, l, r, std::move(rs), w };
    }

    // The speeds that bound what a jump sends into the grid, as seen by its
    // neighbours: a wall or wrap at the left end counts only what moves right
    // of it, at the right end only what moves left of it.
    struct Reach {
        double x, slow, fast;
    };

    Reach reachOf(const ExactJump& j)
    {
        double slow = j.waves.slowest(), fast = j.waves.fastest();
        if (j.place == JumpPlace::LeftWall || j.place == JumpPlace::WrapLeft)
            slow = 0.0, fast = std::max(fast, 0.0);
        if (j.place == JumpPlace::RightWall || j.place == JumpPlace::WrapRight)
            fast = 0.0, slow = std::min(slow, 0.0);
        if (slow > fast) // no wave with strength
            slow = fast = 0.0;
        return { j.x0, slow, fast };
    }

    // When the waves of a (left) and b (right) meet; forever if they part.
    double meetTime(const Reach& a, const Reach& b)
    {
        const double closing = a.fast - b.slow;
        if (!(closing > 0))
            return ExactSolution::kForever;
        return std::max(0.0, (b.x - a.x) / closing);
    }

    const char* countWord(std::size_t n)
    {
        static const char* const words[] = { "no", "one", "two", "three" };
        return n < 4 ? words[n] : "several";
    }

} // namespace

ExactSolution ExactSolution::Of(const InitialGrid& g)
{
    ExactSolution sol;
    sol.grid_ = g;
    const long n = g.cells();
    if (n < 1 || g.edges.size() != ix(n + 1)) {
        sol.reason_ = "no grid";
        return sol;
    }
    if (!(g.gamma > 1.0) || !std::isfinite(g.gamma)) {
        sol.reason_ = "gamma must exceed 1";
        return sol;
    }

    const GridShape shape = ScanPlateaus(g, 3);
    if (shape.badCell != 0) {
        sol.reason_ = ShapeReason(g, shape);
        return sol;
    }
    if (!shape.complete) {
        std::string linearWhy;
        if (g.left == Boundary::Periodic) {
            if (auto lin = LinearWaves::Of(g, linearWhy)) {
                sol.kind_ = ExactKind::Linear;
                sol.reason_.clear();
                sol.shape_ = "small periodic disturbance, linear waves (relative amplitude "
                    + num(lin->amplitude()) + ")";
                sol.validUntil_ = kForever;
                sol.linear_ = std::make_shared<const LinearWaves>(std::move(*lin));
                return sol;
            }
            sol.reason_ = "periodic disturbance, but its " + linearWhy;
            return sol;
        }
        sol.reason_ = ShapeReason(g, shape);
        return sol;
    }

    // Jumps, left to right: the left end's, the interior ones, the right end's.
    const auto& pl = shape.plateaus;
    const FlowState first { pl.front().rho, pl.front().u, pl.front().p, 0 };
    const FlowState last { pl.back().rho, pl.back().u, pl.back().p, 0 };
    const double xa = g.xLeft(), xb = g.xRight();
    std::vector<Reach> reaches;
    auto mirror = [](const FlowState& w) { return FlowState { w.rho, -w.u, w.p, 0 }; };
    const bool wrapJump
        = g.left == Boundary::Periodic && (first.rho != last.rho || first.u != last.u || first.p != last.p);
    // An end that is neither open nor a jump of its own: the solution holds
    // until the first wave reaches it.
    bool leftMark = false, rightMark = false;
    if (g.left == Boundary::Reflecting && first.u != 0.0)
        sol.jumps_.push_back(makeJump(JumpPlace::LeftWall, xa, mirror(first), first, g.gamma));
    else if (wrapJump)
        sol.jumps_.push_back(makeJump(JumpPlace::WrapLeft, xa, last, first, g.gamma));
    else
        leftMark = g.left != Boundary::Continuation;
    for (std::size_t k = 1; k < pl.size(); ++k) {
        const FlowState l { pl[k - 1].rho, pl[k - 1].u, pl[k - 1].p, 0 };
        const FlowState r { pl[k].rho, pl[k].u, pl[k].p, 0 };
        sol.jumps_.push_back(makeJump(JumpPlace::Interior, g.edges[ix(pl[k].first - 1)], l, r, g.gamma));
    }
    if (g.right == Boundary::Reflecting && last.u != 0.0)
        sol.jumps_.push_back(makeJump(JumpPlace::RightWall, xb, last, mirror(last), g.gamma));
    else if (wrapJump)
        sol.jumps_.push_back(makeJump(JumpPlace::WrapRight, xb, last, first, g.gamma));
    else
        rightMark = g.right != Boundary::Continuation;

    if (leftMark)
        reaches.push_back({ xa, 0.0, 0.0 });
    for (const ExactJump& j : sol.jumps_)
        reaches.push_back(reachOf(j));
    if (rightMark)
        reaches.push_back({ xb, 0.0, 0.0 });

    sol.validUntil_ = kForever;
    for (std::size_t k = 1; k < reaches.size(); ++k)
        sol.validUntil_ = std::min(sol.validUntil_, meetTime(reaches[k - 1], reaches[k]));

    sol.kind_ = ExactKind::Riemann;
    sol.reason_.clear();
    const std::size_t jumps = pl.size() - 1;
    sol.shape_ = std::string(countWord(pl.size())) + (pl.size() == 1 ? " constant state" : " constant states");
    if (jumps > 0) {
        sol.shape_ += jumps == 1 ? ", one jump at x=" : ", jumps at x=";
        for (std::size_t k = 1; k < pl.size(); ++k)
            sol.shape_ += (k > 1 ? " and x=" : "") + num(g.edges[ix(pl[k].first - 1)]);
    }
    return sol;
}

void ExactSolution::riemannAverages(double t, ExactCells& out) const
{
    const long n = grid_.cells();
    const std::span<const double> edges(grid_.edges);
    if (jumps_.empty()) { // one state that nothing disturbs
        for (long i = 1; i <= n; ++i) {
            out.rho[ix(i)] = grid_.rho[ix(i - 1)];
            out.u[ix(i)] = grid_.u[ix(i - 1)];
            out.p[ix(i)] = grid_.p[ix(i - 1)];
        }
        return;
    }
    // Jump k rules from the middle of the gap before it to the middle of the
    // gap after it; in a gap both neighbours give the same constant state,
    // so any point of it would do.
    std::vector<double> bounds(jumps_.size() + 1);
    bounds.front() = -kForever;
    bounds.back() = kForever;
    for (std::size_t k = 1; k < jumps_.size(); ++k) {
        const Reach a = reachOf(jumps_[k - 1]), b = reachOf(jumps_[k]);
        const double mid = 0.5 * ((a.x + a.fast * t) + (b.x + b.slow * t));
        bounds[k] = std::max(mid, bounds[k - 1]);
    }

    auto put = [&](long i, const FlowState& w) {
        out.rho[ix(i)] = w.rho;
        out.u[ix(i)] = w.u;
        out.p[ix(i)] = w.p;
    };
    long i = 1; // next cell to fill
    for (std::size_t k = 0; k < jumps_.size() && i <= n; ++k) {
        const ExactJump& j = jumps_[k];
        const double hi = bounds[k + 1];
        // Cells wholly inside this jump's range, in one call.
        long last = i - 1;
        while (last + 1 <= n && edges[ix(last + 1)] <= hi)
            ++last;
        if (last >= i) {
            const auto avg = j.solution.cellAverages(j.x0, t, edges.subspan(ix(i - 1), ix(last - i + 2)));
            for (long c = i; c <= last; ++c)
                put(c, avg[ix(c - i)]);
            i = last + 1;
        }
        if (i > n || k + 1 == jumps_.size())
            continue;
        // A cell cut by the bound: the two jumps' parts, their conserved
        // quantities weighted by width.
        const double a = edges[ix(i - 1)], b = edges[ix(i)];
        if (hi > a && hi < b) {
            kernels::ConservedSums sum;
            double width = 0;
            std::size_t kk = k;
            double from = a;
            while (from < b && kk < jumps_.size()) {
                const double to = std::min(b, bounds[kk + 1]);
                if (to > from) {
                    const double e[2] = { from, to };
                    const FlowState part = jumps_[kk].solution.cellAverages(jumps_[kk].x0, t, e)[0];
                    sum += kernels::conservedOver(part, to - from, grid_.gamma);
                    width += to - from;
                }
                from = to;
                ++kk;
            }
            put(i, kernels::stateOfSums(sum, width, grid_.gamma));
            ++i;
        }
    }
}

void ExactSolution::fillBoundaryCells(ExactCells& out) const
{
    const long n = grid_.cells();
    auto copy = [&](long to, long from, double sign) {
        out.rho[ix(to)] = out.rho[ix(from)];
        out.u[ix(to)] = sign * out.u[ix(from)];
        out.p[ix(to)] = out.p[ix(from)];
    };
    if (grid_.left == Boundary::Periodic) {
        copy(0, n, 1.0);
        copy(n + 1, 1, 1.0);
        return;
    }
    copy(0, 1, grid_.left == Boundary::Reflecting ? -1.0 : 1.0);
    copy(n + 1, n, grid_.right == Boundary::Reflecting ? -1.0 : 1.0);
}

void ExactSolution::cellAverages(double t, ExactCells& out) const
{
    if (kind_ == ExactKind::None) {
        out.rho.clear();
        out.u.clear();
        out.p.clear();
        return;
    }
    const long n = grid_.cells();
    out.rho.resize(ix(n + 2));
    out.u.resize(ix(n + 2));
    out.p.resize(ix(n + 2));
    if (t <= 0) {
        std::copy(grid_.rho.begin(), grid_.rho.end(), out.rho.begin() + 1);
        std::copy(grid_.u.begin(), grid_.u.end(), out.u.begin() + 1);
        std::copy(grid_.p.begin(), grid_.p.end(), out.p.begin() + 1);
    } else if (kind_ == ExactKind::Linear) {
        std::vector<double> r, u, p;
        linear_->cellAverages(t, r, u, p);
        std::copy(r.begin(), r.end(), out.rho.begin() + 1);
        std::copy(u.begin(), u.end(), out.u.begin() + 1);
        std::copy(p.begin(), p.end(), out.p.begin() + 1);
    } else {
        riemannAverages(t, out);
    }
    fillBoundaryCells(out);
}

} // namespace tamrel::exact
