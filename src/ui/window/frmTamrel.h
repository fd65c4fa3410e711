// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The lab's one window. It owns the experiment state, lays out every control
// from one table (ui/window/WindowLayout.h), and hands each subsystem's controls
// to that subsystem's panel (src/run/ui, src/plots/ui, src/spacetime/ui,
// src/presets/ui, src/edit/ui, src/setupfile/ui). The panels' handlers,
// named after their control and event, read the controls, call the Qt-free
// core, and write the results back. Writing a box's text or a scroll bar's
// value from code runs that control's change handler at once (Qt's
// textChanged / valueChanged), which gives the synchronous change cascade
// the editors rely on.

#include <QWidget>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ui/kit/WindowContext.h"

class QImage;
class QMenuBar;
class QStatusBar;

namespace tamrel {

struct Panels;
class LabSheetMenu;
class QueuedDialogs;
class RunStatusLine;
class TimeStep;

namespace testing {
    class WindowAccess;
}

// Height in pixels of the status line under the designed client area (at
// scale 1; it grows and shrinks with its font).
inline constexpr int kStatusLineHeight = 22;

class frmTamrel : public QWidget {
    Q_OBJECT
public:
    frmTamrel(Dialogs& dialogs, WindowOptions options = {}, QWidget* parent = nullptr);
    ~frmTamrel() override;

    // --- Driving the window without a user (batch runs) --------------------
    // Boxes and buttons are reached by their names, as a user reaches them
    // (ui/kit/Controls.h: typeInto, press); these cover the rest.
    const ExperimentState& record() const { return state; }
    // One metronome tick.
    void tick();
    // The space-time picture showing `variable`, small (a click) or big (a
    // double click).
    void showSpaceTime(const std::string& variable, bool big);
    // The space-time picture's image at zoom 1 (drawing area of its present
    // size), and as an 8-bit grayscale PNG.
    QImage spaceTimeImage() const;
    bool saveSpaceTimePng(const std::string& path) const;
    // Whether the last tick ended the run with a fault (non-finite state).
    bool runFaulted() const;
    // Accepted time steps since start-up (for the batch run's speed figure).
    long acceptedSteps() const;
    // The time step, for its operation counts.
    const TimeStep& stepper() const;
    // The schemes Begin runs side by side, as the Compare button's dialog
    // takes them (fewer than two: none); false when refused (with a message).
    bool compareSchemes(const std::vector<std::string>& names);
    // The schemes of the comparison on show (none when there is none).
    std::vector<std::string> comparedSchemes() const;
    // Runs `replay`, which steps the stored-state bar through the rows (an
    // animation's frames), and then gives the grid back the values it held
    // before: a row shown from the history holds them in single precision
    // only, and a halted run continues from the grid.
    void keepingGrid(const std::function<void()>& replay);

    // Opens a lab sheet or reads a set-up file, as File -> Open Lab Sheet or
    // Read Setup would with that file chosen (tamrel FILE): the same checks,
    // and the same message when the file cannot be used.
    void openFile(const std::string& path);

    // The window's size for its first showing on `screen`: the designed size,
    // or smaller when that would take more than about 90 % of the screen.
    QSize firstSize(const QRect& availableScreen) const;
    // The scale the client area is drawn at (1: the designed layout).
    double scale() const;

protected:
    void resizeEvent(QResizeEvent*) override;
    void closeEvent(QCloseEvent*) override;
    void paintEvent(QPaintEvent*) override;

private:
    friend class testing::WindowAccess;

    void AllocateArraysAndDefaultProblem();
    // Menu bar on top, the designed client area, the status line at the foot.
    void layOutFrame(QMenuBar& menus, QWidget& client, QStatusBar& status);
    // The client area at the largest scale the window's size allows,
    // centred in the room between the menu bar and the status line.
    void layOutAt(const QSize& size);
    // The menu bar, its menus and the status line at scale s; returns the
    // height the two bars then take.
    int scaleBars(double s);
    int barsHeight() const;

    ExperimentState state;
    Dialogs& dialogs;
    WindowOptions options;
    std::unique_ptr<Panels> panels;
    RunStatusLine* runStatus = nullptr; // a child of the window
    QMenuBar* menuBar_ = nullptr;
    QWidget* client_ = nullptr;
    QStatusBar* statusBar_ = nullptr;
    QueuedDialogs* queued_ = nullptr; // a child of the window
    LabSheetMenu* labSheets_ = nullptr; // a child of the window
    int statusHeight_ = kStatusLineHeight;
    int designedBarsHeight_ = 0;
};

} // namespace tamrel
