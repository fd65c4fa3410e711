// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The eight test buttons, the sound wave, the title and the problem
// description label, and the refresh of every editor control from the state:
// the window's side of presets/ShockTubeTests.h, presets/SoundWave.h and
// presets/ProblemDescription.h.

#include <array>
#include <string>

#include "ui/kit/WindowContext.h"
#include "presets/ShockTubeTests.h"

class QLabel;
class QPushButton;

namespace tamrel {

class PictureButton;
struct MeterTexts;

class PresetsPanel {
public:
    explicit PresetsPanel(WindowContext& w);

    void cmdTest_Click(int test); // cmdTest1_Click .. cmdTest8_Click
    void cmdSoundWave_Click();
    void cmdGetTitle_Click();
    void RefreshControls();
    void UpdateProblemDescription();
    void SetUpSoundWaveState();

    // The plots go back to density, pressure and velocity (captions too)
    // when a sound wave had switched them to the invariants.
    void leaveSoundWaveView();
    // The description of a state read from the set-up file `fileName`.
    void describeSetupFile(const std::string& fileName);

    // The caption of the title label.
    std::string titleCaption() const;
    // The flop-rate meter's readout on five test buttons and the title label.
    void showMeter(const MeterTexts& texts);

private:
    void refreshSetUpControls();

    ExperimentState& state;
    Dialogs& dialogs;
    Panels& panels;

    std::array<PictureButton*, kShockTubeTestCount + 1> cmdTest {}; // cmdTest[1] .. cmdTest[8]
    QPushButton* cmdSoundWave;
    QPushButton* cmdGetTitle;
    QLabel* lblStudentID;
};

} // namespace tamrel
