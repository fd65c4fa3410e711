#pragma once
// A line-plot picture: a persistent drawing surface that the plot paints
// draw onto (so "clear" and the overlay of several paints behave as they
// should and an uncovered window shows the last drawing). Drawing commands
// are in twips, the picture's own units: (0,0) at the top left of the
// drawing area, 15 twips to a pixel.

#include <QColor>
#include <QImage>
#include <QPoint>
#include <QRect>
#include <QWidget>
#include <vector>

class QPainter;

namespace tamrel {

class LinePlotPicture : public QWidget {
    Q_OBJECT
public:
    explicit LinePlotPicture(QWidget* parent = nullptr);

    // Drawing area in twips (the picture's scale width and height).
    int scaleWidth() const;
    int scaleHeight() const;

    void clear();
    void drawPolyline(const std::vector<QPoint>& pointsTwips);
    void fillBox(const QRect& twips);
    void outlineBox(const QRect& twips);

    const QImage& surface() const { return surface_; }

    // A layer over the surface and apart from it (the exact solution):
    // setting or clearing it leaves the surface, and so every designed
    // drawing, as it is. Polylines in twips.
    void setOverlay(std::vector<std::vector<QPoint>> polylinesTwips, const QColor& colour);
    void clearOverlay();
    const std::vector<std::vector<QPoint>>& overlay() const { return overlay_; }
    // The surface with the overlay over it, as the picture shows them.
    QImage shownImage() const;

signals:
    // A press in the drawing area, in twips.
    void mouseDown(int button, double xTwips, double yTwips);

protected:
    void paintEvent(QPaintEvent*) override;
    void resizeEvent(QResizeEvent*) override;
    void mousePressEvent(QMouseEvent*) override;

private:
    static constexpr int kBorder = 2;
    QRect drawingArea() const;
    void paintOverlay(QPainter& painter) const;

    QImage surface_;
    std::vector<std::vector<QPoint>> overlay_;
    QColor overlayColour_;
};

} // namespace tamrel
