// SPDX-License-Identifier: GPL-3.0-or-later
// Grading a lab sheet without a display: the typed numbers a student gives,
// the hints a failed check carries, and one whole grading of Test 1 with its
// answers, its progress and its cancel.

#include <gtest/gtest.h>

#include <atomic>
#include <cmath>
#include <limits>
#include <string>
#include <vector>

#include "app/sheets/SheetGrade.h"
#include "compare/CompareTestStates.h"

namespace tamrel::sheets {
namespace {

    constexpr double kNaN = std::numeric_limits<double>::quiet_NaN();

    bool has(const std::string& text, const std::string& part)
    {
        return text.find(part) != std::string::npos;
    }

    TEST(SheetGrade, ATypedAnswerIsReadAsANumberOrNotAtAll)
    {
        const struct {
            const char* typed;
            std::optional<double> value;
        } cases[] = {
            { "0.7307", 0.7307 },
            { "  7.307e-1 ", 0.7307 },
            { "0,7307", 0.7307 }, // a decimal comma
            { "-2", -2 },
            { "", std::nullopt },
            { "about 0.73", std::nullopt },
            { "1,000.5", std::nullopt }, // a thousands comma is not a decimal one
            { "0,1,2", std::nullopt },
            { "nan", std::nullopt },
        };
        for (const auto& c : cases) {
            SCOPED_TRACE(c.typed);
            EXPECT_EQ(ReadAnswer(c.typed), c.value);
        }
    }

    // A sheet with a front check and two questions that ask for numbers: one
    // against what the check measured, one against an exact value.
    struct AnswerSheet {
        AnswerSheet()
        {
            Check front;
            front.name = "shock";
            front.kind = CheckKind::Front;
            front.wave = Wave::Shock;
            front.expected = 0.7307;
            front.tolerance = 0.005;
            sheet.checks = { front };
            sheet.questions = { { "Name the waves.", std::nullopt },
                { "Where is the shock?", NumericAnswer { 0, std::nullopt, 0.005 } },
                { "What is its speed?", NumericAnswer { 0, 1.752, 0.02 } } };
            measured.check = &sheet.checks[0];
            measured.measured = 0.7290;
        }
        LabSheet sheet;
        CheckResult measured;
    };

    TEST(SheetGrade, AnAnswerIsHeldAgainstTheMeasuredOrTheExactValue)
    {
        AnswerSheet s;
        const struct {
            std::size_t question;
            const char* typed;
            bool pass;
            const char* note;
        } cases[] = {
            // Graded against the lab's 0.7290, not against the sheet's 0.7307.
            { 1, "0.7300", true, "" },
            { 1, "0.7345", false, "0.0055 above what the lab measures on the sheet's run" },
            { 1, "0.72", false, "0.009 below what the lab measures on the sheet's run" },
            { 2, "1.74", true, "" },
            { 2, "1.70", false, "0.052 below the exact value" },
            { 1, "  ", false, "no answer" },
            { 2, "fast", false, "\"fast\" is not a number" },
        };
        for (const auto& c : cases) {
            SCOPED_TRACE(std::string(c.typed) + " for question " + std::to_string(c.question));
            const AnswerResult a = GradeAnswer(s.sheet, c.question, c.typed, { s.measured });
            EXPECT_EQ(a.pass, c.pass);
            EXPECT_EQ(a.note, c.note);
        }
        const AnswerResult right = GradeAnswer(s.sheet, 1, "0.73", { s.measured });
        EXPECT_EQ(AnswerLine(right), "PASS  question 2  answer=0.73  measured=0.729  tolerance=0.005");
        const AnswerResult wrong = GradeAnswer(s.sheet, 2, "1.70", { s.measured });
        EXPECT_EQ(AnswerLine(wrong),
            "FAIL  question 3  answer=1.7  exact=1.752  tolerance=0.02  (0.052 below the exact value)");

        // A check the lab could not measure grades no answer right.
        CheckResult lost = s.measured;
        lost.measured = kNaN;
        lost.note = "the density never crosses the value halfway across the shock";
        const AnswerResult none = GradeAnswer(s.sheet, 1, "0.7290", { lost });
        EXPECT_FALSE(none.pass);
        EXPECT_EQ(none.note,
            "the lab could not measure it: the density never crosses the value halfway across the shock");
    }

