// SPDX-License-Identifier: GPL-3.0-or-later
// The space-time picture: its paint, small and big, the variable list, the
// pick of a stored time and a cell, and saving the picture as a PNG.

#include "ui/spacetime/SpaceTimePanel.h"

#include <QComboBox>
#include <QSignalBlocker>
#include <algorithm>
#include <cmath>
#include <cstring>

#include "ui/kit/Controls.h"
#include "ui/window/Panels.h"
#include "ui/kit/SpaceTimePicture.h"
#include "ui/kit/WindowScale.h"
#include "common/Format.h"
#include "run/SnapshotRow.h"
#include "spacetime/SpaceTimePaint.h"
#include "spacetime/SpaceTimePick.h"

namespace tamrel {

namespace {
    // What the picture's axes say: the variable (in log10 where the plots
    // are), the grid across, the time of the top row, the gray range.
    SpaceTimeAxes spaceTimeAxes(const ExperimentState& s, const QString& variable, double vmin, double vmax)
    {
        SpaceTimeAxes a;
        a.shown = s.NGridCells >= 1 && s.X.contains(s.NGridCells + 1);
        const bool logged = s.LogPlots != 0 && (variable == "Density" || variable == "Pressure");
        a.variable = (logged ? QStringLiteral("log10 ") : QString()) + variable;
        a.xmax = a.shown ? s.X[s.NGridCells + 1] : 1;
        const Long top = s.NStoredStates - 1;
        a.tmax = s.StoredTime.contains(top) ? s.StoredTime[top] : s.TimeNow;
        a.vmin = vmin;
        a.vmax = vmax;
        return a;
    }
} // namespace

SpaceTimePanel::SpaceTimePanel(WindowContext& w)
    : state(w.state)
    , dialogs(w.dialogs)
    , panels(w.panels)
    , pctSpaceTime(control<SpaceTimePicture>(w.window, "pctSpaceTime"))
    , lstGrayVariable(control<QComboBox>(w.window, "lstGrayVariable"))
{
    QObject::connect(
        lstGrayVariable, &QComboBox::currentIndexChanged, &w.window, [this] { lstGrayVariable_Click(); });
    QObject::connect(pctSpaceTime, &SpaceTimePicture::clicked, &w.window, [this] { pctSpaceTime_Click(); });
    QObject::connect(
        pctSpaceTime, &SpaceTimePicture::doubleClicked, &w.window, [this] { pctSpaceTime_DblClick(); });
    QObject::connect(pctSpaceTime, &SpaceTimePicture::mouseDown, &w.window,
        [this](int b, double x, double y) { pctSpaceTime_MouseDown(b, x, y); });
    QObject::connect(pctSpaceTime, &SpaceTimePicture::resized, &w.window, [this] {
        if (!pctSpaceTime->shownImage().isNull())
            pctSpaceTime_Paint();
    });
    QObject::connect(pctSpaceTime, &SpaceTimePicture::savePngRequested, &w.window, [this] {
        if (auto path = dialogs.saveFileName("PNG Images (*.png)|*.png|All Files (*.*)|*.*"))
            if (!savePng(*path))
                dialogs.messageBox("The picture could not be saved to " + *path + ".");
    });
}

void SpaceTimePanel::paintForRun()
{
    behind_ = true;
}

void SpaceTimePanel::paintAfterTick(bool runStopped)
{
    if (behind_ && (runStopped || pctSpaceTime->isVisible()))
        pctSpaceTime_Paint();
}

void SpaceTimePanel::paintIfBehind()
{
    if (behind_)
        pctSpaceTime_Paint();
}

void SpaceTimePanel::pctSpaceTime_Paint()
{
    behind_ = false;
    // A comparison may show another scheme's run, or a difference, instead.
    if (panels.compare.paintSpaceTimeInstead())
        return;
    paintRecord(state, &state);
}

SpaceTimePaint SpaceTimePanel::paintRecord(const ExperimentState& shown, ExperimentState* keeper)
{
    GrayImage& image = shown.BigSpaceTime == 1 ? BigDib : SmallDib;
    const int W = pctSpaceTime->scaleWidth();
    const int H = pctSpaceTime->scaleHeight();
    // The window's scale or the screen's pixel ratio changed since the image
    // was made: it is made afresh at the picture's size, so it stays at zoom 1.
    if (image.width != W || image.height != H)
        image = MakeGrayImage(W, H);
    const SpaceTimePaint paint = PaintSpaceTime(shown, lstGrayVariable->currentText().toStdString(), W, H, image);
    if (keeper)
        KeepSpaceTimeRange(*keeper, paint);
    if (paint.replacementListText) {
        // The list's own repaint would draw the window's record over a record
        // shown instead; the image already holds the item it names.
        const QSignalBlocker quiet(&shown == &state ? nullptr : lstGrayVariable);
        lstGrayVariable->setCurrentText(QString::fromStdString(*paint.replacementListText));
    }
    if (paint.noRun) {
        std::fill(image.bits.begin(), image.bits.end(), std::uint8_t { 255 });
        pctSpaceTime->showImage(toQImage(image, W, H));
        pctSpaceTime->setWaves({});
        pctSpaceTime->setAxes(SpaceTimeAxes {});
        return paint;
    }
    if (!paint.drawn)
        return paint;
    panels.plots.showVelocityAxis(paint.velocityLabelCaption, paint.velocityMinText, paint.velocityMaxText);
    pctSpaceTime->showImage(toQImage(image, W, H));
    pctSpaceTime->setWaves(panels.exact.spaceTimeWaves(shown, W, H));
    pctSpaceTime->setAxes(spaceTimeAxes(shown, lstGrayVariable->currentText(), paint.vmin, paint.vmax));
    return paint;
}

void SpaceTimePanel::clearWaves()
{
    pctSpaceTime->setWaves({});
}

void SpaceTimePanel::refreshWaves()
{
    if (pctSpaceTime->shownImage().isNull())
        return;
    if (panels.compare.spaceTimeShowsDifference())
        return clearWaves();
    pctSpaceTime->setWaves(panels.exact.spaceTimeWaves(pctSpaceTime->scaleWidth(), pctSpaceTime->scaleHeight()));
}

void SpaceTimePanel::lstGrayVariable_Click()
{
    pctSpaceTime_Paint();
}

void SpaceTimePanel::pctSpaceTime_Click()
{
    setSmallGeometry();
    state.BigSpaceTime = 0;
    panels.plots.showDensityAndPressureRanges(true);
    if (state.RiemannPlots != 0)
        panels.plots.showVelocityAxis("R-  Riemann Invariant", formatPattern(state.RMinusPlotMin, "##0.0######"),
            formatPattern(state.RMinusPlotMax, "##0.0######"));
    else
        panels.plots.showVelocityAxis(
            "Velocity", formatPattern(state.VXMin, "##0.0####"), formatPattern(state.VXMax, "##0.0####"));
    pctSpaceTime_Paint();
}

void SpaceTimePanel::pctSpaceTime_DblClick()
{
    setBigGeometry(); // also brings the picture above the plots it covers
    state.BigSpaceTime = 1;
    panels.plots.showDensityAndPressureRanges(false);
    panels.plots.showVelocityAxis(lstGrayVariable->currentText().toStdString(), std::nullopt, std::nullopt);
    pctSpaceTime_Paint();
}

void SpaceTimePanel::pctSpaceTime_MouseDown(int, double x, double y)
{
    // A row emptied by a later set-up (a test loaded after a run keeps the
    // count of stored rows) holds no state: picking it loads nothing and
    // changes nothing, so a zero density never reaches the grid.
    if (state.Stopped == 1 && state.NStoredStates > 1) {
        const double H = std::fabs(static_cast<double>(pctSpaceTime->scaleHeight()));
        if (!SnapshotRowHoldsState(state, PickStoredState(state.NStoredStates, H, y)))
            return;
    }
    const SpaceTimePick pick
        = ApplySpaceTimePick(state, pctSpaceTime->scaleWidth(), pctSpaceTime->scaleHeight(), x, y);
    if (!pick.picked)
        return;
    panels.editors.showPickedCell(pick.densityText, pick.pressureText, pick.velocityText, pick.cellText);
    panels.replay.showRowNumber(pick.storedStateText);
    panels.plots.paint();
    pctSpaceTime_Paint();
}

void SpaceTimePanel::setSmallGeometry()
{
    placeInTwips(*pctSpaceTime, QRect(7920, 6240, 6800, 2895));
}

void SpaceTimePanel::setBigGeometry()
{
    placeInTwips(*pctSpaceTime, QRect(120, 2520, 14600, 6615));
    pctSpaceTime->raise();
}

void SpaceTimePanel::createImages()
{
    setSmallGeometry();
    SmallDib = MakeGrayImage(pctSpaceTime->scaleWidth(), pctSpaceTime->scaleHeight());
    setBigGeometry();
    BigDib = MakeGrayImage(pctSpaceTime->scaleWidth(), pctSpaceTime->scaleHeight());
    setSmallGeometry();
}

void SpaceTimePanel::chooseDensityQuietly()
{
    lstGrayVariable->blockSignals(true);
    lstGrayVariable->setCurrentText(QStringLiteral("Density"));
    lstGrayVariable->blockSignals(false);
}

void SpaceTimePanel::releaseImages()
{
    SmallDib = GrayImage {};
    BigDib = GrayImage {};
}

void SpaceTimePanel::chooseVariable(const std::string& item)
{
    lstGrayVariable->setCurrentText(QString::fromStdString(item));
}

QImage SpaceTimePanel::image() const
{
    const GrayImage& image = state.BigSpaceTime == 1 ? BigDib : SmallDib;
    return toQImage(image, pctSpaceTime->scaleWidth(), pctSpaceTime->scaleHeight());
}

bool SpaceTimePanel::savePng(const std::string& path) const
{
    return image().convertToFormat(QImage::Format_Grayscale8).save(QString::fromStdString(path), "PNG");
}

QImage toQImage(const GrayImage& image, int width, int height)
{
    width = std::min(width, image.width);
    height = std::min(height, image.height);
    QImage out(std::max(width, 0), std::max(height, 0), QImage::Format_Indexed8);
    QList<QRgb> gray;
    gray.reserve(256);
    for (int i = 0; i < 256; ++i)
        gray.push_back(qRgb(i, i, i));
    out.setColorTable(gray);
    // The gray image is bottom-up, a QImage top-down.
    for (int y = 0; y < height; ++y)
        std::memcpy(out.scanLine(y),
            image.bits.data() + static_cast<std::size_t>(image.height - 1 - y) * image.stride,
            static_cast<std::size_t>(width));
    return out;
}

} // namespace tamrel
