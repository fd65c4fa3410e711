#pragma once
// A real frmTamrel, created offscreen with scripted dialog answers.

#include <QApplication>
#include <QTimer>
#include <gtest/gtest.h>
#include <memory>

#include "app/ui/ScriptedDialogs.h"
#include "app/ui/frmTamrel.h"

namespace tamrel::testing {

inline QApplication& app()
{
    static int argc = 1;
    static char name[] = "test_ui";
    static char* argv[] = { name, nullptr };
    // Never destroyed: a static QApplication torn down by the exit handlers
    // would run after the platform plugin is gone and crash on the pointing
    // devices that synthetic mouse events created.
    static QApplication* instance = new QApplication(argc, argv);
    return *instance;
}

class WindowTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        app();
        window = makeWindow();
    }
    std::unique_ptr<frmTamrel> makeWindow(std::optional<std::string> name = std::string("Test Student"))
    {
        WindowOptions options;
        options.studentName = name;
        options.tickBudgetSeconds = 0; // the plain tick: N \\ 30 steps, no time budget
        options.threads = 1;
        auto w = std::make_unique<frmTamrel>(dialogs, options);
        w->tmrMetronome->stop(); // ticks are driven by the tests
        return w;
    }
    ExperimentState& s() { return window->state; }
    // Ticks until the run stops (bounded).
    void runToEnd(long maxTicks = 100000)
    {
        for (long i = 0; i < maxTicks && s().Stopped == 0 && !window->runFaulted(); ++i)
            window->tmrMetronome_Timer();
    }

    ScriptedDialogs dialogs;
    std::unique_ptr<frmTamrel> window;
};

} // namespace tamrel::testing
