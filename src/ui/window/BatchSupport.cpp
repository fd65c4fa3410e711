// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/window/BatchSupport.h"

#include <cmath>
#include <cstdio>
#include <fstream>
#include <string_view>

#include "ui/window/Controls.h"
#include "ui/window/ScriptedDialogs.h"
#include "ui/window/frmTamrel.h"
#include "common/Format.h"
#include "common/RegularFile.h"
#include "common/Rounding.h"
#include "common/StagedFile.h"
#include "edit/GridParameters.h"
#include "exact/ExactColumns.h"
#include "presets/SoundWave.h"
#include "setupfile/SetupFile.h"

namespace tamrel::batch {

int fail(const std::string& message, int status)
{
    // Messages quote what files hold (set-up fields, sheet texts): printed
    // so that none of it acts on the terminal.
    std::fprintf(stderr, "tamrel: %s\n", terminalSafe(message).c_str());
    return status;
}

std::string num17(double v)
{
    char buf[64];
    std::snprintf(buf, sizeof buf, "%.17g", v);
    return buf;
}

namespace {
    // A stored snapshot value with the digits it holds: the history keeps
    // single precision, whose 24 bits print in 9 significant digits (what
    // reads back to the same float); more digits would show only the
    // conversion to double.
    std::string num9(double v)
    {
        char buf[32];
        std::snprintf(buf, sizeof buf, "%.9g", v);
        return buf;
    }

    double storedValue(const ExperimentState& s, const BoundedArray<float>& a, long k, bool logged)
    {
        const double v = a[k];
        return logged && s.LogPlots != 0 ? std::pow(10.0, v) : v;
    }
} // namespace

void writeRunLine(std::ostream& out, const ExperimentState& s)
{
    out << "# time=" << num17(s.TimeNow) << " scheme=" << s.SchemeName << " cells=" << s.NGridCells
        << " cycles=" << s.NCycle << " snapshots=" << s.NStoredStates << "\n";
}

std::string finalStateHeader(bool exact)
{
    return std::string("cell,x,rho,p,vx,vy,smoke")
        + (exact ? std::string(",") + exact::ExactColumns::header() : "");
}

std::string historyHeader(bool exact)
{
    return std::string("row,time,cell,x,rho,p,vx,vy,smoke")
        + (exact ? std::string(",") + exact::ExactColumns::header() : "");
}

void writeFinalStateRows(
    std::ostream& out, const ExperimentState& s, exact::ExactColumns* exact, const std::string& lead)
{
    const long n = s.NGridCells;
    if (exact)
        exact->at(s.TimeNow);
    for (long i = 1; i <= n; ++i)
        out << lead << i << ',' << num17(0.5 * (s.X[i] + s.X[i + 1])) << ',' << num17(s.Rho[i]) << ','
            << num17(s.P[i]) << ',' << num17(s.VX[i]) << ',' << num17(s.VY[i]) << ',' << num17(s.FSmoke[i])
            << (exact ? exact->cell(i) : "") << "\n";
}

void writeHistoryRows(
    std::ostream& out, const ExperimentState& s, exact::ExactColumns* exact, const std::string& lead)
{
    const long n = s.NGridCells;
    for (long r = 0; r < s.NStoredStates; ++r) {
        const long o = r * (n + 2);
        if (o + n + 1 > s.NSTValues)
            break;
        const double t = s.StoredTime.contains(r) ? s.StoredTime[r] : 0.0;
        if (exact)
            exact->at(t);
        for (long i = 1; i <= n; ++i) {
            const long k = o + i;
            out << lead << r << ',' << num17(t) << ',' << i << ',' << num17(0.5 * (s.X[i] + s.X[i + 1])) << ','
                << num9(storedValue(s, s.STRho, k, true)) << ',' << num9(storedValue(s, s.STP, k, true)) << ','
                << num9(s.STVX[k]) << ',' << num9(s.STVY[k]) << ',' << num9(s.STFSmoke[k])
                << (exact ? exact->cell(i) : "") << "\n";
        }
    }
}

bool writeFinalState(const ExperimentState& s, const std::string& path, exact::ExactColumns* exact)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out)
        return false;
    writeRunLine(out, s);
    out << finalStateHeader(exact != nullptr) << "\n";
    writeFinalStateRows(out, s, exact);
    out.close();
    return !out.fail();
}

bool writeHistory(const ExperimentState& s, const std::string& path, exact::ExactColumns* exact)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    if (!out)
        return false;
    writeRunLine(out, s);
    out << historyHeader(exact != nullptr) << "\n";
    writeHistoryRows(out, s, exact);
    out.close();
    return !out.fail();
}

