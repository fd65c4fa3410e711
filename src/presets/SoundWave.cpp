#include "presets/SoundWave.h"

#include <algorithm>
#include <cmath>

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

    // Pressure and density are kept at the floors a time step keeps them at: a
    // wave too strong for the reference gas would otherwise drive the pressure
    // negative and the density to NaN through (p/S)^(1/Gamma).
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

    // Cell 0 and the starting pressure (a first guess of the impedance, then
    // one correction), then a march across the grid: the invariants change by
    // dRp and dRm from cell to cell, so du = (dRp + dRm)/2 and dp = Z (dRp -
    // dRm)/2 with the impedance averaged by a predictor and a corrector. The
    // plot ranges follow the cells.
    void marchAcrossGrid(ExperimentState& s, const WaveProfile& w, bool fluids)
    {
        const long n = s.NGridCells;
        const double gam = s.Gamma;
        double dRp = s.RPlusAmplitude * (w.sinP(1) - w.sinP(0));
        double dRm = s.RMinusAmplitude * (w.sinM(1) - w.sinM(0));
        s.VX[0] = s.U0 - (dRp + dRm) / 4;
        const double s0 = w.entropy(0);
        double p = floored(1 / gam - (dRp - dRm) / 4, s.PFloor);
        double rho = w.density(p, s0);
        double z = w.impedance(p, rho);
        p = floored(1 / gam - (z + 1) / 8 * (dRp - dRm), s.PFloor);
        rho = w.density(p, s0);
        z = w.impedance(p, rho);
        double pPrev = p;
        double zPrev = z;
        double runP = w.sinP(1);
        double runM = w.sinM(1);

        for (long j = 1; j <= n; ++j) {
            const double sj = w.entropy(j);
            const double sp = w.sinP(j);
            const double sm = w.sinM(j);
            dRp = s.RPlusAmplitude * (sp - runP);
            dRm = s.RMinusAmplitude * (sm - runM);
            runP = sp;
            runM = sm;
            s.VX[j] = s.VX[j - 1] + (dRp + dRm) / 2;
            s.VY[j] = 0;
            s.FSmoke[j] = 0;

            const double pPred = floored(pPrev + zPrev / 2 * (dRp - dRm), s.PFloor);
            const double zPred = w.impedance(pPred, w.density(pPred, sj));
            p = floored(pPrev + (zPrev + zPred) / 4 * (dRp - dRm), s.PFloor);
            rho = w.density(p, sj);
            z = w.impedance(p, rho);

            s.Rho[j] = rho;
            s.P[j] = p;
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
            zPrev = z;
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
    marchAcrossGrid(s, wave, fluids);

    // Every velocity is divided by sqrt(2); the ranges stay those of the
    // undivided velocities.
    const double root2 = std::sqrt(2.0);
    for (long i = 0; i <= s.NGridCells + 1; ++i)
        s.VX[i] = s.VX[i] / root2;

    SetUpSmokeStreams(s);
    // Periodic boundary cells before the estimate, so the sound speeds and
    // the time step of cells 0 and N+1 come from this wave rather than from
    // whatever the previous problem left there.
    makeBoundaryCellsPeriodic(s, fluids);

    EstimateTimeStep(s);
    CapFirstTimeStep(s);

    openDegenerateRanges(s);
}

} // namespace tamrel
