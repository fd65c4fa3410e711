// SPDX-License-Identifier: GPL-3.0-or-later
// The caption line of exported pictures and the report's HTML, without a
// display: what they name, that they stay one line and escape the student's
// own texts, and that every run parameter reaches the report.

#include <gtest/gtest.h>

#include <string>

#include "app/report/ReportHtml.h"
#include "app/report/RunCaption.h"

namespace tamrel::report {
namespace {

    bool has(const std::string& text, const std::string& part)
    {
        return text.find(part) != std::string::npos;
    }

    TEST(RunCaption, NamesStudentProblemSchemeTimeAndCellsOnOneLine)
    {
        const struct {
            CaptionFacts facts;
            const char* line;
        } cases[] = {
            { { "A. Student", "Test 1", { "Orvane" }, 0.2, 400 }, "A. Student, Test 1, Orvane, t=0.2, 400 cells" },
            // A name typed with a line break, a tab or blanks around it.
            { { "  Ann\r\nLee\t", "Sound wave", { "Sorvi" }, 1.5, 100 },
                "Ann Lee, Sound wave, Sorvi, t=1.5, 100 cells" },
            // No name: the caption starts with the problem.
            { { "", "Test 3", { "Orvane" }, 0.012, 1 }, "Test 3, Orvane, t=0.012, 1 cell" },
            // A comparison names every scheme.
            { { "B", "Test 2", { "Orvane", "Sorvi" }, 0, 50 }, "B, Test 2, Orvane / Sorvi, t=0.0, 50 cells" },
        };
        for (const auto& c : cases) {
            const std::string line = CaptionLine(c.facts);
            EXPECT_EQ(line, c.line);
            EXPECT_EQ(line.find_first_of("\r\n\t"), std::string::npos);
        }
    }

    TEST(RunCaption, FactsComeFromTheRecordAndABatchRunNamesItsProblem)
    {
        ExperimentState s;
        s.StudentName = "C. D.";
        s.SchemeName = "Lentor";
        s.TimeNow = 0.25;
        s.NGridCells = 200;
        EXPECT_EQ(CaptionLine(CaptionFactsOf(s, "Test 4")), "C. D., Test 4, Lentor, t=0.25, 200 cells");
        EXPECT_EQ(CaptionFactsOf(s, "Test 4", { "A", "B" }).schemes, (std::vector<std::string> { "A", "B" }));

        BatchOptions o;
        EXPECT_EQ(BatchProblemName(o), "Default problem");
        o.test = 7;
        EXPECT_EQ(BatchProblemName(o), "Test 7");
        o.soundWave = true;
        EXPECT_EQ(BatchProblemName(o), "Sound wave");
        o.setupFile = "/home/ann/labs/blast.txt";
        EXPECT_EQ(BatchProblemName(o), "blast.txt");
    }

    TEST(ReportHtml, CarriesEverySectionAndEscapesTheStudentsTexts)
    {
        ExperimentState s;
        s.RiemannPlots = 1;
        ReportContent c;
        c.caption = "x";
        c.name = "Ann <b>&</b> Lee";
        c.date = "2026-12-11";
        c.problem = "Sound wave";
        c.description = "R+ amplitude = 1.0\r\nR- amplitude = 0.0";
        c.parameters = RunParameters(s);
        c.pictures
            = { { "Line plots", "plots.png", 600 }, { "Space-time picture", "data:image/png;base64,AA", 0 } };
        c.l1 = "L1 at t=1: rho 0.01";
        c.study = { "Orvane: L1 0.01" };
        ReportSheet sheet;
        sheet.title = "Waves";
        sheet.questions = { { "Where is the shock?", "0.73" }, { "Why?", "" } };
        sheet.results = { { "PASS  shock", true }, { "FAIL  contact", false } };
        sheet.checked = true;
        c.sheets = { sheet };
        const std::string html = ReportHtml(c);

        EXPECT_TRUE(has(html, "Ann &lt;b&gt;&amp;&lt;/b&gt; Lee"));
        EXPECT_FALSE(has(html, "<b>&</b>"));
        EXPECT_TRUE(has(html, "R+ amplitude = 1.0<br>R- amplitude = 0.0"));
        EXPECT_TRUE(has(html, "<img src=\"plots.png\" width=\"600\""));
        EXPECT_TRUE(has(html, "<img src=\"data:image/png;base64,AA\""));
        EXPECT_LT(html.find("plots.png"), html.find("data:image"));
        EXPECT_TRUE(has(html, "L1 at t=1: rho 0.01"));
        EXPECT_TRUE(has(html, "Orvane: L1 0.01"));
        EXPECT_TRUE(has(html, "Where is the shock?<br><i>Answer:</i> 0.73"));
        EXPECT_TRUE(has(html, "Why?<br><i>Answer:</i> (none)"));
        EXPECT_TRUE(has(html, "#b00000\">FAIL  contact"));
        // Every run parameter, the sound wave's among them, is in the table.
        for (const auto& [name, value] : c.parameters)
            EXPECT_TRUE(has(html, "<td>" + HtmlEscaped(name) + "</td><td>" + HtmlEscaped(value) + "</td>"))
                << name;
    }

    TEST(ReportHtml, RunParametersNameTheBoundaryTypesAndLeaveOutTheWaveOfAShockTube)
    {
        ExperimentState s;
        s.MnBdry = 4;
        s.MxBdry = 3;
        const auto p = RunParameters(s);
        auto value = [&p](const std::string& name) {
            for (const auto& [n, v] : p)
                if (n == name)
                    return v;
            return std::string("(missing)");
        };
        EXPECT_EQ(value("Left boundary type"), "4 (periodic)");
        EXPECT_EQ(value("Right boundary type"), "3");
        EXPECT_EQ(value("N Grid Cells"), "100");
        EXPECT_EQ(value("average velocity, u0"), "(missing)");
        EXPECT_EQ(value("Scheme"), "Orvane");
    }

} // namespace
} // namespace tamrel::report
