#include "app/ui/SpaceTimePicture.h"

#include <QContextMenuEvent>
#include <QMenu>
#include <QMouseEvent>
#include <QPainter>

#include "app/ui/Twips.h"
#include "exact/ui/ExactPainting.h"

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
    return drawingArea().width();
}
int SpaceTimePicture::scaleHeight() const
{
    return drawingArea().height();
}

void SpaceTimePicture::showImage(const QImage& image)
{
    shown_ = image;
    update();
}

void SpaceTimePicture::paintEvent(QPaintEvent*)
{
    QPainter p(this);
    drawSunkenFrame(p, *this);
    const QRect area = drawingArea();
    p.fillRect(area, Qt::white);
    if (!shown_.isNull()) {
        // The image is bottom-up in memory but a QImage is top-down: the
        // caller gives it already flipped, so it is drawn as it stands.
        p.drawImage(area.topLeft(), shown_, QRect(0, 0, area.width(), area.height()));
    }
    if (!waves_.empty()) {
        p.save();
        p.translate(area.topLeft());
        p.setClipRect(QRect(QPoint(0, 0), area.size()));
        PaintWavePattern(p, waves_);
        p.restore();
    }
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
    emit mouseDown(static_cast<int>(e->button()), local.x(), local.y());
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
