// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Equally spaced smoke streams over cells 1..N, and under the multifluid
// scheme the same streams made of fluid 2 (fractions and density).

#include <string>

#include "state/ExperimentState.h"

namespace tamrel {

// FSmoke of cells 1..N: each period of w = N \ NSmokeStreams cells (at least
// 4, at most N) carries smoke 1 in its middle s = w \ 2 cells. Under
// a two-fluid scheme the stream cells also get the full-cell fraction values
// (1, 0, 0, 1/12, 0, 1/12) and Rho = Rho2, the other cells all-zero fractions.
// NSmokeStreams <= 0 lays out no stream (cells 1..N get smoke and fractions 0);
// a grid of one cell is left untouched.
void SetUpSmokeStreams(ExperimentState& s);

// Why a number of smoke streams is refused ("" when it is taken: it rounds
// half-even to at least 1).
std::string SmokeStreamsRefusal(double value);

} // namespace tamrel
