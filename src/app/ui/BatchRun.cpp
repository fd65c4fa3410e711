#include "app/ui/BatchRun.h"

#include <QApplication>
#include <chrono>
#include <cmath>
#include <cstdio>
#include <filesystem>
#include <fstream>
#include <memory>
#include <optional>
#include <utility>
#include <vector>

#include "app/ui/Controls.h"
#include "app/ui/ScriptedDialogs.h"
#include "app/ui/frmTamrel.h"
#include "common/Format.h"
#include "common/RegularFile.h"
#include "common/Rounding.h"
#include "common/StagedFile.h"
#include "edit/GridParameters.h"
#include "exact/ExactColumns.h"
#include "exact/ui/ExactPainting.h"
#include "run/TimeStep.h"
#include "setupfile/SetupFile.h"

namespace tamrel {

namespace {

    constexpr int kRunFailed = 1;
    constexpr int kRefused = 2;

    int fail(const std::string& message, int status = kRefused)
    {
        std::fprintf(stderr, "tamrel: %s\n", message.c_str());
        return status;
    }

    std::string num17(double v)
    {
        char buf[64];
        std::snprintf(buf, sizeof buf, "%.17g", v);
        return buf;
    }

    double storedValue(const ExperimentState& s, const BoundedArray<float>& a, long k, bool logged)
    {
        const double v = a[k];
        return logged && s.LogPlots != 0 ? std::pow(10.0, v) : v;
    }

    // The first line of both files: where the run ended.
    void writeRunLine(std::ostream& out, const ExperimentState& s)
    {
        out << "# time=" << num17(s.TimeNow) << " scheme=" << s.SchemeName << " cells=" << s.NGridCells
            << " cycles=" << s.NCycle << " snapshots=" << s.NStoredStates << "\n";
    }

    // `exact`, when given, adds its columns at the run's end time.
    bool writeFinalState(const ExperimentState& s, const std::string& path, exact::ExactColumns* exact)
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        if (!out)
            return false;
        const long n = s.NGridCells;
        writeRunLine(out, s);
        out << "cell,x,rho,p,vx,vy,smoke" << (exact ? std::string(",") + exact->header() : "") << "\n";
        if (exact)
            exact->at(s.TimeNow);
        for (long i = 1; i <= n; ++i)
            out << i << ',' << num17(0.5 * (s.X[i] + s.X[i + 1])) << ',' << num17(s.Rho[i]) << ',' << num17(s.P[i])
                << ',' << num17(s.VX[i]) << ',' << num17(s.VY[i]) << ',' << num17(s.FSmoke[i])
                << (exact ? exact->cell(i) : "") << "\n";
        out.close();
        return !out.fail();
    }

    // `exact`, when given, adds its columns at each row's time.
    bool writeHistory(const ExperimentState& s, const std::string& path, exact::ExactColumns* exact)
    {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        if (!out)
            return false;
        const long n = s.NGridCells;
        writeRunLine(out, s);
        out << "row,time,cell,x,rho,p,vx,vy,smoke" << (exact ? std::string(",") + exact->header() : "") << "\n";
        for (long r = 0; r < s.NStoredStates; ++r) {
            const long o = r * (n + 2);
            if (o + n + 1 > s.NSTValues)
                break;
            const double t = s.StoredTime.contains(r) ? s.StoredTime[r] : 0.0;
            if (exact)
                exact->at(t);
            for (long i = 1; i <= n; ++i) {
                const long k = o + i;
                out << r << ',' << num17(t) << ',' << i << ',' << num17(0.5 * (s.X[i] + s.X[i + 1])) << ','
                    << num17(storedValue(s, s.STRho, k, true)) << ',' << num17(storedValue(s, s.STP, k, true))
                    << ',' << num17(s.STVX[k]) << ',' << num17(s.STVY[k]) << ',' << num17(s.STFSmoke[k])
                    << (exact ? exact->cell(i) : "") << "\n";
            }
        }
        out.close();
        return !out.fail();
    }

    // The set-up file is read once before the window exists, so a refused
    // file stops the batch with the window's own message.
    std::optional<std::string> checkSetupFile(const std::string& path)
    {
        const SetupReadResult read = ReadSetupFile(path);
        if (read.status == SetupReadStatus::Rejected)
            return "set-up file '" + path + "' rejected: " + read.message;
        if (read.status == SetupReadStatus::Ok) {
            if (const std::string refusal = CheckSetupData(read.data); !refusal.empty())
                return "set-up file '" + path + "' rejected: " + refusal;
            return std::nullopt;
        }
        if (RegularFileReader file(path); !file.isOpen())
            return "cannot open set-up file '" + path + "': " + file.error();
        return "'" + path + "' is not a complete set-up file";
    }

