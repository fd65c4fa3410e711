// SPDX-License-Identifier: GPL-3.0-or-later
// What a student hands in: exported pictures that name who ran what, the
// lab report (PDF and HTML, from the window and from --check), and the run
// as an animated GIF that decodes, has a frame for every stored snapshot and
// stays small.

#include <QAction>
#include <QFile>
#include <QImage>
#include <QProcess>
#include <QScrollBar>
#include <QStandardPaths>
#include <QTemporaryDir>
#include <gif_lib.h>

#include "ProgramProcess.h"
#include "WindowFixture.h"
#include "ui/window/AnimationExport.h"
#include "ui/window/ExportCaption.h"
#include "ui/window/LabSheetPanel.h"
#include "ui/window/LabSheetWindow.h"
#include "ui/window/WindowExport.h"

using namespace tamrel;
using namespace tamrel::testing;

namespace {

struct DecodedGif {
    bool ok = false;
    int width = 0, height = 0, frames = 0;
    int firstDelay = -1; // hundredths of a second
};

DecodedGif decodeGif(const QString& path)
{
    DecodedGif d;
    int error = 0;
    GifFileType* gif = DGifOpenFileName(path.toLocal8Bit().constData(), &error);
    if (!gif)
        return d;
    if (DGifSlurp(gif) == GIF_OK) {
        d.ok = true;
        d.width = gif->SWidth;
        d.height = gif->SHeight;
        d.frames = gif->ImageCount;
        GraphicsControlBlock control;
        if (gif->ImageCount > 0 && DGifSavedExtensionToGCB(gif, 0, &control) == GIF_OK)
            d.firstDelay = control.DelayTime;
        // Every frame lies inside the screen.
        for (int i = 0; i < gif->ImageCount; ++i) {
            const GifImageDesc& f = gif->SavedImages[i].ImageDesc;
            if (f.Left < 0 || f.Top < 0 || f.Left + f.Width > d.width || f.Top + f.Height > d.height)
                d.ok = false;
        }
    }
    DGifCloseFile(gif, &error);
    return d;
}

QByteArray contentOf(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The share of pixels of `image` that are not (nearly) white.
double inkOf(const QImage& image, int fromRow = 0)
{
    long ink = 0, all = 0;
    for (int y = fromRow; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x, ++all)
            ink += qGray(image.pixel(x, y)) < 200;
    return all ? static_cast<double>(ink) / all : 0;
}

class ReportTest : public WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        ASSERT_TRUE(folder.isValid());
    }
    QString path(const char* name) const { return folder.filePath(QString::fromLatin1(name)); }
    QAction* item(const char* name) { return window->findChild<QAction*>(QString::fromLatin1(name)); }
    void finishTest(int test)
    {
        clickTest(*window, test);
        click(*window, "cmdBegin");
        runToEnd();
        ASSERT_EQ(s().Stopped, 1);
        ASSERT_GT(s().NStoredStates, 10);
    }
    QTemporaryDir folder;
};

} // namespace

// Both pictures, PNG and SVG, carry the caption line under them, and the
// caption names the problem last set up.
TEST_F(ReportTest, ExportedPicturesCarryTheCaptionLine)
{
    // The caption follows the problem set up; a sound wave whose form was
    // cancelled leaves the problem before it.
    clickTest(*window, 3);
    EXPECT_NE(captionOf(*window, s()).find(", Test 3, "), std::string::npos);
    dialogs.cancelForm();
    click(*window, "cmdSoundWave");
    EXPECT_NE(captionOf(*window, s()).find(", Test 3, "), std::string::npos) << captionOf(*window, s());
    click(*window, "cmdSoundWave"); // every default answer
    EXPECT_NE(captionOf(*window, s()).find(", Sound wave, "), std::string::npos) << captionOf(*window, s());

    ASSERT_NO_FATAL_FAILURE(finishTest(1));
    const std::string caption = "Test Student, Test 1, Orvane, t=0.2, 100 cells";
    EXPECT_EQ(captionOf(*window, s()), caption);
    const auto exportAs = [&](const char* name, int kind) {
        dialogs.answerFile(path(name).toStdString());
        dialogs.answerKind(kind);
        item("actExport")->trigger();
        return path(name);
    };
    for (const auto& [name, kind] : { std::pair { "plots.svg", 1 }, std::pair { "st.svg", 3 } })
        EXPECT_TRUE(contentOf(exportAs(name, kind)).contains(QByteArray::fromStdString(caption))) << name;
    for (const auto& [name, kind] : { std::pair { "plots.png", 0 }, std::pair { "st.png", 2 } }) {
        const QImage image(exportAs(name, kind));
        ASSERT_FALSE(image.isNull()) << name;
        // Text in the strip at the foot, and white beside the text.
        const QImage strip = image.copy(0, image.height() - kCaptionHeight + 2, image.width(), kCaptionHeight - 2);
        EXPECT_GT(inkOf(strip), 0.01) << name;
        EXPECT_LT(inkOf(strip), 0.5) << name;
    }
    EXPECT_EQ(QImage(path("plots.png")).size(), linePlotsExportSize());
    EXPECT_EQ(QImage(path("st.png")).size(), spaceTimeExportSize(*window));
}

