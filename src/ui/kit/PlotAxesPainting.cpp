// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/kit/PlotAxesPainting.h"

#include <QFont>
#include <QFontMetricsF>
#include <QHash>
#include <QLinearGradient>
#include <QPainter>
#include <algorithm>
#include <cmath>
#include <memory>
#include <vector>

namespace tamrel {

namespace {
    const QColor kTickColour(120, 120, 120);
    const QColor kGridColour(0, 0, 0, 22);
    const QColor kTextColour(60, 60, 60);
    const QColor kHalo(255, 255, 255, 190);

    QFont axesFont(double unit, bool bold = false)
    {
        const int pixels = std::max(7, static_cast<int>(std::lround(9 * unit)));
        // The axes of every picture are painted at every tick of a run in a
        // font or two: each is made once.
        static QHash<int, QFont> made;
        const int key = 2 * pixels + (bold ? 1 : 0);
        if (const auto it = made.constFind(key); it != made.cend())
            return *it;
        QFont f(QStringLiteral("Liberation Sans"));
        f.setFamilies(
            { QStringLiteral("Liberation Sans"), QStringLiteral("Arial"), QStringLiteral("DejaVu Sans") });
        f.setPixelSize(pixels);
        f.setBold(bold);
        made.insert(key, f);
        return f;
    }

    // The size of a label's patch in the painter's font. The same few labels
    // come back at every paint: their widths are kept, per font.
    QSizeF labelSize(const QPainter& p, const QString& text)
    {
        struct Measured {
            QFont font;
            QFontMetricsF metrics;
            QHash<QString, qreal> widths;
        };
        static std::vector<std::unique_ptr<Measured>> fonts;
        const QFont& font = p.font();
        auto it = std::find_if(fonts.begin(), fonts.end(), [&](const auto& m) { return m->font == font; });
        if (it == fonts.end()) {
            if (fonts.size() >= 8)
                fonts.clear();
            fonts.push_back(std::make_unique<Measured>(Measured { font, QFontMetricsF(font), {} }));
            it = fonts.end() - 1;
        }
        Measured& m = **it;
        auto w = m.widths.constFind(text);
        if (w == m.widths.cend()) {
            if (m.widths.size() >= 512)
                m.widths.clear();
            w = m.widths.insert(text, m.metrics.horizontalAdvance(text));
        }
        return { *w + 4, m.metrics.height() };
    }

    // Text on a light patch, its box kept inside `area`; returns the box.
    QRectF label(QPainter& p, const QRectF& area, QPointF anchor, Qt::Alignment align, const QString& text)
    {
        const QSizeF size = labelSize(p, text);
        QPointF topLeft = anchor;
        if (align & Qt::AlignRight)
            topLeft.rx() -= size.width();
        else if (align & Qt::AlignHCenter)
            topLeft.rx() -= size.width() / 2;
        if (align & Qt::AlignBottom)
            topLeft.ry() -= size.height();
        else if (align & Qt::AlignVCenter)
            topLeft.ry() -= size.height() / 2;
        topLeft.setX(std::clamp(topLeft.x(), area.left(), std::max(area.left(), area.right() - size.width())));
        topLeft.setY(std::clamp(topLeft.y(), area.top(), std::max(area.top(), area.bottom() - size.height())));
        const QRectF box(topLeft, size);
        p.fillRect(box, kHalo);
        p.setPen(kTextColour);
        p.drawText(box, Qt::AlignCenter, text);
        return box;
    }

