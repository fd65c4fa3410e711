// SPDX-License-Identifier: GPL-3.0-or-later
// Lab sheets: tamrel --check on good, broken and unreadable sheets (a sheet
// that cannot be read or answered stops everything before the first run),
// and File > Open Lab Sheet in the window.

#include <QAction>
#include <QFile>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QTextDocument>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>

#include "ProgramProcess.h"
#include "WindowFixture.h"
#include "app/sheets/SheetRun.h"
#include "setupfile/SetupFile.h"
#include "ui/window/BatchSupport.h"
#include "ui/window/LabSheetPanel.h"
#include "ui/window/LabSheetReader.h"
#include "ui/window/LabSheetWindow.h"
#include "ui/window/SheetAnswers.h"
#include "ui/window/SheetCheckBatch.h"

using namespace tamrel;
using namespace tamrel::testing;

namespace {

void writeFile(const QString& path, const std::string& text)
{
    QFile f(path);
    ASSERT_TRUE(f.open(QIODevice::WriteOnly | QIODevice::Truncate));
    f.write(text.data(), static_cast<qint64>(text.size()));
}

// A sheet on Test 1 (200 cells) with the given checks.
std::string test1Sheet(const std::string& checks)
{
    return R"({ "title": "Test 1", "problem": { "test": 1 }, "scheme": "Orvane", "cells": 200, "checks": [ )"
        + checks + " ] }";
}

const char* const kGoodCheck = R"({ "kind": "front", "wave": "shock", "expected": 0.7307, "tolerance": 0.01 })";

class LabSheetCheckTest : public ProgramFolderTest {
protected:
    Outcome check(const QStringList& sheets) { return run(QStringList { QStringLiteral("--check") } + sheets); }
};

} // namespace

