// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>

#include "plots/LinePlots.h"
#include "presets/SoundWave.h"
#include "run/DefaultProblem.h"

using namespace tamrel;

namespace {

ExperimentState soundWave(double rPlus, double rMinus, double r0, Long fPlus = 1, Long fMinus = 1, Long f0 = 1)
{
    ExperimentState s;
    StartUpState(s);
    s.RPlusAmplitude = rPlus;
    s.RMinusAmplitude = rMinus;
    s.R0Amplitude = r0;
    s.RPlusFrequency = fPlus;
    s.RMinusFrequency = fMinus;
    s.R0Frequency = f0;
    s.U0 = -1.0;
    StartSoundWaveExperiment(s);
    SetUpSoundWaveState(s);
    return s;
}

struct Extent {
    double lo, hi;
    double half() const { return (hi - lo) / 2; }
};

Extent extent(const BoundedArray<double>& a, long n)
{
    Extent e { a[1], a[1] };
    for (long i = 1; i <= n; ++i) {
        e.lo = std::min(e.lo, a[i]);
        e.hi = std::max(e.hi, a[i]);
    }
    return e;
}

} // namespace

TEST(SoundWaveSetUp, ZeroAmplitudeIsUniformGas)
{
    const ExperimentState s = soundWave(0, 0, 0);
    EXPECT_EQ(s.RiemannPlots, 1);
    EXPECT_EQ(s.MnBdry, 4);
    EXPECT_EQ(s.MxBdry, 4);
    for (long i = 0; i <= 101; ++i) {
        ASSERT_NEAR(s.Rho[i], 1.0, 1e-14) << i;
        ASSERT_NEAR(s.P[i], 1 / 1.4, 1e-14) << i;
        ASSERT_NEAR(s.VX[i], -1.0, 1e-14) << i;
        ASSERT_EQ(s.VY[i], 0.0) << i;
    }
    EXPECT_DOUBLE_EQ(s.RhoMin, 0.95);
    EXPECT_DOUBLE_EQ(s.RhoMax, 1.05);
    EXPECT_DOUBLE_EQ(s.PMin, 0.95 / 1.4);
    EXPECT_DOUBLE_EQ(s.PMax, 0.75);
    EXPECT_DOUBLE_EQ(s.VXMin, -1.05);
    EXPECT_DOUBLE_EQ(s.VXMax, -0.95);

    EXPECT_EQ(s.SoundSpeed0, 1.0);
    EXPECT_EQ(s.TimeUnit, 1.0);
    EXPECT_EQ(s.DtPlot, 1.0 / 400);
    EXPECT_EQ(s.TNextPlot, s.DtPlot);
    EXPECT_EQ(s.TStop, 1.5);
    // The first step comes from this gas (sound speed 1, flow 1), not from
    // the pressure of 1000 the default problem left in cell 0.
    EXPECT_NEAR(s.Dt, 0.085 * 0.01 / 2, 1e-12);
    EXPECT_EQ(s.DtOld, s.Dt);
    EXPECT_NEAR(s.SoundSpeed[0], 1.0, 1e-14);
    EXPECT_NEAR(s.SoundSpeed[101], 1.0, 1e-14);
}

TEST(SoundWaveSetUp, BuildsExactlyTheAskedFieldsAndMeanVelocity)
{
    // The R+, R- and P/Rho^Gamma the plots draw are the cell averages of the
    // asked sinusoids (R+ and R- about their means), to rounding, and the
    // mean velocity is u0, whatever the grid.
    struct Case {
        double aP, aM, a0;
        Long kP, kM, k0;
        double u0;
        long cells;
    };
    const Case cases[] = {
        { 1e-3, 0, 0, 1, 1, 1, 0, 32 },
        { 1e-3, 0, 0, 1, 1, 1, 0, 100 },
        { 0, 1e-3, 0, 1, 2, 1, 0.5, 64 },
        { 0.1, 0.05, 0.02, 2, 1, 3, 0.5, 100 },
        { 0, 0, 0.3, 1, 1, 2, -1, 50 },
        { 3, 0, 0, 1, 1, 1, 0, 200 },
        { 2, -1.5, 0.2, 1, 3, 1, 0.25, 120 },
    };
    for (const Case& c : cases) {
        ExperimentState s;
        StartUpState(s);
        s.NGridCells = c.cells;
        AllocateArrays(s);
        SetUpDefaultProblem(s);
        s.RPlusAmplitude = c.aP;
        s.RMinusAmplitude = c.aM;
        s.R0Amplitude = c.a0;
        s.RPlusFrequency = c.kP;
        s.RMinusFrequency = c.kM;
        s.R0Frequency = c.k0;
        s.U0 = c.u0;
        ASSERT_EQ(SoundWaveRefusal(s), "");
        StartSoundWaveExperiment(s);
        SetUpSoundWaveState(s);
        const long n = s.NGridCells;
        // Cell average of sin(2 pi k x / L) over cell j, from its integral.
        const double length = s.X[n + 1] - s.X[1], twoPi = 8 * std::atan(1.0);
        auto average = [&](Long k, long j) {
            const double w = twoPi * static_cast<double>(k) / length;
            return (std::cos(w * s.X[j]) - std::cos(w * s.X[j + 1])) / (w * (s.X[j + 1] - s.X[j]));
        };
        const std::vector<double> plus = RiemannInvariant(s, +1), minus = RiemannInvariant(s, -1);
        double meanU = 0;
        const double scale = 1e-14 * (1 + std::fabs(c.aP) + std::fabs(c.aM) + std::fabs(c.a0));
        for (long j = 1; j <= n; ++j) {
            const auto k = static_cast<std::size_t>(j);
            ASSERT_NEAR(plus[k], c.aP * average(c.kP, j), 10 * scale) << c.aP << " cell " << j;
            ASSERT_NEAR(minus[k], c.aM * average(c.kM, j), 10 * scale) << c.aM << " cell " << j;
            ASSERT_NEAR(s.P[j] / std::pow(s.Rho[j], s.Gamma), 1 / s.Gamma + c.a0 * average(c.k0, j), scale)
                << c.a0 << " cell " << j;
            meanU += s.VX[j] / static_cast<double>(n);
        }
        EXPECT_NEAR(meanU, c.u0, scale) << c.aP << "," << c.aM;
    }
}

