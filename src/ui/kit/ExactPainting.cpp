// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/kit/ExactPainting.h"

#include <QPainter>
#include <QPainterPath>
#include <QPen>

namespace tamrel {

QColor ExactCurveColour()
{
    return QColor(200, 30, 30);
}

void PaintWavePattern(QPainter& painter, const std::vector<exact::WavePolyline>& lines)
{
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    for (const auto& line : lines) {
        if (line.points.size() < 2)
            continue;
        QPen pen;
        pen.setCosmetic(true);
        switch (line.kind) {
        case exact::WaveKind::Shock:
            pen = QPen(QColor(230, 40, 40), 1.6);
            break;
        case exact::WaveKind::Contact:
            pen = QPen(QColor(40, 120, 255), 1.6);
            break;
        case exact::WaveKind::FanHead:
        case exact::WaveKind::FanTail:
            pen = QPen(QColor(255, 150, 0), 1.3);
            break;
        case exact::WaveKind::FanInside:
            pen = QPen(QColor(255, 190, 80), 0.8, Qt::DashLine);
            break;
        case exact::WaveKind::VacuumFront:
            pen = QPen(QColor(220, 0, 220), 1.3);
            break;
        }
        painter.setPen(pen);
        QPainterPath path(QPointF(line.points[0].first, line.points[0].second));
        for (std::size_t k = 1; k < line.points.size(); ++k)
            path.lineTo(line.points[k].first, line.points[k].second);
        painter.drawPath(path);
    }
    painter.restore();
}

} // namespace tamrel
