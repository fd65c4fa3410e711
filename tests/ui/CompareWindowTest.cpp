// SPDX-License-Identifier: GPL-3.0-or-later
// Schemes side by side in the window, and the convergence study dialog.

#include <QAction>
#include <QComboBox>
#include <QFile>
#include <QProgressBar>
#include <QTableWidget>
#include <QTemporaryDir>
#include <cstring>

#include "compare/Difference.h"
#include "ui/compare/CompareOverlay.h"
#include "ui/compare/StudyDialog.h"
#include "exact/InitialGrid.h"
#include "ui/WindowFixture.h"

namespace tamrel::testing {
namespace {

    class CompareWindowTest : public WindowTest {
    protected:
        // A single run of `scheme` on Test 1, the scheme chosen after the test is loaded.
        std::unique_ptr<frmTamrel> singleRun(const std::string& scheme)
        {
            auto w = makeWindow();
            clickTest(*w, 1);
            dialogs.answer(scheme);
            dialogs.answer("0");
            click(*w, "cmdNumericalScheme");
            click(*w, "cmdBegin");
            for (long i = 0; i < 100000 && stateOf(*w).Stopped == 0 && !w->runFaulted(); ++i)
                w->tick();
            return w;
        }
        void compareSchemes(const std::string& answer)
        {
            dialogs.answer(answer);
            click(*window, "cmdCompareSchemes");
        }
        ComparePanel& compare() { return panels().compare; }
        QComboBox* spaceTimeList() { return control<QComboBox>(*window, "lstCompareSpaceTime"); }
        QAction* action(const char* name) { return window->findChild<QAction*>(QString::fromLatin1(name)); }
    };

    template <class T> bool sameBits(const BoundedArray<T>& a, const BoundedArray<T>& b, long count)
    {
        for (long i = 0; i < count; ++i)
            if (std::memcmp(&a[i], &b[i], sizeof(T)) != 0)
                return false;
        return true;
    }

    const char* const kSchemes[] = { "Orvane", "Mixtal32", "Sorvi" };

    TEST_F(CompareWindowTest, ThreeSchemesStoreTheRowsOfTheirSingleRunsAtCommonSnapshotTimes)
    {
        clickTest(*window, 1);
        compareSchemes("orvane, Mixtal32, sorvi");
        ASSERT_TRUE(compare().comparing());
        EXPECT_EQ(compare().schemes(), (std::vector<std::string> { "Orvane", "Mixtal32", "Sorvi" }));
        click(*window, "cmdBegin");
        runToEnd();
        ASSERT_FALSE(window->runFaulted()) << (dialogs.messages.empty() ? "" : dialogs.messages.back());
        ASSERT_EQ(compare().schemeCount(), 3u);
        EXPECT_EQ(s().SchemeName, "Orvane"); // the grid runs the first scheme

        const ExperimentState& first = compare().record(0);
        for (std::size_t k = 0; k < 3; ++k) {
            SCOPED_TRACE(kSchemes[k]);
            const ExperimentState& r = compare().record(k);
            EXPECT_EQ(r.SchemeName, kSchemes[k]);
            EXPECT_EQ(r.TimeNow, r.TStop);
            // The same snapshot times; the last snapshot and the stop time
            // may fall in one step of one scheme and in two of another.
            EXPECT_LE(std::abs(r.NStoredStates - first.NStoredStates), 1);
            // Row r is the first step at or past r snapshot intervals.
            for (long row = 0; row + 1 < r.NStoredStates; ++row) {
                EXPECT_GE(r.StoredTime[row], row * r.DtPlot * (1 - 1e-9)) << row;
                EXPECT_LT(r.StoredTime[row], (row + 1) * r.DtPlot) << row;
            }
            EXPECT_EQ(r.DtPlot, first.DtPlot);

            auto alone = singleRun(kSchemes[k]);
            const ExperimentState& a = stateOf(*alone);
            ASSERT_EQ(a.NStoredStates, r.NStoredStates);
            const long values = (r.NGridCells + 2) * r.NStoredStates;
            EXPECT_TRUE(sameBits(r.StoredTime, a.StoredTime, r.NStoredStates));
            for (auto member : { &ExperimentState::STRho, &ExperimentState::STP, &ExperimentState::STVX,
                     &ExperimentState::STFSmoke })
                EXPECT_TRUE(sameBits(r.*member, a.*member, values));
            EXPECT_TRUE(sameBits(r.Rho, a.Rho, r.NGridCells + 2));

            // The space-time picture of a scheme chosen in the list is that of its single run.
            spaceTimeList()->setCurrentIndex(static_cast<int>(k));
            window->showSpaceTime("Density", false);
            alone->showSpaceTime("Density", false);
            EXPECT_EQ(window->spaceTimeImage(), alone->spaceTimeImage());
        }
        // The list stands in for the space-time caption while the comparison is on show.
        EXPECT_FALSE(spaceTimeList()->isHidden());
        EXPECT_TRUE(label(*window, "lblDensitySpaceTimePlot")->isHidden());
        // Schemes, then the differences of every pair.
        EXPECT_EQ(spaceTimeList()->count(), 6);
        EXPECT_EQ(spaceTimeList()->itemText(3).toStdString(), "Orvane - Mixtal32");
        spaceTimeList()->setCurrentIndex(3);
        EXPECT_NE(window->spaceTimeImage(), QImage());

        // The exact waves belong to one scheme's run, not to a difference.
        auto* picture = window->findChild<SpaceTimePicture*>(QStringLiteral("pctSpaceTime"));
        ASSERT_NE(picture, nullptr);
        if (button(*window, "cmdExactOverlay")->isChecked())
            click(*window, "cmdExactOverlay");
        spaceTimeList()->setCurrentIndex(3);
        click(*window, "cmdExactOverlay"); // switched on while the difference is on show
        EXPECT_TRUE(picture->waves().empty());
        spaceTimeList()->setCurrentIndex(1);
        EXPECT_FALSE(picture->waves().empty());
    }

