// SPDX-License-Identifier: GPL-3.0-or-later
#include "presets/SoundWave.h"

#include <algorithm>
#include <cmath>
#include <cstdio>

#include "common/Format.h"
#include "common/Rounding.h"
#include "kernels/SchemeTable.h"
#include "presets/ProblemDescription.h"
#include "run/EstimateTimeStep.h"
#include "run/SmokeStreams.h"
#include "run/SnapshotInterval.h"

namespace tamrel {

namespace {

    // The field a dialog answers, as a pointer into the record (const or not);
    // null when the field is of the other type.
    template <class State> auto realField(State& s, SoundWaveField f) -> decltype(&s.U0)
    {
        switch (f) {
        case SoundWaveField::RPlusAmplitude:
            return &s.RPlusAmplitude;
        case SoundWaveField::RMinusAmplitude:
            return &s.RMinusAmplitude;
        case SoundWaveField::R0Amplitude:
            return &s.R0Amplitude;
        case SoundWaveField::U0:
            return &s.U0;
        default:
            return nullptr;
        }
    }

    template <class State> auto waveNumberField(State& s, SoundWaveField f) -> decltype(&s.R0Frequency)
    {
        switch (f) {
        case SoundWaveField::RPlusFrequency:
            return &s.RPlusFrequency;
        case SoundWaveField::RMinusFrequency:
            return &s.RMinusFrequency;
        case SoundWaveField::R0Frequency:
            return &s.R0Frequency;
        default:
            return nullptr;
        }
    }

    // Average of sin(k x) over a cell of width h relative to its centre value:
    // sin(kh)/(kh), whose limit at kh = 0 is 1.
    double cellAverageFactor(double k, double h)
    {
        const double kh = k * h;
        return kh == 0 ? 1.0 : std::sin(kh) / kh;
    }

    // A number in a refusal: six significant digits.
    std::string g6(double v)
    {
        char buf[32];
        std::snprintf(buf, sizeof buf, "%.6g", v);
        return buf;
    }

    // Pressure and density are kept at the floors a time step keeps them at,
    // for a wave the refusal rule would have turned away (a record built by
    // other means): the state stays finite.
    double floored(double v, double floor)
    {
        return v >= floor ? v : floor;
    }

    // The reference gas (density 1, pressure 1/Gamma, sound speed 1), the
    // snapshot timing in units of its sound crossing time, and plot ranges that
    // start at the reference state and grow with the cells.
    void setReferenceGas(ExperimentState& s)
    {
        const double gam = s.Gamma;
        s.SoundSpeed0 = 1.0;
        s.RhoCurrent = 1.0;
        s.PCurrent = 1 / gam;
        s.TimeUnit = 1.0;

        s.TStop = s.Periods;
        s.ProblemTStop = 0;
        s.DtPlot = SnapshotInterval(s.TimeUnit, s.NPlotsPerPeriod, s.TStop);
        s.TNextPlot = s.DtPlot;

        s.RhoMin = 1.0;
        s.RhoMax = 1.0;
        s.PMin = 1 / gam;
        s.PMax = 1 / gam;
        s.VXMin = s.U0;
        s.VXMax = s.U0;
    }

    // The three sinusoids as cell averages over the grid: a whole number of
    // half-periods of sin(k (x1 + x2)), that is whole wavelengths in the cell
    // centre, over the domain, each scaled by its cell-average factor.
    struct WaveProfile {
        const ExperimentState& s;
        double kP, kM, k0;
        double sigmaP, sigmaM, sigma0;

        double sinP(long j) const { return std::sin(kP * (s.X[j] + s.X[j + 1])) * sigmaP; }
        double sinM(long j) const { return std::sin(kM * (s.X[j] + s.X[j + 1])) * sigmaM; }
        // The entropy P/Rho^Gamma of cell j.
        double entropy(long j) const
        {
            return 1 / s.Gamma + s.R0Amplitude * std::sin(k0 * (s.X[j] + s.X[j + 1])) * sigma0;
        }
        // Velocity and the acoustic half-difference w = (R+ - R-)/2 about the
        // reference gas: u = u0 + (dR+ + dR-)/2, w = (dR+ - dR-)/2.
        double velocity(long j) const
        {
            return s.U0 + (s.RPlusAmplitude * sinP(j) + s.RMinusAmplitude * sinM(j)) / 2;
        }
        double halfDifference(long j) const
        {
            return (s.RPlusAmplitude * sinP(j) - s.RMinusAmplitude * sinM(j)) / 2;
        }
        double density(double p, double sj) const { return floored(std::pow(p / sj, 1 / s.Gamma), s.RhoFloor); }
        double impedance(double p, double rho) const { return std::sqrt(s.Gamma * p * rho); }
    };