// File > Export Report: a PDF whose first page is not blank and an HTML file
// that carries its pictures inside it, both naming the student, the problem
// and the run; a path that cannot be written leaves nothing.
TEST_F(ReportTest, ExportReportWritesThePdfAndTheHtml)
{
    ASSERT_NO_FATAL_FAILURE(finishTest(1));
    dialogs.answerFile(path("report.pdf").toStdString());
    item("actExportReport")->trigger();
    ASSERT_TRUE(dialogs.messages.empty()) << dialogs.messages.back();
    const QByteArray pdf = contentOf(path("report.pdf"));
    EXPECT_TRUE(pdf.startsWith("%PDF"));
    const QString html = QString::fromUtf8(contentOf(path("report.html")));
    for (const char* part :
        { "Test Student", "Problem: Test 1", "<td>N Grid Cells</td><td>100</td>", "<td>Scheme</td><td>Orvane</td>",
            "RhoL = 1.0", "data:image/png;base64,", "Test Student, Test 1, Orvane, t=0.2, 100 cells" })
        EXPECT_TRUE(html.contains(QString::fromLatin1(part))) << part;
    // The plots and the space-time picture, carried inside the file.
    EXPECT_EQ(html.count(QStringLiteral("<img src=\"data:image/png;base64,")), 2);

    const QString pdftoppm = QStandardPaths::findExecutable(QStringLiteral("pdftoppm"));
    if (pdftoppm.isEmpty()) {
        ADD_FAILURE() << "pdftoppm (poppler-utils) is needed to look at the report's pages";
    } else {
        QProcess render;
        render.start(pdftoppm,
            { QStringLiteral("-f"), QStringLiteral("1"), QStringLiteral("-l"), QStringLiteral("2"),
                QStringLiteral("-r"), QStringLiteral("40"), QStringLiteral("-png"), path("report.pdf"),
                path("page") });
        ASSERT_TRUE(render.waitForFinished(60000));
        ASSERT_EQ(render.exitCode(), 0) << render.readAllStandardError().toStdString();
        const QImage page1(path("page-1.png")), page2(path("page-2.png"));
        ASSERT_FALSE(page1.isNull());
        EXPECT_GT(inkOf(page1), 0.01); // the title, the problem, the parameters
        ASSERT_FALSE(page2.isNull());
        EXPECT_GT(inkOf(page2), 0.005); // the plots' curves, axes and grid lines
    }

    // The .html alone, and a folder that does not exist.
    QFile::remove(path("report.html"));
    dialogs.answerFile(path("alone.html").toStdString());
    item("actExportReport")->trigger();
    EXPECT_TRUE(QFile::exists(path("alone.html")));
    EXPECT_FALSE(QFile::exists(path("alone.pdf")));
    dialogs.answerFile(path("missing/report.pdf").toStdString());
    item("actExportReport")->trigger();
    ASSERT_FALSE(dialogs.messages.empty());
    EXPECT_EQ(dialogs.messages.back().rfind("No report was written", 0), 0u) << dialogs.messages.back();
    EXPECT_FALSE(QFile::exists(path("missing/report.html")));
}

// Schemes side by side: the caption names every scheme, and the report
// says which ran beside the grid's.
TEST_F(ReportTest, AComparisonIsNamedInTheCaptionAndTheReport)
{
    clickTest(*window, 1);
    dialogs.answer("Orvane, Sorvi");
    click(*window, "cmdCompareSchemes");
    click(*window, "cmdBegin");
    runToEnd();
    ASSERT_FALSE(window->runFaulted());
    EXPECT_EQ(captionOf(*window, s()), "Test Student, Test 1, Orvane / Sorvi, t=0.2, 100 cells");
    dialogs.answerFile(path("compare.html").toStdString());
    item("actExportReport")->trigger();
    const QString html = QString::fromUtf8(contentOf(path("compare.html")));
    EXPECT_TRUE(html.contains(QStringLiteral("<li>Schemes run side by side: Orvane Sorvi</li>")))
        << html.toStdString();
}

