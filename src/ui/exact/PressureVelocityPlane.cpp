// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/exact/PressureVelocityPlane.h"

#include <QPainter>
#include <QPainterPath>
#include <algorithm>
#include <cmath>

namespace tamrel {

namespace {

    const QColor kLeftColour(30, 90, 200);
    const QColor kRightColour(200, 60, 30);

    QString number(double v)
    {
        return QString::number(v, 'g', 4);
    }

} // namespace

PressureVelocityPlane::PressureVelocityPlane(QWidget* parent)
    : QWidget(parent)
{
    setMinimumSize(320, 220);
}

void PressureVelocityPlane::setExploration(const exact::RiemannExploration& r)
{
    r_ = r;
    update();
}

QRectF PressureVelocityPlane::plotArea() const
{
    return QRectF(rect()).adjusted(58, 12, -14, -40);
}

QPointF PressureVelocityPlane::toWidget(double u, double p) const
{
    const QRectF a = plotArea();
    const double span = r_.uHigh - r_.uLow;
    const double uLow = r_.uLow - 0.05 * span, uHigh = r_.uHigh + 0.05 * span;
    const double x = a.left() + (u - uLow) / (uHigh > uLow ? uHigh - uLow : 1.0) * a.width();
    const double y = a.bottom() - p / (r_.pTop > 0 ? r_.pTop : 1.0) * a.height();
    return { x, y };
}

void PressureVelocityPlane::paintEvent(QPaintEvent*)
{
    QPainter painter(this);
    painter.fillRect(rect(), Qt::white);
    painter.setRenderHint(QPainter::Antialiasing);
    const QRectF a = plotArea();
    painter.setPen(QPen(Qt::gray, 1));
    painter.drawRect(a);
    painter.setPen(Qt::black);
    painter.drawText(QRectF(a.left(), a.bottom() + 18, a.width(), 18), Qt::AlignCenter, tr("velocity u"));
    painter.save();
    painter.translate(14, a.center().y());
    painter.rotate(-90);
    painter.drawText(QRectF(-a.height() / 2, -8, a.height(), 18), Qt::AlignCenter, tr("pressure p"));
    painter.restore();
    if (!r_.ok) {
        painter.drawText(a, Qt::AlignCenter | Qt::TextWordWrap, QString::fromStdString(r_.reason));
        return;
    }
    // Axis ends.
    const double span = r_.uHigh - r_.uLow;
    painter.drawText(QRectF(a.left() - 4, a.bottom() + 2, 80, 16), Qt::AlignLeft, number(r_.uLow - 0.05 * span));
    painter.drawText(
        QRectF(a.right() - 80, a.bottom() + 2, 84, 16), Qt::AlignRight, number(r_.uHigh + 0.05 * span));
    painter.drawText(QRectF(0, a.top() - 6, a.left() - 4, 16), Qt::AlignRight, number(r_.pTop));
    painter.drawText(QRectF(0, a.bottom() - 10, a.left() - 4, 16), Qt::AlignRight, QStringLiteral("0"));

    painter.setClipRect(a);
    auto drawBranches = [&](const std::vector<exact::WaveCurveBranch>& curve, const QColor& colour) {
        for (const auto& b : curve) {
            if (b.points.size() < 2)
                continue;
            QPainterPath path(toWidget(b.points[0].first, b.points[0].second));
            for (std::size_t k = 1; k < b.points.size(); ++k)
                path.lineTo(toWidget(b.points[k].first, b.points[k].second));
            painter.setPen(QPen(colour, 1.8, b.shock ? Qt::SolidLine : Qt::DashLine));
            painter.drawPath(path);
        }
    };
    drawBranches(r_.leftCurve, kLeftColour);
    drawBranches(r_.rightCurve, kRightColour);
    painter.setBrush(Qt::white);
    painter.setPen(QPen(kLeftColour, 1.5));
    painter.drawEllipse(toWidget(r_.left.u, r_.left.p), 4, 4);
    painter.setPen(QPen(kRightColour, 1.5));
    painter.drawEllipse(toWidget(r_.right.u, r_.right.p), 4, 4);
    if (!r_.vacuum) {
        painter.setBrush(Qt::black);
        painter.setPen(Qt::black);
        painter.drawEllipse(toWidget(r_.uStar, r_.pStar), 4, 4);
    }
    painter.setClipping(false);
    // Legend.
    painter.setPen(kLeftColour);
    painter.drawText(QRectF(a.left() + 6, a.top() + 4, a.width() - 12, 16), Qt::AlignLeft, tr("left state"));
    painter.setPen(kRightColour);
    painter.drawText(QRectF(a.left() + 6, a.top() + 20, a.width() - 12, 16), Qt::AlignLeft, tr("right state"));
    painter.setPen(Qt::black);
    painter.drawText(QRectF(a.left() + 6, a.top() + 36, a.width() - 12, 16), Qt::AlignLeft,
        r_.vacuum ? tr("the curves do not meet: a vacuum forms") : tr("solid: shock, dashed: rarefaction"));
}

} // namespace tamrel
