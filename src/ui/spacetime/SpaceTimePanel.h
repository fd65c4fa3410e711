// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The space-time picture: its paint, small and big, the variable list, the
// pick of a stored time and a cell, and saving the picture as a PNG. The
// panel owns the two 8-bit gray images the picture is drawn into, made at
// start-up at the picture's small and big drawing sizes: bottom-up (scan
// line 0 is the bottom row), stride a multiple of 4, palette entry i the
// gray (i,i,i).

#include <QImage>
#include <string>

#include "spacetime/SpaceTimePaint.h"
#include "ui/kit/WindowContext.h"
#include "spacetime/SpaceTimeImage.h"

class QComboBox;

namespace tamrel {

class SpaceTimePicture;

class SpaceTimePanel {
public:
    explicit SpaceTimePanel(WindowContext& w);

    void pctSpaceTime_Paint();
    // The picture of `shown`'s history: the window's record, or a record a
    // comparison shows instead (another scheme's run, a difference of two).
    // `keeper`, when given, keeps the range drawn (KeepSpaceTimeRange).
    SpaceTimePaint paintRecord(const ExperimentState& shown, ExperimentState* keeper);
    void clearWaves(); // the exact waves off the picture until its next paint
    // The paint a run asks for as its rows come is done once, after the
    // tick's steps (a paint draws the whole history afresh, so one paint
    // for the tick's last row shows what one for each row would): at once
    // while the picture can be seen; a picture no one sees (the window of a
    // batch run) is painted only when the run stops or pauses.
    void paintForRun();
    void paintAfterTick(bool runStopped);
    void paintIfBehind();
    void lstGrayVariable_Click();
    void pctSpaceTime_Click();
    void pctSpaceTime_DblClick();
    void pctSpaceTime_MouseDown(int button, double x, double y);

    // Start-up: the two images, and "Density" chosen in the list without a paint.
    void createImages();
    void chooseDensityQuietly();
    // Unload: the images are released.
    void releaseImages();
    // The list's item chosen as a user chooses it (the picture repaints).
    void chooseVariable(const std::string& item);

    // The exact waves over the picture, asked for afresh (the image stays).
    void refreshWaves();

    // The picture's image at zoom 1 (drawing area of the current geometry).
    QImage image() const;
    // An 8-bit grayscale PNG holding exactly the image's pixels.
    bool savePng(const std::string& path) const;
    const GrayImage& smallImage() const { return SmallDib; }
    const GrayImage& bigImage() const { return BigDib; }

private:
    bool behind_ = false; // a paint of the run is still to be done
    void setSmallGeometry();
    void setBigGeometry();

    ExperimentState& state;
    Dialogs& dialogs;
    Panels& panels;

    SpaceTimePicture* pctSpaceTime;
    QComboBox* lstGrayVariable;
    GrayImage SmallDib;
    GrayImage BigDib;
};

// A gray image as a QImage of width x height pixels (top-down, gray palette).
QImage toQImage(const GrayImage& image, int width, int height);

} // namespace tamrel
