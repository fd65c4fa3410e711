// SPDX-License-Identifier: GPL-3.0-or-later
// Run control through the window: Begin, Pause, Continue and Restart, the
// metronome tick with stand-in and real kernels, the meter's captions, the
// scheme choice and the shock constants.

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <cmath>

#include "RunWindowTest.h"
#include "ui/kit/LinePlotPicture.h"
#include "ui/kit/PictureButton.h"
#include "common/Format.h"
#include "presets/ShockTubeTests.h"

using namespace tamrel;
using namespace tamrel::testing;
using tamrel::testing::fakeKernel;
using tamrel::testing::History;
using tamrel::testing::historyOf;
using tamrel::testing::RunWindowTest;
using tamrel::testing::standInLog;

namespace {

// The fields a command that "changes nothing" must leave, with the boxes
// that show them.
struct RunFields {
    double TimeNow, Dt, DtOld, TNextPlot, RhoMin, RhoMax, MflopsTotal, MeterSeconds;
    Long Stopped, NStoredStates, StoredStateShown, STRowOffset, NCycle;
    std::vector<double> grid;
    History history;
    std::string time, stored;
    int barMax;
    bool operator==(const RunFields&) const = default;
};

RunFields fieldsOf(const frmTamrel& w)
{
    const ExperimentState& s = stateOf(w);
    RunFields f { s.TimeNow, s.Dt, s.DtOld, s.TNextPlot, s.RhoMin, s.RhoMax, s.MflopsTotal, s.MeterSeconds,
        s.Stopped, s.NStoredStates, s.StoredStateShown, s.STRowOffset, s.NCycle, {}, historyOf(s),
        textOf(box(w, "txtTime")), textOf(box(w, "txtStoredStateNumber")),
        bar(w, "vsbStoredStateNumber")->maximum() };
    for (long i = 0; i <= s.NGridCells + 1; ++i)
        for (double v : { s.Rho[i], s.P[i], s.VX[i], s.VY[i], s.FSmoke[i] })
            f.grid.push_back(v);
    return f;
}

// Whether the grid holds history row `row` as a restore puts it back.
bool gridIsRow(const ExperimentState& s, long row)
{
    const long o = row * (s.NGridCells + 2);
    for (long i = 1; i <= s.NGridCells; ++i)
        if (s.Rho[i] != s.STRho[o + i] || s.P[i] != s.STP[o + i] || s.VX[i] != s.STVX[o + i])
            return false;
    return true;
}

} // namespace

// --- The run states ----------------------------------------------------------

TEST_F(RunWindowTest, RunStatesMoveAsTheButtonsSay)
{
    clickTest(*window, 1);
    const double firstDt = s().Dt;

    // Pause in Ready changes nothing.
    RunFields before = fieldsOf(*window);
    click(*window, "cmdPause");
    EXPECT_EQ(fieldsOf(*window), before);

    click(*window, "cmdBegin");
    EXPECT_EQ(s().Stopped, 0);
    EXPECT_EQ(s().NStoredStates, 1);
    EXPECT_EQ(s().StoredTime[0], 0.0);
    EXPECT_EQ(s().Dt, firstDt); // Begin leaves the time step
    EXPECT_EQ(button(*window, "cmdNumericalScheme")->text(), "Orvane");

    click(*window, "cmdMultiplePlots");
    window->tick();
    EXPECT_GT(s().TimeNow, 0);
    EXPECT_EQ(textOf(box(*window, "txtTime")), timeText(s().TimeNow));
    // The tick ends with single plots of the new state, cleared and repainted.
    EXPECT_EQ(s().MultiplePlots, 0);
    const QImage afterTick = plot(*window, "pctDensityPlot")->surface().copy();
    panelsOf(*window).plots.clearAndRepaint();
    EXPECT_EQ(afterTick, plot(*window, "pctDensityPlot")->surface());

    click(*window, "cmdPause");
    EXPECT_EQ(s().Stopped, 1);
    // Halted: Pause again, Begin and a tick change nothing.
    before = fieldsOf(*window);
    click(*window, "cmdPause");
    click(*window, "cmdBegin");
    window->tick();
    EXPECT_EQ(fieldsOf(*window), before);

    click(*window, "cmdContinue");
    EXPECT_EQ(s().Stopped, 0);
    window->tick();
    // Continue while running changes nothing either.
    before = fieldsOf(*window);
    click(*window, "cmdContinue");
    EXPECT_EQ(fieldsOf(*window), before);
    runToEnd();
    ASSERT_EQ(s().Stopped, 1);
    ASSERT_GT(s().NStoredStates, 2);

    // Restart from a browsed row: back to Ready at time 0 with row 0 only.
    bar(*window, "vsbStoredStateNumber")->setValue(2);
    click(*window, "cmdRestart");
    EXPECT_EQ(s().TimeNow, 0);
    EXPECT_EQ(s().Stopped, 1);
    EXPECT_EQ(s().NStoredStates, 1);
    EXPECT_EQ(s().MflopsTotal, 0);
    EXPECT_EQ(s().MeterSeconds, 0);
    EXPECT_EQ(s().TNextPlot, s().DtPlot);
    EXPECT_EQ(textOf(box(*window, "txtTime")), "t=0.0");
    EXPECT_EQ(textOf(box(*window, "txtCourantNumber")), "0.85");
    EXPECT_EQ(bar(*window, "vsbStoredStateNumber")->minimum(), 0);
    EXPECT_EQ(bar(*window, "vsbStoredStateNumber")->maximum(), 0);
    // Test 1's state again (in single precision) and its first time step,
    // a tenth of the target Courant number.
    EXPECT_EQ(s().Rho[30], 1.0);
    EXPECT_EQ(s().Rho[31], 0.125);
    EXPECT_EQ(s().P[31], static_cast<double>(0.1f));
    EXPECT_EQ(s().VX[30], 0.75);
    EXPECT_NEAR(s().Dt, 0.085 * 0.01 / (0.75 + std::sqrt(1.4)), 1e-10);
    EXPECT_LE(s().Dt, s().DtPlot);
    EXPECT_EQ(s().DtOld, s().Dt);

    // Ready again: Begin starts a run.
    click(*window, "cmdBegin");
    EXPECT_EQ(s().Stopped, 0);
}

