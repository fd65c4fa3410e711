// SPDX-License-Identifier: GPL-3.0-or-later
// The command line as the program reads it before any window system starts.

#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "app/ManPage.h"
#include "app/ProgramOptions.h"
#include "compare/ConvergenceStudy.h"
#include "kernels/SchemeTable.h"
#include "presets/ShockTubeTests.h"

namespace tamrel {
namespace {

    using Action = ProgramOptions::Action;
    using Args = std::vector<std::string>;

    std::string joined(const Args& a)
    {
        std::string s;
        for (const auto& x : a)
            s += (s.empty() ? "" : " ") + x;
        return s;
    }

    TEST(ProgramOptions, HelpAndVersionWinWhereverTheyStand)
    {
        for (const Args& a : { Args { "--help" }, Args { "-h" }, Args { "--batch", "--test", "3", "-?" },
                 Args { "--name", "Jo", "--help" } }) {
            SCOPED_TRACE(joined(a));
            const ProgramOptions p = parseProgramOptions(a);
            EXPECT_EQ(p.action, Action::Help);
            EXPECT_EQ(p.text, programHelpText());
        }
        for (const Args& a : { Args { "--version" }, Args { "-v" }, Args { "--batch", "--version" } }) {
            SCOPED_TRACE(joined(a));
            const ProgramOptions p = parseProgramOptions(a);
            EXPECT_EQ(p.action, Action::Version);
            EXPECT_EQ(p.text, "tamrel " + std::string(programVersion()) + "\n");
        }
    }

    // The scheme names and the test numbers a user reads are the tables'
    // rows: --list-schemes and --list-tests print them for scripts, and help,
    // the man page and each refusal of a name or number offer all of them.
    TEST(ProgramOptions, ListsOfSchemesAndTestsComeFromTheTables)
    {
        std::string schemes, tests;
        for (const kernels::SchemeInfo& row : kernels::allSchemes())
            schemes.append(row.name).append("\n");
        for (int t = 1; t <= kShockTubeTestCount; ++t)
            tests += std::to_string(t) + "\n";
        const std::pair<Args, std::string> lists[]
            = { { { "--list-schemes" }, schemes }, { { "--list-tests" }, tests } };
        for (const auto& [args, text] : lists) {
            const ProgramOptions p = parseProgramOptions(args);
            EXPECT_EQ(p.action, Action::List) << joined(args);
            EXPECT_EQ(p.text, text);
        }
        EXPECT_EQ(parseProgramOptions({ "--list-tests", "--batch" }).text, "--list-tests stands alone");

        const std::string phrase = kernels::schemeNamesPhrase();
        const std::string last = std::to_string(kShockTubeTestCount);
        EXPECT_NE(programHelpText().find("--scheme NAME           " + phrase + ".\n"), std::string::npos);
        EXPECT_NE(programHelpText().find("Shock-tube test K (1.." + last + ")."), std::string::npos);
        EXPECT_NE(programManPage().find(phrase + "."), std::string::npos);
        EXPECT_EQ(programHelpText().find('{'), std::string::npos) << "a list left unfilled";

        const std::string choose = "(choose " + phrase + ")";
        EXPECT_EQ(parseProgramOptions({ "--batch", "--scheme", "Quux" }).text, "unknown scheme 'Quux' " + choose);
        EXPECT_EQ(parseProgramOptions({ "--batch", "--schemes", "Orvane,Quux" }).text,
            "unknown scheme 'Quux' in --schemes " + choose);
        EXPECT_EQ(compare::CheckStudyRequest({ "Quux" }, { 32, 64 }), "unknown scheme 'Quux' " + choose);
        EXPECT_EQ(parseProgramOptions({ "--batch", "--test", last }).action, Action::Batch);
        EXPECT_EQ(parseProgramOptions({ "--batch", "--test", std::to_string(kShockTubeTestCount + 1) }).text,
            "--test must be a test number from 1 to " + last + ", not '" + std::to_string(kShockTubeTestCount + 1)
                + "'");
    }

