// SPDX-License-Identifier: GPL-3.0-or-later
// The space-time picture in the window: small and big, the variable list,
// the pick of a stored time and a cell, the pick on the line plots, and the
// PNG export from the window and from a batch run.

#include <QApplication>
#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMouseEvent>
#include <QProcess>
#include <QScrollBar>
#include <QTemporaryDir>
#include <algorithm>
#include <cmath>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>

#include "WindowFixture.h"
#include "ui/kit/LinePlotPicture.h"
#include "ui/kit/SpaceTimePicture.h"
#include "common/Format.h"

using namespace tamrel;
using namespace tamrel::testing;

namespace {

// Stored rows of one variable: rows[s][j-1] is cell j of snapshot s.
using History = std::vector<std::vector<double>>;

History historyOf(const ExperimentState& s, const BoundedArray<float>& a)
{
    const long n = s.NGridCells;
    History rows(static_cast<std::size_t>(s.NStoredStates));
    for (long r = 0; r < s.NStoredStates; ++r)
        for (long j = 1; j <= n; ++j)
            rows[static_cast<std::size_t>(r)].push_back(a[r * (n + 2) + j]);
    return rows;
}

// Check the bottom pixel row of `image` against the first stored row and
// the top pixel row against the last: in every pixel column that lies wholly
// inside one cell the gray level is the value's place between the smallest
// (5) and largest (250) stored value. Needs at least one pixel row per snapshot.
void expectFirstRowAtBottomAndLastAtTop(const QImage& image, const History& rows)
{
    ASSERT_GE(rows.size(), 2u);
    const int W = image.width();
    const int H = image.height();
    const long N = static_cast<long>(rows[0].size());
    ASSERT_GE(H, static_cast<int>(rows.size()));
    double lo = rows[0][0], hi = rows[0][0];
    for (const auto& r : rows)
        for (double v : r)
            lo = std::min(lo, v), hi = std::max(hi, v);
    ASSERT_GT(hi, lo);
    auto gray = [&](double v) { return 5 + 245 * (v - lo) / (hi - lo); };
    const double perCell = static_cast<double>(W) / N;
    int checked = 0;
    for (int c = 0; c < W; ++c) {
        const long cell = static_cast<long>(std::floor((c + 0.5) / perCell)); // 0-based
        if (cell * perCell > c || (cell + 1) * perCell < c + 1)
            continue; // the column straddles two cells
        for (const auto& [y, row] : { std::pair { H - 1, &rows.front() }, std::pair { 0, &rows.back() } }) {
            const double expected = gray((*row)[static_cast<std::size_t>(cell)]);
            ASSERT_NEAR(qGray(image.pixel(c, y)), expected, 1.01) << "column " << c << " pixel row " << y;
        }
        ++checked;
    }
    EXPECT_GT(checked, 20);
}

// Every pixel is a gray level of the scale (5..250) or the black fill (0).
void expectGrayLevelsOnly(const QImage& image)
{
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x) {
            const QRgb p = image.pixel(x, y);
            ASSERT_TRUE(qRed(p) == qGreen(p) && qGreen(p) == qBlue(p)) << x << "," << y;
            const int g = qGray(p);
            ASSERT_TRUE(g == 0 || (g >= 5 && g <= 250)) << g << " at " << x << "," << y;
        }
}