TEST(SoundWaveSetUp, RefusesWavesThatMakeNoGas)
{
    struct Case {
        double aP, aM, a0;
        Long kP, kM;
        const char* refusal; // a part of the reason; "" when the wave is taken
    };
    // Gamma 1.4: the acoustic limit is 4/(Gamma-1) = 10, the entropy one 1/Gamma.
    const Case cases[] = {
        { 20, 0, 0, 1, 1, "must stay below 4/(Gamma-1) = 10" },
        { 9.9, 0, 0, 1, 1, "down to 7.14286e-15, to the floor PFloor = 1e-08" },
        { 9, 0, 0, 1, 1, "" },
        { 6, 6, 0, 1, 1, "" }, // equal wave numbers: only the difference moves the sound speed
        { 6, 6, 0, 1, 2, "|R+ amplitude| + |R- amplitude| = 12" },
        { 6, -4.5, 0, 3, 3, "|R+ amplitude - R- amplitude| = 10.5" },
        { 0, 0, 1 / 1.4, 1, 1, "must stay below 1/Gamma" },
        { 0, 0, -0.72, 1, 1, "R0 amplitude of -0.72" },
        { 0, 0, 0.7, 1, 1, "" },
    };
    for (const Case& c : cases) {
        ExperimentState s;
        StartUpState(s);
        s.RPlusAmplitude = c.aP;
        s.RMinusAmplitude = c.aM;
        s.R0Amplitude = c.a0;
        s.RPlusFrequency = c.kP;
        s.RMinusFrequency = c.kM;
        const std::string why = SoundWaveRefusal(s);
        if (std::string(c.refusal).empty()) {
            EXPECT_EQ(why, "") << c.aP << "," << c.aM << "," << c.a0;
            StartSoundWaveExperiment(s);
            SetUpSoundWaveState(s);
            for (long i = 0; i <= s.NGridCells + 1; ++i)
                ASSERT_TRUE(s.Rho[i] > s.RhoFloor && s.P[i] > s.PFloor && std::isfinite(s.P[i])) << i;
        } else {
            EXPECT_NE(why.find(c.refusal), std::string::npos) << why;
        }
    }
}

TEST(SoundWaveSetUp, BoundaryCellsArePeriodic)
{
    const ExperimentState s = soundWave(0.1, 0.05, 0.02, 2, 1, 3);
    const long n = s.NGridCells;
    for (const auto* a : { &s.Rho, &s.P, &s.VX, &s.VY, &s.FSmoke }) {
        EXPECT_EQ((*a)[0], (*a)[n]);
        EXPECT_EQ((*a)[n + 1], (*a)[1]);
    }
    EXPECT_NE(s.Rho[0], s.Rho[1]);
}

