// SPDX-License-Identifier: GPL-3.0-or-later
// A lab session without a window: its runs against the batch run of the
// real window, bit for bit; the run controls; refusals as reasons; several
// schemes and a convergence study.

#include <gtest/gtest.h>

#include <chrono>
#include <cmath>
#include <cstring>
#include <fstream>
#include <numeric>
#include <sstream>

#include "LabTestSupport.h"
#include "run/SnapshotRow.h"
#include "setupfile/SetupFile.h"

namespace tamrel::lab {
namespace {

    using testing::BatchResult;
    using testing::runBatch;
    using testing::runLineOf;

    // Equal bit for bit (NaN compared by its bits too).
    void expectSameBits(const std::vector<double>& a, const std::vector<double>& b, const char* what)
    {
        ASSERT_EQ(a.size(), b.size()) << what;
        for (std::size_t i = 0; i < a.size(); ++i)
            ASSERT_EQ(std::memcmp(&a[i], &b[i], sizeof(double)), 0)
                << what << " of cell " << i + 1 << ": " << a[i] << " against " << b[i];
    }

    void expectSameGrid(const GridValues& a, const GridValues& b)
    {
        expectSameBits(a.x, b.x, "x");
        expectSameBits(a.rho, b.rho, "rho");
        expectSameBits(a.p, b.p, "p");
        expectSameBits(a.vx, b.vx, "vx");
        expectSameBits(a.vy, b.vy, "vy");
        expectSameBits(a.smoke, b.smoke, "smoke");
    }

    void expectTaken(const Refusal& r)
    {
        EXPECT_FALSE(r.has_value()) << *r;
    }

    // The same problem set up in a session and in a batch run.
    struct BatchCase {
        const char* name;
        const char* batchArgs; // after --batch
        void (*setUp)(LabSession&);
    };

    void test1At200(LabSession& s)
    {
        expectTaken(s.setGridCells(200));
        expectTaken(s.loadTest(1));
    }

    const BatchCase kBatchCases[] = {
        { "Test1Orvane", "--test 1 --cells 200 --scheme Orvane",
            [](LabSession& s) {
                test1At200(s);
                expectTaken(s.setScheme("Orvane"));
            } },
        { "Test1Mixtal32", "--test 1 --cells 200 --scheme Mixtal32",
            [](LabSession& s) {
                expectTaken(s.setGridCells(200));
                expectTaken(s.setScheme("mixtal32"));
                expectTaken(s.loadTest(1));
            } },
        { "Test1Sorvi", "--test 1 --cells 200 --scheme Sorvi --courant 0.6",
            [](LabSession& s) {
                expectTaken(s.setGridCells(200));
                expectTaken(s.setScheme("Sorvi"));
                expectTaken(s.setCourant(0.6));
                expectTaken(s.loadTest(1));
            } },
        { "Test3Orvane", "--test 3 --cells 300 --scheme Orvane",
            [](LabSession& s) {
                expectTaken(s.setGridCells(300));
                expectTaken(s.loadTest(3));
            } },
        { "Test3Lentor32", "--test 3 --cells 300 --scheme Lentor32",
            [](LabSession& s) {
                expectTaken(s.setGridCells(300));
                expectTaken(s.setScheme("Lentor32"));
                expectTaken(s.loadTest(3));
            } },
        { "Test3Mixtal32", "--test 3 --cells 300 --scheme Mixtal32",
            [](LabSession& s) {
                expectTaken(s.setGridCells(300));
                expectTaken(s.setScheme("Mixtal32"));
                expectTaken(s.loadTest(3));
            } },
        { "SoundWave", "--sound-wave --wave 0.01,2,0.004,1,0.002,3,0.3 --cells 64 --periods 1 --plots-per-unit 50",
            [](LabSession& s) {
                expectTaken(s.setGridCells(64));
                expectTaken(s.setPlotsPerUnit(50));
                expectTaken(s.setPeriods(1));
                expectTaken(s.loadSoundWave({ 0.01, 2, 0.004, 1, 0.002, 3, 0.3 }));
            } },
        { "SoundWaveMixtal32", "--sound-wave --wave 0.01,1,0,1,0,1,-1 --cells 50 --scheme Mixtal32 --periods 0.5",
            [](LabSession& s) {
                expectTaken(s.setGridCells(50));
                expectTaken(s.setScheme("Mixtal32"));
                expectTaken(s.setPeriods(0.5));
                expectTaken(s.loadSoundWave({ 0.01, 1, 0, 1, 0, 1, -1 }));
            } },
    };