// The set-up file is read once before the window exists, so a refused
// file stops the batch with the window's own message.
std::optional<std::string> checkSetupFile(const std::string& path)
{
    const SetupReadResult read = ReadSetupFile(path);
    if (read.status == SetupReadStatus::Rejected)
        return "set-up file '" + path + "' rejected"
            + (read.line > 0 && read.message.find(" on line " + std::to_string(read.line)) == std::string::npos
                    ? " at line " + std::to_string(read.line)
                    : std::string())
            + ": " + read.message;
    if (read.status == SetupReadStatus::Ok) {
        if (const std::string refusal = CheckSetupData(read.data); !refusal.empty())
            return "set-up file '" + path + "' rejected: " + refusal;
        return std::nullopt;
    }
    if (RegularFileReader file(path); !file.isOpen())
        return "cannot open set-up file '" + path + "': " + file.error();
    return "'" + path + "' is not a complete set-up file";
}

BatchOutputs::BatchOutputs() = default;
BatchOutputs::~BatchOutputs() = default;

std::optional<std::string> BatchOutputs::stage(
    const std::vector<std::pair<const std::optional<std::string>*, const char*>>& given,
    const std::vector<std::pair<const std::optional<std::string>*, const char*>>& inputs)
{
    for (const auto& [path, option] : given) {
        if (!*path)
            continue;
        // An output never replaces a file the run reads.
        for (const auto& [input, inputOption] : inputs)
            if (*input && sameFile(**input, **path))
                return std::string(option) + " '" + **path + "' names the file of " + inputOption + " '" + **input
                    + "': an output never replaces an input";
        auto staged = std::make_unique<StagedFile>(**path);
        if (!staged->ok())
            return staged->error();
        for (const Output& earlier : outputs_)
            if (sameFile(earlier.file->target(), staged->target()))
                return std::string(earlier.option) + " and " + option + " name the same file '" + **path + "'";
        outputs_.push_back({ option, std::move(staged) });
    }
    return std::nullopt;
}

std::optional<std::string> BatchOutputs::stage(const BatchOptions& o)
{
    return stage({ { &o.outFile, "--out" }, { &o.historyFile, "--history" }, { &o.spaceTimeFile, "--spacetime" },
                     { &o.plotsFile, "--plots" }, { &o.animationFile, "--animation" } },
        { { &o.setupFile, "--setup" } });
}

const StagedFile* BatchOutputs::file(const char* option) const
{
    for (const Output& out : outputs_)
        if (std::string_view(out.option) == option)
            return out.file.get();
    return nullptr;
}

std::optional<std::string> BatchOutputs::commit()
{
    std::vector<StagedFile*> files;
    for (Output& out : outputs_)
        files.push_back(out.file.get());
    if (std::string failure = commitAll(files); !failure.empty())
        return failure;
    return std::nullopt;
}

// The scheme and the grid and run boxes, as a user would set them. The
// boxes ignore a value they refuse; a batch says so instead of running
// with the value it had.
std::optional<std::string> setRunValues(frmTamrel& w, ScriptedDialogs& dialogs, const BatchOptions& o)
{
    const ExperimentState& s = w.record();
    if (o.cells) {
        typeInto(w, "txtNGridCells", std::to_string(*o.cells));
        if (s.NGridCells != *o.cells)
            return "--cells " + std::to_string(*o.cells) + " was refused";
    }
    if (o.scheme || o.meter) {
        dialogs.answer(o.scheme.value_or(s.SchemeName));
        dialogs.answer(o.meter ? "1" : "0");
        press(w, "cmdNumericalScheme");
    }
    // The run length and the snapshot rate are judged together (the
    // snapshots they need must fit in the history): the one that lowers the
    // count goes first, so neither is refused for the other's old value.
    auto setPeriods = [&]() -> std::optional<std::string> {
        typeInto(w, "txtNPeriods", *o.periods);
        if (s.Periods != *parseNumber(*o.periods))
            return "--periods " + *o.periods
                + " was refused (above 0, and the snapshots it needs must fit in the history)";
        return std::nullopt;
    };
    auto setPlotsPerUnit = [&]() -> std::optional<std::string> {
        typeInto(w, "txtNPlotsPerPeriod", *o.plotsPerUnit);
        if (s.NPlotsPerPeriod != roundToLong(*parseNumber(*o.plotsPerUnit)))
            return "--plots-per-unit " + *o.plotsPerUnit
                + " was refused (at least 1, and the snapshots it needs must fit in the history)";
        return std::nullopt;
    };
    const bool rateFirst = o.plotsPerUnit && *parseNumber(*o.plotsPerUnit) < s.NPlotsPerPeriod;
    if (rateFirst)
        if (auto refusal = setPlotsPerUnit())
            return refusal;
    if (o.periods)
        if (auto refusal = setPeriods())
            return refusal;
    if (o.plotsPerUnit && !rateFirst)
        if (auto refusal = setPlotsPerUnit())
            return refusal;
    if (o.courant) {
        typeInto(w, "txtCourantNumber", *o.courant);
        if (s.CourantNumber != *parseNumber(*o.courant))
            return "--courant " + *o.courant + " was refused (it must lie " + kCourantRangeText + ")";
    }
    return std::nullopt;
}