TEST(SoundWaveSetUp, WavesHaveTheirCharacteristicPhases)
{
    // A pure R+ wave moves velocity and pressure together, a pure R- wave in
    // opposition, with du = dR/2 (then divided by sqrt 2) and dp = Z dR/2 at
    // Z = 1; the entropy wave leaves both uniform and changes the density.
    struct Case {
        double rPlus, rMinus, r0;
        double velocityHalfRange, pressureHalfRange;
        int phase; // +1 in phase, -1 opposed, 0 no pressure wave
    };
    const double a = 0.01;
    const Case cases[] = {
        { a, 0, 0, a / 2, a / 2, +1 },
        { 0, a, 0, a / 2, a / 2, -1 },
        { 0, 0, a, 0, 0, 0 },
    };
    for (const Case& c : cases) {
        const ExperimentState s = soundWave(c.rPlus, c.rMinus, c.r0);
        const long n = s.NGridCells;
        EXPECT_NEAR(extent(s.VX, n).half(), c.velocityHalfRange, 2e-3 * a) << c.rPlus << c.rMinus;
        EXPECT_NEAR(extent(s.P, n).half(), c.pressureHalfRange, 2e-3 * a) << c.rPlus << c.rMinus;
        double corr = 0;
        for (long i = 1; i <= n; ++i)
            corr += (s.VX[i] + 1) * (s.P[i] - 1 / 1.4);
        if (c.phase != 0)
            EXPECT_EQ(corr > 0, c.phase > 0) << c.rPlus << c.rMinus;
        else
            EXPECT_GT(extent(s.Rho, n).half(), 0.5 * a);
    }
}

TEST(SoundWaveSetUp, TooStrongWaveStaysFinite)
{
    const ExperimentState s = soundWave(10, 0, 5);
    for (long i = 0; i <= s.NGridCells + 1; ++i) {
        ASSERT_TRUE(std::isfinite(s.Rho[i]) && s.Rho[i] > 0) << i;
        ASSERT_TRUE(std::isfinite(s.P[i]) && s.P[i] > 0) << i;
        ASSERT_TRUE(std::isfinite(s.VX[i])) << i;
        ASSERT_TRUE(std::isfinite(s.SoundSpeed[i])) << i;
    }
    EXPECT_TRUE(std::isfinite(s.Dt) && s.Dt > 0);
}

TEST(SoundWaveSetUp, NothingWithoutRiemannPlots)
{
    ExperimentState s;
    StartUpState(s);
    const double rho5 = s.Rho[5], dt = s.Dt;
    SetUpSoundWaveState(s);
    EXPECT_EQ(s.Rho[5], rho5);
    EXPECT_EQ(s.Dt, dt);
    EXPECT_EQ(s.SoundSpeed0, 1.0);
    EXPECT_EQ(s.MnBdry, 1);
}

TEST(SoundWaveSetUp, MultifluidStreamsAndBoundaryFluids)
{
    ExperimentState s;
    StartUpState(s);
    s.SchemeName = "Mixtal32";
    allocateMultifluidArrays(s);
    s.RhoRatio2 = 2.0;
    s.RPlusAmplitude = s.RMinusAmplitude = s.R0Amplitude = 0;
    StartSoundWaveExperiment(s);
    SetUpSoundWaveState(s);
    for (long i = 1; i <= 100; ++i) {
        const bool stream = i >= 26 && i <= 75;
        ASSERT_NEAR(s.Rho[i], stream ? 2.0 : 1.0, 1e-14) << i;
        ASSERT_NEAR(s.Rho1[i], 1.0, 1e-14) << i;
        ASSERT_EQ(s.FFrac[i], stream ? 1.0 : 0.0) << i;
    }
    EXPECT_EQ(s.Rho1[0], s.Rho1[100]);
    EXPECT_EQ(s.Rho2[101], s.Rho2[1]);
    EXPECT_NEAR(s.SoundSpeed[0], 1.0, 1e-14);
    EXPECT_NEAR(s.Dt, 0.085 * 0.01 / 2, 1e-12);
}

TEST(SoundWaveAnswers, BadAnswersKeepThePreviousValue)
{
    struct Case {
        SoundWaveField field;
        std::optional<std::string_view> answer;
        bool accepted;
        double value; // field value afterwards
    };
    // Start values: RPlusAmplitude 1, RPlusFrequency 1, U0 -1.
    const Case cases[] = {
        { SoundWaveField::U0, std::string_view(""), false, -1 },
        { SoundWaveField::U0, std::nullopt, false, -1 },
        { SoundWaveField::U0, std::string_view("abc"), false, -1 },
        { SoundWaveField::U0, std::string_view("-"), false, -1 },
        { SoundWaveField::U0, std::string_view(" -2.5 "), true, -2.5 },
        { SoundWaveField::RPlusAmplitude, std::string_view("0"), true, 0 },
        { SoundWaveField::RPlusAmplitude, std::string_view("1e-3"), true, 1e-3 },
        { SoundWaveField::RPlusFrequency, std::string_view("0"), false, 1 },
        { SoundWaveField::RPlusFrequency, std::string_view("0.4"), false, 1 },
        { SoundWaveField::RPlusFrequency, std::string_view("-0.5"), false, 1 },
        { SoundWaveField::RPlusFrequency, std::string_view("0.6"), true, 1 },
        { SoundWaveField::RPlusFrequency, std::string_view("2.5"), true, 2 },
        { SoundWaveField::RPlusFrequency, std::string_view("3.5"), true, 4 },
        { SoundWaveField::RPlusFrequency, std::string_view("-3"), true, -3 },
        { SoundWaveField::RPlusFrequency, std::string_view("two"), false, 1 },
    };
    for (const Case& c : cases) {
        ExperimentState s;
        const std::string shown = c.answer ? std::string(*c.answer) : "<cancel>";
        EXPECT_EQ(ApplySoundWaveAnswer(s, c.field, c.answer), c.accepted) << shown;
        const double got = c.field == SoundWaveField::U0 ? s.U0
            : c.field == SoundWaveField::RPlusAmplitude  ? s.RPlusAmplitude
                                                         : s.RPlusFrequency;
        EXPECT_EQ(got, c.value) << shown;
    }
}

