// SPDX-License-Identifier: GPL-3.0-or-later
// The program's batch mode: the built tamrel next to this test program runs a
// problem without a window; its result must be the window's, cell for cell.

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QProcess>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTextStream>
#include <cstdlib>
#include <string>
#include <vector>

#include "ProgramProcess.h"
#include "RunWindowTest.h"
#include "ui/window/BatchSupport.h"
#include "ui/window/ExportCaption.h"
#include "common/Format.h"

using namespace tamrel;
using namespace tamrel::testing;
using tamrel::testing::RunWindowTest;

namespace {

using tamrel::testing::Outcome;
using tamrel::testing::programPath;

Outcome runProgram(const QStringList& arguments, const QString& folder)
{
    return tamrel::testing::runTamrel(QStringList { QStringLiteral("--batch") } + arguments, folder);
}

class BatchTest : public RunWindowTest {
protected:
    void SetUp() override
    {
        RunWindowTest::SetUp();
        if (!QFileInfo(programPath()).isExecutable())
            GTEST_SKIP() << "tamrel is not built next to the test program (" << programPath().toStdString() << ")";
        ASSERT_TRUE(folder.isValid());
    }
    QString path(const char* name) const { return folder.filePath(QString::fromLatin1(name)); }

    QTemporaryDir folder;
};

} // namespace

// Test 1 on 400 cells, run to its stop time by the batch and by the window.
TEST_F(BatchTest, Test1MatchesTheWindowRunCellForCell)
{
    const Outcome o = runProgram({ "--test", "1", "--cells", "400", "--out", "r.csv" }, folder.path());
    ASSERT_EQ(o.exitCode, 0) << o.err;

    setCells(*window, 400);
    clickTest(*window, 1);
    click(*window, "cmdBegin");
    runToEnd();
    ASSERT_FALSE(window->runFaulted());
    const ExperimentState& st = s();
    const long n = st.NGridCells;

    char time[64];
    std::snprintf(time, sizeof time, "%.17g", st.TimeNow);
    const QRegularExpression summary(QStringLiteral(
        "^time=(\\S+) cycles=(\\d+) snapshots=(\\d+) seconds=([0-9.]+) cell_updates_per_second=([0-9]+)\\n$"));
    const auto m = summary.match(QString::fromStdString(o.out));
    ASSERT_TRUE(m.hasMatch()) << o.out;
    EXPECT_EQ(m.captured(1).toStdString(), time);
    EXPECT_EQ(m.captured(2).toLong(), st.NCycle);
    EXPECT_EQ(m.captured(3).toLong(), st.NStoredStates);

    const auto lines = linesOf(path("r.csv"));
    ASSERT_EQ(static_cast<long>(lines.size()), n + 2);
    EXPECT_EQ(lines[0],
        std::string("# time=") + time + " scheme=Orvane cells=400 cycles=" + std::to_string(st.NCycle)
            + " snapshots=" + std::to_string(st.NStoredStates));
    EXPECT_EQ(lines[1], "cell,x,rho,p,vx,vy,smoke");
    for (long i = 1; i <= n; ++i) {
        const std::vector<double> row = numbersOf(lines[static_cast<std::size_t>(i + 1)]);
        const std::vector<double> expected = { static_cast<double>(i), 0.5 * (st.X[i] + st.X[i + 1]), st.Rho[i],
            st.P[i], st.VX[i], st.VY[i], st.FSmoke[i] };
        ASSERT_EQ(row, expected) << "cell " << i;
    }
    EXPECT_EQ(st.TimeNow, st.TStop);
}

