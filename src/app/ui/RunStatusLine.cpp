#include "app/ui/RunStatusLine.h"

#include <QAbstractButton>
#include <QLabel>
#include <QStatusBar>
#include <QTimer>

#include "app/ui/Controls.h"
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

    for (const ButtonUse& use : ButtonUses(state)) {
        QAbstractButton* b = control<QAbstractButton>(window, use.name);
        designedTips[b] = b->toolTip();
    }
    // After every handler of a click and of a tick: these connections come
    // after the panels' own.
    for (QAbstractButton* b : window.findChildren<QAbstractButton*>())
        QObject::connect(b, &QAbstractButton::clicked, this, [this] { refresh(); });
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
    for (const ButtonUse& use : ButtonUses(state)) {
        QAbstractButton* b = control<QAbstractButton>(window, use.name);
        b->setEnabled(use.acts);
        b->setToolTip(use.acts ? designedTips[b] : QString::fromStdString(use.why));
    }
}

} // namespace tamrel
