// SPDX-License-Identifier: GPL-3.0-or-later
// The menu bar's shortcuts act only where their buttons would, and the
// status line and the buttons follow the run through its states.

#include <QAction>
#include <QFile>
#include <QKeySequence>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QRegularExpression>
#include <QStatusBar>
#include <QTextBlock>
#include <QTextBrowser>
#include <map>

#include "WindowFixture.h"
#include "ui/kit/ElidedLabel.h"
#include "ui/window/UserGuide.h"
#include "presets/ShockTubeTests.h"

using namespace tamrel;
using namespace tamrel::testing;

namespace {

class MenusAndStatusTest : public WindowTest {
protected:
    QAction* item(const char* name)
    {
        auto* a = window->findChild<QAction*>(QString::fromLatin1(name));
        EXPECT_NE(a, nullptr) << name;
        return a;
    }
    std::string runStatus() { return label(*window, "lblRunStatus")->text().toStdString(); }
};

} // namespace

TEST_F(MenusAndStatusTest, ShortcutsAreTheUsualKeys)
{
    const struct {
        const char* item;
        QKeySequence keys;
    } cases[] = {
        { "actPauseContinue", QKeySequence(Qt::Key_Space) },
        { "actBegin", QKeySequence(Qt::CTRL | Qt::Key_B) },
        { "actRestart", QKeySequence(Qt::CTRL | Qt::Key_R) },
        { "actTest1", QKeySequence(Qt::ALT | Qt::Key_1) },
        { "actTest8", QKeySequence(Qt::ALT | Qt::Key_8) },
        { "actReadSetUp", QKeySequence(QKeySequence::Open) },
        { "actWriteSetUp", QKeySequence(QKeySequence::Save) },
        { "actUserGuide", QKeySequence(QKeySequence::HelpContents) },
        { "actExport", QKeySequence(Qt::CTRL | Qt::Key_E) },
        { "actExactOverlay", QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_E) },
    };
    for (const auto& c : cases) {
        if (QAction* a = item(c.item)) {
            EXPECT_EQ(a->shortcut(), c.keys) << c.item;
        }
    }
    // No two items share a key.
    std::map<QString, QString> owners;
    for (QAction* a : window->findChildren<QAction*>()) {
        if (a->shortcut().isEmpty())
            continue;
        const auto [at, fresh] = owners.emplace(a->shortcut().toString(), a->objectName());
        EXPECT_TRUE(fresh) << a->shortcut().toString().toStdString() << ": " << at->second.toStdString() << " and "
                           << a->objectName().toStdString();
    }
}

// The Run menu offers every test of the presets' table, and no more.
TEST_F(MenusAndStatusTest, TheRunMenuHasAnItemForEveryTest)
{
    for (int t = 1; t <= kShockTubeTestCount; ++t) {
        const std::string name = "actTest" + std::to_string(t);
        if (QAction* a = item(name.c_str())) {
            EXPECT_EQ(a->text(), QStringLiteral("Test &%1").arg(t));
        }
    }
    EXPECT_EQ(window->findChild<QAction*>(QStringLiteral("actTest%1").arg(kShockTubeTestCount + 1)), nullptr);
}

TEST_F(MenusAndStatusTest, F1OpensTheGuideBuiltIntoTheProgram)
{
    item("actUserGuide")->trigger();
    auto* guide = window->findChild<QTextBrowser*>(QStringLiteral("txtUserGuide"));
    ASSERT_NE(guide, nullptr);
    const std::string text = guide->toPlainText().toStdString();
    for (const char* topic : { "The eight tests", "The schemes", "The Courant number", "Riemann invariants",
             "Units", "Shortcuts", "Batch mode" })
        EXPECT_NE(text.find(topic), std::string::npos) << topic;
    // The pictures the guide shows are built in with it.
    for (const QString& picture : userGuidePictures(userGuideMarkdown()))
        EXPECT_TRUE(QFile::exists(userGuideFolder() + "/" + picture)) << picture.toStdString();
    EXPECT_EQ(userGuidePictures("![a](images/a.png) text ![b c](images/b.png)"),
        QStringList({ "images/a.png", "images/b.png" }));
    // The window's pictures are among them, each shown narrower than the
    // guide's window.
    EXPECT_GE(userGuidePictures(userGuideMarkdown()).size(), 5);
    int pictures = 0;
    for (QTextBlock block = guide->document()->begin(); block.isValid(); block = block.next())
        for (auto it = block.begin(); !it.atEnd(); ++it)
            if (it.fragment().charFormat().isImageFormat()) {
                ++pictures;
                EXPECT_LE(it.fragment().charFormat().toImageFormat().width(), 660);
                EXPECT_GT(it.fragment().charFormat().toImageFormat().width(), 0);
            }
    EXPECT_GE(pictures, 5);
}

