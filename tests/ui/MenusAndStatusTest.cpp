// The menu bar's shortcuts act only where their buttons would, and the
// status line and the buttons follow the run through its states.

#include <QAction>
#include <QFile>
#include <QKeySequence>
#include <QLabel>
#include <QTextBlock>
#include <QTextBrowser>
#include <map>

#include "WindowFixture.h"
#include "app/ui/UserGuide.h"

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