    TEST_F(CompareWindowTest, PlotsOverlayTheSchemesWithALegendAndTheDifferenceViewSubtractsTheReference)
    {
        clickTest(*window, 1);
        compareSchemes("Orvane, Mixtal32, Sorvi");
        click(*window, "cmdBegin");
        runToEnd();
        const CompareOverlay& density = compare().overlay(PlotQuantity::Density);
        ASSERT_EQ(density.curves().size(), 2u); // the grid's own scheme is the plot's drawing
        for (const auto& c : density.curves())
            EXPECT_FALSE(c.polylines.empty());
        std::vector<QString> names;
        for (const auto& e : density.legend())
            names.push_back(e.name);
        std::vector<QString> expected { "Orvane", "Mixtal32", "Sorvi" };
        if (!plot(*window, "pctDensityPlot")->overlay().empty())
            expected.push_back("Exact");
        EXPECT_EQ(names, expected);
        EXPECT_NE(density.legend()[1].colour, density.legend()[2].colour);

        // Replay moves every scheme to the row on show.
        bar(*window, "vsbStoredStateNumber")->setValue(5);
        EXPECT_EQ(compare().shownRow(), 5);

        // The exact solution of the set-up's grid is the reference while it holds.
        ExperimentState ready;
        {
            auto w = makeWindow();
            clickTest(*w, 1);
            ready = stateOf(*w);
        }
        exact::InitialGrid grid;
        std::string why;
        ASSERT_TRUE(exact::ReadInitialGrid(ready, grid, why)) << why;
        const exact::ExactSolution e = exact::ExactSolution::Of(grid);
        action("actDifferenceView")->trigger();
        ASSERT_TRUE(compare().differenceView());
        EXPECT_TRUE(density.covering());
        const compare::RowDifference d = compare().shownDifference();
        ASSERT_EQ(d.reference, compare::ReferenceKind::Exact);
        EXPECT_EQ(density.curves().size(), 4u); // the zero line and three schemes
        for (std::size_t k = 0; k < 3; ++k) {
            const ExperimentState& r = compare().record(k);
            const compare::CellValues v = compare::StoredRowValues(r, 5);
            const exact::ExactCells x = e.cellAverages(r.StoredTime[5]);
            ASSERT_EQ(d.minusReference[k].rho.size(), v.rho.size());
            for (std::size_t i = 0; i < v.rho.size(); ++i) {
                EXPECT_DOUBLE_EQ(d.minusReference[k].rho[i], v.rho[i] - x.rho[i + 1]);
                EXPECT_DOUBLE_EQ(d.minusReference[k].vx[i], v.vx[i] - x.u[i + 1]);
            }
        }

        // Where the exact solution no longer holds the first scheme is the reference.
        bar(*window, "vsbStoredStateNumber")->setValue(s().NStoredStates - 1);
        if (!e.validAt(s().StoredTime[s().NStoredStates - 1])) {
            const compare::RowDifference late = compare().shownDifference();
            EXPECT_EQ(late.reference, compare::ReferenceKind::FirstScheme);
            for (double v : late.minusReference[0].p)
                EXPECT_EQ(v, 0.0);
        }
        action("actDifferenceView")->trigger();
        EXPECT_FALSE(density.covering());

        // Ending the comparison drops the copies; so does Restart, and the next Begin makes them afresh.
        compareSchemes("Orvane");
        EXPECT_FALSE(compare().running());
        EXPECT_TRUE(density.legend().empty());
        compareSchemes("Orvane, Mixtal32, Sorvi");
        click(*window, "cmdRestart");
        EXPECT_FALSE(compare().running());
        EXPECT_TRUE(spaceTimeList()->isHidden());
        EXPECT_FALSE(label(*window, "lblDensitySpaceTimePlot")->isHidden());
        EXPECT_TRUE(density.curves().empty());
    }

