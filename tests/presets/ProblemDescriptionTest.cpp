// SPDX-License-Identifier: GPL-3.0-or-later
#include <gtest/gtest.h>

#include "presets/ProblemDescription.h"
#include "presets/ShockTubeTests.h"
#include "presets/SoundWave.h"
#include "run/DefaultProblem.h"

using namespace tamrel;

namespace {

constexpr std::string_view kDate = "01/02/2024";
constexpr std::string_view kTime = "13:45:00";
constexpr std::string_view kInstruction = "Your name and your title go here.";

ExperimentState startUp()
{
    ExperimentState s;
    s.TitleText = std::string(kInstruction);
    s.StudentName = "Ada";
    StartUpState(s);
    return s;
}

} // namespace

TEST(ProblemDescription, TwoStateLayoutAfterTest1)
{
    ExperimentState s = startUp();
    ApplyShockTubeTest(s, 1);
    EXPECT_EQ(UpdateProblemDescriptionText(s, kInstruction, kDate, kTime),
        "RhoL = 1.0,     PL = 1.0,     UxL = 0.75,     XL = 0.0,     XJump = 0.3,       Gamma = 1.4,       "
        "01/02/2024   13:45:00\r\n"
        "RhoR = 0.125,     PR = 0.1,     UxR = 0.0,     XR = 1.0,     TStop = 0.2,       Ada");
}

TEST(ProblemDescription, ShockTubeLoadText)
{
    const ExperimentState s = startUp();
    EXPECT_EQ(ShockTubeDescriptionText(s, shockTubeTest(2), kDate, kTime),
        "RhoL = 1.0,     PL = 1.0,     UxL = 0.75,     UyL = 1.0,     XL = 0.0,     XJump = 0.3,       "
        "01/02/2024       Gamma = 1.4,       \r\n"
        "RhoR = 0.125,     PR = 0.1,     UxR = 0.0,     UyR = -8.0,     XR = 1.0,     TStop = 0.2,       "
        "13:45:00    Ada");
    EXPECT_EQ(ShockTubeDescriptionText(s, shockTubeTest(8), kDate, kTime).substr(0, 60),
        "RhoL = 0.126119,     PL = 782.929,     UxL = 8.904703,     U");
}

TEST(ProblemDescription, ThreeStateLayoutOfTheDefaultProblem)
{
    const ExperimentState s = startUp();
    EXPECT_EQ(UpdateProblemDescriptionText(s, kInstruction, kDate, kTime),
        "RhoL = 1.0,     PL = 1000.0,     UxL = 0.0,     XJumpL = 0.1,     RhoM = 1.0,     UxM = 0.0,     "
        "Gamma = 1.4,       01/02/2024   13:45:00\r\n"
        "RhoR = 1.0,     PR = 100.0,     UxR = 0.0,     XJumpR = 0.9,     PM = 0.01,     UyM = 0.0,     "
        "TStop = 0.040089,       Ada");
}

TEST(ProblemDescription, SoundWaveLayout)
{
    ExperimentState s = startUp();
    s.RPlusAmplitude = 0.1234567;
    s.U0 = -1.0;
    const std::string expected = "R+ amplitude = 0.123457,     R- amplitude = 0.0,     R0 amplitude = 0.0,     "
                                 "average velocity, u0 = -1.0     01/02/2024    13:45:00    Ada";
    EXPECT_EQ(SoundWaveDescriptionText(s, kDate, kTime), expected);
    s.RiemannPlots = 1;
    EXPECT_EQ(UpdateProblemDescriptionText(s, "anything", kDate, kTime), expected);
    // The click writes it only over the start-up caption, whatever TitleEntered says.
    EXPECT_EQ(SoundWaveClickDescription(s, kInstruction, kDate, kTime), expected);
    EXPECT_EQ(SoundWaveClickDescription(s, "an earlier description", kDate, kTime), std::nullopt);
}

TEST(ProblemDescription, ChoiceOfLayout)
{
    enum Layout { None, Sound, Three, Two, HandMade };
    struct Case {
        Long riemannPlots, nSelected, titleEntered;
        bool captionIsInstruction;
        Layout expected;
    };
    const Case cases[] = {
        { 0, 4, 0, false, Two },
        { 0, 6, 0, false, Three },
        { 0, 5, 0, false, HandMade },
        { 0, 2, 0, true, HandMade },
        { 0, 7, 1, false, None },
        { 0, 4, 1, false, None },
        { 0, 6, 1, false, None },
        { 0, 4, 1, true, Two },
        { 0, 6, 1, true, Three },
        { 1, 4, 0, false, Sound },
        { 1, 6, 1, false, None },
        { 1, 5, 1, true, Sound },
    };
    for (const Case& c : cases) {
        ExperimentState s = startUp();
        ApplyShockTubeTest(s, 1); // valid tables for both layouts: entries 0..5 written
        s.RiemannPlots = c.riemannPlots;
        s.NSelected = c.nSelected;
        s.TitleEntered = c.titleEntered;
        const std::string_view caption = c.captionIsInstruction ? kInstruction : "My title";
        const auto got = UpdateProblemDescriptionText(s, caption, kDate, kTime);
        std::optional<std::string> want;
        if (c.expected == Sound)
            want = SoundWaveDescriptionText(s, kDate, kTime);
        else if (c.expected == Three)
            want = ThreeStateDescriptionText(s, kDate, kTime);
        else if (c.expected == Two)
            want = TwoStateDescriptionText(s, kDate, kTime);
        else if (c.expected == HandMade)
            want = HandMadeDescriptionText(s, kDate, kTime);
        EXPECT_EQ(got, want) << c.riemannPlots << " " << c.nSelected << " " << c.titleEntered << " "
                             << c.captionIsInstruction;
    }
}

