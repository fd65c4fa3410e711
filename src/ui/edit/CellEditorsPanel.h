// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The cell-number and value editors: each text box and its scroll bar mirror
// each other. A pair of guard flags per editor in the record makes the
// mirror one-way: a handler started by its partner does not write back to it.
// Other panels write the boxes only through the operations below.

#include <array>
#include <optional>
#include <string>

#include "ui/kit/WindowContext.h"

class QLineEdit;
class QScrollBar;

namespace tamrel {

enum class PlotQuantity;

class CellEditorsPanel {
public:
    explicit CellEditorsPanel(WindowContext& w);

    void txtDensity_Change();
    void txtPressure_Change();
    void txtVelocity_Change();
    void txtMSelected_Change();
    void hsbDensity_Change();
    void hsbPressure_Change();
    void hsbVelocity_Change();
    void hsbMSelected_Change();

    // What the boxes hold: the three values as numbers (none where a box
    // holds no number) and the cell-number box's text.
    struct TypedValues {
        std::optional<double> rho, p, u;
    };
    TypedValues typedValues() const;
    // The three value boxes' texts as typed: density, pressure, velocity.
    std::array<std::string, 3> typedTexts() const;
    std::string typedCell() const;

    // Each write runs the box's handler when its text changes.
    // Select took a cell: the cell number and its three values.
    void showSelection(
        const std::string& cell, const std::string& rho, const std::string& p, const std::string& u);
    // The cell-number box alone.
    void showCellNumber(const std::string& cell);
    // A pick on a plot or the space-time picture: the three values, then the cell.
    void showPickedCell(
        const std::string& rho, const std::string& p, const std::string& u, const std::string& cell);
    // A plot's readout: the cell bar at `cell`, then pressure, density, velocity.
    void showPlottedCell(Long cell, const std::string& p, const std::string& rho, const std::string& u);

    // The last entry a grid rebuild replayed, in the cell and value editors
    // and their bars, without their handlers: the state already holds it.
    void showReplayedEntry(
        const std::string& cell, const std::string& rho, const std::string& p, const std::string& u);

    // The cell bar spans cells 1..n (range, small and large change).
    void setCellBarRange(Long n);
    bool cellBarSpans(Long n) const;

    // The control refresh: one value editor's bar (range, steps, position)
    // and box from the current value; the cell bar and box from MCurrent.
    void refreshValueEditor(PlotQuantity q);
    void refreshCellEditor();

private:
    struct ValueEditor;
    ValueEditor editor(PlotQuantity q) const;
    void valueBoxChanged(const ValueEditor& e);
    void valueBarChanged(const ValueEditor& e);

    ExperimentState& state;
    Panels& panels;

    QLineEdit* txtMSelected;
    QScrollBar* hsbMSelected;
    QLineEdit* txtDensity;
    QScrollBar* hsbDensity;
    QLineEdit* txtPressure;
    QScrollBar* hsbPressure;
    QLineEdit* txtVelocity;
    QScrollBar* hsbVelocity;
};

} // namespace tamrel