// The options act in one order whatever order they are given in; the
// history holds every stored row, the last one the final state.
TEST_F(BatchTest, OptionOrderDoesNotMatterAndTheHistoryHoldsEveryRow)
{
    const Outcome a = runProgram({ "--cells", "60", "--scheme", "Lentor32", "--plots-per-unit", "30", "--courant",
                                     "0.5", "--test", "3", "--out", "a.csv", "--history", "h.csv" },
        folder.path());
    const Outcome b = runProgram({ "--out", "b.csv", "--test", "3", "--courant", "0.5", "--plots-per-unit", "30",
                                     "--scheme", "Lentor32", "--cells", "60" },
        folder.path());
    ASSERT_EQ(a.exitCode, 0) << a.err;
    ASSERT_EQ(b.exitCode, 0) << b.err;
    const auto final = linesOf(path("a.csv"));
    EXPECT_EQ(final, linesOf(path("b.csv")));
    ASSERT_EQ(final.size(), 62u);
    EXPECT_NE(final[0].find(" scheme=Lentor32 cells=60 "), std::string::npos) << final[0];

    const QRegularExpression snapshots(QStringLiteral("snapshots=(\\d+)"));
    const long rows = snapshots.match(QString::fromStdString(final[0])).captured(1).toLong();
    ASSERT_GT(rows, 2);
    const auto history = linesOf(path("h.csv"));
    ASSERT_EQ(static_cast<long>(history.size()), 2 + rows * 60);
    EXPECT_EQ(history[0], final[0]);
    EXPECT_EQ(history[1], "row,time,cell,x,rho,p,vx,vy,smoke");
    // Stored values with the digits single precision holds: 0.4f is 0.400000006.
    EXPECT_EQ(history[2], "0,0,1,0.0083333333333333332,1,0.400000006,-2,0,0");
    double lastTime = -1;
    for (long r = 0; r < rows; ++r) {
        const std::vector<double> first = numbersOf(history[static_cast<std::size_t>(2 + r * 60)]);
        ASSERT_EQ(first[0], r);
        ASSERT_GT(first[1], lastTime) << r;
        lastTime = first[1];
    }
    // The last row is the final state in single precision, each value in at
    // most 9 significant digits that read back to that very float.
    for (long i = 1; i <= 60; ++i) {
        const std::string& row = history[static_cast<std::size_t>(1 + (rows - 1) * 60 + i)];
        const QStringList text = QString::fromStdString(row).split(',');
        const std::vector<double> stored = numbersOf(row);
        const std::vector<double> state = numbersOf(final[static_cast<std::size_t>(1 + i)]);
        for (int q = 0; q < 5; ++q) {
            const auto k = static_cast<std::size_t>(4 + q);
            ASSERT_EQ(static_cast<float>(stored[k]), static_cast<float>(state[static_cast<std::size_t>(2 + q)]))
                << "cell " << i << " quantity " << q;
            QString digits = text[static_cast<int>(k)];
            digits.remove(QRegularExpression(QStringLiteral("[eE].*$|[-.]")));
            digits.remove(QRegularExpression(QStringLiteral("^0+")));
            ASSERT_LE(digits.size(), 9) << row;
        }
    }
}

TEST_F(BatchTest, MeterAddsItsFiguresToTheSummary)
{
    const Outcome o = runProgram({ "--test", "1", "--cells", "50", "--meter" }, folder.path());
    ASSERT_EQ(o.exitCode, 0) << o.err;
    const QRegularExpression summary(
        QStringLiteral("^time=\\S+ cycles=\\d+ snapshots=\\d+ seconds=\\S+ cell_updates_per_second=\\d+ "
                       "mflops=([0-9.]+) flops_per_cell=(\\d+)\\n$"));
    const auto m = summary.match(QString::fromStdString(o.out));
    ASSERT_TRUE(m.hasMatch()) << o.out;
    EXPECT_GT(m.captured(1).toDouble(), 0);
    EXPECT_GT(m.captured(2).toLong(), 10);
}