// Each bad sheet is refused with status 2 and the key it is about; the good
// sheet given before it has not run (no line on standard output).
TEST_F(LabSheetCheckTest, ASheetThatCannotBeReadOrAnsweredStopsEverything)
{
    writeFile(path("good.json"), test1Sheet(kGoodCheck));
    const struct {
        const char* what;
        std::string sheet;
        const char* says;
    } cases[] = {
        { "not JSON", "{ \"title\": ", "not JSON" },
        { "not an object", "[1, 2]", "one JSON object" },
        { "unknown key",
            R"({ "title": "t", "problem": { "test": 1 }, "scheme": "Orvane", "cells": 100, "checks": [ )"
                + std::string(kGoodCheck) + R"( ], "colour": "red" })",
            "colour: unknown key (known: title," },
        { "missing problem",
            R"({ "title": "t", "scheme": "Orvane", "cells": 100, "checks": [ )" + std::string(kGoodCheck) + " ] }",
            "problem: missing" },
        { "two problems",
            R"({ "title": "t", "problem": { "test": 1, "setup": "a.txt" }, "scheme": "Orvane", "cells": 100, "checks": [ )"
                + std::string(kGoodCheck) + " ] }",
            "problem: give one problem only" },
        { "test out of range",
            R"({ "title": "t", "problem": { "test": 9 }, "scheme": "Orvane", "cells": 100, "checks": [ )"
                + std::string(kGoodCheck) + " ] }",
            "problem.test: must be a whole number from 1 to 8" },
        { "unknown scheme",
            R"({ "title": "t", "problem": { "test": 1 }, "scheme": "Upwind", "cells": 100, "checks": [ )"
                + std::string(kGoodCheck) + " ] }",
            "scheme: unknown scheme" },
        { "negative tolerance", test1Sheet(R"({ "kind": "l1", "tolerance": -0.01 })"),
            "checks[0].tolerance: must be a positive number" },
        { "zero tolerance",
            test1Sheet(std::string(kGoodCheck) + R"(, { "kind": "volume", "expected": 1, "tolerance": 0 })"),
            "checks[1].tolerance: must be a positive number" },
        { "tolerance as text",
            test1Sheet(R"({ "kind": "front", "wave": "contact", "expected": 0.57, "tolerance": "0.01" })"),
            "checks[0].tolerance: must be a positive number" },
        { "key of another kind", test1Sheet(R"({ "kind": "l1", "tolerance": 0.01, "x": 0.5 })"),
            "checks[0].x: unknown key for an l1 check" },
        { "an empty list", test1Sheet(""), "checks: must be a list that is not empty, not an empty list" },
        // A key given twice is not settled by taking the last.
        { "a key twice",
            R"({ "title": "t", "problem": { "test": 1 }, "scheme": "Orvane", "scheme": "Sorvi", "cells": 100, "checks": [ )"
                + std::string(kGoodCheck) + " ] }",
            "scheme: given twice" },
        { "a key twice in a check",
            test1Sheet(std::string(kGoodCheck) + R"(, { "kind": "l1", "tolerance": 0.1, "tolerance": 0.01 })"),
            "checks[1].tolerance: given twice" },
        { "a key twice under an escape",
            R"({ "title": "t", "\u0074itle": "u", "problem": { "test": 1 }, "scheme": "Orvane", "cells": 100, "checks": [ )"
                + std::string(kGoodCheck) + " ] }",
            "title: given twice" },
        // A key is named whole, a NUL in it shown, not cutting it.
        { "a NUL in a key",
            R"({ "title": "t", "cell\u0000s": 100, "problem": { "test": 1 }, "scheme": "Orvane", "checks": [ )"
                + std::string(kGoodCheck) + " ] }",
            "bad.json: cell\\x00s: unknown key (known:" },
        { "unknown kind", test1Sheet(R"({ "kind": "energy", "tolerance": 0.01 })"), "checks[0].kind: must be l1" },
        { "setup file missing",
            R"({ "title": "t", "problem": { "setup": "nowhere.txt" }, "scheme": "Orvane", "checks": [ )"
                + std::string(kGoodCheck) + " ] }",
            "problem.setup: cannot open" },
        { "a test's own stop time",
            R"({ "title": "t", "problem": { "test": 1 }, "scheme": "Orvane", "cells": 100, "periods": 2, "checks": [ )"
                + std::string(kGoodCheck) + " ] }",
            "periods: a shock-tube test runs to its own stop time" },
        { "a wave that makes no gas",
            R"({ "title": "t", "problem": { "sound_wave": [20, 1, 0, 1, 0, 1, 0] }, "scheme": "Orvane", "cells": 64, "checks": [ { "kind": "value", "x": 0.5, "variable": "density", "expected": 1, "tolerance": 0.1 } ] })",
            "problem: the sound wave was refused: |R+ amplitude - R- amplitude| = 20" },
        // Checks the problem cannot answer.
        { "L1 without an exact solution",
            R"({ "title": "t", "problem": { "sound_wave": [0.1, 1, 0, 1, 0, 1, 0] }, "scheme": "Orvane", "cells": 64, "checks": [ { "kind": "l1", "tolerance": 0.01 } ] })",
            "checks[0]: an L1 error needs the exact solution" },
        { "a shock in Test 3",
            R"({ "title": "t", "problem": { "test": 3 }, "scheme": "Orvane", "cells": 100, "checks": [ { "kind": "front", "wave": "shock", "expected": 0.5, "tolerance": 0.01 } ] })",
            "checks[0].wave: the problem has no shock" },
        { "which shock of two",
            R"({ "title": "t", "problem": { "test": 6 }, "scheme": "Orvane", "cells": 100, "checks": [ { "kind": "width", "wave": "shock", "tolerance": 0.01 } ] })",
            "checks[0].wave: the problem has two shocks" },
        { "a fraction of one fluid",
            test1Sheet(
                R"({ "kind": "value", "x": 0.5, "variable": "fraction", "expected": 1, "tolerance": 0.1 })"),
            "checks[0].variable: the fluid-2 fraction needs the two-fluid scheme" },
        { "a point off the grid",
            test1Sheet(R"({ "kind": "value", "x": 1.5, "variable": "density", "expected": 1, "tolerance": 0.1 })"),
            "checks[0].x: x=1.5 lies outside the grid" },
        { "a time past TStop",
            test1Sheet(
                R"({ "kind": "value", "x": 0.5, "t": 0.3, "variable": "density", "expected": 1, "tolerance": 0.1 })"),
            "checks[0].t: t=0.3 lies outside the run" },
        { "a time that is neither",
            test1Sheet(
                R"({ "kind": "value", "x": 0.5, "t": "end", "variable": "density", "expected": 1, "tolerance": 0.1 })"),
            "checks[0].t: must be a time from 0 up, or \"TStop\", not \"end\"" },
        { "an answer to no check",
            test1Sheet(kGoodCheck)
                .insert(1, R"("questions": [ { "text": "Where?", "answer": { "check": "nothing" } } ], )"),
            "questions[0].answer.check: no check has the name \"nothing\"" },
        { "an answer two ways",
            test1Sheet(kGoodCheck)
                .insert(1,
                    R"("questions": [ { "text": "Where?", "answer": { "check": "shock position", "exact": 0.73 } } ], )"),
            "questions[0].answer: give one of check" },
        { "an exact answer without a tolerance",
            test1Sheet(kGoodCheck)
                .insert(1, R"("questions": [ { "text": "Where?", "answer": { "exact": 0.73 } } ], )"),
            "questions[0].answer.tolerance: missing" },
        { "an answer to a check without a plus-minus tolerance",
            test1Sheet(R"({ "kind": "l1", "name": "error", "tolerance": 0.01 })")
                .insert(1, R"("questions": [ { "text": "How large?", "answer": { "check": "error" } } ], )"),
            "questions[0].answer.tolerance: missing" },
        { "reveal as text", test1Sheet(kGoodCheck).insert(1, R"("reveal": "yes", )"),
            "reveal: must be true or false" },
        { "a ladder of one rung",
            test1Sheet(R"({ "kind": "order", "schemes": ["Sorvi"], "cells": [64], "min_order": 0.5 })"),
            "checks[0]: a study needs at least two resolutions" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        writeFile(path("bad.json"), c.sheet);
        const Outcome o = check({ QStringLiteral("good.json"), QStringLiteral("bad.json") });
        EXPECT_EQ(o.exitCode, 2) << o.out << o.err;
        EXPECT_NE(o.err.find("bad.json: "), std::string::npos) << o.err;
        EXPECT_NE(o.err.find(c.says), std::string::npos) << o.err;
        EXPECT_EQ(o.out, "");
    }
}

// A sheet is a regular file of at most a few KiB: a FIFO, a device or a
// folder is refused at once (nothing waits for a writer or reads without
// end), and so is a file too long to be a sheet.
TEST_F(LabSheetCheckTest, OnlyARegularFileOfSheetSizeIsRead)
{
    ASSERT_EQ(::mkfifo(path("fifo.json").toLocal8Bit().constData(), 0600), 0);
    writeFile(path("long.json"), test1Sheet(kGoodCheck) + std::string(2 << 20, ' '));
    const struct {
        QString sheet;
        const char* says;
    } cases[] = {
        { QStringLiteral("fifo.json"),
            "fifo.json: cannot open it: it is a FIFO (named pipe), not a regular file" },
        { QStringLiteral("/dev/zero"), "/dev/zero: cannot open it: it is a device, not a regular file" },
        { folder.path(), "cannot open it: it is a folder, not a regular file" },
        { QStringLiteral("long.json"), "long.json: it is longer than 1 MiB, too long for a lab sheet" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.sheet.toStdString());
        const Outcome o = check({ c.sheet });
        EXPECT_EQ(o.exitCode, 2) << o.out << o.err;
        EXPECT_NE(o.err.find(c.says), std::string::npos) << o.err;
    }
}

// The teacher's texts reach the terminal shown, not obeyed: an escape
// sequence or a NUL in a title or a check's name is printed as its code.
TEST_F(LabSheetCheckTest, SheetTextsArePrintedSafely)
{
    writeFile(path("texts.json"),
        R"({ "title": "Red \u001b[31mtitle\u0000 cut here", "problem": { "test": 1 }, "scheme": "Orvane", "cells": 200,
             "checks": [ { "kind": "front", "name": "shock\u001b[2J", "wave": "shock", "expected": 0.7307, "tolerance": 0.01 } ] })");
    const Outcome o = check({ QStringLiteral("texts.json") });
    EXPECT_EQ(o.exitCode, 0) << o.err;
    EXPECT_NE(o.out.find("texts.json: Red \\x1b[31mtitle\\x00 cut here\n"), std::string::npos) << o.out;
    EXPECT_NE(o.out.find("PASS  shock\\x1b[2J"), std::string::npos) << o.out;
    EXPECT_EQ(o.out.find('\x1b'), std::string::npos);
}

// One broken check fails the sheet with status 1 and says which; the other
// checks still run and pass.
TEST_F(LabSheetCheckTest, ABrokenCheckFailsAndSaysWhich)
{
    writeFile(path("broken.json"),
        test1Sheet(std::string(kGoodCheck)
            + R"(, { "kind": "front", "name": "contact put in the wrong place", "wave": "contact", "expected": 0.45, "tolerance": 0.01 },
                   { "kind": "l1", "name": "L1 error", "tolerance": 0.01 })"));
    const Outcome o = check({ QStringLiteral("broken.json") });
    EXPECT_EQ(o.exitCode, 1) << o.err;
    EXPECT_NE(o.out.find("FAIL  contact put in the wrong place  measured=0.57"), std::string::npos) << o.out;
    EXPECT_NE(o.out.find("expected=0.45  tolerance=0.01"), std::string::npos) << o.out;
    EXPECT_NE(o.out.find("PASS  shock position  measured=0.73"), std::string::npos) << o.out;
    EXPECT_NE(o.out.find("PASS  L1 error"), std::string::npos) << o.out;
}

// A value at an earlier time comes from the run stopped there: at x = 0.6
// the shock of Test 1 has not arrived at t = 0.1 and has passed by t = 0.2.
// A set-up file is found beside its sheet, wherever the program runs.
TEST_F(LabSheetCheckTest, EarlierTimesAndASetupFileBesideTheSheet)
{
    writeFile(path("times.json"),
        test1Sheet(
            R"({ "kind": "value", "x": 0.6, "t": 0.1, "variable": "pressure", "expected": 0.1, "tolerance": 1e-6 },
                     { "kind": "value", "x": 0.6, "t": "TStop", "variable": "pressure", "expected": 0.4663, "tolerance": 0.01 },
                     { "kind": "value", "x": 0.6, "t": 0, "variable": "pressure", "expected": 0.1, "tolerance": 1e-12 })"));

    // The set-up: Test 1 as the window writes it.
    app();
    ScriptedDialogs dialogs;
    WindowOptions options;
    options.studentName = "Teacher";
    {
        frmTamrel w(dialogs, options);
        click(w, "cmdTest1");
        ASSERT_TRUE(QDir().mkpath(path("lab")));
        ASSERT_TRUE(WriteSetupFile(w.record(), path("lab/tube.txt").toStdString()));
        // The same set-up as a file written before set-up files kept the stop
        // time and the boundary types.
        std::string old = WriteSetupText(w.record());
        for (const char* key : { "TStop", "MnBdry", "MxBdry" }) {
            const auto at = old.find(key);
            old.erase(at, old.find("\r\n", at) + 2 - at);
        }
        writeFile(path("lab/old.txt"), old);
    }
    writeFile(path("lab/setup.json"),
        R"({ "title": "A set-up", "problem": { "setup": "tube.txt" }, "scheme": "Sorvi", "checks": [
             { "kind": "value", "x": 0.9, "t": 0, "variable": "density", "expected": 0.125, "tolerance": 1e-9 },
             { "kind": "value", "x": 0.6, "t": 0.1, "variable": "pressure", "expected": 0.1, "tolerance": 1e-6 } ] })");
    const Outcome o = check({ QStringLiteral("times.json"), QStringLiteral("lab/setup.json") });
    EXPECT_EQ(o.exitCode, 0) << o.out << o.err;
    EXPECT_EQ(o.out.find("FAIL"), std::string::npos) << o.out;

    // The set-up keeps Test 1's stop time (it once ran Periods time units,
    // long after the waves had left the tube, where the exact solution could
    // not place the contact): the contact is where Test 1 puts it.
    writeFile(path("lab/late.json"),
        R"({ "title": "The contact", "problem": { "setup": "tube.txt" }, "scheme": "Sorvi", "checks": [
             { "kind": "front", "wave": "contact", "expected": 0.5722, "tolerance": 0.02 } ] })");
    const Outcome late = check({ QStringLiteral("lab/late.json") });
    EXPECT_EQ(late.exitCode, 0) << late.out << late.err;
    EXPECT_EQ(late.out.find("FAIL"), std::string::npos) << late.out;

    // A file without them runs Periods time units between the walls in force,
    // long after the waves have reached them: the exact solution cannot place
    // the contact.
    writeFile(path("lab/older.json"),
        R"({ "title": "Too late", "problem": { "setup": "old.txt" }, "scheme": "Sorvi", "checks": [
             { "kind": "front", "wave": "contact", "expected": 0.5722, "tolerance": 0.02 } ] })");
    const Outcome older = check({ QStringLiteral("lab/older.json") });
    EXPECT_EQ(older.exitCode, 2) << older.out << older.err;
    EXPECT_NE(older.err.find("lab/older.json: checks[0]: the exact solution holds only until"), std::string::npos)
        << older.err;
}

