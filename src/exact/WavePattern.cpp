// SPDX-License-Identifier: GPL-3.0-or-later
#include "exact/WavePattern.h"

#include <algorithm>
#include <cmath>
#include <cstddef>

namespace tamrel::exact {

std::vector<WaveSegment> WavePattern(const ExactSolution& sol, double tEnd, int fanLines)
{
    std::vector<WaveSegment> out;
    if (sol.kind() != ExactKind::Riemann)
        return out;
    const double until = std::min(tEnd, sol.validUntil());
    if (!(until > 0))
        return out;
    const double xa = sol.grid().xLeft(), xb = sol.grid().xRight();
    for (const ExactJump& j : sol.jumps()) {
        for (const Wave& w : j.waves.lines(fanLines)) {
            // A jump at an end sends into the grid only what moves inward.
            const bool atLeft = j.place == JumpPlace::LeftWall || j.place == JumpPlace::WrapLeft;
            const bool atRight = j.place == JumpPlace::RightWall || j.place == JumpPlace::WrapRight;
            if ((atLeft && !(w.speed > 0)) || (atRight && !(w.speed < 0)) || !std::isfinite(w.speed))
                continue;
            double t1 = until;
            if (w.speed > 0)
                t1 = std::min(t1, (xb - j.x0) / w.speed);
            else if (w.speed < 0)
                t1 = std::min(t1, (xa - j.x0) / w.speed);
            if (!(t1 > 0))
                continue;
            out.push_back({ w.kind, j.x0, 0.0, j.x0 + w.speed * t1, t1 });
        }
    }
    return out;
}

std::vector<WavePolyline> WavePatternPixels(const std::vector<WaveSegment>& segments, double xLeft, double xRight,
    const std::vector<double>& rowTimes, double W, double H)
{
    std::vector<WavePolyline> out;
    const std::size_t rows = rowTimes.size();
    if (rows < 2 || !(xRight > xLeft) || !(W > 0) || !(H > 0))
        return out;
    const double bandHeight = H / static_cast<double>(rows);
    auto column = [&](double x) { return (x - xLeft) / (xRight - xLeft) * W; };
    // Height above the bottom, in rows, of time t (rows' times increase).
    auto rowsUp = [&](double t) {
        if (t <= rowTimes.front())
            return 0.5;
        const auto it = std::upper_bound(rowTimes.begin(), rowTimes.end(), t);
        if (it == rowTimes.end())
            return static_cast<double>(rows) - 0.5;
        const std::size_t s = static_cast<std::size_t>(it - rowTimes.begin()) - 1;
        const double span = rowTimes[s + 1] - rowTimes[s];
        const double f = span > 0 ? (t - rowTimes[s]) / span : 0.0;
        return static_cast<double>(s) + 0.5 + f;
    };
    const double tLast = rowTimes.back();
    for (const WaveSegment& seg : segments) {
        const double t1 = std::min(seg.t1, tLast);
        if (!(t1 > seg.t0))
            continue;
        const double speed = (seg.x1 - seg.x0) / (seg.t1 - seg.t0);
        WavePolyline line { seg.kind, {} };
        auto add = [&](double t) {
            const double x = seg.x0 + speed * (t - seg.t0);
            line.points.emplace_back(column(x), H - rowsUp(t) * bandHeight);
        };
        add(seg.t0);
        for (double t : rowTimes)
            if (t > seg.t0 && t < t1)
                add(t);
        add(t1);
        out.push_back(std::move(line));
    }
    return out;
}

std::vector<WavePolyline> SpaceTimeWaves(const ExperimentState& s, const ExactSolution& sol, double W, double H)
{
    const long rows = s.NStoredStates;
    const long n = s.NGridCells;
    if (rows < 2 || !s.StoredTime.contains(rows - 1) || !s.X.contains(1) || !s.X.contains(n + 1))
        return {};
    std::vector<double> times(static_cast<std::size_t>(rows));
    for (long r = 0; r < rows; ++r)
        times[static_cast<std::size_t>(r)] = s.StoredTime[r];
    return WavePatternPixels(WavePattern(sol, times.back()), s.X[1], s.X[n + 1], times, W, H);
}

} // namespace tamrel::exact
