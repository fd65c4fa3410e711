// SPDX-License-Identifier: GPL-3.0-or-later
// What the window shows is what is in force: the plots leave the sound-wave
// view, the description follows the problem on the grid, a cancelled prompt
// keeps what was there, a refused box entry goes back with its reason on the
// status line, and a refused answer says why.

#include <QLabel>
#include <QLineEdit>
#include <QTemporaryDir>
#include <functional>
#include <string>

#include "WindowFixture.h"
#include "common/Format.h"

using namespace tamrel;
using namespace tamrel::testing;

namespace {

class ViewsAndPromptsTest : public WindowTest {
protected:
    // The sound wave with its seven questions answered by their defaults.
    void loadSoundWave() { click(*window, "cmdSoundWave"); }
    std::string caption(const char* name) { return label(*window, name)->text().toStdString(); }
    std::string status() { return statusLineMessage(*window); }
    std::string description() { return caption("lblStudentID"); }
    // Type `text` into a box and end the edit there, as Enter does.
    void typeAndEnter(const char* box, const std::string& text)
    {
        typeInto(*window, box, text);
        Q_EMIT tamrel::testing::box(*window, box)->editingFinished();
    }
    std::string boxText(const char* name) { return box(*window, name)->text().toStdString(); }

    QTemporaryDir dir;
};

bool has(const std::string& text, const std::string& part)
{
    return text.find(part) != std::string::npos;
}

} // namespace

TEST_F(ViewsAndPromptsTest, TheSoundWaveViewCanBeLeft)
{
    const std::string nonPeriodic = dir.filePath("test1.txt").toStdString();
    clickTest(*window, 1);
    dialogs.answerFile(nonPeriodic);
    click(*window, "cmdWriteSetUp");

    const struct {
        const char* way;
        std::function<void()> leave;
    } ways[] = {
        { "a shock-tube test", [&] { clickTest(*window, 3); } },
        { "Reset", [&] { click(*window, "cmdReset"); } },
        { "a set-up file",
            [&] {
                dialogs.answerFile(nonPeriodic);
                click(*window, "cmdReadSetUp");
            } },
    };
    for (const auto& w : ways) {
        SCOPED_TRACE(w.way);
        loadSoundWave();
        ASSERT_EQ(s().RiemannPlots, 1);
        ASSERT_EQ(caption("lblDensityPlot"), "R+  Riemann Invariant");
        w.leave();
        EXPECT_EQ(dialogs.messages, std::vector<std::string>());
        EXPECT_EQ(s().RiemannPlots, 0);
        EXPECT_EQ(caption("lblDensityPlot"), " Density");
        EXPECT_EQ(caption("lblPressurePlot"), "Pressure");
        EXPECT_EQ(caption("lblVelocityPlot"), "Velocity");
        // The density plot's range boxes show the density range again.
        EXPECT_EQ(boxText("txtDensityMax"), formatPattern(s().RhoMax, "##0.0####"));
    }
    // The sound wave's own reset keeps its view.
    loadSoundWave();
    EXPECT_EQ(s().RiemannPlots, 1);
    EXPECT_EQ(caption("lblVelocityPlot"), "R-  Riemann Invariant");
}

TEST_F(ViewsAndPromptsTest, TheDescriptionFollowsSelectDeselectAndReadSetup)
{
    // Select a seventh cell on the default problem.
    typeInto(*window, "txtMSelected", "70");
    typeInto(*window, "txtDensity", "2.5");
    click(*window, "cmdSelect");
    ASSERT_EQ(s().NSelected, 7);
    EXPECT_TRUE(has(description(), "Hand-made state, 7 selected cells")) << description();
    typeInto(*window, "txtMSelected", "70");
    click(*window, "cmdDeselect");
    EXPECT_EQ(s().NSelected, 6);
    EXPECT_TRUE(has(description(), "RhoM = ")) << description(); // the three-state layout again

    // Reading a Test 1 file after Test 5 shows Test 1's values.
    const std::string file = dir.filePath("shock1.txt").toStdString();
    clickTest(*window, 1);
    dialogs.answerFile(file);
    click(*window, "cmdWriteSetUp");
    clickTest(*window, 5);
    ASSERT_TRUE(has(description(), "PL = 1000.0")) << description();
    dialogs.answerFile(file);
    click(*window, "cmdReadSetUp");
    EXPECT_TRUE(has(description(), "Set-up file shock1.txt")) << description();
    EXPECT_TRUE(has(description(), "RhoR = 0.125")) << description();
    EXPECT_FALSE(has(description(), "1000")) << description();

    // Test 2's description shows its shear.
    clickTest(*window, 2);
    EXPECT_TRUE(has(description(), "UyL = 1.0")) << description();
    EXPECT_TRUE(has(description(), "UyR = -8.0")) << description();
}

