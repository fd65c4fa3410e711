// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The periodic sound-wave experiment: sinusoids of the two acoustic Riemann
// invariants R+ (travelling at u + c) and R- (u - c) and of the entropy wave
// R0 (travelling with the flow) on a uniform reference gas of density 1,
// pressure 1/Gamma and sound speed 1, with periodic boundaries.
//
// The click handler's dialogs and captions are the window's; this file holds
// the questions as data, the rules for accepting an answer, and the state.

#include <array>
#include <optional>
#include <string>
#include <string_view>

#include "state/ExperimentState.h"

namespace tamrel {

// The seven wave parameters the dialogs ask for, in the order asked.
enum class SoundWaveField {
    RPlusAmplitude,
    RPlusFrequency,
    RMinusAmplitude,
    RMinusFrequency,
    R0Amplitude,
    R0Frequency,
    U0,
};

struct SoundWaveQuestion {
    std::string_view prompt;
    std::string_view title;
    SoundWaveField field;
};

inline constexpr std::array<SoundWaveQuestion, 7> kSoundWaveQuestions { {
    { "Type the amplitude of the R+ Riemann invariant", "Get R+ Amplitude", SoundWaveField::RPlusAmplitude },
    { "Type the frequency of the R+ Riemann invariant  (1 = fundamental,  2 = first harmonic, etc.):",
        "Get R+ Frequency", SoundWaveField::RPlusFrequency },
    { "Type the amplitude of the R- Riemann invariant", "Get R- Amplitude", SoundWaveField::RMinusAmplitude },
    { "Type the frequency of the R- Riemann invariant  (1 = fundamental,  2 = first harmonic, etc.):",
        "Get R- Frequency", SoundWaveField::RMinusFrequency },
    { "Type the amplitude of the R0 Riemann invariant", "Get R0 Amplitude", SoundWaveField::R0Amplitude },
    { "Type the frequency of the R0 Riemann invariant  (1 = fundamental,  2 = first harmonic, etc.):",
        "Get R0 Frequency", SoundWaveField::R0Frequency },
    { "Type the average velocity", "Get U0 Value", SoundWaveField::U0 },
} };

// Where each dialog's top-left corner goes, in twips from the screen's top-left.
inline constexpr int kSoundWaveDialogLeftTwips = 3000;
inline constexpr int kSoundWaveDialogTopTwips = 3000;

// Titles of the three plots while the invariants are shown (two spaces
// after "R+" and "R-").
struct SoundWavePlotCaptions {
    std::string_view density;
    std::string_view pressure;
    std::string_view velocity;
};
inline constexpr SoundWavePlotCaptions kSoundWavePlotCaptions { "R+  Riemann Invariant", "P / (Rho^Gamma)",
    "R-  Riemann Invariant" };

// The captions of the plots outside the sound-wave view.
inline constexpr SoundWavePlotCaptions kPlainPlotCaptions { " Density", "Pressure", "Velocity" };

// The plots leave the sound-wave view (RiemannPlots 0) for density,
// pressure and velocity: a shock-tube test, Reset and a set-up file without
// periodic boundaries are no sound waves. True when the view changed.
bool LeaveSoundWaveView(ExperimentState& s);

// Why an answer to a sound-wave question is refused ("" when it is taken or
// cancelled): not a number, or a wave number of 0.
std::string SoundWaveAnswerRefusal(SoundWaveField f, std::optional<std::string_view> answer);

// Whether the wave number fields hold whole numbers (the other four are reals).
bool isWaveNumberField(SoundWaveField f);

// The field's present value as the dialog's default text.
std::string soundWaveDefaultText(const ExperimentState& s, SoundWaveField f);

// Apply one dialog answer (nullopt: the dialog was cancelled). An empty,
// cancelled or non-numeric answer keeps the previous value; a wave number is
// rounded to the nearest whole number (halves to even) and refused, keeping
// the previous value, when that gives 0. Returns true when the field took
// the answer.
bool ApplySoundWaveAnswer(ExperimentState& s, SoundWaveField f, std::optional<std::string_view> answer);

// Why the record's seven wave parameters make no gas (a sentence), or "" when
// they do. The acoustic waves move the sound speed by (Gamma-1)/4 of
// A+ sin - A- sin; where it would reach 0 somewhere the density and the
// pressure would too: |A+| + |A-| (|A+ - A-| for equal wave numbers, whose
// troughs always meet) must stay below 4/(Gamma-1). The entropy P/Rho^Gamma
// = 1/Gamma + A0 sin must stay positive: |A0| below 1/Gamma. And the weakest
// gas they make must stay above the floors a run keeps pressure and density
// at (PFloor, RhoFloor), or the run would bend it silently. The rule does not
// depend on the grid, so a wave accepted once builds on every grid size.
std::string SoundWaveRefusal(const ExperimentState& s);

// The seven answers, in the order asked; nullopt for a cancelled dialog.
using SoundWaveAnswers = std::array<std::optional<std::string>, kSoundWaveQuestions.size()>;

struct SoundWaveTaken {
    // Why answers were refused, each "Title: why." and the wave's refusal
    // last, two spaces apart, as the status line shows them ("" when all
    // were taken).
    std::string refusals;
    // Why the wave they ask for makes no gas ("" when it makes one).
    std::string waveRefusal;
};

// The answers applied in order, then the wave judged: a wave that makes no
// gas is refused and the seven fields keep the wave before.
SoundWaveTaken TakeSoundWaveAnswers(ExperimentState& s, const SoundWaveAnswers& answers);

// Why the wave these answers would make on the record's wave makes no gas
// ("" when it makes one), asked before anything changes.
std::string SoundWaveAnswersRefusal(const ExperimentState& s, const SoundWaveAnswers& answers);

// First step of the click, once its guard (ExperimentState::isReady) has
// passed: the plots switch to the invariants and both boundaries become
// periodic (RiemannPlots 1, MnBdry = MxBdry = 4).
void StartSoundWaveExperiment(ExperimentState& s);

// The click's own description: the sound-wave layout when the label still
// shows its start-up caption (TitleEntered is not consulted), else nullopt.
std::optional<std::string> SoundWaveClickDescription(
    const ExperimentState& s, std::string_view currentCaption, std::string_view date, std::string_view time);

// Build the wave state on the present grid X; nothing happens while
// RiemannPlots is 0. Each cell holds the cell averages of the asked
// sinusoids in the three fields as the plots measure them (R+ and R-
// integrated from cell to cell with the impedance of the two cells, and
// P/Rho^Gamma): u = u0 + (dR+ + dR-)/2 exactly, so the mean velocity is u0,
// and the pressure is marched so each step of R+ - R- is the asked one.
// Sets SoundSpeed0 1, RhoCurrent 1, PCurrent 1/Gamma, TimeUnit 1,
// DtPlot = TNextPlot = 1/NPlotsPerPeriod, TStop = Periods; Rho, P, VX, VY,
// FSmoke of cells 0..N+1 (and Rho1, P1, Rho2, P2 under "Mixtal32"); the plot
// ranges (opened when degenerate); smoke streams; the sound speeds and Dt
// from EstimateTimeStep, capped at DtPlot; DtOld = Dt.
// Leaves the editors, the description and the history alone.
void SetUpSoundWaveState(ExperimentState& s);

} // namespace tamrel
