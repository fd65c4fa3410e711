// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The Riemann explorer: a window of its own beside the lab's, which may stay
// open during a run. It shows one Riemann problem, either the jump of the
// loaded initial state (the one nearest the current cell when there are two)
// or the pair of the current cell and a marked cell, as the pressure-velocity
// plane and a table. What it shows is given to it; it only asks, through its
// signals, for another source or for the current cell to be marked.

#include <QWidget>
#include <string>

#include "exact/RiemannExplorer.h"

class QLabel;
class QRadioButton;
class QPushButton;
class QTableWidget;

namespace tamrel {

class PressureVelocityPlane;

class RiemannExplorerWindow : public QWidget {
    Q_OBJECT
public:
    enum class Source { LoadedJump, PickedCells };

    explicit RiemannExplorerWindow(QWidget* parent = nullptr);

    Source source() const;
    void setSource(Source source);
    // The problem and a line saying where it comes from.
    void showExploration(const exact::RiemannExploration& r, const std::string& origin);
    // Nothing to explore, and why.
    void showNothing(const std::string& why);

    const exact::RiemannExploration& exploration() const;
    std::string origin() const;
    // The table as shown: label and text of each row.
    std::vector<std::pair<std::string, std::string>> rows() const;

signals:
    void sourceChanged();
    void markRequested();

private:
    QLabel* lblOrigin;
    QRadioButton* optLoadedJump;
    QRadioButton* optPickedCells;
    QPushButton* cmdMarkCell;
    PressureVelocityPlane* plane;
    QTableWidget* tblStarState;
};

} // namespace tamrel