// With a lab sheet open, the report carries its questions, the answers as
// typed and, once checked, every result.
TEST_F(ReportTest, TheReportCarriesTheSheetItsAnswersAndItsResults)
{
    const QString sheet = path("sheet.json");
    {
        QFile f(sheet);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(R"({ "title": "Shock <fast>", "problem": { "test": 1 }, "scheme": "Orvane", "cells": 100,
            "questions": [ "Name the waves.", { "text": "Where is the shock?", "answer": { "check": "shock" } } ],
            "checks": [ { "kind": "front", "name": "shock", "wave": "shock", "expected": 0.7307, "tolerance": 0.01 } ] })");
    }
    window->openFile(sheet.toStdString());
    QWidget* sheetWindow = window->findChild<QWidget*>(QStringLiteral("frmLabSheet"));
    ASSERT_NE(sheetWindow, nullptr);
    sheetWindow->findChild<QLineEdit*>(QStringLiteral("txtAnswer0"))->setText(QStringLiteral("a fan & a shock"));
    sheetWindow->findChild<QLineEdit*>(QStringLiteral("txtAnswer1"))->setText(QStringLiteral("0.731"));

    dialogs.answerFile(path("before.html").toStdString());
    item("actExportReport")->trigger();
    QString html = QString::fromUtf8(contentOf(path("before.html")));
    for (const char* part :
        { "Lab sheet: Shock &lt;fast&gt;", "Name the waves.<br><i>Answer:</i> a fan &amp; a shock",
            "Where is the shock?<br><i>Answer:</i> 0.731", "Not checked." })
        EXPECT_TRUE(html.contains(QString::fromLatin1(part))) << part;

    auto* panel = window->findChild<LabSheetPanel*>(QStringLiteral("frmLabSheet"));
    sheetWindow->findChild<QPushButton*>(QStringLiteral("cmdLabSheetCheck"))->click();
    panel->waitUntilDone();
    dialogs.answerFile(path("after.html").toStdString());
    item("actExportReport")->trigger();
    html = QString::fromUtf8(contentOf(path("after.html")));
    EXPECT_FALSE(html.contains(QStringLiteral("Not checked.")));
    EXPECT_TRUE(html.contains(QStringLiteral("\">PASS  shock"))) << html.toStdString();
    EXPECT_TRUE(html.contains(QStringLiteral("\">PASS  question 2"))) << html.toStdString();
}

// A student's path through the shipped Test 1 sheet: open it, answer,
// Check, run the problem, hand in the report and an animation of the run.
TEST_F(ReportTest, AStudentsPathEndsInAReportAndAnAnimation)
{
    ASSERT_TRUE(labSheetsFolder());
    window->openFile(*labSheetsFolder() + "/shock-tube-waves.json");
    auto* panel = window->findChild<LabSheetPanel*>(QStringLiteral("frmLabSheet"));
    ASSERT_NE(panel, nullptr);
    const char* typed[] = { "a fan, a contact, a shock", "pressure and velocity across the contact", "0.731",
        "0.93", "at the contact" };
    for (int k = 0; k < 5; ++k)
        panel->findChild<QLineEdit*>(QStringLiteral("txtAnswer%1").arg(k))->setText(QString::fromLatin1(typed[k]));
    panel->findChild<QPushButton*>(QStringLiteral("cmdLabSheetCheck"))->click();
    panel->waitUntilDone();
    ASSERT_TRUE(panel->grade());
    click(*window, "cmdBegin");
    runToEnd();
    ASSERT_EQ(s().Stopped, 1);

    dialogs.answerFile(path("hand-in.pdf").toStdString());
    item("actExportReport")->trigger();
    ASSERT_TRUE(dialogs.messages.empty()) << dialogs.messages.back();
    EXPECT_TRUE(contentOf(path("hand-in.pdf")).startsWith("%PDF"));
    const QString html = QString::fromUtf8(contentOf(path("hand-in.html")));
    for (const char* part :
        { "Lab sheet: The three waves of a shock tube (Test 1)", "<i>Answer:</i> 0.731",
            "\">PASS  shock position at t = 0.2", "question 3", "Test Student, Test 1, Orvane, t=0.2, 400 cells" })
        EXPECT_TRUE(html.contains(QString::fromLatin1(part))) << part;

    dialogs.answerFile(path("run.gif").toStdString());
    dialogs.answerKind(1);
    dialogs.answer("10");
    item("actExportAnimation")->trigger();
    const DecodedGif gif = decodeGif(path("run.gif"));
    ASSERT_TRUE(gif.ok);
    EXPECT_EQ(gif.frames, s().NStoredStates);
}