TEST_F(RunWindowTest, ContinueWithoutAStoredRowDoesNothing)
{
    ASSERT_EQ(s().NStoredStates, 0); // start-up
    const RunFields before = fieldsOf(*window);
    click(*window, "cmdContinue");
    EXPECT_EQ(fieldsOf(*window), before);
}

// A run paused after every tick and continued at once stores the same rows
// at the same times as a run left alone: Continue does not take the time
// back to the newest row while the grid is still at the time it halted.
TEST_F(RunWindowTest, PauseAndContinueGoOnAsIfNeverPaused)
{
    clickTest(*window, 1);
    click(*window, "cmdBegin");
    runToEnd();
    const History alone = historyOf(s());

    auto paused = makeWindow();
    clickTest(*paused, 1);
    click(*paused, "cmdBegin");
    for (int tick = 0; tick < 10000 && stateOf(*paused).Stopped == 0; ++tick) {
        paused->tick();
        if (stateOf(*paused).Stopped != 0)
            break;
        click(*paused, "cmdPause");
        click(*paused, "cmdContinue");
        ASSERT_EQ(stateOf(*paused).Stopped, 0);
    }
    EXPECT_EQ(historyOf(stateOf(*paused)), alone);
}

// After browsing, Continue puts the newest row back and goes on from its time.
TEST_F(RunWindowTest, ContinueAfterBrowsingGoesOnFromTheNewestRow)
{
    clickTest(*window, 1);
    click(*window, "cmdBegin");
    while (s().NStoredStates < 4 && s().Stopped == 0)
        window->tick();
    click(*window, "cmdPause");
    const long newest = s().NStoredStates - 1;

    bar(*window, "vsbStoredStateNumber")->setValue(1);
    ASSERT_TRUE(gridIsRow(s(), 1));
    click(*window, "cmdContinue");
    EXPECT_EQ(s().Stopped, 0);
    EXPECT_EQ(s().StoredStateShown, newest);
    EXPECT_EQ(s().TimeNow, s().StoredTime[newest]);
    EXPECT_TRUE(gridIsRow(s(), newest));

    runToEnd();
    EXPECT_FALSE(window->runFaulted());
    EXPECT_EQ(s().TimeNow, s().TStop);
    for (long r = 1; r < s().NStoredStates; ++r)
        EXPECT_GT(s().StoredTime[r], s().StoredTime[r - 1]) << r;
}

TEST_F(RunWindowTest, AnUnknownSchemeCannotBegin)
{
    s().SchemeName = "Bogus";
    const RunFields before = fieldsOf(*window);
    click(*window, "cmdBegin");
    EXPECT_EQ(fieldsOf(*window), before);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_NE(dialogs.messages[0].find("\"Bogus\""), std::string::npos) << dialogs.messages[0];
}

