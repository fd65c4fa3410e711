// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The curves of a comparison over the window's three line plots: another
// scheme's stored row drawn as the plot draws the grid on show (the same
// quantity, log scale and sound-wave invariants, in the frame the plot last
// used), and the difference view's curves, each scheme minus the reference
// in a frame symmetric about zero that all schemes share.

#include <array>
#include <vector>

#include "compare/Difference.h"
#include "plots/PlotDrawing.h"
#include "state/ExperimentState.h"

namespace tamrel::compare {

enum class CurvePicture { Density, Pressure, Velocity };

// Row `row` of `run` (cells 0..N+1) as the picture `q` of the record `shown`
// draws its grid, in W x H twips; empty when the row is not stored, the grids
// differ, or the picture shows what a row does not hold (the fluid-2 fraction).
tamrel::PlotDrawing RowCurve(
    const ExperimentState& shown, const ExperimentState& run, long row, CurvePicture q, double W, double H);

// Half the height of the difference view's frame for one quantity: the
// largest |difference| over every scheme, a little widened; 1 when all are 0.
double DifferenceSpan(const RowDifference& d, CurvePicture q);

// One scheme's difference (cells 1..N) in the frame [-span, span] on the
// grid of `shown`.
tamrel::PlotDrawing DifferenceCurve(
    const ExperimentState& shown, const CellValues& d, CurvePicture q, double span, double W, double H);

// The zero line of the difference view.
tamrel::PlotDrawing ZeroLine(double span, double W, double H);

} // namespace tamrel::compare
