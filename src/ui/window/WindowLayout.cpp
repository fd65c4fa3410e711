// SPDX-License-Identifier: GPL-3.0-or-later
#include "ui/window/WindowLayout.h"

#include <QComboBox>
#include <QFont>
#include <QLabel>
#include <QLineEdit>
#include <QScrollBar>
#include <QWidget>

#include "ui/kit/ElidedLabel.h"
#include "ui/kit/LinePlotPicture.h"
#include "ui/kit/PictureButton.h"
#include "ui/kit/SpaceTimePicture.h"
#include "ui/kit/Twips.h"
#include "ui/kit/WindowScale.h"

namespace tamrel {

namespace {

    using K = ControlKind;
    using F = Face;

    const char* const kInstructionCaption
        = "Your name and your title for this experiment go here.  To provide this information, just click on the "
          "\"get title\" button at the top middle of this form.   Please note that the current problem time is "
          "displayed in the box just above this title.";

    // clang-format off
    const ControlSpec kLayout[] = {
        // Display areas: a 2 x 2 grid of density, pressure, velocity and space-time.
        { K::LinePlot, "pctDensityPlot", "", 120, 2520, 6800, 2895, F::Default,
          "The plot of the density distribution appears in this window." },
        { K::LinePlot, "pctPressurePlot", "", 7920, 2520, 6800, 2895, F::Default,
          "The plot of the pressure distribution appears in this window." },
        { K::LinePlot, "pctVelocityPlot", "", 120, 6240, 6800, 2895, F::Default,
          "The plot of the velocity appears in this window." },
        { K::SpaceTime, "pctSpaceTime", "", 7920, 6240, 6800, 2895, F::Default,
          "The selected distribution in space-time appears in this window.  Click on this window to paint it small, "
          "double click to paint it big." },

        // Captions under and beside the plots.
        { K::Label, "lblDensityPlot", " Density", 960, 5640, 5055, 375, F::ArialCaption,
          "The above plot shows the density.", Centred },
        { K::Label, "lblPressurePlot", "Pressure", 8760, 5640, 5055, 375, F::ArialCaption,
          "The stored position of the string corresponding to the dump number in the box below is now displayed.",
          Centred },
        { K::Label, "lblVelocityPlot", "Velocity", 960, 9360, 5055, 375, F::ArialCaption,
          "The plot above shows the velocity distribution.", Centred },
        { K::Label, "lblDensitySpaceTimePlot", "Grayscale Space-Time", 11160, 9360, 3495, 375, F::ArialCaption,
          "The grayscale plot above shows the space-time distribution of the density." },
        { K::Label, "lblStudentID", kInstructionCaption, 120, 9840, 14655, 615, F::SansBodyPlain, "",
          TopLeftWrapped },

        // Plot-range boxes.
        { K::Box, "txtDensityMin", " 1.0", 120, 5640, 1332, 372, F::SansBody,
          "The minimum density value for the y-axis is shown here." },
        { K::Box, "txtDensityMax", " 1.0", 5520, 5640, 1332, 372, F::SansBody,
          "The maximum density value for the y-axis is shown here." },
        { K::Box, "txtPressureMin", " 1.0", 7920, 5640, 1332, 372, F::SansBody,
          "The minimum pressure value for the y-axis is shown here." },
        { K::Box, "txtPressureMax", " 1.0", 13320, 5640, 1332, 372, F::SansBody,
          "The maximum pressure value for the y-axis is shown here." },
        { K::Box, "txtVelocityMin", " 1.0", 360, 9360, 1332, 372, F::SansBody,
          "The minimum velocity value for the y-axis is shown here." },
        { K::Box, "txtVelocityMax", " 1.0", 5400, 9360, 1332, 372, F::SansBody,
          "The maximum velocity value for the y-axis is shown here." },

        // Time and space-time controls.
        { K::Box, "txtTime", " t = 0.0", 6960, 9360, 1335, 372, F::SansBody,
          "The time corresponding to the plots presently displayed appears in this window." },
        { K::List, "lstGrayVariable", "", 8520, 9360, 2415, 396, F::ArialCaption,
          "Select the variable to appear in the grayscale space-time display." },

        // Run controls.
        { K::Button, "cmdRestart", "Restart", 13440, 120, 1215, 975, F::SansButton,
          "Press to stop the calculation and prepare to begin it again." },
        { K::Button, "cmdBegin", "Begin", 13440, 1320, 1215, 975, F::SansButton,
          "Press to begin the calculation (from the beginning)." },
        { K::Button, "cmdPause", "Pause", 9720, 1680, 1455, 615, F::SansButton, "Press to pause the calculation." },
        { K::Button, "cmdContinue", "Continue", 11520, 1680, 1455, 615, F::SansButton,
          "Press to continue the calculation." },
        { K::Box, "txtNPlotsPerPeriod", " 20", 9720, 120, 972, 372, F::SansBody,
          "Enter the number of snap shots desired per fundamental period of sound wave propagation." },
        { K::Box, "txtNPeriods", " 2", 9720, 600, 972, 372, F::SansBody,
          "Enter the number of fundamental periods of sound wave propagation for this run" },
        { K::Box, "txtMSec", " 5", 9720, 1080, 972, 372, F::SansBody,
          "Enter the number of milliseconds per time step for this run" },
        { K::Label, "lblNPlotsPerPeriod", "Plots / Time Unit", 10920, 120, 2055, 375, F::SansBody, "" },
        { K::Label, "lblNPeriods", "Time Units to Run", 10920, 600, 2055, 375, F::SansBody, "" },
        { K::Label, "lblMSec", "msec per step", 10920, 1080, 2055, 375, F::SansBody, "" },
        { K::Box, "txtCourantNumber", " 0.5", 7920, 2040, 735, 345, F::SansBody,
          "The Courant number target for the computation is entered here." },
        { K::Label, "lblCourantNumber", "Courant Number", 7920, 1560, 735, 375, F::SansSmall,
          "The Courant number target for the computation appears in the box below.", Wrapped },
        { K::Button, "cmdNumericalScheme", "  PPM?   Mflops?", 7080, 10560, 735, 615, F::SansSmall,
          "Click here to select the difference scheme." },
        { K::Button, "cmdGetDiffConsts", "Get Diff Consts", 8760, 1560, 735, 735, F::SansSmall,
          "Click here to change the default constants that control the special PPM shock dissipation." },

        // Problem set-up controls.
        { K::Button, "cmdTest1", "Test 1", 240, 10560, 1455, 615, F::ArialTest, "Click here to set up for Test 1." },
        { K::Button, "cmdTest2", "Test 2", 1920, 10560, 1455, 615, F::ArialTest, "Click here to set up for Test 2." },
        { K::Button, "cmdTest3", "Test 3", 3600, 10560, 1455, 615, F::ArialTest, "Click here to set up for Test 3." },
        { K::Button, "cmdTest4", "Test 4", 5280, 10560, 1455, 615, F::ArialTest, "Click here to set up for Test 4." },
        { K::Button, "cmdTest5", "Test 5", 8160, 10560, 1455, 615, F::ArialTest, "Click here to set up for Test 5." },
        { K::Button, "cmdTest6", "Test 6", 9840, 10560, 1455, 615, F::ArialTest, "Click here to set up for Test 6." },
        { K::Button, "cmdTest7", "Test 7", 11520, 10560, 1455, 615, F::ArialTest, "Click here to set up for Test 7." },
        { K::Button, "cmdTest8", "Test 8", 13200, 10560, 1455, 615, F::ArialTest, "Click here to set up for Test 8." },
        { K::Button, "cmdSoundWave", "Sound Wave", 7920, 840, 735, 615, F::SansSmall,
          "Click here to set up initial conditions for sound wave propagation experiments." },
        { K::Button, "cmdGetTitle", " Get Title", 7920, 120, 735, 615, F::SansSmall,
          "Click here to be prompted for your name and a title for this experiment." },
        { K::Button, "cmdReadSetUp", " Read Setup", 8760, 120, 735, 615, F::SansSmall,
          "Click here to read problem set up from a disk file (which you will specify)." },
        { K::Button, "cmdWriteSetUp", " Write Setup", 8760, 840, 735, 615, F::SansSmall,
          "Click here to write problem set up to a disk file (which you will specify)." },
        { K::Button, "cmdBoundaryConditionType", "Bdrys", 7140, 120, 615, 375, F::SansSmall,
          "Click here to clear the plotting windows." },
        { K::Button, "cmdPlotFVSmoke", "PLOT FVSMOKE", 13080, 120, 255, 2175, F::Narrow,
          "Click here to plot FVSmoke rather than Pressure.", OneLetterPerLine },

        // Stored-state and plot-mode controls.
        { K::Button, "cmdSinglePlots", "Single", 7140, 600, 615, 375, F::SansSmall,
          "Click here to display only a single plot at a time." },
        { K::Button, "cmdMultiplePlots", "Multi", 7140, 1080, 615, 375, F::SansSmall,
          "Click here to display multiple plots at a time." },
        { K::Label, "lblStoredState", "Stored  State", 7140, 1560, 615, 375, F::SansSmall,
          "The stored state corresponding to the dump number in the box below is now displayed.", Wrapped },
        { K::Box, "txtStoredStateNumber", "0", 7140, 2040, 615, 345, F::SansBody,
          "The number of the stored state being displayed is shown here." },
        { K::VScroll, "vsbStoredStateNumber", "", 7140, 2520, 615, 6615, F::Default, "" },

        // Grid and selected-cell editors.
        { K::Box, "txtNGridCells", " 501", 120, 120, 1332, 372, F::SansBody, "enter the number of grid cells here" },
        { K::Label, "lblNGridCells", "N Grid Cells", 1680, 120, 1812, 372, F::SansBody,
          "The number of mass points may not exceed 5000" },
        { K::Button, "cmdSelect", "Select", 3840, 120, 872, 372, F::SansBody, "Press to select a new grid cell" },
        { K::Button, "cmdDeselect", "Deselect", 4820, 120, 1117, 372, F::SansBody,
          "Press to deselect the present grid cell" },
        { K::Button, "cmdReset", "Reset", 6045, 120, 872, 372, F::SansBody,
          "Press to deselect all grid cells but the first and the last." },
        { K::Box, "txtMSelected", " 251", 120, 600, 1332, 372, F::SansBody,
          "Enter the number of the selected grid cell" },
        { K::Label, "lblMSelected", "M Selected", 1680, 600, 1812, 372, F::SansBody,
          "The value displayed at the left is the number of the selected grid cell" },
        { K::HScroll, "hsbMSelected", "", 3840, 600, 3077, 372, F::Default, "" },
        { K::Box, "txtDensity", " 1.0", 120, 1080, 1332, 372, F::SansBody,
          "Enter the density of the selected grid cell here." },
        { K::Label, "lblDensity", "Density", 1680, 1080, 1815, 375, F::SansBody,
          "The value displayed is the density in the selected grid cell" },
        { K::HScroll, "hsbDensity", "", 3840, 1080, 3077, 372, F::Default, "" },
        { K::Box, "txtPressure", "1.0", 120, 1560, 1332, 372, F::SansBody,
          "Enter the pressure of the selected grid cell here." },
        { K::Label, "lblPressure", "Pressure", 1680, 1560, 1815, 375, F::SansBody,
          "The value displayed is the pressure in the selected grid cell" },
        { K::HScroll, "hsbPressure", "", 3840, 1560, 3077, 372, F::Default, "" },
        { K::Box, "txtVelocity", " 0.0000", 120, 2040, 1332, 372, F::SansBody,
          "Enter the velocity of the selected grid cell here." },
        { K::Label, "lblVelocity", "Velocity", 1680, 2040, 1815, 375, F::SansBody,
          "The value displayed is the velocity in the selected grid cell" },
        { K::HScroll, "hsbVelocity", "", 3840, 2040, 3077, 372, F::Default, "" },

        // The exact solution, in a strip below the test buttons: the switch for
        // its overlays, the Riemann explorer, and the distance readout.
        { K::Button, "cmdExactOverlay", "Exact Solution", 240, 11280, 1815, 375, F::SansSmall,
          "Show or hide the exact solution over the plots and its waves over the space-time picture (Ctrl+Shift+E)." },
        { K::Button, "cmdRiemannExplorer", "Riemann Explorer", 2160, 11280, 1815, 375, F::SansSmall,
          "Open the Riemann explorer: the wave curves, the star state and the waves of the loaded jump or of two "
          "cells." },
        { K::Label, "lblExactReadout", "", 4140, 11280, 8900, 375, F::SansBodyPlain,
          "How far the grid on show lies from the exact cell averages: sum |numerical - exact| dx.", Elided },

        // Schemes side by side: the choice of schemes, and, in place of the
        // space-time caption while a comparison is on show, the scheme (or
        // the difference of two) the space-time picture shows.
        { K::Button, "cmdCompareSchemes", "Compare...", 13140, 11280, 1635, 375, F::SansSmall,
          "Choose 2 to 5 schemes to run side by side: Begin runs each on its own copy of the set-up." },
        { K::List, "lstCompareSpaceTime", "", 11160, 9360, 3495, 396, F::SansBody,
          "Choose the scheme the space-time picture shows, or the difference of two." },
    };
    // clang-format on

