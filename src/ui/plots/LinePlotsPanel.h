// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The three line plots, their captions and range boxes, the FVSmoke button
// and the current-cell pick: the window's side of plots/LinePlots.h. The
// pictures only replay what the Qt-free plot geometry computed.

#include <optional>
#include <string>

#include "ui/kit/WindowContext.h"

class QLabel;
class QLineEdit;
class QPushButton;

namespace tamrel {

class LinePlotPicture;
struct LinePlotPaint;

enum class PlotQuantity { Density, Pressure, Velocity };

class LinePlotsPanel {
public:
    explicit LinePlotsPanel(WindowContext& w);

    void pctDensityPlot_Paint();
    void pctPressurePlot_Paint();
    void pctVelocityPlot_Paint();
    void cmdPlotFVSmoke_Click();
    void pctDensityPlot_MouseDown(int button, double x, double y);
    void pctPressurePlot_MouseDown(int button, double x, double y);
    void pctVelocityPlot_MouseDown(int button, double x, double y);

    // Clear the three pictures; paint density, pressure and velocity in that
    // order; or clear and paint each in turn.
    void clear();
    void paint();
    void clearAndRepaint();

    // The range boxes of one plot.
    void showRange(PlotQuantity q, const std::string& minText, const std::string& maxText);
    // The captions under the three plots (a sound wave names its invariants).
    void showCaptions(const std::string& density, const std::string& pressure, const std::string& velocity);
    // The velocity plot's caption and range boxes, which the space-time
    // picture uses for its own variable; each is written only when given.
    void showVelocityAxis(const std::optional<std::string>& caption, const std::optional<std::string>& minText,
        const std::optional<std::string>& maxText);
    // The density and pressure range boxes hide while the big space-time
    // picture covers their plots.
    void showDensityAndPressureRanges(bool visible);
    // The exact solution's layers over the three pictures, asked for afresh
    // (the pictures' own drawings stay).
    void refreshOverlays();

private:
    void showPaint(LinePlotPicture* picture, const LinePlotPaint& paint, QLineEdit* minBox, QLineEdit* maxBox,
        QLabel* captionLabel);
    void pickOnPlot(LinePlotPicture* picture, double x);
    void showExactOverlay(PlotQuantity q, LinePlotPicture* picture);

    ExperimentState& state;
    Panels& panels;

    LinePlotPicture* pctDensityPlot;
    LinePlotPicture* pctPressurePlot;
    LinePlotPicture* pctVelocityPlot;
    QLabel* lblDensityPlot;
    QLabel* lblPressurePlot;
    QLabel* lblVelocityPlot;
    QLineEdit* txtDensityMin;
    QLineEdit* txtDensityMax;
    QLineEdit* txtPressureMin;
    QLineEdit* txtPressureMax;
    QLineEdit* txtVelocityMin;
    QLineEdit* txtVelocityMax;
    QPushButton* cmdPlotFVSmoke;
};

} // namespace tamrel
