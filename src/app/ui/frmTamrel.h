#pragma once
// The lab's one window. It owns the experiment state and every control; its
// handlers, named after their control and event, read the controls, call the
// Qt-free core, and write the results back. Writing a box's text or a scroll
// bar's value from code runs that control's change handler at once (Qt's
// textChanged / valueChanged), which gives the synchronous change cascade
// the editors rely on.
//
// The handlers are implemented by topic in the ui/ folder of each subsystem
// (src/run/ui, src/plots/ui, src/spacetime/ui, src/presets/ui, src/edit/ui,
// src/setupfile/ui).

#include <QWidget>
#include <memory>
#include <optional>
#include <string>

#include "app/ui/Dialogs.h"
#include "spacetime/SpaceTimeImage.h"
#include "state/ExperimentState.h"

class QLabel;
class QLineEdit;
class QPushButton;
class QScrollBar;
class QComboBox;
class QTimer;
class QImage;

namespace tamrel {

class LinePlotPicture;
class SpaceTimePicture;
class PictureButton;
class TimeStep;

struct WindowOptions {
    // The start-up name; without it the name prompt is shown.
    std::optional<std::string> studentName;
    // Longest time one tick may spend on time steps before it leaves the
    // rest of its steps to the next tick (0: no budget, the plain tick).
    double tickBudgetSeconds = 0.05;
    // Threads for the strips of a time step.
    int threads = 2;
};

class frmTamrel : public QWidget {
    Q_OBJECT
public:
    frmTamrel(Dialogs& dialogs, WindowOptions options = {}, QWidget* parent = nullptr);
    ~frmTamrel() override;

    // --- The experiment ----------------------------------------------------
    ExperimentState state;
    Dialogs& dialogs;
    WindowOptions options;

    // --- Start-up ----------------------------------------------------------
    void AllocateArraysAndDefaultProblem();

    // --- Run control, tick, meter, scheme ----------------------------------
    void cmdBegin_Click();
    void cmdPause_Click();
    void cmdContinue_Click();
    void cmdRestart_Click();
    void tmrMetronome_Timer();
    void cmdNumericalScheme_Click();
    void cmdGetDiffConsts_Click();

    // --- Line plots, pick, replay ------------------------------------------
    void pctDensityPlot_Paint();
    void pctPressurePlot_Paint();
    void pctVelocityPlot_Paint();
    void cmdPlotFVSmoke_Click();
    void pctDensityPlot_MouseDown(int button, double x, double y);
    void pctPressurePlot_MouseDown(int button, double x, double y);
    void pctVelocityPlot_MouseDown(int button, double x, double y);
    void vsbStoredStateNumber_Change();
    void txtStoredStateNumber_Change();
    void cmdSinglePlots_Click();
    void cmdMultiplePlots_Click();

    // --- Space-time picture ------------------------------------------------
    void pctSpaceTime_Paint();
    void lstGrayVariable_Click();
    void pctSpaceTime_Click();
    void pctSpaceTime_DblClick();
    void pctSpaceTime_MouseDown(int button, double x, double y);
    // The picture's image at zoom 1 (drawing area of the current geometry).
    QImage spaceTimeImage() const;
    bool saveSpaceTimePng(const std::string& path);

    // --- Presets, refresh, description ------------------------------------
    void cmdTest_Click(int test); // cmdTest1_Click .. cmdTest8_Click
    void cmdSoundWave_Click();
    void SetUpSoundWaveState();
    void RefreshControls();
    void cmdGetTitle_Click();
    void UpdateProblemDescription();

    // --- Selected cells, editors, grid and run parameters, boundaries ------
    void cmdSelect_Click();
    void cmdDeselect_Click();
    void cmdReset_Click();
    void RebuildGridState();
    void txtDensity_Change();
    void txtPressure_Change();
    void txtVelocity_Change();
    void txtMSelected_Change();
    void hsbDensity_Change();
    void hsbPressure_Change();
    void hsbVelocity_Change();
    void hsbMSelected_Change();
    void txtNGridCells_Change();
    void txtNPeriods_Change();
    void txtNPlotsPerPeriod_Change();
    void txtCourantNumber_Change();
    void txtMSec_Change();
    void cmdBoundaryConditionType_Click();

    // --- Set-up files -------------------------------------------------------
    void cmdWriteSetUp_Click();
    void cmdReadSetUp_Click();