TEST(SoundWaveAnswers, QuestionsInOrderWithPresentValuesAsDefaults)
{
    const SoundWaveField order[] = { SoundWaveField::RPlusAmplitude, SoundWaveField::RPlusFrequency,
        SoundWaveField::RMinusAmplitude, SoundWaveField::RMinusFrequency, SoundWaveField::R0Amplitude,
        SoundWaveField::R0Frequency, SoundWaveField::U0 };
    const std::string_view suffix = "  (1 = fundamental,  2 = first harmonic, etc.):";
    for (std::size_t k = 0; k < 7; ++k) {
        const SoundWaveQuestion& q = kSoundWaveQuestions[k];
        EXPECT_EQ(q.field, order[k]);
        EXPECT_EQ(q.prompt.ends_with(suffix), isWaveNumberField(q.field)) << q.prompt;
    }
    EXPECT_EQ(kSoundWaveQuestions[1].prompt,
        "Type the frequency of the R+ Riemann invariant  (1 = fundamental,  2 = first harmonic, etc.):");
    EXPECT_EQ(kSoundWaveQuestions[6].title, "Get U0 Value");

    ExperimentState s;
    s.RMinusAmplitude = 0.25;
    s.R0Frequency = 3;
    EXPECT_EQ(soundWaveDefaultText(s, SoundWaveField::U0), "-1");
    EXPECT_EQ(soundWaveDefaultText(s, SoundWaveField::RMinusAmplitude), "0.25");
    EXPECT_EQ(soundWaveDefaultText(s, SoundWaveField::R0Frequency), "3");
}

TEST(SoundWaveAnswers, AWaveThatMakesNoGasKeepsTheWaveBefore)
{
    ExperimentState s;
    s.RMinusAmplitude = 0.25;
    // A taken wave: cancelled and refused answers keep their fields.
    SoundWaveAnswers answers { "0.5", "0", std::nullopt, "2", "0.1", "x", "0.3" };
    SoundWaveTaken taken = TakeSoundWaveAnswers(s, answers);
    EXPECT_EQ(taken.waveRefusal, "");
    EXPECT_EQ(taken.refusals.find("Get R+ Frequency: "), 0u) << taken.refusals;
    EXPECT_NE(taken.refusals.find("  Get R0 Frequency: "), std::string::npos) << taken.refusals;
    EXPECT_EQ(s.RPlusAmplitude, 0.5);
    EXPECT_EQ(s.RPlusFrequency, 1);
    EXPECT_EQ(s.RMinusAmplitude, 0.25);
    EXPECT_EQ(s.RMinusFrequency, 2);
    EXPECT_EQ(s.R0Amplitude, 0.1);
    EXPECT_EQ(s.U0, 0.3);

    // A wave whose troughs reach zero sound speed: every field as before,
    // and the question asked first gives the same answer without a change.
    const ExperimentState before = s;
    const SoundWaveAnswers noGas { "9", "1", "9", "2", "0", "1", "0" };
    const std::string asked = SoundWaveAnswersRefusal(s, noGas);
    EXPECT_FALSE(asked.empty());
    EXPECT_EQ(s.RPlusAmplitude, before.RPlusAmplitude);
    taken = TakeSoundWaveAnswers(s, noGas);
    EXPECT_EQ(taken.waveRefusal, asked);
    EXPECT_EQ(taken.refusals, "Sound Wave refused: " + asked + "; the wave before is kept.");
    EXPECT_EQ(s.RPlusAmplitude, before.RPlusAmplitude);
    EXPECT_EQ(s.RMinusAmplitude, before.RMinusAmplitude);
    EXPECT_EQ(s.RMinusFrequency, before.RMinusFrequency);
    EXPECT_EQ(s.R0Amplitude, before.R0Amplitude);
    EXPECT_EQ(s.U0, before.U0);
}
