#include "app/ui/LinePlotPicture.h"

#include <QMouseEvent>
#include <QPainter>
#include <QStyleOptionFrame>

#include "app/ui/Twips.h"

namespace tamrel {

namespace {
    QPointF toPixels(const QPoint& twips)
    {
        return QPointF(twips.x() / double(kTwipsPerPixel), twips.y() / double(kTwipsPerPixel));
    }
    QRectF toPixels(const QRect& twips)
    {
        return QRectF(twips.x() / double(kTwipsPerPixel), twips.y() / double(kTwipsPerPixel),
            twips.width() / double(kTwipsPerPixel), twips.height() / double(kTwipsPerPixel));
    }
} // namespace

LinePlotPicture::LinePlotPicture(QWidget* parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

QRect LinePlotPicture::drawingArea() const
{
    return rect().adjusted(kBorder, kBorder, -kBorder, -kBorder);
}

int LinePlotPicture::scaleWidth() const
{
    return drawingArea().width() * kTwipsPerPixel;
}
int LinePlotPicture::scaleHeight() const
{
    return drawingArea().height() * kTwipsPerPixel;
}

void LinePlotPicture::resizeEvent(QResizeEvent*)
{
    const QSize size = drawingArea().size().expandedTo(QSize(1, 1));
    if (surface_.size() == size)
        return;
    QImage fresh(size, QImage::Format_RGB32);
    fresh.fill(Qt::white);
    if (!surface_.isNull()) {
        QPainter p(&fresh);
        p.drawImage(0, 0, surface_);
    }
    surface_ = fresh;
}

void LinePlotPicture::clear()
{
    if (surface_.isNull())
        resizeEvent(nullptr);
    surface_.fill(Qt::white);
    update();
}

void LinePlotPicture::drawPolyline(const std::vector<QPoint>& pointsTwips)
{
    if (pointsTwips.size() < 2)
        return;
    if (surface_.isNull())
        resizeEvent(nullptr);
    std::vector<QPointF> pts;
    pts.reserve(pointsTwips.size());
    for (const auto& p : pointsTwips)
        pts.push_back(toPixels(p));
    QPainter painter(&surface_);
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(Qt::black, 1.2));
    painter.drawPolyline(pts.data(), static_cast<int>(pts.size()));
    update();
}

void LinePlotPicture::fillBox(const QRect& twips)
{
    if (surface_.isNull())
        resizeEvent(nullptr);
    QPainter painter(&surface_);
    painter.fillRect(toPixels(twips), Qt::black);
    update();
}

void LinePlotPicture::outlineBox(const QRect& twips)
{
    if (surface_.isNull())
        resizeEvent(nullptr);
    QPainter painter(&surface_);
    painter.setPen(QPen(Qt::black, 1));
    painter.drawRect(toPixels(twips));
    update();
}

void LinePlotPicture::setOverlay(std::vector<std::vector<QPoint>> polylinesTwips, const QColor& colour)
{
    overlay_ = std::move(polylinesTwips);
    overlayColour_ = colour;
    update();
}

void LinePlotPicture::clearOverlay()
{
    if (overlay_.empty())
        return;
    overlay_.clear();
    update();
}

void LinePlotPicture::paintOverlay(QPainter& painter) const
{
    painter.setRenderHint(QPainter::Antialiasing);
    painter.setPen(QPen(overlayColour_, 1.4));
    for (const auto& line : overlay_) {
        std::vector<QPointF> pts;
        pts.reserve(line.size());
        for (const auto& p : line)
            pts.push_back(toPixels(p));
        if (pts.size() >= 2)
            painter.drawPolyline(pts.data(), static_cast<int>(pts.size()));
    }
}

QImage LinePlotPicture::shownImage() const
{
    QImage shown = surface_.copy();
    if (!shown.isNull() && !overlay_.empty()) {
        QPainter painter(&shown);
        paintOverlay(painter);
    }
    return shown;
}

void LinePlotPicture::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    drawSunkenFrame(p, *this);
    p.drawImage(drawingArea().topLeft(), surface_);
    if (!overlay_.empty()) {
        p.save();
        p.translate(drawingArea().topLeft());
        p.setClipRect(QRect(QPoint(0, 0), drawingArea().size()));
        paintOverlay(p);
        p.restore();
    }
}

void LinePlotPicture::mousePressEvent(QMouseEvent* e)
{
    // The sunken border is not part of the picture: a press on it picks no cell.
    const QRect area = drawingArea();
    const QPointF local = e->position() - QPointF(area.topLeft());
    if (local.x() < 0 || local.y() < 0 || local.x() > area.width() || local.y() > area.height())
        return;
    emit mouseDown(static_cast<int>(e->button()), local.x() * kTwipsPerPixel, local.y() * kTwipsPerPixel);
}

} // namespace tamrel