    TEST_F(CompareWindowTest, TheSchemeChoiceRefusesBadNamesAndOneSchemeEndsTheComparison)
    {
        compareSchemes("Orvane, Nonesuch");
        EXPECT_FALSE(compare().comparing());
        ASSERT_EQ(dialogs.messages.size(), 1u);
        EXPECT_NE(dialogs.messages.back().find("\"Nonesuch\" is not a scheme name"), std::string::npos);
        compareSchemes("Orvane, Sorvi, Orvane32, Lentor32, Mixtal32, Orvane");
        EXPECT_NE(dialogs.messages.back().find("named twice"), std::string::npos);
        compareSchemes("Orvane, Sorvi");
        EXPECT_TRUE(compare().comparing());
        compareSchemes("Sorvi");
        EXPECT_FALSE(compare().comparing());
        // Without a comparison Begin runs the grid alone, as ever.
        clickTest(*window, 1);
        click(*window, "cmdBegin");
        window->tick();
        EXPECT_FALSE(compare().running());
    }

    class StudyDialogTest : public CompareWindowTest {
    protected:
        StudyDialog& study()
        {
            action("actConvergenceStudy")->trigger();
            return *window->findChild<StudyDialog*>(QStringLiteral("dlgConvergenceStudy"));
        }
        void ask(StudyDialog& d, const char* schemes, const char* cells)
        {
            d.findChild<QLineEdit*>(QStringLiteral("txtStudySchemes"))->setText(QString::fromLatin1(schemes));
            d.findChild<QLineEdit*>(QStringLiteral("txtStudyCells"))->setText(QString::fromLatin1(cells));
        }
    };

    TEST_F(StudyDialogTest, BadInputIsRefusedWithAMessageAndNothingRuns)
    {
        struct Case {
            const char* schemes;
            const char* cells;
            const char* reason;
        };
        const Case cases[] = {
            { "Orvane", "64", "at least two resolutions" },
            { "Orvane", "5, 64", "outside 6..5000" },
            { "Orvane", "64, 5001", "outside 6..5000" },
            { "Orvane", "32, lots", "not a whole number" },
            { "Orvane, Upwind", "32, 64", "unknown scheme 'Upwind'" },
        };
        clickTest(*window, 1);
        StudyDialog& d = study();
        for (const Case& c : cases) {
            ask(d, c.schemes, c.cells);
            dialogs.messages.clear();
            EXPECT_FALSE(d.cmdStudyRun_Click()) << c.reason;
            EXPECT_FALSE(d.running());
            ASSERT_EQ(dialogs.messages.size(), 1u) << c.reason;
            EXPECT_NE(dialogs.messages.back().find(c.reason), std::string::npos) << dialogs.messages.back();
        }

        // Problems without a reference: an edited grid, and a sound wave that is not linear.
        ask(d, "Orvane", "32, 64");
        s().Rho[10] = 3.5; // a hand-made grid
        dialogs.messages.clear();
        EXPECT_FALSE(d.cmdStudyRun_Click());
        ASSERT_EQ(dialogs.messages.size(), 1u);
        EXPECT_NE(dialogs.messages.back().find("neither one of the eight tests"), std::string::npos);
        for (const char* a : { "2e-3", "1", "0", "1", "0", "1", "-1" })
            dialogs.answer(a);
        click(*window, "cmdSoundWave");
        dialogs.messages.clear();
        EXPECT_FALSE(d.cmdStudyRun_Click());
        ASSERT_EQ(dialogs.messages.size(), 1u);
        EXPECT_NE(dialogs.messages.back().find("not linear"), std::string::npos) << dialogs.messages.back();
        EXPECT_TRUE(d.result().rows.empty());
    }

