// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The paints of the density, pressure and velocity pictures, without the
// window: each only reads the record and returns what to draw, which texts
// to show, and in `fit` the fields the record keeps from the paint (the
// current-cell values, the ranges it computes). The window then, in this
// order:
//   0. has the record keep them (KeepPlotFit);
//   1. replays `drawing` onto the picture (it never clears first);
//   2. sets hsbMSelected to `currentCell` if its value differs;
//   3. writes pressureText, densityText, velocityText into txtPressure,
//      txtDensity, txtVelocity;
//   4. writes rangeMinText / rangeMaxText into the plot's min and max boxes
//      when they are set, and `caption` into the plot's label when set.
// Writing those controls runs their change handlers, as always.

#include <optional>
#include <string>
#include <vector>

#include "kernels/KernelContract.h"
#include "plots/PlotAxes.h"
#include "plots/PlotDrawing.h"
#include "state/ExperimentState.h"

namespace tamrel {

// What the record keeps from a paint; each field set is written.
struct PlotFit {
    std::optional<double> RPlusPlotMin, RPlusPlotMax; // density, sound-wave plots
    std::optional<double> EntropyPlotMin, EntropyPlotMax; // pressure, sound-wave plots
    std::optional<double> RMinusPlotMin, RMinusPlotMax; // velocity, sound-wave plots
    std::optional<double> RhoMin, PMin; // the log plots' bottoms
    std::optional<double> RhoCurrent, PCurrent, VXCurrent; // the current cell's readout
};

// Write every field `fit` holds into the record.
void KeepPlotFit(ExperimentState& s, const PlotFit& fit);

struct LinePlotPaint {
    PlotDrawing drawing;
    PlotFit fit;
    Long currentCell = 0; // hsbMSelected must show this cell
    std::string pressureText; // txtPressure
    std::string densityText; // txtDensity
    std::string velocityText; // txtVelocity
    std::optional<std::string> rangeMinText; // txtDensityMin / txtPressureMin / txtVelocityMin
    std::optional<std::string> rangeMaxText; // ... Max
    std::optional<std::string> caption; // lblPressurePlot (pressure paint only)
    PlotAxes axes; // what the curve shows, for the axes drawn over it
};

// The bottom of a log plot of density or pressure: the smallest value of
// cells 1..N, at most `top` (the range's maximum). The widening of a run
// can leave the plain minimum at 0, which has no logarithm.
double LogPlotBottom(const ExperimentState& s, const BoundedArray<double>& values, double top);

// Density picture: R+ Riemann invariant while RiemannPlots, else log10 of
// the density while LogPlots (RhoMin refitted), else the density.
// W and H are the drawing width and height in twips.
LinePlotPaint PaintDensityPlot(const ExperimentState& s, double W, double H);

// Pressure picture: the fluid-2 fraction at sub-cell resolution when
// PlotFVSmoke and the scheme moves two fluids (`subcellProfile` is called
// once on FillSmokeColumns);
// else P / Rho^Gamma while RiemannPlots; else log10 P while LogPlots (PMin
// refitted); else the pressure. A null `subcellProfile` in smoke mode
// draws no curve.
LinePlotPaint PaintPressurePlot(
    const ExperimentState& s, double W, double H, kernels::SubcellProfileEntry* subcellProfile);

// Velocity picture: R- Riemann invariant while RiemannPlots, else the
// velocity. While BigSpaceTime the range boxes belong to the space-time
// picture and no range texts are returned.
LinePlotPaint PaintVelocityPlot(const ExperimentState& s, double W, double H);

// --- Pieces shared by the paints, exposed for testing --------------------

// Control-cell marks are drawn only on the set-up state at rest, never for
// the sound-wave plots.
bool ControlMarksShown(const ExperimentState& s);

// Sub-cell samples per cell in smoke mode: 64, halved while a*N > 4000,
// at most five times after the first (64 up to N = 62, ..., 1 above 2000).
Long SmokeSamplesPerCell(Long n);

// The fluid-2 fraction and its two moments as the sub-cell profile reads
// them: cells 1..N of FFrac, FFracX, FFracXX with ghost cells 1-B..0 and
// N+1..N+B filled from the boundary types (state/Boundaries.h). The record
// is left as it is.
struct SmokeColumns {
    BoundedArray<double> fraction, slope, curvature;
};
// False, and `out` unset, when the record's arrays are too short.
bool FillSmokeColumns(const ExperimentState& s, SmokeColumns& out);

// Riemann invariant through cells 0..N+1 with its mean over 1..N removed:
// sign +1 gives R+ (du + dp), -1 gives R- (du - dp).
std::vector<double> RiemannInvariant(const ExperimentState& s, int sign);
// The same over cell values given for cells 0..N+1 at index 0..N+1.
std::vector<double> RiemannInvariant(const std::vector<double>& rho, const std::vector<double>& p,
    const std::vector<double>& vx, double gamma, int sign);

// The adaptive range of the sound-wave plots: starts at v[0], each new
// extreme among v[1..] pushes its bound 5 % of the span beyond it.
// `liftNegativeMin` keeps the lower bound at or above 0 (entropy).
void AdaptiveRange(const std::vector<double>& v, bool liftNegativeMin, double& ymin, double& ymax);

// Values that differ by less than single-precision rounding are one value:
// a range narrower than kRoundingSpan times `scale` (the size of the values
// plotted) is opened to that span around its middle, so a constant shows as
// a flat line across the middle of the picture rather than rounding noise
// stretched over its height. A scale of 0 leaves the range alone.
inline constexpr double kRoundingSpan = 1e-6;
void OpenRoundingSpan(double& ymin, double& ymax, double scale);

} // namespace tamrel
