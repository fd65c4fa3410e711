// SPDX-License-Identifier: GPL-3.0-or-later
// Write Setup and Read Setup through the real window: a hand-made state goes
// to a file and comes back as the same grid; a file that is rejected,
// unreadable or short, or a cancelled dialog, changes nothing.

#include <QDir>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTemporaryDir>
#include <cmath>
#include <fstream>
#include <sstream>
#include <string>
#include <sys/stat.h>
#include <vector>

#include "EditWindowTest.h"
#include "lab/LabSession.h"

using namespace tamrel;
using namespace tamrel::testing;
using tamrel::testing::EditWindowTest;
using tamrel::testing::gridAndTable;
using tamrel::testing::GridAndTable;
using tamrel::testing::selectedCells;

namespace {

std::string readText(const std::string& path)
{
    std::ifstream in(path, std::ios::binary);
    std::ostringstream text;
    text << in.rdbuf();
    return text.str();
}

void writeText(const std::string& path, const std::string& text)
{
    std::ofstream out(path, std::ios::binary | std::ios::trunc);
    out << text;
}

// The first `count` lines of a CR LF text.
std::string firstLines(const std::string& text, int count)
{
    std::size_t end = 0;
    for (int k = 0; k < count; ++k)
        end = text.find("\r\n", end) + 2;
    return text.substr(0, end);
}

// The run parameters a set-up file carries besides the table.
struct FileFields {
    Long NGridCells, NPlotsPerPeriod;
    double SoundSpeed0, CourantNumber, Periods, RhoMax, PMin;
    bool operator==(const FileFields&) const = default;
};

FileFields fileFields(const ExperimentState& s)
{
    return { s.NGridCells, s.NPlotsPerPeriod, s.SoundSpeed0, s.CourantNumber, s.Periods, s.RhoMax, s.PMin };
}

class EditSetupFileTest : public EditWindowTest {
protected:
    void SetUp() override
    {
        EditWindowTest::SetUp();
        ASSERT_TRUE(dir.isValid());
    }
    std::string path(const char* name = "setup.txt") const { return dir.filePath(name).toStdString(); }

    // Cells 1 and 100 of the start-up problem, and two cells in between.
    void handMadeState()
    {
        button(*window, "cmdReset")->click();
        selectCell(30, "0.5", "0.25", "0.125");
        selectCell(70, "2.123456789", "7.3", "-0.3");
    }
    void writeSetup(const std::string& file)
    {
        dialogs.answerFile(file);
        button(*window, "cmdWriteSetUp")->click();
    }
    void readSetup(const std::string& file)
    {
        dialogs.answerFile(file);
        button(*window, "cmdReadSetUp")->click();
    }
    // The replay passes every value through its box, which keeps six
    // decimals at most.
    static void expectSameGrid(const GridAndTable& a, const GridAndTable& b)
    {
        ASSERT_EQ(a.NGridCells, b.NGridCells);
        EXPECT_EQ(a.MSelected, b.MSelected);
        for (std::size_t i = 0; i < a.Rho.size(); ++i) {
            SCOPED_TRACE("cell " + std::to_string(i));
            EXPECT_NEAR(a.Rho[i], b.Rho[i], 1e-6);
            EXPECT_NEAR(a.P[i], b.P[i], 1e-6);
            EXPECT_NEAR(a.VX[i], b.VX[i], 1e-6);
        }
    }

