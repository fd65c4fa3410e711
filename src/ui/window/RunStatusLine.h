// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The run's state on the status line, and the buttons that would do nothing
// in it disabled, their tool tips saying why (run/RunStatus.h has the
// rules). Refreshed after every click, every tick and a few times a second.

#include <QObject>
#include <QString>
#include <map>

#include "state/ExperimentState.h"

class QAbstractButton;
class QLabel;
class QWidget;

namespace tamrel {

class RunStatusLine : public QObject {
public:
    RunStatusLine(QWidget& window, const ExperimentState& state);
    void refresh();

private:
    QWidget& window;
    const ExperimentState& state;
    QLabel* lblRunStatus;
    std::map<QAbstractButton*, QString> designedTips;
};

} // namespace tamrel
