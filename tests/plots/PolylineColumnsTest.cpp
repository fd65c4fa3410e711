// SPDX-License-Identifier: GPL-3.0-or-later
// Reducing a polyline to the points that matter in each pixel column.

#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <random>
#include <vector>

#include "plots/PolylineColumns.h"

using namespace tamrel;

namespace {

struct Pt {
    double x, y;
    friend bool operator==(const Pt&, const Pt&) = default;
};

std::vector<Pt> reduced(std::vector<Pt> pts, double scale = 1, double offset = 0)
{
    const auto n = KeepColumnExtremes(
        pts.data(), pts.size(), scale, offset, [](const Pt& p) { return p.x; }, [](const Pt& p) { return p.y; });
    pts.resize(n);
    return pts;
}

// Runs of consecutive points in one column.
std::vector<std::vector<Pt>> runs(const std::vector<Pt>& pts, double scale, double offset)
{
    std::vector<std::vector<Pt>> out;
    double column = NAN;
    for (const Pt& p : pts) {
        const double c = std::floor(p.x * scale + offset);
        if (out.empty() || c != column)
            out.emplace_back();
        out.back().push_back(p);
        column = c;
    }
    return out;
}

double lowest(const std::vector<Pt>& r)
{
    return std::min_element(r.begin(), r.end(), [](const Pt& a, const Pt& b) { return a.y < b.y; })->y;
}
double highest(const std::vector<Pt>& r)
{
    return std::max_element(r.begin(), r.end(), [](const Pt& a, const Pt& b) { return a.y < b.y; })->y;
}

std::vector<Pt> levelMiddlesDropped(std::vector<Pt> pts)
{
    const auto n = DropLevelMiddles(
        pts.data(), pts.size(), [](const Pt& p) { return p.x; }, [](const Pt& p) { return p.y; });
    pts.resize(n);
    return pts;
}

} // namespace

TEST(KeepColumnExtremes, EveryColumnKeepsItsEndsAndItsLowestAndHighestPoints)
{
    std::mt19937 rng(14);
    std::uniform_real_distribution<double> noise(-40, 40);
    struct Case {
        const char* name;
        int points;
        double dx; // x step between points (negative steps back)
        double scale, offset;
    };
    const Case cases[] = {
        { "5000 cells in 600 columns", 5002, 600.0 / 5001, 1, 0 },
        { "twips to device pixels at 2x", 5002, 9000.0 / 5001, 2.0 / 15, 0.5 },
        { "fewer points than columns", 50, 7.3, 1, 0 },
        { "a line that turns back", 3000, -0.13, 1, 0.25 },
    };
    for (const Case& c : cases) {
        std::vector<Pt> line;
        double x = 100, y = 0;
        for (int k = 0; k < c.points; ++k) {
            line.push_back({ x, y });
            // Every fifth stretch turns back in x when the case asks for it.
            x += (c.dx < 0 && (k / 40) % 5 == 4) ? c.dx : std::fabs(c.dx);
            y = (k % 700 < 350 ? 0.0 : 500.0) + noise(rng);
        }
        const auto kept = reduced(line, c.scale, c.offset);
        const auto before = runs(line, c.scale, c.offset), after = runs(kept, c.scale, c.offset);
        ASSERT_EQ(after.size(), before.size()) << c.name;
        EXPECT_EQ(kept.front(), line.front()) << c.name;
        EXPECT_EQ(kept.back(), line.back()) << c.name;
        for (std::size_t r = 0; r < before.size(); ++r) {
            EXPECT_LE(after[r].size(), 4u) << c.name << " run " << r;
            EXPECT_EQ(after[r].front(), before[r].front()) << c.name << " run " << r;
            EXPECT_EQ(after[r].back(), before[r].back()) << c.name << " run " << r;
            EXPECT_EQ(lowest(after[r]), lowest(before[r])) << c.name << " run " << r;
            EXPECT_EQ(highest(after[r]), highest(before[r])) << c.name << " run " << r;
        }
        // Only points of the line, in the line's order.
        std::size_t at = 0;
        for (const Pt& p : kept) {
            while (at < line.size() && !(line[at] == p))
                ++at;
            ASSERT_LT(at, line.size()) << c.name << ": a point not on the line, or out of order";
            ++at;
        }
    }
}

