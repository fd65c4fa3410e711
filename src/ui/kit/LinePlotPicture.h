// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A line-plot picture: a persistent drawing surface that the plot paints
// draw onto (so "clear" and the overlay of several paints behave as they
// should and an uncovered window shows the last drawing). Drawing commands
// are in twips, the picture's own units: (0,0) at the top left of the
// drawing area, 15 twips to a pixel at the designed size. The picture keeps
// the commands since the last clear, so at a new size, scale or device
// pixel ratio it draws them afresh, sharp, in the same places of the plot.
// Commands are drawn onto the surface only when it is asked for (shown,
// saved or read), so a window that is never shown, as in a batch run, keeps
// the commands without drawing them.

#include <QColor>
#include <QImage>
#include <QPoint>
#include <QRect>
#include <QString>
#include <QWidget>
#include <vector>

#include "plots/PlotAxes.h"

class QPainter;

namespace tamrel {

class LinePlotPicture : public QWidget {
    Q_OBJECT
public:
    explicit LinePlotPicture(QWidget* parent = nullptr);

    // Drawing area in twips (the picture's scale width and height): its
    // size in pixels times 15 over the window's scale.
    int scaleWidth() const;
    int scaleHeight() const;

    void clear();
    void drawPolyline(const std::vector<QPoint>& pointsTwips);
    void fillBox(const QRect& twips);
    void outlineBox(const QRect& twips);

    // The designed drawing at the picture's size and device pixel ratio.
    const QImage& surface() const
    {
        settle();
        return surface_;
    }

    // A layer over the surface and apart from it (the exact solution):
    // setting it leaves the surface, and so every designed
    // drawing, as it is. Polylines in twips.
    void setOverlay(std::vector<std::vector<QPoint>> polylinesTwips, const QColor& colour);
    const std::vector<std::vector<QPoint>>& overlay() const { return overlay_; }
    // The surface with the overlay over it, as the picture shows them
    // without its axes.
    QImage shownImage() const;

    // The axes over the drawing: what the next drawings show, and the time
    // of the state they show. Drawings after this call belong to that time
    // (with several times overlaid, each is drawn in its own shade and a
    // legend names them).
    void beginPaint(const PlotAxes& axes, const QString& timeText);
    void setAxesShown(bool shown);
    bool axesShown() const { return axesShown_; }
    const PlotAxes& axes() const { return axes_; }
    QString timeText() const { return timeText_; }
    // The times overlaid since the last clear, oldest first.
    QStringList overlaidTimes() const;

    // Everything the picture shows (drawing, overlay and, when shown, axes)
    // drawn into `target` of any painter (an image of any size, an SVG).
    void render(QPainter& painter, const QRectF& target, bool withAxes, bool withOverlay = true) const;

signals:
    // A press in the drawing area, in twips.
    void mouseDown(int button, double xTwips, double yTwips);

protected:
    void paintEvent(QPaintEvent*) override;
    void resizeEvent(QResizeEvent*) override;
    void mousePressEvent(QMouseEvent*) override;

private:
    struct Command {
        enum Kind { Polyline, Fill, Outline } kind;
        std::vector<QPoint> points; // Polyline
        QRect box; // Fill, Outline
        double frameWidth, frameHeight; // the twips of the drawing area it was drawn for
        int group; // which paint
    };
    static constexpr int kBorder = 2;
    static constexpr qsizetype kMostShadedPaints = 40;
    QRect drawingArea() const;
    void record(Command c);
    // The surface at the picture's size with every command drawn on it.
    void settle() const;
    void rebuildSurface() const;
    // `quick`: for the window's own pixels (strokes drawn the cheaper way);
    // exports draw as the painter's stroker does.
    void drawCommands(QPainter& painter, const QSizeF& size, bool shaded, bool quick, std::size_t first = 0) const;
    void paintOverlay(QPainter& painter, const QSizeF& size, bool quick) const;
    bool shadesGroups() const;
    // The drawn curves and the overlay in fractions of the drawing, for
    // placing the title and the legend where they cover the least.
    std::vector<std::vector<PlotCurvePoint>> curveFractions() const;

    mutable QImage surface_;
    mutable std::size_t drawn_ = 0; // commands drawn onto surface_
    mutable bool surfaceStale_ = true; // surface_ is to be drawn afresh
    mutable QImage shaded_; // the drawing with each paint in its shade, made when shown
    std::vector<Command> commands_;
    std::vector<QString> groupTimes_;
    std::vector<std::vector<QPoint>> overlay_;
    double overlayFrameWidth_ = 0, overlayFrameHeight_ = 0;
    QColor overlayColour_;
    PlotAxes axes_;
    QString timeText_;
    bool axesShown_ = true;
};

} // namespace tamrel
