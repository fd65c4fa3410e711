// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What the page draws, read from a lab's record: the three plots' values
// with the exact solution's beside them and its L1 readout, the space-time
// picture as RGBA pixels, and the final state as CSV.

#include <array>
#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

#include "exact/ExactSolution.h"
#include "exact/ExactTracker.h"
#include "spacetime/SpaceTimeImage.h"
#include "state/ExperimentState.h"

namespace tamrel::web {

class WebViews {
public:
    // Seven blocks of N values: cell centres; the density, pressure and
    // velocity plots' values (R+, P / Rho^Gamma and R- for a sound wave);
    // the exact values of the same three, NaN where there are none; then
    // the y-range of each plot as the window's paint has it (three pairs of
    // minimum and maximum). Also sets readout().
    const double* plots(const ExperimentState& s);
    const std::string& readout() const { return readout_; }

    // The history of `variable` drawn W x H by the lab's raster, top row
    // first, four bytes a pixel; null when fewer than two rows are stored,
    // the name is none of the list's or a side is not within 1..4096.
    const std::uint8_t* spaceTime(const ExperimentState& s, std::string_view variable, int W, int H);
    std::array<double, 2> spaceTimeRange() const { return range_; }

private:
    exact::ExactTracker tracker_;
    exact::ExactCells cells_;
    std::vector<double> plots_;
    std::string readout_;
    GrayImage image_;
    std::vector<std::uint8_t> rgba_;
    std::array<double, 2> range_ {};
};

// "cell,x,rho,p,vx,vy,smoke" and one line a cell, 17 significant digits,
// after the run line "# time=... scheme=... cells=... cycles=... snapshots=...".
std::string FinalStateCsv(const ExperimentState& s);

} // namespace tamrel::web
