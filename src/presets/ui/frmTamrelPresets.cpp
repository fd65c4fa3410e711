// Presets, the control refresh and the problem description: the window's side.
// The state is built by presets/ShockTubeTests.h and presets/SoundWave.h;
// these handlers add the dialogs, editors, boxes, captions and repaints.

#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPixmap>
#include <QScrollBar>
#include <QTimer>

#include "app/ui/PictureButton.h"
#include "app/ui/frmTamrel.h"
#include "common/Format.h"
#include "edit/GridParameters.h"
#include "presets/ProblemDescription.h"
#include "presets/ShockTubeTests.h"
#include "presets/SoundWave.h"
#include "presets/TestPictures.h"
#include "run/DefaultProblem.h"

namespace tamrel {

namespace {

    // Show the state's own grid size, snapshot rate and run length in their
    // boxes. The state already holds these values, so the boxes' handlers do not
    // run: a grid-size handler would rebuild the whole grid from the table of
    // selected cells and replace the problem just set up.
    void showRunParameters(frmTamrel& w)
    {
        const ExperimentState& s = w.state;
        const std::pair<QLineEdit*, std::string> boxes[] = {
            { w.txtNGridCells, formatPattern(s.NGridCells, "###0") },
            { w.txtNPlotsPerPeriod, formatPattern(s.NPlotsPerPeriod, "##0") },
            { w.txtNPeriods, formatPattern(s.Periods, "#0.####") },
        };
        for (const auto& [box, text] : boxes) {
            const bool blocked = box->blockSignals(true);
            box->setText(QString::fromStdString(text));
            box->blockSignals(blocked);
        }
    }

} // namespace

// The value editors and the cell-number controls from the state: the part
// the control refresh and a shock-tube set-up share.
static void refreshEditors(frmTamrel& w, const char* velocityPattern)
{
    ExperimentState& s = w.state;
    struct Editor {
        QScrollBar* bar;
        QLineEdit* value;
        QLineEdit* minBox;
        QLineEdit* maxBox;
        double* current;
        double* lo;
        double* hi;
        const char* pattern;
    };
    const Editor editors[3] = {
        { w.hsbDensity, w.txtDensity, w.txtDensityMin, w.txtDensityMax, &s.RhoCurrent, &s.RhoMin, &s.RhoMax,
            "##0.0####" },
        { w.hsbPressure, w.txtPressure, w.txtPressureMin, w.txtPressureMax, &s.PCurrent, &s.PMin, &s.PMax,
            "##0.0####" },
        { w.hsbVelocity, w.txtVelocity, w.txtVelocityMin, w.txtVelocityMax, &s.VXCurrent, &s.VXMin, &s.VXMax,
            velocityPattern },
    };
    for (const Editor& e : editors) {
        e.bar->setRange(-10000, 10000);
        e.bar->setSingleStep(10);
        e.bar->setPageStep(50);
        // The bar's handler derives the current value back from its position.
        e.bar->setValue(ValueToBar(*e.current, e.bar->minimum(), e.bar->maximum(), *e.lo, *e.hi));
        w.setText(e.value, formatPattern(*e.current, e.pattern));
        w.setText(e.minBox, formatPattern(*e.lo, "##0.0####"));
        w.setText(e.maxBox, formatPattern(*e.hi, "##0.0####"));
    }

    // The range change may move the cell bar and run its handler: keep MCurrent.
    const Long current = s.MCurrent;
    w.hsbMSelected->setRange(1, std::max<Long>(1, s.NGridCells));
    w.hsbMSelected->setSingleStep(1);
    w.hsbMSelected->setPageStep(CellBarLargeChange(s.NGridCells));
    s.MCurrent = current;
    w.setText(w.txtMSelected, formatPattern(s.MCurrent, "###0"));
    w.hsbMSelected->setValue(s.MCurrent);
}

// The controls a new set-up brings in line with the state, as the control
// refresh and a shock-tube set-up both do: editors, run parameters, the
// metronome pace, the first time step capped at the snapshot interval, the
// time, the stored-state range and the Courant number.
static void refreshSetUpControls(frmTamrel& w)
{
    ExperimentState& s = w.state;
    refreshEditors(w, "#0.00####");
    showRunParameters(w);
    w.setText(w.txtMSec, formatPattern(s.MSec, "###0"));
    w.tmrMetronome->setInterval(s.MSec);
    if (s.Dt > s.DtPlot)
        s.Dt = s.DtPlot;
    s.DtOld = s.Dt;
    w.setText(w.txtTime, frmTamrel::timeText(s.TimeNow));
    w.vsbStoredStateNumber->setRange(0, s.NStoredStates);
    w.setText(w.txtCourantNumber, formatPattern(s.CourantNumber, "#0.0##"));
}

void frmTamrel::RefreshControls()
{
    RefreshTimeScales(state);
    state.MSecMin = 1;
    state.MSecMax = 2000;
    state.MSec = 5;
    refreshSetUpControls(*this);

    if (isTitleLabelFree(state, captionOf(lblStudentID)) && state.NSelected == 6)
        setCaption(lblStudentID, ThreeStateDescriptionText(state, shortDate(), shortTime()));

    clearAndRepaintLinePlots();

    // The test buttons show each test's initial state behind the caption.
    for (int t = 1; t <= 8; ++t) {
        if (!cmdTest[t]->picture().isNull())
            continue;
        const TestPicture pic = RenderTestPicture(t);
        QImage image(reinterpret_cast<const uchar*>(pic.argb.data()), pic.width, pic.height, pic.width * 4,
            QImage::Format_ARGB32);
        cmdTest[t]->setPicture(QPixmap::fromImage(image.copy()));
    }
}

void frmTamrel::cmdTest_Click(int test)
{
    if (test < 1 || test > 8)
        return;
    const ShockTubeTest& t = shockTubeTest(test);
    // The test's own description first, when the label is free (the
    // problem description below then replaces it).
    if (isTitleLabelFree(state, captionOf(lblStudentID)))
        setCaption(lblStudentID, ShockTubeDescriptionText(state, t, shortDate(), shortTime()));

    ApplyShockTubeTest(state, test);

    refreshSetUpControls(*this);
    UpdateProblemDescription();
    clearAndRepaintLinePlots();
}

void frmTamrel::cmdSoundWave_Click()
{
    if (!state.isReady())
        return;
    StartSoundWaveExperiment(state);
    setCaption(lblDensityPlot, std::string(kSoundWavePlotCaptions.density));
    setCaption(lblPressurePlot, std::string(kSoundWavePlotCaptions.pressure));
    setCaption(lblVelocityPlot, std::string(kSoundWavePlotCaptions.velocity));
    for (const SoundWaveQuestion& q : kSoundWaveQuestions) {
        const auto answer
            = dialogs.inputBox(std::string(q.prompt), std::string(q.title), soundWaveDefaultText(state, q.field),
                ScreenPosTwips { kSoundWaveDialogLeftTwips, kSoundWaveDialogTopTwips });
        if (answer)
            ApplySoundWaveAnswer(state, q.field, std::string_view(*answer));
        else
            ApplySoundWaveAnswer(state, q.field, std::nullopt);
    }
    if (auto text = SoundWaveClickDescription(state, captionOf(lblStudentID), shortDate(), shortTime()))
        setCaption(lblStudentID, *text);
    cmdReset_Click();
    SetUpSoundWaveState();
}

void frmTamrel::SetUpSoundWaveState()
{
    if (state.RiemannPlots == 0)
        return;
    tamrel::SetUpSoundWaveState(state);
    clearAndRepaintLinePlots();
}

void frmTamrel::cmdGetTitle_Click()
{
    const auto reply = dialogs.inputBox(std::string(kGetTitlePrompt), std::string(kGetTitleTitle), "");
    setCaption(lblStudentID, ApplyTitleAnswer(state, reply.value_or("")));
}

void frmTamrel::UpdateProblemDescription()
{
    if (auto text = UpdateProblemDescriptionText(state, captionOf(lblStudentID), shortDate(), shortTime()))
        setCaption(lblStudentID, *text);
}

} // namespace tamrel
