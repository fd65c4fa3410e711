// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// What a box holds when its editing ends (Enter, or the focus leaves it).
// Each keystroke that leaves a valid number already took effect; an entry
// the box refused (a grid of 3 cells, a Courant number "abc", a run of 0
// time units, a row past the last stored one) would otherwise stay on show
// while another value is in force. When editing ends such a box shows the
// value in force again, and the reason of the refusal with the allowed
// range goes to the status line.

#include <string>
#include <string_view>

#include "state/ExperimentState.h"

namespace tamrel {

enum class EditedBox {
    GridSize, // txtNGridCells
    Periods, // txtNPeriods
    PlotsPerPeriod, // txtNPlotsPerPeriod
    CourantNumber, // txtCourantNumber
    MSec, // txtMSec
    StoredState, // txtStoredStateNumber
    CellNumber, // txtMSelected
    Density, // txtDensity
    Pressure, // txtPressure
    Velocity, // txtVelocity
};

struct BoxEditEnd {
    bool holds = true; // the text stands for the value in force: leave it
    std::string text; // otherwise: the value in force, as the box shows it
    std::string reason; // and why the entry was refused, with what is allowed
};

// The end of an edit of `box` whose text is `text`.
BoxEditEnd EndBoxEdit(const ExperimentState& s, EditedBox box, std::string_view text);

// Why Select refuses the values typed in the three value boxes ("" when it
// takes them): each must be a number, and the density above 0.
std::string SelectRefusal(std::string_view density, std::string_view pressure, std::string_view velocity);

} // namespace tamrel
