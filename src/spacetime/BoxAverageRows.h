// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// One snapshot row of the space-time box average, four pixel columns side by
// side: a row's range and every column's sum of the row
//   d(c0) wx0 + d(c0+1)/tx + ... + d(c1)/tx + d(c1+1) wx1
// added left to right, each quotient as the division rounds it, so the sums
// are bit for bit those of one column at a time.
//
// The way is taken when the processor fuses multiply and add (AVX2 and FMA),
// every column holds the same count of whole cells or one more (at most six)
// and the grid has at least eight cells. It takes only rows of finite values
// with no negative zero: the range found from whole vectors of cells is then
// the range the cell-by-cell scan finds, sign of zero and all.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace tamrel {

// The cells under one pixel column: cell c0 weighted wx0, cells c0+1..c1
// whole, cell c1+1 weighted wx1 when use1.
struct BoxColumn {
    long c0, c1;
    double wx0, wx1;
    bool use1;
};

class BoxAverageRows {
public:
    // Ready to sum rows of N cells under `cols`; false when the way is not
    // taken (nothing else is then to be called).
    bool prepare(const std::vector<BoxColumn>& cols, long N, double tx);

    // The running range of a history, over the rows summed so far.
    struct Range {
        float lo[8], hi[8];
        Range();
        float min() const;
        float max() const;
    };

    // Columns summed by sumRow, a multiple of four (rowSum's length).
    std::size_t paddedWidth() const { return quads_.size() * 4; }

    // Row p[0..N+1]: its column sums into rowSum[0..W-1] and its cells 1..N
    // into `range`. `readable` is how many floats may be read from p on (the
    // row and the rows after it); `next` (or null) the row to be asked from
    // memory meanwhile, `nextLength` floats of it. False, with nothing
    // summed, when the row holds a value the way does not take.
    bool sumRow(const float* p, std::size_t readable, const float* next, std::size_t nextLength, double* rowSum,
        Range& range) const;

private:
    // Four columns side by side; lanes past the last column repeat it.
    struct Quad {
        std::int32_t c0[4];
        double wx0[4], wx1[4];
        // All bits set in the lanes of columns with one more whole cell, of
        // the shorter columns that add their partial last cell, and of the
        // longer ones that do.
        std::uint64_t longer[4], shortUse[4], longUse[4];
    };
    std::vector<Quad> quads_;
    std::vector<BoxColumn> cols_;
    long N_ = 0;
    int fewest_ = 0;
    double tx_ = 1;
};

} // namespace tamrel