    TEST(SheetGrade, AFailedCheckSaysWhatToLookAt)
    {
        auto check = [](CheckKind kind) {
            Check c;
            c.kind = kind;
            c.expected = 0.7307;
            c.tolerance = 0.005;
            return c;
        };
        Check front = check(CheckKind::Front);
        front.wave = Wave::Shock;
        Check width = check(CheckKind::Width);
        width.wave = Wave::Contact;
        width.tolerance = 0.02;
        Check widthAbout = width;
        widthAbout.widthExpected = true;
        widthAbout.expected = 0.08;
        Check l1 = check(CheckKind::L1);
        l1.tolerance = 0.0015;
        Check value = check(CheckKind::Value);
        value.variable = Variable::Density;
        value.expected = 0.0219;
        Check volume = check(CheckKind::Volume);
        volume.expected = 0.5;
        Check order = check(CheckKind::Order);
        order.minOrder = 2.5;
        const struct {
            const char* what;
            const Check* check;
            double measured;
            int direction;
            std::string hint;
        } cases[] = {
            { "a right-moving shock that lags", &front, 0.7187, +1,
                "the shock is 0.012 behind the expected position 0.7307 (4.8 cells): more cells or a higher-order "
                "scheme" },
            { "a left-moving shock that lags", &front, 0.7427, -1, "the shock is 0.012 behind" },
            { "a right-moving shock that runs ahead", &front, 0.7427, +1, "the shock is 0.012 ahead of" },
            { "a front of unknown motion", &front, 0.7187, 0, "the shock is 0.012 to the left of" },
            { "another wave taken for it", &front, 0.5, +1, "is it the wave the sheet means?" },
            { "a smeared contact", &width, 0.05, 0,
                "the contact is spread over 0.05 (20 cells), 0.03 more than allowed" },
            { "a contact sharper than the lesson's", &widthAbout, 0.04, 0,
                "0.04 narrower than expected: is the run on the sheet's scheme and grid?" },
            { "too large an error", &l1, 0.003, 0,
                "the L1 density error is 0.003, 2 times the most allowed: more cells or a higher-order scheme" },
            { "a density too high", &value, 0.0419, 0, "the density is 0.02 above the expected 0.0219" },
            { "fluid 2 lost", &volume, 0.49, 0, "the fluid-2 volume is 0.01 below the expected 0.5" },
            { "too low an order", &order, 1.9, 0, "the fitted order 1.9 is 0.6 below the least allowed 2.5" },
            { "nothing measured", &front, kNaN, 0, "nothing was measured: the run failed" },
        };
        for (const auto& c : cases) {
            SCOPED_TRACE(c.what);
            CheckResult r;
            r.check = c.check;
            r.measured = c.measured;
            r.direction = c.direction;
            r.cellWidth = 0.0025;
            r.note = std::isnan(c.measured) ? "the run failed" : "";
            EXPECT_TRUE(has(CheckHint(r), c.hint)) << CheckHint(r);
            r.pass = true;
            EXPECT_EQ(CheckHint(r), "");
        }
    }

    // Test 1 on 100 cells with Orvane: a front that passes, a value that
    // fails, and the two kinds of numeric question.
    struct Test1Sheet {
        Test1Sheet()
        {
            Check shock;
            shock.name = "shock";
            shock.kind = CheckKind::Front;
            shock.wave = Wave::Shock;
            shock.expected = 0.7307;
            shock.tolerance = 0.01;
            Check early;
            early.name = "pressure at t=0.1";
            early.kind = CheckKind::Value;
            early.variable = Variable::Pressure;
            early.x = 0.6;
            early.time = 0.1;
            early.expected = 0.4663; // the shock has not arrived there at t = 0.1
            early.tolerance = 0.01;
            sheet.title = "Test 1";
            sheet.scheme = "Orvane";
            sheet.checks = { shock, early };
            sheet.questions = { { "Where is the shock?", NumericAnswer { 0, std::nullopt, 0.01 } },
                { "What words?", std::nullopt }, { "The star pressure?", NumericAnswer { 0, 0.30313, 0.001 } } };
            ready.emplace("Orvane", testing::testState("Orvane", 1, 100));
        }
        LabSheet sheet;
        ReadyRecords ready;
    };

    TEST(SheetGrade, ASheetIsGradedWithItsAnswersAndItsHints)
    {
        Test1Sheet t;
        std::vector<std::pair<int, int>> steps;
        const std::vector<std::string> answers { "0.73", "a fan, a contact, a shock" }; // the third not answered
        const SheetGrade g = GradeSheet(t.sheet, t.ready, {}, 1, &answers, nullptr,
            [&](int done, int total) { steps.emplace_back(done, total); });
        ASSERT_EQ(g.checks.size(), 2u);
        EXPECT_TRUE(g.checks[0].pass) << CheckLine(g.checks[0]);
        EXPECT_EQ(g.checks[0].direction, +1);
        EXPECT_FALSE(g.checks[1].pass);
        EXPECT_TRUE(has(CheckHint(g.checks[1]), "the pressure is 0.366 below the expected 0.4663"))
            << CheckHint(g.checks[1]);
        ASSERT_TRUE(g.answersGiven);
        ASSERT_EQ(g.answers.size(), 2u);
        EXPECT_EQ(g.answers[0].question, 0u);
        EXPECT_TRUE(g.answers[0].pass) << AnswerLine(g.answers[0]);
        EXPECT_EQ(g.answers[0].reference, g.checks[0].measured);
        EXPECT_EQ(g.answers[1].question, 2u);
        EXPECT_EQ(g.answers[1].note, "no answer");
        EXPECT_FALSE(g.pass());
        // Two runs: to t = 0.1 and to TStop.
        EXPECT_EQ(steps, (std::vector<std::pair<int, int>> { { 1, 2 }, { 2, 2 } }));

        // Without answers the checks alone are graded.
        const SheetGrade checksOnly = GradeSheet(t.sheet, t.ready, {}, 1, nullptr);
        EXPECT_FALSE(checksOnly.answersGiven);
        EXPECT_TRUE(checksOnly.answers.empty());
    }

    TEST(SheetGrade, ACancelledGradingGradesNothing)
    {
        Test1Sheet t;
        const std::vector<std::string> answers { "0.73" };
        std::atomic<bool> cancel { true };
        const SheetGrade g = GradeSheet(t.sheet, t.ready, {}, 1, &answers, &cancel);
        EXPECT_TRUE(g.cancelled);
        EXPECT_FALSE(g.pass());
        EXPECT_TRUE(g.answers.empty());
        for (const CheckResult& r : g.checks) {
            EXPECT_FALSE(r.pass);
            EXPECT_EQ(r.note, "cancelled");
        }
    }

} // namespace
} // namespace tamrel::sheets
