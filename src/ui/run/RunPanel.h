// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// Begin, Pause, Continue, Restart, the metronome and its tick, the scheme
// button and the shock constants: the window's side of run/RunControl.h and
// run/TimeStep.h. The panel owns the time step's scratch and threads, kept
// between ticks.

#include <memory>

#include "ui/kit/WindowContext.h"
#include "run/TickPacer.h"

class QObject;
class QPushButton;
class QTimer;

namespace tamrel {

class TimeStep;

class RunPanel {
public:
    explicit RunPanel(WindowContext& w);
    ~RunPanel();

    void cmdBegin_Click();
    void cmdPause_Click();
    void cmdContinue_Click();
    void cmdRestart_Click();
    void tmrMetronome_Timer();
    void cmdNumericalScheme_Click();
    void cmdGetDiffConsts_Click();

    // The time step with its strip threads, made once at start-up.
    void createStepper(int threads);
    TimeStep& stepper() { return *stepper_; }
    const TimeStep& stepper() const { return *stepper_; }

    void startMetronome();
    void stopMetronome();
    // The interval the msec-per-step box sets.
    void setMetronomeInterval(int msec);

    // Accepted time steps since start-up (for the batch run's speed figure).
    long acceptedSteps() const { return acceptedSteps_; }
    // Whether the last tick ended the run with a fault (non-finite state).
    bool runFaulted() const { return runFaulted_; }

private:
    ExperimentState& state;
    Dialogs& dialogs;
    const WindowOptions& options;
    Panels& panels;

    QPushButton* cmdBegin;
    QPushButton* cmdPause;
    QPushButton* cmdContinue;
    QPushButton* cmdRestart;
    QPushButton* cmdNumericalScheme;
    QPushButton* cmdGetDiffConsts;
    QTimer* tmrMetronome;

    std::unique_ptr<TimeStep> stepper_;
    // The steps' share of each tick, and what tells it when a tick's paints
    // are done (an event handled after them).
    TickPacer pacer_;
    std::unique_ptr<QObject> paintsDone_;
    long acceptedSteps_ = 0;
    bool runFaulted_ = false;
};

} // namespace tamrel