    // Cell 0's edge is extrapolated first, as the time-step estimate does, so
    // the wave in cell 0 never depends on what an earlier grid left there. The
    // cell-average factors come from the width of cell 1.
    WaveProfile waveProfile(ExperimentState& s)
    {
        const long n = s.NGridCells;
        s.X[0] = 2 * s.X[1] - s.X[2];
        const double length = s.X[n + 1] - s.X[1];
        const double pi = 4 * std::atan(1.0);
        const double kappa = pi / length;
        WaveProfile w { s, s.RPlusFrequency * kappa, s.RMinusFrequency * kappa, s.R0Frequency * kappa, 0, 0, 0 };
        const double h = s.X[2] - s.X[1];
        w.sigmaP = cellAverageFactor(w.kP, h);
        w.sigmaM = cellAverageFactor(w.kM, h);
        w.sigma0 = cellAverageFactor(w.k0, h);
        return w;
    }

    // The pressure of the reference gas's simple wave in which R+ - R- =
    // 4c/(Gamma-1) is 4/(Gamma-1) + 2w: c = 1 + (Gamma-1)/2 w, with
    // c^2 = Gamma S rho^(Gamma-1) and p = S rho^Gamma at S = 1/Gamma. An
    // entropy wave leaves it alone (pressure is continuous across a contact).
    double isentropicPressure(double gam, double w, double entropy, double pFloor)
    {
        const double c = 1 + (gam - 1) / 2 * w;
        if (!(c > 0) || !(entropy > 0))
            return pFloor;
        const double rho = std::pow(c * c / (gam * entropy), 1 / (gam - 1));
        return floored(entropy * std::pow(rho, gam), pFloor);
    }

    // The pressure of cell j after cell j-1 (pressure pPrev, impedance zPrev)
    // such that the invariants as the plots integrate them step by exactly
    // dw = w(j) - w(j-1): 2 (p - pPrev) / (Z(p) + zPrev) = dw, with
    // Z(p) = sqrt(Gamma p rho(p)) at the cell's entropy. g(p) = 2 (p - pPrev)
    // - dw (Z(p) + zPrev) is increasing or convex with g(0) < 0 whenever a
    // positive root exists, so Newton from the simple-wave guess finds it.
    // A step too steep for any positive pressure (a coarse grid under a
    // strong wave) keeps the guess.
    double stepPressure(const WaveProfile& w, double sj, double pPrev, double zPrev, double dw, double guess)
    {
        const double gam = w.s.Gamma;
        double p = guess;
        for (int it = 0; it < 50; ++it) {
            const double z = w.impedance(p, w.density(p, sj));
            const double g = 2 * (p - pPrev) - dw * (z + zPrev);
            const double dg = 2 - dw * (gam + 1) / (2 * gam) * z / p;
            const double next = p - g / dg;
            if (!(dg > 0) || !(next > 0) || !std::isfinite(next))
                return guess;
            const bool done = std::fabs(next - p) <= 4e-16 * p;
            p = next;
            if (done)
                return p;
        }
        return p;
    }

    // The cells: the velocity straight from the two acoustic fields, the
    // entropy from the third, and the pressure marched from cell 1 so that
    // the R+, R- and P/Rho^Gamma the plots draw are the asked sinusoids' cell
    // averages (a field asked at 0 is flat to rounding) and the mean velocity
    // is u0. The plot ranges follow the cells.
    void buildCells(ExperimentState& s, const WaveProfile& w, bool fluids)
    {
        const long n = s.NGridCells;
        const double gam = s.Gamma;
        double pPrev = 0, zPrev = 0, wPrev = 0;
        for (long j = 1; j <= n; ++j) {
            const double sj = w.entropy(j);
            const double wj = w.halfDifference(j);
            const double guess = isentropicPressure(gam, wj, 1 / gam, s.PFloor);
            const double p = j == 1 ? guess : stepPressure(w, sj, pPrev, zPrev, wj - wPrev, guess);
            const double rho = w.density(p, sj);
            s.Rho[j] = rho;
            s.P[j] = p;
            s.VX[j] = w.velocity(j);
            s.VY[j] = 0;
            s.FSmoke[j] = 0;
            s.RhoMax = std::max(s.RhoMax, rho);
            s.RhoMin = std::min(s.RhoMin, rho);
            s.PMax = std::max(s.PMax, p);
            s.PMin = std::min(s.PMin, p);
            s.VXMax = std::max(s.VXMax, s.VX[j]);
            s.VXMin = std::min(s.VXMin, s.VX[j]);
            if (fluids) {
                s.Rho1[j] = s.Rho[j];
                s.Rho2[j] = s.Rho[j] * s.RhoRatio2;
                s.P1[j] = s.P[j];
                s.P2[j] = s.P[j];
            }
            pPrev = p;
            zPrev = w.impedance(p, rho);
            wPrev = wj;
        }
    }

