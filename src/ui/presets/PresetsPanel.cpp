// SPDX-License-Identifier: GPL-3.0-or-later
// Presets, the control refresh and the problem description: the window's side.
// The state is built by presets/ShockTubeTests.h and presets/SoundWave.h;
// these handlers add the dialogs, editors, boxes, captions and repaints.

#include "ui/presets/PresetsPanel.h"

#include <QImage>
#include <QLabel>
#include <QPixmap>

#include "ui/kit/Controls.h"
#include "ui/window/Panels.h"
#include "ui/kit/PictureButton.h"
#include "common/Format.h"
#include "presets/ProblemDescription.h"
#include "presets/ShockTubeTests.h"
#include "presets/SoundWave.h"
#include "presets/TestPictures.h"
#include "run/DefaultProblem.h"
#include "run/EstimateTimeStep.h"
#include "run/FlopMeter.h"

namespace tamrel {

PresetsPanel::PresetsPanel(WindowContext& w)
    : state(w.state)
    , dialogs(w.dialogs)
    , panels(w.panels)
    , cmdSoundWave(control<QPushButton>(w.window, "cmdSoundWave"))
    , cmdGetTitle(control<QPushButton>(w.window, "cmdGetTitle"))
    , lblStudentID(control<QLabel>(w.window, "lblStudentID"))
{
    for (int t = 1; t <= kShockTubeTestCount; ++t) {
        cmdTest[t] = control<PictureButton>(w.window, "cmdTest" + std::to_string(t));
        QObject::connect(cmdTest[t], &QPushButton::clicked, &w.window, [this, t] { cmdTest_Click(t); });
    }
    QObject::connect(cmdSoundWave, &QPushButton::clicked, &w.window, [this] { cmdSoundWave_Click(); });
    QObject::connect(cmdGetTitle, &QPushButton::clicked, &w.window, [this] { cmdGetTitle_Click(); });
}

// The controls a new set-up brings in line with the state, as the control
// refresh and a shock-tube set-up both do: value editors and range boxes,
// the cell editor, run parameters, the metronome pace, the first time step
// capped at the snapshot interval, the time, the stored-state range and the
// Courant number.
void PresetsPanel::refreshSetUpControls()
{
    ExperimentState& s = state;
    struct Range {
        PlotQuantity quantity;
        const double* lo;
        const double* hi;
    };
    const Range ranges[] = {
        { PlotQuantity::Density, &s.RhoMin, &s.RhoMax },
        { PlotQuantity::Pressure, &s.PMin, &s.PMax },
        { PlotQuantity::Velocity, &s.VXMin, &s.VXMax },
    };
    for (const Range& r : ranges) {
        panels.editors.refreshValueEditor(r.quantity);
        panels.plots.showRange(r.quantity, formatPattern(*r.lo, "##0.0####"), formatPattern(*r.hi, "##0.0####"));
    }
    panels.editors.refreshCellEditor();
    panels.parameters.showRunParameters();
    panels.parameters.showMSec(formatPattern(s.MSec, "###0"));
    panels.run.setMetronomeInterval(s.MSec);
    CapFirstTimeStep(s);
    panels.replay.showTime(timeText(s.TimeNow));
    panels.replay.setRowRange(s.NStoredStates);
    panels.parameters.showCourantNumber(formatPattern(s.CourantNumber, "#0.0##"));
}

void PresetsPanel::RefreshControls()
{
    RefreshTimeScales(state);
    state.MSecMin = 1;
    state.MSecMax = 2000;
    state.MSec = 5;
    refreshSetUpControls();

    if (isTitleLabelFree(state, captionOf(lblStudentID)) && state.NSelected == 6)
        setCaption(lblStudentID, ThreeStateDescriptionText(state, shortDate(), shortTime()));

    panels.plots.clearAndRepaint();

    // The test buttons show each test's initial state behind the caption,
    // drawn when a button is first painted.
    for (int t = 1; t <= kShockTubeTestCount; ++t) {
        if (cmdTest[t]->hasPicture())
            continue;
        cmdTest[t]->setPicture([t] {
            const TestPicture pic = RenderTestPicture(t);
            QImage image(reinterpret_cast<const uchar*>(pic.argb.data()), pic.width, pic.height, pic.width * 4,
                QImage::Format_ARGB32);
            return QPixmap::fromImage(image.copy());
        });
    }
}

void PresetsPanel::cmdTest_Click(int test)
{
    // A test loads into Ready only: loaded into a run it would leave the
    // run's history and time with the problem before (the button is disabled
    // then, and says to Restart first).
    if (test < 1 || test > kShockTubeTestCount || !state.isReady())
        return;
    const ShockTubeTest& t = shockTubeTest(test);
    leaveSoundWaveView();
    // The test's own description first, when the label is free (the
    // problem description below then replaces it).
    if (isTitleLabelFree(state, captionOf(lblStudentID)))
        setCaption(lblStudentID, ShockTubeDescriptionText(state, t, shortDate(), shortTime()));

    ApplyShockTubeTest(state, test);

    refreshSetUpControls();
    UpdateProblemDescription();
    panels.plots.clearAndRepaint();
    panels.spaceTime.pctSpaceTime_Paint();
}

void PresetsPanel::cmdSoundWave_Click()
{
    if (!state.isReady())
        return;
    // The seven values in one form, each checked as it is typed and the
    // wave as a whole before OK is taken.
    Form form;
    form.title = "Sound Wave";
    form.position = ScreenPosTwips { kSoundWaveDialogLeftTwips, kSoundWaveDialogTopTwips };
    for (const SoundWaveQuestion& q : kSoundWaveQuestions) {
        FormField f { std::string(q.prompt), std::string(q.title), soundWaveDefaultText(state, q.field) };
        f.check = [field = q.field](const std::string& a) { return SoundWaveAnswerRefusal(field, a); };
        form.fields.push_back(std::move(f));
    }
    // The answers as the sound-wave rules take them (an empty value keeps its field).
    auto asWaveAnswers = [](const FormAnswers& values) {
        SoundWaveAnswers answers;
        for (std::size_t k = 0; k < answers.size() && k < values.size(); ++k)
            answers[k] = values[k];
        return answers;
    };
    form.check = [this, asWaveAnswers](
                     const FormAnswers& values) { return SoundWaveAnswersRefusal(state, asWaveAnswers(values)); };
    const auto answers = dialogs.askForm(form);
    if (!answers)
        return; // Cancel: the problem before stands
    StartSoundWaveExperiment(state);
    panels.plots.showCaptions(std::string(kSoundWavePlotCaptions.density),
        std::string(kSoundWavePlotCaptions.pressure), std::string(kSoundWavePlotCaptions.velocity));
    const std::string refusals = TakeSoundWaveAnswers(state, asWaveAnswers(*answers)).refusals;
    if (!refusals.empty())
        sayInStatusLine(panels.context.window, refusals);
    if (auto text = SoundWaveClickDescription(state, captionOf(lblStudentID), shortDate(), shortTime()))
        setCaption(lblStudentID, *text);
    panels.selection.resetSelection();
    SetUpSoundWaveState();
}

void PresetsPanel::SetUpSoundWaveState()
{
    if (state.RiemannPlots == 0)
        return;
    tamrel::SetUpSoundWaveState(state);
    panels.plots.clearAndRepaint();
    panels.spaceTime.pctSpaceTime_Paint();
}

void PresetsPanel::cmdGetTitle_Click()
{
    const auto reply = dialogs.inputBox(std::string(kGetTitlePrompt), std::string(kGetTitleTitle), "");
    std::optional<std::string_view> answer;
    if (reply)
        answer = std::string_view(*reply);
    if (const auto caption = ApplyTitleAnswer(state, answer))
        setCaption(lblStudentID, *caption);
}

void PresetsPanel::leaveSoundWaveView()
{
    if (!LeaveSoundWaveView(state))
        return;
    panels.plots.showCaptions(std::string(kPlainPlotCaptions.density), std::string(kPlainPlotCaptions.pressure),
        std::string(kPlainPlotCaptions.velocity));
}

void PresetsPanel::describeSetupFile(const std::string& fileName)
{
    if (isTitleLabelFree(state, captionOf(lblStudentID)))
        setCaption(lblStudentID, SetupFileDescriptionText(state, fileName, shortDate(), shortTime()));
}

void PresetsPanel::UpdateProblemDescription()
{
    if (auto text = UpdateProblemDescriptionText(state, captionOf(lblStudentID), shortDate(), shortTime()))
        setCaption(lblStudentID, *text);
}

std::string PresetsPanel::titleCaption() const
{
    return captionOf(lblStudentID);
}

void PresetsPanel::showMeter(const MeterTexts& texts)
{
    const int buttons[5] = { 1, 2, 6, 7, 8 };
    for (int k = 0; k < 5; ++k)
        setCaption(cmdTest[buttons[k]], texts.buttons[k]);
    setCaption(lblStudentID, texts.label);
}

} // namespace tamrel
