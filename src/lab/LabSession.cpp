// SPDX-License-Identifier: GPL-3.0-or-later
#include "lab/LabSession.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <cstdio>
#include <sstream>

#include "common/Format.h"
#include "common/RegularFile.h"
#include "common/Rounding.h"
#include "compare/Lockstep.h"
#include "compare/SideBySide.h"
#include "edit/BoundaryTypes.h"
#include "edit/GridParameters.h"
#include "edit/SelectedCells.h"
#include "exact/ExactColumns.h"
#include "kernels/SchemeTable.h"
#include "presets/ShockTubeTests.h"
#include "presets/SoundWave.h"
#include "run/DefaultProblem.h"
#include "run/EstimateTimeStep.h"
#include "run/RunControl.h"
#include "run/RunStatus.h"
#include "run/SchemeChoice.h"
#include "run/ShockConstants.h"
#include "run/SmokeStreams.h"
#include "run/SnapshotRow.h"
#include "run/TimeStep.h"
#include "setupfile/SetupFile.h"

namespace tamrel::lab {

namespace {
    // A number as a box would take it back exactly.
    std::string text17(double v)
    {
        char buf[40];
        std::snprintf(buf, sizeof buf, "%.17g", v);
        return buf;
    }

    GridValues cellsOf(const ExperimentState& s)
    {
        GridValues g;
        for (long i = 1; i <= s.NGridCells; ++i) {
            g.x.push_back(0.5 * (s.X[i] + s.X[i + 1]));
            g.rho.push_back(s.Rho[i]);
            g.p.push_back(s.P[i]);
            g.vx.push_back(s.VX[i]);
            g.vy.push_back(s.VY[i]);
            g.smoke.push_back(s.FSmoke[i]);
        }
        return g;
    }

    void buildSoundWave(ExperimentState& s)
    {
        SetUpSoundWaveState(s);
    }

    // A message box's lines as one line.
    std::string oneLine(std::string text)
    {
        for (std::size_t at; (at = text.find('\n')) != std::string::npos;)
            text.replace(at, 1, "  ");
        return text;
    }

    bool allFinite(const std::vector<double>& v)
    {
        return std::all_of(v.begin(), v.end(), [](double x) { return std::isfinite(x); });
    }

