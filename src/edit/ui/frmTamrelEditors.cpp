// The cell-number and value editors: each text box and its scroll bar mirror
// each other. A pair of guard flags per editor makes the mirror one-way: a
// handler started by its partner does not write back to it.

#include <QLineEdit>
#include <QScrollBar>

#include "app/ui/frmTamrel.h"
#include "common/Format.h"
#include "edit/GridParameters.h"

namespace tamrel {

namespace {

struct ValueEditor {
    QLineEdit* box;
    QScrollBar* bar;
    double ExperimentState::*current;
    double ExperimentState::*lo;
    double ExperimentState::*hi;
    Long ExperimentState::*fromText;
    Long ExperimentState::*fromScroll;
    bool (*takeText)(ExperimentState&, std::string_view);
};

void valueBoxChanged(frmTamrel& w, const ValueEditor& e)
{
    ExperimentState& s = w.state;
    if (!e.takeText(s, w.textOf(e.box)))
        return;
    s.*e.fromText = 1;
    if (s.*e.fromScroll == 0 && s.Stopped == 1)
        e.bar->setValue(ValueToBar(s.*e.current, e.bar->minimum(), e.bar->maximum(), s.*e.lo, s.*e.hi));
    s.*e.fromText = 0;
}

void valueBarChanged(frmTamrel& w, const ValueEditor& e)
{
    ExperimentState& s = w.state;
    if (s.*e.fromText != 0)
        return;
    s.*e.fromScroll = 1;
    s.*e.current = BarToValue(e.bar->value(), e.bar->minimum(), e.bar->maximum(), s.*e.lo, s.*e.hi);
    w.setText(e.box, formatPattern(s.*e.current, "##0.0####"));
    s.*e.fromScroll = 0;
}

ValueEditor densityEditor(frmTamrel& w)
{
    return {w.txtDensity, w.hsbDensity, &ExperimentState::RhoCurrent, &ExperimentState::RhoMin,
        &ExperimentState::RhoMax, &ExperimentState::RhoFromText, &ExperimentState::RhoFromScroll, &DensityTextChanged};
}
ValueEditor pressureEditor(frmTamrel& w)
{
    return {w.txtPressure, w.hsbPressure, &ExperimentState::PCurrent, &ExperimentState::PMin, &ExperimentState::PMax,
        &ExperimentState::PFromText, &ExperimentState::PFromScroll, &PressureTextChanged};
}
ValueEditor velocityEditor(frmTamrel& w)
{
    return {w.txtVelocity, w.hsbVelocity, &ExperimentState::VXCurrent, &ExperimentState::VXMin,
        &ExperimentState::VXMax, &ExperimentState::VXFromText, &ExperimentState::VXFromScroll, &VelocityTextChanged};
}

} // namespace

void frmTamrel::txtDensity_Change() { valueBoxChanged(*this, densityEditor(*this)); }
void frmTamrel::txtPressure_Change() { valueBoxChanged(*this, pressureEditor(*this)); }
void frmTamrel::txtVelocity_Change() { valueBoxChanged(*this, velocityEditor(*this)); }
void frmTamrel::hsbDensity_Change() { valueBarChanged(*this, densityEditor(*this)); }
void frmTamrel::hsbPressure_Change() { valueBarChanged(*this, pressureEditor(*this)); }
void frmTamrel::hsbVelocity_Change() { valueBarChanged(*this, velocityEditor(*this)); }

void frmTamrel::txtMSelected_Change()
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
        clearLinePlots();
    paintLinePlots();
    state.MFromText = 0;
}

void frmTamrel::hsbMSelected_Change()
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

} // namespace tamrel
