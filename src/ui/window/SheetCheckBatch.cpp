// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/window/SheetCheckBatch.h"

#include <QApplication>
#include <QFileInfo>
#include <algorithm>
#include <cstdio>
#include <optional>

#include "app/sheets/SheetGrade.h"
#include "common/Format.h"
#include "ui/window/BatchSupport.h"
#include "ui/window/LabSheetReader.h"
#include "ui/window/SheetAnswers.h"
#include "ui/window/ReportExport.h"
#include "ui/window/SheetReportBatch.h"
#include "common/StagedFile.h"

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

int runSheetChecks(const std::vector<std::string>& files, char* program,
    const std::optional<std::string>& answersFile, const std::optional<std::string>& reportFile,
    const std::string& studentName)
{
    // A report that cannot be written stops the check before anything runs.
    if (reportFile) {
        if (StagedFile probe(*reportFile); !probe.ok())
            return batch::fail(probe.error());
        if (StagedFile probe(reportHtmlPath(*reportFile)); !probe.ok())
            return batch::fail(probe.error());
    }
    std::vector<sheets::LabSheet> read;
    for (const std::string& file : files) {
        LabSheetRead r = ReadLabSheet(file);
        if (!r.sheet)
            return batch::fail(file + ": " + r.refusal.text());
        read.push_back(std::move(*r.sheet));
    }
    std::optional<std::vector<std::string>> answers;
    if (answersFile) {
        std::string why, named;
        answers = ReadSheetAnswers(*answersFile, why, &named);
        if (!answers)
            return batch::fail(*answersFile + ": " + why);
        // Answers to another sheet would be graded against the wrong
        // questions: the file names its sheet, and the names must agree.
        const QString ours = QFileInfo(QString::fromStdString(files.front())).fileName();
        const QString theirs = QFileInfo(QString::fromStdString(named)).fileName();
        if (!named.empty() && theirs != ours)
            return batch::fail(*answersFile + ": the answers are to the sheet " + theirs.toStdString()
                + ", not to " + ours.toStdString());
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
        const sheets::SheetGrade grade
            = sheets::GradeSheet(p.sheet, p.ready, prepare, 2, answers ? &*answers : nullptr);
        for (const sheets::CheckResult& r : grade.checks) {
            std::printf("  %s\n", terminalSafe(sheets::CheckLine(r)).c_str());
            if (const std::string hint = sheets::CheckHint(r); !hint.empty())
                std::printf("        %s\n", terminalSafe(hint).c_str());
        }
        for (const sheets::AnswerResult& a : grade.answers)
            std::printf("  %s\n", terminalSafe(sheets::AnswerLine(a)).c_str());
        const auto asked = std::count_if(p.sheet.questions.begin(), p.sheet.questions.end(),
            [](const sheets::Question& q) { return q.answer.has_value(); });
        if (!grade.answersGiven)
            std::printf("  (no answers given: the checks only%s)\n",
                asked == 0 ? ""
                    : asked == 1
                    ? ", not the question that asks for a number"
                    : (", not the " + std::to_string(asked) + " questions that ask for a number").c_str());
        allPass = allPass && grade.pass();
        std::fflush(stdout);
        if (reportFile) {
            const std::vector<std::string> typed = answers ? *answers : std::vector<std::string> {};
            if (const auto failure
                = writeSheetReport(p.sheet, studentName, reportSheetOf(p.sheet, typed, &grade), *reportFile))
                return batch::fail("--report: " + *failure, batch::kRunFailed);
            std::printf("  report written to %s\n", terminalSafe(*reportFile).c_str());
        }
    }
    return allPass ? 0 : batch::kRunFailed;
}

} // namespace tamrel
