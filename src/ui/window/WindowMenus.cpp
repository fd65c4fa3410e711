// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/window/WindowMenus.h"

#include <QAbstractButton>
#include <QAction>
#include <QDialog>
#include <QEvent>
#include <QImage>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QMessageBox>
#include <QProgressDialog>
#include <QSettings>
#include <QTextBlock>
#include <QTextBrowser>
#include <QTextCursor>
#include <QTextDocument>
#include <QTextImageFormat>
#include <QVBoxLayout>
#include <algorithm>

#include "app/ProgramOptions.h"
#include "ui/kit/Controls.h"
#include "ui/kit/Dialogs.h"
#include "ui/kit/LinePlotPicture.h"
#include "ui/kit/SpaceTimePicture.h"
#include "ui/window/UserGuide.h"
#include "ui/window/WindowExport.h"
#include "ui/compare/ComparePanel.h"
#include "state/ExperimentState.h"
#include "ui/window/AnimationExport.h"
#include "ui/window/ReportExport.h"
#include "common/Format.h"
#include "presets/ShockTubeTests.h"

namespace tamrel {

namespace {
    const char* const kAxesKey = "view/axesShown";
    QSettings labSettings()
    {
        return QSettings(QStringLiteral("Tamrel"), QStringLiteral("tamrel"));
    }
} // namespace

namespace {
    // The guide's pictures (screenshots of the whole window) at most `width`
    // pixels wide, so the guide reads without scrolling sideways.
    void fitGuidePictures(QTextBrowser& browser, int width)
    {
        QTextDocument* doc = browser.document();
        for (QTextBlock block = doc->begin(); block.isValid(); block = block.next()) {
            for (auto it = block.begin(); !it.atEnd(); ++it) {
                const QTextFragment fragment = it.fragment();
                if (!fragment.isValid() || !fragment.charFormat().isImageFormat())
                    continue;
                QTextImageFormat image = fragment.charFormat().toImageFormat();
                const QImage picture(userGuideFolder() + QLatin1Char('/') + image.name());
                if (picture.isNull())
                    continue;
                // A narrow picture (the lab sheet's window) keeps its own size.
                const int shown = std::min(width, picture.width());
                image.setWidth(shown);
                image.setHeight(static_cast<double>(shown) * picture.height() / picture.width());
                QTextCursor cursor(doc);
                cursor.setPosition(fragment.position());
                cursor.setPosition(fragment.position() + fragment.length(), QTextCursor::KeepAnchor);
                cursor.setCharFormat(image);
            }
        }
    }
} // namespace

void showAxes(QWidget& window, bool shown)
{
    for (LinePlotPicture* plot : window.findChildren<LinePlotPicture*>())
        plot->setAxesShown(shown);
    for (SpaceTimePicture* picture : window.findChildren<SpaceTimePicture*>())
        picture->setAxesShown(shown);
}

WindowMenus::WindowMenus(QWidget& window_, QMenuBar& bar, const ExperimentState& state_, Dialogs& dialogs_)
    : QObject(&window_)
    , window(window_)
    , state(state_)
    , dialogs(dialogs_)
{
    QMenu* file = bar.addMenu(QStringLiteral("&File"));
    buttonItem(file, "actReadSetUp", QStringLiteral("&Read Setup..."), "cmdReadSetUp", QKeySequence::Open);
    buttonItem(file, "actWriteSetUp", QStringLiteral("&Write Setup..."), "cmdWriteSetUp", QKeySequence::Save);
    QAction* exportItem = file->addAction(QStringLiteral("&Export..."), this, [this] { exportView(); });
    exportItem->setObjectName(QStringLiteral("actExport"));
    exportItem->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_E));
    QAction* reportItem = file->addAction(QStringLiteral("Export &Report..."), this, [this] { exportReport(); });
    reportItem->setObjectName(QStringLiteral("actExportReport"));
    QAction* animationItem
        = file->addAction(QStringLiteral("Export &Animation..."), this, [this] { exportAnimation(); });
    animationItem->setObjectName(QStringLiteral("actExportAnimation"));
    file->addSeparator();
    QAction* quit = file->addAction(QStringLiteral("&Quit"), &window, [this] { window.close(); });
    quit->setObjectName(QStringLiteral("actQuit"));
    quit->setShortcut(QKeySequence::Quit);

    QMenu* run = bar.addMenu(QStringLiteral("&Run"));
    buttonItem(run, "actBegin", QStringLiteral("&Begin"), "cmdBegin", QKeySequence(Qt::CTRL | Qt::Key_B));
    // Space pauses a running run and continues a halted one.
    QAction* pauseOrContinue = run->addAction(QStringLiteral("&Pause / Continue"), &window,
        [this] { press(window, state.Stopped == 0 ? "cmdPause" : "cmdContinue"); });
    pauseOrContinue->setObjectName(QStringLiteral("actPauseContinue"));
    pauseOrContinue->setShortcut(QKeySequence(Qt::Key_Space));
    buttonItem(run, "actRestart", QStringLiteral("&Restart"), "cmdRestart", QKeySequence(Qt::CTRL | Qt::Key_R));
    run->addSeparator();
    for (int t = 1; t <= kShockTubeTestCount; ++t) {
        const std::string name = "actTest" + std::to_string(t);
        const std::string button = "cmdTest" + std::to_string(t);
        buttonItem(run, name.c_str(), QStringLiteral("Test &%1").arg(t), button.c_str(),
            QKeySequence(Qt::ALT | static_cast<Qt::Key>(Qt::Key_0 + t)));
    }
    buttonItem(run, "actSoundWave", QStringLiteral("&Sound Wave..."), "cmdSoundWave", {});
    run->addSeparator();
    buttonItem(run, "actScheme", QStringLiteral("Numerical S&cheme..."), "cmdNumericalScheme", {});
    buttonItem(run, "actDiffConsts", QStringLiteral("Shock &Constants and Log Plots..."), "cmdGetDiffConsts", {});
    buttonItem(run, "actBoundaries", QStringLiteral("B&oundary Types..."), "cmdBoundaryConditionType", {});

    QMenu* view = bar.addMenu(QStringLiteral("&View"));
    buttonItem(view, "actSingle", QStringLiteral("&Single Plots"), "cmdSinglePlots", {});
    buttonItem(view, "actMulti", QStringLiteral("&Multiple Plots"), "cmdMultiplePlots", {});
    buttonItem(view, "actPlotFVSmoke", QStringLiteral("Plot &FVSmoke"), "cmdPlotFVSmoke", {});
    buttonItem(view, "actGetTitle", QStringLiteral("&Title..."), "cmdGetTitle", {});
    addCompareItems(window, *view);
    // Choosing the schemes greys out with its button (a set-up, before a run only).
    if (auto* compare = window.findChild<QAction*>(QStringLiteral("actCompareSchemes")))
        follow(compare, control<QAbstractButton>(window, "cmdCompareSchemes"));
    view->addSeparator();
    buttonItem(view, "actExactOverlay", QStringLiteral("&Exact Solution"), "cmdExactOverlay",
        QKeySequence(Qt::CTRL | Qt::SHIFT | Qt::Key_E));
    buttonItem(view, "actRiemannExplorer", QStringLiteral("&Riemann Explorer..."), "cmdRiemannExplorer", {});
    view->addSeparator();
    // The axes, times and legends over the pictures; off, the plain drawings.
    QAction* axes = view->addAction(QStringLiteral("&Axes"));
    axes->setObjectName(QStringLiteral("actAxes"));
    axes->setCheckable(true);
    axes->setChecked(labSettings().value(kAxesKey, true).toBool());
    QObject::connect(axes, &QAction::toggled, this, [this](bool on) {
        showAxes(window, on);
        labSettings().setValue(kAxesKey, on);
    });
    showAxes(window, axes->isChecked());

    QMenu* help = bar.addMenu(QStringLiteral("&Help"));
    QAction* guide = help->addAction(QStringLiteral("&User Guide"), this,
        [this] { showGuide(QStringLiteral("guide.md"), QStringLiteral("Tamrel User Guide")); });
    guide->setObjectName(QStringLiteral("actUserGuide"));
    guide->setShortcut(QKeySequence::HelpContents);
    QAction* sheetFormat = help->addAction(QStringLiteral("&Lab Sheet Format"), this,
        [this] { showGuide(QStringLiteral("lab-sheets.md"), QStringLiteral("Lab Sheet Format")); });
    sheetFormat->setObjectName(QStringLiteral("actLabSheetFormat"));
    QAction* about = help->addAction(QStringLiteral("&About Tamrel"), this, [this] { showAbout(); });
    about->setObjectName(QStringLiteral("actAbout"));

    // The shortcuts work wherever the window has the focus, in a text box
    // too: the boxes hold numbers and names, where a space or Ctrl+E (the end
    // of the line in some key bindings) would do nothing a student wants.
    for (QAction* a : bar.findChildren<QAction*>())
        a->setShortcutContext(Qt::WindowShortcut);
    for (QMenu* m : { file, run, view, help })
        window.addActions(m->actions());
    for (QLineEdit* box : window.findChildren<QLineEdit*>())
        box->installEventFilter(this);
}