TEST_F(MenusAndStatusTest, ShortcutsActOnlyWhereTheirButtonsWould)
{
    clickTest(*window, 1);
    EXPECT_TRUE(runStatus().starts_with("Ready")) << runStatus();
    // Space before any run: Continue has no stored row, nothing happens.
    item("actPauseContinue")->trigger();
    EXPECT_EQ(s().Stopped, 1);

    item("actBegin")->trigger();
    EXPECT_EQ(s().Stopped, 0);
    window->tick();
    EXPECT_TRUE(runStatus().starts_with("Running")) << runStatus();
    // Begin is greyed out in its menu as on its button, and does nothing.
    EXPECT_FALSE(button(*window, "cmdBegin")->isEnabled());
    EXPECT_FALSE(item("actBegin")->isEnabled());
    EXPECT_FALSE(item("actSoundWave")->isEnabled());

    item("actPauseContinue")->trigger(); // Space pauses ...
    EXPECT_EQ(s().Stopped, 1);
    EXPECT_TRUE(runStatus().starts_with("Halted")) << runStatus();
    const double t = s().TimeNow;
    item("actBegin")->trigger(); // ... Begin after Pause does nothing ...
    EXPECT_EQ(s().TimeNow, t);
    EXPECT_EQ(s().Stopped, 1);
    item("actPauseContinue")->trigger(); // ... and Space goes on
    EXPECT_EQ(s().Stopped, 0);

    runToEnd();
    EXPECT_TRUE(runStatus().starts_with("Finished")) << runStatus();
    EXPECT_NE(button(*window, "cmdBegin")->toolTip().toStdString().find("press Restart to run again"),
        std::string::npos);
    EXPECT_FALSE(button(*window, "cmdContinue")->isEnabled());

    item("actRestart")->trigger();
    EXPECT_TRUE(runStatus().starts_with("Ready")) << runStatus();
    EXPECT_TRUE(button(*window, "cmdBegin")->isEnabled());
    EXPECT_EQ(button(*window, "cmdBegin")->toolTip(), "Press to begin the calculation (from the beginning).");
    item("actTest3")->trigger();
    EXPECT_EQ(s().TStop, 0.15);
}

// Space and Ctrl+E are the window's wherever the focus is: a text box does
// not claim them (a number box has no use for a blank or an end-of-line key),
// so the shortcut acts. Other keys still go to the box.
TEST_F(MenusAndStatusTest, SpaceAndCtrlEReachTheWindowFromATextBox)
{
    QLineEdit* periods = box(*window, "txtNPlotsPerPeriod");
    auto claimed = [&](Qt::Key key, Qt::KeyboardModifiers modifiers, const QString& text) {
        QKeyEvent e(QEvent::ShortcutOverride, key, modifiers, text);
        e.setAccepted(false);
        QCoreApplication::sendEvent(periods, &e);
        return e.isAccepted();
    };
    EXPECT_FALSE(claimed(Qt::Key_Space, Qt::NoModifier, QStringLiteral(" ")));
    EXPECT_FALSE(claimed(Qt::Key_E, Qt::ControlModifier, QStringLiteral("\x05")));
    EXPECT_TRUE(claimed(Qt::Key_5, Qt::NoModifier, QStringLiteral("5")));
}