    // Every output file of the run, staged beside its target before the run
    // starts: a path that cannot be written stops the batch before it runs,
    // and a run that fails leaves every target as it was.
    class BatchOutputs {
    public:
        std::optional<std::string> stage(const BatchOptions& o)
        {
            const std::pair<const std::optional<std::string>*, const char*> given[] = { { &o.outFile, "--out" },
                { &o.historyFile, "--history" }, { &o.spaceTimeFile, "--spacetime" } };
            for (const auto& [path, option] : given) {
                if (!*path)
                    continue;
                auto staged = std::make_unique<StagedFile>(**path);
                if (!staged->ok())
                    return staged->error();
                for (const Output& earlier : outputs_)
                    if (sameFile(*earlier.file, *staged))
                        return std::string(earlier.option) + " and " + option + " name the same file '" + **path
                            + "'";
                outputs_.push_back({ option, std::move(staged) });
            }
            return std::nullopt;
        }

        // Where the content of this option's output goes; null when it was not asked for.
        const StagedFile* file(const char* option) const
        {
            for (const Output& out : outputs_)
                if (std::string_view(out.option) == option)
                    return out.file.get();
            return nullptr;
        }

        // Renames every written file onto its target.
        std::optional<std::string> commit()
        {
            for (Output& out : outputs_)
                if (!out.file->commit())
                    return out.file->error();
            return std::nullopt;
        }

    private:
        struct Output {
            const char* option;
            std::unique_ptr<StagedFile> file;
        };

        static bool sameFile(const StagedFile& a, const StagedFile& b)
        {
            namespace fs = std::filesystem;
            std::error_code ea, eb;
            const fs::path pa = fs::weakly_canonical(fs::absolute(a.resolvedTarget()), ea);
            const fs::path pb = fs::weakly_canonical(fs::absolute(b.resolvedTarget()), eb);
            return !ea && !eb && pa == pb;
        }

        std::vector<Output> outputs_;
    };

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
        if (o.periods) {
            typeInto(w, "txtNPeriods", *o.periods);
            if (s.Periods != *parseNumber(*o.periods))
                return "--periods " + *o.periods
                    + " was refused (above 0, and the snapshots it needs must fit in the history)";
        }
        if (o.plotsPerUnit) {
            typeInto(w, "txtNPlotsPerPeriod", *o.plotsPerUnit);
            if (s.NPlotsPerPeriod != roundToLong(*parseNumber(*o.plotsPerUnit)))
                return "--plots-per-unit " + *o.plotsPerUnit
                    + " was refused (at least 1, and the snapshots it needs must fit in the history)";
        }
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
            const double asked
                = whole ? static_cast<double>(roundToLong(*parseNumber(*given))) : *parseNumber(*given);
            if (asked == standing)
                return;
            overridden += std::string(overridden.empty() ? "" : ", ") + option + " " + *given + " (" + field
                + " = " + formatGeneral(standing) + " stands)";
        };
        const std::optional<std::string> cells = o.cells ? std::optional(std::to_string(*o.cells)) : std::nullopt;
        check(cells, "--cells", "NGridCells", static_cast<double>(s.NGridCells), true);
        check(o.courant, "--courant", "CourantNumber", s.CourantNumber, false);
        check(o.periods, "--periods", "Periods", s.Periods, false);
        check(o.plotsPerUnit, "--plots-per-unit", "NPlotsPerPeriod", static_cast<double>(s.NPlotsPerPeriod), true);
        if (!overridden.empty())
            std::fprintf(
                stderr, "tamrel: set-up file '%s' overrides %s\n", o.setupFile->c_str(), overridden.c_str());
    }

    // Writes each asked-for output into its staged file; "" or the failure.
    std::optional<std::string> writeOutputs(
        frmTamrel& w, const BatchOptions& o, const BatchOutputs& outputs, exact::ExactColumns* exact)
    {
        const ExperimentState& s = w.record();
        if (const StagedFile* f = outputs.file("--spacetime")) {
            w.showSpaceTime(o.variable, o.size == "big");
            const bool saved
                = o.waves ? SaveSpaceTimeWithWaves(w, f->temporaryPath()) : w.saveSpaceTimePng(f->temporaryPath());
            if (!saved)
                return "cannot write '" + f->target() + "'";
        }
        if (const StagedFile* f = outputs.file("--out"); f && !writeFinalState(s, f->temporaryPath(), exact))
            return "cannot write '" + f->target() + "'";
        if (const StagedFile* f = outputs.file("--history"); f && !writeHistory(s, f->temporaryPath(), exact))
            return "cannot write '" + f->target() + "'";
        return std::nullopt;
    }

    void printSummary(frmTamrel& w, const BatchOptions& o, double seconds, exact::ExactColumns* exact)
    {
        const ExperimentState& s = w.record();
        const double updates = static_cast<double>(w.acceptedSteps()) * s.NGridCells;
        std::printf("time=%s cycles=%d snapshots=%d seconds=%.6f cell_updates_per_second=%.0f",
            num17(s.TimeNow).c_str(), s.NCycle, s.NStoredStates, seconds, seconds > 0 ? updates / seconds : 0.0);
        if (o.meter) {
            const auto& c = w.stepper().lastCounts();
            const double d = static_cast<double>(w.stepper().lastRepetitions()) * s.NGridCells;
            std::printf(
                " mflops=%.3f flops_per_cell=%.0f", s.MflopRate, d > 0 ? static_cast<double>(c[0]) / d : 0.0);
        }
        if (exact) {
            exact->at(s.TimeNow);
            std::printf(" %s", exact->summary(s).c_str());
        }
        std::printf("\n");
        if (exact && !exact->valid())
            std::fprintf(
                stderr, "tamrel: no exact values at t=%s: %s\n", num17(s.TimeNow).c_str(), exact->note().c_str());
    }

} // namespace