    class SessionAgainstBatch : public ::testing::TestWithParam<BatchCase> { };

    TEST_P(SessionAgainstBatch, FinalStateIsTheBatchRunsBitForBit)
    {
        if (!testing::kHaveBatch)
            GTEST_SKIP() << "built without the window";
        const BatchCase& c = GetParam();
        LabSession session;
        c.setUp(session);
        expectTaken(session.runToEnd());
        const BatchResult batch = runBatch(c.batchArgs);
        ASSERT_EQ(batch.status, 0) << batch.summary;
        EXPECT_EQ(runLineOf(session), batch.runLine);
        expectSameGrid(session.grid(), batch.grid);
    }

    INSTANTIATE_TEST_SUITE_P(Problems, SessionAgainstBatch, ::testing::ValuesIn(kBatchCases),
        [](const auto& info) { return std::string(info.param.name); });

    // A set-up file on another grid size than the one in force: the grid is
    // rebuilt from its table through the boxes, twice, as the window does.
    TEST(SessionSetupFile, RunIsTheBatchRunsBitForBit)
    {
        if (!testing::kHaveBatch)
            GTEST_SKIP() << "built without the window";
        LabSession maker;
        expectTaken(maker.setGridCells(150));
        expectTaken(maker.setCourant(0.8125));
        const std::string text = WriteSetupText(maker.record());
        const auto path = std::filesystem::temp_directory_path() / ("tamrel-lab-setup-" + std::to_string(getpid()));
        std::ofstream(path) << text;

        LabSession session;
        expectTaken(session.loadSetupFile(path.string()));
        EXPECT_EQ(session.cells(), 150);
        expectTaken(session.runToEnd());
        const BatchResult batch = runBatch("--setup " + path.string());
        std::filesystem::remove(path);
        ASSERT_EQ(batch.status, 0) << batch.summary;
        EXPECT_EQ(runLineOf(session), batch.runLine);
        expectSameGrid(session.grid(), batch.grid);
    }

    // The grid-size box rebuilds a loaded sound wave on the new grid: the
    // same wave as one loaded on that grid.
    TEST(SessionGridSize, ASoundWaveIsBuiltAgainOnTheNewGrid)
    {
        const SoundWaveAsked wave { 0.02, 1, 0.01, 2, 0, 1, 0.5 };
        LabSession first, after;
        expectTaken(first.setGridCells(80));
        expectTaken(first.loadSoundWave(wave));
        expectTaken(after.loadSoundWave(wave));
        expectTaken(after.setGridCells(80));
        EXPECT_EQ(after.cells(), 80);
        expectSameGrid(after.grid(), first.grid());
        for (LabSession* s : { &first, &after })
            expectTaken(s->runToEnd());
        expectSameGrid(after.grid(), first.grid());
        EXPECT_EQ(after.cycle(), first.cycle());
    }

