// SPDX-License-Identifier: GPL-3.0-or-later
// Test 1 run by "Orvane" in the window, offscreen: once as a user sees it
// (the window shown, its metronome ticking in the event loop, every tick
// painting the plots and the space-time picture) and once as a batch run
// drives it (never shown, no step budget, ticks back to back). The ratio
// of the two times is what the window costs; the longest tick is how long
// the window stops answering at worst.
//
// A tick is measured from its timer event to the end of the paints it
// causes (or to the next tick, should that come first).

#include <benchmark/benchmark.h>

#include <QApplication>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>
#include <algorithm>
#include <chrono>
#include <cstdlib>
#include <limits>
#include <vector>

#include "app/BatchOptions.h"
#include "ui/window/BatchSupport.h"
#include "ui/kit/Controls.h"
#include "ui/window/Panels.h"
#include "ui/kit/ScriptedDialogs.h"
#include "ui/window/frmTamrel.h"

namespace tamrel::testing {
// The window's panels, reached as the window tests reach them.
class WindowAccess {
public:
    static Panels& panels(frmTamrel& w) { return *w.panels; }
};
} // namespace tamrel::testing

namespace {

using Clock = std::chrono::steady_clock;

QApplication& app()
{
    static int argc = 1;
    static char name[] = "bench_tamrel";
    static char* argv[] = { name, nullptr };
    // Never destroyed (a static QApplication torn down at exit outlives its
    // platform plugin); its settings go to a folder of this process.
    static QApplication* instance = [] {
        qputenv("QT_QPA_PLATFORM", "offscreen");
        static QTemporaryDir settings;
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path());
        return new QApplication(argc, argv);
    }();
    return *instance;
}

struct TestOneWindow {
    tamrel::ScriptedDialogs dialogs;
    tamrel::WindowOptions options;
    std::unique_ptr<tamrel::frmTamrel> window;

    TestOneWindow(long cells, bool asBatch)
    {
        app();
        options.studentName = "Bench";
        if (asBatch)
            options.tickBudgetSeconds = 0;
        window = std::make_unique<tamrel::frmTamrel>(dialogs, options);
        tamrel::BatchOptions o;
        o.test = 1;
        o.cells = cells;
        o.scheme = "Orvane";
        if (tamrel::batch::setRunValues(*window, dialogs, o) || tamrel::batch::loadProblem(*window, dialogs, o))
            std::abort();
        if (!asBatch) {
            window->show();
            QCoreApplication::processEvents();
        }
    }
};

// Start and end of every metronome tick of the shown window. A tick's end
// is marked by an event it posts at its start with the lowest priority:
// the window's paints, posted during the tick, are handled before it.
class TickClock : public QObject {
public:
    explicit TickClock(QTimer& metronome) { metronome.installEventFilter(this); }
    std::vector<double> ms;

protected:
    bool eventFilter(QObject*, QEvent* e) override
    {
        if (e->type() == QEvent::Timer) {
            const auto now = Clock::now();
            close(now);
            start_ = now;
            open_ = true;
            QCoreApplication::postEvent(this, new QEvent(kTickDone), std::numeric_limits<int>::min());
        }
        return false;
    }
    bool event(QEvent* e) override
    {
        if (e->type() != kTickDone)
            return QObject::event(e);
        close(Clock::now());
        return true;
    }

private:
    static constexpr QEvent::Type kTickDone = static_cast<QEvent::Type>(QEvent::User + 1);
    void close(Clock::time_point now)
    {
        if (!open_)
            return;
        open_ = false;
        ms.push_back(std::chrono::duration<double, std::milli>(now - start_).count());
    }
    Clock::time_point start_;
    bool open_ = false;
};

void BM_WindowRun(benchmark::State& state)
{
    std::vector<double> ticks;
    for (auto _ : state) {
        state.PauseTiming();
        TestOneWindow t(state.range(0), false);
        auto* metronome = t.window->findChild<QTimer*>(QStringLiteral("tmrMetronome"));
        TickClock clock(*metronome);
        const tamrel::ExperimentState& s = t.window->record();
        state.ResumeTiming();
        tamrel::press(*t.window, "cmdBegin");
        while (s.Stopped == 0)
            QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
        state.PauseTiming();
        QCoreApplication::processEvents();
        ticks.insert(ticks.end(), clock.ms.begin(), clock.ms.end());
        t.window.reset();
        state.ResumeTiming();
    }
    double sum = 0, longest = 0;
    for (double m : ticks) {
        sum += m;
        longest = std::max(longest, m);
    }
    state.counters["ticks"] = static_cast<double>(ticks.size()) / static_cast<double>(state.iterations());
    state.counters["longest_tick_ms"] = longest;
    state.counters["mean_tick_ms"] = ticks.empty() ? 0.0 : sum / static_cast<double>(ticks.size());
}

void BM_BatchRun(benchmark::State& state)
{
    long ticks = 0;
    for (auto _ : state) {
        state.PauseTiming();
        TestOneWindow t(state.range(0), true);
        const tamrel::ExperimentState& s = t.window->record();
        state.ResumeTiming();
        tamrel::press(*t.window, "cmdBegin");
        while (s.Stopped == 0 && !t.window->runFaulted()) {
            t.window->tick();
            ++ticks;
        }
        state.PauseTiming();
        t.window.reset();
        state.ResumeTiming();
    }
    state.counters["ticks"] = static_cast<double>(ticks) / static_cast<double>(state.iterations());
}

// The part of a tick after its steps, at the end of Test 1: the space-time
// picture made afresh for the newest row, the three line plots cleared and
// painted, and the window's paints that follow.
void BM_TickPaint(benchmark::State& state)
{
    TestOneWindow t(state.range(0), false);
    tamrel::press(*t.window, "cmdBegin");
    const tamrel::ExperimentState& s = t.window->record();
    while (s.Stopped == 0)
        QCoreApplication::processEvents(QEventLoop::WaitForMoreEvents);
    QCoreApplication::processEvents();
    tamrel::Panels& panels = tamrel::testing::WindowAccess::panels(*t.window);
    for (auto _ : state) {
        panels.spaceTime.paintForRun();
        panels.spaceTime.paintAfterTick(false);
        panels.plots.clearAndRepaint();
        QCoreApplication::processEvents();
    }
}

} // namespace

BENCHMARK(BM_TickPaint)->Arg(5000)->UseRealTime()->Unit(benchmark::kMillisecond);
// Test 1 at this many cells.
BENCHMARK(BM_WindowRun)->Arg(5000)->Iterations(3)->UseRealTime()->Unit(benchmark::kMillisecond);
BENCHMARK(BM_BatchRun)->Arg(5000)->Iterations(3)->UseRealTime()->Unit(benchmark::kMillisecond);
