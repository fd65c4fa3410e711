// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/exact/RiemannExplorerWindow.h"

#include <QButtonGroup>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLabel>
#include <QPushButton>
#include <QRadioButton>
#include <QTableWidget>
#include <QVBoxLayout>

#include "ui/exact/PressureVelocityPlane.h"

namespace tamrel {

RiemannExplorerWindow::RiemannExplorerWindow(QWidget* parent)
    : QWidget(parent, Qt::Window)
{
    setObjectName(QStringLiteral("frmRiemannExplorer"));
    setWindowTitle(tr("Riemann Explorer"));
    lblOrigin = new QLabel(this);
    lblOrigin->setObjectName(QStringLiteral("lblRiemannOrigin"));
    lblOrigin->setWordWrap(true);
    optLoadedJump = new QRadioButton(tr("Jump of the loaded state"), this);
    optLoadedJump->setObjectName(QStringLiteral("optRiemannLoadedJump"));
    optPickedCells = new QRadioButton(tr("Marked cell and current cell"), this);
    optPickedCells->setObjectName(QStringLiteral("optRiemannPickedCells"));
    optLoadedJump->setChecked(true);
    auto* group = new QButtonGroup(this);
    group->addButton(optLoadedJump);
    group->addButton(optPickedCells);
    cmdMarkCell = new QPushButton(tr("Mark Current Cell"), this);
    cmdMarkCell->setObjectName(QStringLiteral("cmdRiemannMarkCell"));
    cmdMarkCell->setToolTip(tr("Click a cell on a plot, mark it here, then click a second cell: the explorer "
                               "shows the Riemann problem between the two."));
    plane = new PressureVelocityPlane(this);
    plane->setObjectName(QStringLiteral("pctPressureVelocity"));
    tblStarState = new QTableWidget(0, 2, this);
    tblStarState->setObjectName(QStringLiteral("tblRiemannStarState"));
    tblStarState->horizontalHeader()->setVisible(false);
    tblStarState->verticalHeader()->setVisible(false);
    tblStarState->horizontalHeader()->setStretchLastSection(true);
    tblStarState->setEditTriggers(QAbstractItemView::NoEditTriggers);
    tblStarState->setSelectionMode(QAbstractItemView::NoSelection);
    tblStarState->setMinimumWidth(360);

    auto* sources = new QHBoxLayout;
    sources->addWidget(optLoadedJump);
    sources->addWidget(optPickedCells);
    sources->addWidget(cmdMarkCell);
    sources->addStretch();
    auto* body = new QHBoxLayout;
    body->addWidget(plane, 3);
    body->addWidget(tblStarState, 2);
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(sources);
    layout->addWidget(lblOrigin);
    layout->addLayout(body, 1);
    resize(980, 500);

    connect(optLoadedJump, &QRadioButton::toggled, this, [this](bool) { emit sourceChanged(); });
    connect(cmdMarkCell, &QPushButton::clicked, this, [this] { emit markRequested(); });
}

RiemannExplorerWindow::Source RiemannExplorerWindow::source() const
{
    return optPickedCells->isChecked() ? Source::PickedCells : Source::LoadedJump;
}

void RiemannExplorerWindow::setSource(Source source)
{
    (source == Source::PickedCells ? optPickedCells : optLoadedJump)->setChecked(true);
}

void RiemannExplorerWindow::showExploration(const exact::RiemannExploration& r, const std::string& origin)
{
    lblOrigin->setText(QString::fromStdString(origin));
    plane->setExploration(r);
    const auto rows = exact::ExplorerRows(r);
    tblStarState->setRowCount(static_cast<int>(rows.size()));
    for (std::size_t k = 0; k < rows.size(); ++k) {
        const int row = static_cast<int>(k);
        tblStarState->setItem(row, 0, new QTableWidgetItem(QString::fromStdString(rows[k].first)));
        tblStarState->setItem(row, 1, new QTableWidgetItem(QString::fromStdString(rows[k].second)));
    }
    tblStarState->resizeColumnToContents(0);
}

void RiemannExplorerWindow::showNothing(const std::string& why)
{
    exact::RiemannExploration none;
    none.reason = why;
    lblOrigin->setText(QString::fromStdString(why));
    plane->setExploration(none);
    tblStarState->setRowCount(0);
}

const exact::RiemannExploration& RiemannExplorerWindow::exploration() const
{
    return plane->exploration();
}

std::string RiemannExplorerWindow::origin() const
{
    return lblOrigin->text().toStdString();
}

std::vector<std::pair<std::string, std::string>> RiemannExplorerWindow::rows() const
{
    std::vector<std::pair<std::string, std::string>> out;
    for (int r = 0; r < tblStarState->rowCount(); ++r)
        out.emplace_back(
            tblStarState->item(r, 0)->text().toStdString(), tblStarState->item(r, 1)->text().toStdString());
    return out;
}

} // namespace tamrel
