// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <cmath>

#include "compare/StudyPlot.h"

namespace tamrel::testing {
namespace {

    // A first-order scheme and one stuck at an error floor: the frame ends
    // well above where a second-order line from the coarsest grid would go.
    compare::StudyResult firstOrderAndFloor()
    {
        compare::StudyResult r;
        for (long n : { 32, 64, 128, 256, 512, 1024, 2048 }) {
            r.rows.push_back({ "First", n, { 1.0 / static_cast<double>(n), 0, 0 }, 0, 0, 0 });
            r.rows.push_back({ "Floor", n, { 1e-3, 0, 0 }, 0, 0, 0 });
        }
        return r;
    }

    TEST(StudyPlot, EveryLineStaysInsideTheFrameAndTheLegendNamesTheOrders)
    {
        const compare::StudyResult r = firstOrderAndFloor();
        const compare::StudyPlotDrawing d = compare::LayOutStudyPlot(r, 800, 600);
        const compare::LogLogFrame f = compare::StudyFrame(r, 800, 600);
        for (const compare::PlotPolyline& l : d.lines)
            for (const compare::PlotPoint& p : l.points) {
                EXPECT_GE(p.x, f.left - 1e-9);
                EXPECT_LE(p.x, f.right + 1e-9);
                EXPECT_GE(p.y, f.top - 1e-9);
                EXPECT_LE(p.y, f.bottom + 1e-9);
            }
        int legends = 0;
        for (const compare::PlotText& t : d.texts)
            legends += t.text == "First  order 1.00" || t.text == "Floor  order -0.00"
                || t.text == "Floor  order 0.00";
        EXPECT_EQ(legends, 2);

        // The first-order scheme runs parallel to the first-order reference,
        // and the second-order reference is twice as steep (cut at the frame).
        auto slope = [](const compare::PlotPolyline& l) {
            return (l.points.back().y - l.points.front().y) / (l.points.back().x - l.points.front().x);
        };
        std::vector<const compare::PlotPolyline*> references, data;
        for (const compare::PlotPolyline& l : d.lines) {
            if (l.rgb == std::array<int, 3> { 120, 120, 120 })
                references.push_back(&l);
            if (l.markers)
                data.push_back(&l);
        }
        ASSERT_EQ(references.size(), 2u);
        ASSERT_EQ(data.size(), 2u);
        EXPECT_NEAR(slope(*data[0]), slope(*references[0]), 1e-9);
        EXPECT_NEAR(slope(*references[1]), 2 * slope(*references[0]), 1e-9);
        EXPECT_NEAR(references[1]->points.back().y, f.bottom, 1e-9);

        const std::string svg = compare::StudyPlotSvg(d);
        EXPECT_NE(svg.find("First  order 1.00"), std::string::npos);
    }

} // namespace
} // namespace tamrel::testing