void sendMouse(QWidget* w, QEvent::Type type, QPoint pos)
{
    const Qt::MouseButtons held = type == QEvent::MouseButtonRelease ? Qt::NoButton : Qt::LeftButton;
    QMouseEvent e(type, QPointF(pos), QPointF(w->mapToGlobal(pos)), Qt::LeftButton, held, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

// The rows of one column of a history file written by `tamrel --history`.
History readHistoryColumn(const std::string& path, const std::string& column)
{
    std::ifstream in(path);
    std::string line;
    std::getline(in, line); // "# time=..."
    std::getline(in, line);
    std::vector<std::string> names;
    {
        std::stringstream ss(line);
        std::string name;
        while (std::getline(ss, name, ','))
            names.push_back(name);
    }
    const auto at = std::find(names.begin(), names.end(), column) - names.begin();
    History rows;
    while (std::getline(in, line)) {
        std::stringstream ss(line);
        std::string field;
        std::vector<std::string> fields;
        while (std::getline(ss, field, ','))
            fields.push_back(field);
        const auto row = static_cast<std::size_t>(std::stol(fields[0]));
        if (rows.size() <= row)
            rows.resize(row + 1);
        rows[row].push_back(std::stod(fields[static_cast<std::size_t>(at)]));
    }
    return rows;
}

} // namespace

class SpaceTimeWindowTest : public tamrel::testing::WindowTest {
protected:
    // Test 1 on the start-up grid of 100 cells, run to its end.
    void finishTest1()
    {
        clickTest(*window, 1);
        click(*window, "cmdBegin");
        runToEnd();
        ASSERT_FALSE(window->runFaulted());
        ASSERT_EQ(s().Stopped, 1);
        ASSERT_GT(s().NStoredStates, 10);
    }
    QImage shown() const { return spaceTimePicture(*window)->shownImage(); }
    SpaceTimePicture* picture() const { return spaceTimePicture(*window); }
    std::vector<double> densities()
    {
        std::vector<double> rho;
        for (long j = 0; j <= s().NGridCells + 1; ++j)
            rho.push_back(s().Rho[j]);
        return rho;
    }
    std::string formatRange(const History& rows, bool max)
    {
        double v = rows[0][0];
        for (const auto& r : rows)
            for (double x : r)
                v = max ? std::max(v, x) : std::min(v, x);
        return formatPattern(v, "##0.0####");
    }
};

TEST_F(SpaceTimeWindowTest, ARunEndsWithTheWholeDensityHistoryShownSmall)
{
    ASSERT_NO_FATAL_FAILURE(finishTest1());
    const QImage image = shown();
    ASSERT_EQ(image.size(), QSize(449, 189));
    expectGrayLevelsOnly(image);
    expectFirstRowAtBottomAndLastAtTop(image, historyOf(s(), s().STRho));
}

TEST_F(SpaceTimeWindowTest, DoubleClickShowsItBigOverThePlotsAndClickSmallAgain)
{
    ASSERT_NO_FATAL_FAILURE(finishTest1());
    window->show();
    QLineEdit* const rangeBoxes[] = { box(*window, "txtPressureMin"), box(*window, "txtPressureMax"),
        box(*window, "txtDensityMin"), box(*window, "txtDensityMax") };
    const QPoint insideDensityPlot = plot(*window, "pctDensityPlot")->geometry().center();
    const QPoint onStoredStateBar = bar(*window, "vsbStoredStateNumber")->geometry().center();
    ASSERT_EQ(window->childAt(insideDensityPlot), plot(*window, "pctDensityPlot"));

    panelsOf(*window).spaceTime.pctSpaceTime_DblClick();
    EXPECT_EQ(s().BigSpaceTime, 1);
    EXPECT_EQ(picture()->geometry(), QRect(8, 168, 973, 441));
    EXPECT_EQ(shown().size(), QSize(969, 437));
    EXPECT_EQ(window->childAt(insideDensityPlot), picture());
    EXPECT_EQ(window->childAt(onStoredStateBar), picture());
    for (QLineEdit* box : rangeBoxes)
        EXPECT_TRUE(box->isHidden()) << box->objectName().toStdString();
    const History rho = historyOf(s(), s().STRho);
    EXPECT_EQ(label(*window, "lblVelocityPlot")->text(), "Density");
    EXPECT_EQ(box(*window, "txtVelocityMin")->text().toStdString(), formatRange(rho, false));
    EXPECT_EQ(box(*window, "txtVelocityMax")->text().toStdString(), formatRange(rho, true));
    expectFirstRowAtBottomAndLastAtTop(shown(), rho);
    // A repaint of the velocity plot leaves the gray range in its boxes.
    panelsOf(*window).plots.clearAndRepaint();
    EXPECT_EQ(box(*window, "txtVelocityMax")->text().toStdString(), formatRange(rho, true));

    panelsOf(*window).spaceTime.pctSpaceTime_Click();
    EXPECT_EQ(s().BigSpaceTime, 0);
    EXPECT_EQ(picture()->geometry(), QRect(528, 416, 453, 193));
    EXPECT_EQ(shown().size(), QSize(449, 189));
    EXPECT_EQ(window->childAt(insideDensityPlot), plot(*window, "pctDensityPlot"));
    for (QLineEdit* box : rangeBoxes)
        EXPECT_FALSE(box->isHidden()) << box->objectName().toStdString();
    EXPECT_EQ(label(*window, "lblVelocityPlot")->text(), "Velocity");
    EXPECT_EQ(box(*window, "txtVelocityMin")->text().toStdString(), formatPattern(s().VXMin, "##0.0####"));
    EXPECT_EQ(box(*window, "txtVelocityMax")->text().toStdString(), formatPattern(s().VXMax, "##0.0####"));
}

// The mouse as the platform delivers it: press, release, press, double
// click, release for a double click.
TEST_F(SpaceTimeWindowTest, MouseDoubleClickEndsBigAndAClickEndsSmall)
{
    ASSERT_NO_FATAL_FAILURE(finishTest1());
    const QPoint middle = picture()->rect().center();
    for (QEvent::Type t : { QEvent::MouseButtonPress, QEvent::MouseButtonRelease, QEvent::MouseButtonPress,
             QEvent::MouseButtonDblClick, QEvent::MouseButtonRelease })
        sendMouse(picture(), t, middle);
    EXPECT_EQ(s().BigSpaceTime, 1);
    EXPECT_EQ(picture()->geometry(), QRect(8, 168, 973, 441));

    sendMouse(picture(), QEvent::MouseButtonPress, QPoint(20, 20));
    sendMouse(picture(), QEvent::MouseButtonRelease, QPoint(20, 20));
    EXPECT_EQ(s().BigSpaceTime, 0);
    EXPECT_EQ(picture()->geometry(), QRect(528, 416, 453, 193));
}

TEST_F(SpaceTimeWindowTest, TheListChoosesTheVariable)
{
    ASSERT_NO_FATAL_FAILURE(finishTest1());
    const QImage density = shown();
    grayList(*window)->setCurrentText("Pressure");
    const QImage pressure = shown();
    EXPECT_NE(pressure, density);
    expectFirstRowAtBottomAndLastAtTop(pressure, historyOf(s(), s().STP));
    EXPECT_EQ(label(*window, "lblVelocityPlot")->text(), "Velocity"); // small: the label is the plot's

    panelsOf(*window).spaceTime.pctSpaceTime_DblClick();
    EXPECT_EQ(label(*window, "lblVelocityPlot")->text(), "Pressure");
    grayList(*window)->setCurrentText("R+");
    const History rPlus = historyOf(s(), s().STRPlus);
    EXPECT_EQ(label(*window, "lblVelocityPlot")->text(), "R+");
    EXPECT_EQ(box(*window, "txtVelocityMin")->text().toStdString(), formatRange(rPlus, false));
    EXPECT_EQ(box(*window, "txtVelocityMax")->text().toStdString(), formatRange(rPlus, true));
    expectFirstRowAtBottomAndLastAtTop(shown(), rPlus);
}

TEST_F(SpaceTimeWindowTest, FSmokeUnderSorviShowsDensity)
{
    dialogs.answer("Sorvi");
    dialogs.answer("0");
    click(*window, "cmdNumericalScheme");
    ASSERT_EQ(s().SchemeName, "Sorvi");
    clickTest(*window, 1);
    click(*window, "cmdBegin");
    for (int i = 0; i < 400 && s().NStoredStates < 12; ++i)
        window->tick();
    click(*window, "cmdPause");
    ASSERT_GE(s().NStoredStates, 12);
    panelsOf(*window).spaceTime.pctSpaceTime_Click();
    const QImage density = shown();

    grayList(*window)->setCurrentText("FSmoke");
    EXPECT_EQ(grayList(*window)->currentText(), "Density");
    EXPECT_EQ(shown(), density);
}

TEST_F(SpaceTimeWindowTest, PickLoadsTheStoredTimeAndMakesTheCellCurrent)
{
    ASSERT_NO_FATAL_FAILURE(finishTest1());
    const long n = s().NGridCells;
    const Long last = s().NStoredStates - 1;
    const double W = picture()->scaleWidth();
    const double H = picture()->scaleHeight();
    const double overCell30 = 29.5 / n * W;
    struct Case {
        double y;
        Long row;
    };
    for (const Case c :
        { Case { 0, last }, Case { H, 0 }, Case { H - 1, 0 }, Case { 0.4, last }, Case { 1, last - 1 } }) {
        panelsOf(*window).spaceTime.pctSpaceTime_MouseDown(1, overCell30, c.y);
        EXPECT_EQ(s().StoredStateShown, c.row) << c.y;
        EXPECT_EQ(box(*window, "txtStoredStateNumber")->text().toStdString(), std::to_string(c.row)) << c.y;
        EXPECT_EQ(s().MCurrent, 30);
        EXPECT_EQ(box(*window, "txtMSelected")->text(), "30");
        for (long j = 0; j <= n + 1; ++j)
            ASSERT_FLOAT_EQ(static_cast<float>(s().Rho[j]), s().STRho[c.row * (n + 2) + j]) << "cell " << j;
        EXPECT_DOUBLE_EQ(s().RhoCurrent, s().Rho[30]);
    }
    // The same press through the picture: the top row of the drawing area.
    panelsOf(*window).spaceTime.pctSpaceTime_MouseDown(1, overCell30, H); // snapshot 0 first
    sendMouse(picture(), QEvent::MouseButtonPress, QPoint(2 + 10, 2));
    sendMouse(picture(), QEvent::MouseButtonRelease, QPoint(2 + 10, 2));
    EXPECT_EQ(s().StoredStateShown, last);
    EXPECT_EQ(s().MCurrent, 3); // pixel 10 of 449 lies over cell 3

    // One stored snapshot (after Restart), or a run in progress: no pick.
    click(*window, "cmdRestart");
    ASSERT_EQ(s().NStoredStates, 1);
    const std::vector<double> restarted = densities();
    const Long current = s().MCurrent;
    panelsOf(*window).spaceTime.pctSpaceTime_MouseDown(1, 0.9 * W, H);
    EXPECT_EQ(s().MCurrent, current);
    click(*window, "cmdBegin");
    for (int i = 0; i < 200 && s().NStoredStates < 3; ++i)
        window->tick();
    ASSERT_EQ(s().Stopped, 0);
    const std::vector<double> running = densities();
    panelsOf(*window).spaceTime.pctSpaceTime_MouseDown(1, 0.9 * W, H);
    EXPECT_EQ(s().MCurrent, current);
    EXPECT_EQ(densities(), running);
    EXPECT_NE(s().StoredStateShown, 0);
}

TEST_F(SpaceTimeWindowTest, PressOnALinePlotMakesTheCellUnderThePointerCurrent)
{
    // The start-up problem: 100 cells, no run needed; the pick works at any time.
    const ExperimentState& st = s();
    const long n = st.NGridCells;
    const double W = plot(*window, "pctDensityPlot")->scaleWidth();
    const double xscale = W / (st.X[n + 1] - st.X[1]);
    long interfaceCell = 31; // the left edge of a cell that x / xscale hits exactly
    while (interfaceCell < n - 1 && !(st.X[interfaceCell] * xscale / xscale == st.X[interfaceCell]))
        ++interfaceCell;
    for (LinePlotPicture* picture :
        { plot(*window, "pctDensityPlot"), plot(*window, "pctPressurePlot"), plot(*window, "pctVelocityPlot") }) {
        const std::string name = picture->objectName().toStdString();
        emit picture->mouseDown(1, st.X[interfaceCell] * xscale, 500);
        EXPECT_EQ(st.MCurrent, interfaceCell) << name;
        EXPECT_EQ(box(*window, "txtMSelected")->text().toStdString(), std::to_string(interfaceCell)) << name;
        EXPECT_DOUBLE_EQ(st.PCurrent, st.P[interfaceCell]) << name;
        emit picture->mouseDown(1, W, 0);
        EXPECT_EQ(st.MCurrent, n) << name;
        emit picture->mouseDown(1, 10, 2000);
        EXPECT_EQ(st.MCurrent, 1) << name;
    }
    // Real presses: the last pixel column is cell N; the sunken border picks nothing.
    LinePlotPicture* velocity = plot(*window, "pctVelocityPlot");
    sendMouse(velocity, QEvent::MouseButtonPress, QPoint(velocity->width() - 3, 40));
    EXPECT_EQ(st.MCurrent, n);
    sendMouse(velocity, QEvent::MouseButtonPress, QPoint(2 + 45, 40)); // pixel 45 of 449: cell 11
    EXPECT_EQ(st.MCurrent, 11);
    sendMouse(velocity, QEvent::MouseButtonPress, QPoint(0, 40));
    EXPECT_EQ(st.MCurrent, 11);
    EXPECT_EQ(box(*window, "txtMSelected")->text(), "11");
}

TEST_F(SpaceTimeWindowTest, DegenerateHistoriesAndSizesStayInBounds)
{
    ASSERT_NO_FATAL_FAILURE(finishTest1());
    // Every stored velocity the same negative number: one gray level, 5.
    ExperimentState& st = s();
    const long n = st.NGridCells;
    for (long k = 0; k < st.NStoredStates * (n + 2); ++k)
        st.STVX[k] = -2.5f;
    grayList(*window)->setCurrentText("Velocity");
    QImage image = shown();
    ASSERT_EQ(image.size(), QSize(449, 189));
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            ASSERT_EQ(qGray(image.pixel(x, y)), 5) << x << "," << y;

    // A picture grown past the image it painted into (a larger window): the
    // image is made afresh at the picture's size and drawn at zoom 1.
    picture()->setGeometry(QRect(8, 168, 973, 441));
    panelsOf(*window).spaceTime.pctSpaceTime_Paint();
    image = shown();
    ASSERT_EQ(image.size(), QSize(969, 437));
    for (int y = 0; y < image.height(); ++y)
        for (int x = 0; x < image.width(); ++x)
            ASSERT_EQ(qGray(image.pixel(x, y)), 5) << x << "," << y;
}

TEST_F(SpaceTimeWindowTest, SavePictureAsPngWritesTheImagePixels)
{
    ASSERT_NO_FATAL_FAILURE(finishTest1());
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const std::string path = dir.filePath("density.png").toStdString();
    dialogs.answerFile(path);
    emit picture()->savePngRequested();
    QImage saved(QString::fromStdString(path));
    ASSERT_FALSE(saved.isNull());
    EXPECT_EQ(saved.size(), QSize(449, 189));
    EXPECT_TRUE(saved.isGrayscale());
    const QImage image = shown();
    for (int y = 0; y < saved.height(); ++y)
        for (int x = 0; x < saved.width(); ++x)
            ASSERT_EQ(qGray(saved.pixel(x, y)), qGray(image.pixel(x, y))) << x << "," << y;
    EXPECT_TRUE(dialogs.messages.empty());

    dialogs.answerFile(dir.filePath("no-such-folder/density.png").toStdString());
    emit picture()->savePngRequested();
    ASSERT_EQ(dialogs.messages.size(), 1u);
    EXPECT_NE(dialogs.messages[0].find("could not be saved"), std::string::npos);

    dialogs.answerFile(std::nullopt); // cancelled
    emit picture()->savePngRequested();
    EXPECT_EQ(dialogs.messages.size(), 1u);
}

TEST_F(SpaceTimeWindowTest, BatchRunSavesTheSpaceTimePictureAsPng)
{
    const QString tamrel = QFileInfo(QStringLiteral("/proc/self/exe")).canonicalPath() + QStringLiteral("/tamrel");
    ASSERT_TRUE(QFileInfo(tamrel).isExecutable()) << tamrel.toStdString();
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    struct Case {
        QStringList size; // no --size: small
        QString variable; // empty: the default, "Density"
        std::string column;
        QSize pixels;
    };
    for (const Case& c : { Case { { "--size", "big" }, "", "rho", QSize(969, 437) },
             Case { {}, "Pressure", "p", QSize(449, 189) } }) {
        const QString png = dir.filePath("st.png");
        const QString history = dir.filePath("history.csv");
        QFile::remove(png);
        QStringList args { "--batch", "--test", "1", "--cells", "400", "--spacetime", png, "--history", history };
        args << c.size;
        if (!c.variable.isEmpty())
            args << "--variable" << c.variable;
        QProcess run;
        run.start(tamrel, args);
        ASSERT_TRUE(run.waitForFinished(-1));
        ASSERT_EQ(run.exitCode(), 0) << run.readAllStandardError().toStdString();

        const QImage image(png);
        ASSERT_FALSE(image.isNull());
        EXPECT_EQ(image.size(), c.pixels);
        expectGrayLevelsOnly(image);
        const History rows = readHistoryColumn(history.toStdString(), c.column);
        ASSERT_GT(rows.size(), 10u);
        ASSERT_EQ(rows[0].size(), 400u);
        expectFirstRowAtBottomAndLastAtTop(image, rows);
    }
}
