// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/window/PictureBatch.h"

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

#include "ui/window/BatchSupport.h"
#include "ui/kit/Controls.h"
#include "ui/kit/ScriptedDialogs.h"
#include "ui/window/WindowExport.h"
#include "ui/window/frmTamrel.h"
#include "common/Format.h"
#include "common/RegularFile.h"
#include "common/Rounding.h"
#include "common/StagedFile.h"
#include "exact/ExactColumns.h"
#include "ui/window/SpaceTimeWithWaves.h"
#include "run/RunStatus.h"
#include "run/TimeStep.h"
#include "setupfile/SetupFile.h"
#include "ui/window/AnimationExport.h"

namespace tamrel {

namespace {

    using namespace batch;

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
        if (const StagedFile* f = outputs.file("--plots")) {
            const bool svg = f->target().size() >= 4
                && QString::fromStdString(f->target()).endsWith(QStringLiteral(".svg"), Qt::CaseInsensitive);
            const PlotsLook look { false, true, o.exact };
            if (writeView(
                    w, s, svg ? ExportKind::LinePlotsSvg : ExportKind::LinePlotsPng, f->temporaryPath(), look))
                return "cannot write '" + f->target() + "'";
        }
        if (const StagedFile* f = outputs.file("--animation")) {
            AnimationChoice choice;
            choice.asShown = false;
            choice.exact = o.exact;
            if (const auto failure = exportAnimation(w, s, f->temporaryPath(), choice))
                return "cannot write '" + f->target() + "': " + *failure;
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

int runPictureBatch(const BatchOptions& o, char* program)
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
    if (!ReachedStopTime(s))
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