    TEST(SessionExact, SolutionAndL1AreTheBatchRuns)
    {
        if (!testing::kHaveBatch)
            GTEST_SKIP() << "built without the window";
        LabSession session;
        test1At200(session);
        expectTaken(session.runToEnd());
        const ExactValues e = session.exact();
        ASSERT_TRUE(e.valid) << e.note;
        ASSERT_EQ(e.rho.size(), 200u);
        char expected[200];
        std::snprintf(expected, sizeof expected, "l1_rho=%.17g l1_vx=%.17g l1_p=%.17g", e.l1Rho, e.l1Vx, e.l1P);
        const BatchResult batch = runBatch("--test 1 --cells 200 --exact");
        ASSERT_EQ(batch.status, 0) << batch.summary;
        EXPECT_NE(batch.summary.find(expected), std::string::npos) << batch.summary << "\nwants " << expected;
        // The density jumps in the exact solution: its L1 distance is small
        // but not nothing.
        EXPECT_GT(e.l1Rho, 0);
        EXPECT_LT(e.l1Rho, 0.05);
    }

    TEST(SessionMeter, CountsTheBatchsFlopsPerCell)
    {
        if (!testing::kHaveBatch)
            GTEST_SKIP() << "built without the window";
        LabSession session;
        expectTaken(session.setScheme("Lentor32", true));
        expectTaken(session.loadTest(2));
        expectTaken(session.runToEnd());
        const MeterReading m = session.meter();
        EXPECT_TRUE(m.on);
        EXPECT_GT(m.mflopsTotal, 0);
        char expected[64];
        std::snprintf(expected, sizeof expected, "flops_per_cell=%.0f", m.flopsPerCell);
        const BatchResult batch = runBatch("--test 2 --scheme Lentor32 --meter");
        ASSERT_EQ(batch.status, 0) << batch.summary;
        EXPECT_NE(batch.summary.find(expected), std::string::npos) << batch.summary << "\nwants " << expected;
        EXPECT_GT(m.flopsPerCell, 10);
    }

    // --- The run controls ----------------------------------------------------

    TEST(SessionRun, PauseContinueRestartAndStepsGiveTheSameRun)
    {
        LabSession whole;
        expectTaken(whole.loadTest(2));
        expectTaken(whole.runToEnd());
        const GridValues end = whole.grid();

        // Paused and continued between ticks, then stepped to the end.
        LabSession broken;
        expectTaken(broken.loadTest(2));
        expectTaken(broken.begin());
        EXPECT_EQ(broken.begin(), Refusal("The run has begun already: Restart goes back to the start."));
        broken.tick();
        broken.pause();
        EXPECT_FALSE(broken.running());
        EXPECT_EQ(broken.tick().steps, 0);
        expectTaken(broken.continueRun());
        while (broken.running())
            EXPECT_FALSE(broken.step().fault);
        expectSameGrid(broken.grid(), end);
        EXPECT_EQ(broken.cycle(), whole.cycle());
        EXPECT_EQ(broken.storedRows(), whole.storedRows());
        ASSERT_TRUE(broken.continueRun().has_value());
        EXPECT_NE(broken.continueRun()->find("The run is over"), std::string::npos);

        // Restart brings back the start, and the run after it is the first.
        broken.restart();
        EXPECT_TRUE(broken.ready());
        EXPECT_EQ(broken.storedRows(), 1);
        expectTaken(broken.runToEnd());
        expectSameGrid(broken.grid(), end);
    }

    TEST(SessionRun, TicksCutShortByABudgetGiveTheSameRun)
    {
        LabSession whole;
        expectTaken(whole.setGridCells(300));
        expectTaken(whole.loadTest(3));
        expectTaken(whole.runToEnd());

        // A budget used up by the first step: one step a tick.
        LabSession hurried;
        expectTaken(hurried.setGridCells(300));
        expectTaken(hurried.loadTest(3));
        expectTaken(hurried.begin());
        long ticks = 0;
        while (hurried.running()) {
            const TickOutcome t = hurried.tick(std::chrono::nanoseconds(1));
            EXPECT_FALSE(t.fault);
            EXPECT_EQ(t.steps, 1);
            ++ticks;
        }
        EXPECT_EQ(ticks, hurried.acceptedSteps());
        expectSameGrid(hurried.grid(), whole.grid());
        EXPECT_EQ(hurried.cycle(), whole.cycle());
        EXPECT_EQ(hurried.storedRows(), whole.storedRows());
    }

