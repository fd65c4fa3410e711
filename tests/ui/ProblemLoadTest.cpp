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
