// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/kit/StudyPlotPicture.h"

#include <QFont>
#include <QImage>
#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>
#include <fstream>

namespace tamrel {

QImage StudyPlotImage(const compare::StudyPlotDrawing& d)
{
    QImage image(d.width, d.height, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing);
    for (const compare::PlotPolyline& l : d.lines) {
        QPen pen(QColor(l.rgb[0], l.rgb[1], l.rgb[2]));
        pen.setWidthF(l.width);
        if (l.dashed)
            pen.setStyle(Qt::DashLine);
        p.setPen(pen);
        QPolygonF poly;
        for (const compare::PlotPoint& pt : l.points)
            poly << QPointF(pt.x, pt.y);
        p.drawPolyline(poly);
        if (l.markers)
            for (const QPointF& pt : poly)
                p.fillRect(QRectF(pt.x() - 3, pt.y() - 3, 6, 6), pen.color());
    }
    QFont font(QStringLiteral("DejaVu Sans"));
    font.setPixelSize(13);
    p.setFont(font);
    p.setPen(Qt::black);
    const QFontMetricsF metrics(font);
    for (const compare::PlotText& t : d.texts) {
        const QString text = QString::fromStdString(t.text);
        const double w = metrics.horizontalAdvance(text);
        const double dx = t.align < 0 ? -w : t.align == 0 ? -w / 2 : 0;
        p.save();
        p.translate(t.at.x, t.at.y);
        if (t.vertical)
            p.rotate(-90);
        p.drawText(QPointF(dx, 0), text);
        p.restore();
    }
    return image;
}

bool SaveStudyPlot(const compare::StudyPlotDrawing& d, const std::string& path, bool svg)
{
    if (svg) {
        std::ofstream out(path, std::ios::binary | std::ios::trunc);
        out << compare::StudyPlotSvg(d);
        out.close();
        return !out.fail();
    }
    return StudyPlotImage(d).save(QString::fromStdString(path), "PNG");
}

} // namespace tamrel
