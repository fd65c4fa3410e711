// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/kit/SpaceTimePicture.h"

#include <QContextMenuEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>
#include <QTimer>
#include <algorithm>
#include <cmath>

#include "ui/kit/Twips.h"
#include "ui/kit/WindowScale.h"
#include "ui/kit/ExactPainting.h"

namespace tamrel {

SpaceTimePicture::SpaceTimePicture(QWidget* parent)
    : QWidget(parent)
{
    setAttribute(Qt::WA_OpaquePaintEvent);
}

QRect SpaceTimePicture::drawingArea() const
{
    return rect().adjusted(kBorder, kBorder, -kBorder, -kBorder);
}
int SpaceTimePicture::scaleWidth() const
{
    return static_cast<int>(std::lround(drawingArea().width() * devicePixelRatioF()));
}
int SpaceTimePicture::scaleHeight() const
{
    return static_cast<int>(std::lround(drawingArea().height() * devicePixelRatioF()));
}

void SpaceTimePicture::showImage(const QImage& image)
{
    shown_ = image;
    update();
}

void SpaceTimePicture::render(QPainter& p, const QRectF& target, bool withAxes) const
{
    p.save();
    p.translate(target.topLeft());
    p.setClipRect(QRectF(QPointF(0, 0), target.size()));
    p.fillRect(QRectF(QPointF(0, 0), target.size()), Qt::white);
    // The image and the waves are in device pixels of the drawing area.
    const double sx = target.width() / std::max(1, scaleWidth());
    const double sy = target.height() / std::max(1, scaleHeight());
    if (!shown_.isNull()) {
        // The image is bottom-up in memory but a QImage is top-down: the
        // caller gives it already flipped, so it is drawn as it stands.
        p.drawImage(QRectF(0, 0, shown_.width() * sx, shown_.height() * sy), shown_);
    }
    if (!waves_.empty()) {
        p.save();
        p.scale(sx, sy);
        PaintWavePattern(p, waves_);
        p.restore();
    }
    if (withAxes && !shown_.isNull())
        paintSpaceTimeAxes(p, QRectF(QPointF(0, 0), target.size()), axes_,
            target.width() * layoutScale(*this) / std::max(1, drawingArea().width()));
    p.restore();
}

void SpaceTimePicture::paintEvent(QPaintEvent*)
{
    if (QSize(scaleWidth(), scaleHeight()) != lastScaleSize_) {
        // A new device pixel ratio (another screen): the image is made afresh.
        lastScaleSize_ = QSize(scaleWidth(), scaleHeight());
        QMetaObject::invokeMethod(this, &SpaceTimePicture::resized, Qt::QueuedConnection);
    }
    QPainter p(this);
    drawSunkenFrame(p, *this);
    const QRect area = drawingArea();
    p.fillRect(area, Qt::white);
    const double dpr = devicePixelRatioF();
    if (!shown_.isNull()) {
        QImage image = shown_;
        image.setDevicePixelRatio(dpr);
        p.drawImage(QRectF(area.topLeft(),
                        QSizeF(std::min(area.width(), int(shown_.width() / dpr + 0.5)),
                            std::min(area.height(), int(shown_.height() / dpr + 0.5)))),
            image,
            QRectF(0, 0, std::min<double>(shown_.width(), scaleWidth()),
                std::min<double>(shown_.height(), scaleHeight())));
    }
    p.save();
    p.translate(area.topLeft());
    p.setClipRect(QRect(QPoint(0, 0), area.size()));
    if (!waves_.empty()) {
        p.save();
        p.scale(1 / dpr, 1 / dpr);
        PaintWavePattern(p, waves_);
        p.restore();
    }
    if (axesShown_ && !shown_.isNull())
        paintSpaceTimeAxes(p, QRectF(QPointF(0, 0), area.size()), axes_, layoutScale(*this));
    p.restore();
}

void SpaceTimePicture::resizeEvent(QResizeEvent*)
{
    const QSize size(scaleWidth(), scaleHeight());
    if (size == lastScaleSize_)
        return;
    lastScaleSize_ = size;
    // A window dragged to a new size sends many sizes in a row: the image is
    // made once, for the last of them, when the events have been handled.
    if (resizePending_)
        return;
    resizePending_ = true;
    QTimer::singleShot(0, this, [this] {
        resizePending_ = false;
        emit resized();
    });
}

void SpaceTimePicture::setAxes(const SpaceTimeAxes& axes)
{
    axes_ = axes;
    update();
}

void SpaceTimePicture::setAxesShown(bool shown)
{
    if (axesShown_ == shown)
        return;
    axesShown_ = shown;
    update();
}

void SpaceTimePicture::setWaves(std::vector<exact::WavePolyline> waves)
{
    if (waves.empty() && waves_.empty())
        return;
    waves_ = std::move(waves);
    update();
}

void SpaceTimePicture::mousePressEvent(QMouseEvent* e)
{
    if (e->button() == Qt::RightButton)
        return; // the context menu
    releaseEndsDoubleClick_ = false;
    // The sunken border is not part of the picture: a press on it picks nothing.
    const QRect area = drawingArea();
    const QPointF local = e->position() - QPointF(area.topLeft());
    if (local.x() < 0 || local.y() < 0 || local.x() > area.width() || local.y() > area.height())
        return;
    const double dpr = devicePixelRatioF();
    emit mouseDown(static_cast<int>(e->button()), local.x() * dpr, local.y() * dpr);
}

void SpaceTimePicture::mouseReleaseEvent(QMouseEvent* e)
{
    if (e->button() != Qt::LeftButton)
        return;
    // Qt delivers press, release, press, double click, release: the last
    // release must not undo the double click with a click (paint small).
    if (releaseEndsDoubleClick_) {
        releaseEndsDoubleClick_ = false;
        return;
    }
    if (rect().contains(e->position().toPoint()))
        emit clicked();
}

void SpaceTimePicture::mouseDoubleClickEvent(QMouseEvent* e)
{
    if (e->button() != Qt::LeftButton)
        return;
    releaseEndsDoubleClick_ = true;
    emit doubleClicked();
}

void SpaceTimePicture::contextMenuEvent(QContextMenuEvent* e)
{
    QMenu menu(this);
    QAction* save = menu.addAction(tr("Save Picture as PNG..."));
    if (menu.exec(e->globalPos()) == save)
        emit savePngRequested();
}

} // namespace tamrel
