// SPDX-License-Identifier: GPL-3.0-or-later
// The three line plots and the current-cell pick: the window's side. The
// plot geometry and the texts come from plots/LinePlots.h; the pictures only
// replay what it computed.

#include "ui/plots/LinePlotsPanel.h"

#include <QLabel>
#include <QLineEdit>
#include <QPushButton>

#include "ui/kit/Controls.h"
#include "ui/kit/LinePlotPicture.h"
#include "ui/window/Panels.h"
#include "ui/kit/PlotPolylines.h"
#include "common/Format.h"
#include "ui/kit/ExactPainting.h"
#include "kernels/SchemeTable.h"
#include "kernels/subcell/Quelmar.h"
#include "plots/CellPick.h"
#include "plots/LinePlots.h"

namespace tamrel {

namespace {

    void replay(LinePlotPicture* picture, const PlotDrawing& drawing)
    {
        for (const auto& pts : qtPolylines(drawing))
            picture->drawPolyline(pts);
        for (const PlotRect& r : drawing.filled)
            picture->fillBox(QRect(r.x, r.y, r.width, r.height));
        for (const PlotRect& r : drawing.outlined)
            picture->outlineBox(QRect(r.x, r.y, r.width, r.height));
    }

    // The time of the state on show, as the time box gives it ("t = 0.15").
    QString shownTimeLabel(const QWidget& picture)
    {
        const QLineEdit* txtTime = findControl<QLineEdit>(*picture.window(), "txtTime");
        if (!txtTime)
            return {};
        QString text = txtTime->text();
        text.remove(QLatin1Char(' '));
        if (text.startsWith(QLatin1String("t=")))
            text = text.mid(2);
        if (const auto t = parseNumber(text.toStdString()))
            return QString::fromStdString(TimeLabel(*t));
        return txtTime->text().trimmed();
    }

} // namespace

LinePlotsPanel::LinePlotsPanel(WindowContext& w)
    : state(w.state)
    , panels(w.panels)
    , pctDensityPlot(control<LinePlotPicture>(w.window, "pctDensityPlot"))
    , pctPressurePlot(control<LinePlotPicture>(w.window, "pctPressurePlot"))
    , pctVelocityPlot(control<LinePlotPicture>(w.window, "pctVelocityPlot"))
    , lblDensityPlot(control<QLabel>(w.window, "lblDensityPlot"))
    , lblPressurePlot(control<QLabel>(w.window, "lblPressurePlot"))
    , lblVelocityPlot(control<QLabel>(w.window, "lblVelocityPlot"))
    , txtDensityMin(control<QLineEdit>(w.window, "txtDensityMin"))
    , txtDensityMax(control<QLineEdit>(w.window, "txtDensityMax"))
    , txtPressureMin(control<QLineEdit>(w.window, "txtPressureMin"))
    , txtPressureMax(control<QLineEdit>(w.window, "txtPressureMax"))
    , txtVelocityMin(control<QLineEdit>(w.window, "txtVelocityMin"))
    , txtVelocityMax(control<QLineEdit>(w.window, "txtVelocityMax"))
    , cmdPlotFVSmoke(control<QPushButton>(w.window, "cmdPlotFVSmoke"))
{
    QObject::connect(cmdPlotFVSmoke, &QPushButton::clicked, &w.window, [this] { cmdPlotFVSmoke_Click(); });
    QObject::connect(pctDensityPlot, &LinePlotPicture::mouseDown, &w.window,
        [this](int b, double x, double y) { pctDensityPlot_MouseDown(b, x, y); });
    QObject::connect(pctPressurePlot, &LinePlotPicture::mouseDown, &w.window,
        [this](int b, double x, double y) { pctPressurePlot_MouseDown(b, x, y); });
    QObject::connect(pctVelocityPlot, &LinePlotPicture::mouseDown, &w.window,
        [this](int b, double x, double y) { pctVelocityPlot_MouseDown(b, x, y); });
}

// Replay a paint and write its readout: the cell bar, the three value boxes,
// the range boxes and the caption, in that order (each may run its handler).
void LinePlotsPanel::showPaint(LinePlotPicture* picture, const LinePlotPaint& paint, QLineEdit* minBox,
    QLineEdit* maxBox, QLabel* captionLabel)
{
    picture->beginPaint(paint.axes, shownTimeLabel(*picture));
    replay(picture, paint.drawing);
    panels.editors.showPlottedCell(paint.currentCell, paint.pressureText, paint.densityText, paint.velocityText);
    if (paint.rangeMinText)
        setText(minBox, *paint.rangeMinText);
    if (paint.rangeMaxText)
        setText(maxBox, *paint.rangeMaxText);
    if (paint.caption && captionLabel)
        setCaption(captionLabel, *paint.caption);
}

void LinePlotsPanel::pctDensityPlot_Paint()
{
    const LinePlotPaint paint
        = PaintDensityPlot(state, pctDensityPlot->scaleWidth(), pctDensityPlot->scaleHeight());
    KeepPlotFit(state, paint.fit);
    showPaint(pctDensityPlot, paint, txtDensityMin, txtDensityMax, nullptr);
    showExactOverlay(PlotQuantity::Density, pctDensityPlot);
    panels.compare.plotPainted(PlotQuantity::Density, *pctDensityPlot);
}

void LinePlotsPanel::pctPressurePlot_Paint()
{
    const LinePlotPaint paint
        = PaintPressurePlot(state, pctPressurePlot->scaleWidth(), pctPressurePlot->scaleHeight(), &QUELMAR1D);
    KeepPlotFit(state, paint.fit);
    showPaint(pctPressurePlot, paint, txtPressureMin, txtPressureMax, lblPressurePlot);
    showExactOverlay(PlotQuantity::Pressure, pctPressurePlot);
    panels.compare.plotPainted(PlotQuantity::Pressure, *pctPressurePlot);
}

void LinePlotsPanel::pctVelocityPlot_Paint()
{
    const LinePlotPaint paint
        = PaintVelocityPlot(state, pctVelocityPlot->scaleWidth(), pctVelocityPlot->scaleHeight());
    KeepPlotFit(state, paint.fit);
    showPaint(pctVelocityPlot, paint, txtVelocityMin, txtVelocityMax, nullptr);
    showExactOverlay(PlotQuantity::Velocity, pctVelocityPlot);
    panels.compare.plotPainted(PlotQuantity::Velocity, *pctVelocityPlot);
}

void LinePlotsPanel::showExactOverlay(PlotQuantity q, LinePlotPicture* picture)
{
    picture->setOverlay(
        panels.exact.plotOverlay(q, picture->scaleWidth(), picture->scaleHeight()), ExactCurveColour());
}

void LinePlotsPanel::refreshOverlays()
{
    showExactOverlay(PlotQuantity::Density, pctDensityPlot);
    showExactOverlay(PlotQuantity::Pressure, pctPressurePlot);
    showExactOverlay(PlotQuantity::Velocity, pctVelocityPlot);
}

void LinePlotsPanel::cmdPlotFVSmoke_Click()
{
    state.PlotFVSmoke = 1;
}

// A press on any line plot makes the cell under the pointer current.
void LinePlotsPanel::pickOnPlot(LinePlotPicture* picture, double x)
{
    ExperimentState& s = state;
    const Long m = PickCell(s.X, s.NGridCells, picture->scaleWidth(), x);
    s.MCurrent = m;
    s.RhoCurrent = s.Rho[m];
    s.PCurrent = s.P[m];
    s.VXCurrent = s.VX[m];
    panels.editors.showPickedCell(formatPattern(s.RhoCurrent, "##0.0####"), formatPattern(s.PCurrent, "##0.0####"),
        formatPattern(s.VXCurrent, "##0.0####"), formatPattern(m, "###0"));
    paint();
}

void LinePlotsPanel::pctDensityPlot_MouseDown(int, double x, double)
{
    pickOnPlot(pctDensityPlot, x);
}
void LinePlotsPanel::pctPressurePlot_MouseDown(int, double x, double)
{
    pickOnPlot(pctPressurePlot, x);
}
void LinePlotsPanel::pctVelocityPlot_MouseDown(int, double x, double)
{
    pickOnPlot(pctVelocityPlot, x);
}

void LinePlotsPanel::clear()
{
    pctDensityPlot->clear();
    pctPressurePlot->clear();
    pctVelocityPlot->clear();
}

void LinePlotsPanel::paint()
{
    pctDensityPlot_Paint();
    pctPressurePlot_Paint();
    pctVelocityPlot_Paint();
}

void LinePlotsPanel::clearAndRepaint()
{
    pctDensityPlot->clear();
    pctDensityPlot_Paint();
    pctPressurePlot->clear();
    pctPressurePlot_Paint();
    pctVelocityPlot->clear();
    pctVelocityPlot_Paint();
}

void LinePlotsPanel::showRange(PlotQuantity q, const std::string& minText, const std::string& maxText)
{
    QLineEdit* boxes[3][2] = {
        { txtDensityMin, txtDensityMax },
        { txtPressureMin, txtPressureMax },
        { txtVelocityMin, txtVelocityMax },
    };
    const auto k = static_cast<std::size_t>(q);
    setText(boxes[k][0], minText);
    setText(boxes[k][1], maxText);
}

void LinePlotsPanel::showCaptions(
    const std::string& density, const std::string& pressure, const std::string& velocity)
{
    setCaption(lblDensityPlot, density);
    setCaption(lblPressurePlot, pressure);
    setCaption(lblVelocityPlot, velocity);
}

void LinePlotsPanel::showVelocityAxis(const std::optional<std::string>& caption,
    const std::optional<std::string>& minText, const std::optional<std::string>& maxText)
{
    if (caption)
        setCaption(lblVelocityPlot, *caption);
    if (minText)
        setText(txtVelocityMin, *minText);
    if (maxText)
        setText(txtVelocityMax, *maxText);
}

void LinePlotsPanel::showDensityAndPressureRanges(bool visible)
{
    for (QLineEdit* box : { txtPressureMin, txtPressureMax, txtDensityMin, txtDensityMax })
        box->setVisible(visible);
}

} // namespace tamrel