// File > Export Animation: one frame for each stored snapshot at the rate
// asked for, the space-time picture under the plots when chosen; Cancel
// writes nothing; the replay ends on the snapshot shown before.
TEST_F(ReportTest, ExportAnimationWritesAFrameForEverySnapshot)
{
    ASSERT_NO_FATAL_FAILURE(finishTest(1));
    QScrollBar* replay = bar(*window, "vsbStoredStateNumber");
    const int shown = replay->value();
    const double rho = s().Rho[50];

    dialogs.answerFile(path("plots.gif").toStdString());
    dialogs.answerKind(0);
    dialogs.answer("4");
    item("actExportAnimation")->trigger();
    ASSERT_TRUE(dialogs.messages.empty()) << dialogs.messages.back();
    const DecodedGif plots = decodeGif(path("plots.gif"));
    ASSERT_TRUE(plots.ok);
    EXPECT_EQ(plots.frames, s().NStoredStates);
    EXPECT_EQ(plots.firstDelay, 25);
    EXPECT_EQ(replay->value(), shown);
    EXPECT_EQ(s().Rho[50], rho);

    dialogs.answerFile(path("both.gif").toStdString());
    dialogs.answerKind(1);
    dialogs.answer("10");
    item("actExportAnimation")->trigger();
    const DecodedGif both = decodeGif(path("both.gif"));
    ASSERT_TRUE(both.ok);
    EXPECT_EQ(both.frames, s().NStoredStates);
    EXPECT_GT(both.height, plots.height + spaceTimePicture(*window)->scaleHeight() - 1);

    // A rate out of range is refused with the reason; Cancel leaves no file.
    dialogs.answerFile(path("refused.gif").toStdString());
    dialogs.answerKind(0);
    dialogs.answer("120");
    item("actExportAnimation")->trigger();
    ASSERT_FALSE(dialogs.messages.empty());
    EXPECT_NE(dialogs.messages.back().find("from 0.5 to 50 frames per second"), std::string::npos);
    int frames = 0;
    const auto failure = exportAnimation(*window, s(), path("cancelled.gif").toStdString(), AnimationChoice {},
        [&frames](int done, int) { return ++frames, done < 3; });
    EXPECT_EQ(failure, std::optional<std::string>("cancelled"));
    EXPECT_EQ(frames, 3);
    EXPECT_FALSE(QFile::exists(path("refused.gif")));
    EXPECT_FALSE(QFile::exists(path("cancelled.gif")));
    EXPECT_EQ(replay->value(), shown);
}

// The batch forms: --animation of Test 1 at 400 cells stays under 5 MB, and
// --check --report writes the report of the graded sheet.
TEST_F(ReportTest, BatchWritesTheAnimationAndTheSheetReport)
{
    if (!QFileInfo(programPath()).isExecutable())
        GTEST_SKIP() << "tamrel is not built next to the test program";
    const Outcome run = runTamrel(
        { QStringLiteral("--batch"), QStringLiteral("--test"), QStringLiteral("1"), QStringLiteral("--cells"),
            QStringLiteral("400"), QStringLiteral("--animation"), QStringLiteral("run.gif") },
        folder.path());
    ASSERT_EQ(run.exitCode, 0) << run.err;
    const DecodedGif gif = decodeGif(path("run.gif"));
    ASSERT_TRUE(gif.ok);
    EXPECT_EQ(gif.frames, static_cast<int>(summaryValue(run.out, "snapshots")));
    EXPECT_LT(QFileInfo(path("run.gif")).size(), 5 * 1024 * 1024);

    const QString sheet = path("sheet.json");
    {
        QFile f(sheet);
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(R"({ "title": "Shock", "problem": { "test": 1 }, "scheme": "Orvane", "cells": 100,
            "questions": [ { "text": "Where is the shock?", "answer": { "check": "shock" } } ],
            "checks": [ { "kind": "front", "name": "shock", "wave": "shock", "expected": 0.7307, "tolerance": 0.01 } ] })");
    }
    const Outcome check
        = runTamrel({ QStringLiteral("--check"), sheet, QStringLiteral("--report"), QStringLiteral("report.pdf"),
                        QStringLiteral("--name"), QStringLiteral("Ann Lee") },
            folder.path());
    ASSERT_EQ(check.exitCode, 0) << check.err;
    EXPECT_TRUE(contentOf(path("report.pdf")).startsWith("%PDF"));
    const QString html = QString::fromUtf8(contentOf(path("report.html")));
    for (const char* part : { "Ann Lee", "Problem: Test 1", "Where is the shock?", "\">PASS  shock", "t=0.2" })
        EXPECT_TRUE(html.contains(QString::fromLatin1(part))) << part;
}