    // Ticks along the bottom edge (x) and the left edge (y), with values;
    // returns the right edge of the y labels.
    double ticks(QPainter& p, const QRectF& a, double x0, double x1, double y0, double y1, double unit)
    {
        const double tick = 4 * unit;
        p.setFont(axesFont(unit));
        const int xCount = std::max(2, static_cast<int>(a.width() / (70 * unit)));
        const int yCount = std::max(2, static_cast<int>(a.height() / (34 * unit)));
        const auto xt = AxisTicks(x0, x1, xCount);
        const auto yt = AxisTicks(y0, y1, yCount);
        for (const AxisTick& t : xt) {
            const double x = a.left() + t.fraction * a.width();
            p.setPen(QPen(kGridColour, unit));
            p.drawLine(QPointF(x, a.top()), QPointF(x, a.bottom()));
            p.setPen(QPen(kTickColour, unit));
            p.drawLine(QPointF(x, a.bottom()), QPointF(x, a.bottom() - tick));
        }
        for (const AxisTick& t : yt) {
            const double y = a.bottom() - t.fraction * a.height();
            p.setPen(QPen(kGridColour, unit));
            p.drawLine(QPointF(a.left(), y), QPointF(a.right(), y));
            p.setPen(QPen(kTickColour, unit));
            p.drawLine(QPointF(a.left(), y), QPointF(a.left() + tick, y));
        }
        // Labels after the lines, so no line crosses a label. The x labels
        // leave the left corner to the y labels.
        double yLabelRight = a.left();
        for (const AxisTick& t : yt) {
            const double y = a.bottom() - t.fraction * a.height();
            const QRectF box = label(p, a, QPointF(a.left() + tick + unit, y), Qt::AlignLeft | Qt::AlignVCenter,
                QString::fromStdString(t.label));
            yLabelRight = std::max(yLabelRight, box.right());
        }
        for (const AxisTick& t : xt) {
            const double x = a.left() + t.fraction * a.width();
            if (x < yLabelRight + 2 * unit)
                continue;
            label(p, a, QPointF(x, a.bottom() - tick), Qt::AlignHCenter | Qt::AlignBottom,
                QString::fromStdString(t.label));
        }
        return yLabelRight;
    }

    PlotBox fractionOf(const QRectF& a, const QRectF& r)
    {
        return { (r.left() - a.left()) / a.width(), (r.top() - a.top()) / a.height(),
            (r.right() - a.left()) / a.width(), (r.bottom() - a.top()) / a.height() };
    }