QAction* WindowMenus::buttonItem(
    QWidget* menu, const char* objectName, const QString& text, const char* button, const QKeySequence& keys)
{
    QAbstractButton* b = control<QAbstractButton>(window, button);
    auto* item = new QAction(text, menu);
    item->setObjectName(QString::fromLatin1(objectName));
    if (!keys.isEmpty())
        item->setShortcut(keys);
    QObject::connect(item, &QAction::triggered, b, [b] { b->click(); }); // a disabled button ignores it
    menu->addAction(item);
    follow(item, b);
    return item;
}

void WindowMenus::follow(QAction* item, QAbstractButton* button)
{
    followers.emplace_back(item, button);
    item->setEnabled(button->isEnabled());
    button->installEventFilter(this);
}

bool WindowMenus::eventFilter(QObject* watched, QEvent* event)
{
    if (event->type() == QEvent::ShortcutOverride && qobject_cast<QLineEdit*>(watched)) {
        const auto* key = static_cast<QKeyEvent*>(event);
        const bool space = key->key() == Qt::Key_Space && key->modifiers() == Qt::NoModifier;
        const bool exportKeys = key->key() == Qt::Key_E && key->modifiers() == Qt::ControlModifier;
        if (space || exportKeys) {
            event->ignore(); // the box does not claim the key: the window's shortcut takes it
            return true;
        }
    }
    if (event->type() == QEvent::EnabledChange)
        for (auto& [item, button] : followers)
            if (button == watched)
                item->setEnabled(button->isEnabled());
    return QObject::eventFilter(watched, event);
}