    // Each refused command line, and a piece of the reason that names what is wrong.
    TEST(ProgramOptions, RefusedCommandLinesSayWhy)
    {
        struct Case {
            Args args;
            std::string reason;
        };
        const Case cases[] = {
            { { "--bogus" }, "unknown option '--bogus'" },
            { { "-x" }, "unknown option '-x'" },
            { { "a.json", "stray" }, "unexpected argument 'stray'" },
            { { "--batch", "stray" }, "unexpected argument 'stray'" },
            { { "--batch", "--cells" }, "--cells needs a value (N)" },
            { { "--batch=1" }, "--batch takes no value" },
            { { "--batch", "--cells", "50", "--cells=60" }, "--cells is given twice" },
            { { "--cells", "50" }, "--cells is for batch runs (--batch)" },
            { { "--out", "r.csv" }, "--out is for batch runs (--batch)" },
            { { "--batch", "--exit-after-shown", "10" }, "--exit-after-shown is for the window" },
            { { "--exit-after-shown", "soon" }, "--exit-after-shown must be a whole number" },
            { { "-geometry", "1400" }, "-geometry must be WIDTHxHEIGHT" },
            { { "-geometry", "0x100" }, "-geometry must be WIDTHxHEIGHT" },
            { { "--geometry", "800x600+10" }, "-geometry must be WIDTHxHEIGHT" },
            { { "--batch", "-geometry", "800x600" }, "--geometry is for the window" },
            { { "--scene", "lobby" },
                "--scene must be start, test1, multi, spacetime, compare or sheet, not 'lobby'" },
            { { "--threads", "3" }, "--threads must be 1 or 2, not '3'" },
            { { "--batch", "--cells", "5" }, "--cells must be a whole number from 6 to 5000, not '5'" },
            { { "--batch", "--cells", "100.5" }, "--cells must be a whole number" },
            { { "--batch", "--test", "9" }, "--test must be a test number from 1 to 8, not '9'" },
            { { "--batch", "--test", "1", "--setup", "s.txt" }, "give at most one problem" },
            { { "--batch", "--wave", "0,1,0,1,0,1,0" }, "--wave needs --sound-wave" },
            { { "--batch", "--sound-wave", "--wave", "0.01,1,0" }, "seven comma-separated values" },
            { { "--batch", "--sound-wave", "--wave", "0.01,1,0,1,0,1," }, "--wave value '' is not a number" },
            { { "--batch", "--sound-wave", "--wave", "0.01,x,0,1,0,1,0" }, "--wave value 'x' is not a number" },
            // Waves that make no gas, by the window's own rule.
            { { "--batch", "--sound-wave", "--wave", "20,1,0,1,0,1,0" },
                "--wave refused: |R+ amplitude - R- amplitude| = 20" },
            { { "--batch", "--sound-wave", "--wave", "0,1,0,1,0.75,1,0" },
                "--wave refused: an R0 amplitude of 0.75" },
            { { "--convergence", "--sound-wave", "--wave", "6,1,6,2,0,1,0", "--schemes", "Orvane", "--cells",
                  "32,64" },
                "--wave refused: |R+ amplitude| + |R- amplitude| = 12" },
            // Wave numbers are whole numbers from 1, as in a lab sheet, not rounded.
            { { "--batch", "--sound-wave", "--wave", "0.01,0,0,1,0,1,0" },
                "--wave: a wave number (k+, k-, k0) must be a whole number from 1 up, not '0'" },
            { { "--batch", "--sound-wave", "--wave", "0.01,1,0,1.5,0,1,0" }, "whole number from 1 up, not '1.5'" },
            { { "--batch", "--sound-wave", "--wave", "0.01,1,0,1,0,1.4,0" }, "whole number from 1 up, not '1.4'" },
            { { "--batch", "--sound-wave", "--wave", "0.01,-2,0,1,0,1,0" }, "whole number from 1 up, not '-2'" },
            // Nothing given is silently dropped.
            { { "--batch", "--schemes", "" }, "--schemes needs a list of schemes" },
            { { "--batch", "--test", "1", "--periods", "5" },
                "--periods is not for a shock-tube test: --test runs to its own stop time" },
            { { "--convergence", "--test", "1", "--schemes", "Orvane", "--cells", "32,64", "--periods", "2" },
                "--periods is not for a shock-tube test" },
            { { "--convergence", "--test", "1", "--schemes", "Orvane", "--cells", "1e300,64" },
                "a resolution of 1e300 cells lies outside 6..5000" },
            { { "--batch", "--plots", "p.txt" }, "the line plots are written as PNG or SVG" },
            { { "--batch", "--scheme", "Quux" }, "unknown scheme 'Quux'" },
            { { "--batch", "--courant", "fast" }, "--courant 'fast' is not a number" },
            { { "--batch", "--periods", "nan" }, "--periods 'nan' is not a number" },
            { { "--batch", "--variable", "Density" }, "--variable needs --spacetime" },
            { { "--batch", "--spacetime", "s.png", "--variable", "Heat" }, "unknown space-time variable 'Heat'" },
            { { "--batch", "--spacetime", "s.png", "--size", "huge" }, "--size must be small or big" },
            // The format follows the name: no picture in a file named as text,
            // no CSV under a picture's name, nothing appended.
            { { "--batch", "--spacetime", "s.txt" },
                "--spacetime 's.txt': the space-time picture is written as PNG, so the name must end in .png" },
            { { "--batch", "--spacetime", "s" }, "the name must end in .png" },
            { { "--batch", "--out", "r.png" }, "--out 'r.png': the final state is written as CSV" },
            { { "--batch", "--history", "h.csv.txt" }, "--history 'h.csv.txt'" },
            { { "--exit-after-shown", "1", "--screenshot", "s.jpg" }, "--screenshot 's.jpg'" },
            { { "--exact" }, "--exact is for batch runs (--batch)" },
            { { "--batch", "--waves" }, "--waves needs --spacetime" },
            { { "--riemann", "1,0,1,1,0,1", "--name", "Jo" }, "--riemann stands alone" },
            { { "--riemann", "1,0,1,1,0,0" }, "--riemann: the right pressure pR must be positive, not 0" },
            { { "--riemann", "1,0,1,1,0,1,1" }, "--riemann: gamma must exceed 1, not 1" },
            // Outside the range the explorer carries in double precision.
            { { "--riemann", "1e-300,0,1e-300,1,0,1" },
                "--riemann: the left density rhoL 1e-300 lies outside the range the explorer solves, 1e-100 to "
                "1e+100" },
            { { "--riemann", "1,0,1e300,1,0,1e-300" }, "the left pressure pL 1e+300 lies outside the range" },
            { { "--riemann", "1,2e100,1,1,0,1" }, "the left velocity uL 2e+100 lies outside the range" },
            { { "--check" }, "--check needs at least one lab sheet" },
            { { "--check", "a.json", "--test", "1" }, "--check stands alone" },
            { { "--name", "Jo", "--check", "a.json" }, "--check stands alone" },
            { { "--answers", "a.json" }, "--answers is for --check" },
            { { "--check", "a.json", "b.json", "--answers", "x.json" },
                "--answers grades the answers to one sheet" },
            { { "--check", "a.json", "--answers", "x.json", "--name", "Jo" }, "--check stands alone" },
            { { "--check", "a.json", "b.json", "--report", "r.pdf" }, "--report writes the report of one sheet" },
            { { "--check", "a.json", "--report", "r.txt" }, "the report is written as PDF or HTML" },
            { { "--batch", "--report", "r.pdf" }, "--report is for --check" },
            { { "--batch", "--animation", "run.png" }, "the animation is written as GIF" },
            { { "--batch", "--schemes", "Orvane,Sorvi", "--animation", "run.gif" },
                "--animation is for a run of one scheme" },
            { { "--convergence", "--test", "1", "--schemes", "Orvane", "--cells", "32,64", "--animation",
                  "a.gif" },
                "--animation is not for a convergence study" },
        };
        for (const Case& c : cases) {
            SCOPED_TRACE(joined(c.args));
            const ProgramOptions p = parseProgramOptions(c.args);
            EXPECT_EQ(p.action, Action::Refused);
            EXPECT_NE(p.text.find(c.reason), std::string::npos) << p.text;
        }
    }

