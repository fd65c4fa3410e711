// SPDX-License-Identifier: GPL-3.0-or-later
#include "exact/RiemannWaves.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace tamrel::exact {

namespace {

    constexpr double kStrength = 1e-9;

    bool differ(double a, double b)
    {
        return std::fabs(a - b) > kStrength * std::max(std::fabs(a), std::fabs(b));
    }

} // namespace

double RiemannWaves::slowest() const
{
    double s = std::numeric_limits<double>::infinity();
    if (vacuum)
        return left[0];
    if (leftStrength)
        s = left[0];
    else if (contactStrength)
        s = contact;
    else if (rightStrength)
        s = right[0];
    return s;
}

double RiemannWaves::fastest() const
{
    double s = -std::numeric_limits<double>::infinity();
    if (vacuum)
        return right[1];
    if (rightStrength)
        s = right[1];
    else if (contactStrength)
        s = contact;
    else if (leftStrength)
        s = left[1];
    return s;
}

std::vector<Wave> RiemannWaves::lines(int fanLines) const
{
    std::vector<Wave> out;
    auto fan = [&](double head, double tail, int family) {
        // Head first, so that each fan's lines run outward-in.
        out.push_back({ WaveKind::FanHead, head, family });
        for (int k = 1; k <= fanLines; ++k)
            out.push_back({ WaveKind::FanInside, head + (tail - head) * k / (fanLines + 1), family });
        out.push_back({ WaveKind::FanTail, tail, family });
    };
    if (vacuum) {
        fan(left[0], left[1], -1);
        out.push_back({ WaveKind::VacuumFront, vacuumLeft, 0 });
        out.push_back({ WaveKind::VacuumFront, vacuumRight, 0 });
        fan(right[1], right[0], +1);
        return out;
    }
    if (leftStrength) {
        if (leftShock)
            out.push_back({ WaveKind::Shock, left[0], -1 });
        else
            fan(left[0], left[1], -1);
    }
    if (contactStrength)
        out.push_back({ WaveKind::Contact, contact, 0 });
    if (rightStrength) {
        if (rightShock)
            out.push_back({ WaveKind::Shock, right[0], +1 });
        else
            fan(right[1], right[0], +1);
    }
    return out;
}

RiemannWaves WavesOf(
    const kernels::ExactRiemann& rs, const kernels::FlowState& left, const kernels::FlowState& right, double gamma)
{
    using namespace kernels::riemann;
    RiemannWaves w;
    if (!rs.valid() || rs.leftVacuum() || rs.rightVacuum())
        return w;
    const auto g = GasConstants<double>::make(gamma);
    const GasState<double> L { left.rho, left.u, left.p, soundSpeed(left.rho, left.p, g) };
    const GasState<double> R { right.rho, right.u, right.p, soundSpeed(right.rho, right.p, g) };

    if (rs.vacuumGenerated()) {
        // Two rarefactions whose tails are the vacuum's edges (Toro eq 4.76-4.78).
        const auto v = vacuumFronts(L, R, g);
        w.vacuum = true;
        w.leftStrength = w.rightStrength = true;
        w.left[0] = v.headL;
        w.left[1] = v.frontL;
        w.right[0] = v.frontR;
        w.right[1] = v.headR;
        w.vacuumLeft = v.frontL;
        w.vacuumRight = v.frontR;
        w.contact = std::numeric_limits<double>::quiet_NaN();
        return w;
    }

    const double ps = rs.starPressure(), us = rs.starVelocity();
    w.contact = us;
    w.contactStrength = differ(rs.starDensityLeft(), rs.starDensityRight());
    w.leftStrength = differ(ps, L.p);
    w.rightStrength = differ(ps, R.p);
    w.leftShock = ps > L.p;
    w.rightShock = ps > R.p;
    if (w.leftShock) {
        w.left[0] = w.left[1] = shockSpeed(L, ps, g, false);
    } else {
        w.left[0] = rarefactionHead(L, false);
        w.left[1] = std::min(rarefactionTail(L, ps, us, g, false), us);
    }
    if (w.rightShock) {
        w.right[0] = w.right[1] = shockSpeed(R, ps, g, true);
    } else {
        w.right[0] = std::max(rarefactionTail(R, ps, us, g, true), us);
        w.right[1] = rarefactionHead(R, true);
    }
    return w;
}

} // namespace tamrel::exact