    TEST(SessionRun, SnapshotsArePlainValuesAtTheirTimes)
    {
        LabSession s;
        expectTaken(s.loadTest(1));
        const GridValues start = s.grid();
        expectTaken(s.runToEnd());
        const std::vector<double> times = s.snapshotTimes();
        ASSERT_EQ(static_cast<long>(times.size()), s.storedRows());
        EXPECT_EQ(times.front(), 0.0);
        EXPECT_EQ(times.back(), s.time());
        EXPECT_TRUE(std::is_sorted(times.begin(), times.end()));
        // Row 0 is the start in single precision; the last row the end.
        const auto first = s.snapshot(0);
        const auto last = s.snapshot(s.storedRows() - 1);
        ASSERT_TRUE(first && last);
        for (std::size_t i = 0; i < start.rho.size(); ++i) {
            EXPECT_EQ(first->rho[i], static_cast<double>(static_cast<float>(start.rho[i])));
            EXPECT_EQ(last->p[i], static_cast<double>(static_cast<float>(s.grid().p[i])));
        }
        EXPECT_FALSE(s.snapshot(s.storedRows()).has_value());
        EXPECT_FALSE(s.snapshot(-1).has_value());
    }

    TEST(SessionRun, LogPlotsChangeNoNumberOfTheRun)
    {
        LabSession plain, logged;
        for (LabSession* s : { &plain, &logged })
            expectTaken(s->loadTest(4));
        expectTaken(logged.setLogPlots(true));
        for (LabSession* s : { &plain, &logged })
            expectTaken(s->runToEnd());
        expectSameGrid(logged.grid(), plain.grid());
        ASSERT_EQ(logged.storedRows(), plain.storedRows());
        // The history holds logarithms now; a snapshot reads back values.
        const long row = plain.storedRows() / 2;
        const GridValues a = *plain.snapshot(row), b = *logged.snapshot(row);
        for (std::size_t i = 0; i < a.rho.size(); ++i) {
            EXPECT_NEAR(b.rho[i], a.rho[i], 1e-6 * a.rho[i]);
            EXPECT_NEAR(b.p[i], a.p[i], 1e-6 * a.p[i]);
            EXPECT_EQ(b.vx[i], a.vx[i]);
        }
    }

    // --- Hand-made states ----------------------------------------------------

    HandMadeState sodByHand(std::size_t n)
    {
        HandMadeState h;
        for (std::size_t i = 0; i < n; ++i) {
            const bool left = i < n / 2;
            h.rho.push_back(left ? 1.0 : 0.125);
            h.p.push_back(left ? 1.0 : 0.1);
            h.vx.push_back(0.0);
        }
        return h;
    }

    TEST(SessionHandMade, RunsBetweenWallsKeepingItsMass)
    {
        LabSession s;
        expectTaken(s.loadState(sodByHand(120)));
        EXPECT_EQ(s.cells(), 120);
        const GridValues start = s.grid();
        expectSameBits(start.rho, sodByHand(120).rho, "rho");
        expectSameBits(start.p, sodByHand(120).p, "p");
        expectTaken(s.runToEnd());
        EXPECT_GT(s.time(), 0);
        const GridValues end = s.grid();
        const double before = std::accumulate(start.rho.begin(), start.rho.end(), 0.0);
        const double after = std::accumulate(end.rho.begin(), end.rho.end(), 0.0);
        EXPECT_NEAR(after, before, 1e-9 * before);
        // The shock has moved into the low-density side.
        EXPECT_GT(end.rho[80], 0.13);
        // A hand-made grid keeps its cells.
        s.restart();
        EXPECT_TRUE(s.setGridCells(200).has_value());
    }