    QTemporaryDir dir;
};

TEST_F(EditSetupFileTest, ReadingBackAWrittenSetupRebuildsTheSameGrid)
{
    handMadeState();
    const GridAndTable written = gridAndTable(s());
    const FileFields fields = fileFields(s());
    const Long boundary = s().MnBdry;
    writeSetup(path());

    clickTest(*window, 3);
    ASSERT_FALSE(gridAndTable(s()) == written);
    ASSERT_NE(s().MnBdry, boundary);

    readSetup(path());
    expectSameGrid(gridAndTable(s()), written);
    EXPECT_EQ(selectedCells(s()), (std::vector<Long> { 1, 30, 70, 100 }));
    EXPECT_DOUBLE_EQ(s().RhoSelected[3], 2.123457); // as its box showed it
    EXPECT_EQ(s().NGridCells, fields.NGridCells);
    EXPECT_EQ(s().NPlotsPerPeriod, fields.NPlotsPerPeriod);
    EXPECT_DOUBLE_EQ(s().Periods, fields.Periods);
    EXPECT_DOUBLE_EQ(s().CourantNumber, fields.CourantNumber);
    EXPECT_EQ(s().MnBdry, boundary); // the file holds the boundary types
    EXPECT_EQ(s().Stopped, 1);
    EXPECT_EQ(s().NStoredStates, 0);
    EXPECT_DOUBLE_EQ(s().STP[30], 0.25); // history row 0 holds the rebuilt grid
    EXPECT_TRUE(dialogs.messages.empty());
}

TEST_F(EditSetupFileTest, MisspeltKeyShowsTheMessageAndChangesNothing)
{
    handMadeState();
    writeSetup(path());
    std::string text = readText(path());
    ASSERT_EQ(text.find("NGridCells  "), text.find("\r\n") + 2);
    text.replace(text.find("NGridCells"), 10, "NGridcells");
    writeText(path(), text);

    clickTest(*window, 3);
    const GridAndTable before = gridAndTable(s());
    const FileFields fields = fileFields(s());
    readSetup(path());
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_EQ(dialogs.messages[0],
        "I expected to read the string 'NGridCells' but got instead NGridcells\r\n"
        "You screwed up.   This input file will be ignored.");
    EXPECT_EQ(gridAndTable(s()), before);
    EXPECT_TRUE(fileFields(s()) == fields);
}

// A file cut short or holding letters for a number changes nothing and says
// which line and key; a file that cannot be opened changes nothing silently.
TEST_F(EditSetupFileTest, ShortOrMalformedFileSaysWhereAndChangesNothing)
{
    handMadeState();
    writeSetup(path());
    const std::string text = readText(path());
    writeText(path("short.txt"), firstLines(text, 21)); // a table row missing
    writeText(path("keys.txt"), firstLines(text, 10));
    writeText(path("empty.txt"), "");
    std::string notANumber = text;
    notANumber.replace(notANumber.find(" 0.5 "), 5, " abc ");
    writeText(path("letters.txt"), notANumber);

    clickTest(*window, 3);
    const GridAndTable before = gridAndTable(s());
    const FileFields fields = fileFields(s());
    const std::pair<const char*, const char*> cases[] = {
        { "missing.txt", "" },
        { "short.txt", "of entry 3 on line 22 but got instead the end of the file" },
        { "keys.txt", "the string 'Periods' on line 11 but got instead the end of the file" },
        { "empty.txt", "the string 'NDifferenceScheme' on line 1 but got instead the end of the file" },
        { "letters.txt", " but got instead abc" },
    };
    for (const auto& [name, says] : cases) {
        SCOPED_TRACE(name);
        dialogs.messages.clear();
        readSetup(path(name));
        EXPECT_EQ(gridAndTable(s()), before);
        EXPECT_TRUE(fileFields(s()) == fields);
        if (!*says) {
            EXPECT_TRUE(dialogs.messages.empty());
            continue;
        }
        ASSERT_EQ(dialogs.messages.size(), 1u);
        EXPECT_NE(dialogs.messages[0].find(says), std::string::npos) << dialogs.messages[0];
    }
}

// Read Setup takes regular files only: a FIFO no one writes to is refused
// at once (the window does not hang), a folder or a device says what it is.
TEST_F(EditSetupFileTest, AnythingButARegularFileIsRefusedAndChangesNothing)
{
    ASSERT_EQ(::mkfifo(path("fifo.txt").c_str(), 0600), 0);
    clickTest(*window, 3);
    const GridAndTable before = gridAndTable(s());
    const FileFields fields = fileFields(s());
    struct Case {
        std::string file;
        std::string kind;
    };
    for (const Case& c : { Case { path("fifo.txt"), "a FIFO (named pipe)" },
             Case { dir.path().toStdString(), "a folder" }, Case { "/dev/zero", "a device" } }) {
        SCOPED_TRACE(c.file);
        dialogs.messages.clear();
        readSetup(c.file);
        ASSERT_EQ(dialogs.messages.size(), 1u);
        EXPECT_EQ(dialogs.messages[0],
            "I expected to read a regular file but got instead " + c.kind
                + "\r\nYou screwed up.   This input file will be ignored.");
        EXPECT_EQ(gridAndTable(s()), before);
        EXPECT_TRUE(fileFields(s()) == fields);
    }
}

TEST_F(EditSetupFileTest, CancelledDialogsAndAFailedWriteChangeNothing)
{
    handMadeState();
    const GridAndTable before = gridAndTable(s());
    button(*window, "cmdWriteSetUp")->click(); // no file chosen
    button(*window, "cmdReadSetUp")->click();
    EXPECT_TRUE(dialogs.messages.empty());
    // A file that cannot be created is said so, not passed off as saved.
    writeSetup(path("no such folder/setup.txt"));
    EXPECT_EQ(gridAndTable(s()), before);
    EXPECT_TRUE(QDir(dir.path()).isEmpty());
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_NE(dialogs.messages[0].find("could not be written"), std::string::npos);
}

TEST_F(EditSetupFileTest, FileWithAnotherGridSizeRebuildsAtThatSize)
{
    type(box(*window, "txtNGridCells"), "50");
    selectCell(20, "0.5", "0.25", "0.125");
    const GridAndTable written = gridAndTable(s());
    writeSetup(path());
    type(box(*window, "txtNGridCells"), "100");
    ASSERT_EQ(s().NGridCells, 100);

    readSetup(path());
    expectSameGrid(gridAndTable(s()), written);
    EXPECT_EQ(box(*window, "txtNGridCells")->text().toStdString(), "50");
    EXPECT_EQ(bar(*window, "hsbMSelected")->maximum(), 50);
    EXPECT_TRUE(s().Rho.contains(51));
    EXPECT_DOUBLE_EQ(s().X[51], 1);
}

TEST_F(EditSetupFileTest, GridSizeTheBoxAlreadyShowsStillResizesTheCellBar)
{
    type(box(*window, "txtNGridCells"), "7");
    writeSetup(path());
    type(box(*window, "txtNGridCells"), "100");
    selectCell(40, "0.5", "0.25", "0");
    selectCell(60, "0.5", "0.25", "0");
    ASSERT_EQ(s().NSelected, 8);
    type(box(*window, "txtNGridCells"), "7"); // fewer cells than selected: refused
    ASSERT_EQ(s().NGridCells, 100);

    readSetup(path());
    EXPECT_EQ(s().NGridCells, 7);
    EXPECT_EQ(bar(*window, "hsbMSelected")->maximum(), 7);
    EXPECT_LE(s().MCurrent, 7);
}

// The window's rebuild is the session's: a file whose grid size and Courant
// number differ from what the boxes show rebuilds once more on the way, and
// the Courant number takes the two decimals its box shows (0.8125 runs at
// 0.81). The grids agree bit for bit after the load and after the run.
TEST_F(EditSetupFileTest, FileWithOtherBoxesLoadsAsTheSessionLoadsIt)
{
    type(box(*window, "txtNGridCells"), "60");
    type(box(*window, "txtCourantNumber"), "0.8125");
    selectCell(20, "0.5", "0.25", "0.125");
    selectCell(41, "2.123456789", "7.3", "-0.3");
    ASSERT_EQ(s().CourantNumber, 0.8125);
    writeSetup(path());
    type(box(*window, "txtNGridCells"), "100");
    type(box(*window, "txtCourantNumber"), "0.5");
    ASSERT_EQ(s().NGridCells, 100);

    readSetup(path());
    lab::LabSession session;
    ASSERT_EQ(session.loadSetupFile(path()), std::nullopt);
    const ExperimentState& t = session.record();
    EXPECT_EQ(s().CourantNumber, 0.81);
    EXPECT_EQ(box(*window, "txtNGridCells")->text().toStdString(), "60");
    EXPECT_EQ(box(*window, "txtCourantNumber")->text().toStdString(), "0.81");
    EXPECT_EQ(s().CourantNumber, t.CourantNumber);
    EXPECT_EQ(s().TStop, t.TStop);
    EXPECT_TRUE(gridAndTable(s()) == gridAndTable(t));
    for (long i = 0; i <= t.NGridCells + 1; ++i)
        ASSERT_EQ(s().SoundSpeed[i], t.SoundSpeed[i]) << "cell " << i;

    click(*window, "cmdBegin");
    runToEnd();
    ASSERT_EQ(session.runToEnd(), std::nullopt);
    EXPECT_EQ(s().NCycle, t.NCycle);
    EXPECT_EQ(s().TimeNow, t.TimeNow);
    EXPECT_TRUE(gridAndTable(s()) == gridAndTable(t));
}

// A set-up loads into Ready only: during or after a run Read Setup does
// nothing (its button is disabled, saying to Restart first), so the run's
// history and time never meet another problem.
TEST_F(EditSetupFileTest, ReadingDuringOrAfterARunIsRefused)
{
    handMadeState();
    writeSetup(path());
    clickTest(*window, 3);
    const GridAndTable test3 = gridAndTable(s());
    for (const bool running : { true, false }) {
        SCOPED_TRACE(running ? "running" : "halted");
        s().Stopped = running ? 0 : 1;
        s().TimeNow = 0.3;
        button(*window, "cmdReadSetUp")->click();
        EXPECT_EQ(s().TimeNow, 0.3);
        EXPECT_TRUE(gridAndTable(s()) == test3);
    }
    EXPECT_FALSE(button(*window, "cmdReadSetUp")->isEnabled());
    EXPECT_NE(button(*window, "cmdReadSetUp")->toolTip().toStdString().find("Restart"), std::string::npos);
}

// Test 1 written and read back, in a window just started, is Test 1 again:
// its stop time and its open ends come through the file (the walls of the
// start-up problem once took their place, and the stop time became Periods
// time units).
TEST_F(EditSetupFileTest, ATestReadBackKeepsItsStopTimeAndBoundaryTypes)
{
    clickTest(*window, 1);
    writeSetup(path());
    window = makeWindow();
    ASSERT_EQ(s().MnBdry, 1);
    ASSERT_NE(s().TStop, 0.2);
    readSetup(path());
    EXPECT_EQ(s().TStop, 0.2);
    EXPECT_EQ(s().MnBdry, 2);
    EXPECT_EQ(s().MxBdry, 2);
    click(*window, "cmdBegin");
    for (int i = 0; i < 100000 && s().Stopped == 0; ++i)
        window->tick();
    EXPECT_EQ(s().TimeNow, 0.2);
    EXPECT_NEAR(s().Rho[1], 1.0, 1e-6); // the left state flows in through the open end
    EXPECT_NEAR(s().VX[1], 0.75, 1e-6);
}

TEST_F(EditSetupFileTest, ReplayedPressureTooSmallForItsBoxKeepsTheFloor)
{
    button(*window, "cmdReset")->click();
    selectCell(50, "1", "1e-7", "0");
    writeSetup(path());
    clickTest(*window, 3);

    readSetup(path());
    const ExperimentState& st = s();
    ASSERT_EQ(selectedCells(st), (std::vector<Long> { 1, 50, 100 }));
    EXPECT_DOUBLE_EQ(st.PSelected[2], st.PFloor); // its box showed "0.0000"
    EXPECT_DOUBLE_EQ(st.P[50], st.PFloor);
    // The cells on either side still lie on the lines to their neighbours.
    for (long i = 2; i < 50; ++i)
        EXPECT_NEAR(st.P[i], 1000 + (st.PFloor - 1000) * (i - 1) / 49.0, 1e-9) << "cell " << i;
    for (long i = 51; i < 100; ++i)
        EXPECT_NEAR(st.P[i], st.PFloor + (100 - st.PFloor) * (i - 50) / 50.0, 1e-9) << "cell " << i;
    for (long i = 0; i <= 101; ++i)
        EXPECT_TRUE(std::isfinite(st.SoundSpeed[i]) && st.SoundSpeed[i] > 0) << "cell " << i;
}

} // namespace
