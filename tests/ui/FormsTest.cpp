// SPDX-License-Identifier: GPL-3.0-or-later
// The forms that ask the scheme, the shock constants, the boundary types and
// the sound wave at once: each value under its prompt with its default,
// lists for the scheme and the boundary types, the same checks and messages
// as the prompts beside each field, OK refused while one is wrong, Cancel
// keeping everything, and the values taken exactly as the prompts' answers.

#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <functional>

#include "WindowFixture.h"
#include "ui/window/FormDialog.h"
#include "ui/kit/QueuedDialogs.h"

using namespace tamrel;
using namespace tamrel::testing;

namespace {

// Answers each form through the real form dialog, filled in by the test.
class FormFiller : public ScriptedDialogs {
public:
    std::function<void(FormDialog&)> fill;
    std::vector<std::string> shownReasons; // what the dialog showed beside its fields when OK was pressed
    bool okEnabled = false;
    std::optional<FormAnswers> askForm(const Form& form) override
    {
        forms.push_back(form.title);
        FormDialog dialog(form);
        if (fill)
            fill(dialog);
        shownReasons.clear();
        for (const QLabel* l : dialog.findChildren<QLabel*>())
            if (l->objectName().startsWith(QStringLiteral("lblFormReason")) && !l->isHidden())
                shownReasons.push_back(l->text().toStdString());
        okEnabled = dialog.acceptable();
        if (!okEnabled)
            return std::nullopt; // OK refused: the student can only cancel
        return dialog.values();
    }
    std::vector<std::string> chosen; // the prompts of chooseSchemes
    std::optional<std::vector<std::string>> chooseSchemes(const std::string& prompt, const std::string&,
        const std::vector<std::string>&, const std::vector<std::string>&) override
    {
        chosen.push_back(prompt);
        return std::nullopt;
    }
};

class FormsTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        app();
        window = make(filler);
        chained = make(chain);
    }
    static std::unique_ptr<frmTamrel> make(Dialogs& d)
    {
        WindowOptions options;
        options.studentName = "Test Student";
        options.tickBudgetSeconds = 0;
        options.threads = 1;
        auto w = std::make_unique<frmTamrel>(d, options);
        metronome(*w)->stop();
        return w;
    }
    static void type(FormDialog& d, int k, const char* text)
    {
        d.findChild<QLineEdit*>(QStringLiteral("txtForm%1").arg(k))->setText(QString::fromLatin1(text));
    }
    static void pick(FormDialog& d, int k, const char* value)
    {
        auto* list = d.findChild<QComboBox*>(QStringLiteral("cboForm%1").arg(k));
        list->setCurrentIndex(list->findData(QString::fromLatin1(value)));
    }
    FormFiller filler;
    ScriptedDialogs chain;
    std::unique_ptr<frmTamrel> window, chained;
};

} // namespace

// Values typed into each form change the record exactly as the same answers
// typed into the chain of prompts do.
TEST_F(FormsTest, AFormsValuesAreTakenAsThePromptsAnswers)
{
    struct Case {
        const char* button;
        const char* title;
        std::function<void(FormDialog&)> fill;
        std::vector<std::string> answers; // the same values, prompt by prompt
    };
    const Case cases[] = {
        { "cmdNumericalScheme", "Numerical Scheme",
            [](FormDialog& d) {
                pick(d, 0, "Sorvi");
                type(d, 1, "1");
            },
            { "Sorvi", "1" } },
        { "cmdGetDiffConsts", "Shock Constants and Log Plots",
            [](FormDialog& d) {
                type(d, 0, "0.5");
                type(d, 1, "0.25");
                type(d, 2, "2");
                type(d, 3, "3");
                type(d, 4, "1");
            },
            { "0.5", "0.25", "2", "3", "1" } },
        { "cmdBoundaryConditionType", "Boundary Types",
            [](FormDialog& d) {
                pick(d, 0, "2");
                pick(d, 1, "1");
            },
            { "2", "1" } },
        { "cmdSoundWave", "Sound Wave",
            [](FormDialog& d) {
                type(d, 0, "0.01");
                type(d, 1, "2");
                type(d, 4, "0.001");
                type(d, 6, "0.5");
            },
            { "0.01", "2", "0", "1", "0.001", "1", "0.5" } },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.button);
        filler.fill = c.fill;
        click(*window, c.button);
        ASSERT_FALSE(filler.forms.empty());
        EXPECT_EQ(filler.forms.back(), c.title);
        EXPECT_TRUE(filler.okEnabled);
        for (const std::string& a : c.answers)
            chain.answer(a);
        click(*chained, c.button);
        EXPECT_EQ(chain.pendingAnswers(), 0u);
        const ExperimentState &a = stateOf(*window), &b = stateOf(*chained);
        EXPECT_EQ(a.SchemeName, b.SchemeName);
        EXPECT_EQ(a.MeterOn, b.MeterOn);
        EXPECT_EQ(a.Difcon, b.Difcon);
        EXPECT_EQ(a.Shkjmp, b.Shkjmp);
        EXPECT_EQ(a.Wavhaf, b.Wavhaf);
        EXPECT_EQ(a.NSmokeStreams, b.NSmokeStreams);
        EXPECT_EQ(a.LogPlots, b.LogPlots);
        EXPECT_EQ(a.MnBdry, b.MnBdry);
        EXPECT_EQ(a.MxBdry, b.MxBdry);
        EXPECT_EQ(a.RPlusAmplitude, b.RPlusAmplitude);
        EXPECT_EQ(a.RPlusFrequency, b.RPlusFrequency);
        EXPECT_EQ(a.R0Amplitude, b.R0Amplitude);
        EXPECT_EQ(a.U0, b.U0);
        EXPECT_EQ(a.RiemannPlots, b.RiemannPlots);
        EXPECT_EQ(a.Rho[10], b.Rho[10]);
        EXPECT_EQ(statusLineMessage(*window), statusLineMessage(*chained));
    }
    EXPECT_EQ(stateOf(*window).SchemeName, "Sorvi");
    EXPECT_EQ(stateOf(*window).Difcon, 0.5);
    EXPECT_EQ(stateOf(*window).U0, 0.5);
}