    TEST(SessionHandMade, PeriodicUniformFlowStaysUniform)
    {
        HandMadeState h;
        h.rho.assign(40, 2.0);
        h.p.assign(40, 3.0);
        h.vx.assign(40, 0.5);
        h.smoke.assign(40, 0.0);
        h.smoke[10] = 1.0;
        h.leftBoundary = h.rightBoundary = 4;
        h.gamma = 5.0 / 3.0;
        LabSession s;
        expectTaken(s.loadState(h));
        expectTaken(s.runToEnd());
        for (double r : s.grid().rho)
            EXPECT_NEAR(r, 2.0, 1e-12);
        // The smoke went with the flow and is still all there.
        const GridValues g = s.grid();
        EXPECT_NEAR(std::accumulate(g.smoke.begin(), g.smoke.end(), 0.0), 1.0, 1e-9);
    }

    // --- Refusals --------------------------------------------------------------

    struct RefusalCase {
        const char* name;
        Refusal (*act)(LabSession&);
        const char* reasonHas;
    };

    HandMadeState withValue(double value, int field)
    {
        HandMadeState h = sodByHand(20);
        (field == 0 ? h.rho : field == 1 ? h.p : h.vx)[7] = value;
        return h;
    }

    const RefusalCase kRefusals[] = {
        { "UnknownScheme", [](LabSession& s) { return s.setScheme("Godunov"); }, "is not a scheme name" },
        { "GridTooSmall", [](LabSession& s) { return s.setGridCells(3); }, "6" },
        { "GridTooLarge", [](LabSession& s) { return s.setGridCells(5001); }, "5000" },
        { "CourantOfOne", [](LabSession& s) { return s.setCourant(1.0); }, "from 0.01 to below 1" },
        { "NoRunLength", [](LabSession& s) { return s.setPeriods(0); }, "" },
        { "NoTest9", [](LabSession& s) { return s.loadTest(9); }, "tests are 1 to 8" },
        { "WaveWithoutGas", [](LabSession& s) { return s.loadSoundWave({ 11, 1, 0, 1, 0, 1, 0 }); },
            "Sound Wave refused" },
        { "WaveNumberZero", [](LabSession& s) { return s.loadSoundWave({ 0.01, 0, 0, 1, 0, 1, 0 }); },
            "Get R+ Frequency" },
        { "ArraysOfDifferentLengths",
            [](LabSession& s) {
                HandMadeState h = sodByHand(20);
                h.p.pop_back();
                return s.loadState(h);
            },
            "differ in length" },
        { "ZeroDensity", [](LabSession& s) { return s.loadState(withValue(0.0, 0)); }, "above 0" },
        { "NegativePressure", [](LabSession& s) { return s.loadState(withValue(-1.0, 1)); }, "above 0" },
        { "NaNVelocity", [](LabSession& s) { return s.loadState(withValue(std::nan(""), 2)); }, "finite" },
        { "NaNDensity", [](LabSession& s) { return s.loadState(withValue(std::nan(""), 0)); }, "finite" },
        { "OneSidedPeriodic",
            [](LabSession& s) {
                HandMadeState h = sodByHand(20);
                h.leftBoundary = 4;
                return s.loadState(h);
            },
            "periodic" },
        { "DifconOutOfRange", [](LabSession& s) { return s.setShockConstant("difcon", -1); }, "outside 0 to 10" },
        { "ShkjmpNaN", [](LabSession& s) { return s.setShockConstant("shkjmp", std::nan("")); }, "not a number" },
        { "UnknownConstant", [](LabSession& s) { return s.setShockConstant("gamma", 1); }, "No shock constant" },
        { "NoSmokeStream", [](LabSession& s) { return s.setSmokeStreams(0.4); }, "at least 1 stream" },
        { "BadSetupText", [](LabSession& s) { return s.loadSetupText("not a set-up\n"); }, "This input file will be ignored" },
        { "TestDuringRun",
            [](LabSession& s) {
                (void)s.begin();
                return s.loadTest(2);
            },
            "Restart first" },
    };

