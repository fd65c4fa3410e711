// SPDX-License-Identifier: GPL-3.0-or-later
// Several schemes from the command line: --schemes side by side and the
// --convergence study, through the built program.

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTextStream>
#include <cmath>
#include <cstdlib>
#include <map>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "ProgramProcess.h"

namespace {

using namespace tamrel::testing;

// The data rows of a CSV (after the comment lines and the header).
std::vector<std::string> dataRows(const std::vector<std::string>& lines)
{
    std::vector<std::string> rows;
    bool header = false;
    for (const std::string& l : lines) {
        if (l.rfind("#", 0) == 0)
            continue;
        if (!header) {
            header = true;
            continue;
        }
        rows.push_back(l);
    }
    return rows;
}

std::vector<std::string> splitLines(const std::string& text)
{
    std::vector<std::string> out;
    for (const QString& l : QString::fromStdString(text).split('\n', Qt::SkipEmptyParts))
        out.push_back(l.toStdString());
    return out;
}

using CompareBatchTest = ProgramFolderTest;

// Every scheme's rows of --out and --history are, after the scheme column,
// those of a run of that scheme alone, byte for byte.
TEST_F(CompareBatchTest, EachSchemesRowsAreThoseOfItsSingleRun)
{
    const QStringList schemes { "Orvane", "Lentor32", "Mixtal32" };
    const Outcome o = run({ "--batch", "--test", "1", "--cells", "80", "--schemes", schemes.join(','), "--out",
        "c.csv", "--history", "ch.csv" });
    ASSERT_EQ(o.exitCode, 0) << o.err;
    const auto summary = splitLines(o.out);
    ASSERT_EQ(summary.size(), 3u) << o.out;

    const auto out = linesOf(path("c.csv")), history = linesOf(path("ch.csv"));
    ASSERT_FALSE(out.empty());
    EXPECT_EQ(out[3], "scheme,cell,x,rho,p,vx,vy,smoke");
    const auto outRows = dataRows(out), historyRows = dataRows(history);
    std::size_t atOut = 0, atHistory = 0;
    for (int k = 0; k < schemes.size(); ++k) {
        const std::string name = schemes[k].toStdString();
        SCOPED_TRACE(name);
        EXPECT_EQ(summary[static_cast<std::size_t>(k)].rfind("scheme=" + name + " ", 0), 0u);
        const Outcome alone = run({ "--batch", "--test", "1", "--cells", "80", "--scheme", schemes[k], "--out",
            "a.csv", "--history", "ah.csv" });
        ASSERT_EQ(alone.exitCode, 0) << alone.err;
        EXPECT_EQ(summaryValue(summary[static_cast<std::size_t>(k)], "time"), summaryValue(alone.out, "time"));
        EXPECT_EQ(summaryValue(summary[static_cast<std::size_t>(k)], "cycles"), summaryValue(alone.out, "cycles"));
        for (const auto& [mine, file, at] :
            { std::tuple(&outRows, "a.csv", &atOut), std::tuple(&historyRows, "ah.csv", &atHistory) }) {
            const auto single = dataRows(linesOf(path(file)));
            ASSERT_FALSE(single.empty());
            for (const std::string& row : single) {
                ASSERT_LT(*at, mine->size());
                ASSERT_EQ((*mine)[(*at)++], name + "," + row);
            }
        }
    }
    EXPECT_EQ(atOut, outRows.size());
    EXPECT_EQ(atHistory, historyRows.size());
}

// The study's CSV: a row per scheme and grid size whose errors are those a
// single run with --exact reports, and orders from one grid to the next.
TEST_F(CompareBatchTest, StudyRowsCarryTheErrorsOfSingleRuns)
{
    const Outcome o = run({ "--convergence", "--test", "1", "--schemes", "Orvane,Sorvi", "--cells", "40,80",
        "--out", "s.csv", "--plot", "s.png" });
    ASSERT_EQ(o.exitCode, 0) << o.err;
    const auto lines = linesOf(path("s.csv"));
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[0], "scheme,cells,l1_rho,l1_vx,l1_p,order_rho,seconds,cell_updates_per_second,floored");
    std::map<std::string, std::vector<double>> rho;
    for (std::size_t i = 1; i < lines.size(); ++i) {
        const QStringList f = QString::fromStdString(lines[i]).split(',');
        ASSERT_EQ(f.size(), 9);
        EXPECT_EQ(f[8], "0"); // a shock tube's errors lie far above rounding
        const Outcome alone = run({ "--batch", "--test", "1", "--scheme", f[0], "--cells", f[1], "--exact" });
        ASSERT_EQ(alone.exitCode, 0) << alone.err;
        EXPECT_EQ(f[2].toDouble(), summaryValue(alone.out, "l1_rho")) << lines[i];
        EXPECT_EQ(f[3].toDouble(), summaryValue(alone.out, "l1_vx")) << lines[i];
        EXPECT_EQ(f[4].toDouble(), summaryValue(alone.out, "l1_p")) << lines[i];
        rho[f[0].toStdString()].push_back(f[2].toDouble());
        if (f[1] == "40")
            EXPECT_EQ(f[5], "nan");
        else
            EXPECT_NEAR(
                f[5].toDouble(), std::log(rho[f[0].toStdString()][0] / f[2].toDouble()) / std::log(2.0), 1e-3);
    }
    // One fitted order per scheme on stdout; with two grid sizes it is the one local order.
    EXPECT_NEAR(summaryValue(o.out, "scheme=Orvane fitted_order"),
        std::log(rho["Orvane"][0] / rho["Orvane"][1]) / std::log(2.0), 1e-3);
    const QImage plot(path("s.png"));
    EXPECT_EQ(plot.size(), QSize(800, 600));
}