    TEST(ProgramOptions, ABatchCommandLineReachesItsOptions)
    {
        const ProgramOptions p = parseProgramOptions({ "--batch", "--sound-wave", "--wave=-0.01,1,0,1,0,1,-0.5",
            "--cells", "400", "--scheme", "Lentor32", "--meter", "--periods", "2", "--plots-per-unit", "30",
            "--courant", "0.5", "--out", "R.CSV", "--history", "h.Csv", "--spacetime", "st.PNG", "--variable",
            "R0 (Entropy)", "--size", "big", "--name", "Jo", "--threads", "1" });
        ASSERT_EQ(p.action, Action::Batch) << p.text;
        const BatchOptions& o = p.batch;
        EXPECT_TRUE(o.soundWave);
        EXPECT_EQ(o.wave, (std::vector<std::string> { "-0.01", "1", "0", "1", "0", "1", "-0.5" }));
        EXPECT_EQ(o.cells, 400);
        EXPECT_EQ(o.scheme, "Lentor32");
        EXPECT_TRUE(o.meter);
        EXPECT_EQ(o.periods, "2");
        EXPECT_EQ(o.plotsPerUnit, "30");
        EXPECT_EQ(o.courant, "0.5");
        EXPECT_EQ(o.outFile, "R.CSV");
        EXPECT_EQ(o.historyFile, "h.Csv");
        EXPECT_EQ(o.spaceTimeFile, "st.PNG");
        EXPECT_EQ(o.variable, "R0 (Entropy)");
        EXPECT_EQ(o.size, "big");
        EXPECT_EQ(o.name, "Jo");
        EXPECT_EQ(o.threads, 1);
        EXPECT_FALSE(o.test);
        EXPECT_FALSE(o.setupFile);
    }

