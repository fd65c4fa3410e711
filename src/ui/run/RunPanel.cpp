// SPDX-License-Identifier: GPL-3.0-or-later
// Run control, the metronome tick, the scheme choice and the shock constants:
// the window's side. The state changes are the run core's (run/RunControl.h,
// run/TimeStep.h); these handlers add the dialogs, captions, boxes and repaints.

#include "ui/run/RunPanel.h"

#include <QCoreApplication>
#include <QEvent>
#include <QPushButton>
#include <QTimer>
#include <algorithm>
#include <cctype>
#include <chrono>
#include <limits>
#include <string>

#include "ui/kit/Controls.h"
#include "ui/window/Panels.h"
#include "common/Answers.h"
#include "common/Format.h"
#include "common/Rounding.h"
#include "kernels/SchemeTable.h"
#include "run/EstimateTimeStep.h"
#include "run/FlopMeter.h"
#include "run/RunControl.h"
#include "run/SchemeChoice.h"
#include "run/ShockConstants.h"
#include "run/SmokeStreams.h"
#include "run/SnapshotRow.h"
#include "run/TimeStep.h"

namespace tamrel {

namespace {

    const ScreenPosTwips kDialogPos { 3000, 3000 };

    // Told, through an event of the lowest priority posted as a tick's steps
    // end, when the window has handled what the tick posted before it: the
    // repaints (posted at low priority) and the paints they make.
    class PaintsDone : public QObject {
    public:
        explicit PaintsDone(TickPacer& pacer)
            : pacer_(pacer)
        {
        }
        void post() { QCoreApplication::postEvent(this, new QEvent(kType), std::numeric_limits<int>::min()); }

    protected:
        bool event(QEvent* e) override
        {
            if (e->type() != kType)
                return QObject::event(e);
            pacer_.paintsDone(TickPacer::Clock::now());
            return true;
        }

    private:
        static constexpr QEvent::Type kType = static_cast<QEvent::Type>(QEvent::User + 14);
        TickPacer& pacer_;
    };

    // The schemes of the table as a list: "Orvane, Orvane32, ... or Sorvi", with
    // `lastJoin` before the last name and each name followed by mark(row, last).
    template <class Mark> std::string schemeList(const char* lastJoin, Mark mark)
    {
        const auto rows = kernels::allSchemes();
        std::string list;
        for (std::size_t i = 0; i < rows.size(); ++i) {
            if (i > 0)
                list += i + 1 == rows.size() ? lastJoin : ", ";
            list += std::string(rows[i].name) + mark(rows[i], i + 1 == rows.size());
        }
        return list;
    }

