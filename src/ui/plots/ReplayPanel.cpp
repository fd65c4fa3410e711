// SPDX-License-Identifier: GPL-3.0-or-later
// Stepping through the stored snapshots, one at a time or overlaid.

#include "ui/plots/ReplayPanel.h"

#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>

#include "ui/kit/Controls.h"
#include "ui/window/Panels.h"
#include "common/Format.h"
#include "common/Rounding.h"
#include "run/SnapshotRow.h"

namespace tamrel {

ReplayPanel::ReplayPanel(WindowContext& w)
    : state(w.state)
    , panels(w.panels)
    , vsbStoredStateNumber(control<QScrollBar>(w.window, "vsbStoredStateNumber"))
    , txtStoredStateNumber(control<QLineEdit>(w.window, "txtStoredStateNumber"))
    , cmdSinglePlots(control<QPushButton>(w.window, "cmdSinglePlots"))
    , cmdMultiplePlots(control<QPushButton>(w.window, "cmdMultiplePlots"))
    , txtTime(control<QLineEdit>(w.window, "txtTime"))
{
    QObject::connect(
        vsbStoredStateNumber, &QScrollBar::valueChanged, &w.window, [this] { vsbStoredStateNumber_Change(); });
    QObject::connect(
        txtStoredStateNumber, &QLineEdit::textChanged, &w.window, [this] { txtStoredStateNumber_Change(); });
    QObject::connect(cmdSinglePlots, &QPushButton::clicked, &w.window, [this] { cmdSinglePlots_Click(); });
    QObject::connect(cmdMultiplePlots, &QPushButton::clicked, &w.window, [this] { cmdMultiplePlots_Click(); });
}

void ReplayPanel::vsbStoredStateNumber_Change()
{
    if (state.Stopped == 0 || following_)
        return;
    const long row = vsbStoredStateNumber->value();
    // Only stored rows are shown: the bar's maximum can stand one past the
    // last row, and a row emptied by a later set-up (a test loaded after a
    // run) holds no state; such a position shows nothing and loads nothing.
    if (!state.StoredTime.contains(row) || !SnapshotRowHoldsState(state, row))
        return;
    state.StoredStateShown = static_cast<Long>(row);
    setText(txtStoredStateNumber, formatPattern(row, "###0"));
    setText(txtTime, timeText(state.StoredTime[row]));
    if (state.MultiplePlots != 1)
        panels.plots.clear();
    ShowStoredRow(state, row);
    panels.plots.paint();
}

void ReplayPanel::txtStoredStateNumber_Change()
{
    if (state.Stopped == 0 || following_)
        return;
    const auto number = parseNumber(textOf(txtStoredStateNumber));
    if (!number || *number < 0)
        return;
    const Long row = roundToLong(*number);
    // A number beyond the stored rows, or naming an emptied row, is ignored
    // like a negative one.
    if (!state.StoredTime.contains(row) || !SnapshotRowHoldsState(state, row))
        return;
    state.StoredStateShown = row;
    if (vsbStoredStateNumber->maximum() < row)
        vsbStoredStateNumber->setMaximum(row);
    if (vsbStoredStateNumber->value() != row)
        vsbStoredStateNumber->setValue(row);
    setText(txtTime, "t=" + formatPattern(state.StoredTime[row], "#0.####"));
}

void ReplayPanel::cmdSinglePlots_Click()
{
    state.MultiplePlots = 0;
    panels.plots.clearAndRepaint();
}

void ReplayPanel::cmdMultiplePlots_Click()
{
    state.MultiplePlots = 1;
}

void ReplayPanel::showTime(const std::string& text)
{
    setText(txtTime, text);
}

void ReplayPanel::showRowNumber(const std::string& text)
{
    setText(txtStoredStateNumber, text);
}

void ReplayPanel::setRowRange(Long maximum)
{
    vsbStoredStateNumber->setRange(0, maximum);
}

void ReplayPanel::followStoredRow(Long maximum, Long shown)
{
    // The row is the run's newest: the controls' handlers, which restore a
    // row the user chose, stay out of it as they do while a run goes on.
    following_ = true;
    vsbStoredStateNumber->setMaximum(maximum);
    setText(txtStoredStateNumber, std::to_string(shown));
    vsbStoredStateNumber->setValue(shown);
    following_ = false;
}

} // namespace tamrel