    void makeBoundaryCellsPeriodic(ExperimentState& s, bool fluids)
    {
        const long n = s.NGridCells;
        auto periodic = [&](BoundedArray<double>& a) {
            a[0] = a[n];
            a[n + 1] = a[1];
        };
        for (auto* a : { &s.Rho, &s.P, &s.VX, &s.VY, &s.FSmoke })
            periodic(*a);
        if (fluids)
            for (auto* a : { &s.Rho1, &s.Rho2, &s.P1, &s.P2 })
                periodic(*a);
    }

    // A range without span gets a height, so the plots can draw it.
    void openDegenerateRanges(ExperimentState& s)
    {
        if (s.RhoMax == s.RhoMin) {
            s.RhoMax = s.RhoMax * 1.05;
            s.RhoMin = s.RhoMin * 0.95;
        }
        if (s.PMax == s.PMin) {
            s.PMax = s.PMax * 1.05;
            s.PMin = s.PMin * 0.95;
        }
        if (s.VXMax == s.VXMin) {
            s.VXMax = s.VXMax + 0.05;
            s.VXMin = s.VXMin - 0.05;
        }
    }

} // namespace

bool isWaveNumberField(SoundWaveField f)
{
    return f == SoundWaveField::RPlusFrequency || f == SoundWaveField::RMinusFrequency
        || f == SoundWaveField::R0Frequency;
}

std::string soundWaveDefaultText(const ExperimentState& s, SoundWaveField f)
{
    if (const Long* n = waveNumberField(s, f))
        return std::to_string(*n);
    return formatGeneral(*realField(s, f));
}

bool ApplySoundWaveAnswer(ExperimentState& s, SoundWaveField f, std::optional<std::string_view> answer)
{
    if (!answer)
        return false;
    const std::optional<double> v = parseNumber(*answer);
    if (!v)
        return false;
    if (Long* n = waveNumberField(s, f)) {
        // A wave number of 0 has no wave and makes sin(kh)/(kh) undefined.
        const Long k = roundToLong(*v);
        if (k == 0)
            return false;
        *n = k;
        return true;
    }
    *realField(s, f) = *v;
    return true;
}

std::string SoundWaveAnswerRefusal(SoundWaveField f, std::optional<std::string_view> answer)
{
    if (!answer || answer->empty())
        return {};
    const std::optional<double> v = parseNumber(*answer);
    if (!v) {
        std::string why(1, '"');
        why += *answer;
        why += "\" is not a number; the value before is kept";
        return why;
    }
    if (isWaveNumberField(f) && roundToLong(*v) == 0)
        return "a wave number must be a whole number other than 0; the value before is kept";
    return {};
}

std::string SoundWaveRefusal(const ExperimentState& s)
{
    const double gam = s.Gamma;
    const double aP = s.RPlusAmplitude, aM = s.RMinusAmplitude, a0 = s.R0Amplitude;
    if (!std::isfinite(aP) || !std::isfinite(aM) || !std::isfinite(a0) || !std::isfinite(s.U0))
        return "an amplitude or the average velocity is not a finite number";
    const bool together = s.RPlusFrequency == s.RMinusFrequency;
    const double acoustic = together ? std::fabs(aP - aM) : std::fabs(aP) + std::fabs(aM);
    const double acousticLimit = 4 / (gam - 1);
    if (!(acoustic < acousticLimit))
        return std::string(together ? "|R+ amplitude - R- amplitude| = " : "|R+ amplitude| + |R- amplitude| = ")
            + g6(acoustic) + " would bring the sound speed, and with it the density and the pressure, "
            + "to 0 where the waves' troughs meet: it must stay below 4/(Gamma-1) = " + g6(acousticLimit);
    if (!(std::fabs(a0) < 1 / gam))
        return "an R0 amplitude of " + g6(a0)
            + " would make P/Rho^Gamma non-positive, which no gas of positive density and pressure has: its "
              "size must stay below 1/Gamma = "
            + g6(1 / gam);
    // The weakest gas: the acoustic trough on the reference isentrope
    // (p = c^(2 Gamma/(Gamma-1)) / Gamma; the entropy wave leaves the
    // pressure alone) and, for the density, the entropy's crest.
    const double cMin = 1 - (gam - 1) / 4 * acoustic;
    const double pMin = std::pow(cMin, 2 * gam / (gam - 1)) / gam;
    const double rhoMin = std::pow(pMin / (1 / gam + std::fabs(a0)), 1 / gam);
    if (!(pMin > s.PFloor))
        return "the R+ and R- amplitudes would bring the pressure down to " + g6(pMin)
            + ", to the floor PFloor = " + g6(s.PFloor) + " a run keeps it at";
    if (!(rhoMin > s.RhoFloor))
        return "the amplitudes would bring the density down to " + g6(rhoMin)
            + ", to the floor RhoFloor = " + g6(s.RhoFloor) + " a run keeps it at";
    return {};
}

bool LeaveSoundWaveView(ExperimentState& s)
{
    if (s.RiemannPlots == 0)
        return false;
    s.RiemannPlots = 0;
    return true;
}

void StartSoundWaveExperiment(ExperimentState& s)
{
    s.RiemannPlots = 1;
    s.MnBdry = 4;
    s.MxBdry = 4;
}

std::optional<std::string> SoundWaveClickDescription(
    const ExperimentState& s, std::string_view currentCaption, std::string_view date, std::string_view time)
{
    if (currentCaption != s.TitleText)
        return std::nullopt;
    return SoundWaveDescriptionText(s, date, time);
}

void SetUpSoundWaveState(ExperimentState& s)
{
    if (s.RiemannPlots == 0)
        return;
    const bool fluids = kernels::twoFluidScheme(s.SchemeName) && s.Rho1.contains(s.NGridCells + 1);

    setReferenceGas(s);
    const WaveProfile wave = waveProfile(s);
    buildCells(s, wave, fluids);

    SetUpSmokeStreams(s);
    // Periodic boundary cells before the estimate, so the sound speeds and
    // the time step of cells 0 and N+1 come from this wave rather than from
    // whatever the previous problem left there.
    makeBoundaryCellsPeriodic(s, fluids);

    EstimateTimeStep(s);
    CapFirstTimeStep(s);

    openDegenerateRanges(s);
}

namespace {
    // The seven wave fields from one record into another.
    void putWave(ExperimentState& to, const ExperimentState& from)
    {
        to.RPlusAmplitude = from.RPlusAmplitude;
        to.RMinusAmplitude = from.RMinusAmplitude;
        to.R0Amplitude = from.R0Amplitude;
        to.U0 = from.U0;
        to.RPlusFrequency = from.RPlusFrequency;
        to.RMinusFrequency = from.RMinusFrequency;
        to.R0Frequency = from.R0Frequency;
    }