    TEST(ProgramOptions, ExactOptionsReachTheBatchAndRiemannStandsAlone)
    {
        const ProgramOptions p
            = parseProgramOptions({ "--batch", "--test", "1", "--exact", "--spacetime", "s.png", "--waves" });
        ASSERT_EQ(p.action, Action::Batch) << p.text;
        EXPECT_TRUE(p.batch.exact);
        EXPECT_TRUE(p.batch.waves);
        const ProgramOptions r = parseProgramOptions({ "--riemann=1,0.75,1,0.125,0,0.1,1.4" });
        ASSERT_EQ(r.action, Action::Riemann) << r.text;
        EXPECT_EQ(r.text, "1,0.75,1,0.125,0,0.1,1.4");
    }

    TEST(ProgramOptions, CheckTakesEverySheetUpToTheNextOption)
    {
        const ProgramOptions p = parseProgramOptions({ "--check", "sheets/a.json", "b.json", "-odd name.json" });
        ASSERT_EQ(p.action, Action::Check) << p.text;
        EXPECT_EQ(p.sheets, (Args { "sheets/a.json", "b.json", "-odd name.json" }));
        const ProgramOptions q = parseProgramOptions({ "--check=a.json", "b.json" });
        ASSERT_EQ(q.action, Action::Check) << q.text;
        EXPECT_EQ(q.sheets, (Args { "a.json", "b.json" }));
        EXPECT_FALSE(q.answers);
        const ProgramOptions a = parseProgramOptions({ "--check", "a.json", "--answers", "mine.json" });
        ASSERT_EQ(a.action, Action::Check) << a.text;
        EXPECT_EQ(a.sheets, (Args { "a.json" }));
        EXPECT_EQ(a.answers, "mine.json");
        EXPECT_FALSE(a.report);
        // A report names its student; the name goes with --report only.
        const ProgramOptions r = parseProgramOptions(
            { "--check", "a.json", "--answers", "mine.json", "--report", "r.PDF", "--name", "Jo" });
        ASSERT_EQ(r.action, Action::Check) << r.text;
        EXPECT_EQ(r.report, "r.PDF");
        EXPECT_EQ(r.window.studentName, "Jo");
        const ProgramOptions g = parseProgramOptions({ "--batch", "--test", "1", "--animation", "run.GIF" });
        ASSERT_EQ(g.action, Action::Batch) << g.text;
        EXPECT_EQ(g.batch.animationFile, "run.GIF");
    }

    TEST(ProgramOptions, AWindowCommandLineReachesItsStart)
    {
        const ProgramOptions plain = parseProgramOptions({});
        ASSERT_EQ(plain.action, Action::Window);
        EXPECT_FALSE(plain.window.studentName);
        EXPECT_FALSE(plain.window.exitAfterShownMs);
        EXPECT_EQ(plain.window.threads, 2);

        const ProgramOptions p = parseProgramOptions(
            { "--name", "Smoke Test", "--exit-after-shown", "1500", "--screenshot", "shot.png", "--threads=1" });
        ASSERT_EQ(p.action, Action::Window) << p.text;
        EXPECT_EQ(p.window.studentName, "Smoke Test");
        EXPECT_EQ(p.window.exitAfterShownMs, 1500);
        EXPECT_EQ(p.window.screenshotFile, "shot.png");
        EXPECT_EQ(p.window.threads, 1);

        // A screenshot alone waits a second for the first paints; -geometry
        // gives the first size, and a place after it.
        const ProgramOptions shot = parseProgramOptions({ "-geometry", "1400x1072", "--screenshot", "s.png" });
        ASSERT_EQ(shot.action, Action::Window) << shot.text;
        EXPECT_EQ(shot.window.exitAfterShownMs, 1000);
        EXPECT_EQ(shot.window.size, std::make_pair(1400, 1072));
        EXPECT_FALSE(shot.window.position);
        const ProgramOptions placed = parseProgramOptions({ "--geometry=800x600-5+20" });
        ASSERT_EQ(placed.action, Action::Window) << placed.text;
        EXPECT_EQ(placed.window.position, std::make_pair(-5, 20));

        // A file manager opens a sheet or a set-up as the one argument.
        EXPECT_FALSE(plain.window.openFile);
        const ProgramOptions opened = parseProgramOptions({ "--name", "Jo", "sheets/near-vacuum.json" });
        ASSERT_EQ(opened.action, Action::Window) << opened.text;
        EXPECT_EQ(opened.window.openFile, "sheets/near-vacuum.json");
    }

} // namespace
} // namespace tamrel