    // "Type the name ...  Choose from:  Orvane (64-bit), Orvane32, ..., or Sorvi
    // (32-bit).": the double-precision schemes marked 64-bit, the list closed by
    // the 32-bit mark of the single-precision ones.
    std::string schemePrompt()
    {
        return "Type the name of the numerical scheme.  Choose from:  "
            + schemeList(", or ",
                [](const kernels::SchemeInfo& k, bool last) {
                    return !k.singlePrecision() ? std::string(" (64-bit)") : std::string(last ? " (32-bit)" : "");
                })
            + ".";
    }

} // namespace

RunPanel::RunPanel(WindowContext& w)
    : state(w.state)
    , dialogs(w.dialogs)
    , options(w.options)
    , panels(w.panels)
    , cmdBegin(control<QPushButton>(w.window, "cmdBegin"))
    , cmdPause(control<QPushButton>(w.window, "cmdPause"))
    , cmdContinue(control<QPushButton>(w.window, "cmdContinue"))
    , cmdRestart(control<QPushButton>(w.window, "cmdRestart"))
    , cmdNumericalScheme(control<QPushButton>(w.window, "cmdNumericalScheme"))
    , cmdGetDiffConsts(control<QPushButton>(w.window, "cmdGetDiffConsts"))
    , tmrMetronome(new QTimer(&w.window))
    , pacer_(w.options.tickBudgetSeconds)
    , paintsDone_(std::make_unique<PaintsDone>(pacer_))
{
    tmrMetronome->setObjectName(QStringLiteral("tmrMetronome"));
    tmrMetronome->setInterval(10);

    QObject::connect(cmdBegin, &QPushButton::clicked, &w.window, [this] { cmdBegin_Click(); });
    QObject::connect(cmdPause, &QPushButton::clicked, &w.window, [this] { cmdPause_Click(); });
    QObject::connect(cmdContinue, &QPushButton::clicked, &w.window, [this] { cmdContinue_Click(); });
    QObject::connect(cmdRestart, &QPushButton::clicked, &w.window, [this] { cmdRestart_Click(); });
    QObject::connect(tmrMetronome, &QTimer::timeout, &w.window, [this] { tmrMetronome_Timer(); });
    QObject::connect(cmdNumericalScheme, &QPushButton::clicked, &w.window, [this] { cmdNumericalScheme_Click(); });
    QObject::connect(cmdGetDiffConsts, &QPushButton::clicked, &w.window, [this] { cmdGetDiffConsts_Click(); });
}

RunPanel::~RunPanel() = default;

void RunPanel::createStepper(int threads)
{
    stepper_ = std::make_unique<TimeStep>(threads);
}

void RunPanel::startMetronome()
{
    tmrMetronome->start();
}

void RunPanel::stopMetronome()
{
    tmrMetronome->stop();
}

void RunPanel::setMetronomeInterval(int msec)
{
    tmrMetronome->setInterval(msec);
}

void RunPanel::cmdBegin_Click()
{
    if (state.TimeNow != 0)
        return;
    // A comparison gives the grid its first scheme and makes the others' copies.
    if (panels.compare.comparing() && !panels.compare.prepareBegin())
        return;
    const BeginStatus status = BeginRun(state);
    if (status != BeginStatus::Started) {
        if (const std::string why = BeginRefusal(state, status); !why.empty())
            dialogs.messageBox(why);
        return;
    }
    runFaulted_ = false;
    setCaption(cmdNumericalScheme, state.SchemeName);
    panels.presets.UpdateProblemDescription();
    panels.compare.begun();
}

void RunPanel::cmdPause_Click()
{
    PauseRun(state);
    panels.spaceTime.paintIfBehind();
}

void RunPanel::cmdContinue_Click()
{
    // A finished run, or one whose history is full, is not taken on: say why.
    if (const std::string why = ContinueRefusal(state); !why.empty()) {
        dialogs.messageBox(why);
        return;
    }
    // Showing the newest row's number in the stored-state box restores that
    // row when the box showed another one.
    if (ContinueRun(state, [this] { panels.replay.showRowNumber(std::to_string(state.StoredStateShown)); }))
        runFaulted_ = false;
}

void RunPanel::cmdRestart_Click()
{
    RestartRun(state);
    panels.compare.restarted();
    runFaulted_ = false;
    panels.replay.showTime(timeText(state.TimeNow));
    panels.replay.setRowRange(std::max<Long>(0, state.NStoredStates - 1));
    panels.parameters.showCourantNumber(formatPattern(state.CourantNumber, "#0.0##"));
    panels.plots.clearAndRepaint();
    panels.spaceTime.pctSpaceTime_Paint();
}

void RunPanel::tmrMetronome_Timer()
{
    if (state.Stopped != 0)
        return;
    if (panels.compare.running()) {
        runFaulted_ = panels.compare.tick() || runFaulted_;
        return;
    }
    // Stored-state controls follow every row as it is stored.
    auto onSnapshot = [this](const ExperimentState&, const StepReport& report) {
        if (report.rowStored)
            panels.replay.followStoredRow(std::max<Long>(0, state.NStoredStates - 1), state.StoredStateShown);
        if (report.spaceTimeDue)
            panels.spaceTime.paintForRun();
    };
    const TickReport report = RunTick(state, *stepper_, pacer_.stepBudget(), onSnapshot);
    acceptedSteps_ += report.stepsRun;
    // Without a budget (a batch run) no one handles the window's events.
    if (options.tickBudgetSeconds > 0) {
        pacer_.stepsDone(TickPacer::Clock::now());
        static_cast<PaintsDone*>(paintsDone_.get())->post();
    }
    panels.spaceTime.paintAfterTick(state.Stopped != 0);

    panels.replay.showTime(timeText(state.TimeNow));
    if (state.MeterOn > 0 && report.stepsRun > 0)
        panels.presets.showMeter(FlopMeterTexts(state, stepper_->lastCounts(), stepper_->lastRepetitions()));
    state.MultiplePlots = 0;
    panels.plots.clearAndRepaint();
    state.MultiplePlots = 0;

    if (report.faulted || report.historyEnded) {
        runFaulted_ = true;
        dialogs.messageBox(report.fault.message);
    }
}

void RunPanel::cmdNumericalScheme_Click()
{
    if (!state.isReady())
        return;
    // One form: the scheme (picked from the table) and the meter. Cancel
    // keeps both. Asked as a chain of prompts, a cancelled or empty name
    // keeps the scheme in force; a name of no scheme is asked once more with
    // the reason, and a second such name keeps the scheme too, saying so. A
    // name is taken in any letter case and stored as the table spells it.
    Form form;
    form.title = "Numerical Scheme";
    form.position = kDialogPos;
    FormField name { schemePrompt(), "Specify Scheme", "Mixtal32" };
    for (const kernels::SchemeInfo& k : kernels::allSchemes())
        name.choices.push_back({ std::string(k.name), std::string(k.name) });
    name.check = [](const std::string& a) {
        return a.empty() || kernels::findScheme(a) ? std::string() : "\"" + a + "\" is not a scheme name.";
    };
    name.againDefault = "Orvane";
    FormField meterField { "Do you want the meagflop/s meter to be turned on?",
        "Type 1 for Mflop/s metering,  0 to run without this overhead:", std::to_string(state.MeterOn) };
    meterField.check = [](const std::string& a) { return NotANumberReason("Mflop/s meter", a); };
    form.fields = { name, meterField };
    const auto answers = dialogs.askForm(form);
    if (!answers)
        return;
    const std::optional<std::string>& answer = (*answers)[0];
    if (answer && !answer->empty()) {
        if (const kernels::SchemeInfo* scheme = kernels::findScheme(*answer))
            state.SchemeName = std::string(scheme->name);
        else
            sayInStatusLine(panels.context.window,
                "\"" + *answer + "\" is not a scheme name either; " + state.SchemeName + " is kept.");
    }

    const std::optional<std::string>& meter = (*answers)[1];
    if (const std::string why = NotANumberReason("Mflop/s meter", meter); !why.empty())
        sayInStatusLine(panels.context.window, why);
    if (const auto v = parseNumber(meter.value_or("")))
        state.MeterOn = std::clamp<Long>(roundToLong(*v), 0, 1);

    TakeScheme(state, state.SchemeName);
    // The button names the scheme in force from now on, not from the next Begin.
    setCaption(cmdNumericalScheme, state.SchemeName);
}

void RunPanel::cmdGetDiffConsts_Click()
{
    if (!state.isReady())
        return;
    // Each answer that is no number, or out of its range, is refused with its
    // reason on the status line; the value before stays.
    // One form of all five values; Cancel keeps them all.
    std::string refusals;
    const char* streamsTitle = "Get Number of Smoke Streams";
    const char* logsTitle = "Log Plots for Density and Pressure?";
    auto realField = [](const char* prompt, const ShockConstantRange& range, double value) {
        FormField f { prompt, std::string(range.title), formatGeneral(value) };
        f.check = [&range](const std::string& a) {
            std::string why = NotANumberReason(std::string(range.title), a);
            if (const auto v = parseNumber(a); why.empty() && v)
                why = ShockConstantRefusal(range, *v);
            return why;
        };
        return f;
    };
    Form form;
    form.title = "Shock Constants and Log Plots";
    form.position = kDialogPos;
    form.fields = {
        realField("Type the value of the PPM shock diffusion constant, difcon", kDifconRange, state.Difcon),
        realField("Type the value of the PPM shock detection constant, shkjmp", kShkjmpRange, state.Shkjmp),
        realField("Type the value of the PPM shock diffusion constant, wavhaf", kWavhafRange, state.Wavhaf),
        { "Type the desired number of equally spaced smoke streams", streamsTitle,
            std::to_string(state.NSmokeStreams) },
        { "Type 0 for normal plots;  type 1 to plot logs of density and pressure", logsTitle,
            std::to_string(state.LogPlots) },
    };
    form.fields[3].check = [streamsTitle](const std::string& a) {
        std::string why = NotANumberReason(streamsTitle, a);
        if (const auto v = parseNumber(a); why.empty() && v && roundToLong(*v) < 1)
            why = std::string(streamsTitle) + ": at least 1 stream; the value before is kept.";
        return why;
    };
    form.fields[4].check = [logsTitle](const std::string& a) { return NotANumberReason(logsTitle, a); };
    const auto answers = dialogs.askForm(form);
    if (!answers)
        return;
    auto takeReal = [&](const std::optional<std::string>& a, const ShockConstantRange& range, double& field) {
        AddReason(refusals, NotANumberReason(std::string(range.title), a));
        if (const auto v = parseNumber(a.value_or(""))) {
            const std::string why = ShockConstantRefusal(range, *v);
            AddReason(refusals, why);
            if (why.empty())
                field = *v;
        }
    };
    takeReal((*answers)[0], kDifconRange, state.Difcon);
    takeReal((*answers)[1], kShkjmpRange, state.Shkjmp);
    takeReal((*answers)[2], kWavhafRange, state.Wavhaf);

    const std::optional<std::string>& streams = (*answers)[3];
    AddReason(refusals, NotANumberReason(streamsTitle, streams));
    if (const auto v = parseNumber(streams.value_or(""))) {
        if (const std::string why = SmokeStreamsRefusal(*v); why.empty())
            state.NSmokeStreams = roundToLong(*v);
        else
            AddReason(refusals, std::string(streamsTitle) + ": " + why);
    }

    // The new choice rewrites history row 0 in its form, so Restart reads it back.
    const std::optional<std::string>& logs = (*answers)[4];
    AddReason(refusals, NotANumberReason(logsTitle, logs));
    if (const auto v = parseNumber(logs.value_or("")))
        SetLogPlots(state, roundToLong(*v));
    if (!refusals.empty())
        sayInStatusLine(panels.context.window, refusals);
}

} // namespace tamrel
