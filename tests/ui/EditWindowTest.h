// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The window fixture for the hand-made states: typing into boxes, selecting
// cells through the buttons, and a copy of the grid and the table of
// selected cells to compare before and after a command.

#include <QLineEdit>
#include <QPushButton>
#include <string>
#include <vector>

#include "WindowFixture.h"

namespace tamrel::testing {

// The grid (cells 0..N+1) and the whole table of selected cells.
struct GridAndTable {
    Long NGridCells = 0;
    Long NSelected = 0;
    std::vector<Long> MSelected;
    std::vector<double> XSelected, RhoSelected, PSelected, VXSelected;
    std::vector<double> Rho, P, VX;

    bool operator==(const GridAndTable&) const = default;
};

inline GridAndTable gridAndTable(const ExperimentState& s)
{
    GridAndTable g;
    g.NGridCells = s.NGridCells;
    g.NSelected = s.NSelected;
    for (Long j = 0; j <= s.NSelected + 1; ++j) {
        g.MSelected.push_back(s.MSelected[j]);
        g.XSelected.push_back(s.XSelected[j]);
        g.RhoSelected.push_back(s.RhoSelected[j]);
        g.PSelected.push_back(s.PSelected[j]);
        g.VXSelected.push_back(s.VXSelected[j]);
    }
    for (long i = 0; i <= s.NGridCells + 1; ++i) {
        g.Rho.push_back(s.Rho[i]);
        g.P.push_back(s.P[i]);
        g.VX.push_back(s.VX[i]);
    }
    return g;
}

// The cell numbers of the selected cells proper (entries 1..NSelected).
inline std::vector<Long> selectedCells(const ExperimentState& s)
{
    std::vector<Long> cells;
    for (Long j = 1; j <= s.NSelected; ++j)
        cells.push_back(s.MSelected[j]);
    return cells;
}

class EditWindowTest : public WindowTest {
protected:
    // The whole text at once, as a paste would put it (one change).
    static void type(QLineEdit* box, const std::string& text) { box->setText(QString::fromStdString(text)); }

    // Pick cell m, type its three values and press "Select".
    void selectCell(frmTamrel& w, Long m, const std::string& rho, const std::string& p, const std::string& u)
    {
        type(box(w, "txtMSelected"), std::to_string(m));
        type(box(w, "txtDensity"), rho);
        type(box(w, "txtPressure"), p);
        type(box(w, "txtVelocity"), u);
        button(w, "cmdSelect")->click();
    }
    void selectCell(Long m, const std::string& rho, const std::string& p, const std::string& u)
    {
        selectCell(*window, m, rho, p, u);
    }
};

} // namespace tamrel::testing
