// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The space-time picture: shows an 8-bit gray image at zoom 1 in its
// drawing area (pixels), and reports clicks, double clicks and presses.
// A context menu saves the picture as a PNG. Its drawing area is measured in
// device pixels, so the image is drawn sharp at any device pixel ratio; at
// a new size the picture asks for the image afresh (resized).

#include <QImage>
#include <QWidget>
#include <vector>

#include "ui/kit/PlotAxesPainting.h"
#include "exact/WavePattern.h"

namespace tamrel {

class SpaceTimePicture : public QWidget {
    Q_OBJECT
public:
    explicit SpaceTimePicture(QWidget* parent = nullptr);

    // Drawing area in pixels (the picture's scale width and height).
    int scaleWidth() const;
    int scaleHeight() const;

    // Show the top-left scaleWidth x scaleHeight pixels of `image`.
    void showImage(const QImage& image);
    const QImage& shownImage() const { return shown_; }

    // Lines drawn over the image and apart from it (the exact waves), in
    // the drawing area's pixels; the image and its PNG stay as they are.
    void setWaves(std::vector<exact::WavePolyline> waves);
    const std::vector<exact::WavePolyline>& waves() const { return waves_; }

    // The axes and the gray scale bar over the image.
    void setAxes(const SpaceTimeAxes& axes);
    const SpaceTimeAxes& axes() const { return axes_; }
    void setAxesShown(bool shown);
    bool axesShown() const { return axesShown_; }

    // Image, waves and (when asked) axes drawn into `target` of any painter.
    void render(QPainter& painter, const QRectF& target, bool withAxes) const;

signals:
    void mouseDown(int button, double x, double y);
    void clicked();
    void doubleClicked();
    void savePngRequested();
    // The drawing area changed its size in device pixels.
    void resized();

protected:
    void paintEvent(QPaintEvent*) override;
    void mousePressEvent(QMouseEvent*) override;
    void mouseReleaseEvent(QMouseEvent*) override;
    void mouseDoubleClickEvent(QMouseEvent*) override;
    void contextMenuEvent(QContextMenuEvent*) override;
    void resizeEvent(QResizeEvent*) override;

private:
    static constexpr int kBorder = 2;
    QRect drawingArea() const;
    QImage shown_;
    std::vector<exact::WavePolyline> waves_;
    SpaceTimeAxes axes_;
    bool axesShown_ = true;
    QSize lastScaleSize_;
    bool resizePending_ = false;
    // The release that ends a double click is not a click of its own.
    bool releaseEndsDoubleClick_ = false;
};

} // namespace tamrel