TEST_F(ViewsAndPromptsTest, CancelKeepsEveryPreviousValue)
{
    dialogs.answer("Ada, lab 3");
    click(*window, "cmdGetTitle");
    ASSERT_EQ(description(), "Ada, lab 3");
    for (const std::optional<std::string>& reply :
        { std::optional<std::string>(), std::optional<std::string>("") }) {
        dialogs.answer(reply);
        click(*window, "cmdGetTitle");
        EXPECT_EQ(description(), "Ada, lab 3");
    }

    // Every other prompt, all cancelled: no value it asks for changes.
    const char* buttons[]
        = { "cmdSoundWave", "cmdBoundaryConditionType", "cmdGetDiffConsts", "cmdNumericalScheme" };
    for (const char* b : buttons) {
        SCOPED_TRACE(b);
        const ExperimentState before = s();
        for (int k = 0; k < 8; ++k)
            dialogs.answer(std::nullopt);
        dialogs.asked.clear();
        click(*window, b);
        EXPECT_GT(dialogs.asked.size(), 0u);
        while (dialogs.pendingAnswers() > 0)
            dialogs.inputBox("", "", "", std::nullopt); // drop what was not asked
        EXPECT_EQ(s().RPlusAmplitude, before.RPlusAmplitude);
        EXPECT_EQ(s().U0, before.U0);
        if (b != std::string("cmdSoundWave")) { // the sound wave itself makes both ends periodic
            EXPECT_EQ(s().MxBdry, before.MxBdry);
        }
        EXPECT_EQ(s().Difcon, before.Difcon);
        EXPECT_EQ(s().NSmokeStreams, before.NSmokeStreams);
        EXPECT_EQ(s().LogPlots, before.LogPlots);
        EXPECT_EQ(s().SchemeName, before.SchemeName);
        EXPECT_EQ(s().MeterOn, before.MeterOn);
    }
}

TEST_F(ViewsAndPromptsTest, ARefusedBoxEntryGoesBackWithItsReason)
{
    const struct {
        const char* box;
        const char* typed;
        const char* reasonHas;
    } cases[] = {
        { "txtNGridCells", "3", "from 6 to 5000" },
        { "txtCourantNumber", "abc", "from 0.01 to below 1" },
        { "txtNPeriods", "0", "above 0" },
        { "txtStoredStateNumber", "9", "from 0 to 0" },
        { "txtDensity", "0", "above 0" },
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.box);
        const std::string inForce = boxText(c.box);
        const ExperimentState before = s();
        typeAndEnter(c.box, c.typed);
        EXPECT_EQ(boxText(c.box), inForce);
        EXPECT_TRUE(has(status(), c.reasonHas)) << status();
        EXPECT_EQ(s().NGridCells, before.NGridCells);
        EXPECT_EQ(s().CourantNumber, before.CourantNumber);
        EXPECT_EQ(s().Periods, before.Periods);
        EXPECT_EQ(s().RhoCurrent, before.RhoCurrent);
    }
    // An accepted entry stays as typed and takes effect.
    typeAndEnter("txtNGridCells", "120");
    EXPECT_EQ(boxText("txtNGridCells"), "120");
    EXPECT_EQ(s().NGridCells, 120);

    // The range boxes under the plots only show: they take no entry.
    for (const char* name : { "txtDensityMin", "txtDensityMax", "txtPressureMin", "txtPressureMax",
             "txtVelocityMin", "txtVelocityMax" })
        EXPECT_TRUE(box(*window, name)->isReadOnly()) << name;
}

TEST_F(ViewsAndPromptsTest, RefusedAnswersSayWhy)
{
    // A wave number of 0 and an amplitude that is no number.
    dialogs.answer("lots");
    dialogs.answer("0");
    click(*window, "cmdSoundWave");
    EXPECT_TRUE(has(status(), "Get R+ Amplitude: \"lots\" is not a number")) << status();
    EXPECT_TRUE(has(status(), "Get R+ Frequency: a wave number must be a whole number other than 0")) << status();
    EXPECT_EQ(s().RPlusAmplitude, 1.0);
    EXPECT_EQ(s().RPlusFrequency, 1);

    // A wave that makes no gas: refused by the rule the batch uses, with the
    // reason; the wave before stands and is what the grid holds.
    for (const char* a : { "20", "1", "0", "1", "0", "1", "0.5" })
        dialogs.answer(a);
    click(*window, "cmdSoundWave");
    EXPECT_TRUE(has(status(),
        "Sound Wave refused: |R+ amplitude - R- amplitude| = 20 would bring the sound speed, and with it the "
        "density and the pressure, to 0"))
        << status();
    EXPECT_EQ(s().RPlusAmplitude, 1.0);
    EXPECT_EQ(s().U0, -1.0);
    for (long i = 1; i <= s().NGridCells; ++i)
        ASSERT_GT(s().P[i], s().PFloor) << i;

    clickTest(*window, 1);
    dialogs.answer("bogus");
    dialogs.answer("still bogus");
    click(*window, "cmdNumericalScheme");
    EXPECT_TRUE(has(status(), "\"still bogus\" is not a scheme name either")) << status();

    dialogs.answer("x");
    click(*window, "cmdBoundaryConditionType");
    EXPECT_TRUE(has(status(), "\"x\" is not a number")) << status();

    typeInto(*window, "txtDensity", "-1");
    click(*window, "cmdSelect");
    EXPECT_TRUE(has(status(), "density must be above 0")) << status();
}