// --- The tick ------------------------------------------------------------------

TEST_F(RunWindowTest, TickRunsStepsPerTickInStripsOfTheSchemesLength)
{
    struct Case {
        std::string scheme;
        long cells, steps;
        std::vector<long> strips;
    };
    const Case cases[] = {
        { "Orvane", 29, 1, { 29 } },
        { "Orvane", 100, 3, { 100 } },
        { "Orvane", 101, 3, { 51, 50 } },
        { "Orvane32", 401, 13, { 134, 134, 133 } },
        { "Lentor32", 200, 6, { 200 } },
        { "Sorvi", 201, 6, { 101, 100 } },
        { "Mixtal32", 5000, 166, { 2500, 2500 } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.scheme + " on " + std::to_string(c.cells) + " cells");
        auto w = makeWindow();
        useStandIns(*w);
        setCells(*w, c.cells);
        chooseScheme(*w, c.scheme);
        clickTest(*w, 1);
        click(*w, "cmdBegin");
        standInLog().stripLengths.clear();
        const long cycles = stateOf(*w).NCycle;
        w->tick();
        EXPECT_EQ(w->acceptedSteps(), c.steps);
        EXPECT_EQ(stateOf(*w).NCycle - cycles, c.steps); // no attempt was rejected
        std::vector<long> expected;
        for (long k = 0; k < c.steps; ++k)
            expected.insert(expected.end(), c.strips.begin(), c.strips.end());
        EXPECT_EQ(standInLog().stripLengths, expected);
        EXPECT_EQ(fakeKernel().layoutErrors, 0);
    }
}

TEST_F(RunWindowTest, SmallSoundWaveTakesATenthOverDtStepsPerTick)
{
    useStandIns();
    for (const char* a : { "0.01", "1", "0", "1", "0", "1", "0" }) // a small R+ wave
        dialogs.answer(a);
    click(*window, "cmdSoundWave");
    click(*window, "cmdBegin");
    ASSERT_EQ(s().RiemannPlots, 1);
    ASSERT_LT(s().RhoMax, 1.08);
    s().Dt = 1.0 / 2500;
    s().DtPlot = 1.0; // no snapshot within the tick
    s().TNextPlot = 1.0;
    standInLog().courants = { 0.9 * s().CourantNumber }; // Dt stays
    window->tick();
    EXPECT_EQ(window->acceptedSteps(), 250);
    EXPECT_EQ(s().Dt, 1.0 / 2500);
}

// A Courant number of exactly 1 rejects the step, which is tried again at
// 0.9 times the step; below 0.9 times the target the step grows by 2.5
// percent, at exactly 0.9 times the target it stays.
TEST_F(RunWindowTest, CourantOfOneRejectsTheStep)
{
    struct Case {
        std::vector<double> courants;
        long attempts;
        double firstFactor, growth;
    };
    const double target = 0.85;
    const Case cases[] = {
        { { 1.0, 0.5 }, 4, 0.9, 1.025 },
        { { 0.9 * target }, 3, 1.0, 1.0 },
        { { target }, 3, 1.0, 1.0 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.courants.front());
        auto w = makeWindow();
        useStandIns(*w);
        clickTest(*w, 1);
        click(*w, "cmdBegin");
        standInLog().courants.assign(c.courants.begin(), c.courants.end());
        const double dt0 = stateOf(*w).Dt;
        const long cycles = stateOf(*w).NCycle;
        w->tick();

        double dt = c.firstFactor * dt0, t = 0;
        for (int k = 0; k < 3; ++k) {
            t = t + dt;
            dt = c.growth * dt;
        }
        EXPECT_EQ(stateOf(*w).NCycle - cycles, c.attempts);
        EXPECT_EQ(w->acceptedSteps(), 3);
        EXPECT_DOUBLE_EQ(stateOf(*w).TimeNow, t);
        EXPECT_DOUBLE_EQ(stateOf(*w).Dt, dt);
    }
}

