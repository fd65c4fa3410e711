// SPDX-License-Identifier: GPL-3.0-or-later
// The program as a script runs it: on a machine with no display, with runs
// that fail or are stopped (every output file stays as it was), and with a
// set-up file whose values stand over the options given.

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QTemporaryDir>
#include <QThread>
#include <csignal>
#include <map>
#include <set>
#include <string>
#include <sys/resource.h>
#include <sys/stat.h>

#include "ProgramProcess.h"
#include "WindowFixture.h"
#include "app/ProgramOptions.h"
#include "ui/window/BatchSupport.h"
#include "common/Format.h"

using namespace tamrel;
using namespace tamrel::testing;
using tamrel::testing::Outcome;
using tamrel::testing::programPath;
using tamrel::testing::runTamrel;

namespace {

class ProgramTest : public tamrel::testing::WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        if (!QFileInfo(programPath()).isExecutable())
            GTEST_SKIP() << "tamrel is not built next to the test program (" << programPath().toStdString() << ")";
        ASSERT_TRUE(folder.isValid());
    }
    QString path(const QString& name) const { return folder.filePath(name); }

    void put(const QString& name, const QByteArray& bytes) const
    {
        QFile f(path(name));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }

    // Every entry of the folder (hidden ones too) with its content; folders
    // and FIFOs count by name.
    std::map<QString, QByteArray> contents() const
    {
        std::map<QString, QByteArray> all;
        const QDir dir(folder.path());
        for (const QFileInfo& e :
            dir.entryInfoList(QDir::AllEntries | QDir::Hidden | QDir::System | QDir::NoDotAndDotDot)) {
            QByteArray bytes;
            if (e.isFile()) {
                QFile f(e.filePath());
                if (f.open(QIODevice::ReadOnly))
                    bytes = f.readAll();
            }
            all[e.fileName()] = bytes;
        }
        return all;
    }

    QTemporaryDir folder;
};

QProcessEnvironment withoutDisplay()
{
    QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
    for (const char* name : { "DISPLAY", "WAYLAND_DISPLAY", "QT_QPA_PLATFORM" })
        env.remove(QString::fromLatin1(name));
    return env;
}

// A set-up with velocities of 1e300, beyond what the history can store.
const QByteArray kBlowUp
    = "NDifferenceScheme        3\r\n"
      "NGridCells               100\r\n"
      "SoundSpeed0              1\r\n"
      "CourantNumber            0.8\r\n"
      "RhoMax                   2\r\n"
      "RhoMin                   0\r\n"
      "PMax                     2\r\n"
      "PMin                     0\r\n"
      "VXMax                    1\r\n"
      "VXMin                   -1\r\n"
      "Periods                  0.5\r\n"
      "NPlotsPerPeriod          10\r\n"
      "NSelected                1\r\n"
      "\r\n"
      "MSelected          X                        Rho                      P                        VX\r\n"
      " 0             0                        1                        1                        0\r\n"
      " 50            0.5                      1                        1E+300                   1E+300\r\n"
      " 101           1                        1                        1                        0\r\n";

// A set-up the reader takes.
QByteArray goodSetup()
{
    return QByteArray(kBlowUp).replace("1E+300                   1E+300", "2                        0");
}

} // namespace

// No display (a terminal, an ssh session, CI): the command line is read
// before any window system starts, and a batch run needs none.
TEST_F(ProgramTest, AnswersWithoutADisplay)
{
    struct Case {
        QStringList arguments;
        int status;
        std::string out; // how standard output starts
        std::string err; // a piece of standard error
    };
    const Case cases[] = {
        { { "--help" }, 0, "Usage: tamrel [options] [FILE]\n", "" },
        { { "-v" }, 0, tamrel::programVersionText(), "" },
        { { "--bogus" }, 2, "", "tamrel: unknown option '--bogus'" },
        { { "--batch", "--test", "1", "--cells", "5" }, 2, "", "--cells must be a whole number from 6 to 5000" },
        { { "--batch", "--test", "1", "--cells", "50", "--out", "r.csv" }, 0, "time=", "" },
        { { "--name", "Jo" }, 1, "", "no display to show the window on" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments.join(' ').toStdString());
        const Outcome o = runTamrel(c.arguments, folder.path(), withoutDisplay());
        EXPECT_EQ(o.exitCode, c.status) << o.err;
        EXPECT_EQ(o.out.rfind(c.out, 0), 0u) << o.out;
        EXPECT_NE(o.err.find(c.err), std::string::npos) << o.err;
    }
    EXPECT_TRUE(QFileInfo::exists(path("r.csv")));
}

