// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// A real frmTamrel, created offscreen with scripted dialog answers. Tests
// reach the window as a user does, through its controls by name (click a
// button, type into a box, move a bar), and through WindowAccess for what a
// user cannot touch directly: the record, a tick, the panels' handlers.

#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QScrollBar>
#include <QSettings>
#include <QTemporaryDir>
#include <QTimer>
#include <gtest/gtest.h>
#include <memory>

#include "ui/window/Controls.h"
#include "ui/window/LinePlotPicture.h"
#include "ui/window/Panels.h"
#include "ui/window/ScriptedDialogs.h"
#include "ui/window/SpaceTimePicture.h"
#include "ui/window/frmTamrel.h"
#include "run/TimeStep.h"

namespace tamrel::testing {

inline QApplication& app()
{
    static int argc = 1;
    static char name[] = "test_ui";
    static char* argv[] = { name, nullptr };
    // Switches the window keeps between sessions (the exact overlay, the
    // axes) go to a settings folder of this test process, never to the
    // settings of the person running the tests; the answers a lab sheet's
    // window keeps go to a data folder of its own likewise.
    // The application is never destroyed: a static QApplication torn down by
    // the exit handlers would run after the platform plugin is gone and crash
    // on the pointing devices that synthetic mouse events created.
    static QApplication* instance = [] {
        static QTemporaryDir settings;
        QSettings::setPath(QSettings::NativeFormat, QSettings::UserScope, settings.path());
        static QTemporaryDir data;
        qputenv("XDG_DATA_HOME", data.path().toLocal8Bit());
        return new QApplication(argc, argv);
    }();
    return *instance;
}

// The window's inside, for tests only.
class WindowAccess {
public:
    static ExperimentState& state(frmTamrel& w) { return w.state; }
    static Panels& panels(frmTamrel& w) { return *w.panels; }
};

inline ExperimentState& stateOf(frmTamrel& w)
{
    return WindowAccess::state(w);
}
inline const ExperimentState& stateOf(const frmTamrel& w)
{
    return w.record();
}
inline Panels& panelsOf(frmTamrel& w)
{
    return WindowAccess::panels(w);
}

// Controls by name.
inline QLineEdit* box(const frmTamrel& w, const std::string& name)
{
    return control<QLineEdit>(w, name);
}
inline QScrollBar* bar(const frmTamrel& w, const std::string& name)
{
    return control<QScrollBar>(w, name);
}
inline QLabel* label(const frmTamrel& w, const std::string& name)
{
    return control<QLabel>(w, name);
}
inline QPushButton* button(const frmTamrel& w, const std::string& name)
{
    return control<QPushButton>(w, name);
}
inline QPushButton* testButton(const frmTamrel& w, int test)
{
    return button(w, "cmdTest" + std::to_string(test));
}
inline LinePlotPicture* plot(const frmTamrel& w, const std::string& name)
{
    return control<LinePlotPicture>(w, name);
}
inline SpaceTimePicture* spaceTimePicture(const frmTamrel& w)
{
    return control<SpaceTimePicture>(w, "pctSpaceTime");
}
inline QComboBox* grayList(const frmTamrel& w)
{
    return control<QComboBox>(w, "lstGrayVariable");
}
inline QTimer* metronome(const frmTamrel& w)
{
    return control<QTimer>(w, "tmrMetronome");
}

// A click on a button, as a user gives it.
inline void click(const frmTamrel& w, const std::string& name)
{
    button(w, name)->click();
}
inline void clickTest(const frmTamrel& w, int test)
{
    testButton(w, test)->click();
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
        options.tickBudgetSeconds = 0; // the plain tick: N \ 30 steps, no time budget
        options.threads = 1;
        auto w = std::make_unique<frmTamrel>(dialogs, options);
        metronome(*w)->stop(); // ticks are driven by the tests
        return w;
    }
    ExperimentState& s() { return stateOf(*window); }
    Panels& panels() { return panelsOf(*window); }
    // Ticks until the run stops (bounded).
    void runToEnd(long maxTicks = 100000)
    {
        for (long i = 0; i < maxTicks && s().Stopped == 0 && !window->runFaulted(); ++i)
            window->tick();
    }

    ScriptedDialogs dialogs;
    std::unique_ptr<frmTamrel> window;
};

} // namespace tamrel::testing
