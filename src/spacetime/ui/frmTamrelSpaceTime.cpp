// The space-time picture: its paint, small and big, the variable list, the
// pick of a stored time and a cell, and saving the picture as a PNG.

#include <QComboBox>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <cmath>

#include "app/ui/SpaceTimePicture.h"
#include "app/ui/Twips.h"
#include "app/ui/frmTamrel.h"
#include "common/Format.h"
#include "run/SnapshotRow.h"
#include "spacetime/SpaceTimePaint.h"
#include "spacetime/SpaceTimePick.h"

namespace tamrel {

void frmTamrel::pctSpaceTime_Paint()
{
    GrayImage& image = state.BigSpaceTime == 1 ? BigDib : SmallDib;
    const int W = pctSpaceTime->scaleWidth();
    const int H = pctSpaceTime->scaleHeight();
    const SpaceTimePaint paint = PaintSpaceTime(state, lstGrayVariable->currentText().toStdString(), W, H, image);
    if (paint.replacementListText)
        lstGrayVariable->setCurrentText(QString::fromStdString(*paint.replacementListText));
    if (!paint.drawn)
        return;
    if (paint.velocityLabelCaption)
        setCaption(lblVelocityPlot, *paint.velocityLabelCaption);
    if (paint.velocityMinText)
        setText(txtVelocityMin, *paint.velocityMinText);
    if (paint.velocityMaxText)
        setText(txtVelocityMax, *paint.velocityMaxText);
    pctSpaceTime->showImage(toQImage(image, W, H));
}

void frmTamrel::lstGrayVariable_Click() { pctSpaceTime_Paint(); }

void frmTamrel::pctSpaceTime_Click()
{
    setSpaceTimeSmallGeometry();
    state.BigSpaceTime = 0;
    for (QLineEdit* box : {txtPressureMin, txtPressureMax, txtDensityMin, txtDensityMax})
        box->setVisible(true);
    if (state.RiemannPlots != 0) {
        setCaption(lblVelocityPlot, "R-  Riemann Invariant");
        setText(txtVelocityMin, formatPattern(state.RMinusPlotMin, "##0.0######"));
        setText(txtVelocityMax, formatPattern(state.RMinusPlotMax, "##0.0######"));
    } else {
        setCaption(lblVelocityPlot, "Velocity");
        setText(txtVelocityMin, formatPattern(state.VXMin, "##0.0####"));
        setText(txtVelocityMax, formatPattern(state.VXMax, "##0.0####"));
    }
    pctSpaceTime_Paint();
}

void frmTamrel::pctSpaceTime_DblClick()
{
    setSpaceTimeBigGeometry(); // also brings the picture above the plots it covers
    state.BigSpaceTime = 1;
    for (QLineEdit* box : {txtPressureMin, txtPressureMax, txtDensityMin, txtDensityMax})
        box->setVisible(false);
    setCaption(lblVelocityPlot, lstGrayVariable->currentText().toStdString());
    pctSpaceTime_Paint();
}

void frmTamrel::pctSpaceTime_MouseDown(int, double x, double y)
{
    // A row emptied by a later set-up (a test loaded after a run keeps the
    // count of stored rows) holds no state: picking it loads nothing and
    // changes nothing, so a zero density never reaches the grid.
    if (state.Stopped == 1 && state.NStoredStates > 1) {
        const double H = std::fabs(static_cast<double>(pctSpaceTime->scaleHeight()));
        if (!SnapshotRowHoldsState(state, PickStoredState(state.NStoredStates, H, y)))
            return;
    }
    const SpaceTimePick pick = ApplySpaceTimePick(state, pctSpaceTime->scaleWidth(), pctSpaceTime->scaleHeight(), x, y);
    if (!pick.picked)
        return;
    setText(txtDensity, pick.densityText);
    setText(txtPressure, pick.pressureText);
    setText(txtVelocity, pick.velocityText);
    setText(txtMSelected, pick.cellText);
    setText(txtStoredStateNumber, pick.storedStateText);
    paintLinePlots();
    pctSpaceTime_Paint();
}

QImage frmTamrel::spaceTimeImage() const
{
    const GrayImage& image = state.BigSpaceTime == 1 ? BigDib : SmallDib;
    return toQImage(image, pctSpaceTime->scaleWidth(), pctSpaceTime->scaleHeight());
}

bool frmTamrel::saveSpaceTimePng(const std::string& path)
{
    // An 8-bit grayscale PNG holding exactly the image's pixels.
    return spaceTimeImage().convertToFormat(QImage::Format_Grayscale8).save(QString::fromStdString(path), "PNG");
}

} // namespace tamrel
