// SPDX-License-Identifier: GPL-3.0-or-later
// A convergence study's texts and table: the orders, the rows at the
// rounding floor named and left out of the fit, the CSV file.

#include <gtest/gtest.h>

#include <cmath>
#include <filesystem>
#include <fstream>
#include <sstream>

#include "compare/StudyFiles.h"

namespace tamrel::testing {
namespace {

    // Riemann errors of density halving with each doubling (first order)
    // for Orvane; Orvane32 reaches its floor at 400 cells.
    compare::StudyResult study()
    {
        compare::StudyResult r;
        r.kind = compare::StudyKind::Riemann;
        auto row = [](const char* scheme, long cells, double e, double order, bool floored) {
            compare::StudyRow w;
            w.scheme = scheme;
            w.cells = cells;
            w.errors = { e, 2 * e, 3 * e };
            w.order = order;
            w.floored = floored;
            w.seconds = 0.25;
            w.cellUpdatesPerSecond = 1e6;
            return w;
        };
        r.rows = { row("Orvane", 100, 0.04, std::nan(""), false), row("Orvane", 200, 0.02, 1, false),
            row("Orvane", 400, 0.01, 1, false), row("Orvane32", 100, 0.04, std::nan(""), false),
            row("Orvane32", 200, 0.02, 1, false), row("Orvane32", 400, 0.019, 0.07, true) };
        return r;
    }

    TEST(StudyFiles, FloorRowsAreNamedAndLeftOutOfTheFit)
    {
        const compare::StudyResult r = study();
        EXPECT_EQ(studyFitText(r, "Orvane"), "1.0000");
        EXPECT_EQ(studyFitText(r, "Orvane32"), "1.0000 (400 cells at the single-precision floor, not fitted)");
        EXPECT_EQ(studySummaryLine(r, "Orvane"), "scheme=Orvane fitted_order=1.0000 step_orders=1.0000,1.0000");
        EXPECT_EQ(studySummaryLine(r, "Orvane32"),
            "scheme=Orvane32 fitted_order=1.0000 step_orders=1.0000,0.0700 floored_cells=400");
        EXPECT_EQ(studyRowOrderText(r.rows[5]), "0.0700 (floor)");
        EXPECT_EQ(studyRowOrderText(r.rows[0]), "nan");
    }

    TEST(StudyFiles, TheTableHoldsEveryRowWithItsErrorsInFull)
    {
        const auto path = std::filesystem::temp_directory_path() / "tamrel-study-files-test.csv";
        ASSERT_TRUE(writeStudyCsv(study(), path.string()));
        std::ifstream in(path);
        std::stringstream text;
        text << in.rdbuf();
        std::filesystem::remove(path);
        std::string header, first, last, line;
        std::getline(text, header);
        std::getline(text, first);
        while (std::getline(text, line))
            last = line;
        EXPECT_EQ(header, "scheme,cells,l1_rho,l1_vx,l1_p,order_rho,seconds,cell_updates_per_second,floored");
        EXPECT_EQ(first, "Orvane,100,0.040000000000000001,0.080000000000000002,0.12,nan,0.250000,1000000,0");
        EXPECT_EQ(last, "Orvane32,400,0.019,0.037999999999999999,0.056999999999999995,0.0700,0.250000,1000000,1");
        EXPECT_FALSE(writeStudyCsv(study(), "/nonexistent-folder/study.csv"));
    }

    TEST(StudyFiles, AnSvgNameInAnyCase)
    {
        for (const auto& [path, svg] : { std::pair { "plot.svg", true }, { "PLOT.SVG", true }, { "a.Svg", true },
                 { "plot.png", false }, { "svg", false }, { ".svg", true }, { "plot.svg.png", false } })
            EXPECT_EQ(endsWithSvg(path), svg) << path;
    }

} // namespace
} // namespace tamrel::testing
