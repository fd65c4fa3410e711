// Run control, the metronome tick, the scheme choice and the shock constants:
// the window's side. The state changes are the run core's (run/RunControl.h,
// run/TimeStep.h); these handlers add the dialogs, captions, boxes and repaints.

#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cmath>

#include "app/ui/PictureButton.h"
#include "app/ui/frmTamrel.h"
#include "common/Format.h"
#include "common/Rounding.h"
#include "kernels/SchemeTable.h"
#include "run/EstimateTimeStep.h"
#include "run/FlopMeter.h"
#include "run/RunControl.h"
#include "run/SmokeStreams.h"
#include "run/SnapshotRow.h"
#include "run/TimeStep.h"

namespace tamrel {

namespace {

const ScreenPosTwips kDialogPos{3000, 3000};

const char* const kSchemePrompt = "Type the name of the numerical scheme.  "
                                  "Choose from:  Orvane (64-bit), Orvane32, Lentor32, Mixtal32, or Sorvi (32-bit).";


// Rewrites the density and pressure of history row 0 between plain values and
// base-10 logarithms, so that a later Restart reads row 0 in the form the
// log choice now in force expects.
void convertRowZero(ExperimentState& s, bool toLog)
{
    const long n = s.NGridCells;
    if (s.STRho.empty() || n + 1 > s.NSTValues)
        return;
    for (long j = 0; j <= n + 1; ++j) {
        for (auto* a : {&s.STRho, &s.STP}) {
            const double v = (*a)[j];
            if (toLog)
                (*a)[j] = v > 0 ? static_cast<float>(std::log10(v)) : (*a)[j];
            else
                (*a)[j] = static_cast<float>(std::pow(10.0, v));
        }
    }
}

} // namespace

void frmTamrel::cmdBegin_Click()
{
    if (state.TimeNow != 0)
        return;
    switch (BeginRun(state)) {
    case BeginStatus::NotAtTimeZero:
        return;
    case BeginStatus::UnknownScheme:
        dialogs.messageBox("The scheme \"" + state.SchemeName
            + "\" is not one of Orvane, Orvane32, Lentor32, Mixtal32 or Sorvi.  Choose a scheme with the scheme "
              "button, then press Begin.");
        return;
    case BeginStatus::MissingFluids:
        dialogs.messageBox("The two-fluid arrays of Mixtal32 are missing.  Choose the scheme again with the scheme "
                           "button, then press Begin.");
        return;
    case BeginStatus::Started:
        break;
    }
    runFaulted_ = false;
    setCaption(cmdNumericalScheme, state.SchemeName);
    UpdateProblemDescription();
}

void frmTamrel::cmdPause_Click() { PauseRun(state); }

void frmTamrel::cmdContinue_Click()
{
    // A test loaded after a run empties the rows above 0 while their count
    // stays: the run goes on only from a row that holds a state.
    const long newest = state.NStoredStates - 1;
    if (!SnapshotRowHoldsState(state, newest))
        return;
    const double haltedTime = state.TimeNow;
    ContinueRunState(state, [this] { setText(txtStoredStateNumber, std::to_string(state.StoredStateShown)); });
    // Continue takes the time of the newest row. The box's cascade restores
    // that row only when the box showed another number; a restore (by the
    // cascade or by browsing that ended on the newest row) leaves STRowOffset
    // at the row. When the grid still holds the state it had when the run
    // halted, going on at the row's earlier time would label every later
    // snapshot with a time that is not its own: the run then goes on at the
    // time the grid belongs to, exactly as if it had never been paused.
    const bool gridHoldsNewest = state.STRowOffset == (state.NGridCells + 2) * newest;
    if (!gridHoldsNewest)
        state.TimeNow = haltedTime;
    runFaulted_ = false;
}

void frmTamrel::cmdRestart_Click()
{
    RestartRun(state);
    runFaulted_ = false;
    setText(txtTime, timeText(state.TimeNow));
    vsbStoredStateNumber->setRange(0, std::max<Long>(0, state.NStoredStates - 1));
    setText(txtCourantNumber, formatPattern(state.CourantNumber, "#0.0##"));
    clearAndRepaintLinePlots();
}

void frmTamrel::tmrMetronome_Timer()
{
    if (state.Stopped != 0)
        return;
    const auto budget = std::chrono::nanoseconds(static_cast<long long>(options.tickBudgetSeconds * 1e9));

    // Stored-state controls follow every row as it is stored. The row's
    // handlers must not restore it into the grid: they act only while the run
    // is halted, so the run is shown as going while the controls are written.
    auto onSnapshot = [this](const ExperimentState&, const StepReport& report) {
        const Long stopped = state.Stopped;
        state.Stopped = 0;
        if (report.rowStored) {
            vsbStoredStateNumber->setMaximum(std::max<Long>(0, state.NStoredStates - 1));
            setText(txtStoredStateNumber, std::to_string(state.StoredStateShown));
            // The thumb follows the newest row too (its handler does nothing while running).
            vsbStoredStateNumber->setValue(state.StoredStateShown);
        }
        state.Stopped = stopped;
        if (report.spaceTimeDue)
            pctSpaceTime_Paint();
    };
    const TickReport report = RunTick(state, *stepper, budget, onSnapshot);
    acceptedSteps += report.stepsRun;

    setText(txtTime, timeText(state.TimeNow));
    if (state.MeterOn > 0 && report.stepsRun > 0) {
        const MeterTexts texts = FlopMeterTexts(state, stepper->lastCounts(), stepper->lastRepetitions());
        const int buttons[5] = {1, 2, 6, 7, 8};
        for (int k = 0; k < 5; ++k)
            setCaption(cmdTest[buttons[k]], texts.buttons[k]);
        setCaption(lblStudentID, texts.label);
    }
    state.MultiplePlots = 0;
    clearAndRepaintLinePlots();
    state.MultiplePlots = 0;

    if (report.faulted) {
        runFaulted_ = true;
        dialogs.messageBox(report.fault.message);
    }
}

void frmTamrel::cmdNumericalScheme_Click()
{
    if (!state.isReady())
        return;
    std::string answer = dialogs.inputBox(kSchemePrompt, "Specify Scheme", "Mixtal32", kDialogPos).value_or("");
    state.SchemeName = answer;
    if (!kernels::findScheme(answer)) {
        state.SchemeName = "Orvane";
        answer = dialogs.inputBox(kSchemePrompt, "Specify Scheme", "Orvane", kDialogPos).value_or("");
        // A second answer that names no scheme keeps "Orvane": a run never
        // starts without a kernel.
        if (kernels::findScheme(answer))
            state.SchemeName = answer;
    }

    const auto meter = dialogs.inputBox("Do you want the meagflop/s meter to be turned on?",
        "Type 1 for Mflop/s metering,  0 to run without this overhead:", std::to_string(state.MeterOn), kDialogPos);
    if (const auto v = parseNumber(meter.value_or("")))
        state.MeterOn = std::clamp<Long>(roundToLong(*v), 0, 1);

    if (state.SchemeName != "Mixtal32")
        return;
    allocateMultifluidArrays(state);
    for (long i = 0; i <= state.NGridCells + 1; ++i) {
        state.Rho1[i] = state.Rho[i];
        state.Rho2[i] = state.Rho[i] * state.RhoRatio2;
        state.P1[i] = state.P[i];
        state.P2[i] = state.P[i];
        state.FSmoke[i] = 0;
    }
    SetUpSmokeStreams(state);
    EstimateTimeStep(state);
}

void frmTamrel::cmdGetDiffConsts_Click()
{
    if (!state.isReady())
        return;
    auto askReal = [this](const char* prompt, const char* title, double& field) {
        const auto a = dialogs.inputBox(prompt, title, formatGeneral(field), kDialogPos);
        if (const auto v = parseNumber(a.value_or("")))
            field = *v;
    };
    askReal("Type the value of the PPM shock diffusion constant, difcon", "Get difcon", state.Difcon);
    askReal("Type the value of the PPM shock detection constant, shkjmp", "Get shkjmp", state.Shkjmp);
    askReal("Type the value of the PPM shock diffusion constant, wavhaf", "Get wavhaf", state.Wavhaf);

    const auto streams = dialogs.inputBox("Type the desired number of equally spaced smoke streams",
        "Get Number of Smoke Streams", std::to_string(state.NSmokeStreams), kDialogPos);
    if (const auto v = parseNumber(streams.value_or("")); v && roundToLong(*v) >= 1)
        state.NSmokeStreams = roundToLong(*v);

    const auto logs = dialogs.inputBox("Type 0 for normal plots;  type 1 to plot logs of density and pressure",
        "Log Plots for Density and Pressure?", std::to_string(state.LogPlots), kDialogPos);
    if (const auto v = parseNumber(logs.value_or(""))) {
        const Long newLog = roundToLong(*v);
        if ((newLog != 0) != (state.LogPlots != 0))
            convertRowZero(state, newLog != 0);
        state.LogPlots = newLog;
    }
}

} // namespace tamrel
