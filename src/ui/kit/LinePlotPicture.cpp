// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/kit/LinePlotPicture.h"

#include <QMouseEvent>
#include <QPainter>
#include <cmath>

#include "ui/kit/PlotAxesPainting.h"
#include "ui/kit/Twips.h"
#include "ui/kit/WindowScale.h"
#include "plots/PolylineColumns.h"

namespace tamrel {

namespace {
    // Twips of a drawing `frame` twips wide onto `pixels`: at the designed
    // size the divisor is exactly 15.
    double along(int twips, double frame, double pixels)
    {
        return twips / (frame / pixels);
    }

    // The shade of an overlaid paint: the newest black, older ones lighter.
    QColor groupShade(int group, int groups)
    {
        if (groups < 2)
            return Qt::black;
        const int level = 170 * (groups - 1 - group) / (groups - 1);
        return QColor(level, level, level);
    }

    // How the painter maps x onto the pixel columns of a raster surface
    // (an image, a pixmap, a widget's backing store): device x = x * scale +
    // offset. Not for vector output (an SVG keeps every point) nor under a
    // rotation or shear.
    struct PixelColumns {
        bool known = false;
        double scale = 1, offset = 0;
    };
    PixelColumns pixelColumnsOf(const QPainter& painter)
    {
        const QPaintDevice* device = painter.device();
        if (!device)
            return {};
        const int type = device->devType();
        if (type != QInternal::Image && type != QInternal::Pixmap && type != QInternal::Widget)
            return {};
        const QTransform& t = painter.deviceTransform();
        if (t.type() > QTransform::TxScale || !(t.m11() > 0))
            return {};
        return { true, t.m11(), t.dx() };
    }

