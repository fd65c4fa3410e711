// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/window/frmTamrel.h"

#include <QCloseEvent>
#include <QLinearGradient>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QStatusBar>
#include <algorithm>
#include <cmath>

#include "app/OpenedFile.h"
#include "ui/kit/Controls.h"
#include "ui/window/LabSheetWindow.h"
#include "ui/window/Panels.h"
#include "ui/kit/QueuedDialogs.h"
#include "ui/window/RunStatusLine.h"
#include "ui/kit/Twips.h"
#include "ui/window/WindowLayout.h"
#include "ui/window/WindowMenus.h"
#include "ui/kit/WindowScale.h"
#include "run/DefaultProblem.h"
#include "run/TimeStep.h"
#include "ui/window/ExportCaption.h"

namespace tamrel {

frmTamrel::frmTamrel(Dialogs& dialogs_, WindowOptions options_, QWidget* parent)
    : QWidget(parent)
    , dialogs(dialogs_)
    , options(std::move(options_))
{
    setObjectName(QStringLiteral("frmTamrel"));
    setWindowTitle(QStringLiteral(
        "Tamrel: shock tubes, sound waves and numerical schemes  -  a one-dimensional gas dynamics laboratory"));
    // The menu bar on top, the designed client area below it with every
    // control at its designed place, and the status line at the foot: the
    // state of the run and the reasons of refused entries and answers.
    // (Their places are set once the menus are filled: layOutFrame.)
    auto* menus = new QMenuBar(this);
    menus->setObjectName(QStringLiteral("mnuBar"));
    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("client"));
    buildControls(*client);
    auto* status = new QStatusBar(this);
    status->setObjectName(QStringLiteral("stbStatus"));
    status->setSizeGripEnabled(false);
    // The panels ask through a queue a lab sheet can fill ahead of its presses.
    auto* queued = new QueuedDialogs(this, dialogs);
    queued_ = queued;
    panels = std::make_unique<Panels>(*this, state, *queued, options);

    // Start-up, in order.
    state.TitleText = panels->presets.titleCaption();
    panels->spaceTime.createImages();
    state.BigSpaceTime = 0;
    panels->spaceTime.chooseDensityQuietly();

    if (options.studentName) {
        state.StudentName = *options.studentName;
    } else {
        const auto answer
            = dialogs.inputBox("Type your name", "Get Student Name", "A. Student", ScreenPosTwips { 3000, 3000 });
        state.StudentName = answer.value_or("");
    }

    panels->run.createStepper(options.threads);
    AllocateArraysAndDefaultProblem();
    panels->run.startMetronome();
    runStatus = new RunStatusLine(*this, state);
    new ProblemTracker(*this, state);
    new WindowMenus(*this, *menus, state, dialogs);
    labSheets_ = new LabSheetMenu(*this, *menus, *queued, state);
    layOutFrame(*menus, *client, *status);
}

void frmTamrel::openFile(const std::string& path)
{
    if (openedFileKind(path) == OpenedFileKind::LabSheet) {
        labSheets_->load(path);
        return;
    }
    // Read Setup with the file chosen: the same checks and messages.
    queued_->queueFile(path);
    press(*this, "cmdReadSetUp");
    queued_->clearQueue();
}

void frmTamrel::layOutFrame(QMenuBar& menus, QWidget& client, QStatusBar& status)
{
    menuBar_ = &menus;
    client_ = &client;
    statusBar_ = &status;
    const QSize smallest = scaledClientSize(kMinimumLayoutScale);
    setMinimumSize(smallest.width(), smallest.height() + scaleBars(kMinimumLayoutScale));
    const QSize designed = scaledClientSize(1.0);
    designedBarsHeight_ = scaleBars(1.0);
    resize(designed.width(), designed.height() + designedBarsHeight_);
    layOutAt(size());
}

int frmTamrel::scaleBars(double s)
{
    scaleBarFont(*menuBar_, s);
    // The menus open as windows of their own: they take no font from the bar.
    for (QAction* a : menuBar_->actions())
        if (QMenu* m = a->menu())
            scaleBarFont(*m, s);
    statusHeight_ = static_cast<int>(std::lround(kStatusLineHeight * scaleBarFont(*statusBar_, s)));
    return barsHeight();
}

int frmTamrel::barsHeight() const
{
    return menuBar_->sizeHint().height() + statusHeight_;
}