    const char* const kGrayVariableItems[]
        = { "Density", "Pressure", "Velocity", "R+", "R-", "R0 (Entropy)", "VY", "FSmoke" };

    QWidget* create(const ControlSpec& c, QWidget& window)
    {
        const QString caption = QString::fromUtf8(c.caption);
        switch (c.kind) {
        case ControlKind::LinePlot:
            return new LinePlotPicture(&window);
        case ControlKind::SpaceTime:
            return new SpaceTimePicture(&window);
        case ControlKind::Label: {
            auto* label = (c.look & Elided) ? new ElidedLabel(caption, &window) : new QLabel(caption, &window);
            if (c.look & Centred)
                label->setAlignment(Qt::AlignHCenter | Qt::AlignVCenter);
            if (c.look & Wrapped)
                label->setWordWrap(true);
            if (c.look & TopLeftWrapped) {
                label->setWordWrap(true);
                label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
            }
            return label;
        }
        case ControlKind::Box:
            return new QLineEdit(caption, &window);
        case ControlKind::Button: {
            // Captions wrap onto several lines in the small buttons.
            auto* button = new PictureButton(caption, &window);
            if (c.look & OneLetterPerLine) {
                QString vertical;
                for (QChar ch : caption)
                    vertical += (ch == ' ' ? QStringLiteral("\n") : QString(ch) + "\n");
                button->setText(vertical.trimmed());
                button->setAccessibleName(caption);
            }
            return button;
        }
        case ControlKind::List: {
            auto* list = new QComboBox(&window);
            for (const char* item : kGrayVariableItems)
                list->addItem(QString::fromUtf8(item));
            return list;
        }
        case ControlKind::VScroll:
        case ControlKind::HScroll: {
            auto* bar = new QScrollBar(c.kind == ControlKind::VScroll ? Qt::Vertical : Qt::Horizontal, &window);
            bar->setRange(0, 32767);
            return bar;
        }
        }
        return nullptr;
    }

} // namespace

std::span<const ControlSpec> windowLayout()
{
    return kLayout;
}

std::span<const char* const> grayVariableItems()
{
    return kGrayVariableItems;
}

QFont labFont(Face face)
{
    // "MS Sans Serif" and "Arial" become the metric-compatible Liberation
    // Sans where it is installed, DejaVu Sans otherwise.
    struct Size {
        double points;
        bool bold;
    };
    Size size { 9.75, true };
    switch (face) {
    case Face::Default:
    case Face::SansBody:
        break;
    case Face::SansSmall:
        size = { 8.25, true };
        break;
    case Face::SansBodyPlain:
        size = { 9.75, false };
        break;
    case Face::SansButton:
        size = { 13.5, true };
        break;
    case Face::ArialCaption:
        size = { 14.25, true };
        break;
    case Face::ArialTest:
        size = { 18, true };
        break;
    case Face::Narrow:
        size = { 7, false };
        break;
    }
    QFont f(QStringLiteral("Liberation Sans"));
    f.setFamilies({ QStringLiteral("Liberation Sans"), QStringLiteral("Arial"), QStringLiteral("DejaVu Sans") });
    f.setStyleHint(QFont::SansSerif);
    f.setPixelSize(static_cast<int>(size.points * 96.0 / 72.0 + 0.5));
    f.setBold(size.bold);
    return f;
}

void buildControls(QWidget& window)
{
    for (const ControlSpec& c : kLayout) {
        QWidget* w = create(c, window);
        w->setObjectName(QString::fromLatin1(c.name));
        placeInTwips(*w, QRect(c.left, c.top, c.width, c.height));
        if (*c.toolTip)
            w->setToolTip(QString::fromUtf8(c.toolTip));
        if (c.face != Face::Default)
            setDesignedFont(*w, labFont(c.face));
    }
}

} // namespace tamrel