// Checks at many times run one at a time: the memory a sheet needs is that
// of one run, however many checks it has (measured in a child process, as
// the peak of its resident memory).
TEST(LabSheetMemory, ManyChecksNeedNoMoreMemoryThanOne)
{
    app();
    std::string checks;
    for (int i = 1; i <= 300; ++i)
        checks += std::string(i > 1 ? ", " : "") + R"({ "kind": "value", "x": 0.6, "t": )"
            + std::to_string(0.2 * i / 300) + R"(, "variable": "pressure", "expected": 0.3, "tolerance": 1 })";
    const LabSheetRead read = ParseLabSheet(
        QByteArray::fromStdString(
            R"({ "title": "Many", "problem": { "test": 1 }, "scheme": "Orvane", "cells": 100, "checks": [ )"
            + checks + " ] }"),
        "many.json");
    ASSERT_TRUE(read.sheet) << read.refusal.text();
    const sheets::LabSheet& sheet = *read.sheet;
    std::string why;
    auto ready = batch::prepareRun(batchOptionsOf(sheet), sheet.scheme, sheet.cells, why);
    ASSERT_TRUE(ready) << why;
    const sheets::ReadyRecords records { { sheet.scheme, *ready } };
    const auto peakMiB = [] {
        rusage u {};
        ::getrusage(RUSAGE_SELF, &u);
        return u.ru_maxrss / 1024;
    };
    EXPECT_EXIT(
        {
            const long before = peakMiB();
            const auto results = sheets::RunSheetChecks(sheet, records, {}, 1);
            const long grown = peakMiB() - before;
            std::fprintf(stderr, "peak grew by %ld MiB\n", grown);
            std::_Exit(results.size() == 300 && results.back().pass && grown < 100 ? 0 : 1);
        },
        ::testing::ExitedWithCode(0), "");
}