std::optional<std::string> loadProblem(frmTamrel& w, ScriptedDialogs& dialogs, const BatchOptions& o)
{
    if (o.test) {
        press(w, "cmdTest" + std::to_string(*o.test));
    } else if (o.soundWave) {
        // The window's rule, asked first: a refused wave would leave the
        // wave before in place, and a run of another problem.
        const ExperimentState& now = w.record();
        ExperimentState asked;
        asked.Gamma = now.Gamma;
        asked.PFloor = now.PFloor;
        asked.RhoFloor = now.RhoFloor;
        asked.RPlusAmplitude = now.RPlusAmplitude;
        asked.RMinusAmplitude = now.RMinusAmplitude;
        asked.R0Amplitude = now.R0Amplitude;
        asked.RPlusFrequency = now.RPlusFrequency;
        asked.RMinusFrequency = now.RMinusFrequency;
        asked.R0Frequency = now.R0Frequency;
        asked.U0 = now.U0;
        for (std::size_t k = 0; k < o.wave.size() && k < kSoundWaveQuestions.size(); ++k)
            ApplySoundWaveAnswer(asked, kSoundWaveQuestions[k].field, o.wave[k]);
        if (const std::string why = SoundWaveRefusal(asked); !why.empty())
            return "the sound wave was refused: " + why;
        for (const auto& a : o.wave)
            dialogs.answer(a);
        press(w, "cmdSoundWave");
    } else if (o.setupFile) {
        dialogs.answerFile(*o.setupFile);
        press(w, "cmdReadSetUp");
        if (!dialogs.messages.empty())
            return "set-up file '" + *o.setupFile + "' rejected: " + dialogs.messages.back();
    }
    return std::nullopt;
}

// A set-up file sets the grid size, the Courant number, the run length
// and the snapshot rate itself, over the options given for them: one line
// names each option whose value did not stand, and the value that does.
void reportSetupOverrides(const ExperimentState& s, const BatchOptions& o)
{
    if (!o.setupFile)
        return;
    std::string overridden;
    auto check = [&](const std::optional<std::string>& given, const char* option, const char* field,
                     double standing, bool whole) {
        if (!given)
            return;
        const double asked = whole ? static_cast<double>(roundToLong(*parseNumber(*given))) : *parseNumber(*given);
        if (asked == standing)
            return;
        overridden += std::string(overridden.empty() ? "" : ", ") + option + " " + *given + " (" + field + " = "
            + formatGeneral(standing) + " stands)";
    };
    const std::optional<std::string> cells = o.cells ? std::optional(std::to_string(*o.cells)) : std::nullopt;
    check(cells, "--cells", "NGridCells", static_cast<double>(s.NGridCells), true);
    check(o.courant, "--courant", "CourantNumber", s.CourantNumber, false);
    // A file that names its stop time runs to it whatever the run length.
    if (o.periods && s.ProblemTStop > 0)
        overridden += std::string(overridden.empty() ? "" : ", ") + "--periods " + *o.periods + " (TStop = "
            + formatGeneral(s.ProblemTStop) + " stands)";
    else
        check(o.periods, "--periods", "Periods", s.Periods, false);
    check(o.plotsPerUnit, "--plots-per-unit", "NPlotsPerPeriod", static_cast<double>(s.NPlotsPerPeriod), true);
    if (!overridden.empty())
        std::fprintf(stderr, "tamrel: set-up file '%s' overrides %s\n", o.setupFile->c_str(), overridden.c_str());
}

std::optional<ExperimentState> prepareRun(
    const BatchOptions& o, const std::string& scheme, std::optional<long> cells, std::string& why)
{
    BatchOptions one = o;
    one.scheme = scheme;
    one.cells = cells;
    one.meter = false;
    ScriptedDialogs dialogs;
    WindowOptions options;
    options.studentName = o.name;
    options.tickBudgetSeconds = 0;
    options.threads = 1;
    frmTamrel w(dialogs, options);
    if (auto refusal = setRunValues(w, dialogs, one)) {
        why = *refusal;
        return std::nullopt;
    }
    if (auto refusal = loadProblem(w, dialogs, one)) {
        why = *refusal;
        return std::nullopt;
    }
    return w.record();
}

BatchOptions mirroredWave(const BatchOptions& o)
{
    BatchOptions m = o;
    if (!m.soundWave)
        return m;
    const ExperimentState defaults;
    m.wave.resize(kSoundWaveQuestions.size());
    for (std::size_t k = 0; k < kSoundWaveQuestions.size(); ++k) {
        const SoundWaveField f = kSoundWaveQuestions[k].field;
        if (m.wave[k].empty())
            m.wave[k] = soundWaveDefaultText(defaults, f);
        const bool amplitude = f == SoundWaveField::RPlusAmplitude || f == SoundWaveField::RMinusAmplitude
            || f == SoundWaveField::R0Amplitude;
        if (const auto v = parseNumber(m.wave[k]); amplitude && v)
            m.wave[k] = num17(-*v);
    }
    return m;
}

std::optional<ExperimentState> prepareStudyRun(
    const BatchOptions& o, const std::string& scheme, long cells, bool mirrored, std::string& why)
{
    return prepareRun(mirrored ? mirroredWave(o) : o, scheme, cells, why);
}

} // namespace tamrel::batch
