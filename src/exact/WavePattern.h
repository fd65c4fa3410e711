// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The exact waves in the x-t plane, for drawing over the space-time picture:
// each shock and contact as a line, each rarefaction fan as its head, its
// tail and a few characteristics between them (a centred fan's
// characteristics are straight lines through the jump), and the edges of a
// vacuum. Lines start at their jump at t = 0 and end where they leave the
// grid or at the time given (at most the time the solution holds).

#include <utility>
#include <vector>

#include "exact/ExactSolution.h"
#include "state/ExperimentState.h"

namespace tamrel::exact {

// In grid coordinates: x in length units, t in problem time.
struct WaveSegment {
    WaveKind kind;
    double x0, t0, x1, t1;
};

// The waves of a Riemann-kind solution up to min(tEnd, validUntil());
// `fanLines` characteristics inside each fan. Nothing for other kinds.
std::vector<WaveSegment> WavePattern(const ExactSolution& sol, double tEnd, int fanLines = 3);

// A wave as a polyline in picture pixels, (0, 0) the top-left corner, y down.
struct WavePolyline {
    WaveKind kind;
    std::vector<std::pair<double, double>> points;
};

// The space-time picture's mapping: the grid X(1)..X(N+1) spans the width
// W, and stored row s (time rowTimes[s], s = 0..NS-1) is the band from
// s H/NS to (s+1) H/NS above the bottom edge, its time at the band's middle;
// between rows time runs linearly. A segment gets a vertex at every row time
// it crosses, so its pixels follow the rows' own times. Segments are cut at
// the last row's time.
std::vector<WavePolyline> WavePatternPixels(const std::vector<WaveSegment>& segments, double xLeft, double xRight,
    const std::vector<double>& rowTimes, double W, double H);

// The waves over the record's space-time picture of W x H pixels: the
// stored rows 0..NStoredStates-1 at their stored times, the grid X(1)..X(N+1).
// Nothing with fewer than two rows (the picture is not drawn then either).
std::vector<WavePolyline> SpaceTimeWaves(const ExperimentState& s, const ExactSolution& sol, double W, double H);

} // namespace tamrel::exact
