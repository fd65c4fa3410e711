// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/window/RunStatusLine.h"

#include <QAbstractButton>
#include <QLabel>
#include <QLineEdit>
#include <QStatusBar>
#include <QTimer>

#include "ui/kit/Controls.h"
#include "presets/ShockTubeTests.h"
#include "run/RunStatus.h"

namespace tamrel {

RunStatusLine::RunStatusLine(QWidget& window_, const ExperimentState& state_)
    : QObject(&window_)
    , window(window_)
    , state(state_)
{
    QStatusBar* bar = control<QStatusBar>(window, "stbStatus");
    lblRunStatus = new QLabel(bar);
    lblRunStatus->setObjectName(QStringLiteral("lblRunStatus"));
    bar->addPermanentWidget(lblRunStatus);

    for (const ButtonUse& use : ButtonUses(state, kShockTubeTestCount)) {
        QAbstractButton* b = control<QAbstractButton>(window, use.name);
        designedTips[b] = b->toolTip();
    }
    // After every handler of a click and of a tick: these connections come
    // after the panels' own.
    for (QAbstractButton* b : window.findChildren<QAbstractButton*>())
        QObject::connect(b, &QAbstractButton::clicked, this, [this] { refresh(); });
    // A message answers the action before it: the next press of a button, or
    // the next edit of a box, takes it away (before its own handler runs, so a
    // message of that action stays).
    QStatusBar* statusBar = bar;
    for (QAbstractButton* b : window.findChildren<QAbstractButton*>())
        QObject::connect(b, &QAbstractButton::pressed, this, [statusBar] { statusBar->clearMessage(); });
    for (QLineEdit* e : window.findChildren<QLineEdit*>())
        QObject::connect(e, &QLineEdit::textEdited, this, [statusBar] { statusBar->clearMessage(); });
    if (QTimer* metronome = findControl<QTimer>(window, "tmrMetronome"))
        QObject::connect(metronome, &QTimer::timeout, this, [this] { refresh(); });
    auto* poll = new QTimer(this);
    QObject::connect(poll, &QTimer::timeout, this, [this] { refresh(); });
    poll->start(250);
    refresh();
}

void RunStatusLine::refresh()
{
    lblRunStatus->setText(QString::fromStdString(RunStatusText(state)));
    for (const ButtonUse& use : ButtonUses(state, kShockTubeTestCount)) {
        QAbstractButton* b = control<QAbstractButton>(window, use.name);
        // A button that goes grey would hand its focus on to the next control
        // in the chain (a text box after Begin or Pause), where Space and
        // typing would land: the window keeps the focus instead.
        if (!use.acts && b->hasFocus())
            window.setFocus(Qt::OtherFocusReason);
        b->setEnabled(use.acts);
        b->setToolTip(use.acts ? designedTips[b] : QString::fromStdString(use.why));
    }
}

} // namespace tamrel
