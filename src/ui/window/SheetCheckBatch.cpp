// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/window/SheetCheckBatch.h"

#include <QApplication>
#include <cstdio>
#include <optional>

#include "app/sheets/SheetRun.h"
#include "ui/window/BatchSupport.h"
#include "ui/window/LabSheetReader.h"
#include "common/Format.h"

namespace tamrel {

namespace {

    struct Prepared {
        sheets::LabSheet sheet;
        BatchOptions options;
        sheets::ReadyRecords ready;
    };

} // namespace

BatchOptions batchOptionsOf(const sheets::LabSheet& sheet)
{
    BatchOptions o;
    o.name = "Lab sheet";
    o.test = sheet.problem.test;
    o.soundWave = !sheet.problem.wave.empty();
    for (double a : sheet.problem.wave)
        o.wave.push_back(formatExact(a));
    o.setupFile = sheet.problem.setupFile;
    if (sheet.courant)
        o.courant = formatExact(*sheet.courant);
    if (sheet.periods)
        o.periods = formatExact(*sheet.periods);
    o.threads = 1;
    return o;
}

int runSheetChecks(const std::vector<std::string>& files, char* program)
{
    std::vector<sheets::LabSheet> read;
    for (const std::string& file : files) {
        LabSheetRead r = ReadLabSheet(file);
        if (!r.sheet)
            return batch::fail(file + ": " + r.refusal.text());
        read.push_back(std::move(*r.sheet));
    }

    qputenv("QT_QPA_PLATFORM", "offscreen");
    int qtArgc = 1;
    char* qtArgv[] = { program, nullptr };
    QApplication app(qtArgc, qtArgv);
    QApplication::setApplicationName(QStringLiteral("tamrel"));

    // Every problem is set up, and asked whether it can answer its checks,
    // before the first run.
    std::vector<Prepared> prepared;
    for (sheets::LabSheet& sheet : read) {
        BatchOptions o = batchOptionsOf(sheet);
        sheets::ReadyRecords ready;
        for (const std::string& scheme : sheets::SchemesToRun(sheet)) {
            std::string why;
            std::optional<ExperimentState> r = batch::prepareRun(o, scheme, sheet.cells, why);
            if (!r)
                return batch::fail(sheet.file + ": problem: " + why);
            ready.emplace(scheme, std::move(*r));
        }
        if (const auto refusal = sheets::CheckAgainstProblem(sheet, ready))
            return batch::fail(sheet.file + ": " + refusal->text());
        prepared.push_back({ std::move(sheet), std::move(o), std::move(ready) });
    }

    bool allPass = true;
    for (const Prepared& p : prepared) {
        // A sheet's texts are the teacher's: printed so that none of them acts
        // on the terminal or ends the line early.
        std::printf("%s: %s\n", terminalSafe(p.sheet.file).c_str(), terminalSafe(p.sheet.title).c_str());
        std::fflush(stdout);
        const compare::PrepareStudyRun prepare
            = [&p](const std::string& scheme, long cells, bool mirrored, std::string& why) {
                  return batch::prepareStudyRun(p.options, scheme, cells, mirrored, why);
              };
        for (const sheets::CheckResult& r : sheets::RunSheetChecks(p.sheet, p.ready, prepare, 2)) {
            std::printf("  %s\n", terminalSafe(sheets::CheckLine(r)).c_str());
            allPass = allPass && r.pass;
        }
        std::fflush(stdout);
    }
    return allPass ? 0 : batch::kRunFailed;
}

} // namespace tamrel