namespace {

class LabSheetWindowTest : public WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        ASSERT_TRUE(folder.isValid());
    }
    // The sheet `text` written to a file and opened through File > Open Lab Sheet.
    void open(const std::string& text)
    {
        const QString file = folder.filePath(QStringLiteral("sheet.json"));
        writeFile(file, text);
        dialogs.answerFile(file.toStdString());
        auto* item = window->findChild<QAction*>(QStringLiteral("actOpenLabSheet"));
        ASSERT_NE(item, nullptr);
        item->trigger();
    }
    QWidget* sheetWindow() { return window->findChild<QWidget*>(QStringLiteral("frmLabSheet")); }
    LabSheetPanel* panel() { return window->findChild<LabSheetPanel*>(QStringLiteral("frmLabSheet")); }
    // Everything the sheet's window shows in words, its labels in order.
    std::string sheetText()
    {
        std::string text;
        if (QWidget* w = sheetWindow())
            for (const QLabel* l : w->findChildren<QLabel*>())
                if (!l->isHidden()) {
                    QTextDocument doc;
                    doc.setHtml(l->text());
                    text
                        += (l->textFormat() == Qt::PlainText ? l->text() : doc.toPlainText()).toStdString() + "\n";
                }
        return text;
    }
    QLineEdit* answerBox(int i)
    {
        return sheetWindow()->findChild<QLineEdit*>(QStringLiteral("txtAnswer%1").arg(i));
    }
    std::string answerResult(int i)
    {
        auto* l = sheetWindow()->findChild<QLabel*>(QStringLiteral("lblAnswerResult%1").arg(i));
        if (!l || l->isHidden())
            return "";
        QTextDocument doc;
        doc.setHtml(l->text());
        return doc.toPlainText().toStdString();
    }
    std::string status()
    {
        return sheetWindow()->findChild<QLabel*>(QStringLiteral("lblLabSheetStatus"))->text().toStdString();
    }

    QTemporaryDir folder;
};

} // namespace