// The run ends exactly at TStop with a last row there, the time box and
// the stored-state controls showing it; Continue then says the run is over
// and changes nothing.
TEST_F(RunWindowTest, RunEndsAtItsStopTimeAndContinueSaysItIsOver)
{
    clickTest(*window, 1);
    click(*window, "cmdBegin");
    s().TStop = 2.5 * s().DtPlot; // between two snapshot times
    runToEnd();
    EXPECT_FALSE(window->runFaulted());
    EXPECT_EQ(s().Stopped, 1);
    EXPECT_EQ(s().TimeNow, s().TStop);
    ASSERT_EQ(s().NStoredStates, 4); // rows 0..2 at the snapshot times, 3 at TStop
    EXPECT_EQ(s().StoredTime[3], s().TStop);
    EXPECT_LT(s().StoredTime[2], s().TStop);
    EXPECT_EQ(textOf(box(*window, "txtTime")), timeText(s().TStop));
    EXPECT_EQ(textOf(box(*window, "txtStoredStateNumber")), "3");
    EXPECT_EQ(bar(*window, "vsbStoredStateNumber")->maximum(), 3);

    bar(*window, "vsbStoredStateNumber")->setValue(1); // browsing back does not reopen the run
    const RunFields before = fieldsOf(*window);
    const auto messages = dialogs.messages.size();
    // The button is greyed out and its tool tip says why; the handler itself
    // (reached from a script) refuses as well, saying so.
    EXPECT_FALSE(button(*window, "cmdContinue")->isEnabled());
    EXPECT_NE(button(*window, "cmdContinue")->toolTip().toStdString().find("The run is over"), std::string::npos);
    click(*window, "cmdContinue");
    panels().run.cmdContinue_Click();
    window->tick();
    EXPECT_EQ(fieldsOf(*window), before);
    ASSERT_EQ(dialogs.messages.size(), messages + 1);
    EXPECT_NE(dialogs.messages.back().find("The run is over"), std::string::npos) << dialogs.messages.back();
}

// The history holds the whole run, whatever NPlotsTotal says.
TEST_F(RunWindowTest, TheHistoryHoldsTheRunToItsStopTime)
{
    setText(box(*window, "txtNPeriods"), "0.005"); // 400 per unit: 2 rows
    ASSERT_EQ(s().NPlotsTotal, 2);
    clickTest(*window, 1);
    s().TStop = 4.5 * s().DtPlot;
    click(*window, "cmdBegin");
    runToEnd();
    EXPECT_FALSE(window->runFaulted());
    EXPECT_EQ(s().Stopped, 1);
    EXPECT_EQ(s().TimeNow, s().TStop);
    ASSERT_EQ(s().NStoredStates, 6); // rows 0..4, then TStop
    EXPECT_EQ(s().StoredTime[5], s().TStop);
    EXPECT_EQ(textOf(box(*window, "txtStoredStateNumber")), "5");
}

// A history that cannot hold the run (its memory limit) ends the run with
// its last row and says so; Continue then refuses to go on unstored.
TEST_F(RunWindowTest, AFullHistoryEndsTheRunAndSaysSo)
{
    clickTest(*window, 1);
    click(*window, "cmdBegin");
    allocateHistoryRows(s(), 3); // as if the memory limit allowed three rows
    s().StoredTime[0] = 0;
    runToEnd();
    EXPECT_TRUE(window->runFaulted());
    EXPECT_EQ(s().Stopped, 1);
    EXPECT_EQ(s().NStoredStates, 3);
    EXPECT_LT(s().TimeNow, s().TStop);
    EXPECT_EQ(s().TimeNow, s().StoredTime[2]);
    ASSERT_FALSE(dialogs.messages.empty());
    EXPECT_NE(dialogs.messages.back().find("history is full"), std::string::npos) << dialogs.messages.back();

    click(*window, "cmdContinue");
    EXPECT_EQ(s().Stopped, 1);
    EXPECT_NE(dialogs.messages.back().find("history is full"), std::string::npos) << dialogs.messages.back();
}

TEST_F(RunWindowTest, MoreThanTwoThousandRowsAreStoredWithTheirTimes)
{
    setText(box(*window, "txtNPlotsPerPeriod"), "4000");
    ASSERT_GT(s().NPlotsTotal, 2600);
    clickTest(*window, 1);
    click(*window, "cmdBegin");
    s().TStop = 2500.5 * s().DtPlot;
    runToEnd();
    EXPECT_FALSE(window->runFaulted());
    ASSERT_GE(s().NStoredStates, 2501);
    const long last = s().NStoredStates - 1;
    EXPECT_EQ(s().StoredTime[last], s().TimeNow);
    for (long r = 1; r <= last; ++r)
        ASSERT_GT(s().StoredTime[r], s().StoredTime[r - 1]) << r;
    EXPECT_GT(s().STRho[last * (s().NGridCells + 2) + 50], 0.0f);
    // The newest rows can be shown.
    bar(*window, "vsbStoredStateNumber")->setValue(2400);
    EXPECT_EQ(textOf(box(*window, "txtTime")), timeText(s().StoredTime[2400]));
}

