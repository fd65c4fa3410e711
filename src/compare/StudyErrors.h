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

} // namespace tamrel::compare