// The sheet's scheme, grid and test go into the window through its own
// controls (nothing is asked of the user but the file), and the sheet shows
// beside the plots, which stay where they were.
TEST_F(LabSheetWindowTest, OpeningASheetLoadsItsProblemAndShowsItsQuestions)
{
    const QRect plotPlace = plot(*window, "pctDensityPlot")->geometry();
    const QSize windowSize = window->size();
    open(R"({ "title": "The three waves", "questions": ["Name the three waves."], "problem": { "test": 6 },
              "scheme": "Lentor32", "cells": 240, "courant": 0.5,
              "checks": [ { "kind": "front", "name": "where the right shock is", "wave": "right shock", "expected": 0.83, "tolerance": 0.01 } ] })");
    EXPECT_EQ(s().SchemeName, "Lentor32");
    EXPECT_EQ(s().NGridCells, 240);
    EXPECT_EQ(s().CourantNumber, 0.5);
    EXPECT_EQ(s().TStop, 0.035); // Test 6
    EXPECT_EQ(s().Rho[1], 5.99924);
    EXPECT_TRUE(dialogs.asked.empty()); // the scheme's questions were answered by the sheet
    EXPECT_TRUE(dialogs.messages.empty());
    // The one dialog: "Open Lab Sheet", for JSON files, starting among the sheets that ship.
    ASSERT_EQ(dialogs.opened.size(), 1u);
    EXPECT_EQ(dialogs.opened[0].title, "Open Lab Sheet");
    EXPECT_EQ(dialogs.opened[0].filter.rfind("Lab Sheets (*.json)|*.json", 0), 0u) << dialogs.opened[0].filter;
    EXPECT_EQ(dialogs.opened[0].folder, labSheetsFolder().value_or("none"));
    EXPECT_TRUE(QFileInfo::exists(QString::fromStdString(dialogs.opened[0].folder + "/shock-tube-waves.json")));
    ASSERT_NE(sheetWindow(), nullptr);
    EXPECT_TRUE(sheetWindow()->isVisible());
    const std::string text = sheetText();
    for (const char* part : { "The three waves", "Name the three waves.", "where the right shock is",
             "position of the right shock at TStop", "tamrel --check" })
        EXPECT_NE(text.find(part), std::string::npos) << part << "\n" << text;
    // What the check expects stays hidden until the sheet is checked.
    EXPECT_EQ(text.find("0.83"), std::string::npos) << text;
    EXPECT_EQ(plot(*window, "pctDensityPlot")->geometry(), plotPlace);
    EXPECT_EQ(window->size(), windowSize);
}

