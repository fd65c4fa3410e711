// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The pressure-velocity plane of a Riemann problem: velocity across, pressure
// up. The left state's wave curve and the right state's, each drawn solid on
// its shock branch and dashed on its rarefaction branch, the two initial
// states as open circles and the star state, where the curves cross, as a
// filled one. Curves that end at p = 0 without meeting show the vacuum.

#include <QWidget>

#include "exact/RiemannExplorer.h"

namespace tamrel {

class PressureVelocityPlane : public QWidget {
    Q_OBJECT
public:
    explicit PressureVelocityPlane(QWidget* parent = nullptr);

    void setExploration(const exact::RiemannExploration& r);
    const exact::RiemannExploration& exploration() const { return r_; }

    // Where a point (u, p) of the plane is drawn in the widget.
    QPointF toWidget(double u, double p) const;

    QSize sizeHint() const override { return { 420, 300 }; }

protected:
    void paintEvent(QPaintEvent*) override;

private:
    QRectF plotArea() const;

    exact::RiemannExploration r_;
};

} // namespace tamrel