// However a batch ends without success, it creates no output file and
// changes none that was there, and it leaves no temporary file behind.
TEST_F(ProgramTest, AFailedBatchLeavesEveryFileAsItWas)
{
    put("old.csv", "previous final state\n");
    put("old.png", "previous picture\n");
    put("blowup.txt", kBlowUp);
    put("setup.csv", goodSetup());
    put("old.svg", "previous line plots\n");
    ASSERT_TRUE(QFile::link(QStringLiteral("setup.csv"), path("setup-link.txt")));
    ASSERT_EQ(
        ::link(path("setup.csv").toLocal8Bit().constData(), path("setup-copy.csv").toLocal8Bit().constData()), 0);
    ASSERT_TRUE(QDir(folder.path()).mkdir("folder.png"));
    ASSERT_EQ(::mkfifo(path("fifo.txt").toLocal8Bit().constData(), 0600), 0);
    const std::map<QString, QByteArray> before = contents();

    // Files may grow to 64 KiB only, as on a disk that fills up: the
    // history of a run is larger.
    const auto smallFiles = [] {
        std::signal(SIGXFSZ, SIG_IGN);
        const rlimit limit { 64 * 1024, 64 * 1024 };
        ::setrlimit(RLIMIT_FSIZE, &limit);
    };
    struct Case {
        QStringList arguments;
        std::set<int> status;
        std::string err;
        bool smallFiles = false;
    };
    const QStringList outputs { "--out", "old.csv", "--spacetime", "old.png" };
    const Case cases[] = {
        // Paths found wrong before the run.
        { QStringList { "--test", "1", "--history", "no/such/folder/h.csv" } + outputs, { 2 },
            "cannot write 'no/such/folder/h.csv'" },
        { { "--test", "1", "--out", "new.csv", "--spacetime", "folder.png" }, { 2 }, "a folder" },
        { { "--test", "1", "--out", "old.csv", "--history", "./old.csv" }, { 2 }, "name the same file" },
        { { "--test", "1", "--out", "new.csv", "--spacetime", "new.txt" }, { 2 }, "must end in .png" },
        // An output never replaces an input, by whatever name.
        { { "--setup", "setup.csv", "--out", "setup.csv" }, { 2 },
            "--out 'setup.csv' names the file of --setup 'setup.csv'" },
        { { "--setup", "setup-link.txt", "--out", "./setup.csv" }, { 2 }, "names the file of --setup" },
        { { "--setup", "setup.csv", "--history", "setup-copy.csv" }, { 2 }, "names the file of --setup" },
        // A problem refused after the outputs were staged.
        { { "--setup", "fifo.txt", "--out", "new.csv" }, { 2 }, "FIFO" },
        { QStringList { "--sound-wave", "--periods", "1e12", "--history", "new.csv" } + outputs, { 2 },
            "--periods 1e12 was refused" },
        // A run that fails: exit 1 once it ran (2 where the reader refuses
        // such values before the run).
        { QStringList { "--setup", "blowup.txt", "--history", "new.csv" } + outputs, { 1, 2 }, "" },
        // Outputs that cannot be written in full.
        { QStringList { "--test", "1", "--history", "new.csv" } + outputs, { 1 }, "cannot write 'new.csv'", true },
        { { "--test", "1", "--cells", "1000", "--plots", "old.svg" }, { 1 }, "cannot write 'old.svg'", true },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.arguments.join(' ').toStdString());
        const Outcome o = runTamrel(QStringList { "--batch" } + c.arguments, folder.path(),
            QProcessEnvironment::systemEnvironment(), c.smallFiles ? smallFiles : std::function<void()> {});
        EXPECT_EQ(c.status.count(o.exitCode), 1u) << o.exitCode << ": " << o.err;
        EXPECT_NE(o.err.find(c.err), std::string::npos) << o.err;
        EXPECT_EQ(o.out, "");
        EXPECT_EQ(contents(), before);
    }
    // The same run, allowed to finish, replaces both.
    const Outcome ok = runTamrel(QStringList { "--batch", "--test", "1" } + outputs, folder.path());
    ASSERT_EQ(ok.exitCode, 0) << ok.err;
    const std::map<QString, QByteArray> after = contents();
    EXPECT_NE(after.at("old.csv"), before.at("old.csv"));
    EXPECT_TRUE(after.at("old.png").startsWith("\x89PNG"));
    EXPECT_EQ(after.size(), before.size());
}