// A run under way goes back to its start, and a sound wave is set up from
// the sheet's seven values without a question to the user.
TEST_F(LabSheetWindowTest, ASoundWaveSheetOverARunningRun)
{
    click(*window, "cmdTest1");
    click(*window, "cmdBegin");
    window->tick();
    ASSERT_GT(s().TimeNow, 0);
    open(
        R"({ "title": "Sound", "problem": { "sound_wave": [1e-4, 2, 0, 1, 0, 1, 0] }, "scheme": "Sorvi", "cells": 64, "periods": 1,
              "checks": [ { "kind": "order", "schemes": ["Sorvi"], "cells": [32, 64], "min_order": 0.5 } ] })");
    EXPECT_EQ(s().TimeNow, 0);
    EXPECT_NE(s().Stopped, 0);
    EXPECT_EQ(s().SchemeName, "Sorvi");
    EXPECT_EQ(s().NGridCells, 64);
    EXPECT_EQ(s().RiemannPlots, 1);
    EXPECT_EQ(s().RPlusAmplitude, 1e-4);
    EXPECT_EQ(s().RPlusFrequency, 2);
    EXPECT_EQ(s().MnBdry, 4);
    EXPECT_TRUE(dialogs.asked.empty());
    EXPECT_TRUE(dialogs.messages.empty());
}

// tamrel FILE, as a file manager starts it: a sheet under any name is opened
// as a sheet, anything else is read as a set-up, with Read Setup's checks.
TEST_F(LabSheetWindowTest, AFileGivenOnTheCommandLineOpensAsWhatItHolds)
{
    const QString sheet = folder.filePath(QStringLiteral("renamed.txt"));
    writeFile(sheet, R"({ "title": "Renamed", "problem": { "test": 6 }, "scheme": "Sorvi", "cells": 120,
              "checks": [ { "kind": "l1", "name": "close", "tolerance": 1 } ] })");
    window->openFile(sheet.toStdString());
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_EQ(s().SchemeName, "Sorvi");
    EXPECT_EQ(s().NGridCells, 120);
    ASSERT_NE(sheetWindow(), nullptr);

    click(*window, "cmdTest3");
    const QString setup = folder.filePath(QStringLiteral("test3.json"));
    dialogs.answerFile(setup.toStdString());
    click(*window, "cmdWriteSetUp");
    click(*window, "cmdTest1");
    window->openFile(setup.toStdString());
    EXPECT_TRUE(dialogs.messages.empty());
    EXPECT_EQ(s().TStop, 0.15); // Test 3's, read back from the set-up

    window->openFile(folder.filePath(QStringLiteral("missing.txt")).toStdString());
    EXPECT_EQ(s().TStop, 0.15);
}

// A sheet that cannot be read says why, naming the key, and leaves the
// window's problem as it was.
TEST_F(LabSheetWindowTest, ABadSheetSaysWhyAndChangesNothing)
{
    click(*window, "cmdTest3");
    const Long cells = s().NGridCells;
    open(test1Sheet(R"({ "kind": "l1", "tolerance": 0 })"));
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_NE(dialogs.messages[0].find("checks[0].tolerance: must be a positive number"), std::string::npos)
        << dialogs.messages[0];
    EXPECT_EQ(s().TStop, 0.15); // still Test 3
    EXPECT_EQ(s().NGridCells, cells);
    EXPECT_EQ(sheetWindow(), nullptr);

    // A FIFO no one writes to is refused at once: the window does not wait.
    const QString fifo = folder.filePath(QStringLiteral("fifo.json"));
    ASSERT_EQ(::mkfifo(fifo.toLocal8Bit().constData(), 0600), 0);
    dialogs.answerFile(fifo.toStdString());
    window->findChild<QAction*>(QStringLiteral("actOpenLabSheet"))->trigger();
    ASSERT_EQ(dialogs.messages.size(), 2u);
    EXPECT_NE(dialogs.messages[1].find("cannot open it: it is a FIFO (named pipe), not a regular file"),
        std::string::npos)
        << dialogs.messages[1];
    EXPECT_EQ(s().TStop, 0.15);
}

// A sheet's set-up file is read beside the sheet through Read Setup.
TEST_F(LabSheetWindowTest, ASetupSheetIsReadFromBesideIt)
{
    click(*window, "cmdTest1");
    ASSERT_TRUE(WriteSetupFile(s(), folder.filePath(QStringLiteral("tube.txt")).toStdString()));
    click(*window, "cmdTest3");
    ASSERT_EQ(s().Rho[s().NGridCells], 1.0);
    open(R"({ "title": "Set-up", "problem": { "setup": "tube.txt" }, "scheme": "Orvane32",
              "checks": [ { "kind": "value", "x": 0.9, "t": 0, "variable": "density", "expected": 0.125, "tolerance": 1e-9 } ] })");
    EXPECT_EQ(s().SchemeName, "Orvane32");
    EXPECT_EQ(s().Rho[s().NGridCells], 0.125);
    EXPECT_TRUE(dialogs.asked.empty());
    EXPECT_TRUE(dialogs.messages.empty());
}

