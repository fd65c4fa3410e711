// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/window/LabSheetWindow.h"

#include <QAction>
#include <QMenu>
#include <QMenuBar>
#include <QTextBrowser>
#include <QVBoxLayout>
#include <cstdio>

#include "app/sheets/SheetRun.h"
#include "ui/kit/Controls.h"
#include "ui/window/LabSheetReader.h"
#include "ui/kit/QueuedDialogs.h"
#include "common/Format.h"
#include "state/ExperimentState.h"

namespace tamrel {

namespace {

    std::string escaped(const std::string& text)
    {
        return QString::fromStdString(text).toHtmlEscaped().toStdString();
    }

    QMenu* fileMenu(QMenuBar& bar)
    {
        for (QAction* a : bar.actions())
            if (a->menu() && a->text().remove(QLatin1Char('&')) == QLatin1String("File"))
                return a->menu();
        return bar.addMenu(QStringLiteral("&File"));
    }

    constexpr const char* kTitle = "Open Lab Sheet";

} // namespace

LabSheetMenu::LabSheetMenu(QWidget& window_, QMenuBar& bar, QueuedDialogs& dialogs_, const ExperimentState& state_)
    : QObject(&window_)
    , window(window_)
    , dialogs(dialogs_)
    , state(state_)
{
    QMenu* file = fileMenu(bar);
    auto* item = new QAction(QStringLiteral("Open &Lab Sheet..."), file);
    item->setObjectName(QStringLiteral("actOpenLabSheet"));
    QObject::connect(item, &QAction::triggered, this, [this] { open(); });
    // After Write Setup when the menu has it, otherwise at the menu's end.
    const QList<QAction*> items = file->actions();
    QAction* before = nullptr;
    for (qsizetype i = 0; i + 1 < items.size(); ++i)
        if (items[i]->objectName() == QLatin1String("actWriteSetUp"))
            before = items[i + 1];
    file->insertAction(before, item);
    window.addAction(item);
}

void LabSheetMenu::open()
{
    if (const auto path = dialogs.openFileName("Lab Sheets (*.json)|*.json|All Files (*.*)|*.*"))
        load(*path);
}

bool LabSheetMenu::load(const std::string& path)
{
    const LabSheetRead read = ReadLabSheet(path);
    if (!read.sheet) {
        dialogs.messageBox("The lab sheet '" + path + "' cannot be used: " + read.refusal.text(), kTitle);
        return false;
    }
    if (!setUpProblem(*read.sheet))
        return false;
    showSheet(*read.sheet);
    return true;
}

bool LabSheetMenu::setUpProblem(const sheets::LabSheet& sheet)
{
    // A run in progress or over goes back to its start: the scheme and the
    // grid take a new value only before a run.
    if (state.Stopped == 0)
        press(window, "cmdPause");
    if (state.TimeNow != 0)
        press(window, "cmdRestart");
    if (state.Stopped == 0 || state.TimeNow != 0) {
        dialogs.messageBox("The lab sheet's problem cannot be set up while a run is under way.", kTitle);
        return false;
    }
    if (sheet.cells)
        typeInto(window, "txtNGridCells", std::to_string(*sheet.cells));
    dialogs.queueAnswer(sheet.scheme);
    dialogs.queueAnswer(std::to_string(state.MeterOn));
    press(window, "cmdNumericalScheme");
    if (sheet.periods)
        typeInto(window, "txtNPeriods", formatExact(*sheet.periods));
    if (sheet.courant)
        typeInto(window, "txtCourantNumber", formatExact(*sheet.courant));
    const sheets::Problem& p = sheet.problem;
    if (p.test) {
        press(window, "cmdTest" + std::to_string(*p.test));
    } else if (!p.wave.empty()) {
        for (double a : p.wave)
            dialogs.queueAnswer(formatExact(a));
        press(window, "cmdSoundWave");
    } else if (p.setupFile) {
        dialogs.queueFile(*p.setupFile);
        press(window, "cmdReadSetUp");
    }
    dialogs.clearQueue();
    return true;
}

std::string labSheetHtml(const sheets::LabSheet& sheet)
{
    std::string html = "<h2>" + escaped(sheet.title) + "</h2>";
    if (!sheet.questions.empty()) {
        html += "<h3>Questions</h3><ol>";
        for (const std::string& q : sheet.questions)
            html += "<li>" + escaped(q) + "</li>";
        html += "</ol>";
    }
    html += "<h3>Checks</h3><ul>";
    for (const sheets::Check& c : sheet.checks)
        html += "<li><b>" + escaped(c.name) + "</b>: " + escaped(sheets::DescribeCheck(c)) + "</li>";
    html += "</ul><p>To check the finished lab: <code>tamrel --check " + escaped(sheet.file) + "</code></p>";
    return html;
}

void LabSheetMenu::showSheet(const sheets::LabSheet& sheet)
{
    if (!sheetWindow) {
        // A tool window of its own beside the main window: the designed
        // client area keeps its size and every control its place.
        sheetWindow = new QWidget(&window, Qt::Tool);
        sheetWindow->setObjectName(QStringLiteral("frmLabSheet"));
        sheetText = new QTextBrowser(sheetWindow);
        sheetText->setObjectName(QStringLiteral("txtLabSheet"));
        auto* layout = new QVBoxLayout(sheetWindow);
        layout->setContentsMargins(4, 4, 4, 4);
        layout->addWidget(sheetText);
        sheetWindow->resize(380, window.height());
        const QRect frame = window.frameGeometry();
        sheetWindow->move(frame.right() + 8, frame.top());
    }
    sheetWindow->setWindowTitle(QStringLiteral("Lab Sheet: ") + QString::fromStdString(sheet.title));
    sheetText->setHtml(QString::fromStdString(labSheetHtml(sheet)));
    sheetWindow->show();
    sheetWindow->raise();
}

} // namespace tamrel