// A run stopped by a signal while it runs leaves neither its outputs nor
// their temporary files, whichever signal (that can be caught) stops it.
TEST_F(ProgramTest, AStoppedBatchLeavesNoFileBehind)
{
    put("old.csv", "previous final state\n");
    const std::map<QString, QByteArray> before = contents();
    for (const int signal : { SIGTERM, SIGINT, SIGQUIT, SIGUSR1, SIGALRM, SIGPIPE }) {
        SCOPED_TRACE(signal);
        QProcess p;
        p.setWorkingDirectory(folder.path());
        // Far longer than the test waits: it is stopped as soon as its outputs are staged.
        p.start(programPath(),
            { "--batch", "--sound-wave", "--cells", "2000", "--periods", "20", "--out", "old.csv", "--history",
                "new.csv" });
        ASSERT_TRUE(p.waitForStarted(-1));
        auto staged = [&] { return contents().size() == before.size() + 2; };
        while (!staged() && p.state() == QProcess::Running)
            QThread::msleep(5);
        ASSERT_TRUE(staged()) << "the run ended before it could be stopped";
        ::kill(static_cast<pid_t>(p.processId()), signal);
        ASSERT_TRUE(p.waitForFinished(-1));
        EXPECT_EQ(p.exitStatus(), QProcess::CrashExit);
        EXPECT_EQ(contents(), before);
    }
}

// The run length and the snapshot rate are judged together: a long run at
// a lower rate fits where the long run at the old rate would not.
TEST_F(ProgramTest, RunLengthAndSnapshotRateAreJudgedTogether)
{
    BatchOptions o;
    o.cells = 5000;
    o.periods = "20";
    o.plotsPerUnit = "10";
    EXPECT_EQ(batch::setRunValues(*window, dialogs, o), std::nullopt);
    EXPECT_EQ(s().Periods, 20);
    EXPECT_EQ(s().NPlotsPerPeriod, 10);
    // Raising both, and a pair whose snapshots cannot fit, in either order.
    o.periods = "30";
    o.plotsPerUnit = "12";
    EXPECT_EQ(batch::setRunValues(*window, dialogs, o), std::nullopt);
    EXPECT_EQ(s().NPlotsPerPeriod, 12);
    o.periods = "1e6";
    EXPECT_NE(batch::setRunValues(*window, dialogs, o), std::nullopt);
}

// A set-up file sets the grid size, Courant number, run length (its stop
// time, when it names one) and snapshot rate itself: one line on standard
// error names each option it overrode and the value that stands; options that
// agree with the file go unmentioned.
TEST_F(ProgramTest, ASetupFileSaysWhichOptionsItOverrides)
{
    clickTest(*window, 2);
    dialogs.answerFile(path("setup.txt").toStdString());
    click(*window, "cmdWriteSetUp");
    ASSERT_TRUE(dialogs.messages.empty());
    const std::string cells = std::to_string(s().NGridCells);
    const std::string courant = formatGeneral(s().CourantNumber);
    const std::string periods = formatGeneral(s().Periods);
    const std::string plots = std::to_string(s().NPlotsPerPeriod);
    ASSERT_NE(cells, "50");
    ASSERT_NE(courant, "0.5");
    ASSERT_NE(periods, "0.3");
    ASSERT_NE(plots, "7");

    struct Case {
        QStringList options;
        std::string line; // "" for none
    };
    const Case cases[] = {
        { { "--cells", "50", "--courant", "0.5", "--periods", "0.3", "--plots-per-unit", "7" },
            "tamrel: set-up file 'setup.txt' overrides --cells 50 (NGridCells = " + cells
                + " stands), --courant 0.5 (CourantNumber = " + courant
                + " stands), --periods 0.3 (TStop = 0.2 stands), --plots-per-unit 7 (NPlotsPerPeriod = " + plots
                + " stands)\n" },
        // Test 2's stop time stands over any run length, that of the file too.
        { { "--periods", QString::fromStdString(periods) },
            "tamrel: set-up file 'setup.txt' overrides --periods " + periods + " (TStop = 0.2 stands)\n" },
        { { "--cells", QString::fromStdString(cells), "--courant", "0.5" },
            "tamrel: set-up file 'setup.txt' overrides --courant 0.5 (CourantNumber = " + courant + " stands)\n" },
        { { "--cells", QString::fromStdString(cells), "--courant", QString::fromStdString(courant) }, "" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.options.join(' ').toStdString());
        const Outcome o = runTamrel(QStringList { "--batch", "--setup", "setup.txt" } + c.options, folder.path());
        EXPECT_EQ(o.exitCode, 0) << o.err;
        const auto at = o.err.find("tamrel: ");
        EXPECT_EQ(at == std::string::npos ? std::string() : o.err.substr(at), c.line);
        EXPECT_EQ(o.out.rfind("time=", 0), 0u) << o.out;
    }
}
