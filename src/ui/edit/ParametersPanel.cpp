// SPDX-License-Identifier: GPL-3.0-or-later
// The grid-size, time-units, snapshot-rate, Courant-number and milliseconds
// boxes, and the boundary types: the window's side of edit/GridParameters.h
// and edit/BoundaryTypes.h.

#include "ui/edit/ParametersPanel.h"

#include <QLineEdit>
#include <QPushButton>
#include <algorithm>
#include <utility>
#include <vector>

#include "ui/kit/Controls.h"
#include "ui/window/Panels.h"
#include "common/Answers.h"
#include "common/Format.h"
#include "edit/BoundaryTypes.h"
#include "edit/GridParameters.h"

namespace tamrel {

ParametersPanel::ParametersPanel(WindowContext& w)
    : state(w.state)
    , dialogs(w.dialogs)
    , panels(w.panels)
    , txtNGridCells(control<QLineEdit>(w.window, "txtNGridCells"))
    , txtNPeriods(control<QLineEdit>(w.window, "txtNPeriods"))
    , txtNPlotsPerPeriod(control<QLineEdit>(w.window, "txtNPlotsPerPeriod"))
    , txtCourantNumber(control<QLineEdit>(w.window, "txtCourantNumber"))
    , txtMSec(control<QLineEdit>(w.window, "txtMSec"))
    , cmdBoundaryConditionType(control<QPushButton>(w.window, "cmdBoundaryConditionType"))
{
    QObject::connect(txtNGridCells, &QLineEdit::textChanged, &w.window, [this] { txtNGridCells_Change(); });
    QObject::connect(txtNPeriods, &QLineEdit::textChanged, &w.window, [this] { txtNPeriods_Change(); });
    QObject::connect(
        txtNPlotsPerPeriod, &QLineEdit::textChanged, &w.window, [this] { txtNPlotsPerPeriod_Change(); });
    QObject::connect(txtCourantNumber, &QLineEdit::textChanged, &w.window, [this] { txtCourantNumber_Change(); });
    QObject::connect(txtMSec, &QLineEdit::textChanged, &w.window, [this] { txtMSec_Change(); });
    QObject::connect(
        cmdBoundaryConditionType, &QPushButton::clicked, &w.window, [this] { cmdBoundaryConditionType_Click(); });
}

void ParametersPanel::txtNGridCells_Change()
{
    const GridSizeResult r = GridSizeTextChanged(state, textOf(txtNGridCells));
    switch (r.outcome) {
    case GridSizeOutcome::Ignored:
        return;
    case GridSizeOutcome::PutBack:
        setText(txtNGridCells, r.text);
        return;
    case GridSizeOutcome::RebuildGrid:
    case GridSizeOutcome::RebuildSoundWave:
        break;
    }
    const Long n = state.NGridCells;
    panels.editors.setCellBarRange(n);
    state.MCurrent = n / 2;
    if (r.outcome == GridSizeOutcome::RebuildSoundWave) {
        ResizeGridArrays(state);
        panels.presets.SetUpSoundWaveState();
        setText(txtNGridCells, formatGeneral(n));
    } else {
        panels.selection.RebuildGridState();
    }
}

void ParametersPanel::txtNPeriods_Change()
{
    const BoxResult r = PeriodsTextChanged(state, textOf(txtNPeriods));
    if (r.outcome == BoxOutcome::PutBack || r.outcome == BoxOutcome::Corrected)
        setText(txtNPeriods, r.text);
    if (r.outcome == BoxOutcome::Applied)
        panels.presets.UpdateProblemDescription();
}

void ParametersPanel::txtNPlotsPerPeriod_Change()
{
    const BoxResult r = PlotsPerPeriodTextChanged(state, textOf(txtNPlotsPerPeriod));
    if (r.outcome == BoxOutcome::PutBack || r.outcome == BoxOutcome::Corrected)
        setText(txtNPlotsPerPeriod, r.text);
}

void ParametersPanel::txtCourantNumber_Change()
{
    const BoxResult r = CourantTextChanged(state, textOf(txtCourantNumber));
    if (r.outcome == BoxOutcome::PutBack || r.outcome == BoxOutcome::Corrected)
        setText(txtCourantNumber, r.text);
}

void ParametersPanel::txtMSec_Change()
{
    const BoxResult r = MSecTextChanged(state, textOf(txtMSec));
    if (r.outcome == BoxOutcome::Ignored || r.outcome == BoxOutcome::PutBack)
        return;
    if (r.outcome == BoxOutcome::Corrected)
        setText(txtMSec, r.text);
    panels.run.setMetronomeInterval(state.MSec);
}

void ParametersPanel::cmdBoundaryConditionType_Click()
{
    if (!BoundaryTypesEditable(state))
        return;
    // Both ends in one form, each type picked from the codes offered; the
    // right end is not asked when the left one makes the grid periodic.
    // Cancel keeps both types.
    Form form;
    form.title = "Boundary Types";
    form.position = ScreenPosTwips { kBoundaryPromptLeftTwips, kBoundaryPromptTopTwips };
    auto field = [](const BoundaryPrompt& p) {
        FormField f { p.prompt, p.title, p.defaultAnswer };
        f.choices = { { "4", "4 = periodic" }, { "1", "1 = reflecting" }, { "2", "2 = continuation" } };
        // A type read from a set-up file may be none of the three: it is offered as it stands.
        if (std::none_of(
                f.choices.begin(), f.choices.end(), [&](const auto& c) { return c.value == p.defaultAnswer; }))
            f.choices.push_back({ p.defaultAnswer, p.defaultAnswer });
        f.check = [title = p.title](const std::string& a) { return NotANumberReason(title, a); };
        return f;
    };
    const BoundaryPrompt left = LeftBoundaryPrompt(state);
    form.fields = { field(left), field(RightBoundaryPrompt(state)) };
    form.fields[1].asked = [this](const FormAnswers& before) {
        const auto code = BoundaryAnswerCode(before[0]);
        return code.value_or(state.MnBdry) != 4;
    };
    const auto answers = dialogs.askForm(form);
    if (!answers)
        return;
    std::string refusals = NotANumberReason(left.title, (*answers)[0]);
    if (ApplyLeftBoundaryAnswer(state, (*answers)[0])) {
        AddReason(refusals, NotANumberReason(std::string(kRightBoundaryTitle), (*answers)[1]));
        ApplyRightBoundaryAnswer(state, (*answers)[1]);
    }
    if (!refusals.empty())
        sayInStatusLine(panels.context.window, refusals);
}

void ParametersPanel::showRunParameters()
{
    const ExperimentState& s = state;
    const std::pair<QLineEdit*, std::string> boxes[] = {
        { txtNGridCells, formatPattern(s.NGridCells, "###0") },
        { txtNPlotsPerPeriod, formatPattern(s.NPlotsPerPeriod, "##0") },
        { txtNPeriods, formatPattern(s.Periods, "#0.####") },
    };
    for (const auto& [box, text] : boxes) {
        const bool blocked = box->blockSignals(true);
        box->setText(QString::fromStdString(text));
        box->blockSignals(blocked);
    }
}

void ParametersPanel::showCourantNumber(const std::string& text)
{
    setText(txtCourantNumber, text);
}

void ParametersPanel::showMSec(const std::string& text)
{
    setText(txtMSec, text);
}

ShownBoxes ParametersPanel::shownBoxes() const
{
    return { textOf(txtNGridCells), textOf(txtCourantNumber) };
}

void ParametersPanel::showRebuiltBoxes(const ShownBoxes& shown)
{
    const ExperimentState& s = state;
    std::vector<std::pair<QLineEdit*, std::string>> boxes = {
        { txtNGridCells, shown.gridSize },
        { txtCourantNumber, shown.courant },
    };
    // The rebuild enters the run length and snapshot rate again only when
    // the table holds entries.
    if (s.NSelected >= 1) {
        boxes.emplace_back(txtNPeriods, formatGeneral(s.Periods));
        boxes.emplace_back(txtNPlotsPerPeriod, formatGeneral(s.NPlotsPerPeriod));
    }
    for (const auto& [box, text] : boxes) {
        const bool blocked = box->blockSignals(true);
        box->setText(QString::fromStdString(text));
        box->blockSignals(blocked);
    }
}

} // namespace tamrel
