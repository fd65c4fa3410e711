// SPDX-License-Identifier: GPL-3.0-or-later
// Two threads dealing the strips of many steps between them: every strip is
// run exactly once, each side's strips are neighbours at its end of the grid,
// and after waitAll each side sees what the other wrote for its strips.

#include <atomic>
#include <functional>
#include <vector>

#include <gtest/gtest.h>

#include "run/StripDeal.h"
#include "run/StripPool.h"

namespace tamrel {
namespace {

    TEST(StripDeal, EveryStripOnceEachSideFromItsEnd)
    {
        StripPool pool;
        StripDeal deal;
        for (const long count : { 1L, 2L, 3L, 50L }) {
            for (int step = 0; step < 200; ++step) {
                std::vector<int> ranBy(static_cast<std::size_t>(count), -1);
                std::vector<std::atomic<int>> runs(static_cast<std::size_t>(count));
                std::vector<long> sum(2, 0);
                deal.reset(count);
                const std::function<void(int)> task = [&](int side) {
                    for (long j = deal.take(side); j >= 0; j = deal.take(side)) {
                        ranBy[static_cast<std::size_t>(j)] = side;
                        runs[static_cast<std::size_t>(j)].fetch_add(1);
                        deal.done(side);
                    }
                    deal.waitAll(side);
                    // Every strip is visible as run here.
                    for (const int by : ranBy)
                        sum[static_cast<std::size_t>(side)] += by >= 0 ? 1 : 0;
                };
                pool.runPair(task);
                ASSERT_EQ(sum[0], count);
                ASSERT_EQ(sum[1], count);
                for (const auto& r : runs)
                    ASSERT_EQ(r.load(), 1);
                // Side 0 ran a prefix, side 1 the rest.
                long j = 0;
                while (j < count && ranBy[static_cast<std::size_t>(j)] == 0)
                    ++j;
                for (; j < count; ++j)
                    ASSERT_EQ(ranBy[static_cast<std::size_t>(j)], 1) << count << " strips, strip " << j;
            }
        }
    }

} // namespace
} // namespace tamrel