TEST_F(RunWindowTest, NonFiniteStateHaltsTheRunWithAMessage)
{
    useStandIns();
    clickTest(*window, 1);
    click(*window, "cmdBegin");
    while (s().NStoredStates < 3)
        window->tick();
    const History history = historyOf(s());
    std::vector<double> grid;
    for (long i = 1; i <= s().NGridCells; ++i)
        grid.push_back(s().Rho[i]);
    const double time = s().TimeNow;

    fakeKernel().nanCell = 50;
    window->tick();
    EXPECT_TRUE(window->runFaulted());
    EXPECT_EQ(s().Stopped, 1);
    EXPECT_EQ(s().TimeNow, time);
    EXPECT_EQ(historyOf(s()), history);
    std::vector<double> after;
    for (long i = 1; i <= s().NGridCells; ++i)
        after.push_back(s().Rho[i]);
    EXPECT_EQ(after, grid);
    ASSERT_EQ(dialogs.messages.size(), 1u);
    const std::string& m = dialogs.messages[0];
    EXPECT_NE(m.find("t=" + formatGeneral(time)), std::string::npos) << m;
    EXPECT_NE(m.find("cycle " + std::to_string(s().NCycle)), std::string::npos) << m;
    EXPECT_NE(m.find("cell 50"), std::string::npos) << m;

    // Continue goes on from where the run halted.
    fakeKernel().nanCell = -1;
    click(*window, "cmdContinue");
    EXPECT_FALSE(window->runFaulted());
    EXPECT_EQ(s().TimeNow, time);
    window->tick();
    EXPECT_GT(s().TimeNow, time);

    // Restart and Begin start a new run.
    click(*window, "cmdRestart");
    EXPECT_FALSE(window->runFaulted());
    click(*window, "cmdBegin");
    window->tick();
    EXPECT_FALSE(window->runFaulted());
    EXPECT_GT(s().TimeNow, 0);
}

// --- The meter ---------------------------------------------------------------

TEST_F(RunWindowTest, MeterShowsTheKernelsCountsPerCell)
{
    useStandIns();
    fakeKernel().opsPerCall = 40000;
    chooseScheme("Orvane", "1");
    ASSERT_EQ(s().MeterOn, 1);
    clickTest(*window, 1);
    click(*window, "cmdBegin");
    window->tick(); // 3 steps, 801 repetitions of one strip each
    ASSERT_EQ(window->acceptedSteps(), 3);

    EXPECT_NEAR(s().MflopsTotal, 3 * 40000 * 801 * 1e-6, 1e-9);
    EXPECT_EQ(testButton(*window, 1)->text(), "Mflop/s");
    EXPECT_EQ(testButton(*window, 2)->text().toStdString(), formatPattern(s().MflopRate, "##0"));
    EXPECT_EQ(testButton(*window, 6)->text(), "flops /");
    EXPECT_EQ(testButton(*window, 7)->text(), "cell =");
    EXPECT_EQ(testButton(*window, 8)->text(), "400");
    EXPECT_EQ(testButton(*window, 3)->text(), "Test 3");
    // The stand-in counts k operations of kind k+1 per cell.
    EXPECT_EQ(label(*window, "lblStudentID")->text().toStdString(),
        "flops / cell = 400,    adds / cell = 1,    mults / cell = 2,    cvmgms / cell = 4,    recips / cell = 3, "
        "   "
        "sqrts / cell = 11.0,    exps / cell = 7,    ");

    // Restart: the totals start again; the captions keep their texts.
    click(*window, "cmdRestart");
    EXPECT_EQ(s().MflopsTotal, 0);
    EXPECT_EQ(s().MeterSeconds, 0);
    EXPECT_EQ(testButton(*window, 8)->text(), "400");
    click(*window, "cmdBegin");
    window->tick();
    EXPECT_NEAR(s().MflopsTotal, 3 * 40000 * 801 * 1e-6, 1e-9);
}