    // A record holding only what judging a wave reads: the wave, the
    // ratio of specific heats and the floors (no grid, no history).
    ExperimentState waveOnly(const ExperimentState& s)
    {
        ExperimentState w;
        w.Gamma = s.Gamma;
        w.PFloor = s.PFloor;
        w.RhoFloor = s.RhoFloor;
        putWave(w, s);
        return w;
    }
} // namespace

std::string SoundWaveAnswersRefusal(const ExperimentState& s, const SoundWaveAnswers& answers)
{
    ExperimentState w = waveOnly(s);
    return TakeSoundWaveAnswers(w, answers).waveRefusal;
}

SoundWaveTaken TakeSoundWaveAnswers(ExperimentState& s, const SoundWaveAnswers& answers)
{
    SoundWaveTaken taken;
    auto add = [&taken](const std::string& reason) {
        taken.refusals += (taken.refusals.empty() ? "" : "  ") + reason;
    };
    const ExperimentState before = waveOnly(s);
    for (std::size_t k = 0; k < kSoundWaveQuestions.size(); ++k) {
        const SoundWaveQuestion& q = kSoundWaveQuestions[k];
        std::optional<std::string_view> reply;
        if (answers[k])
            reply = std::string_view(*answers[k]);
        if (const std::string why = SoundWaveAnswerRefusal(q.field, reply); !why.empty())
            add(std::string(q.title) + ": " + why + ".");
        ApplySoundWaveAnswer(s, q.field, reply);
    }
    taken.waveRefusal = SoundWaveRefusal(s);
    if (!taken.waveRefusal.empty()) {
        putWave(s, before);
        add("Sound Wave refused: " + taken.waveRefusal + "; the wave before is kept.");
    }
    return taken;
}

} // namespace tamrel
