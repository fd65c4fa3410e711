// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The exact solution as the line plots show it, and its distance from the
// numerical one.
//
// Each plot shows the exact cell averages the way its paint shows the grid:
// the density plot log10 of the density while LogPlots and R+ while
// RiemannPlots, the pressure plot log10 P or P / Rho^Gamma, the velocity
// plot R-. The invariants are integrated from the left through cells 0..N+1
// and freed of their mean over cells 1..N, exactly as for the grid; the
// curve is drawn in the y-range the picture's last paint used.

#include <optional>
#include <vector>

#include "exact/ExactSolution.h"
#include "plots/PlotDrawing.h"
#include "state/ExperimentState.h"

namespace tamrel::exact {

enum class PlotPicture { Density, Pressure, Velocity };

// The values v[0..N+1] a picture plots for the exact cells `e`; nothing
// when the picture shows what the exact solution does not know (the fluid-2
// fraction under "Mixtal32").
std::optional<std::vector<double>> ExactPlotValues(
    const ExperimentState& s, PlotPicture which, const ExactCells& e);

// The y-range of the picture's last paint, read back from the record.
void PlotRange(const ExperimentState& s, PlotPicture which, double& ymin, double& ymax);

// The exact curve in the picture's frame (twips, W x H), through the cell
// centres as the grid's curve is drawn. Empty when there is nothing to draw.
PlotDrawing ExactOverlayDrawing(
    const ExperimentState& s, PlotPicture which, const ExactCells& e, double W, double H);

// sum over cells 1..N of |numerical - exact| times the cell's width.
struct L1Distance {
    double rho = 0, u = 0, p = 0;
};

// The grid's cells 1..N against the exact cells `e` (0..N+1).
L1Distance L1FromExact(const ExperimentState& s, const ExactCells& e);
// The same for numerical values of cells 1..N given at index 0..N-1 and the
// edges X(1)..X(N+1).
L1Distance L1FromExact(const std::vector<double>& edges, const std::vector<double>& rho,
    const std::vector<double>& u, const std::vector<double>& p, const ExactCells& e);

} // namespace tamrel::exact