TEST_F(RunWindowTest, WithoutTheMeterTheCaptionsStay)
{
    useStandIns();
    fakeKernel().opsPerCall = 40000;
    click(*window, "cmdBegin");
    const QString caption = label(*window, "lblStudentID")->text();
    window->tick();
    for (int t = 1; t <= 8; ++t)
        EXPECT_EQ(testButton(*window, t)->text(), QString("Test %1").arg(t));
    EXPECT_EQ(label(*window, "lblStudentID")->text(), caption);
    EXPECT_EQ(s().MflopsTotal, 0);
}

// --- Scheme choice and shock constants ---------------------------------------

TEST_F(RunWindowTest, SchemeDialogTakesOnlyTheFiveNames)
{
    struct Case {
        std::vector<std::optional<std::string>> answers; // names only; the meter's default is taken
        std::string scheme;
    };
    const Case cases[] = {
        { { "Orvane32" }, "Orvane32" },
        { { "orvane32" }, "Orvane32" }, // names compare without case
        { { "SORVI" }, "Sorvi" },
        { { "bogus", "mixtal32" }, "Mixtal32" },
        { { "bogus", "still bogus" }, "Lentor32" }, // the scheme in force stays
        { { std::nullopt }, "Lentor32" }, // cancel keeps it, and asks no more
        { { "" }, "Lentor32" },
        { { "bogus", std::nullopt }, "Lentor32" },
    };
    const std::string prompt = "Type the name of the numerical scheme.  Choose from:  Orvane (64-bit), Orvane32, "
                               "Lentor32, Mixtal32, or Sorvi (32-bit).";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.scheme);
        s().SchemeName = "Lentor32";
        dialogs.asked.clear();
        for (const auto& a : c.answers)
            dialogs.answer(a);
        click(*window, "cmdNumericalScheme");
        EXPECT_EQ(s().SchemeName, c.scheme);
        ASSERT_EQ(dialogs.asked.size(), c.answers.size() + 1);
        EXPECT_EQ(dialogs.asked[0].prompt, prompt);
        EXPECT_EQ(dialogs.asked[0].title, "Specify Scheme");
        EXPECT_EQ(dialogs.asked[0].defaultAnswer, "Mixtal32");
        if (c.answers.size() == 2) {
            // The second question says why the first answer was refused.
            EXPECT_EQ(dialogs.asked[1].prompt, "\"" + *c.answers[0] + "\" is not a scheme name.  " + prompt);
            EXPECT_EQ(dialogs.asked[1].defaultAnswer, "Orvane");
        }
        EXPECT_EQ(dialogs.asked.back().prompt, "Do you want the meagflop/s meter to be turned on?");
        EXPECT_EQ(dialogs.asked.back().title, "Type 1 for Mflop/s metering,  0 to run without this overhead:");
    }
    // The button names the scheme in force at once.
    EXPECT_EQ(button(*window, "cmdNumericalScheme")->text().toStdString(), s().SchemeName);
}

TEST_F(RunWindowTest, MeterAnswerIsAWholeNumberClampedToZeroOrOne)
{
    struct Case {
        std::optional<std::string> answer;
        Long before, after;
    };
    const Case cases[] = {
        { "5", 0, 1 },
        { "-3", 1, 0 },
        { "0.5", 1, 0 },
        { "1.5", 0, 1 },
        { "1", 0, 1 },
        { "", 1, 1 },
        { "yes", 1, 1 },
        { std::nullopt, 1, 1 },
        { std::nullopt, 0, 0 },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.answer.value_or("(cancel)"));
        s().MeterOn = c.before;
        dialogs.asked.clear();
        dialogs.answer("Orvane");
        dialogs.answer(c.answer);
        click(*window, "cmdNumericalScheme");
        EXPECT_EQ(s().MeterOn, c.after);
        ASSERT_EQ(dialogs.asked.size(), 2u);
        EXPECT_EQ(dialogs.asked[1].defaultAnswer, std::to_string(c.before));
    }
}

