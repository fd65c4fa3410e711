// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A convergence study: every scheme at every resolution of a ladder, each
// run's error against the exact solution of its own initial grid, and the
// order of convergence. The runs go on worker threads, one run per thread;
// the caller's thread prepares each run's record (`prepare`, which may need
// the caller's thread, as a window does) and hears of the progress.

#include <array>
#include <atomic>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "compare/StudyErrors.h"
#include "state/ExperimentState.h"

namespace tamrel::compare {

inline constexpr long kStudyMinCells = 6;
inline constexpr long kStudyMaxCells = 5000;

struct StudyRow {
    std::string scheme;
    long cells = 0;
    std::array<double, 3> errors {}; // rho, vx, p; or R+, R-, entropy for a sound wave
    double order = 0; // local order of orderError() from the previous resolution (NaN for the first)
    // The error lies at the rounding floor of the scheme's precision, where
    // it stops falling with the cells: shown, but left out of the fit.
    bool floored = false;
    double seconds = 0;
    double cellUpdatesPerSecond = 0;

    // The error whose order is measured: the density's for a Riemann problem;
    // for a sound wave the sum of the three, so a wave in any of the fields counts.
    double orderError(StudyKind kind) const;
};

struct StudyResult {
    StudyKind kind = StudyKind::Riemann;
    std::vector<StudyRow> rows; // finished runs, by scheme (in the order asked) then by cells
    bool cancelled = false;
    std::string failure; // a run that failed: the study stops and says why

    // The order of one scheme's orderError() fitted over its rows above the
    // rounding floor.
    double fittedOrder(const std::string& scheme) const;
    // One scheme's rows, in the order run.
    std::vector<const StudyRow*> rowsOf(const std::string& scheme) const;
};

// The Ready record of a problem for one scheme and one grid size, made as a
// single run of that scheme would start; nothing (and `why`) when it cannot.
// `mirrored` asks for the problem with its disturbance reversed (a sound
// wave with every amplitude negated); it is asked only for a sound wave.
//
// A sound wave's reference is its linearised solution, whose own error
// grows with the amplitude squared and would floor the errors of a good
// scheme on a fine grid. The study runs the wave and its mirror and measures
// half their difference against half the difference of their linear
// solutions: the quadratic terms, the same in both, cancel, and what is left
// of the reference's error is of the amplitude cubed.
using PrepareStudyRun = std::function<std::optional<ExperimentState>(
    const std::string& scheme, long cells, bool mirrored, std::string& why)>;
// Called on the caller's thread after each finished run: runs done, runs in all.
using StudyProgress = std::function<void(int done, int total)>;

// Why a ladder and a list of schemes cannot make a study (a sentence), or
// nothing: at least one scheme, every one known and named once; at least two
// resolutions, each within 6..5000 cells and named once.
std::optional<std::string> CheckStudyRequest(
    const std::vector<std::string>& schemes, const std::vector<long>& cells);

// Why the problem `prepare` makes has no exact reference (prepared for the
// first scheme at the first resolution), or nothing.
std::optional<std::string> CheckStudyProblem(
    const PrepareStudyRun& prepare, const std::string& scheme, long cells);

// What the student should know before trusting the study's figures (a
// sentence), or nothing: a sound wave whose velocity crosses 0 with an
// amplitude so small that the velocity floor VXEpsilon, which sets every
// |vx| below it to 0 after each step, cuts a visible share of the wave.
std::optional<std::string> StudyProblemWarning(
    const PrepareStudyRun& prepare, const std::string& scheme, long cells);

// Runs the study. `threads` (at least 1) runs at a time; `cancel`, checked
// between steps, stops the runs in progress within a step and keeps the
// finished rows.
StudyResult RunConvergenceStudy(const std::vector<std::string>& schemes, const std::vector<long>& cells,
    const PrepareStudyRun& prepare, int threads, const std::atomic<bool>* cancel = nullptr,
    const StudyProgress& progress = {});

} // namespace tamrel::compare
