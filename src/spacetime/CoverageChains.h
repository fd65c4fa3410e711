// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Rule 1 of the coverage fill for a row of cells each narrower than a pixel
// column: every cell blends only the pixel its left edge lies in,
//   px[c0] = [px[c0] keep + mixed(i)],
// so every pixel column is a chain of roundings through its own cells, in
// their order, and the chains of four columns go side by side. The pixels
// are those of the cells taken one by one.

#include <cstddef>
#include <cstdint>
#include <vector>

namespace tamrel {

class CoverageChains {
public:
    // c0[i], i = 1..N, nondecreasing, each in 1..W+1. False when the way is
    // not taken (the processor has no AVX2).
    bool prepare(const std::vector<int>& c0, long N, int W);

    // Row R (element c-1 for pixel c, W+1 of them) and mixed[1..N]. Every
    // value of the row and every mixed value must lie in 0..255.
    void blend(std::int32_t* R, const double* mixed, double keep) const;

private:
    struct Group {
        std::int32_t start[4]; // first cell of each column
        std::int32_t count[4]; // cells of each column
        int firstPixel; // pixel of the first lane
        int steps; // most cells of a lane
    };
    std::vector<Group> groups_;
    int W_ = 0;
};

} // namespace tamrel
