// SPDX-License-Identifier: GPL-3.0-or-later
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <cmath>

#include "WindowFixture.h"
#include "ui/kit/LinePlotPicture.h"
#include "ui/kit/SpaceTimePicture.h"

using namespace tamrel;
using namespace tamrel::testing;
using tamrel::testing::WindowTest;

TEST_F(WindowTest, StartUpHoldsTheDefaultProblem)
{
    const ExperimentState& st = s();
    EXPECT_EQ(st.NGridCells, 100);
    EXPECT_DOUBLE_EQ(st.RhoMin, 1 - 0.05 * 1.05);
    EXPECT_DOUBLE_EQ(st.RhoMax, 1.05);
    // The default problem sets PMin to 47.5; the plots' readout then shows
    // cell 90 (pressure 0.01) in the pressure box, whose handler widens the
    // range below it: 1.05 * 0.01 - 0.05 * 1050 < 0 becomes 0.
    EXPECT_DOUBLE_EQ(st.PMin, 0);
    EXPECT_DOUBLE_EQ(st.PMax, 1050);
    EXPECT_DOUBLE_EQ(st.VXMin, -1.05);
    EXPECT_DOUBLE_EQ(st.VXMax, 1.05);
    EXPECT_DOUBLE_EQ(st.Dt, 0.085 * 0.01 / std::sqrt(1400.0));
    EXPECT_DOUBLE_EQ(st.DtOld, st.Dt);
    EXPECT_DOUBLE_EQ(st.TimeUnit, 1 / std::sqrt(1400.0));
    EXPECT_DOUBLE_EQ(st.TStop, 1.5 / std::sqrt(1400.0));
    EXPECT_DOUBLE_EQ(st.DtPlot, 1 / (400 * std::sqrt(1400.0)));
    EXPECT_EQ(st.MCurrent, 90);
    EXPECT_EQ(st.NStoredStates, 0);
    EXPECT_EQ(st.NSTValues, 61200);
    EXPECT_EQ(st.NSelected, 6);
    EXPECT_EQ(st.Stopped, 1);
    EXPECT_EQ(st.MSec, 5);
    EXPECT_EQ(st.StudentName, "Test Student");
    // The plots have left the current cell's values (cell 90, the middle region) in the editors.
    EXPECT_DOUBLE_EQ(st.PCurrent, 0.01);
    EXPECT_EQ(box(*window, "txtPressure")->text(), "0.0100");
    EXPECT_EQ(box(*window, "txtNGridCells")->text(), "100");
    EXPECT_EQ(box(*window, "txtMSelected")->text(), "90");
    EXPECT_EQ(box(*window, "txtCourantNumber")->text(), "0.85");
    EXPECT_EQ(box(*window, "txtTime")->text(), "t=0.0");
    EXPECT_EQ(bar(*window, "hsbMSelected")->value(), 90);
    EXPECT_EQ(bar(*window, "hsbMSelected")->pageStep(), 4);
    EXPECT_EQ(grayList(*window)->currentText(), "Density");
}

TEST_F(WindowTest, StartUpShowsTheThreeStateDescription)
{
    const std::string caption = label(*window, "lblStudentID")->text().toStdString();
    EXPECT_EQ(caption.rfind("RhoL = 1.0,     PL = 1000.0,     UxL = 0.0,     XJumpL = 0.1,", 0), 0u) << caption;
    EXPECT_NE(caption.find("Test Student"), std::string::npos);
    EXPECT_NE(s().TitleText, caption);
    EXPECT_EQ(s().TitleText.rfind("Your name and your title for this experiment go here.", 0), 0u);
}

TEST_F(WindowTest, NamePromptIsAskedWithoutAName)
{
    ScriptedDialogs prompts;
    prompts.answer(std::nullopt); // cancelled
    WindowOptions options;
    options.threads = 1;
    frmTamrel w(prompts, options);
    ASSERT_EQ(prompts.asked.size(), 1u);
    EXPECT_EQ(prompts.asked[0].prompt, "Type your name");
    EXPECT_EQ(prompts.asked[0].title, "Get Student Name");
    EXPECT_EQ(stateOf(w).StudentName, "");
    EXPECT_EQ(stateOf(w).NGridCells, 100); // start-up went on
}

TEST_F(WindowTest, PlotsAreDrawnAndSpaceTimeImagesExist)
{
    // The density curve of the default problem is a horizontal line at density 1.
    const QImage& surface = plot(*window, "pctDensityPlot")->surface();
    int dark = 0;
    for (int y = 0; y < surface.height(); ++y)
        for (int x = 0; x < surface.width(); ++x)
            dark += qGray(surface.pixel(x, y)) < 128;
    EXPECT_GT(dark, surface.width() / 2);
    EXPECT_EQ(panelsOf(*window).spaceTime.smallImage().width, 449);
    EXPECT_EQ(panelsOf(*window).spaceTime.smallImage().height, 189);
    EXPECT_EQ(panelsOf(*window).spaceTime.smallImage().stride, 452);
    EXPECT_EQ(panelsOf(*window).spaceTime.bigImage().width, 969);
    EXPECT_EQ(panelsOf(*window).spaceTime.bigImage().height, 437);
    const QImage shown = toQImage(panelsOf(*window).spaceTime.smallImage(), 449, 189);
    EXPECT_EQ(shown.format(), QImage::Format_Indexed8);
    EXPECT_EQ(shown.color(128), qRgb(128, 128, 128));
    EXPECT_EQ(spaceTimePicture(*window)->scaleWidth(), 449);
}

TEST_F(WindowTest, GetTitleReplacesTheLabelForGood)
{
    dialogs.answer("Jo Smith, 10 Dec, Shock tubes");
    click(*window, "cmdGetTitle");
    EXPECT_EQ(label(*window, "lblStudentID")->text(), "Jo Smith, 10 Dec, Shock tubes");
    EXPECT_EQ(s().TitleEntered, 1);
    clickTest(*window, 1);
    EXPECT_EQ(label(*window, "lblStudentID")->text(), "Jo Smith, 10 Dec, Shock tubes");
}

TEST_F(WindowTest, SettingATextFromCodeRunsItsHandlerOnlyOnChange)
{
    int runs = 0;
    QObject::connect(box(*window, "txtTime"), &QLineEdit::textChanged, [&runs] { ++runs; });
    setText(box(*window, "txtTime"), "t=0.5");
    setText(box(*window, "txtTime"), "t=0.5");
    EXPECT_EQ(runs, 1);
}