namespace {

// Test 1 on 200 cells: a shock that passes, a contact put where it is not,
// and two questions that ask for numbers, one against the lab's shock
// position and one against an exact value.
const char* const kGradedSheet
    = R"({ "title": "Graded", "problem": { "test": 1 }, "scheme": "Orvane", "cells": 200,
    "questions": [ "Name the waves.",
        { "text": "Where is the shock?", "answer": { "check": "shock" } },
        { "text": "How fast does it move?", "answer": { "exact": 1.7522, "tolerance": 0.01 } } ],
    "checks": [ { "kind": "front", "name": "shock", "wave": "shock", "expected": 0.7307, "tolerance": 0.005 },
                { "kind": "front", "name": "contact", "wave": "contact", "expected": 0.59, "tolerance": 0.005 } ] })";

} // namespace

// Check grades the sheet on a thread of its own: the window answers while
// it runs, then each check says PASS or FAIL with the measured value, its
// tolerance and, when failed, what to look at; the typed numbers are graded.
TEST_F(LabSheetWindowTest, CheckGradesTheChecksAndTheTypedNumbers)
{
    open(kGradedSheet);
    ASSERT_NE(panel(), nullptr);
    EXPECT_EQ(sheetText().find("0.7307"), std::string::npos);
    EXPECT_EQ(sheetText().find("PASS"), std::string::npos);
    answerBox(0)->setText(QStringLiteral("a fan, a contact, a shock"));
    answerBox(1)->setText(QStringLiteral("0.731"));
    answerBox(2)->setText(QStringLiteral("1.5"));
    sheetWindow()->findChild<QPushButton*>(QStringLiteral("cmdLabSheetCheck"))->click();
    EXPECT_TRUE(panel()->running()); // back in the event loop before the runs are done
    EXPECT_EQ(status(), "Checking...");
    panel()->waitUntilDone();

    const std::string text = sheetText();
    for (const char* part : { "PASS shock", "measured 0.73", "wanted 0.7307 within 0.005", "FAIL contact",
             "wanted 0.59 within 0.005", "the contact is 0.0187 behind the expected position 0.59 (3.73 cells)" })
        EXPECT_NE(text.find(part), std::string::npos) << part << "\n" << text;
    EXPECT_EQ(answerResult(0), ""); // answered in words: not graded
    EXPECT_EQ(answerResult(1).rfind("PASS the lab measured 0.73", 0), 0u) << answerResult(1);
    EXPECT_EQ(answerResult(2).rfind("FAIL the exact value is 1.7522 (tolerance 0.01)", 0), 0u) << answerResult(2);
    EXPECT_NE(answerResult(2).find("0.252 below the exact value"), std::string::npos) << answerResult(2);
    EXPECT_EQ(status(), "Checked: 1 of 2 checks and 1 of 2 answers failed.");

    // A sheet that reveals its values shows them before any check.
    std::string revealed = kGradedSheet;
    revealed.replace(revealed.find("\"title\""), 0, "\"reveal\": true, ");
    open(revealed);
    EXPECT_NE(sheetText().find("0.7307 within 0.005"), std::string::npos) << sheetText();
    EXPECT_EQ(sheetText().find("PASS"), std::string::npos);
}

// Cancel stops the runs: nothing is graded and Check can start again.
TEST_F(LabSheetWindowTest, CancelStopsTheCheck)
{
    open(R"({ "title": "Long", "problem": { "test": 1 }, "scheme": "Sorvi", "cells": 5000,
              "checks": [ { "kind": "l1", "name": "error", "tolerance": 0.01 } ] })");
    ASSERT_TRUE(panel()->check());
    sheetWindow()->findChild<QPushButton*>(QStringLiteral("cmdLabSheetCancel"))->click();
    panel()->waitUntilDone();
    EXPECT_EQ(status(), "Cancelled: nothing was graded.");
    EXPECT_EQ(sheetText().find("PASS"), std::string::npos);
    EXPECT_EQ(sheetText().find("FAIL"), std::string::npos);
    EXPECT_TRUE(sheetWindow()->findChild<QPushButton*>(QStringLiteral("cmdLabSheetCheck"))->isEnabled());
    EXPECT_FALSE(sheetWindow()->findChild<QPushButton*>(QStringLiteral("cmdLabSheetCancel"))->isEnabled());
}