// Bad arguments name the problem and exit with 2 before anything runs.
TEST_F(BatchTest, BadArgumentsExitWithTwoWithoutRunning)
{
    struct Case {
        QStringList arguments;
        std::string named; // a piece of the message
    };
    const Case cases[] = {
        { { "--test", "1", "--bogus" }, "bogus" },
        { { "--test", "1", "--scheme", "Orvan" }, "Orvan" },
        { { "--test", "9" }, "--test" },
        { { "--test", "0" }, "--test" },
        { { "--test", "1.5" }, "--test" },
        { { "--test", "1", "--cells", "5" }, "--cells" },
        { { "--test", "1", "--cells", "5001" }, "--cells" },
        { { "--setup", "missing.txt" }, "missing.txt" },
        { { "--test", "1", "--courant", "1.5" }, "--courant" },
        { { "--test", "1", "--courant", "1e-300" }, "from 0.01 to below 1" },
        { { "--test", "1", "--plots-per-unit", "0" }, "--plots-per-unit" },
        { { "--test", "1", "--sound-wave" }, "at most one" },
        { { "--sound-wave", "--wave", "0.01,1,0" }, "--wave" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments.join(' ').toStdString());
        const Outcome o = runProgram(c.arguments + QStringList { "--out", "never.csv" }, folder.path());
        EXPECT_EQ(o.exitCode, 2);
        EXPECT_NE(o.err.find(c.named), std::string::npos) << o.err;
        EXPECT_EQ(o.out, "");
        EXPECT_FALSE(QFileInfo::exists(path("never.csv")));
    }
}

// A run whose time step collapses (a cell far too hot for its neighbours)
// halts at once and says where, instead of running for hours: exit 1.
TEST_F(BatchTest, ACollapsingRunHaltsWithItsTimeCycleAndCell)
{
    clickTest(*window, 1);
    typeInto(*window, "txtDensity", "1");
    typeInto(*window, "txtPressure", "1e20");
    typeInto(*window, "txtVelocity", "0");
    click(*window, "cmdSelect");
    dialogs.answerFile(path("hot.txt").toStdString());
    click(*window, "cmdWriteSetUp");
    const Outcome o = runProgram({ "--setup", "hot.txt", "--out", "r.csv" }, folder.path());
    EXPECT_EQ(o.exitCode, 1);
    EXPECT_EQ(o.out, "");
    for (const char* piece : { "cannot finish", "at t=", "(cycle ", "Cell ", "limits the step" })
        EXPECT_NE(o.err.find(piece), std::string::npos) << piece << " in " << o.err;
}

// A set-up file the window refuses is refused by the batch with the text of
// the window's message box; the file as written runs.
TEST_F(BatchTest, SetUpFilesAreReadAsTheWindowReadsThem)
{
    clickTest(*window, 2);
    dialogs.answerFile(path("good.txt").toStdString());
    click(*window, "cmdWriteSetUp");
    const Outcome good = runProgram({ "--setup", "good.txt" }, folder.path());
    EXPECT_EQ(good.exitCode, 0) << good.err;
    EXPECT_EQ(good.out.rfind("time=", 0), 0u) << good.out;

    QFile in(path("good.txt"));
    ASSERT_TRUE(in.open(QIODevice::ReadOnly));
    QByteArray text = in.readAll();
    const auto key = text.indexOf("NGridCells");
    ASSERT_GE(key, 0);
    text.replace(key, 10, "NGridKells");
    QFile out(path("bad.txt"));
    ASSERT_TRUE(out.open(QIODevice::WriteOnly));
    out.write(text);
    out.close();

    dialogs.answerFile(path("bad.txt").toStdString());
    click(*window, "cmdReadSetUp");
    ASSERT_EQ(dialogs.messages.size(), 1u);
    const Outcome bad = runProgram({ "--setup", "bad.txt" }, folder.path());
    EXPECT_EQ(bad.exitCode, 2);
    EXPECT_NE(bad.err.find(dialogs.messages[0]), std::string::npos) << bad.err;
    EXPECT_EQ(bad.out, "");
}

// With no problem to load the batch runs the default problem of start-up.
TEST_F(BatchTest, NothingToLoadRunsTheDefaultProblem)
{
    const Outcome o = runProgram({ "--out", "default.csv" }, folder.path());
    ASSERT_EQ(o.exitCode, 0) << o.err;
    EXPECT_EQ(o.out.rfind("time=", 0), 0u) << o.out;
    QFile in(path("default.csv"));
    ASSERT_TRUE(in.open(QIODevice::ReadOnly));
    const QString header = QString::fromUtf8(in.readLine());
    EXPECT_TRUE(header.contains("scheme=Orvane cells=100")) << header.toStdString();
}