TEST_F(CompareBatchTest, ASmallSoundWaveIsStudiedInItsInvariantsAndPlottedAsSvg)
{
    const Outcome o = run({ "--convergence", "--sound-wave", "--wave", "1e-4,1,0,1,0,1,-1", "--periods", "0.25",
        "--schemes", "Orvane", "--cells", "32,64", "--out", "w.csv", "--plot", "w.svg" });
    ASSERT_EQ(o.exitCode, 0) << o.err;
    const auto lines = linesOf(path("w.csv"));
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(
        lines[0], "scheme,cells,l1_rplus,l1_rminus,l1_entropy,order,seconds,cell_updates_per_second,floored");
    const auto svg = linesOf(path("w.svg"));
    ASSERT_GT(svg.size(), 3u);
    EXPECT_NE(svg[1].find("<svg"), std::string::npos);
    EXPECT_EQ(svg.back(), "</svg>");
    // Each step's order on the summary line; no warning for a wave whose
    // velocity stays away from 0.
    EXPECT_NE(o.out.find("scheme=Orvane fitted_order="), std::string::npos) << o.out;
    EXPECT_NE(o.out.find(" step_orders="), std::string::npos) << o.out;
    EXPECT_EQ(o.err.find("VXEpsilon"), std::string::npos) << o.err;

    // A wave whose velocity crosses 0 far too weakly for the velocity floor.
    const Outcome weak = run({ "--convergence", "--sound-wave", "--wave", "1e-6,1,0,1,0,1,0", "--periods", "0.25",
        "--schemes", "Orvane", "--cells", "16,32" });
    ASSERT_EQ(weak.exitCode, 0) << weak.err;
    EXPECT_NE(weak.err.find("tamrel: warning: the wave's velocity crosses 0 with an amplitude of only"),
        std::string::npos)
        << weak.err;
}

// Refused requests exit 2 with the reason and write nothing.
TEST_F(CompareBatchTest, BadRequestsAreRefusedBeforeAnythingRuns)
{
    struct Case {
        QStringList arguments;
        const char* reason;
    };
    const QStringList study { "--convergence", "--out", "s.csv", "--plot", "s.png" };
    const Case cases[] = {
        { study + QStringList { "--test", "1", "--schemes", "Orvane", "--cells", "64" },
            "at least two resolutions" },
        { study + QStringList { "--test", "1", "--schemes", "Orvane", "--cells", "5,64" }, "outside 6..5000" },
        { study + QStringList { "--test", "1", "--schemes", "Orvane", "--cells", "64,5001" }, "outside 6..5000" },
        { study + QStringList { "--test", "1", "--schemes", "Orvane,Upwind", "--cells", "32,64" },
            "unknown scheme 'Upwind'" },
        { study + QStringList { "--sound-wave", "--schemes", "Orvane", "--cells", "32,64" }, "not linear" },
        { study
                + QStringList { "--sound-wave", "--wave", "2e-3,1,0,1,0,1,-1", "--schemes", "Orvane", "--cells",
                    "32,64" },
            "not linear" },
        { study + QStringList { "--schemes", "Orvane", "--cells", "32,64" }, "--test K or --sound-wave" },
        { study
                + QStringList { "--sound-wave", "--wave", "0,1,0,1,0,1,0", "--schemes", "Orvane", "--cells",
                    "32,64" },
            "no exact linear solution: its grid is one constant state, with no wave to measure (every amplitude "
            "is 0)" },
        { { "--batch", "--test", "1", "--schemes", "Orvane", "--out", "s.csv" }, "2 to 5 schemes" },
        { { "--batch", "--test", "1", "--schemes", "Orvane,Sorvi", "--spacetime", "s.png" }, "one scheme" },
    };
    for (const Case& c : cases) {
        const Outcome o = run(c.arguments);
        EXPECT_EQ(o.exitCode, 2) << c.arguments.join(' ').toStdString();
        EXPECT_NE(o.err.find(c.reason), std::string::npos) << o.err;
        EXPECT_TRUE(QDir(folder.path()).entryList(QDir::Files).isEmpty()) << c.arguments.join(' ').toStdString();
    }
}

} // namespace
