// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/compare/CompareOverlay.h"

#include <QEvent>
#include <QFontMetrics>
#include <QPainter>
#include <QPainterPath>
#include <utility>

#include "plots/PlotAxes.h"

namespace tamrel {

namespace {
    constexpr int kBorder = 2; // the plot picture's frame around its drawing area
}

CompareOverlay::CompareOverlay(QWidget& plot_)
    : QWidget(&plot_)
    , plot(plot_)
{
    setAttribute(Qt::WA_TransparentForMouseEvents);
    setAttribute(Qt::WA_NoSystemBackground);
    setGeometry(plot.rect());
    plot.installEventFilter(this);
    hide();
}

bool CompareOverlay::eventFilter(QObject* watched, QEvent* event)
{
    if (watched == &plot && event->type() == QEvent::Resize)
        setGeometry(plot.rect());
    return QWidget::eventFilter(watched, event);
}

void CompareOverlay::setFrame(double widthTwips, double heightTwips)
{
    frameW = widthTwips > 0 ? widthTwips : 1;
    frameH = heightTwips > 0 ? heightTwips : 1;
}

void CompareOverlay::clearCurves()
{
    curves_.clear();
    update();
}

void CompareOverlay::addCurve(Curve curve)
{
    curves_.push_back(std::move(curve));
    update();
}

void CompareOverlay::setLegend(std::vector<LegendEntry> legend)
{
    legend_ = std::move(legend);
    setVisible(!legend_.empty() || covering_);
    update();
}

void CompareOverlay::setLegendAtFoot(bool atFoot)
{
    atFoot_ = atFoot;
    update();
}

void CompareOverlay::setCovering(bool covering, const QString& heading, const QString& range)
{
    covering_ = covering;
    heading_ = heading;
    range_ = range;
    setVisible(!legend_.empty() || covering_);
    update();
}

void CompareOverlay::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    p.setRenderHint(QPainter::Antialiasing);
    const QRect area = rect().adjusted(kBorder, kBorder, -kBorder, -kBorder);
    if (covering_)
        p.fillRect(area, QColor(252, 252, 250));
    p.save();
    p.setClipRect(area);
    p.translate(area.topLeft());
    const double sx = area.width() / frameW, sy = area.height() / frameH;
    for (const Curve& c : curves_) {
        p.setPen(QPen(c.colour, c.width));
        for (const auto& line : c.polylines) {
            if (line.size() < 2)
                continue;
            QPainterPath path(QPointF(line[0].x() * sx, line[0].y() * sy));
            for (std::size_t i = 1; i < line.size(); ++i)
                path.lineTo(line[i].x() * sx, line[i].y() * sy);
            p.drawPath(path);
        }
    }
    p.restore();

    QFont f = font();
    f.setPixelSize(11);
    p.setFont(f);
    const QFontMetrics fm(f);
    if (covering_) {
        p.setPen(QColor(60, 60, 60));
        p.drawText(area.adjusted(6, 3, -6, -3), Qt::AlignLeft | Qt::AlignTop, heading_);
        p.drawText(area.adjusted(6, 3, -6, -3), Qt::AlignLeft | Qt::AlignBottom, range_);
    }
    if (legend_.empty())
        return;
    // The legend: a short line in each curve's colour, in the corner the
    // curves cross least; on a tie at the right, below the plot's time label
    // (at the foot first while the plot names overlaid times at the top).
    int textWidth = 0;
    for (const LegendEntry& e : legend_)
        textWidth = std::max(textWidth, fm.horizontalAdvance(e.name));
    const int lineH = fm.height();
    const int height = lineH * static_cast<int>(legend_.size()) + 6;
    const int width = textWidth + 34;
    const int right = area.right() - textWidth - 40, left = area.left() + 48;
    const int high = area.top() + 22, low = area.bottom() - height - 22;
    std::vector<QRect> places { QRect(right, high, width, height), QRect(right, low, width, height),
        QRect(left, high, width, height), QRect(left, low, width, height) };
    if (atFoot_)
        std::swap(places[0], places[1]);
    std::vector<PlotBox> boxes;
    for (const QRect& r : places)
        boxes.push_back({ static_cast<double>(r.left() - area.left()) / area.width(),
            static_cast<double>(r.top() - area.top()) / area.height(),
            static_cast<double>(r.right() - area.left()) / area.width(),
            static_cast<double>(r.bottom() - area.top()) / area.height() });
    std::vector<std::vector<PlotCurvePoint>> lines;
    for (const Curve& c : curves_)
        for (const auto& line : c.polylines) {
            std::vector<PlotCurvePoint>& l = lines.emplace_back();
            for (const QPoint& q : line)
                l.push_back({ q.x() / frameW, q.y() / frameH });
        }
    const QRect box = places[QuietestPlace(boxes, lines)];
    p.setPen(QColor(160, 160, 160));
    p.setBrush(QColor(255, 255, 255, 225));
    p.drawRect(box);
    for (std::size_t i = 0; i < legend_.size(); ++i) {
        const int y = box.top() + 3 + lineH * static_cast<int>(i);
        p.setPen(QPen(legend_[i].colour, 2));
        p.drawLine(box.left() + 5, y + lineH / 2, box.left() + 23, y + lineH / 2);
        p.setPen(Qt::black);
        p.drawText(
            QRect(box.left() + 28, y, textWidth + 4, lineH), Qt::AlignLeft | Qt::AlignVCenter, legend_[i].name);
    }
}

} // namespace tamrel
