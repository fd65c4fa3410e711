// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A comparison's layer over one line plot: the other schemes' curves in
// their colours and a legend naming every curve, drawn over the plot's own
// picture and apart from it (the plot's drawing stays as it is). In the
// difference view the layer covers the plot with a picture of its own.
// Curves are in the plot's twips, as the plot's own drawing is.

#include <QColor>
#include <QPoint>
#include <QString>
#include <QWidget>
#include <vector>

namespace tamrel {

class CompareOverlay : public QWidget {
public:
    struct Curve {
        std::vector<std::vector<QPoint>> polylines;
        QColor colour;
        double width = 1.4;
    };
    struct LegendEntry {
        QString name;
        QColor colour;
    };

    // Lies over `plot`, follows its size and lets its clicks through.
    explicit CompareOverlay(QWidget& plot);

    // The plot's drawing area in twips (the curves' frame).
    void setFrame(double widthTwips, double heightTwips);
    void clearCurves();
    void addCurve(Curve curve);
    void setLegend(std::vector<LegendEntry> legend);
    // The legend in the top right corner, or in the bottom right one.
    void setLegendAtFoot(bool atFoot);
    // The difference view: an opaque picture with a heading and the range.
    void setCovering(bool covering, const QString& heading = {}, const QString& range = {});

    const std::vector<Curve>& curves() const { return curves_; }
    const std::vector<LegendEntry>& legend() const { return legend_; }
    bool covering() const { return covering_; }
    QString heading() const { return heading_; }

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void paintEvent(QPaintEvent*) override;

private:
    QWidget& plot;
    double frameW = 1, frameH = 1;
    std::vector<Curve> curves_;
    std::vector<LegendEntry> legend_;
    bool covering_ = false;
    bool atFoot_ = false;
    QString heading_, range_;
};

} // namespace tamrel
