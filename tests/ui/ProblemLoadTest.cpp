// SPDX-License-Identifier: GPL-3.0-or-later
// Loading a problem through the window: it loads into Ready only, so a run
// never holds two problems; it keeps its own stop time at any grid size; and
// the window shows the new problem at once.

#include <QLabel>
#include <QStatusBar>

#include "RunWindowTest.h"
#include "presets/ShockTubeTests.h"

using namespace tamrel;
using namespace tamrel::testing;

namespace {

class ProblemLoadTest : public RunWindowTest {
protected:
    std::string statusLine() const
    {
        return control<QLabel>(*window, "lblRunStatus")->text().toStdString();
    }
};

} // namespace

// Test 7 begun, then Test 3, in a comparison and without: the test button is
// refused while the run goes on, is paused or is over (the grid, the time and
// the history stay Test 7's), and takes after Restart.
TEST_F(ProblemLoadTest, TestButtonsLoadIntoReadyOnly)
{
    for (const bool comparing : { false, true }) {
        SCOPED_TRACE(comparing ? "comparison" : "one scheme");
        window = makeWindow();
        if (comparing) {
            ASSERT_TRUE(window->compareSchemes({ "Orvane", "Sorvi" }));
        }
        clickTest(*window, 7);
        click(*window, "cmdBegin");
        window->tick();
        const double rho40 = s().Rho[40];
        auto expectRefused = [&](const char* phase) {
            SCOPED_TRACE(phase);
            EXPECT_FALSE(testButton(*window, 3)->isEnabled());
            EXPECT_NE(testButton(*window, 3)->toolTip().toStdString().find("Restart"), std::string::npos);
            panelsOf(*window).presets.cmdTest_Click(3); // as if the button could be pressed
            EXPECT_EQ(s().TStop, 2.0);
            EXPECT_EQ(s().Rho[40], rho40);
            EXPECT_GT(s().TimeNow, 0);
        };
        expectRefused("running");
        click(*window, "cmdPause");
        expectRefused("paused");
        click(*window, "cmdRestart");
        clickTest(*window, 3);
        EXPECT_EQ(s().TStop, 0.15);
        EXPECT_EQ(s().TimeNow, 0);
        click(*window, "cmdBegin");
        runToEnd();
        EXPECT_EQ(s().TimeNow, 0.15);
        if (comparing) {
            EXPECT_EQ(panelsOf(*window).compare.record(1).TStop, 0.15); // every scheme ran Test 3
        }
    }
}

// A test's stop time is physical time: a new grid size keeps it, as the
// batch's --cells does (it once became Periods time units of the new grid).
TEST_F(ProblemLoadTest, ANewGridSizeKeepsTheTestsStopTime)
{
    for (int test = 1; test <= kShockTubeTestCount; ++test) {
        SCOPED_TRACE(test);
        clickTest(*window, test);
        setCells(*window, 2000);
        EXPECT_EQ(s().TStop, shockTubeTest(test).TStop);
        setCells(*window, 100);
        EXPECT_EQ(s().TStop, shockTubeTest(test).TStop);
    }
    // Typing a run length is the student's choice over the test's.
    clickTest(*window, 1);
    setText(box(*window, "txtNPeriods"), "2");
    EXPECT_DOUBLE_EQ(s().TStop, 2 * s().TimeUnit);
    setCells(*window, 200);
    EXPECT_DOUBLE_EQ(s().TStop, 2 * s().TimeUnit);
}

// A problem loaded after Restart shows itself at once: the space-time picture
// no longer holds the run before, the status line names the new stop time
// and cycle 0, the description names the new problem, and the scheme button
// the scheme in force. A refusal on the status line goes with the next action.
TEST_F(ProblemLoadTest, TheWindowShowsTheNewProblemAtOnce)
{
    clickTest(*window, 7);
    click(*window, "cmdBegin");
    runToEnd();
    const QImage run = spaceTimePicture(*window)->shownImage();
    ASSERT_FALSE(run.isNull());
    click(*window, "cmdRestart");
    chooseScheme("Sorvi");
    EXPECT_EQ(button(*window, "cmdNumericalScheme")->text().toStdString(), "Sorvi");
    clickTest(*window, 3);

    const QImage shown = spaceTimePicture(*window)->shownImage();
    ASSERT_FALSE(shown.isNull());
    for (int y = 0; y < shown.height(); y += 7)
        for (int x = 0; x < shown.width(); x += 7)
            ASSERT_EQ(qGray(shown.pixel(x, y)), 255) << x << "," << y;
    EXPECT_NE(statusLine().find("Ready   t = 0.0 of 0.15   cycle 0   Sorvi"), std::string::npos) << statusLine();
    EXPECT_NE(label(*window, "lblStudentID")->text().toStdString().find("XJump = 0.5"), std::string::npos);

    dialogs.answer("-1"); // difcon, refused
    for (int k = 0; k < 4; ++k)
        dialogs.answer(std::nullopt);
    click(*window, "cmdGetDiffConsts");
    EXPECT_NE(statusLineMessage(*window).find("Get difcon: -1 is outside 0 to 10"), std::string::npos);
    EXPECT_EQ(s().Difcon, 0.3);
    click(*window, "cmdSinglePlots");
    EXPECT_EQ(statusLineMessage(*window), "");
}