TEST(ProblemDescription, EnteredTitleIsNeverOverwritten)
{
    ExperimentState s = startUp();
    EXPECT_EQ(ApplyTitleAnswer(s, "Ada, lab 3"), "Ada, lab 3");
    EXPECT_EQ(s.TitleEntered, 1);
    ApplyShockTubeTest(s, 1);
    EXPECT_EQ(UpdateProblemDescriptionText(s, "Ada, lab 3", kDate, kTime), std::nullopt);
    EXPECT_EQ(ApplyTitleAnswer(s, "Ada, lab 4"), "Ada, lab 4");
}

TEST(ProblemDescription, CancelOrAnEmptyTitleKeepsTheTitleBefore)
{
    for (const std::optional<std::string_view> reply :
        { std::optional<std::string_view>(), std::optional<std::string_view>("") }) {
        ExperimentState s = startUp();
        ApplyTitleAnswer(s, "Ada, lab 3");
        EXPECT_EQ(ApplyTitleAnswer(s, reply), std::nullopt);
        EXPECT_EQ(s.IDAndTitle, "Ada, lab 3");
        EXPECT_EQ(s.TitleEntered, 1);
    }
    // Before any title, a cancel leaves the label free for descriptions.
    ExperimentState s = startUp();
    EXPECT_EQ(ApplyTitleAnswer(s, std::nullopt), std::nullopt);
    EXPECT_EQ(s.TitleEntered, 0);
}

TEST(ProblemDescription, Test2ShowsItsTransverseVelocities)
{
    ExperimentState s = startUp();
    ApplyShockTubeTest(s, 2);
    const auto text = UpdateProblemDescriptionText(s, kInstruction, kDate, kTime);
    ASSERT_TRUE(text);
    EXPECT_NE(text->find("UxL = 0.75,     UyL = 1.0,     XL = 0.0"), std::string::npos) << *text;
    EXPECT_NE(text->find("UxR = 0.0,     UyR = -8.0,     XR = 1.0"), std::string::npos) << *text;
    // Test 1 has no shear: its layout stays as it was.
    ApplyShockTubeTest(s, 1);
    EXPECT_EQ(UpdateProblemDescriptionText(s, kInstruction, kDate, kTime)->find("Uy"), std::string::npos);
}

// A hand-made state and a set-up file describe the grid they put there: the
// number of selected cells and the end states, not an earlier problem's.
TEST(ProblemDescription, HandMadeAndSetupFileLayoutsDescribeTheGrid)
{
    ExperimentState s = startUp();
    ApplyShockTubeTest(s, 1);
    s.NSelected = 5;
    s.Rho[1] = 2.5;
    s.VX[s.NGridCells] = -0.5;
    EXPECT_EQ(HandMadeDescriptionText(s, kDate, kTime),
        "Hand-made state, 5 selected cells:     RhoL = 2.5,     PL = 1.0,     UxL = 0.75,       Gamma = 1.4,      "
        " "
        "01/02/2024   13:45:00\r\n"
        "RhoR = 0.125,     PR = 0.1,     UxR = -0.5,     N = 100,     TStop = 0.2,       Ada");
    const std::string file = SetupFileDescriptionText(s, "test1.txt", kDate, kTime);
    EXPECT_EQ(file.rfind("Set-up file test1.txt, 5 selected cells:     RhoL = 2.5,", 0), 0u) << file;
    EXPECT_NE(file.find("Bdrys = 2, 2,     TStop = 0.2"), std::string::npos) << file;
}

TEST(ProblemDescription, ShortSelectedTablesReadAsZero)
{
    ExperimentState s = startUp();
    s.MSelected.allocate(0, 2);
    s.RhoSelected.allocate(0, 2);
    const std::string text = ThreeStateDescriptionText(s, kDate, kTime);
    EXPECT_NE(text.find("XJumpL = 0.0,"), std::string::npos);
    EXPECT_NE(text.find("RhoR = 0.0,"), std::string::npos);
}