// --plots writes the three line plots of the final state, as PNG or SVG by
// its name; a folder that does not exist stops the batch before it runs.
TEST_F(BatchTest, PlotsOfTheFinalStateAsPngOrSvg)
{
    const Outcome o = runProgram(
        { "--test", "1", "--cells", "60", "--plots", "plots.png", "--out", "final.csv" }, folder.path());
    ASSERT_EQ(o.exitCode, 0) << o.err;
    EXPECT_EQ(QImage(path("plots.png")).size(), QSize(900, 3 * 383 + 2 * 12 + kCaptionHeight)); // and the caption
    // The curves of the SVG: polylines through every cell. The exact
    // solution joins them only with --exact, whatever the window's setting.
    const auto curves = [&](const QStringList& more) {
        const Outcome svg = runProgram(
            QStringList { "--test", "1", "--cells", "60", "--plots", "plots.SVG" } + more, folder.path());
        EXPECT_EQ(svg.exitCode, 0) << svg.err;
        QFile f(path("plots.SVG"));
        EXPECT_TRUE(f.open(QIODevice::ReadOnly));
        const QString text = QString::fromUtf8(f.readAll());
        EXPECT_TRUE(text.contains("<svg"));
        int count = 0;
        static const QRegularExpression polyline(QStringLiteral("<polyline[^>]*points=\"([^\"]*)\""));
        for (auto it = polyline.globalMatch(text); it.hasNext();)
            count += it.next().captured(1).split(' ', Qt::SkipEmptyParts).size() >= 60 ? 1 : 0;
        return count;
    };
    EXPECT_EQ(curves({}), 3);
    EXPECT_EQ(curves({ "--exact" }), 6);

    const Outcome refused
        = runProgram({ "--test", "1", "--cells", "60", "--plots", "nowhere/plots.png" }, folder.path());
    EXPECT_EQ(refused.exitCode, 2);
    EXPECT_NE(refused.err.find("nowhere/plots.png"), std::string::npos) << refused.err;
    EXPECT_EQ(refused.out, "");
    EXPECT_EQ(runProgram({ "--test", "1", "--plots", "p.jpg" }, folder.path()).exitCode, 2);
}

// A problem starts from the same state whatever ran before it: Test 1 under
// Sorvi on 100 cells, run in one window after Test 5, after Test 7 and again
// after Restart, writes the batch's file byte for byte (17 digits, so bit for
// bit), its cycle count the run's own. Test 5's short snapshot interval once
// capped Test 1's first step, Test 7's did not, and Restart took the start
// back from the single-precision history.
TEST_F(BatchTest, Test1AfterOtherProblemsAndAfterRestartIsTheBatchRun)
{
    const Outcome o
        = runProgram({ "--test", "1", "--cells", "100", "--scheme", "Sorvi", "--out", "batch.csv" }, folder.path());
    ASSERT_EQ(o.exitCode, 0) << o.err;
    const auto batch = linesOf(path("batch.csv"));
    ASSERT_GT(batch.size(), 2u);

    chooseScheme("Sorvi");
    auto run = [&](int test) {
        clickTest(*window, test);
        click(*window, "cmdBegin");
        runToEnd();
        ASSERT_FALSE(window->runFaulted());
    };
    auto expectBatch = [&](const char* after) {
        SCOPED_TRACE(after);
        const std::string file = path("window.csv").toStdString();
        ASSERT_TRUE(batch::writeFinalState(s(), file, nullptr));
        EXPECT_EQ(linesOf(path("window.csv")), batch);
    };
    run(5);
    click(*window, "cmdRestart");
    run(1);
    expectBatch("after Test 5");
    click(*window, "cmdRestart");
    run(7);
    click(*window, "cmdRestart");
    run(1);
    expectBatch("after Test 7");
    click(*window, "cmdRestart");
    click(*window, "cmdBegin");
    runToEnd();
    expectBatch("after Restart");
}
