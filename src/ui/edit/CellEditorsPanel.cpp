// SPDX-License-Identifier: GPL-3.0-or-later
// The cell-number and value editors: each text box and its scroll bar mirror
// each other. A pair of guard flags per editor makes the mirror one-way: a
// handler started by its partner does not write back to it.

#include "ui/edit/CellEditorsPanel.h"

#include <QLineEdit>
#include <QScrollBar>
#include <utility>

#include "ui/kit/Controls.h"
#include "ui/window/Panels.h"
#include "common/Format.h"
#include "edit/GridParameters.h"

namespace tamrel {

struct CellEditorsPanel::ValueEditor {
    QLineEdit* box;
    QScrollBar* bar;
    double ExperimentState::*current;
    double ExperimentState::*lo;
    double ExperimentState::*hi;
    Long ExperimentState::*fromText;
    Long ExperimentState::*fromScroll;
    bool (*takeText)(ExperimentState&, std::string_view);
    const char* refreshPattern; // the box's pattern in the control refresh
};

CellEditorsPanel::CellEditorsPanel(WindowContext& w)
    : state(w.state)
    , panels(w.panels)
    , txtMSelected(control<QLineEdit>(w.window, "txtMSelected"))
    , hsbMSelected(control<QScrollBar>(w.window, "hsbMSelected"))
    , txtDensity(control<QLineEdit>(w.window, "txtDensity"))
    , hsbDensity(control<QScrollBar>(w.window, "hsbDensity"))
    , txtPressure(control<QLineEdit>(w.window, "txtPressure"))
    , hsbPressure(control<QScrollBar>(w.window, "hsbPressure"))
    , txtVelocity(control<QLineEdit>(w.window, "txtVelocity"))
    , hsbVelocity(control<QScrollBar>(w.window, "hsbVelocity"))
{
    QObject::connect(txtDensity, &QLineEdit::textChanged, &w.window, [this] { txtDensity_Change(); });
    QObject::connect(txtPressure, &QLineEdit::textChanged, &w.window, [this] { txtPressure_Change(); });
    QObject::connect(txtVelocity, &QLineEdit::textChanged, &w.window, [this] { txtVelocity_Change(); });
    QObject::connect(txtMSelected, &QLineEdit::textChanged, &w.window, [this] { txtMSelected_Change(); });
    QObject::connect(hsbDensity, &QScrollBar::valueChanged, &w.window, [this] { hsbDensity_Change(); });
    QObject::connect(hsbPressure, &QScrollBar::valueChanged, &w.window, [this] { hsbPressure_Change(); });
    QObject::connect(hsbVelocity, &QScrollBar::valueChanged, &w.window, [this] { hsbVelocity_Change(); });
    QObject::connect(hsbMSelected, &QScrollBar::valueChanged, &w.window, [this] { hsbMSelected_Change(); });
}

CellEditorsPanel::ValueEditor CellEditorsPanel::editor(PlotQuantity q) const
{
    using S = ExperimentState;
    switch (q) {
    case PlotQuantity::Density:
        return { txtDensity, hsbDensity, &S::RhoCurrent, &S::RhoMin, &S::RhoMax, &S::RhoFromText,
            &S::RhoFromScroll, &DensityTextChanged, "##0.0####" };
    case PlotQuantity::Pressure:
        return { txtPressure, hsbPressure, &S::PCurrent, &S::PMin, &S::PMax, &S::PFromText, &S::PFromScroll,
            &PressureTextChanged, "##0.0####" };
    case PlotQuantity::Velocity:
        break;
    }
    return { txtVelocity, hsbVelocity, &S::VXCurrent, &S::VXMin, &S::VXMax, &S::VXFromText, &S::VXFromScroll,
        &VelocityTextChanged, "#0.00####" };
}

void CellEditorsPanel::valueBoxChanged(const ValueEditor& e)
{
    ExperimentState& s = state;
    if (!e.takeText(s, textOf(e.box)))
        return;
    s.*e.fromText = 1;
    if (s.*e.fromScroll == 0 && s.Stopped == 1)
        e.bar->setValue(ValueToBar(s.*e.current, e.bar->minimum(), e.bar->maximum(), s.*e.lo, s.*e.hi));
    s.*e.fromText = 0;
}

void CellEditorsPanel::valueBarChanged(const ValueEditor& e)
{
    ExperimentState& s = state;
    if (s.*e.fromText != 0)
        return;
    s.*e.fromScroll = 1;
    s.*e.current = BarToValue(e.bar->value(), e.bar->minimum(), e.bar->maximum(), s.*e.lo, s.*e.hi);
    setText(e.box, formatPattern(s.*e.current, "##0.0####"));
    s.*e.fromScroll = 0;
}

void CellEditorsPanel::txtDensity_Change()
{
    valueBoxChanged(editor(PlotQuantity::Density));
}
void CellEditorsPanel::txtPressure_Change()
{
    valueBoxChanged(editor(PlotQuantity::Pressure));
}
void CellEditorsPanel::txtVelocity_Change()
{
    valueBoxChanged(editor(PlotQuantity::Velocity));
}
void CellEditorsPanel::hsbDensity_Change()
{
    valueBarChanged(editor(PlotQuantity::Density));
}
void CellEditorsPanel::hsbPressure_Change()
{
    valueBarChanged(editor(PlotQuantity::Pressure));
}
void CellEditorsPanel::hsbVelocity_Change()
{
    valueBarChanged(editor(PlotQuantity::Velocity));
}

void CellEditorsPanel::txtMSelected_Change()
{
    const auto cell = CellNumberFromText(state, textOf(txtMSelected));
    if (!cell)
        return;
    state.MFromText = 1;
    state.MCurrent = *cell;
    if (state.MFromScroll == 0 && hsbMSelected->value() != state.MCurrent)
        hsbMSelected->setValue(state.MCurrent);
    const long m = state.MCurrent;
    state.PCurrent = state.P[m];
    setText(txtPressure, formatPattern(state.PCurrent, "0.0000##"));
    state.RhoCurrent = state.Rho[m];
    setText(txtDensity, formatPattern(state.RhoCurrent, "#0.00####"));
    state.VXCurrent = state.VX[m];
    setText(txtVelocity, formatPattern(state.VXCurrent, "#0.00####"));
    if (state.MultiplePlots == 0)
        panels.plots.clear();
    panels.plots.paint();
    state.MFromText = 0;
}

void CellEditorsPanel::hsbMSelected_Change()
{
    const long m = hsbMSelected->value();
    // The bar's range follows the grid; a position outside the grid (while
    // the range is being changed) names no cell, and the current cell stays
    // within 1..N.
    if (m < 1 || m > state.NGridCells || !state.Rho.contains(m))
        return;
    state.MFromScroll = 1;
    state.MCurrent = static_cast<Long>(m);
    if (state.MFromText == 0)
        setText(txtMSelected, formatPattern(state.MCurrent, "###0"));
    state.RhoCurrent = state.Rho[m];
    setText(txtDensity, formatPattern(state.RhoCurrent, "##0.0####"));
    state.PCurrent = state.P[m];
    setText(txtPressure, formatPattern(state.PCurrent, "##0.0####"));
    state.VXCurrent = state.VX[m];
    setText(txtVelocity, formatPattern(state.VXCurrent, "##0.0####"));
    state.MFromScroll = 0;
}

CellEditorsPanel::TypedValues CellEditorsPanel::typedValues() const
{
    return { parseNumber(textOf(txtDensity)), parseNumber(textOf(txtPressure)), parseNumber(textOf(txtVelocity)) };
}

std::array<std::string, 3> CellEditorsPanel::typedTexts() const
{
    return { textOf(txtDensity), textOf(txtPressure), textOf(txtVelocity) };
}

std::string CellEditorsPanel::typedCell() const
{
    return textOf(txtMSelected);
}

void CellEditorsPanel::showSelection(
    const std::string& cell, const std::string& rho, const std::string& p, const std::string& u)
{
    setText(txtMSelected, cell);
    setText(txtDensity, rho);
    setText(txtPressure, p);
    setText(txtVelocity, u);
}

void CellEditorsPanel::showCellNumber(const std::string& cell)
{
    setText(txtMSelected, cell);
}

void CellEditorsPanel::showPickedCell(
    const std::string& rho, const std::string& p, const std::string& u, const std::string& cell)
{
    setText(txtDensity, rho);
    setText(txtPressure, p);
    setText(txtVelocity, u);
    setText(txtMSelected, cell);
}

void CellEditorsPanel::showPlottedCell(
    Long cell, const std::string& p, const std::string& rho, const std::string& u)
{
    if (hsbMSelected->value() != cell)
        hsbMSelected->setValue(cell);
    setText(txtPressure, p);
    setText(txtDensity, rho);
    setText(txtVelocity, u);
}

void CellEditorsPanel::showReplayedEntry(
    const std::string& cell, const std::string& rho, const std::string& p, const std::string& u)
{
    const ExperimentState& s = state;
    const auto quiet = [](QObject* o, auto write) {
        const bool blocked = o->blockSignals(true);
        write();
        o->blockSignals(blocked);
    };
    quiet(txtMSelected, [&] { setText(txtMSelected, cell); });
    quiet(hsbMSelected, [&] { hsbMSelected->setValue(s.MCurrent); });
    const std::pair<PlotQuantity, const std::string*> shown[] = {
        { PlotQuantity::Density, &rho },
        { PlotQuantity::Pressure, &p },
        { PlotQuantity::Velocity, &u },
    };
    for (const auto& [q, text] : shown) {
        const ValueEditor e = editor(q);
        quiet(e.box, [&] { setText(e.box, *text); });
        if (s.Stopped == 1)
            quiet(e.bar, [&] {
                e.bar->setValue(ValueToBar(s.*e.current, e.bar->minimum(), e.bar->maximum(), s.*e.lo, s.*e.hi));
            });
    }
}

void CellEditorsPanel::setCellBarRange(Long n)
{
    hsbMSelected->setRange(1, n);
    hsbMSelected->setSingleStep(1);
    hsbMSelected->setPageStep(CellBarLargeChange(n));
}

bool CellEditorsPanel::cellBarSpans(Long n) const
{
    return hsbMSelected->minimum() == 1 && hsbMSelected->maximum() == n;
}

void CellEditorsPanel::refreshValueEditor(PlotQuantity q)
{
    ExperimentState& s = state;
    const ValueEditor e = editor(q);
    e.bar->setRange(-10000, 10000);
    e.bar->setSingleStep(10);
    e.bar->setPageStep(50);
    // The bar's handler derives the current value back from its position.
    e.bar->setValue(ValueToBar(s.*e.current, e.bar->minimum(), e.bar->maximum(), s.*e.lo, s.*e.hi));
    setText(e.box, formatPattern(s.*e.current, e.refreshPattern));
}

void CellEditorsPanel::refreshCellEditor()
{
    ExperimentState& s = state;
    // The range change may move the cell bar and run its handler: keep MCurrent.
    const Long current = s.MCurrent;
    hsbMSelected->setRange(1, std::max<Long>(1, s.NGridCells));
    hsbMSelected->setSingleStep(1);
    hsbMSelected->setPageStep(CellBarLargeChange(s.NGridCells));
    s.MCurrent = current;
    setText(txtMSelected, formatPattern(s.MCurrent, "###0"));
    hsbMSelected->setValue(s.MCurrent);
}

} // namespace tamrel