// The answers stay with the sheet: another sheet in between, or a new
// window (as a new session of the program), shows them again.
TEST_F(LabSheetWindowTest, TheAnswersStayWithTheSheet)
{
    const QString file = folder.filePath(QStringLiteral("kept.json"));
    writeFile(file, kGradedSheet);
    window->openFile(file.toStdString());
    answerBox(1)->setText(QStringLiteral("0.7311"));
    open(test1Sheet(kGoodCheck)); // another sheet
    window->openFile(file.toStdString());
    EXPECT_EQ(answerBox(1)->text(), QStringLiteral("0.7311"));

    answerBox(2)->setText(QStringLiteral("1.75"));
    window.reset(); // the session ends
    std::string why;
    const auto saved = ReadSheetAnswers(SavedAnswersPath(file.toStdString()), why);
    ASSERT_TRUE(saved) << why;
    EXPECT_EQ(*saved, (std::vector<std::string> { "", "0.7311", "1.75" }));
    window = makeWindow();
    window->openFile(file.toStdString());
    EXPECT_EQ(answerBox(1)->text(), QStringLiteral("0.7311"));
    EXPECT_EQ(answerBox(2)->text(), QStringLiteral("1.75"));
    QFile::remove(QString::fromStdString(SavedAnswersPath(file.toStdString())));
}

// Help > Lab Sheet Format shows the format a teacher writes sheets in.
TEST_F(LabSheetWindowTest, HelpShowsTheSheetFormat)
{
    window->findChild<QAction*>(QStringLiteral("actLabSheetFormat"))->trigger();
    auto* text = window->findChild<QTextBrowser*>(QStringLiteral("txtUserGuide"));
    ASSERT_NE(text, nullptr);
    EXPECT_NE(text->toPlainText().indexOf(QStringLiteral("\"reveal\"")), -1);
    EXPECT_NE(text->toPlainText().indexOf(QStringLiteral("--answers")), -1);
}

// tamrel --check SHEET --answers FILE grades the student's numbers too; the
// status says whether they passed, and without answers the output says the
// checks alone were graded.
TEST_F(LabSheetCheckTest, AnswersAreGradedInBatch)
{
    std::string sheet = kGradedSheet;
    sheet.replace(sheet.find("0.59"), 4, "0.5722"); // every check passes
    writeFile(path("graded.json"), sheet);
    const struct {
        const char* what;
        std::string answers;
        int status;
        std::vector<std::string> says;
    } cases[] = {
        { "right", R"({ "answers": ["three waves", "0.731", "1.75"] })", 0,
            { "PASS  question 2  answer=0.731  measured=0.73", "PASS  question 3  answer=1.75  exact=1.7522" } },
        { "wrong and missing", R"({ "sheet": "graded.json", "answers": ["", 0.6] })", 1,
            { "FAIL  question 2  answer=0.6", "below what the lab measures", "FAIL  question 3  answer=\"\"",
                "(no answer)" } },
        { "not an answers file", R"([ "0.731" ])", 2, { "mine.json: an answers file is one JSON object" } },
        { "answers to another sheet", R"({ "sheet": "/lab/near-vacuum.json", "answers": ["", "0.731"] })", 2,
            { "mine.json: the answers are to the sheet near-vacuum.json, not to graded.json" } },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.what);
        writeFile(path("mine.json"), c.answers);
        const Outcome o = run({ QStringLiteral("--check"), QStringLiteral("graded.json"),
            QStringLiteral("--answers"), QStringLiteral("mine.json") });
        EXPECT_EQ(o.exitCode, c.status) << o.out << o.err;
        for (const std::string& part : c.says)
            EXPECT_NE((o.out + o.err).find(part), std::string::npos) << part << "\n" << o.out << o.err;
    }
    const Outcome checksOnly = check({ QStringLiteral("graded.json") });
    EXPECT_EQ(checksOnly.exitCode, 0) << checksOnly.out << checksOnly.err;
    EXPECT_NE(
        checksOnly.out.find("(no answers given: the checks only, not the 2 questions that ask for a number)"),
        std::string::npos)
        << checksOnly.out;
}

// An order check's ladder asks the window's thread for each run's record
// while the grading runs on its own: the check ends and passes.
TEST_F(LabSheetWindowTest, AnOrderCheckGradesInTheWindow)
{
    open(
        R"({ "title": "Order", "problem": { "sound_wave": [1e-4, 1, 0, 1, 0, 1, 0] }, "scheme": "Sorvi", "cells": 32,
              "periods": 1, "checks": [ { "kind": "order", "name": "order", "schemes": ["Sorvi"], "cells": [16, 32, 64], "min_order": 0.5 } ] })");
    ASSERT_TRUE(panel()->check());
    panel()->waitUntilDone();
    EXPECT_NE(sheetText().find("PASS order"), std::string::npos) << sheetText();
    EXPECT_EQ(status(), "Checked: everything passed.");
    const auto* bar = sheetWindow()->findChild<QProgressBar*>(QStringLiteral("prgLabSheetCheck"));
    EXPECT_EQ(bar->value(), bar->maximum());
}