int runBatch(const BatchOptions& o, char* program)
{
    removeStagedFilesOnSignals();
    if (o.setupFile)
        if (const auto refusal = checkSetupFile(*o.setupFile))
            return fail(*refusal);
    BatchOutputs outputs;
    if (const auto refusal = outputs.stage(o))
        return fail(*refusal);

    // A batch run shows nothing: the offscreen platform needs no display,
    // whatever platform the environment names for the desktop. Qt gets the
    // program's name alone; the command line is read already.
    qputenv("QT_QPA_PLATFORM", "offscreen");
    int qtArgc = 1;
    char* qtArgv[] = { program, nullptr };
    QApplication app(qtArgc, qtArgv);
    QApplication::setApplicationName(QStringLiteral("tamrel"));

    ScriptedDialogs dialogs;
    WindowOptions options;
    options.studentName = o.name;
    options.tickBudgetSeconds = 0; // every tick runs its full count of steps
    options.threads = o.threads;
    frmTamrel w(dialogs, options);
    const ExperimentState& s = w.record();
    if (const auto refusal = setRunValues(w, dialogs, o))
        return fail(*refusal);
    if (const auto refusal = loadProblem(w, dialogs, o))
        return fail(*refusal);
    reportSetupOverrides(s, o);

    // The exact solution starts from the loaded grid in double precision
    // (history row 0 keeps it only in single precision).
    std::optional<exact::ExactColumns> exact;
    if (o.exact)
        exact.emplace(s);

    const auto start = std::chrono::steady_clock::now();
    press(w, "cmdBegin");
    if (s.Stopped != 0)
        return fail(dialogs.messages.empty() ? "the run could not begin" : dialogs.messages.back());
    while (s.Stopped == 0 && !w.runFaulted())
        w.tick();
    const double seconds = std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();

    if (w.runFaulted())
        return fail(dialogs.messages.empty() ? "the run failed" : dialogs.messages.back(), kRunFailed);
    // A run halted before its stop time (and not merely rounded short of it)
    // has no result to write.
    if (s.TimeNow < s.TStop * (1 - 1e-12))
        return fail(dialogs.messages.empty()
                ? "the run stopped at time " + num17(s.TimeNow) + ", before its stop time " + num17(s.TStop)
                : dialogs.messages.back(),
            kRunFailed);

    if (const auto failure = writeOutputs(w, o, outputs, exact ? &*exact : nullptr))
        return fail(*failure, kRunFailed);
    if (const auto failure = outputs.commit())
        return fail(*failure, kRunFailed);
    printSummary(w, o, seconds, exact ? &*exact : nullptr);
    return 0;
}

} // namespace tamrel