TEST_F(RunWindowTest, ChoosingMixtal32FillsTheFluidArraysAtOnce)
{
    clickTest(*window, 1);
    const long n = s().NGridCells;
    s().RhoRatio2 = 2.0;
    chooseScheme("Mixtal32");
    ASSERT_TRUE(s().Rho1.contains(n + 1));
    EXPECT_EQ(s().Rho1.lower(), -6);
    EXPECT_EQ(s().Rho1.upper(), (n / 3) * 10 + 7);
    EXPECT_EQ(s().FFracYYNew.upper(), n + 7);
    long streamCells = 0;
    for (long i = 1; i <= n; ++i) {
        SCOPED_TRACE(i);
        const double base = i <= 30 ? 1.0 : 0.125; // Test 1's densities
        EXPECT_EQ(s().Rho1[i], base);
        EXPECT_EQ(s().Rho2[i], base * 2.0);
        EXPECT_EQ(s().P1[i], s().P[i]);
        EXPECT_EQ(s().P2[i], s().P[i]);
        EXPECT_EQ(s().FFrac[i], s().FSmoke[i]);
        if (s().FSmoke[i] == 1.0) {
            ++streamCells;
            EXPECT_EQ(s().Rho[i], base * 2.0); // fluid 2 in the stream
        } else {
            EXPECT_EQ(s().Rho[i], base);
        }
    }
    EXPECT_GT(streamCells, 0);
    EXPECT_GT(s().Dt, 0);
    EXPECT_LE(s().Dt, s().DtPlot);

    click(*window, "cmdBegin");
    window->tick();
    EXPECT_FALSE(window->runFaulted());
    EXPECT_GT(s().TimeNow, 0);
}

TEST_F(RunWindowTest, SchemeAndConstantsWaitForReady)
{
    click(*window, "cmdBegin");
    click(*window, "cmdNumericalScheme");
    click(*window, "cmdGetDiffConsts");
    window->tick();
    click(*window, "cmdPause"); // halted, time above 0
    click(*window, "cmdNumericalScheme");
    click(*window, "cmdGetDiffConsts");
    EXPECT_TRUE(dialogs.asked.empty());
    EXPECT_EQ(s().SchemeName, "Orvane");
}

TEST_F(RunWindowTest, GetDiffConstsAsksFiveQuestions)
{
    for (const char* a : { "0.5", "0.25", "2", "3.5", "0" })
        dialogs.answer(a);
    click(*window, "cmdGetDiffConsts");
    ASSERT_EQ(dialogs.asked.size(), 5u);
    const std::pair<std::string, std::string> questions[] = {
        { "Type the value of the PPM shock diffusion constant, difcon", "Get difcon" },
        { "Type the value of the PPM shock detection constant, shkjmp", "Get shkjmp" },
        { "Type the value of the PPM shock diffusion constant, wavhaf", "Get wavhaf" },
        { "Type the desired number of equally spaced smoke streams", "Get Number of Smoke Streams" },
        { "Type 0 for normal plots;  type 1 to plot logs of density and pressure",
            "Log Plots for Density and Pressure?" },
    };
    const char* defaults[] = { "0.3", "0.2", "1", "1", "0" };
    for (int k = 0; k < 5; ++k) {
        EXPECT_EQ(dialogs.asked[k].prompt, questions[k].first);
        EXPECT_EQ(dialogs.asked[k].title, questions[k].second);
        EXPECT_EQ(dialogs.asked[k].defaultAnswer, defaults[k]);
    }
    EXPECT_EQ(s().Difcon, 0.5);
    EXPECT_EQ(s().Shkjmp, 0.25);
    EXPECT_EQ(s().Wavhaf, 2.0);
    EXPECT_EQ(s().NSmokeStreams, 4); // 3.5 to the even neighbour
    EXPECT_EQ(s().LogPlots, 0);

    // Empty, cancelled and non-number answers keep the value; fewer than one
    // smoke stream is refused.
    for (std::optional<std::string> a : { std::optional<std::string>(""), std::optional<std::string>(),
             std::optional<std::string>("abc"), std::optional<std::string>("0"), std::optional<std::string>(".") })
        dialogs.answer(a);
    click(*window, "cmdGetDiffConsts");
    EXPECT_EQ(s().Difcon, 0.5);
    EXPECT_EQ(s().Shkjmp, 0.25);
    EXPECT_EQ(s().Wavhaf, 2.0);
    EXPECT_EQ(s().NSmokeStreams, 4);
    EXPECT_EQ(s().LogPlots, 0);
}

