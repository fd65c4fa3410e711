// SPDX-License-Identifier: GPL-3.0-or-later
// The window at any size, its axes and its exports: every control scales
// with the window, the pictures are drawn afresh at the new size and a pick
// keeps its meaning, the Axes switch leaves the designed drawings alone, and
// File > Export writes whole files or nothing.

#include <QAction>
#include <QFile>
#include <QFontInfo>
#include <QImage>
#include <QMenu>
#include <QMenuBar>
#include <QStatusBar>
#include <QMouseEvent>
#include <QTemporaryDir>
#include <QXmlStreamReader>
#include <cmath>

#include "WindowFixture.h"
#include "ui/kit/Twips.h"
#include "presets/ShockTubeTests.h"
#include "ui/window/ExportCaption.h"
#include "ui/window/WindowExport.h"
#include "ui/window/WindowLayout.h"
#include "ui/kit/WindowScale.h"
#include "common/Format.h"
#include "run/RunStatus.h"

using namespace tamrel;
using namespace tamrel::testing;

namespace {

void press(QWidget* w, QPointF pos)
{
    QMouseEvent e(
        QEvent::MouseButtonPress, pos, w->mapToGlobal(pos), Qt::LeftButton, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(w, &e);
}

// Where the curve crosses column `fraction` of a picture, as a fraction of
// its height (the first dark pixel from the top).
double curveHeightAt(const QImage& image, double fraction)
{
    const int x = static_cast<int>(fraction * (image.width() - 1));
    for (int y = 0; y < image.height(); ++y)
        if (qGray(image.pixel(x, y)) < 100)
            return static_cast<double>(y) / image.height();
    return -1;
}

class WindowViewTest : public WindowTest {
protected:
    void SetUp() override
    {
        WindowTest::SetUp();
        window->show();
    }
    QMenuBar* menuBar() const { return window->findChild<QMenuBar*>(); }
    QStatusBar* statusBar() const { return window->findChild<QStatusBar*>(QStringLiteral("stbStatus")); }
    // The height the menu bar and the status line take as they are now.
    int chrome() const { return menuBar()->sizeHint().height() + statusBar()->height(); }
    // The window at the size that puts the client area at `scale`. The bars
    // follow the scale, so their height at it is known once it is reached.
    void resizeTo(double scale)
    {
        const QSize client = scaledClientSize(scale);
        for (int round = 0; round < 4 && window->scale() != scale; ++round) {
            window->resize(client.width(), client.height() + chrome());
            QApplication::processEvents();
        }
    }
    // The time box's time as the plots label it.
    QString timeLabel() const
    {
        return QString::fromStdString(
            TimeLabel(parseNumber(box(*window, "txtTime")->text().remove(' ').mid(2).toStdString()).value()));
    }
    QAction* item(const char* name) { return window->findChild<QAction*>(QString::fromLatin1(name)); }
    void finishTest1()
    {
        clickTest(*window, 1);
        click(*window, "cmdBegin");
        runToEnd();
        ASSERT_EQ(s().Stopped, 1);
        ASSERT_GT(s().NStoredStates, 10);
    }
};

} // namespace

TEST_F(WindowViewTest, EveryControlScalesWithTheWindow)
{
    for (double scale : { 1.5, 1.0, kMinimumLayoutScale }) {
        SCOPED_TRACE(scale);
        resizeTo(scale);
        EXPECT_DOUBLE_EQ(window->scale(), scale);
        for (const ControlSpec& c : windowLayout()) {
            SCOPED_TRACE(c.name);
            QWidget* w = control<QWidget>(*window, c.name);
            const QRect want = scaledTwipsRect(QRect(c.left, c.top, c.width, c.height), scale);
            EXPECT_EQ(w->geometry(), want);
            if (scale == 1.0) {
                EXPECT_EQ(want, twipsRect(c.left, c.top, c.width, c.height)); // the designed layout
            }
            if (c.face != Face::Default) {
                EXPECT_EQ(w->font().pixelSize(), std::lround(labFont(c.face).pixelSize() * scale));
            }
            // Every caption stays readable at the smallest size, and a
            // one-line caption of a label still fits its control.
            if (c.face == Face::Default)
                continue;
            EXPECT_GE(w->font().pixelSize(), 7);
            auto* l = qobject_cast<QLabel*>(w);
            if (l && !l->wordWrap() && !l->text().isEmpty()) {
                EXPECT_LE(l->fontMetrics().horizontalAdvance(l->text()), w->width() + 2)
                    << l->text().toStdString();
            }
        }
    }
    // The window goes no smaller than the smallest scale.
    const QSize smallest = scaledClientSize(kMinimumLayoutScale);
    EXPECT_EQ(window->minimumSize(), QSize(smallest.width(), smallest.height() + chrome()));
    // A window of another shape keeps the proportions: the client area is
    // as large as fits, centred.
    resizeTo(1.2);
    window->resize(1600, window->height());
    QApplication::processEvents();
    EXPECT_NEAR(window->scale(), 1.2, 0.002);
    const QSize client = scaledClientSize(window->scale());
    EXPECT_EQ(control<QWidget>(*window, "client")->size(), client);
    EXPECT_EQ(control<QWidget>(*window, "client")->x(), (1600 - client.width()) / 2);
}

// The menu bar, its menus and the status line follow the scale of the
// client area, never below a legible size, and stay clear of it; a message
// cut to the line's width is cut again when the window grows.
TEST_F(WindowViewTest, TheBarsScaleWithTheWindow)
{
    resizeTo(1.0);
    ASSERT_EQ(window->scale(), 1.0);
    QMenu* fileMenu = menuBar()->actions().front()->menu();
    ASSERT_NE(fileMenu, nullptr);
    const QLabel* runState = label(*window, "lblRunStatus");
    const auto pixels = [](const QWidget* w) { return QFontInfo(w->font()).pixelSize(); };
    const int designedMenu = pixels(menuBar());
    const int designedStatus = pixels(statusBar());
    EXPECT_EQ(statusBar()->height(), kStatusLineHeight);
    const int designedMenuHeight = menuBar()->height();
    sayInStatusLine(*window, std::string(400, 'x'));

    for (double scale : { 1.5, kMinimumLayoutScale, 1.0 }) {
        SCOPED_TRACE(scale);
        resizeTo(scale);
        ASSERT_EQ(window->scale(), scale);
        const auto want = [scale](int designed) {
            return std::max<int>(std::min(kLegibleBarPixels, designed), std::lround(designed * scale));
        };
        EXPECT_EQ(pixels(menuBar()), want(designedMenu));
        EXPECT_EQ(pixels(fileMenu), want(designedMenu));
        EXPECT_EQ(pixels(statusBar()), want(designedStatus));
        EXPECT_EQ(pixels(runState), want(designedStatus));
        EXPECT_GE(pixels(menuBar()), std::min(kLegibleBarPixels, designedMenu));
        EXPECT_GE(pixels(statusBar()), std::min(kLegibleBarPixels, designedStatus));
        if (scale > 1) {
            EXPECT_GT(menuBar()->height(), designedMenuHeight);
            EXPECT_GT(statusBar()->height(), kStatusLineHeight);
        }
        // The bars hold their text and leave the client area alone.
        EXPECT_GE(menuBar()->height(), menuBar()->fontMetrics().height());
        EXPECT_GE(statusBar()->height(), statusBar()->fontMetrics().height());
        const QRect client = control<QWidget>(*window, "client")->geometry();
        EXPECT_LE(menuBar()->geometry().bottom(), client.top());
        EXPECT_LE(client.bottom(), statusBar()->geometry().top());
        EXPECT_EQ(statusBar()->geometry().bottom(), window->height() - 1);
        // The long message still ends before the run's state.
        EXPECT_TRUE(statusBar()->currentMessage().endsWith(QChar(0x2026)));
        EXPECT_LE(statusBar()->fontMetrics().horizontalAdvance(statusBar()->currentMessage())
                + runState->sizeHint().width(),
            statusBar()->width());
    }
}

// The first size: the designed one where it fits in nine tenths of the
// screen with a frame around it, smaller on a small screen, never below the
// minimum.
TEST_F(WindowViewTest, TheFirstSizeFitsTheScreen)
{
    const QSize designed(scaledClientSize(1.0).width(), scaledClientSize(1.0).height() + chrome());
    EXPECT_EQ(window->firstSize(QRect(0, 0, 2560, 1440)), designed);
    for (const QRect screen : { QRect(0, 0, 1366, 768), QRect(0, 0, 1280, 800), QRect(0, 0, 1440, 900) }) {
        SCOPED_TRACE(screen.width());
        const QSize first = window->firstSize(screen);
        EXPECT_LT(first.height(), designed.height());
        EXPECT_LE(first.height() + 40, 0.9 * screen.height() + 1);
        EXPECT_LE(first.width(), 0.9 * screen.width());
        EXPECT_GE(first.width(), window->minimumWidth());
        EXPECT_GE(first.height(), window->minimumHeight());
    }
    EXPECT_EQ(window->firstSize(QRect(0, 0, 640, 480)), window->minimumSize());
}

TEST_F(WindowViewTest, PicturesAreDrawnAfreshAndPicksKeepTheirMeaning)
{
    ASSERT_NO_FATAL_FAILURE(finishTest1());
    LinePlotPicture* density = plot(*window, "pctDensityPlot");
    const double designedHeight = curveHeightAt(density->surface(), 0.7);
    ASSERT_GT(designedHeight, 0);
    const int designedTwips = density->scaleWidth();

    resizeTo(1.6);
    // The drawing, in twips, is the same plot: the picture's twips are its
    // pixels over the scale (within the 2-pixel border, which keeps its size).
    EXPECT_NEAR(density->scaleWidth(), designedTwips, 0.005 * designedTwips);
    EXPECT_EQ(density->surface().size(), density->size() - QSize(4, 4));
    EXPECT_NEAR(curveHeightAt(density->surface(), 0.7), designedHeight, 0.02);

    // The space-time image is rasterised again at the picture's new size.
    SpaceTimePicture* spaceTime = spaceTimePicture(*window);
    EXPECT_EQ(spaceTime->shownImage().size(), QSize(spaceTime->scaleWidth(), spaceTime->scaleHeight()));
    EXPECT_EQ(spaceTime->shownImage().size(), spaceTime->size() - QSize(4, 4));

    // A press at 30 % of the width picks the same cell at both sizes.
    const auto pickAt = [&](double fraction) {
        press(density, QPointF(2 + fraction * (density->width() - 4), 20));
        return s().MCurrent;
    };
    const Long wide = pickAt(0.3);
    resizeTo(1.0);
    EXPECT_EQ(pickAt(0.3), wide);
    EXPECT_EQ(density->scaleWidth(), designedTwips);
}

TEST_F(WindowViewTest, TheAxesSwitchLeavesTheDesignedDrawingsAlone)
{
    ASSERT_NO_FATAL_FAILURE(finishTest1());
    LinePlotPicture* density = plot(*window, "pctDensityPlot");
    QAction* axes = item("actAxes");
    ASSERT_NE(axes, nullptr);
    axes->setChecked(true);
    EXPECT_EQ(density->axes().variable, "density");
    EXPECT_TRUE(density->axes().shown);
    EXPECT_EQ(density->timeText(), timeLabel());
    EXPECT_EQ(spaceTimePicture(*window)->axes().variable, "Density");
    EXPECT_DOUBLE_EQ(spaceTimePicture(*window)->axes().tmax, s().StoredTime[s().NStoredStates - 1]);

    const QImage designed = density->surface().copy();
    const QImage withAxes = density->grab().toImage();
    axes->setChecked(false);
    EXPECT_FALSE(density->axesShown());
    EXPECT_FALSE(spaceTimePicture(*window)->axesShown());
    const QImage plain = density->grab().toImage();
    EXPECT_NE(withAxes, plain);
    EXPECT_EQ(density->surface(), designed);
    // Without axes the picture shows the designed drawing with the exact
    // overlay, nothing more.
    EXPECT_EQ(plain.copy(2, 2, designed.width(), designed.height()).convertToFormat(QImage::Format_RGB32),
        density->shownImage().convertToFormat(QImage::Format_RGB32));
    axes->setChecked(true);

    // Multi overlays the rows stepped through; the legend names their times.
    click(*window, "cmdMultiplePlots");
    for (int row : { 2, 5, 8 })
        bar(*window, "vsbStoredStateNumber")->setValue(row);
    const QStringList times = density->overlaidTimes();
    ASSERT_GE(times.size(), 3);
    EXPECT_EQ(times.back(), timeLabel());
    EXPECT_NEAR(parseNumber(times.back().mid(4).toStdString()).value_or(-1), s().StoredTime[8], 1e-4);
    click(*window, "cmdSinglePlots");
    EXPECT_EQ(density->overlaidTimes().size(), 1);
}

TEST_F(WindowViewTest, ButtonsAndTheirMenuItemsFollowEveryRunState)
{
    clickTest(*window, 1);
    const auto check = [&](const char* phase) {
        SCOPED_TRACE(phase);
        EXPECT_STREQ(PhaseName(PhaseOf(s())), phase);
        for (const ButtonUse& use : ButtonUses(s(), kShockTubeTestCount)) {
            SCOPED_TRACE(use.name);
            QPushButton* b = button(*window, use.name);
            EXPECT_EQ(b->isEnabled(), use.acts);
            if (!use.acts) {
                EXPECT_EQ(b->toolTip().toStdString(), use.why);
            }
            for (QAction* a : window->findChildren<QAction*>()) {
                if (a->objectName() == QStringLiteral("act") + QString::fromStdString(use.name).mid(3)) {
                    EXPECT_EQ(a->isEnabled(), use.acts);
                }
            }
        }
        EXPECT_TRUE(item("actExport")->isEnabled());
    };
    check("Ready");
    item("actBegin")->trigger();
    window->tick();
    check("Running");
    item("actPauseContinue")->trigger();
    check("Halted");
    item("actPauseContinue")->trigger();
    runToEnd();
    check("Finished");
}

TEST_F(WindowViewTest, ExportWritesEachKindWhole)
{
    ASSERT_NO_FATAL_FAILURE(finishTest1());
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const auto exportAs = [&](const char* name, int kind) {
        const QString path = dir.filePath(QString::fromLatin1(name));
        dialogs.answerFile(path.toStdString());
        dialogs.answerKind(kind);
        item("actExport")->trigger();
        return path;
    };
    const long n = s().NGridCells;

    EXPECT_EQ(QImage(exportAs("plots.png", 0)).size(), linePlotsExportSize());
    EXPECT_EQ(QImage(exportAs("st.png", 2)).size(), QSize(449, 189 + kCaptionHeight)); // the caption line under it

    // The SVG parses and holds the three curves: black polylines through
    // every cell.
    QFile svg(exportAs("plots.svg", 1));
    ASSERT_TRUE(svg.open(QIODevice::ReadOnly));
    QXmlStreamReader xml(&svg);
    std::vector<QString> strokes { QStringLiteral("none") };
    int curves = 0;
    while (!xml.atEnd()) {
        xml.readNext();
        if (xml.isStartElement()) {
            const QString stroke = xml.attributes().value(QStringLiteral("stroke")).toString();
            strokes.push_back(stroke.isEmpty() ? strokes.back() : stroke);
            if (xml.name() == QStringLiteral("polyline") && strokes.back() == QStringLiteral("#000000")
                && xml.attributes()
                        .value(QStringLiteral("points"))
                        .split(QLatin1Char(' '), Qt::SkipEmptyParts)
                        .size()
                    >= n)
                ++curves;
        } else if (xml.isEndElement()) {
            strokes.pop_back();
        }
    }
    EXPECT_FALSE(xml.hasError()) << xml.errorString().toStdString();
    EXPECT_EQ(curves, 3);
    QFile stSvg(exportAs("st.svg", 3));
    ASSERT_TRUE(stSvg.open(QIODevice::ReadOnly));
    EXPECT_TRUE(stSvg.readAll().contains("<image"));

    // The data in the batch format: the state on show and every row.
    const auto lines = [](const QString& path) {
        QFile f(path);
        f.open(QIODevice::ReadOnly);
        return QString::fromUtf8(f.readAll()).split(QLatin1Char('\n'), Qt::SkipEmptyParts);
    };
    const QStringList shown = lines(exportAs("state.csv", 4));
    ASSERT_EQ(shown.size(), n + 2);
    EXPECT_TRUE(shown[0].startsWith(QStringLiteral("# time=")));
    EXPECT_EQ(shown[1], QStringLiteral("cell,x,rho,p,vx,vy,smoke"));
    EXPECT_EQ(lines(exportAs("history.csv", 5)).size(), 2 + s().NStoredStates * n);

    // Without a chosen kind the name decides: .svg the plots as SVG.
    QFile byName(exportAs("named.svg", -1));
    ASSERT_TRUE(byName.open(QIODevice::ReadOnly));
    EXPECT_TRUE(byName.readAll().contains("<svg"));

    // An unwritable path: said so, and nothing written.
    const QString nowhere = dir.filePath(QStringLiteral("missing/plots.png"));
    exportAs("missing/plots.png", 0);
    EXPECT_FALSE(QFile::exists(nowhere));
    ASSERT_FALSE(dialogs.messages.empty());
    EXPECT_NE(dialogs.messages.back().find("Nothing was exported"), std::string::npos);
    EXPECT_EQ(QDir(dir.path()).entryList(QDir::Files).size(), 7); // the seven written above, no leftovers
}

// The typed name's extension decides the format within the chosen picture;
// a name that is none of its formats is refused with the reason.
TEST_F(WindowViewTest, ExportFollowsTheTypedExtension)
{
    struct Case {
        int filter;
        const char* name;
        std::optional<ExportKind> kind;
        const char* refusal;
    };
    const Case cases[] = {
        { 0, "x.svg", ExportKind::LinePlotsSvg, "" },
        { 1, "x.PNG", ExportKind::LinePlotsPng, "" },
        { 3, "x.png", ExportKind::SpaceTimePng, "" },
        { 2, "x.svg", ExportKind::SpaceTimeSvg, "" },
        { 5, "x.csv", ExportKind::HistoryCsv, "" },
        { -1, "x.png", ExportKind::LinePlotsPng, "" },
        { 0, "x.csv", std::nullopt,
            "'x.csv' does not end in .png or .svg: the line plots are saved as PNG or SVG" },
        { 2, "x", std::nullopt,
            "'x' does not end in .png or .svg: the space-time picture is saved as PNG or SVG" },
        { 4, "x.png", std::nullopt, "'x.png' does not end in .csv: the state on show is saved as CSV" },
        { -1, "x.jpg", std::nullopt, "does not end in .png, .svg or .csv" },
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.name) + " with filter " + std::to_string(c.filter));
        const ExportChoice choice = exportKindFor(c.filter, c.name);
        EXPECT_EQ(choice.kind, c.kind);
        EXPECT_NE(choice.refusal.find(c.refusal), std::string::npos) << choice.refusal;
    }

    // Through the menu: the PNG filter with x.svg writes an SVG; x.csv
    // under it writes nothing and says why.
    ASSERT_NO_FATAL_FAILURE(finishTest1());
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    dialogs.answerFile(dir.filePath(QStringLiteral("x.svg")).toStdString());
    dialogs.answerKind(0);
    item("actExport")->trigger();
    QFile svg(dir.filePath(QStringLiteral("x.svg")));
    ASSERT_TRUE(svg.open(QIODevice::ReadOnly));
    EXPECT_TRUE(svg.readAll().contains("<svg"));
    dialogs.answerFile(dir.filePath(QStringLiteral("x.csv")).toStdString());
    dialogs.answerKind(0);
    item("actExport")->trigger();
    EXPECT_FALSE(QFile::exists(dir.filePath(QStringLiteral("x.csv"))));
    ASSERT_FALSE(dialogs.messages.empty());
    EXPECT_NE(dialogs.messages.back().find("does not end in .png or .svg"), std::string::npos);
}

// Every picture and table checks that its bytes reached the file: a full
// disk fails each kind (the SVG as well as the PNG and the CSV).
TEST_F(WindowViewTest, AWriteThatFailsIsSaidForEveryKind)
{
    ASSERT_NO_FATAL_FAILURE(finishTest1());
    for (const ExportKind kind : { ExportKind::LinePlotsPng, ExportKind::LinePlotsSvg, ExportKind::SpaceTimePng,
             ExportKind::SpaceTimeSvg, ExportKind::ShownStateCsv, ExportKind::HistoryCsv }) {
        SCOPED_TRACE(static_cast<int>(kind));
        const auto failure = writeView(*window, s(), kind, "/dev/full");
        ASSERT_TRUE(failure.has_value());
        EXPECT_EQ(*failure, "cannot write '/dev/full'");
    }
}
