// SPDX-License-Identifier: GPL-3.0-or-later
#include "exact/RiemannExplorer.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <limits>
#include <sstream>

#include "common/Format.h"

namespace tamrel::exact {

namespace {

    using kernels::FlowState;
    constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

    bool usable(const FlowState& w)
    {
        return std::isfinite(w.rho) && std::isfinite(w.u) && std::isfinite(w.p);
    }

    // Why a state cannot be explored ("" if it can).
    std::string stateProblem(const FlowState& w, const char* side)
    {
        const std::string s(side);
        if (!usable(w))
            return s + " state has a value that is not a finite number";
        if (!(w.rho > 0))
            return s + " density must be positive";
        if (!(w.p > 0))
            return s + " pressure must be positive";
        return {};
    }

    // Every number the exploration shows is finite and the star state
    // solves the pressure equation.
    bool solvedInRange(const kernels::ExactRiemann& rs, const RiemannWaves& w)
    {
        const double speeds[] = { w.left[0], w.left[1], w.right[0], w.right[1] };
        for (double v : speeds)
            if (!std::isfinite(v))
                return false;
        if (w.vacuum)
            return std::isfinite(w.vacuumLeft) && std::isfinite(w.vacuumRight);
        return rs.converged() && std::isfinite(rs.starPressure()) && rs.starPressure() > 0
            && std::isfinite(rs.starVelocity()) && std::isfinite(rs.starDensityLeft())
            && std::isfinite(rs.starDensityRight()) && std::isfinite(w.contact);
    }

    EndArrival arrival(double speed, double x0, double xLeft, double xRight)
    {
        if (speed < 0)
            return { -1, (xLeft - x0) / speed };
        if (speed > 0)
            return { +1, (xRight - x0) / speed };
        return {};
    }