// Turning log plots on or off rewrites row 0 in the new form, so Restart
// brings back the problem that was set up.
TEST_F(RunWindowTest, LogChoiceRewritesRowZeroForRestart)
{
    clickTest(*window, 1);
    const long n = s().NGridCells;
    std::vector<double> rho, p;
    for (long i = 0; i <= n + 1; ++i) {
        rho.push_back(s().Rho[i]);
        p.push_back(s().P[i]);
    }
    for (const char* logs : { "1", "0", "7" }) {
        SCOPED_TRACE(logs);
        for (int k = 0; k < 4; ++k)
            dialogs.answer(std::nullopt);
        dialogs.answer(logs);
        click(*window, "cmdGetDiffConsts");
        const bool logForm = std::string(logs) != "0";
        EXPECT_EQ(s().LogPlots != 0, logForm);
        EXPECT_NEAR(s().STRho[31], logForm ? std::log10(0.125) : 0.125, 1e-6);
        // A run in between: Restart must come back to Test 1.
        click(*window, "cmdBegin");
        for (int t = 0; t < 3; ++t)
            window->tick();
        click(*window, "cmdRestart");
        for (long i = 0; i <= n + 1; ++i) {
            ASSERT_NEAR(s().Rho[i], rho[static_cast<std::size_t>(i)], 1e-6 * rho[static_cast<std::size_t>(i)])
                << i;
            ASSERT_NEAR(s().P[i], p[static_cast<std::size_t>(i)], 1e-6 * p[static_cast<std::size_t>(i)]) << i;
        }
    }
}

// --- Whole runs with the real schemes --------------------------------------------

class RunEveryScheme : public RunWindowTest, public ::testing::WithParamInterface<const char*> { };

// Restart and Begin start the same problem again, also under the two-fluid
// scheme whose fluid arrays the history does not hold.
TEST_P(RunEveryScheme, SecondRunAfterRestartRepeatsTheFirst)
{
    chooseScheme(GetParam());
    // A test caps its first time step at the snapshot interval of the problem
    // before it; loaded twice, that interval is its own, as after Restart.
    clickTest(*window, 1);
    clickTest(*window, 1);
    click(*window, "cmdBegin");
    runToEnd();
    ASSERT_FALSE(window->runFaulted());
    const History first = historyOf(s());

    click(*window, "cmdRestart");
    click(*window, "cmdBegin");
    runToEnd();
    ASSERT_FALSE(window->runFaulted());
    const History second = historyOf(s());

    ASSERT_EQ(second.rows, first.rows);
    for (long r = 0; r < first.rows; ++r)
        EXPECT_NEAR(second.times[r], first.times[r], 1e-6) << r;
    // The second run starts from the single-precision copy of the first
    // one's state: equal to round-off.
    auto maxDiff = [](const std::vector<float>& a, const std::vector<float>& b) {
        double d = 0;
        for (std::size_t k = 0; k < a.size(); ++k)
            d = std::max(d, static_cast<double>(std::fabs(a[k] - b[k])));
        return d;
    };
    EXPECT_LT(maxDiff(first.rho, second.rho), 1e-4);
    EXPECT_LT(maxDiff(first.p, second.p), 1e-4);
    EXPECT_LT(maxDiff(first.vx, second.vx), 1e-4);
    EXPECT_LT(maxDiff(first.smoke, second.smoke), 1e-4);
}

// Every shock-tube test runs to its stop time without a fault and with
// positive, finite values.
TEST_P(RunEveryScheme, EveryTestRunsToItsStopTime)
{
    chooseScheme(GetParam());
    for (int test = 1; test <= kShockTubeTestCount; ++test) {
        SCOPED_TRACE("Test " + std::to_string(test));
        click(*window, "cmdRestart");
        clickTest(*window, test);
        click(*window, "cmdBegin");
        ASSERT_EQ(s().Stopped, 0);
        runToEnd();
        ASSERT_FALSE(window->runFaulted()) << (dialogs.messages.empty() ? "" : dialogs.messages.back());
        EXPECT_EQ(s().Stopped, 1);
        EXPECT_EQ(s().TimeNow, s().TStop);
        EXPECT_EQ(s().StoredTime[s().NStoredStates - 1], s().TStop);
        for (long i = 1; i <= s().NGridCells; ++i) {
            ASSERT_TRUE(s().Rho[i] > 0 && std::isfinite(s().Rho[i])) << i;
            ASSERT_TRUE(s().P[i] > 0 && std::isfinite(s().P[i])) << i;
            ASSERT_TRUE(std::isfinite(s().VX[i]) && std::isfinite(s().VY[i]) && std::isfinite(s().FSmoke[i])) << i;
        }
    }
}

INSTANTIATE_TEST_SUITE_P(RunSchemes, RunEveryScheme,
    ::testing::Values("Orvane", "Orvane32", "Lentor32", "Mixtal32", "Sorvi"),
    [](const ::testing::TestParamInfo<const char*>& info) { return std::string(info.param); });