    TEST_F(StudyDialogTest, ASmallStudyShowsItsTableAndPlotAndSavesThem)
    {
        clickTest(*window, 1);
        StudyDialog& d = study();
        ask(d, "Orvane, Sorvi", "16, 32");
        ASSERT_TRUE(d.cmdStudyRun_Click());
        d.waitUntilDone();
        const compare::StudyResult& r = d.result();
        ASSERT_TRUE(r.failure.empty()) << r.failure;
        EXPECT_FALSE(r.cancelled);
        ASSERT_EQ(r.rows.size(), 4u);
        EXPECT_EQ(r.rows[0].scheme, "Orvane");
        EXPECT_EQ(r.rows[1].cells, 32);
        EXPECT_LT(r.rows[1].errors[0], r.rows[0].errors[0]);
        EXPECT_EQ(d.findChild<QTableWidget*>(QStringLiteral("tblStudy"))->rowCount(), 4);
        EXPECT_EQ(d.findChild<QProgressBar*>(QStringLiteral("prgStudy"))->value(), 4);
        EXPECT_FALSE(d.findChild<QLabel*>(QStringLiteral("pctStudyPlot"))->pixmap().isNull());

        QTemporaryDir dir;
        const std::string csv = dir.filePath("study.csv").toStdString();
        const std::string svg = dir.filePath("study.svg").toStdString();
        dialogs.answerFile(csv);
        d.cmdStudySaveTable_Click();
        dialogs.answerFile(svg);
        d.cmdStudySavePlot_Click();
        QFile table(QString::fromStdString(csv));
        ASSERT_TRUE(table.open(QIODevice::ReadOnly));
        EXPECT_EQ(table.readLine().trimmed().toStdString(),
            "scheme,cells,l1_rho,l1_vx,l1_p,order_rho,seconds,cell_updates_per_second,floored");
        QFile plotFile(QString::fromStdString(svg));
        ASSERT_TRUE(plotFile.open(QIODevice::ReadOnly));
        EXPECT_TRUE(plotFile.readAll().contains("<svg"));
    }

    TEST_F(StudyDialogTest, CancelKeepsTheFinishedRows)
    {
        clickTest(*window, 1);
        StudyDialog& d = study();
        ask(d, "Orvane", "16, 24, 32, 48, 64, 96");
        // Cancel as soon as the first run has finished.
        QObject::connect(&d, &StudyDialog::progressed, &d, [&d](int done, int) {
            if (done == 1)
                d.cmdStudyCancel_Click();
        });
        ASSERT_TRUE(d.cmdStudyRun_Click());
        d.waitUntilDone();
        const compare::StudyResult& r = d.result();
        EXPECT_TRUE(r.cancelled);
        EXPECT_TRUE(r.failure.empty()) << r.failure;
        ASSERT_GE(r.rows.size(), 1u);
        EXPECT_LT(r.rows.size(), 6u);
        for (const auto& row : r.rows)
            EXPECT_GT(row.errors[0], 0.0);
        EXPECT_EQ(
            d.findChild<QTableWidget*>(QStringLiteral("tblStudy"))->rowCount(), static_cast<int>(r.rows.size()));
    }

    TEST_F(StudyDialogTest, AWindowClosedDuringAStudyStopsIt)
    {
        clickTest(*window, 1);
        StudyDialog& d = study();
        ask(d, "Orvane, Sorvi", "2000, 4000, 5000");
        ASSERT_TRUE(d.cmdStudyRun_Click());
        window.reset(); // cancels the study and waits for its threads
        SUCCEED();
    }

} // namespace
} // namespace tamrel::testing
