// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/window/LabSheetWindow.h"

#include <QAction>
#include <QCoreApplication>
#include <QDir>
#include <QFileInfo>
#include <QMenu>
#include <QMenuBar>
#include <QStandardPaths>
#include <QStringList>
#include <cstdio>

#include "app/sheets/SheetRun.h"
#include "common/Format.h"
#include "state/ExperimentState.h"
#include "ui/window/Controls.h"
#include "ui/window/LabSheetPanel.h"
#include "ui/window/LabSheetReader.h"
#include "ui/window/QueuedDialogs.h"

namespace tamrel {

namespace {

    QMenu* fileMenu(QMenuBar& bar)
    {
        for (QAction* a : bar.actions())
            if (a->menu() && a->text().remove(QLatin1Char('&')) == QLatin1String("File"))
                return a->menu();
        return bar.addMenu(QStringLiteral("&File"));
    }

    constexpr const char* kTitle = "Open Lab Sheet";

} // namespace

std::optional<std::string> labSheetsFolder()
{
    // Installed: share/tamrel/sheets beside the program's bin folder, or in
    // the data folders of the system. Run from the build: the source tree's.
    QStringList candidates { QCoreApplication::applicationDirPath() + QStringLiteral("/../share/tamrel/sheets") };
    candidates << QStandardPaths::locateAll(
        QStandardPaths::GenericDataLocation, QStringLiteral("tamrel/sheets"), QStandardPaths::LocateDirectory);
#ifdef TAMREL_SOURCE_SHEETS
    candidates << QStringLiteral(TAMREL_SOURCE_SHEETS);
#endif
    for (const QString& c : candidates)
        if (QFileInfo(c).isDir())
            return QDir::cleanPath(QFileInfo(c).absoluteFilePath()).toStdString();
    return std::nullopt;
}

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
    if (const auto path = dialogs.openFileName(
            "Lab Sheets (*.json)|*.json|All Files (*.*)|*.*", kTitle, labSheetsFolder().value_or("")))
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

void LabSheetMenu::showSheet(const sheets::LabSheet& sheet)
{
    if (!panel)
        panel = new LabSheetPanel(window);
    panel->showSheet(sheet);
}

} // namespace tamrel