void frmTamrel::layOutAt(const QSize& size)
{
    if (!client_)
        return;
    // The bars follow the client area's scale and take their height from the
    // room it has: a few rounds find a scale at which the two agree (the
    // bars' height changes by a few pixels at most from round to round). Where
    // they do not settle, the client area takes the room the bars leave.
    const QSize designed = scaledClientSize(1.0);
    const auto fitting = [&](int bars) {
        const QSize room(size.width(), std::max(1, size.height() - bars));
        // The designed size gives exactly scale 1.
        return room == designed ? 1.0 : fittingScale(room);
    };
    int bars = barsHeight();
    for (int round = 0; round < 4; ++round) {
        const int now = scaleBars(fitting(bars));
        if (now == bars)
            break;
        bars = now;
    }
    const double s = fitting(bars);
    const int menuHeight = menuBar_->sizeHint().height();
    menuBar_->setGeometry(0, 0, size.width(), menuHeight);
    statusBar_->setGeometry(0, size.height() - statusHeight_, size.width(), statusHeight_);
    const QSize room(size.width(), std::max(1, size.height() - bars));
    const QSize clientSize = scaledClientSize(s);
    client_->setGeometry(std::max(0, (room.width() - clientSize.width()) / 2),
        menuHeight + std::max(0, (room.height() - clientSize.height()) / 2), clientSize.width(),
        clientSize.height());
    if (s != layoutScale(*client_) || !client_->property("tamrelLayoutScale").isValid())
        applyLayoutScale(*client_, s);
    // A message shown before is cut again to the line's new width and font.
    if (!statusBar_->currentMessage().isEmpty())
        sayInStatusLine(*this, statusLineMessage(*this));
}

QSize frmTamrel::firstSize(const QRect& availableScreen) const
{
    // The bars as they are at the designed size; a smaller window's are a
    // little lower, which leaves the client area a little more room.
    const int chrome = menuBar_ ? designedBarsHeight_ : kStatusLineHeight;
    // Room for the frame and title bar the window manager adds.
    const QSize frame(16, 40);
    const QSize room(static_cast<int>(availableScreen.width() * 0.9) - frame.width(),
        static_cast<int>(availableScreen.height() * 0.9) - frame.height() - chrome);
    const double s = std::min(1.0, fittingScale(room));
    if (s <= kMinimumLayoutScale)
        return minimumSize();
    const QSize client = scaledClientSize(s);
    return QSize(client.width(), client.height() + chrome);
}

double frmTamrel::scale() const
{
    return client_ ? layoutScale(*client_) : 1.0;
}

void frmTamrel::resizeEvent(QResizeEvent*)
{
    layOutAt(size());
}

frmTamrel::~frmTamrel()
{
    // The panels go before the controls: no control's signal may reach a
    // handler once its panel is gone; the status line reads the record, so
    // it goes first.
    delete runStatus;
    runStatus = nullptr;
    for (QObject* child : findChildren<QObject*>())
        QObject::disconnect(child, nullptr, this, nullptr);
}

void frmTamrel::AllocateArraysAndDefaultProblem()
{
    StartUpState(state);
    panels->presets.RefreshControls();
}

void frmTamrel::tick()
{
    panels->run.tmrMetronome_Timer();
    runStatus->refresh();
}

void frmTamrel::showSpaceTime(const std::string& variable, bool big)
{
    panels->spaceTime.chooseVariable(variable);
    if (big)
        panels->spaceTime.pctSpaceTime_DblClick();
    else
        panels->spaceTime.pctSpaceTime_Click();
}

QImage frmTamrel::spaceTimeImage() const
{
    return panels->spaceTime.image();
}

bool frmTamrel::saveSpaceTimePng(const std::string& path) const
{
    return panels->spaceTime.savePng(path);
}

bool frmTamrel::runFaulted() const
{
    return panels->run.runFaulted();
}

long frmTamrel::acceptedSteps() const
{
    return panels->run.acceptedSteps();
}

const TimeStep& frmTamrel::stepper() const
{
    return panels->run.stepper();
}

bool frmTamrel::compareSchemes(const std::vector<std::string>& names)
{
    return panels->compare.chooseSchemes(names);
}

std::vector<std::string> frmTamrel::comparedSchemes() const
{
    return panels->compare.comparing() ? panels->compare.schemes() : std::vector<std::string> {};
}

void frmTamrel::keepingGrid(const std::function<void()>& replay)
{
    const auto rho = state.Rho, p = state.P, vx = state.VX, vy = state.VY, smoke = state.FSmoke;
    const Long shown = state.StoredStateShown, offset = state.STRowOffset;
    replay();
    state.Rho = rho;
    state.P = p;
    state.VX = vx;
    state.VY = vy;
    state.FSmoke = smoke;
    state.StoredStateShown = shown;
    state.STRowOffset = offset;
    panels->plots.paint();
}

void frmTamrel::closeEvent(QCloseEvent* e)
{
    panels->run.stopMetronome();
    panels->spaceTime.releaseImages();
    e->accept();
}

void frmTamrel::paintEvent(QPaintEvent*)
{
    // The window's background: a quiet wash from steel blue to paper.
    QPainter p(this);
    QLinearGradient g(0, 0, width(), height());
    g.setColorAt(0, QColor(214, 224, 236));
    g.setColorAt(1, QColor(238, 236, 228));
    p.fillRect(rect(), g);
}

} // namespace tamrel
