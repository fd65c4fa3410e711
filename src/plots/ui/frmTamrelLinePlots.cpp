// The three line plots and the current-cell pick: the window's side. The
// plot geometry and the texts come from plots/LinePlots.h; the pictures only
// replay what it computed.

#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>

#include "app/ui/LinePlotPicture.h"
#include "app/ui/frmTamrel.h"
#include "common/Format.h"
#include "kernels/SchemeTable.h"
#include "plots/CellPick.h"
#include "plots/LinePlots.h"

namespace tamrel {

namespace {

void replay(LinePlotPicture* picture, const PlotDrawing& drawing)
{
    for (const auto& line : drawing.polylines) {
        std::vector<QPoint> pts;
        pts.reserve(line.size());
        for (const PlotPoint& p : line)
            pts.emplace_back(p.x, p.y);
        picture->drawPolyline(pts);
    }
    for (const PlotRect& r : drawing.filled)
        picture->fillBox(QRect(r.x, r.y, r.width, r.height));
    for (const PlotRect& r : drawing.outlined)
        picture->outlineBox(QRect(r.x, r.y, r.width, r.height));
}

} // namespace

// Replay a paint and write its readout: the cell bar, the three value boxes,
// the range boxes and the caption, in that order (each may run its handler).
static void showPaint(frmTamrel& w, LinePlotPicture* picture, const LinePlotPaint& paint, QLineEdit* minBox,
    QLineEdit* maxBox, QLabel* captionLabel)
{
    replay(picture, paint.drawing);
    if (w.hsbMSelected->value() != paint.currentCell)
        w.hsbMSelected->setValue(paint.currentCell);
    w.setText(w.txtPressure, paint.pressureText);
    w.setText(w.txtDensity, paint.densityText);
    w.setText(w.txtVelocity, paint.velocityText);
    if (paint.rangeMinText)
        w.setText(minBox, *paint.rangeMinText);
    if (paint.rangeMaxText)
        w.setText(maxBox, *paint.rangeMaxText);
    if (paint.caption && captionLabel)
        w.setCaption(captionLabel, *paint.caption);
}

void frmTamrel::pctDensityPlot_Paint()
{
    const LinePlotPaint paint = PaintDensityPlot(state, pctDensityPlot->scaleWidth(), pctDensityPlot->scaleHeight());
    showPaint(*this, pctDensityPlot, paint, txtDensityMin, txtDensityMax, nullptr);
}

void frmTamrel::pctPressurePlot_Paint()
{
    const LinePlotPaint paint
        = PaintPressurePlot(state, pctPressurePlot->scaleWidth(), pctPressurePlot->scaleHeight(), &QUELMAR1D);
    showPaint(*this, pctPressurePlot, paint, txtPressureMin, txtPressureMax, lblPressurePlot);
}

void frmTamrel::pctVelocityPlot_Paint()
{
    const LinePlotPaint paint = PaintVelocityPlot(state, pctVelocityPlot->scaleWidth(), pctVelocityPlot->scaleHeight());
    showPaint(*this, pctVelocityPlot, paint, txtVelocityMin, txtVelocityMax, nullptr);
}

void frmTamrel::cmdPlotFVSmoke_Click() { state.PlotFVSmoke = 1; }

// A press on any line plot makes the cell under the pointer current.
static void pickOnPlot(frmTamrel& w, LinePlotPicture* picture, double x)
{
    ExperimentState& s = w.state;
    const Long m = PickCell(s.X, s.NGridCells, picture->scaleWidth(), x);
    s.MCurrent = m;
    s.RhoCurrent = s.Rho[m];
    s.PCurrent = s.P[m];
    s.VXCurrent = s.VX[m];
    w.setText(w.txtDensity, formatPattern(s.RhoCurrent, "##0.0####"));
    w.setText(w.txtPressure, formatPattern(s.PCurrent, "##0.0####"));
    w.setText(w.txtVelocity, formatPattern(s.VXCurrent, "##0.0####"));
    w.setText(w.txtMSelected, formatPattern(m, "###0"));
    w.paintLinePlots();
}

void frmTamrel::pctDensityPlot_MouseDown(int, double x, double) { pickOnPlot(*this, pctDensityPlot, x); }
void frmTamrel::pctPressurePlot_MouseDown(int, double x, double) { pickOnPlot(*this, pctPressurePlot, x); }
void frmTamrel::pctVelocityPlot_MouseDown(int, double x, double) { pickOnPlot(*this, pctVelocityPlot, x); }

} // namespace tamrel