    // A polyline stroked with only the points that show on the surface. In
    // the window (`quick`) the segments are drawn as lines, each on its own
    // with square ends: the painter fills a line as one quadrilateral,
    // where a polyline of a wide pen goes through the general stroker and
    // its joins. The pictures differ only along the curve's edges.
    void strokePolyline(QPainter& painter, const PixelColumns& columns, std::vector<QPointF>& pts, bool quick)
    {
        std::size_t n = pts.size();
        if (columns.known) {
            auto x = [](const QPointF& p) { return p.x(); };
            auto y = [](const QPointF& p) { return p.y(); };
            n = KeepColumnExtremes(pts.data(), n, columns.scale, columns.offset, x, y);
            n = DropLevelMiddles(pts.data(), n, x, y);
            // A 32nd of a device pixel: below the twips the points are rounded
            // to at the designed size (a 15th of a pixel).
            n = DropNearlyStraight(pts.data(), n, 1.0 / 32 / columns.scale, x, y);
        }
        if (n < 2)
            return;
        if (!(quick && columns.known)) {
            painter.drawPolyline(pts.data(), static_cast<int>(n));
            return;
        }
        thread_local std::vector<QLineF> lines;
        lines.clear();
        for (std::size_t k = 1; k < n; ++k)
            lines.emplace_back(pts[k - 1], pts[k]);
        painter.drawLines(lines.data(), static_cast<int>(lines.size()));
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
    const double s = layoutScale(*this);
    if (s == 1.0)
        return drawingArea().width() * kTwipsPerPixel;
    return static_cast<int>(std::lround(drawingArea().width() * kTwipsPerPixel / s));
}
int LinePlotPicture::scaleHeight() const
{
    const double s = layoutScale(*this);
    if (s == 1.0)
        return drawingArea().height() * kTwipsPerPixel;
    return static_cast<int>(std::lround(drawingArea().height() * kTwipsPerPixel / s));
}

void LinePlotPicture::drawCommands(
    QPainter& painter, const QSizeF& size, bool shaded, bool quick, std::size_t first) const
{
    const int groups = static_cast<int>(groupTimes_.size());
    painter.setRenderHint(QPainter::Antialiasing);
    const PixelColumns columns = pixelColumnsOf(painter);
    std::vector<QPointF> pts;
    for (std::size_t k = first; k < commands_.size(); ++k) {
        const Command& c = commands_[k];
        const double pw = size.width(), ph = size.height();
        const double fw = c.frameWidth, fh = c.frameHeight;
        const QColor colour = shaded ? groupShade(c.group, groups) : QColor(Qt::black);
        // Lines and marks grow with the picture: 1.2 pixels at the designed size.
        const double unit = pw * kTwipsPerPixel / fw;
        if (c.kind == Command::Polyline) {
            pts.clear();
            pts.reserve(c.points.size());
            for (const QPoint& p : c.points)
                pts.emplace_back(along(p.x(), fw, pw), along(p.y(), fh, ph));
            painter.setPen(QPen(colour, 1.2 * unit));
            strokePolyline(painter, columns, pts, quick);
            continue;
        }
        const QRectF box(along(c.box.x(), fw, pw), along(c.box.y(), fh, ph), along(c.box.width(), fw, pw),
            along(c.box.height(), fh, ph));
        if (c.kind == Command::Fill) {
            painter.fillRect(box, colour);
        } else {
            painter.setPen(QPen(colour, unit));
            painter.setBrush(Qt::NoBrush);
            painter.drawRect(box);
        }
    }
}

void LinePlotPicture::rebuildSurface() const
{
    const QSize size = drawingArea().size().expandedTo(QSize(1, 1));
    const double dpr = devicePixelRatioF();
    // The surface of the same size is drawn afresh where it is (every tick
    // of a run clears the plots): no new image to allocate and fault in.
    if (surface_.isNull() || surface_.size() != size * dpr || surface_.devicePixelRatio() != dpr
        || surface_.format() != QImage::Format_RGB32) {
        surface_ = QImage(size * dpr, QImage::Format_RGB32);
        surface_.setDevicePixelRatio(dpr);
    }
    surface_.fill(Qt::white);
    {
        QPainter p(&surface_);
        drawCommands(p, size, false, true);
    }
    drawn_ = commands_.size();
    surfaceStale_ = false;
    shaded_ = QImage();
}

void LinePlotPicture::settle() const
{
    const QSize size = drawingArea().size().expandedTo(QSize(1, 1));
    if (surfaceStale_ || surface_.isNull() || surface_.deviceIndependentSize().toSize() != size
        || surface_.devicePixelRatio() != devicePixelRatioF()) {
        rebuildSurface();
        return;
    }
    if (drawn_ >= commands_.size())
        return;
    // Only the drawings since the last settle go onto the surface.
    QPainter p(&surface_);
    drawCommands(p, surface_.deviceIndependentSize(), false, true, drawn_);
    p.end();
    drawn_ = commands_.size();
}

void LinePlotPicture::resizeEvent(QResizeEvent*)
{
    const QSize size = drawingArea().size().expandedTo(QSize(1, 1));
    if (surface_.deviceIndependentSize().toSize() == size && surface_.devicePixelRatio() == devicePixelRatioF())
        return;
    surfaceStale_ = true;
}

void LinePlotPicture::record(Command c)
{
    c.frameWidth = scaleWidth();
    c.frameHeight = scaleHeight();
    c.group = std::max(0, static_cast<int>(groupTimes_.size()) - 1);
    commands_.push_back(std::move(c));
    shaded_ = QImage();
    update();
}

void LinePlotPicture::clear()
{
    commands_.clear();
    groupTimes_.clear();
    surfaceStale_ = true;
    shaded_ = QImage();
    update();
}

void LinePlotPicture::drawPolyline(const std::vector<QPoint>& pointsTwips)
{
    if (pointsTwips.size() < 2)
        return;
    record({ Command::Polyline, pointsTwips, {}, 0, 0, 0 });
}

void LinePlotPicture::fillBox(const QRect& twips)
{
    record({ Command::Fill, {}, twips, 0, 0, 0 });
}

void LinePlotPicture::outlineBox(const QRect& twips)
{
    record({ Command::Outline, {}, twips, 0, 0, 0 });
}

void LinePlotPicture::setOverlay(std::vector<std::vector<QPoint>> polylinesTwips, const QColor& colour)
{
    overlay_ = std::move(polylinesTwips);
    overlayFrameWidth_ = scaleWidth();
    overlayFrameHeight_ = scaleHeight();
    overlayColour_ = colour;
    update();
}

void LinePlotPicture::beginPaint(const PlotAxes& axes, const QString& timeText)
{
    axes_ = axes;
    timeText_ = timeText;
    groupTimes_.push_back(timeText);
    shaded_ = QImage();
    update();
}

void LinePlotPicture::setAxesShown(bool shown)
{
    if (axesShown_ == shown)
        return;
    axesShown_ = shown;
    update();
}

QStringList LinePlotPicture::overlaidTimes() const
{
    QStringList times;
    for (const QString& t : groupTimes_)
        if (times.isEmpty() || times.back() != t)
            times.push_back(t);
    return times;
}

bool LinePlotPicture::shadesGroups() const
{
    // A Multi left on through a whole run overlays a paint per tick: past a
    // few dozen the shades tell nothing apart and cost a redraw of all of
    // them, so the drawing shows as designed.
    const auto paints = overlaidTimes().size();
    return paints > 1 && paints <= kMostShadedPaints;
}

void LinePlotPicture::paintOverlay(QPainter& painter, const QSizeF& size, bool quick) const
{
    if (overlay_.empty() || overlayFrameWidth_ <= 0 || overlayFrameHeight_ <= 0)
        return;
    painter.setRenderHint(QPainter::Antialiasing);
    const double unit = size.width() * kTwipsPerPixel / overlayFrameWidth_;
    painter.setPen(QPen(overlayColour_, 1.4 * unit));
    const PixelColumns columns = pixelColumnsOf(painter);
    std::vector<QPointF> pts;
    for (const auto& line : overlay_) {
        pts.clear();
        for (const auto& p : line)
            pts.emplace_back(
                along(p.x(), overlayFrameWidth_, size.width()), along(p.y(), overlayFrameHeight_, size.height()));
        strokePolyline(painter, columns, pts, quick);
    }
}

QImage LinePlotPicture::shownImage() const
{
    settle();
    QImage shown = surface_.copy();
    if (!shown.isNull() && !overlay_.empty()) {
        QPainter painter(&shown);
        paintOverlay(painter, shown.deviceIndependentSize(), true);
    }
    return shown;
}

namespace {
    std::vector<LegendEntry> legendOf(const QStringList& times)
    {
        std::vector<LegendEntry> entries;
        const int n = static_cast<int>(times.size());
        for (int i = 0; i < n; ++i)
            entries.push_back({ times[i], groupShade(i, n) });
        return entries;
    }
} // namespace

std::vector<std::vector<PlotCurvePoint>> LinePlotPicture::curveFractions() const
{
    std::vector<std::vector<PlotCurvePoint>> curves;
    auto add = [&](const std::vector<QPoint>& points, double w, double h) {
        if (!(w > 0) || !(h > 0))
            return;
        std::vector<PlotCurvePoint>& c = curves.emplace_back();
        c.reserve(points.size());
        for (const QPoint& q : points)
            c.push_back({ q.x() / w, q.y() / h });
    };
    for (const Command& c : commands_)
        if (c.kind == Command::Polyline)
            add(c.points, c.frameWidth, c.frameHeight);
    for (const auto& line : overlay_)
        add(line, overlayFrameWidth_, overlayFrameHeight_);
    return curves;
}

void LinePlotPicture::render(QPainter& painter, const QRectF& target, bool withAxes, bool withOverlay) const
{
    painter.save();
    painter.translate(target.topLeft());
    painter.setClipRect(QRectF(QPointF(0, 0), target.size()));
    painter.fillRect(QRectF(QPointF(0, 0), target.size()), Qt::white);
    const bool shaded = withAxes && shadesGroups();
    drawCommands(painter, target.size(), shaded, false);
    if (withOverlay)
        paintOverlay(painter, target.size(), false);
    if (withAxes && axes_.shown)
        paintLinePlotAxes(painter, QRectF(QPointF(0, 0), target.size()), axes_, timeText_,
            shaded ? legendOf(overlaidTimes()) : std::vector<LegendEntry> {},
            target.width() * kTwipsPerPixel / std::max(1, scaleWidth()), curveFractions());
    painter.restore();
}

void LinePlotPicture::paintEvent(QPaintEvent*)
{
    settle();
    QPainter p(this);
    drawSunkenFrame(p, *this);
    const QRect area = drawingArea();
    const bool shaded = axesShown_ && shadesGroups();
    if (shaded && (shaded_.isNull() || shaded_.size() != surface_.size())) {
        shaded_ = QImage(surface_.size(), QImage::Format_RGB32);
        shaded_.setDevicePixelRatio(surface_.devicePixelRatio());
        shaded_.fill(Qt::white);
        QPainter sp(&shaded_);
        drawCommands(sp, shaded_.deviceIndependentSize(), true, true);
    }
    p.drawImage(area.topLeft(), shaded ? shaded_ : surface_);
    p.save();
    p.translate(area.topLeft());
    p.setClipRect(QRect(QPoint(0, 0), area.size()));
    paintOverlay(p, area.size(), true);
    if (axesShown_ && axes_.shown)
        paintLinePlotAxes(p, QRectF(QPointF(0, 0), area.size()), axes_, timeText_,
            shaded ? legendOf(overlaidTimes()) : std::vector<LegendEntry> {}, layoutScale(*this), curveFractions());
    p.restore();
}

void LinePlotPicture::mousePressEvent(QMouseEvent* e)
{
    // The sunken border is not part of the picture: a press on it picks no cell.
    const QRect area = drawingArea();
    const QPointF local = e->position() - QPointF(area.topLeft());
    if (local.x() < 0 || local.y() < 0 || local.x() > area.width() || local.y() > area.height())
        return;
    emit mouseDown(static_cast<int>(e->button()), local.x() * scaleWidth() / area.width(),
        local.y() * scaleHeight() / area.height());
}

} // namespace tamrel