    class SessionRefusal : public ::testing::TestWithParam<RefusalCase> { };

    TEST_P(SessionRefusal, ComesBackAsAReasonAndChangesNothing)
    {
        const RefusalCase& c = GetParam();
        LabSession s;
        const GridValues before = s.grid();
        const long cells = s.cells();
        const std::string scheme = s.scheme();
        const Refusal r = c.act(s);
        ASSERT_TRUE(r.has_value());
        EXPECT_FALSE(r->empty());
        EXPECT_NE(r->find(c.reasonHas), std::string::npos) << *r;
        EXPECT_EQ(r->find('\n'), std::string::npos) << *r;
        EXPECT_EQ(s.cells(), cells);
        EXPECT_EQ(s.scheme(), scheme);
        if (s.ready())
            expectSameGrid(s.grid(), before);
    }

    INSTANTIATE_TEST_SUITE_P(Requests, SessionRefusal, ::testing::ValuesIn(kRefusals),
        [](const auto& info) { return std::string(info.param.name); });

    // --- Several schemes -------------------------------------------------------

    TEST(SessionCompare, EachSchemeRunsAsItsOwnSessionWouldInBothModes)
    {
        LabSession s;
        expectTaken(s.setGridCells(120));
        expectTaken(s.loadTest(3));
        const std::vector<std::string> schemes { "Orvane", "Sorvi", "Mixtal32" };
        for (bool lockstep : { false, true }) {
            std::vector<SchemeResult> results;
            expectTaken(s.compareSchemes(schemes, lockstep, results));
            ASSERT_EQ(results.size(), schemes.size());
            for (std::size_t k = 0; k < schemes.size(); ++k) {
                LabSession alone;
                expectTaken(alone.setGridCells(120));
                expectTaken(alone.setScheme(schemes[k]));
                expectTaken(alone.loadTest(3));
                expectTaken(alone.runToEnd());
                EXPECT_TRUE(results[k].finished);
                EXPECT_EQ(results[k].scheme, schemes[k]);
                EXPECT_EQ(results[k].cycles, alone.cycle());
                expectSameGrid(results[k].grid, alone.grid());
            }
        }
        std::vector<SchemeResult> results;
        EXPECT_TRUE(s.compareSchemes({ "Orvane" }, false, results).has_value());
        EXPECT_TRUE(s.compareSchemes({ "Orvane", "Nope" }, false, results).has_value());
    }

    TEST(SessionStudy, ErrorsFallWithTheCells)
    {
        LabSession s;
        expectTaken(s.loadTest(1));
        compare::StudyResult r;
        expectTaken(s.convergenceStudy({ "Orvane", "Sorvi" }, { 50, 100, 200 }, r, 2));
        ASSERT_EQ(r.rows.size(), 6u);
        for (const char* scheme : { "Orvane", "Sorvi" }) {
            const auto rows = r.rowsOf(scheme);
            ASSERT_EQ(rows.size(), 3u);
            EXPECT_GT(rows[0]->errors[0], rows[1]->errors[0]);
            EXPECT_GT(rows[1]->errors[0], rows[2]->errors[0]);
            EXPECT_GT(r.fittedOrder(scheme), 0.4);
        }
        EXPECT_TRUE(s.convergenceStudy({ "Orvane" }, { 50 }, r).has_value());
    }

    // --- No window ---------------------------------------------------------------

    TEST(SessionProgram, LoadsNoQtLibrary)
    {
        std::ifstream maps("/proc/self/maps");
        ASSERT_TRUE(maps.good());
        std::stringstream all;
        all << maps.rdbuf();
        EXPECT_EQ(all.str().find("libQt"), std::string::npos);
    }

} // namespace
} // namespace tamrel::lab
