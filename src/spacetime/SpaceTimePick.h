// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Pressing on the space-time picture while no run is in progress picks a
// stored snapshot (from the height) and a cell (from the width): the
// snapshot is loaded into the live arrays and that cell becomes current.

#include <string>

#include "state/ExperimentState.h"

namespace tamrel {

// q = [NS - Y*NS/H] (nearest, halves to even), s = q - 1, or 0 if that is
// below 1, and never above NS-1: the top edge picks NS-1, the bottom 0.
// Returns 0 for an empty picture or history.
Long PickStoredState(Long NS, double H, double Y);

struct SpaceTimePick {
    bool picked = false; // false: not Stopped, or fewer than two snapshots
    Long storedState = 0;
    Long cell = 0;
    std::string densityText; // txtDensity
    std::string pressureText; // txtPressure
    std::string velocityText; // txtVelocity
    std::string cellText; // txtMSelected
    std::string storedStateText; // txtStoredStateNumber
};

// W, H: the picture's scale width and height in pixels (|H| is used);
// x, y: the press in pixels from the top left. Loads the snapshot into Rho,
// P, VX, VY, FSmoke (10^value while LogPlots), sets MCurrent, RhoCurrent,
// PCurrent, VXCurrent and StoredStateShown. The window then writes the texts
// in the order density, pressure, velocity, cell, stored state, and
// repaints the three plots and the space-time picture.
SpaceTimePick ApplySpaceTimePick(ExperimentState& s, double W, double H, double x, double y);

} // namespace tamrel
