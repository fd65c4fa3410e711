// SPDX-License-Identifier: GPL-3.0-or-later
// The history read back as plain values: density and pressure through
// log10 and back while LogPlots, the velocity as stored, and only rows that
// were stored.

#include <gtest/gtest.h>

#include <cmath>

#include "state/StoredHistory.h"

namespace tamrel {
namespace {

    ExperimentState withLogs(bool logs)
    {
        ExperimentState s;
        s.LogPlots = logs ? 1 : 0;
        return s;
    }

    TEST(StoredHistory, DensityAndPressureComeBackAsTheyWereStored)
    {
        for (const bool logs : { false, true })
            for (const double v : { 1e-6, 0.125, 1.0, 3.7, 2.5e5 }) {
                SCOPED_TRACE(std::to_string(v) + (logs ? " log" : " plain"));
                const ExperimentState s = withLogs(logs);
                const float stored = StoredValueOf(s, v);
                EXPECT_EQ(stored, static_cast<float>(logs ? std::log10(v) : v));
                // Single precision: log10 rounded to a float loses about
                // 2^-24 of |log10 v| as a relative error of v.
                EXPECT_NEAR(PlainStoredValue(s, stored), v, v * 2e-6);
            }
        // Whole powers of ten come back to the last bits.
        EXPECT_DOUBLE_EQ(PlainStoredValue(withLogs(true), 2.0f), 100.0);
        EXPECT_DOUBLE_EQ(PlainStoredValue(withLogs(true), -3.0f), 1e-3);
        EXPECT_EQ(PlainStoredValue(withLogs(false), -3.0f), -3.0);
    }

    // Two cells, three rows allocated, two stored: row r, cell j holds
    // density 10^(r+1) * (j+1), pressure 3 times that, velocity r - j.
    ExperimentState twoRows(bool logs)
    {
        ExperimentState s;
        s.NGridCells = 2;
        s.NPlotsTotal = 3;
        s.LogPlots = logs ? 1 : 0;
        allocateGridArrays(s);
        allocateHistory(s);
        for (long r = 0; r < 3; ++r)
            for (long j = 0; j <= 3; ++j) {
                const double rho = std::pow(10.0, r + 1) * (j + 1);
                s.STRho[r * 4 + j] = StoredValueOf(s, rho);
                s.STP[r * 4 + j] = StoredValueOf(s, 3 * rho);
                s.STVX[r * 4 + j] = static_cast<float>(r - j);
            }
        s.NStoredStates = 2;
        return s;
    }

    TEST(StoredHistory, ARowComesBackWithItsBoundaryCellsInPlainValues)
    {
        for (const bool logs : { false, true }) {
            SCOPED_TRACE(logs ? "log" : "plain");
            const ExperimentState s = twoRows(logs);
            const StoredCells c = StoredRowCells(s, 1);
            ASSERT_EQ(c.rho.size(), 4u);
            for (std::size_t j = 0; j < 4; ++j) {
                EXPECT_NEAR(c.rho[j], 100.0 * (j + 1), 1e-4 * (j + 1));
                EXPECT_NEAR(c.p[j], 300.0 * (j + 1), 3e-4 * (j + 1));
                EXPECT_EQ(c.vx[j], 1.0 - static_cast<double>(j));
            }
        }
    }

    TEST(StoredHistory, RowsThatWereNotStoredHaveNoValues)
    {
        ExperimentState s = twoRows(true);
        EXPECT_TRUE(StoredRowCells(s, -1).empty());
        EXPECT_TRUE(StoredRowCells(s, 2).empty()); // allocated, not stored
        EXPECT_TRUE(HistoryHoldsRow(s, 2));
        EXPECT_FALSE(HistoryHoldsRow(s, 3)); // past the history
        s.NStoredStates = 5;
        EXPECT_TRUE(StoredRowCells(s, 3).empty());
        s.STVX.release();
        EXPECT_FALSE(HistoryHoldsRow(s, 0));
        EXPECT_TRUE(StoredRowCells(s, 0).empty());
    }

} // namespace
} // namespace tamrel