    std::string num(double v)
    {
        if (std::isnan(v))
            return "nan";
        char buf[40];
        std::snprintf(buf, sizeof buf, "%.10g", v);
        return buf;
    }

} // namespace

double WaveCurveVelocity(const FlowState& K, double gamma, int side, double p)
{
    using namespace kernels::riemann;
    const auto g = GasConstants<double>::make(gamma);
    const GasState<double> k { K.rho, K.u, K.p, soundSpeed(K.rho, K.p, g) };
    const double f = p > K.p ? prefunShock(p, k, g).f : prefunRarefaction(p, k, g).f;
    return side < 0 ? K.u - f : K.u + f;
}

RiemannExploration ExploreRiemann(const FlowState& left, const FlowState& right, double gamma, double x0,
    double xLeft, double xRight, int curvePoints)
{
    RiemannExploration r;
    r.left = left;
    r.right = right;
    r.gamma = gamma;
    r.x0 = x0;
    r.xLeft = xLeft;
    r.xRight = xRight;
    r.reason = stateProblem(left, "left");
    if (r.reason.empty())
        r.reason = stateProblem(right, "right");
    if (r.reason.empty() && !(gamma > 1.0 && std::isfinite(gamma)))
        r.reason = "gamma must exceed 1";
    if (!r.reason.empty())
        return r;

    const kernels::ExactRiemann rs(left, right, gamma);
    r.waves = WavesOf(rs, left, right, gamma);
    r.vacuum = r.waves.vacuum;
    if (!solvedInRange(rs, r.waves)) {
        r.reason = "the states lie outside the range the explorer solves (densities and pressures from "
            + num(kExplorerSmallest) + " to " + num(kExplorerLargest) + ", velocities up to "
            + num(kExplorerLargest) + " in size)";
        return r;
    }
    r.ok = true;
    if (r.vacuum) {
        r.uStar = kNaN;
        r.leftArrival = arrival(r.waves.left[0], x0, xLeft, xRight);
        r.contactArrival = arrival(r.waves.vacuumLeft, x0, xLeft, xRight);
        r.rightArrival = arrival(r.waves.right[1], x0, xLeft, xRight);
    } else {
        r.pStar = rs.starPressure();
        r.uStar = rs.starVelocity();
        r.rhoStarLeft = rs.starDensityLeft();
        r.rhoStarRight = rs.starDensityRight();
        r.leftArrival = arrival(r.waves.left[0], x0, xLeft, xRight);
        r.contactArrival = arrival(r.waves.contact, x0, xLeft, xRight);
        r.rightArrival = arrival(r.waves.right[1], x0, xLeft, xRight);
    }

    // Curves up to well past the star pressure and both initial pressures.
    r.pTop = 1.5 * std::max({ left.p, right.p, r.pStar });
    auto branch = [&](const FlowState& K, int side, bool shock) {
        WaveCurveBranch b { shock, {} };
        const double from = shock ? K.p : 0.0, to = shock ? r.pTop : K.p;
        for (int k = 0; k <= curvePoints; ++k) {
            const double p = from + (to - from) * k / curvePoints;
            b.points.emplace_back(WaveCurveVelocity(K, gamma, side, p), p);
        }
        return b;
    };
    r.leftCurve = { branch(left, -1, false), branch(left, -1, true) };
    r.rightCurve = { branch(right, +1, false), branch(right, +1, true) };
    // The frame in u: both states and the star velocity with room around
    // them (the curves run on beyond it); with a vacuum, the curves' ends at
    // zero pressure, whose gap is the vacuum.
    const double uZeroLeft = r.leftCurve[0].points.front().first,
                 uZeroRight = r.rightCurve[0].points.front().first;
    if (r.vacuum) {
        r.uLow = std::min({ left.u, right.u, uZeroLeft, uZeroRight });
        r.uHigh = std::max({ left.u, right.u, uZeroLeft, uZeroRight });
    } else {
        const double lo = std::min({ left.u, right.u, r.uStar }), hi = std::max({ left.u, right.u, r.uStar });
        const double cl = std::sqrt(gamma * left.p / left.rho), cr = std::sqrt(gamma * right.p / right.rho);
        const double pad = std::max(0.6 * (hi - lo), 0.5 * (cl + cr));
        r.uLow = lo - pad;
        r.uHigh = hi + pad;
    }
    return r;
}

std::string RiemannKeyValues(const RiemannExploration& r)
{
    std::ostringstream out;
    auto speeds = [&](const double(&v)[2], bool shock) { return shock ? num(v[0]) : num(v[0]) + "," + num(v[1]); };
    const bool leftShock = r.waves.leftShock && !r.vacuum, rightShock = r.waves.rightShock && !r.vacuum;
    // A right fan is listed head first like the left one: the speed the
    // undisturbed gas sees first, then the tail.
    const double rightFan[2] = { r.waves.right[1], r.waves.right[0] };
    out << "p_star=" << num(r.pStar) << " u_star=" << num(r.uStar) << " rho_star_left=" << num(r.rhoStarLeft)
        << " rho_star_right=" << num(r.rhoStarRight) << " left_wave=" << r.leftWaveName()
        << " left_speeds=" << speeds(r.waves.left, leftShock) << " right_wave=" << r.rightWaveName()
        << " right_speeds=" << (rightShock ? num(r.waves.right[0]) : speeds(rightFan, false))
        << " contact_speed=" << num(r.vacuum ? kNaN : r.waves.contact) << " vacuum=" << (r.vacuum ? 1 : 0);
    if (r.vacuum)
        out << " vacuum_speeds=" << num(r.waves.vacuumLeft) << "," << num(r.waves.vacuumRight);
    return out.str();
}

std::vector<std::pair<std::string, std::string>> ExplorerRows(const RiemannExploration& r)
{
    std::vector<std::pair<std::string, std::string>> rows;
    auto g = [](double v) {
        char buf[40];
        std::snprintf(buf, sizeof buf, "%.6g", v);
        return std::string(buf);
    };
    auto state = [&](const FlowState& w) { return "rho=" + g(w.rho) + "  u=" + g(w.u) + "  p=" + g(w.p); };
    rows.emplace_back("Left state", r.ok || usable(r.left) ? state(r.left) : "?");
    rows.emplace_back("Right state", r.ok || usable(r.right) ? state(r.right) : "?");
    if (!r.ok) {
        rows.emplace_back("No solution", r.reason);
        return rows;
    }
    auto fan = [&](double head, double tail) { return "rarefaction, head " + g(head) + ", tail " + g(tail); };
    auto shock = [&](double s) { return "shock, speed " + g(s); };
    auto reach = [&](const EndArrival& a) {
        if (a.end == 0)
            return std::string("stays at x=") + g(r.x0);
        return "x=" + g(a.end < 0 ? r.xLeft : r.xRight) + " at t=" + g(a.time);
    };
    if (r.vacuum) {
        rows.emplace_back("Star state", "none: the wave curves do not meet");
        rows.emplace_back("Left wave", fan(r.waves.left[0], r.waves.left[1]));
        rows.emplace_back("Vacuum",
            "forms between x=" + g(r.x0) + (r.waves.vacuumLeft < 0 ? " - " : " + ")
                + g(std::fabs(r.waves.vacuumLeft)) + " t and x=" + g(r.x0)
                + (r.waves.vacuumRight < 0 ? " - " : " + ") + g(std::fabs(r.waves.vacuumRight)) + " t");
        rows.emplace_back("Right wave", fan(r.waves.right[1], r.waves.right[0]));
        rows.emplace_back("Left wave reaches", reach(r.leftArrival));
        rows.emplace_back("Vacuum edge reaches", reach(r.contactArrival));
        rows.emplace_back("Right wave reaches", reach(r.rightArrival));
        return rows;
    }
    rows.emplace_back("Star pressure p*", g(r.pStar));
    rows.emplace_back("Star velocity u*", g(r.uStar));
    rows.emplace_back("Star density, left", g(r.rhoStarLeft));
    rows.emplace_back("Star density, right", g(r.rhoStarRight));
    rows.emplace_back(
        "Left wave", r.waves.leftShock ? shock(r.waves.left[0]) : fan(r.waves.left[0], r.waves.left[1]));
    rows.emplace_back("Contact", "speed " + g(r.waves.contact));
    rows.emplace_back(
        "Right wave", r.waves.rightShock ? shock(r.waves.right[0]) : fan(r.waves.right[1], r.waves.right[0]));
    rows.emplace_back("Left wave reaches", reach(r.leftArrival));
    rows.emplace_back("Contact reaches", reach(r.contactArrival));
    rows.emplace_back("Right wave reaches", reach(r.rightArrival));
    return rows;
}

bool ParseRiemannStates(
    const std::string& text, FlowState& left, FlowState& right, double& gamma, std::string& error)
{
    std::vector<std::string> parts;
    std::stringstream ss(text);
    std::string item;
    while (std::getline(ss, item, ','))
        parts.push_back(item);
    if (!text.empty() && text.back() == ',')
        parts.push_back("");
    if (parts.size() != 6 && parts.size() != 7) {
        error = "--riemann needs six or seven comma-separated values: rhoL,uL,pL,rhoR,uR,pR[,gamma]";
        return false;
    }
    static const char* const names[] = { "rhoL", "uL", "pL", "rhoR", "uR", "pR", "gamma" };
    double v[7] = { 0, 0, 0, 0, 0, 0, 1.4 };
    for (std::size_t k = 0; k < parts.size(); ++k) {
        const auto x = parseNumber(parts[k]);
        if (!x) {
            error = std::string("--riemann: ") + names[k] + " '" + parts[k] + "' is not a number";
            return false;
        }
        v[k] = *x;
    }
    left = { v[0], v[1], v[2], 0 };
    right = { v[3], v[4], v[5], 0 };
    gamma = v[6];
    const struct {
        double value;
        const char* what;
    } positive[] = { { v[0], "left density rhoL" }, { v[2], "left pressure pL" }, { v[3], "right density rhoR" },
        { v[5], "right pressure pR" } };
    for (const auto& c : positive)
        if (!(c.value > 0)) {
            error = std::string("--riemann: the ") + c.what + " must be positive, not " + num(c.value);
            return false;
        }
    if (!(gamma > 1.0)) {
        error = "--riemann: gamma must exceed 1, not " + num(gamma);
        return false;
    }
    const struct {
        double value;
        const char* what;
        bool size; // a velocity: only its size is bounded
    } ranged[] = { { v[0], "left density rhoL", false }, { v[1], "left velocity uL", true },
        { v[2], "left pressure pL", false }, { v[3], "right density rhoR", false },
        { v[4], "right velocity uR", true }, { v[5], "right pressure pR", false } };
    for (const auto& c : ranged) {
        const double x = c.size ? std::fabs(c.value) : c.value;
        if (x > kExplorerLargest || (!c.size && x < kExplorerSmallest)) {
            error = std::string("--riemann: the ") + c.what + " " + num(c.value) + " lies outside the range "
                + (c.size ? "the explorer solves, sizes up to " + num(kExplorerLargest)
                          : "the explorer solves, " + num(kExplorerSmallest) + " to " + num(kExplorerLargest));
            return false;
        }
    }
    return true;
}

} // namespace tamrel::exact