// After Begin (or Pause) greys out the button that had the focus, the focus
// stays with the window rather than passing on to "Plots / Time Unit", where
// the next Space would be typed into the box.
TEST_F(MenusAndStatusTest, TheFocusDoesNotLandInATextBoxAfterBeginOrPause)
{
    window->show();
    QApplication::setActiveWindow(window.get());
    clickTest(*window, 1);
    for (const char* name : { "cmdBegin", "cmdPause" }) {
        SCOPED_TRACE(name);
        QPushButton* b = button(*window, name);
        b->setFocus(Qt::MouseFocusReason);
        ASSERT_TRUE(b->hasFocus());
        b->click();
        EXPECT_FALSE(b->isEnabled());
        EXPECT_EQ(qobject_cast<QLineEdit*>(QApplication::focusWidget()), nullptr)
            << QApplication::focusWidget()->objectName().toStdString();
    }
}

// The guide names only menu items the window has, and its table of the
// eight tests holds each test's states, diaphragm and stop time.
TEST_F(MenusAndStatusTest, TheGuideNamesWhatTheWindowHas)
{
    const QString guide = userGuideMarkdown();
    std::map<QString, QStringList> menus;
    for (QMenu* m : window->findChildren<QMenu*>())
        for (QAction* a : m->actions())
            menus[QString(m->title()).remove('&')].push_back(
                QString(a->text()).remove('&').remove(QRegularExpression(QStringLiteral("\\.\\.\\.$"))));
    const QRegularExpression item(QStringLiteral("\\*\\*(File|Run|View|Help) → ([^*]+)\\*\\*"));
    int items = 0;
    for (auto it = item.globalMatch(guide); it.hasNext(); ++items) {
        const auto m = it.next();
        EXPECT_TRUE(menus[m.captured(1)].contains(m.captured(2).simplified())) << m.captured(0).toStdString();
    }
    EXPECT_GT(items, 5);

    for (int t = 1; t <= kShockTubeTestCount; ++t) {
        SCOPED_TRACE(t);
        const ShockTubeTest& test = shockTubeTest(t);
        const QRegularExpression row(QStringLiteral("\\n\\| %1 \\| ([^|]+) \\| ([^|]+) \\| ([^|]+) \\| ([^|]+) \\|").arg(t));
        const auto m = row.match(guide);
        ASSERT_TRUE(m.hasMatch());
        auto numbers = [](const QString& cell) {
            std::vector<double> v;
            for (const QString& part : QString(cell).remove(QRegularExpression(QStringLiteral("\\(.*\\)"))).split(','))
                v.push_back(part.trimmed().toDouble());
            return v;
        };
        EXPECT_EQ(numbers(m.captured(1)), (std::vector<double> { test.RhoL, test.PL, test.UxL }));
        EXPECT_EQ(numbers(m.captured(2)), (std::vector<double> { test.RhoR, test.PR, test.UxR }));
        EXPECT_EQ(m.captured(3).trimmed().toDouble(), test.XJump);
        EXPECT_EQ(m.captured(4).trimmed().toDouble(), test.TStop);
    }
}

// A long status message ends in "..." before the run's state at the right
// rather than running into it, and a long L1 readout ends in "..." before the
// Compare button rather than under it; their tool tips hold the whole text.
TEST_F(MenusAndStatusTest, LongTextsStayClearOfTheirNeighbours)
{
    window->resize(1000, 800);
    window->show();
    const std::string longMessage(400, 'x');
    sayInStatusLine(*window, longMessage);
    auto* bar = window->findChild<QStatusBar*>(QStringLiteral("stbStatus"));
    const QLabel* state = label(*window, "lblRunStatus");
    EXPECT_LE(bar->fontMetrics().horizontalAdvance(bar->currentMessage()) + state->sizeHint().width(), bar->width());
    EXPECT_TRUE(bar->currentMessage().endsWith(QChar(0x2026)));
    EXPECT_EQ(statusLineMessage(*window), longMessage);
    EXPECT_EQ(bar->toolTip().toStdString(), longMessage);

    auto* readout = dynamic_cast<ElidedLabel*>(label(*window, "lblExactReadout"));
    ASSERT_NE(readout, nullptr);
    const QString text = QStringLiteral("Exact (three constant states, jumps at x=0.1 and x=0.9).  ").repeated(4);
    readout->setText(text);
    EXPECT_EQ(readout->text(), text);
    EXPECT_LE(readout->fontMetrics().horizontalAdvance(readout->shownText()), readout->contentsRect().width());
    EXPECT_LE(readout->geometry().right(), button(*window, "cmdCompareSchemes")->geometry().left());
}