    // Why a hand-made state makes no grid the lab can run.
    Refusal handMadeRefusal(const HandMadeState& h)
    {
        const std::size_t n = h.rho.size();
        if (h.vx.size() != n || h.p.size() != n || (!h.vy.empty() && h.vy.size() != n)
            || (!h.smoke.empty() && h.smoke.size() != n))
            return "The arrays differ in length: density, velocity and pressure (and vy and smoke when given) "
                   "need one value for each cell.";
        if (n < static_cast<std::size_t>(kMinGridCells) || n > static_cast<std::size_t>(kMaxRunGridCells))
            return "A grid has " + std::to_string(kMinGridCells) + " to " + std::to_string(kMaxRunGridCells)
                + " cells, not " + std::to_string(n) + ".";
        if (!allFinite(h.rho) || !allFinite(h.vx) || !allFinite(h.p) || !allFinite(h.vy) || !allFinite(h.smoke))
            return "Every value must be a finite number.";
        for (std::size_t i = 0; i < n; ++i)
            if (!(h.rho[i] > 0) || !(h.p[i] > 0))
                return "The density and the pressure must be above 0 in every cell (cell " + std::to_string(i + 1)
                    + " has density " + formatGeneral(h.rho[i]) + ", pressure " + formatGeneral(h.p[i]) + ").";
        for (double f : h.smoke)
            if (f < 0 || f > 1)
                return "The smoke fraction lies between 0 and 1 in every cell.";
        auto known = [](long b) { return b == 1 || b == 2 || b == 4; };
        if (!known(h.leftBoundary) || !known(h.rightBoundary))
            return "A boundary is 1 (reflecting), 2 (continuation) or 4 (periodic).";
        if ((h.leftBoundary == 4) != (h.rightBoundary == 4))
            return "A periodic boundary needs the other one periodic too.";
        if (!std::isfinite(h.gamma) || !(h.gamma > 1))
            return "The ratio of specific heats gamma must be above 1.";
        return std::nullopt;
    }
} // namespace

LabSession::LabSession(int threads)
    : stepper_(std::make_unique<TimeStep>(threads))
{
    // The window's start-up: the default problem and the control refresh.
    StartUpState(s_);
    RefreshTimeScales(s_);
    s_.MSecMin = 1;
    s_.MSecMax = 2000;
    s_.MSec = 5;
    shown_.gridSize = formatPattern(s_.NGridCells, "###0");
    CapFirstTimeStep(s_);
    ShowCourantNumber(s_, shown_, "#0.0##");
}

LabSession::~LabSession() = default;

Refusal LabSession::notReady(const char* what) const
{
    if (s_.isReady())
        return std::nullopt;
    return std::string(what) + " only before a run begins: Restart first.";
}

void LabSession::afterSetUp()
{
    faulted_ = false;
    exact_.reset();
}

Refusal LabSession::loadTest(int test)
{
    if (test < 1 || test > kShockTubeTestCount)
        return "There is no Test " + std::to_string(test) + ": the tests are 1 to "
            + std::to_string(kShockTubeTestCount) + ".";
    if (auto r = notReady("A test loads"))
        return r;
    LeaveSoundWaveView(s_);
    ApplyShockTubeTest(s_, test);
    // The control refresh a set-up ends with.
    shown_.gridSize = formatPattern(s_.NGridCells, "###0");
    CapFirstTimeStep(s_);
    ShowCourantNumber(s_, shown_, "#0.0##");
    handMade_ = false;
    recipe_.problem = Recipe::Problem::Test;
    recipe_.test = test;
    afterSetUp();
    return std::nullopt;
}

Refusal LabSession::loadSoundWave(const SoundWaveAsked& w)
{
    if (auto r = notReady("The sound wave loads"))
        return r;
    const SoundWaveAnswers answers { text17(w.rPlusAmplitude), std::to_string(w.rPlusFrequency),
        text17(w.rMinusAmplitude), std::to_string(w.rMinusFrequency), text17(w.r0Amplitude),
        std::to_string(w.r0Frequency), text17(w.u0) };
    // Asked first: a refused answer or wave leaves the problem before in place.
    for (std::size_t k = 0; k < kSoundWaveQuestions.size(); ++k)
        if (const std::string why = SoundWaveAnswerRefusal(kSoundWaveQuestions[k].field, *answers[k]); !why.empty())
            return std::string(kSoundWaveQuestions[k].title) + ": " + why + ".";
    if (const std::string why = SoundWaveAnswersRefusal(s_, answers); !why.empty())
        return "Sound Wave refused: " + why + ".";

    StartSoundWaveExperiment(s_);
    TakeSoundWaveAnswers(s_, answers);
    // Reset deselects the inner entries one by one, each finished as an edit.
    for (const Long m : ResetDeselectCells(s_)) {
        DeselectCellState(s_, m);
        FinishSelectionEdit(s_);
    }
    SetUpSoundWaveState(s_);
    handMade_ = false;
    recipe_.problem = Recipe::Problem::SoundWave;
    recipe_.wave = w;
    afterSetUp();
    return std::nullopt;
}

Refusal LabSession::loadSetupText(const std::string& text)
{
    if (auto r = notReady("A set-up loads"))
        return r;
    const SetupReadResult read = ReadSetupText(text);
    if (read.status == SetupReadStatus::Rejected)
        return oneLine(read.message);
    if (read.status != SetupReadStatus::Ok)
        return std::string("This is not a complete set-up file.");
    if (const std::string why = CheckSetupData(read.data); !why.empty())
        return why;
    CommitSetup(s_, read.data);
    // A set-up file holds a table of selected cells, never a sound wave.
    LeaveSoundWaveView(s_);
    RebuildGridFromTable(s_, shown_, buildSoundWave);
    handMade_ = false;
    recipe_.problem = Recipe::Problem::Setup;
    recipe_.setupText = text;
    afterSetUp();
    return std::nullopt;
}

Refusal LabSession::loadSetupFile(const std::string& path)
{
    if (auto r = notReady("A set-up loads"))
        return r;
    RegularFileReader file(path);
    if (!file.isOpen())
        return "Cannot open the set-up file " + path + ": " + file.error();
    std::ostringstream text;
    text << file.stream().rdbuf();
    if (file.stream().bad())
        return "Cannot read the set-up file " + path + ".";
    return loadSetupText(text.str());
}

Refusal LabSession::loadState(const HandMadeState& h)
{
    if (auto r = notReady("A state loads"))
        return r;
    if (auto r = handMadeRefusal(h))
        return r;
    const Long n = static_cast<Long>(h.rho.size());
    LeaveSoundWaveView(s_);
    s_.NGridCells = n;
    s_.NSelected = 0;
    s_.MnBdry = h.leftBoundary;
    s_.MxBdry = h.rightBoundary;
    s_.Gamma = s_.Gamma1 = s_.Gamma2 = h.gamma;
    s_.ProblemTStop = 0;
    s_.TimeNow = 0;
    ResizeGridArrays(s_);
    resizeSelectedKeep(s_);
    for (Long i = 1; i <= n; ++i) {
        const auto k = static_cast<std::size_t>(i - 1);
        WriteCellValues(s_, i, h.rho[k], h.p[k], h.vx[k]);
        s_.VY[i] = h.vy.empty() ? 0.0 : h.vy[k];
        s_.FSmoke[i] = h.smoke.empty() ? 0.0 : h.smoke[k];
    }
    // The boundary cells as an end cell's selection leaves them.
    WriteCellValues(s_, 0, h.rho.front(), h.p.front(), h.vx.front());
    WriteCellValues(s_, n + 1, h.rho.back(), h.p.back(), h.vx.back());
    for (long i = 0; i <= n + 1; ++i)
        SetCellSoundSpeed(s_, i);
    s_.RhoCurrent = h.rho.front();
    s_.PCurrent = h.p.front();
    s_.VXCurrent = h.vx.front();
    ResetRebuildRunState(s_);
    EstimateTimeStep(s_);
    RefreshTimeScales(s_);
    // A two-fluid scheme lays out its fluids from the new grid.
    if (const kernels::SchemeInfo* scheme = kernels::findScheme(s_.SchemeName))
        TakeScheme(s_, scheme->name);
    StoreSnapshotRow(s_, 0);
    handMade_ = true;
    recipe_.problem = Recipe::Problem::HandMade;
    recipe_.hand = h;
    afterSetUp();
    return std::nullopt;
}

Refusal LabSession::setScheme(const std::string& name, std::optional<bool> meter)
{
    if (auto r = notReady("The scheme is chosen"))
        return r;
    const kernels::SchemeInfo* scheme = kernels::findScheme(name);
    if (!scheme)
        return "\"" + name + "\" is not a scheme name.";
    s_.SchemeName = std::string(scheme->name);
    if (meter) {
        s_.MeterOn = *meter ? 1 : 0;
        recipe_.meter = meter;
    }
    TakeScheme(s_, s_.SchemeName);
    return std::nullopt;
}

Refusal LabSession::enterBox(EditedBox box, const std::string& text)
{
    const BoxEditEnd end = EndBoxEdit(s_, box, text);
    if (end.holds)
        return std::nullopt;
    return end.reason.empty() ? std::string("The value ") + text + " was refused." : end.reason;
}

Refusal LabSession::setGridCells(long cells)
{
    if (auto r = notReady("The grid size is set"))
        return r;
    if (handMade_)
        return std::string("A hand-made state keeps its cells: load it again on the grid you want.");
    const std::string text = std::to_string(cells);
    // The box would cap a size above the largest at the largest; a session
    // refuses it, as it refuses one below the smallest, and changes nothing.
    if (cells < std::max<long>(kMinGridCells, s_.NSelected) || cells > kMaxRunGridCells)
        return enterBox(EditedBox::GridSize, text);
    EnterGridSize(s_, shown_, text, buildSoundWave);
    if (s_.NGridCells != cells) {
        if (auto r = enterBox(EditedBox::GridSize, text))
            return r;
        return "A grid of " + text + " cells was refused.";
    }
    recipe_.cells = cells;
    afterSetUp();
    return std::nullopt;
}

Refusal LabSession::setPeriods(double periods)
{
    return typePeriods(text17(periods));
}

Refusal LabSession::typePeriods(const std::string& text)
{
    if (auto r = notReady("The run length is set"))
        return r;
    PeriodsTextChanged(s_, text);
    if (auto r = enterBox(EditedBox::Periods, text))
        return r;
    recipe_.periods = text;
    return std::nullopt;
}

Refusal LabSession::setPlotsPerUnit(double rate)
{
    return typePlotsPerUnit(text17(rate));
}

Refusal LabSession::typePlotsPerUnit(const std::string& text)
{
    if (auto r = notReady("The snapshot rate is set"))
        return r;
    PlotsPerPeriodTextChanged(s_, text);
    if (auto r = enterBox(EditedBox::PlotsPerPeriod, text))
        return r;
    recipe_.plotsPerUnit = text;
    return std::nullopt;
}

Refusal LabSession::setCourant(double courant)
{
    return typeCourant(text17(courant));
}

Refusal LabSession::typeCourant(const std::string& text)
{
    if (auto r = notReady("The Courant number is set"))
        return r;
    shown_.courant = text;
    CourantTextChanged(s_, text);
    if (auto r = enterBox(EditedBox::CourantNumber, text))
        return r;
    recipe_.courant = text;
    return std::nullopt;
}

Refusal LabSession::setShockConstant(const std::string& name, double value)
{
    if (auto r = notReady("The shock constants are set"))
        return r;
    struct Constant {
        const char* name;
        const ShockConstantRange& range;
        double ExperimentState::*field;
        std::optional<double> Recipe::*kept;
    };
    const Constant constants[] = {
        { "difcon", kDifconRange, &ExperimentState::Difcon, &Recipe::difcon },
        { "shkjmp", kShkjmpRange, &ExperimentState::Shkjmp, &Recipe::shkjmp },
        { "wavhaf", kWavhafRange, &ExperimentState::Wavhaf, &Recipe::wavhaf },
    };
    for (const Constant& c : constants) {
        if (name != c.name)
            continue;
        if (!std::isfinite(value))
            return std::string(c.range.title) + ": not a number; the value before is kept.";
        if (const std::string why = ShockConstantRefusal(c.range, value); !why.empty())
            return why;
        s_.*c.field = value;
        recipe_.*c.kept = value;
        return std::nullopt;
    }
    return "No shock constant \"" + name + "\": difcon, shkjmp or wavhaf.";
}

Refusal LabSession::setSmokeStreams(double streams)
{
    if (auto r = notReady("The smoke streams are set"))
        return r;
    if (const std::string why = SmokeStreamsRefusal(streams); !why.empty())
        return "Get Number of Smoke Streams: " + why;
    s_.NSmokeStreams = roundToLong(streams);
    recipe_.smokeStreams = streams;
    return std::nullopt;
}

Refusal LabSession::setLogPlots(bool logs)
{
    if (auto r = notReady("Log plots are chosen"))
        return r;
    SetLogPlots(s_, logs ? 1 : 0);
    recipe_.logPlots = logs;
    return std::nullopt;
}

void LabSession::makeExact()
{
    exact_ = std::make_shared<exact::ExactColumns>(s_);
}

Refusal LabSession::begin()
{
    if (s_.TimeNow != 0 || s_.Stopped == 0)
        return std::string("The run has begun already: Restart goes back to the start.");
    // The exact solution starts from the grid in double precision.
    if (s_.isReady())
        makeExact();
    const BeginStatus status = BeginRun(s_);
    if (status != BeginStatus::Started) {
        const std::string why = BeginRefusal(s_, status);
        return why.empty() ? std::string("The run could not begin.") : why;
    }
    faulted_ = false;
    return std::nullopt;
}

TickOutcome LabSession::tick()
{
    // No budget: every tick runs its full count of steps, as a batch run does.
    return tick(std::chrono::nanoseconds {});
}

TickOutcome LabSession::tick(std::chrono::nanoseconds budget)
{
    TickOutcome out;
    if (s_.Stopped != 0) {
        out.ended = true;
        return out;
    }
    const TickReport report = RunTick(s_, *stepper_, budget);
    acceptedSteps_ += report.stepsRun;
    s_.MultiplePlots = 0;
    out.steps = report.stepsRun;
    out.rowsStored = report.rowsStored;
    out.ended = s_.Stopped != 0;
    if (report.faulted || report.historyEnded) {
        faulted_ = true;
        out.fault = report.fault.message;
    }
    return out;
}

TickOutcome LabSession::step()
{
    TickOutcome out;
    if (s_.Stopped != 0) {
        out.ended = true;
        return out;
    }
    const TickReport report = stepper_->runTickSteps(s_, 1);
    acceptedSteps_ += report.stepsRun;
    out.steps = report.stepsRun;
    out.rowsStored = report.rowsStored;
    out.ended = s_.Stopped != 0;
    if (report.faulted || report.historyEnded) {
        faulted_ = true;
        out.fault = report.fault.message;
    }
    return out;
}

void LabSession::pause()
{
    PauseRun(s_);
}

Refusal LabSession::continueRun()
{
    if (const std::string why = ContinueRefusal(s_); !why.empty())
        return why;
    if (!ContinueRun(s_))
        return std::string("There is no run to go on with: Begin starts one.");
    faulted_ = false;
    return std::nullopt;
}

void LabSession::restart()
{
    RestartRun(s_);
    faulted_ = false;
}

Refusal LabSession::runToEnd()
{
    if (s_.isReady())
        if (auto r = begin())
            return r;
    while (s_.Stopped == 0 && !faulted_)
        if (TickOutcome t = tick(); t.fault)
            return t.fault;
    // A run halted before its stop time (and not merely rounded short of it)
    // has not reached its end.
    if (!ReachedStopTime(s_))
        return "The run stopped at time " + text17(s_.TimeNow) + ", before its stop time " + text17(s_.TStop)
            + ".";
    return std::nullopt;
}

GridValues LabSession::grid() const
{
    return cellsOf(s_);
}

std::vector<double> LabSession::snapshotTimes() const
{
    std::vector<double> t;
    for (long r = 0; r < s_.NStoredStates && SnapshotRowFits(s_, r); ++r)
        t.push_back(s_.StoredTime.contains(r) ? s_.StoredTime[r] : 0.0);
    return t;
}

std::optional<GridValues> LabSession::snapshot(long row) const
{
    if (row < 0 || row >= s_.NStoredStates || !SnapshotRowFits(s_, row))
        return std::nullopt;
    GridValues g;
    const long n = s_.NGridCells;
    const long o = row * (n + 2);
    for (long i = 1; i <= n; ++i) {
        g.x.push_back(0.5 * (s_.X[i] + s_.X[i + 1]));
        g.rho.push_back(StoredPlainValue(s_, StoredField::Rho, o + i));
        g.p.push_back(StoredPlainValue(s_, StoredField::P, o + i));
        g.vx.push_back(StoredPlainValue(s_, StoredField::VX, o + i));
        g.vy.push_back(StoredPlainValue(s_, StoredField::VY, o + i));
        g.smoke.push_back(StoredPlainValue(s_, StoredField::FSmoke, o + i));
    }
    return g;
}

ExactValues LabSession::exact() const
{
    // Before Begin the grid in force is the initial one.
    std::shared_ptr<exact::ExactColumns> columns = exact_;
    if (!columns)
        columns = std::make_shared<exact::ExactColumns>(s_);
    ExactValues e;
    e.valid = columns->at(s_.TimeNow);
    e.note = columns->note();
    if (!e.valid)
        return e;
    const exact::ExactCells& c = columns->cells();
    for (long i = 1; i <= s_.NGridCells; ++i) {
        const auto k = static_cast<std::size_t>(i);
        e.rho.push_back(c.rho[k]);
        e.p.push_back(c.p[k]);
        e.vx.push_back(c.u[k]);
    }
    const exact::L1Distance d = exact::L1FromExact(s_, c);
    e.l1Rho = d.rho;
    e.l1Vx = d.u;
    e.l1P = d.p;
    return e;
}

MeterReading LabSession::meter() const
{
    const OpCounts& counts = stepper_->lastCounts();
    const double updates = static_cast<double>(stepper_->lastRepetitions()) * s_.NGridCells;
    return { s_.MeterOn != 0, s_.MflopRate, s_.MflopsTotal, s_.MeterSeconds,
        updates > 0 ? static_cast<double>(counts[0]) / updates : 0.0 };
}

// Another session set up as this one was: the grid size, the scheme (with
// the meter off), the run length, the snapshot rate and the Courant number,
// then the problem, in the order a batch run sets them.
Refusal LabSession::replay(
    LabSession& o, const std::string& scheme, std::optional<long> cells, bool mirrored) const
{
    const Recipe& r = recipe_;
    if (cells || r.cells)
        if (auto why = o.setGridCells(cells ? *cells : *r.cells))
            return why;
    if (auto why = o.setScheme(scheme, false))
        return why;
    const bool rateFirst = r.plotsPerUnit && parseNumber(*r.plotsPerUnit).value_or(0) < o.s_.NPlotsPerPeriod;
    if (rateFirst)
        if (auto why = o.typePlotsPerUnit(*r.plotsPerUnit))
            return why;
    if (r.periods)
        if (auto why = o.typePeriods(*r.periods))
            return why;
    if (r.plotsPerUnit && !rateFirst)
        if (auto why = o.typePlotsPerUnit(*r.plotsPerUnit))
            return why;
    if (r.courant)
        if (auto why = o.typeCourant(*r.courant))
            return why;
    for (const auto& [name, value] : { std::pair { "difcon", r.difcon }, std::pair { "shkjmp", r.shkjmp },
             std::pair { "wavhaf", r.wavhaf } })
        if (value)
            if (auto why = o.setShockConstant(name, *value))
                return why;
    if (r.smokeStreams)
        if (auto why = o.setSmokeStreams(*r.smokeStreams))
            return why;
    if (r.logPlots)
        if (auto why = o.setLogPlots(*r.logPlots))
            return why;
    switch (r.problem) {
    case Recipe::Problem::Default:
        return std::nullopt;
    case Recipe::Problem::Test:
        return o.loadTest(r.test);
    case Recipe::Problem::SoundWave: {
        SoundWaveAsked w = r.wave;
        if (mirrored) {
            w.rPlusAmplitude = -w.rPlusAmplitude;
            w.rMinusAmplitude = -w.rMinusAmplitude;
            w.r0Amplitude = -w.r0Amplitude;
        }
        return o.loadSoundWave(w);
    }
    case Recipe::Problem::Setup:
        return o.loadSetupText(r.setupText);
    case Recipe::Problem::HandMade:
        if (cells && *cells != static_cast<long>(r.hand.rho.size()))
            return std::string("A hand-made state keeps its cells: it has no other grid sizes.");
        return o.loadState(r.hand);
    }
    return std::nullopt;
}

Refusal LabSession::compareSchemes(
    const std::vector<std::string>& schemes, bool lockstep, std::vector<SchemeResult>& results) const
{
    results.clear();
    if (!s_.isReady())
        return std::string("Schemes are compared from a loaded problem before its run begins: Restart first.");
    std::vector<compare::SchemeRun> runs;
    for (const std::string& name : schemes) {
        LabSession one(1);
        if (kernels::findScheme(name))
            if (auto why = replay(one, name, std::nullopt, false))
                return why;
        runs.emplace_back();
        runs.back().state = one.s_;
        runs.back().state.SchemeName = kernels::findScheme(name) ? one.s_.SchemeName : name;
    }
    if (auto why = compare::CheckSideBySide(runs))
        return why;
    if (!lockstep) {
        compare::RunSideBySide(runs);
    } else {
        std::vector<std::unique_ptr<TimeStep>> owned;
        std::vector<TimeStep*> steppers;
        for (compare::SchemeRun& run : runs) {
            owned.push_back(std::make_unique<TimeStep>(1));
            steppers.push_back(owned.back().get());
            if (const BeginStatus b = BeginRun(run.state); b != BeginStatus::Started)
                return BeginRefusal(run.state, b);
        }
        for (long rows = 2;; ++rows) {
            const compare::LockstepTick t
                = compare::AdvanceLockstep(runs, steppers, rows, {}, compare::LockstepConcurrent());
            if (t.ended)
                break;
        }
    }
    for (const compare::SchemeRun& run : runs) {
        SchemeResult r;
        r.scheme = run.state.SchemeName;
        r.finished = run.finished;
        r.failure = run.failure;
        r.time = run.state.TimeNow;
        r.cycles = run.state.NCycle;
        r.snapshots = run.state.NStoredStates;
        r.acceptedSteps = run.acceptedSteps;
        r.grid = cellsOf(run.state);
        results.push_back(std::move(r));
    }
    for (const SchemeResult& r : results)
        if (!r.finished)
            return r.scheme + ": " + (r.failure.empty() ? std::string("the run did not finish.") : r.failure);
    return std::nullopt;
}

Refusal LabSession::convergenceStudy(const std::vector<std::string>& schemes, const std::vector<long>& cells,
    compare::StudyResult& result, int threads) const
{
    result = {};
    if (handMade_)
        return std::string("A hand-made state keeps its cells: it has no ladder of grid sizes to study.");
    if (auto why = compare::CheckStudyRequest(schemes, cells))
        return why;
    const compare::PrepareStudyRun prepare
        = [this](const std::string& scheme, long n, bool mirrored, std::string& why) -> std::optional<ExperimentState> {
        LabSession one(1);
        if (auto refusal = replay(one, scheme, n, mirrored)) {
            why = *refusal;
            return std::nullopt;
        }
        return one.s_;
    };
    if (auto why = compare::CheckStudyProblem(prepare, schemes.front(), cells.front()))
        return why;
    result = compare::RunConvergenceStudy(schemes, cells, prepare, std::max(1, threads));
    if (!result.failure.empty())
        return result.failure;
    return std::nullopt;
}

} // namespace tamrel::lab