TEST(KeepColumnExtremes, KeepsThePointsInTheirOrderAlongTheLine)
{
    // Column 0 rises to its highest point before its lowest; column 1 has
    // two points and column 2 one, all kept; 1.9 and 2.0 meet at the edge.
    const std::vector<Pt> line = { { 0.1, 5 }, { 0.2, 9 }, { 0.3, 7 }, { 0.4, 1 }, { 0.5, 4 }, { 0.9, 3 },
        { 1.5, 2 }, { 1.9, 8 }, { 2.0, 6 } };
    const std::vector<Pt> expected
        = { { 0.1, 5 }, { 0.2, 9 }, { 0.4, 1 }, { 0.9, 3 }, { 1.5, 2 }, { 1.9, 8 }, { 2.0, 6 } };
    EXPECT_EQ(reduced(line), expected);
    // A step inside a column keeps both its corners: of equal lowest values
    // the last before the highest stands, of equal highest the first.
    EXPECT_EQ(reduced({ { 0.1, 5 }, { 0.2, 5 }, { 0.3, 5 }, { 0.5, 9 }, { 0.6, 9 }, { 0.8, 9 } }),
        (std::vector<Pt> { { 0.1, 5 }, { 0.3, 5 }, { 0.5, 9 }, { 0.8, 9 } }));
    EXPECT_EQ(reduced({ { 0.1, 9 }, { 0.2, 9 }, { 0.3, 9 }, { 0.5, 5 }, { 0.6, 5 }, { 0.8, 5 } }),
        (std::vector<Pt> { { 0.1, 9 }, { 0.3, 9 }, { 0.5, 5 }, { 0.8, 5 } }));
    // A flat run keeps its two ends.
    EXPECT_EQ(
        reduced({ { 0.1, 2 }, { 0.3, 2 }, { 0.5, 2 }, { 0.7, 2 } }), (std::vector<Pt> { { 0.1, 2 }, { 0.7, 2 } }));
    EXPECT_TRUE(reduced({}).empty());
}

TEST(DropLevelMiddles, DropsOnlyPointsTheLinePassesThroughOnALevelStretch)
{
    struct Case {
        const char* name;
        std::vector<Pt> line, kept;
    };
    const Case cases[] = {
        { "a plateau between a rise and a fall", { { 0, 5 }, { 1, 2 }, { 2, 2 }, { 3, 2 }, { 4, 2 }, { 5, 7 } },
            { { 0, 5 }, { 1, 2 }, { 4, 2 }, { 5, 7 } } },
        { "a level line leftwards", { { 9, 1 }, { 7, 1 }, { 4, 1 } }, { { 9, 1 }, { 4, 1 } } },
        { "a level line that turns back keeps its turn", { { 0, 1 }, { 3, 1 }, { 2, 1 } },
            { { 0, 1 }, { 3, 1 }, { 2, 1 } } },
        { "a slope is not a level", { { 0, 0 }, { 1, 1 }, { 2, 2 } }, { { 0, 0 }, { 1, 1 }, { 2, 2 } } },
        { "a single step", { { 0, 1 }, { 1, 1 }, { 1, 4 }, { 2, 4 } },
            { { 0, 1 }, { 1, 1 }, { 1, 4 }, { 2, 4 } } },
        { "two points", { { 0, 1 }, { 1, 1 } }, { { 0, 1 }, { 1, 1 } } },
    };
    for (const Case& c : cases)
        EXPECT_EQ(levelMiddlesDropped(c.line), c.kept) << c.name;
}

TEST(DropNearlyStraight, EveryDroppedPointStaysWithinTheToleranceOfTheLineKept)
{
    std::mt19937 rng(32);
    std::uniform_real_distribution<double> jitter(-0.02, 0.02);
    struct Case {
        const char* name;
        double bend; // curvature of the line
        double noise; // scale of the jitter
        double tolerance;
    };
    const Case cases[] = {
        { "a straight line", 0, 0, 0.03 },
        { "a gentle curve", 0.001, 0, 0.03 },
        { "a sharp curve", 0.2, 0, 0.03 },
        { "jitter above the tolerance", 0, 5, 0.03 },
        { "jitter below the tolerance", 0, 0.5, 0.03 },
    };
    for (const Case& c : cases) {
        std::vector<Pt> line;
        for (int k = 0; k < 400; ++k)
            line.push_back({ 0.5 * k, 0.3 * k + c.bend * k * k + c.noise * jitter(rng) });
        std::vector<Pt> kept = line;
        const auto n = DropNearlyStraight(
            kept.data(), kept.size(), c.tolerance, [](const Pt& p) { return p.x; },
            [](const Pt& p) { return p.y; });
        kept.resize(n);
        EXPECT_EQ(kept.front(), line.front()) << c.name;
        EXPECT_EQ(kept.back(), line.back()) << c.name;
        // Every point of the line lies within the tolerance of the kept
        // segment that spans it (the kept points are points of the line).
        std::size_t at = 0;
        for (std::size_t s = 0; s + 1 < kept.size(); ++s) {
            while (!(line[at] == kept[s]))
                ++at;
            const Pt a = kept[s], b = kept[s + 1];
            for (; !(line[at] == b); ++at) {
                const double dx = b.x - a.x, dy = b.y - a.y;
                const double t = std::clamp(
                    ((line[at].x - a.x) * dx + (line[at].y - a.y) * dy) / (dx * dx + dy * dy), 0.0, 1.0);
                EXPECT_LE(std::hypot(line[at].x - a.x - t * dx, line[at].y - a.y - t * dy), c.tolerance)
                    << c.name << ", point " << at;
            }
        }
        if (c.bend == 0 && c.noise <= 1) {
            // Straight within the tolerance: one segment for every few dozen points.
            EXPECT_LE(kept.size(), 400u / 32 + 2) << c.name;
        }
        if (c.noise > 1) {
            // Jitter far above the tolerance leaves most points.
            EXPECT_GT(kept.size(), 200u) << c.name;
        }
    }
}