// File > Export: the kind chosen in the dialog, in the format its name says.
void WindowMenus::exportView()
{
    const auto choice = dialogs.saveFileOfKind(tamrel::exportFilter());
    if (!choice)
        return;
    const ExportChoice kind = exportKindFor(choice->kind, choice->path);
    const auto failure
        = kind.kind ? tamrel::exportView(window, state, *kind.kind, choice->path) : std::optional(kind.refusal);
    if (failure) {
        sayInStatusLine(window, "Export: " + *failure);
        dialogs.messageBox("Nothing was exported: " + *failure + ".");
    } else {
        sayInStatusLine(window, "Exported to " + choice->path);
    }
}

// File > Export Report: a PDF and the .html beside it (or the .html alone).
void WindowMenus::exportReport()
{
    const auto path = dialogs.saveFileName("Report as PDF (*.pdf)|*.pdf|Report as HTML (*.html)|*.html");
    if (!path)
        return;
    if (const auto failure = tamrel::exportReport(window, state, *path)) {
        sayInStatusLine(window, "Export Report: " + *failure);
        dialogs.messageBox("No report was written: " + *failure + ".");
        return;
    }
    const std::string html = reportHtmlPath(*path);
    sayInStatusLine(
        window, html == *path ? "Report written to " + html : "Report written to " + *path + " and " + html);
}