// A wrong value shows the prompt's own message beside its field and OK is
// refused; Cancel (or a refused OK) changes nothing at all.
TEST_F(FormsTest, AWrongValueIsRefusedBesideItsFieldAndCancelKeepsEverything)
{
    struct Case {
        const char* button;
        std::function<void(FormDialog&)> fill;
        const char* reason; // part of the message shown
    };
    const Case cases[] = {
        { "cmdNumericalScheme", [](FormDialog& d) { type(d, 1, "often"); }, "Mflop/s meter" },
        { "cmdGetDiffConsts", [](FormDialog& d) { type(d, 0, "-1"); }, "Get difcon: -1 is outside 0 to 10" },
        { "cmdGetDiffConsts", [](FormDialog& d) { type(d, 3, "0"); }, "at least 1 stream" },
        { "cmdSoundWave", [](FormDialog& d) { type(d, 1, "0.2"); },
            "a wave number must be a whole number other than 0" },
        { "cmdSoundWave", [](FormDialog& d) { type(d, 6, "fast"); }, "\"fast\" is not a number" },
        // Each value is fine alone; the wave together makes no gas.
        { "cmdSoundWave", [](FormDialog& d) { type(d, 0, "12"); }, "4/(Gamma-1)" },
    };
    clickTest(*window, 1);
    const ExperimentState before = stateOf(*window);
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.button) + " " + c.reason);
        filler.fill = c.fill;
        click(*window, c.button);
        EXPECT_FALSE(filler.okEnabled);
        ASSERT_EQ(filler.shownReasons.size(), 1u);
        EXPECT_NE(filler.shownReasons[0].find(c.reason), std::string::npos) << filler.shownReasons[0];
        const ExperimentState& now = stateOf(*window);
        EXPECT_EQ(now.SchemeName, before.SchemeName);
        EXPECT_EQ(now.Difcon, before.Difcon);
        EXPECT_EQ(now.NSmokeStreams, before.NSmokeStreams);
        EXPECT_EQ(now.RiemannPlots, before.RiemannPlots);
        EXPECT_EQ(now.MnBdry, before.MnBdry);
        EXPECT_EQ(now.Rho[10], before.Rho[10]);
    }
    // Cancel of the boundary form keeps both ends.
    chain.cancelForm();
    click(*chained, "cmdBoundaryConditionType");
    EXPECT_TRUE(chain.asked.empty());
    EXPECT_EQ(stateOf(*chained).MnBdry, ExperimentState {}.MnBdry);
}

// The lists offer the table's schemes and the boundary codes, with the
// designed defaults; a periodic left end greys the right one out.
TEST_F(FormsTest, ListsOfferTheChoicesWithTheDesignedDefaults)
{
    QStringList schemes, leftCodes;
    bool rightAskedWhenPeriodic = true;
    filler.fill = [&](FormDialog& d) {
        if (auto* list = d.findChild<QComboBox*>(QStringLiteral("cboForm0"))) {
            for (int i = 0; i < list->count(); ++i)
                (d.windowTitle() == QStringLiteral("Numerical Scheme") ? schemes : leftCodes)
                    << list->itemData(i).toString();
            if (d.windowTitle() == QStringLiteral("Numerical Scheme")) {
                EXPECT_EQ(list->currentData().toString(), QStringLiteral("Mixtal32"));
            }
        }
        if (d.windowTitle() == QStringLiteral("Boundary Types")) {
            pick(d, 0, "4");
            rightAskedWhenPeriodic = d.findChild<QComboBox*>(QStringLiteral("cboForm1"))->isEnabled();
        }
    };
    click(*window, "cmdNumericalScheme");
    EXPECT_EQ(schemes, (QStringList { "Orvane", "Orvane32", "Lentor32", "Mixtal32", "Sorvi" }));
    click(*window, "cmdBoundaryConditionType");
    EXPECT_EQ(leftCodes, (QStringList { "4", "1", "2" }));
    EXPECT_FALSE(rightAskedWhenPeriodic);
    EXPECT_EQ(stateOf(*window).MnBdry, 4);
    EXPECT_EQ(stateOf(*window).MxBdry, 4);
}

// The window's own dialog picks the schemes to compare (answers queued by a
// lab sheet still answer it as a prompt).
TEST_F(FormsTest, TheWindowsOwnDialogChoosesTheSchemesToCompare)
{
    click(*window, "cmdCompareSchemes");
    EXPECT_EQ(filler.chosen.size(), 1u);
    EXPECT_TRUE(filler.asked.empty());
}