    // --- Shared window helpers --------------------------------------------
    // Set a box's text from code (its change handler runs if the text changes).
    void setText(QLineEdit* box, const std::string& text);
    std::string textOf(const QLineEdit* box) const;
    void setCaption(QLabel* label, const std::string& caption);
    std::string captionOf(const QLabel* label) const;
    void setCaption(QPushButton* button, const std::string& caption);
    // Clear the three line-plot pictures and paint density, pressure, velocity.
    void clearAndRepaintLinePlots();
    void paintLinePlots();
    void clearLinePlots();
    // The time box's text for problem time t: "t=" and t with "#0.0####".
    static std::string timeText(double t);
    // Today's date and time of day in the system's short formats.
    std::string shortDate() const;
    std::string shortTime() const;
    // Accepted time steps since start-up (for the batch run's speed figure).
    long acceptedSteps = 0;
    // Whether the last tick ended the run with a fault (non-finite state).
    bool runFaulted() const { return runFaulted_; }

    // --- Controls (names as the lab calls them) -----------------------------
    LinePlotPicture* pctDensityPlot;
    LinePlotPicture* pctPressurePlot;
    LinePlotPicture* pctVelocityPlot;
    SpaceTimePicture* pctSpaceTime;

    QLabel* lblDensityPlot;
    QLabel* lblPressurePlot;
    QLabel* lblVelocityPlot;
    QLabel* lblDensitySpaceTimePlot;
    QLabel* lblStudentID;
    QLabel* lblNPlotsPerPeriod;
    QLabel* lblNPeriods;
    QLabel* lblMSec;
    QLabel* lblCourantNumber;
    QLabel* lblStoredState;
    QLabel* lblNGridCells;
    QLabel* lblMSelected;
    QLabel* lblDensity;
    QLabel* lblPressure;
    QLabel* lblVelocity;

    QLineEdit* txtDensityMin;
    QLineEdit* txtDensityMax;
    QLineEdit* txtPressureMin;
    QLineEdit* txtPressureMax;
    QLineEdit* txtVelocityMin;
    QLineEdit* txtVelocityMax;
    QLineEdit* txtTime;
    QLineEdit* txtNPlotsPerPeriod;
    QLineEdit* txtNPeriods;
    QLineEdit* txtMSec;
    QLineEdit* txtCourantNumber;
    QLineEdit* txtStoredStateNumber;
    QLineEdit* txtNGridCells;
    QLineEdit* txtMSelected;
    QLineEdit* txtDensity;
    QLineEdit* txtPressure;
    QLineEdit* txtVelocity;

    QComboBox* lstGrayVariable;

    QPushButton* cmdRestart;
    QPushButton* cmdBegin;
    QPushButton* cmdPause;
    QPushButton* cmdContinue;
    QPushButton* cmdNumericalScheme;
    QPushButton* cmdGetDiffConsts;
    PictureButton* cmdTest[9]; // cmdTest[1] .. cmdTest[8]
    QPushButton* cmdSoundWave;
    QPushButton* cmdGetTitle;
    QPushButton* cmdReadSetUp;
    QPushButton* cmdWriteSetUp;
    QPushButton* cmdBoundaryConditionType;
    QPushButton* cmdPlotFVSmoke;
    QPushButton* cmdSinglePlots;
    QPushButton* cmdMultiplePlots;
    QPushButton* cmdSelect;
    QPushButton* cmdDeselect;
    QPushButton* cmdReset;

    QScrollBar* vsbStoredStateNumber;
    QScrollBar* hsbMSelected;
    QScrollBar* hsbDensity;
    QScrollBar* hsbPressure;
    QScrollBar* hsbVelocity;

    QTimer* tmrMetronome;

    // The two 8-bit gray images of the space-time picture, made at start-up
    // at the picture's small and big drawing sizes: bottom-up (scan line 0 is
    // the bottom row), stride a multiple of 4, palette entry i the gray (i,i,i).
    GrayImage SmallDib;
    GrayImage BigDib;
    // The image shown by the picture as a QImage (top-down, gray palette).
    static QImage toQImage(const GrayImage& image, int width, int height);

    // The time step's scratch and threads, kept between ticks.
    std::unique_ptr<TimeStep> stepper;

protected:
    void closeEvent(QCloseEvent*) override;
    void paintEvent(QPaintEvent*) override;

private:
    void buildControls();
    void connectHandlers();
    void createSpaceTimeImages();
    void setSpaceTimeSmallGeometry();
    void setSpaceTimeBigGeometry();

    bool runFaulted_ = false;
};

} // namespace tamrel