    // Of the rectangles `places`, the one the curves cross least.
    QRectF quietest(const QRectF& a, const std::vector<QRectF>& places, const std::vector<std::vector<PlotCurvePoint>>& curves)
    {
        std::vector<PlotBox> boxes;
        for (const QRectF& r : places)
            boxes.push_back(fractionOf(a, r));
        return places[QuietestPlace(boxes, curves)];
    }
} // namespace

void paintLinePlotAxes(QPainter& p, const QRectF& a, const PlotAxes& axes, const QString& timeText,
    const std::vector<LegendEntry>& legend, double unit, const std::vector<std::vector<PlotCurvePoint>>& curves)
{
    if (!axes.shown)
        return;
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    const double yLabelRight = ticks(p, a, axes.xmin, axes.xmax, axes.ymin, axes.ymax, unit);
    p.setFont(axesFont(unit));
    // Above the x labels at the bottom.
    const double bottom = a.bottom() - labelSize(p, QStringLiteral("0")).height() - 6 * unit;

    // The time of the state on show, or the legend of the overlaid states,
    // in the corner the curves cross least (the top right when several are
    // clear).
    p.setFont(axesFont(unit));
    std::vector<LegendEntry> rows = legend;
    if (rows.size() > 6) {
        // A long list keeps its first and its last four.
        std::vector<LegendEntry> kept { rows.front(), { QStringLiteral("..."), QColor(0, 0, 0, 0) } };
        kept.insert(kept.end(), rows.end() - 4, rows.end());
        rows = kept;
    }
    const QFontMetricsF m(p.font());
    double width = 0;
    for (const LegendEntry& e : rows)
        width = std::max(width, m.horizontalAdvance(e.text));
    const double swatch = 12 * unit, rowHeight = m.height();
    const QSizeF cornerSize = legend.empty()
        ? labelSize(p, timeText)
        : QSizeF(width + swatch + 6 * unit, rowHeight * static_cast<double>(rows.size()) + 2 * unit);
    const double right = a.right() - 2 * unit - cornerSize.width();
    const double left = yLabelRight + 4 * unit;
    const QRectF corner = quietest(a,
        { QRectF(QPointF(right, a.top() + unit), cornerSize), QRectF(QPointF(left, a.top() + unit), cornerSize),
            QRectF(QPointF(right, bottom - cornerSize.height()), cornerSize),
            QRectF(QPointF(left, bottom - cornerSize.height()), cornerSize) },
        curves);

    // The title at the top centre, or elsewhere along the top or the bottom
    // where the curves leave more room, never over the time or the legend.
    p.setFont(axesFont(unit, true));
    const QString title = QString::fromStdString(axes.variable);
    const QSizeF titleSize = labelSize(p, title);
    std::vector<QRectF> titlePlaces;
    for (const double y : { a.top() + unit, bottom - titleSize.height() })
        for (const double across : { 0.5, 0.25, 0.75 }) {
            const QRectF place(QPointF(a.left() + across * a.width() - titleSize.width() / 2, y), titleSize);
            if (!place.intersects(corner) && place.left() > yLabelRight)
                titlePlaces.push_back(place);
        }
    if (titlePlaces.empty())
        titlePlaces.push_back(QRectF(QPointF(a.center().x() - titleSize.width() / 2, a.top() + unit), titleSize));
    label(p, a, quietest(a, titlePlaces, curves).topLeft(), Qt::AlignLeft | Qt::AlignTop, title);

    p.setFont(axesFont(unit));
    if (legend.empty())
        label(p, a, corner.topLeft(), Qt::AlignLeft | Qt::AlignTop, timeText);
    // The legend: a short line in each overlaid state's shade and its time,
    // the oldest first.
    if (!legend.empty()) {
        const QRectF box = corner;
        p.fillRect(box, kHalo);
        double y = box.top() + unit;
        for (const LegendEntry& e : rows) {
            p.setPen(QPen(e.colour, 2 * unit));
            p.drawLine(QPointF(box.left() + 2 * unit, y + rowHeight / 2),
                QPointF(box.left() + 2 * unit + swatch - 3 * unit, y + rowHeight / 2));
            p.setPen(kTextColour);
            p.drawText(QRectF(box.left() + swatch + 2 * unit, y, width + 2 * unit, rowHeight),
                Qt::AlignLeft | Qt::AlignVCenter, e.text);
            y += rowHeight;
        }
    }
    p.restore();
}

void paintSpaceTimeAxes(QPainter& p, const QRectF& a, const SpaceTimeAxes& axes, double unit)
{
    if (!axes.shown)
        return;
    p.save();
    p.setRenderHint(QPainter::Antialiasing);
    ticks(p, a, 0.0, axes.xmax, 0.0, axes.tmax, unit);
    p.setFont(axesFont(unit, true));
    label(p, a, QPointF(a.center().x(), a.top() + unit), Qt::AlignHCenter | Qt::AlignTop,
        axes.variable + QStringLiteral("  (x across, t up)"));

    // The gray scale bar at the right: gray 5 at the bottom (vmin), 250 at
    // the top (vmax).
    p.setFont(axesFont(unit));
    const double barWidth = 9 * unit;
    const double barHeight = std::min(a.height() * 0.55, 120 * unit);
    const QRectF bar(a.right() - barWidth - 6 * unit, a.center().y() - barHeight / 2, barWidth, barHeight);
    const auto formatted = [](double v) { return QString::number(v, 'g', 4); };
    const QFontMetricsF m(p.font());
    const double textWidth
        = std::max(m.horizontalAdvance(formatted(axes.vmin)), m.horizontalAdvance(formatted(axes.vmax)));
    p.fillRect(QRectF(bar.left() - textWidth - 6 * unit, bar.top() - m.height() / 2 - unit,
                   textWidth + barWidth + 10 * unit, barHeight + m.height() + 2 * unit),
        kHalo);
    QLinearGradient g(bar.bottomLeft(), bar.topLeft());
    g.setColorAt(0, QColor(5, 5, 5));
    g.setColorAt(1, QColor(250, 250, 250));
    p.fillRect(bar, g);
    p.setPen(QPen(kTickColour, unit));
    p.drawRect(bar);
    p.setPen(kTextColour);
    p.drawText(QRectF(bar.left() - textWidth - 4 * unit, bar.top() - m.height() / 2, textWidth, m.height()),
        Qt::AlignRight | Qt::AlignVCenter, formatted(axes.vmax));
    p.drawText(QRectF(bar.left() - textWidth - 4 * unit, bar.bottom() - m.height() / 2, textWidth, m.height()),
        Qt::AlignRight | Qt::AlignVCenter, formatted(axes.vmin));
    p.restore();
}

} // namespace tamrel
