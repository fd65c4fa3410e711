// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The shape of an initial grid: runs of cells holding one constant state
// (density, velocity, pressure) and the jumps between them. A jump always
// lies on a cell edge, since every set-up gives each cell one state.

#include <string>
#include <vector>

#include "exact/InitialGrid.h"

namespace tamrel::exact {

struct Plateau {
    long first = 0, last = 0; // cells, 1-based
    double rho = 0, u = 0, p = 0;
};

struct GridShape {
    std::vector<Plateau> plateaus; // left to right, at most maxPlateaus + 1 (then the grid is not of the shape)
    long badCell = 0; // first cell without a positive, finite density and pressure (0: none)
    bool complete = true; // false when the scan stopped at maxPlateaus + 1 plateaus
};

// Split cells 1..N into plateaus. Two neighbours belong to one plateau when
// their states agree to a relative 1e-12 (set-ups write the very same
// numbers into a region; rows read back from single precision agree too).
// The scan stops after maxPlateaus + 1 plateaus.
GridShape ScanPlateaus(const InitialGrid& g, long maxPlateaus);

// One line saying why a shape is not one, two or three constant states.
std::string ShapeReason(const InitialGrid& g, const GridShape& shape);

} // namespace tamrel::exact
