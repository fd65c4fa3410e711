// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The error of a finished run against the exact solution of its initial
// grid, as a convergence study measures it: the L1 distance (sum over cells
// 1..N of |numerical - exact| times the cell's width) of density, velocity
// and pressure for a Riemann problem, or of the two acoustic invariants R+,
// R- and the entropy P / Rho^Gamma for a sound wave (the invariants built the
// same way for both: integrated from the left and freed of their mean).

#include <array>
#include <optional>
#include <string>

#include "exact/ExactSolution.h"
#include "state/ExperimentState.h"

namespace tamrel::compare {

// A sound wave has an exact reference here only while it stays linear: every
// amplitude typed for it at most this.
inline constexpr double kStudyAmplitudeLimit = 1e-3;

enum class StudyKind { Riemann, SoundWave };

// Why the Ready record `s`, whose initial grid gave `e`, has no exact
// reference at its stop time (a sentence), or nothing.
std::optional<std::string> StudyReferenceRefusal(const ExperimentState& s, const exact::ExactSolution& e);

// Riemann problem or sound wave (the sound-wave set-up's plots).
StudyKind StudyKindOf(const ExperimentState& s);

// The three L1 errors of the record's cells at TimeNow: rho, vx, p for a
// Riemann problem; R+, R-, entropy for a sound wave.
std::array<double, 3> StudyErrorsAt(const ExperimentState& s, const exact::ExactSolution& e);

// The same three errors of a sound wave measured on the odd part of a run
// and its mirror (the wave with its amplitudes negated): half the difference
// of each field between the two runs against half the difference between
// their linear solutions. The linear solutions' own error, quadratic in the
// amplitude, is the same in both and cancels.
std::array<double, 3> StudyOddErrorsAt(const ExperimentState& plus, const exact::ExactSolution& plusReference,
    const ExperimentState& minus, const exact::ExactSolution& minusReference);

// The smallest error a run of `steps` time steps can resolve for the
// record's scheme: the rounding of each step in the scheme's precision, of
// values of the size the record holds, gathering like a random walk, summed
// over the grid. Below it the error no longer falls with the cells: for a
// single-precision scheme on a sound wave of amplitude 1e-4 it is reached
// at some tens of cells.
double StudyRoundingFloor(const ExperimentState& s, long steps);

// The velocity floor's warning for a sound wave (a sentence), or nothing:
// its velocities cross 0 with an amplitude below kVelocityFloorMargin times
// VXEpsilon, so the floor's cut of up to VXEpsilon in the cells next to
// the crossing is more than 1e-4 of the wave.
inline constexpr double kVelocityFloorMargin = 1e4;
std::optional<std::string> VelocityFloorWarning(const ExperimentState& s);

} // namespace tamrel::compare