// File > Export Animation: the frames of the stored snapshots as a GIF, at
// the rate asked for, with progress and Cancel.
void WindowMenus::exportAnimation()
{
    const auto choice = dialogs.saveFileOfKind(
        "Line plots as GIF (*.gif)|*.gif|Line plots and space-time picture as GIF (*.gif)|*.gif");
    if (!choice)
        return;
    AnimationChoice asked;
    asked.spaceTime = choice->kind == 1;
    const auto rate = dialogs.inputBox("Frames per second (0.5 to 50):", "Export Animation", "10");
    if (!rate)
        return;
    const auto fps = parseNumber(*rate);
    if (!fps || *fps < kMinFramesPerSecond || *fps > kMaxFramesPerSecond) {
        dialogs.messageBox("No animation was written: \"" + *rate
            + "\" is no frame rate; type a number from 0.5 to 50 frames per second.");
        return;
    }
    asked.framesPerSecond = *fps;
    QProgressDialog progress(QStringLiteral("Drawing the frames..."), QStringLiteral("Cancel"), 0, 1, &window);
    progress.setObjectName(QStringLiteral("dlgAnimationProgress"));
    progress.setWindowTitle(QStringLiteral("Export Animation"));
    progress.setWindowModality(Qt::WindowModal);
    progress.setMinimumDuration(500);
    const auto failure
        = tamrel::exportAnimation(window, state, choice->path, asked, [&progress](int done, int total) {
              progress.setMaximum(total);
              progress.setValue(done);
              return !progress.wasCanceled();
          });
    progress.reset();
    if (failure && *failure == "cancelled") {
        sayInStatusLine(window, "Export Animation: cancelled, nothing written");
    } else if (failure) {
        sayInStatusLine(window, "Export Animation: " + *failure);
        dialogs.messageBox("No animation was written: " + *failure + ".");
    } else {
        sayInStatusLine(window, "Animation written to " + choice->path);
    }
}

void WindowMenus::showGuide(const QString& page, const QString& title)
{
    auto* dialog = new QDialog(&window);
    dialog->setObjectName(QStringLiteral("dlgUserGuide"));
    dialog->setAttribute(Qt::WA_DeleteOnClose);
    dialog->setWindowTitle(title);
    auto* browser = new QTextBrowser(dialog);
    browser->setObjectName(QStringLiteral("txtUserGuide"));
    browser->setSearchPaths({ userGuideFolder() });
    browser->setMarkdown(userGuideMarkdown(page));
    fitGuidePictures(*browser, 660);
    auto* layout = new QVBoxLayout(dialog);
    layout->addWidget(browser);
    dialog->resize(720, 600);
    dialog->show();
}

void WindowMenus::showAbout()
{
    QMessageBox::about(&window, QStringLiteral("About Tamrel"),
        QStringLiteral(
            "<b>Tamrel %1</b><br>A laboratory for one-dimensional gas dynamics: shock tubes, sound waves "
            "and five numerical schemes on a grid of up to 5000 cells.<br><br>"
            "Tamrel is free software: you can redistribute it and/or modify it under the terms of the "
            "GNU General Public License as published by the Free Software Foundation, either version 3 "
            "of the License, or (at your option) any later version. It comes with no warranty.")
            .arg(QString::fromUtf8(programVersion())));
}

} // namespace tamrel
